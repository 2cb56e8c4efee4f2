/*
 * build_dialog.cpp - the Build dialog: the make command of a profile and
 * the options it is given.
 */
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "dialogs.h"

namespace {

const char *const kHelp =
    "Make Command: the make program of the profile's projects.\n"
    "Makefile Name option: the option that names the makefile (-f for make).\n"
    "Build All option: the option that rebuilds every target (-B for make), so that the "
    "capture build sees every compile.\n"
    "Target option: the option written before the target, if make needs one.";

QLineEdit *Row(QGridLayout *grid, int row, const QString &label, const std::string &value, QWidget *parent) {
  auto *l = new QLabel(label, parent);
  auto *e = new QLineEdit(QString::fromStdString(value), parent);
  l->setBuddy(e);
  grid->addWidget(l, row, 0);
  grid->addWidget(e, row, 1);
  return e;
}

}  // namespace

CBuildDialog::CBuildDialog(QWidget *parent, const SBuildSettings &settings) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Build"));
  auto *grid = new QGridLayout(this);
  makeCommand_ = Row(grid, 0, QStringLiteral("&Make Command"), settings.makeCommand, this);
  makeCommand_->setMinimumWidth(fontMetrics().averageCharWidth() * 40);
  auto *browse = new QPushButton(QStringLiteral("..."), this);
  browse->setAutoDefault(false);
  browse->setToolTip(tr("Choose the make program"));
  browse->setFixedWidth(browse->fontMetrics().horizontalAdvance(QStringLiteral("...")) + 24);
  grid->addWidget(browse, 0, 2);
  connect(browse, &QPushButton::clicked, this, [this] {
    QString f = QFileDialog::getOpenFileName(this, windowTitle(), QFileInfo(makeCommand_->text()).path());
    if (!f.isEmpty()) makeCommand_->setText(f);
  });
  makefileOption_ = Row(grid, 1, QStringLiteral("Makefile &Name \noption"), settings.makefileOption, this);
  buildAllOption_ = Row(grid, 2, QStringLiteral("Build &All option"), settings.buildAllOption, this);
  targetOption_ = Row(grid, 3, QStringLiteral("&Target option"), settings.targetOption, this);

  auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  ConnectHelp(buttons, QString::fromUtf8(kHelp));
  grid->setRowStretch(4, 1);
  grid->addWidget(buttons, 5, 0, 1, 3);
  grid->setColumnStretch(1, 1);
}

SBuildSettings CBuildDialog::Settings() const {
  auto text = [](const QLineEdit *e) { return e->text().trimmed().toStdString(); };
  return {text(makeCommand_), text(makefileOption_), text(buildAllOption_), text(targetOption_)};
}
