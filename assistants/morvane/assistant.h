/*
 * assistant.h - the makefile import assistant: fills an application with
 * the source files and compile options of the user's existing build.
 *
 * Import mode asks for the makefile and target, lets the user say which of
 * the makefile's variables name the compiler and which name make, runs the
 * build with those variables redirected to the capture program, and offers
 * to drop the application's files that the build never compiled.  Instead
 * of a makefile it reads a compilation database, if the user chooses one.
 * The settings mode only edits the profile's make command.
 *
 * All questions go through the CMorvanePrompter given.
 */
#ifndef MORVANE_ASSISTANT_H
#define MORVANE_ASSISTANT_H

#include <memory>
#include <string>
#include <vector>

#include "prompter.h"
#include "tessary_app.h"
#include "tessary_env.h"

/* Resource texts of the assistant. */
extern const char *const kMorvaneTitle;        /* 600 */
extern const char *const kConfirmMakefileText; /* 36010 */
extern const char *const kConfirmDatabaseText;
extern const char *const kNoMakeCommandText;   /* 36011 */
extern const char *const kNoAnalyzerText;      /* 36012 */

class CMorvane {
 public:
  /* Exit statuses: the run ended as the user asked (also when cancelled),
   * or a message said why it failed. */
  enum EResult { Done = 0, Failed = 1 };

  CMorvane(CEnvironment &env, CMorvanePrompter &prompter) : env_(env), prompter_(prompter) {}

  /* Import mode for the profile and application files.  A database path
   * preselects a compilation database in the Makefile dialog. */
  int Import(const CPathName &profile, const CPathName &application,
             const CPathName &database = CPathName());
  /* Make command settings mode for the profile file. */
  int Init(const CPathName &profile);

  /* What the last import did, for the curious (and the tests). */
  const std::vector<MakVar> &GetVariables() const { return vars_; }
  const std::string &GetCaptureCommand() const { return command_; }
  int GetBuildStatus() const { return buildStatus_; }

 private:
  bool LoadProfile(const CPathName &path);
  bool LoadApplication(const CPathName &path);
  bool AskMakefile(const CPathName &database, SMakefileChoice &choice);
  bool SaveProfileIfModified();
  bool SaveApplication(bool onlyIfModified);
  bool RunCapture();
  bool ImportDatabase(const CPathName &database);
  bool ReloadApplication();
  void OfferUnreferencedFiles(bool keepByDefault);
  void Fail(const std::string &text);
  void FailWith(const CZKException &e);

  CEnvironment &env_;
  CMorvanePrompter &prompter_;
  CProfile *profile_ = nullptr;  /* owned by the environment */
  std::unique_ptr<CApplication> app_;
  CPathName appPath_, program_;
  std::vector<MakVar> vars_;
  bool profileModified_ = false;
  std::string command_;
  int buildStatus_ = -1;
};

#endif
