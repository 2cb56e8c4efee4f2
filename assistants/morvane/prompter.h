/*
 * prompter.h - every question the makefile import assistant asks its user.
 *
 * The assistant never opens a dialog or a message box itself: it asks a
 * CMorvanePrompter.  The program installs CDialogPrompter, which shows the
 * assistant's dialogs; tests install one that answers from a script, so
 * that no modal loop is entered while they run.
 */
#ifndef MORVANE_PROMPTER_H
#define MORVANE_PROMPTER_H

#include <string>
#include <vector>

#include "tessary_errors.h"
#include "tessary_profile.h"

class QWidget;

/* The answer of the Makefile dialog. */
struct SMakefileChoice {
  bool database = false;  /* a compilation database instead of a build */
  std::string makefile;   /* the makefile, or the database */
  std::string target;
  bool operator==(const SMakefileChoice &o) const = default;
};

/* The four values of the Build dialog. */
struct SBuildSettings {
  std::string makeCommand, makefileOption, buildAllOption, targetOption;
  bool operator==(const SBuildSettings &o) const = default;
};

class CMorvanePrompter {
 public:
  enum ESeverity { Information, Warning, Critical };

  virtual ~CMorvanePrompter() = default;
  /* The Makefile dialog; false for Cancel. */
  virtual bool AskMakefile(SMakefileChoice &choice) = 0;
  /* The Variables dialog; false for Cancel. */
  virtual bool AskVariables(std::vector<MakVar> &vars) = 0;
  /* The Files not referenced dialog, filled with the two lists; false when
   * it was closed without OK. */
  virtual bool AskFilesToKeep(std::vector<CPathName> &keep, std::vector<CPathName> &remove) = 0;
  /* The Build dialog; false for Cancel. */
  virtual bool AskBuild(SBuildSettings &settings) = 0;
  /* A message the user acknowledges. */
  virtual void Inform(const std::string &text, ESeverity severity) = 0;
};

/* The real dialogs, owned by the program's hidden main frame. */
class CDialogPrompter : public CMorvanePrompter {
 public:
  explicit CDialogPrompter(QWidget *frame) : frame_(frame) {}
  bool AskMakefile(SMakefileChoice &choice) override;
  bool AskVariables(std::vector<MakVar> &vars) override;
  bool AskFilesToKeep(std::vector<CPathName> &keep, std::vector<CPathName> &remove) override;
  bool AskBuild(SBuildSettings &settings) override;
  void Inform(const std::string &text, ESeverity severity) override;

 private:
  QWidget *frame_;
};

/* The library's messages in message boxes: errors and warnings are shown,
 * information is not. */
class CPrompterErrorLog : public CErrorLog {
 public:
  explicit CPrompterErrorLog(CMorvanePrompter &prompter) : prompter_(prompter) {
    SetSilentMode(CZKError::eInformation);
  }
  void ReportMessage(int type, unsigned id, const std::string &first, const std::string &second) override;
  void BeginRun() override {}

 private:
  CMorvanePrompter &prompter_;
};

#endif
