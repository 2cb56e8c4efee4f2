/*
 * prompter.cpp - the real dialogs and message boxes behind
 * CMorvanePrompter.
 */
#include "prompter.h"

#include <QMessageBox>

#include "assistant.h"
#include "dialogs.h"

bool CDialogPrompter::AskMakefile(SMakefileChoice &choice) {
  CImportMakefileDialog dialog(frame_, choice);
  if (dialog.exec() != QDialog::Accepted) return false;
  choice = dialog.Choice();
  return true;
}

bool CDialogPrompter::AskVariables(std::vector<MakVar> &vars) {
  CVariablesDialog dialog(frame_, vars);
  if (dialog.exec() != QDialog::Accepted) return false;
  vars = dialog.Variables();
  return true;
}

bool CDialogPrompter::AskFilesToKeep(std::vector<CPathName> &keep, std::vector<CPathName> &remove) {
  CFilesNotReferencedDialog dialog(frame_, keep, remove);
  if (dialog.exec() != QDialog::Accepted) return false;
  keep = dialog.Kept();
  remove = dialog.Removed();
  return true;
}

bool CDialogPrompter::AskBuild(SBuildSettings &settings) {
  CBuildDialog dialog(frame_, settings);
  if (dialog.exec() != QDialog::Accepted) return false;
  settings = dialog.Settings();
  return true;
}

void CDialogPrompter::Inform(const std::string &text, ESeverity severity) {
  QString t = QString::fromStdString(text), title = QString::fromUtf8(kMorvaneTitle);
  switch (severity) {
    case Information: QMessageBox::information(frame_, title, t); break;
    case Warning: QMessageBox::warning(frame_, title, t); break;
    case Critical: QMessageBox::critical(frame_, title, t); break;
  }
}

void CPrompterErrorLog::ReportMessage(int type, unsigned id, const std::string &first,
                                      const std::string &second) {
  std::string text = GetMsg(type, id, first, second);
  if (text.empty()) return;
  prompter_.Inform(text, type == CZKError::eError     ? CMorvanePrompter::Critical
                         : type == CZKError::eWarning ? CMorvanePrompter::Warning
                                                      : CMorvanePrompter::Information);
}
