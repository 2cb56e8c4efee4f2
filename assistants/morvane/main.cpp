/*
 * main.cpp - the makefile import assistant: a hidden main frame titled
 * "Morvane", the start shared with the capture program, then import mode
 * or the make command settings mode as the command line says.
 *
 * Exit status: 0 when the run ended as the user asked (a Cancel
 * included), 1 when it failed; a message box said why.
 */
#include <QApplication>
#include <QMainWindow>

#include "arguments.h"
#include "assistant.h"
#include "capture_program.h"

int main(int argc, char **argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QString::fromUtf8(kMorvaneTitle));
  QMainWindow frame;
  frame.setWindowTitle(QString::fromUtf8(kMorvaneTitle));

  CDialogPrompter prompter(&frame);
  CPrompterErrorLog log(prompter);
  CEnvironment env;
  if (!StartCaptureProgram(env, log, true, [&prompter](const std::string &text) {
        prompter.Inform(text, CMorvanePrompter::Critical);
      }))
    return CMorvane::Failed;

  SMorvaneArgs args = ReadMorvaneArgs(std::vector<std::string>(argv + 1, argv + argc), GetCurrentDirectory());
  CMorvane assistant(env, prompter);
  switch (args.mode) {
    case SMorvaneArgs::Import: return assistant.Import(args.profile, args.application, args.database);
    case SMorvaneArgs::Init: return assistant.Init(args.profile);
    case SMorvaneArgs::Usage: break;
  }
  prompter.Inform(kMorvaneUsage, CMorvanePrompter::Warning);
  return CMorvane::Failed;
}
