/*
 * setuprun.h - "&Update Options" of the profile assistant: the application
 * file retriever run in its make-command mode ("-init"), which lets the
 * user set the make command, makefile-name, build-all and target options
 * of the profile.
 */
#ifndef CSENTREL_WIZARDS_SETUPRUN_H
#define CSENTREL_WIZARDS_SETUPRUN_H

#include <functional>

class CProfile;
class CPrompter;
class CWaitDialog;
class QWidget;

/* Runs the profile's retriever on a copy of the profile written to a
 * temporary file, under the "Analyzer setup" progress dialog, and takes the
 * four make command settings back from it.  False, with the reason in the
 * log, when the run did not end well or was cancelled; the profile is then
 * unchanged.  onWaiting is called with the dialog once it is shown. */
bool RunAnalyzerSetup(QWidget *window, CPrompter &prompter, CProfile &profile,
                      const std::function<void(CWaitDialog &)> &onWaiting = nullptr);

#endif
