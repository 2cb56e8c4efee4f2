/*
 * prompter.cpp - the real dialogs behind CPrompter.
 */
#include "prompter.h"

#include "makefill.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

const char *const kProductName = "C Sentrel";
const char *const kApplicationFilter = "Application Files (*.app)";
const char *const kResultFilter = "Result Files(*.txt);;All Files(*.*)";
const char *const kProfileFilter = "Profile Files (*.prf)";
const char *const kDatabaseFilter = "Compilation Databases (*.json);;All Files (*)";
const char *const kRuleSetFilter = "Rule Set Files (*.rsf)";

CPrompter::EAnswer CDialogPrompter::AskYesNoCancel(QWidget *parent, const QString &text) {
  auto b = QMessageBox::question(parent, kProductName, text,
                                 QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                                 QMessageBox::Yes);
  if (b == QMessageBox::Yes) return Yes;
  if (b == QMessageBox::No) return No;
  return Cancel;
}

bool CDialogPrompter::AskYesNo(QWidget *parent, const QString &text) {
  return QMessageBox::question(parent, kProductName, text, QMessageBox::Yes | QMessageBox::No,
                               QMessageBox::No) == QMessageBox::Yes;
}

bool CDialogPrompter::Confirm(QWidget *parent, const QString &text) {
  return QMessageBox::warning(parent, kProductName, text, QMessageBox::Ok | QMessageBox::Cancel,
                              QMessageBox::Cancel) == QMessageBox::Ok;
}

void CDialogPrompter::Inform(QWidget *parent, const QString &text, ESeverity severity) {
  switch (severity) {
    case Information: QMessageBox::information(parent, kProductName, text); break;
    case Warning: QMessageBox::warning(parent, kProductName, text); break;
    case Critical: QMessageBox::critical(parent, kProductName, text); break;
  }
}

bool CDialogPrompter::AskText(QWidget *parent, const QString &title, const QString &label,
                              QString &text) {
  bool ok = false;
  QString answer = QInputDialog::getText(parent, title, label, QLineEdit::Normal, text, &ok);
  if (ok) text = answer;
  return ok;
}

QString CDialogPrompter::ChooseOpenFile(QWidget *parent, const QString &caption,
                                        const QString &dir, const QString &filter) {
  return QFileDialog::getOpenFileName(parent, caption, dir, filter);
}

QStringList CDialogPrompter::ChooseOpenFiles(QWidget *parent, const QString &caption,
                                             const QString &dir, const QString &filter) {
  return QFileDialog::getOpenFileNames(parent, caption, dir, filter);
}

QString CDialogPrompter::ChooseSaveFile(QWidget *parent, const QString &caption,
                                        const QString &dir, const QString &filter) {
  return QFileDialog::getSaveFileName(parent, caption, dir, filter, nullptr,
                                      QFileDialog::DontConfirmOverwrite);
}

bool CDialogPrompter::AskMakefile(QWidget *parent, QString &path) {
  CMakefileDialog dialog(parent, path);
  if (dialog.exec() != QDialog::Accepted) return false;
  path = dialog.Makefile();
  return true;
}

bool CDialogPrompter::SetupPrint(QWidget *parent, QPrinter &printer) {
  QPrintDialog dialog(&printer, parent);
  return dialog.exec() == QDialog::Accepted;
}

bool CDialogPrompter::SetupPage(QWidget *parent, QPrinter &printer) {
  QPageSetupDialog dialog(&printer, parent);
  return dialog.exec() == QDialog::Accepted;
}

void CDialogPrompter::Preview(QWidget *parent, QPrinter &printer,
                              const std::function<void(QPrinter *)> &paint) {
  QPrintPreviewDialog dialog(&printer, parent);
  QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                   [&paint](QPrinter *p) { paint(p); });
  dialog.exec();
}
