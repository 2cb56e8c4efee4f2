/*
 * tessary_env.h - the process's environment: the installation's settings
 * file, the lists of dialects, profiles and rule sets, the rule catalogue,
 * the current choices, the last-usage file and the open application.
 *
 * The installation is read where it is and never written.  Everything the
 * library writes (the user's profile and rule-set lists, the last-usage
 * file, new profiles and rule sets) lives in the per-user directory
 * $XDG_CONFIG_HOME/csentrel, else ~/.config/csentrel.
 */
#ifndef TESSARY_ENV_H
#define TESSARY_ENV_H

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "tessary_errors.h"
#include "tessary_profile.h"
#include "tessary_rules.h"

class CApplication;

/* Settings of the installation, read from a file of NAME=value lines: the
 * file named by $CSENTREL_SETTINGS, else ../etc/csentrel.conf from the
 * program's directory. */
class CGlobals {
 public:
  void SetExePath(const CPathName &path) { exe_ = path; }
  const CPathName &GetExePath() const { return exe_; }
  /* Throws 34013..34017 for a required value that is present but blank;
   * true otherwise, also without a settings file. */
  bool Load();
  /* The settings file Load reads. */
  CPathName GetSettingsPath() const;

  const CPathName &GetDialectsPath() const { return dialects_; }
  const CPathName &GetProfilesPath() const { return profiles_; }
  const CPathName &GetAllRulesPath() const { return allRules_; }
  const CPathName &GetRuleSetsPath() const { return ruleSets_; }
  const CPathName &GetCheckerPath() const { return checker_; }
  const CPathName &GetDefApplicationsPath() const { return defApplications_; }
  const CPathName &GetDefProfilesPath() const { return defProfiles_; }
  const CPathName &GetDefRuleSetsPath() const { return defRuleSets_; }
  const CPathName &GetKvxAnalyzerPath() const { return analyzer_; }
  const CPathName &GetLastUsagePath() const { return lastUsage_; }
  std::string GetExtraValue(const std::string &name) const;
  const std::vector<std::pair<std::string, std::string>> &GetExtraValues() const { return extra_; }

 private:
  CPathName exe_;
  CPathName dialects_, profiles_, allRules_, ruleSets_, checker_;
  CPathName defApplications_, defProfiles_, defRuleSets_, analyzer_, lastUsage_;
  std::vector<std::pair<std::string, std::string>> extra_;
};

/* The per-user directory, with a trailing separator (not created). */
CPathName GetUserConfigDir();
/* The running program's own path. */
CPathName GetRunningProgramPath();

class CEnvironment {
 public:
  CEnvironment();
  CEnvironment(const CEnvironment &) = delete;
  CEnvironment &operator=(const CEnvironment &) = delete;
  virtual ~CEnvironment();

  void SetExePath(const CPathName &path) { globals_.SetExePath(path); }
  void SetGUI(bool on) { gui_ = on; }
  bool IsGUI() const { return gui_; }
  CGlobals &GetGlobals() { return globals_; }
  const CGlobals &GetGlobals() const { return globals_; }

  /* The whole start sequence: settings, last usage, dialects, profiles,
   * catalogue, rule sets, currents.  Throws only what CGlobals::Load does. */
  void Start(const CPathName &exePath, bool gui);

  bool LoadDialects();
  bool LoadProfiles();
  bool LoadAllRules();
  bool LoadRuleSets();
  bool LoadLastUsage();
  void InitCurrents();
  bool SaveLastUsage();
  bool SaveProfiles();
  bool SaveRuleSets();

  CDialects &GetDialects() { return dialects_; }
  const std::vector<std::unique_ptr<CProfile>> &GetProfiles() const { return profiles_; }
  const std::vector<std::unique_ptr<CRuleSet>> &GetRuleSets() const { return ruleSets_; }
  CAllRules &GetAllRules() { return allRules_; }
  const CAllRules &GetAllRules() const { return allRules_; }

  /* Appends unless already listed; the environment then owns it. */
  void AddProfile(CProfile *p);
  void AddRuleSet(CRuleSet *r);
  /* Takes the object out of the list (and out of the currents). */
  std::unique_ptr<CProfile> RemoveProfile(CProfile *p);
  std::unique_ptr<CRuleSet> RemoveRuleSet(CRuleSet *r);

