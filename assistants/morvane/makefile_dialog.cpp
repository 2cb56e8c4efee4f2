/*
 * makefile_dialog.cpp - the Makefile dialog: the makefile and target of
 * the project's build.
 */
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "assistant.h"
#include "dialogs.h"
#include "wendrel_ui.h"

namespace {

const char *const kHelp =
    "The build is run with the makefile and target given here (an empty target builds the "
    "makefile's first one). Every C file it compiles is added to the application with the "
    "macros and include directories it is compiled with; the files are built again for that.";

}  // namespace

CImportMakefileDialog::CImportMakefileDialog(QWidget *parent, const SMakefileChoice &choice)
    : QDialog(parent) {
  setWindowTitle(QStringLiteral("Makefile"));
  auto *description = new QLabel(QString::fromUtf8(kConfirmMakefileText), this);
  description->setWordWrap(true);
  SetDecriptionOfDialog(this, {description});

  auto *makefileLabel = new QLabel(QStringLiteral("&Makefile"), this);
  makefileEdit_ = new QLineEdit(QString::fromStdString(choice.makefile), this);
  makefileEdit_->setMinimumWidth(fontMetrics().averageCharWidth() * 50);
  makefileLabel->setBuddy(makefileEdit_);
  auto *browse = new QPushButton(QStringLiteral("..."), this);
  browse->setAutoDefault(false);
  browse->setToolTip(tr("Choose the makefile"));
  browse->setFixedWidth(browse->fontMetrics().horizontalAdvance(QStringLiteral("...")) + 24);
  auto *targetLabel = new QLabel(QStringLiteral("&Target"), this);
  targetEdit_ = new QLineEdit(QString::fromStdString(choice.target), this);
  targetLabel->setBuddy(targetEdit_);

  buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
  connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
  ConnectHelp(buttons_, QString::fromUtf8(kHelp));

  auto *grid = new QGridLayout;
  grid->addWidget(makefileLabel, 0, 0);
  grid->addWidget(makefileEdit_, 0, 1);
  grid->addWidget(browse, 0, 2);
  grid->addWidget(targetLabel, 1, 0);
  grid->addWidget(targetEdit_, 1, 1);
  grid->setColumnStretch(1, 1);

  auto *layout = new QVBoxLayout(this);
  layout->addWidget(description);
  layout->addSpacing(8);
  layout->addLayout(grid);
  layout->addStretch(1);
  layout->addWidget(buttons_);

  connect(makefileEdit_, &QLineEdit::textChanged, this, &CImportMakefileDialog::UpdateState);
  connect(browse, &QPushButton::clicked, this, &CImportMakefileDialog::Browse);
  UpdateState();
}

QPushButton *CImportMakefileDialog::OkButton() const { return buttons_->button(QDialogButtonBox::Ok); }

void CImportMakefileDialog::UpdateState() { OkButton()->setEnabled(!makefileEdit_->text().trimmed().isEmpty()); }

void CImportMakefileDialog::Browse() {
  QString f = QFileDialog::getOpenFileName(this, windowTitle(), QFileInfo(makefileEdit_->text()).path(),
                                           tr("Makefiles (Makefile makefile GNUmakefile *.mk *.mak);;All Files (*)"));
  if (!f.isEmpty()) makefileEdit_->setText(f);
}

SMakefileChoice CImportMakefileDialog::Choice() const {
  return {makefileEdit_->text().trimmed().toStdString(), targetEdit_->text().trimmed().toStdString()};
}
