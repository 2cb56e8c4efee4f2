/*
 * makefile_dialog.cpp - the Makefile dialog: the makefile and target of
 * the project's build, or a compilation database in their place.
 */
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "assistant.h"
#include "dialogs.h"
#include "wendrel_ui.h"

namespace {

const char *const kHelp =
    "Choose how the application learns its source files.\n\n"
    "Makefile: the build is run with the makefile and target given here; every C file it "
    "compiles is added to the application with its macros and include directories.\n\n"
    "Compilation database: the compile_commands.json file that CMake, Meson or a build "
    "recorder wrote for the project is read instead; nothing is built.";

QPushButton *BrowseButton(QWidget *parent) {
  auto *b = new QPushButton(QStringLiteral("..."), parent);
  b->setAutoDefault(false);
  b->setToolTip(QObject::tr("Choose the file"));
  b->setFixedWidth(b->fontMetrics().horizontalAdvance(QStringLiteral("...")) + 24);
  return b;
}

}  // namespace

CImportMakefileDialog::CImportMakefileDialog(QWidget *parent, const SMakefileChoice &choice)
    : QDialog(parent) {
  setWindowTitle(QStringLiteral("Makefile"));
  description_ = new QLabel(this);
  description_->setWordWrap(true);
  SetDecriptionOfDialog(this, {description_});

  makefileButton_ = new QRadioButton(QStringLiteral("&Makefile"), this);
  makefileEdit_ = new QLineEdit(this);
  makefileBrowse_ = BrowseButton(this);
  databaseButton_ = new QRadioButton(QStringLiteral("Compilation &database"), this);
  databaseEdit_ = new QLineEdit(this);
  databaseBrowse_ = BrowseButton(this);
  auto *targetLabel = new QLabel(QStringLiteral("&Target"), this);
  targetEdit_ = new QLineEdit(QString::fromStdString(choice.target), this);
  targetLabel->setBuddy(targetEdit_);
  (choice.database ? databaseEdit_ : makefileEdit_)->setText(QString::fromStdString(choice.makefile));
  (choice.database ? databaseButton_ : makefileButton_)->setChecked(true);
  makefileEdit_->setMinimumWidth(fontMetrics().averageCharWidth() * 50);

  buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
  connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
  ConnectHelp(buttons_, QString::fromUtf8(kHelp));

  auto *grid = new QGridLayout;
  grid->addWidget(makefileButton_, 0, 0);
  grid->addWidget(makefileEdit_, 0, 1);
  grid->addWidget(makefileBrowse_, 0, 2);
  grid->addWidget(targetLabel, 1, 0, Qt::AlignRight);
  grid->addWidget(targetEdit_, 1, 1);
  grid->addWidget(databaseButton_, 2, 0);
  grid->addWidget(databaseEdit_, 2, 1);
  grid->addWidget(databaseBrowse_, 2, 2);
  grid->setColumnStretch(1, 1);

  auto *layout = new QVBoxLayout(this);
  layout->addWidget(description_);
  layout->addSpacing(8);
  layout->addLayout(grid);
  layout->addStretch(1);
  layout->addWidget(buttons_);

  for (QRadioButton *b : {makefileButton_, databaseButton_})
    connect(b, &QRadioButton::toggled, this, &CImportMakefileDialog::UpdateState);
  for (QLineEdit *e : {makefileEdit_, databaseEdit_})
    connect(e, &QLineEdit::textChanged, this, &CImportMakefileDialog::UpdateState);
  connect(makefileBrowse_, &QPushButton::clicked, this,
          [this] { Browse(makefileEdit_, tr("Makefiles (Makefile makefile GNUmakefile *.mk *.mak);;All Files (*)")); });
  connect(databaseBrowse_, &QPushButton::clicked, this,
          [this] { Browse(databaseEdit_, tr("Compilation Databases (*.json);;All Files (*)")); });
  UpdateState();
}

QPushButton *CImportMakefileDialog::OkButton() const { return buttons_->button(QDialogButtonBox::Ok); }

void CImportMakefileDialog::UpdateState() {
  bool database = databaseButton_->isChecked();
  description_->setText(QString::fromUtf8(database ? kConfirmDatabaseText : kConfirmMakefileText));
  makefileEdit_->setEnabled(!database);
  makefileBrowse_->setEnabled(!database);
  targetEdit_->setEnabled(!database);
  databaseEdit_->setEnabled(database);
  databaseBrowse_->setEnabled(database);
  QLineEdit *chosen = database ? databaseEdit_ : makefileEdit_;
  OkButton()->setEnabled(!chosen->text().trimmed().isEmpty());
}

void CImportMakefileDialog::Browse(QLineEdit *edit, const QString &filter) {
  QString start = QFileInfo(edit->text()).path();
  QString f = QFileDialog::getOpenFileName(this, windowTitle(), start, filter);
  if (!f.isEmpty()) edit->setText(f);
}

SMakefileChoice CImportMakefileDialog::Choice() const {
  SMakefileChoice c;
  c.database = databaseButton_->isChecked();
  c.makefile = (c.database ? databaseEdit_ : makefileEdit_)->text().trimmed().toStdString();
  c.target = c.database ? std::string() : targetEdit_->text().trimmed().toStdString();
  return c;
}
