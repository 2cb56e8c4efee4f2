/*
 * main.cpp - the workbench program: start sequence, main window, the
 * application named on the command line, end sequence.
 *
 *     csentrel [application.app]
 */
#include <QApplication>
#include <QCommandLineParser>
#include <QMessageBox>
#include <cstdio>

#include "mainframe.h"
#include "prompter.h"
#include "art.h"
#include "sentrelapp.h"
#include "wizards/wizassistants.h"

int main(int argc, char **argv) {
  QApplication qapp(argc, argv);
  QApplication::setApplicationName("csentrel");
  QApplication::setApplicationDisplayName(kProductName);
  QApplication::setApplicationVersion(CSentrelApp::Version());
  QApplication::setDesktopFileName("csentrel");

  QCommandLineParser parser;
  parser.setApplicationDescription("The C Sentrel workbench: checks C applications against coding rules.");
  parser.addHelpOption();
  parser.addVersionOption();
  parser.addPositionalArgument("application", "An application file (.app) to open.", "[application]");
  parser.process(qapp);

  CSentrelApp app;
  CDialogPrompter prompter;
  QString error;
  if (!app.Start(QApplication::applicationFilePath(), error)) {
    prompter.Inform(nullptr, error, CPrompter::Critical);
    return 1;
  }
  QApplication::setWindowIcon(ProgramIcon());

  int status;
  {
    CMainFrame frame(app, prompter);
    frame.SetAssistants(std::make_unique<CWizardAssistants>(prompter));
    frame.show();
    const QStringList files = parser.positionalArguments();
    if (!files.isEmpty()) frame.OpenApplication(files.first());
    status = qapp.exec();
  }
  if (!app.End()) std::fprintf(stderr, "csentrel: the last usage, profile or rule-set lists could not be saved\n");
  return status;
}