  CProfile *GetCurrentProfile() const { return currentProfile_; }
  void SetCurrentProfile(CProfile *p) { currentProfile_ = p; }
  CRuleSet *GetCurrentRuleSet() const { return currentRuleSet_; }
  void SetCurrentRuleSet(CRuleSet *r) { currentRuleSet_ = r; }
  CDialectEntry *GetCurrentDialect() const { return currentDialect_; }
  void SetCurrentDialect(CDialectEntry *d) { currentDialect_ = d; }

  CProfile *RetrieveProfile(const CPathName &path, bool load);
  CRuleSet *RetrieveRuleSet(const CPathName &path, bool load);
  CDialectEntry *RetrieveDialect(const std::string &option, bool create);

  /* Replaces the open application by the one in path; true when it loaded
   * (it stays current even when the load failed). */
  bool OpenApplication(const CPathName &path);
  void UpdateCurrentApplication();
  CApplication *GetCurrentApplication() const { return application_.get(); }
  void CloseApplication();

  CPathName GetRuvexaPath() const { return globals_.GetCheckerPath(); }
  CPathName GetKvxAnalyzerPath() const { return globals_.GetKvxAnalyzerPath(); }
  CPathName GetDefApplicationsPath() const { return globals_.GetDefApplicationsPath(); }
  /* Where new profiles and rule sets go: the user's profiles/ and
   * rulesets/ directories (created on demand). */
  CPathName GetDefProfilesPath() const;
  CPathName GetDefRuleSetsPath() const;
  /* The installation's lists, read at start. */
  CPathName GetProfilesPath() const { return globals_.GetProfilesPath(); }
  CPathName GetRuleSetsPath() const { return globals_.GetRuleSetsPath(); }
  /* The user's lists and last-usage file, written at exit. */
  CPathName GetUserProfilesPath() const;
  CPathName GetUserRuleSetsPath() const;
  CPathName GetLastUsagePath() const;
  std::string GetGlobalExtraValue(const std::string &name) const { return globals_.GetExtraValue(name); }
  CPathName GetDbgDir() const;
  /* The per-user directory, created when asked to (false on failure). */
  CPathName GetUserDir() const { return GetUserConfigDir(); }
  bool EnsureUserDir(const CPathName &sub = CPathName()) const;

  /* True for a file of the installation: named by the installation's
   * lists or lying in the directory of one of its lists or of the
   * catalogue.  The workbench saves changes to such a file as a new file in
   * the per-user directory instead. */
  bool IsInstalledFile(const CPathName &path) const;

  const CPathName &GetLastProfilePath() const { return lastProfile_; }
  const CPathName &GetLastRuleSetPath() const { return lastRuleSet_; }
  const std::string &GetLastDialect() const { return lastDialect_; }

 private:
  template <typename T>
  bool LoadList(const CPathName &installList, const CPathName &userList,
                std::vector<std::unique_ptr<T>> &list, std::vector<CPathName> &installed,
                unsigned missingId, unsigned failedId, unsigned loadedId);
  template <typename T>
  bool SaveList(const CPathName &userList, const std::vector<std::unique_ptr<T>> &list,
                const std::vector<CPathName> &installed);
  bool ReadLastUsage(const CPathName &path);

  std::unique_ptr<CApplication> application_;
  CDialects dialects_;
  std::vector<std::unique_ptr<CProfile>> profiles_;
  std::vector<std::unique_ptr<CRuleSet>> ruleSets_;
  CAllRules allRules_;
  CProfile *currentProfile_ = nullptr;
  CRuleSet *currentRuleSet_ = nullptr;
  CDialectEntry *currentDialect_ = nullptr;
  CGlobals globals_;
  bool gui_ = true;
  CPathName lastProfile_, lastRuleSet_;
  std::string lastDialect_;
  /* Full paths named by the installation's lists: shown, never written
   * into the user's lists. */
  std::vector<CPathName> installedProfiles_, installedRuleSets_;
};

/* The process's environment, set by the program that creates it. */
extern CEnvironment *TheEnvironment;

#endif
