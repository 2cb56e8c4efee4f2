/*
 * tessary_app.h - the open application (the user's C project): profile,
 * rule set, makefile and target, its own settings and its source files with
 * theirs, stored as an application description file; and the check options
 * file of a check run, one options line per checked file.
 */
#ifndef TESSARY_APP_H
#define TESSARY_APP_H

#include <memory>
#include <string>
#include <vector>

#include "tessary_profile.h"
#include "tessary_rules.h"

class CApplication;

class CFileEntry : public CObjectWithDefaultState {
 public:
  CFileEntry(const CPathName &path, CApplication *app);
  static std::unique_ptr<CFileEntry> CreateFileEntry(const CPathName &path, CApplication *app);

  virtual CPreprocessor *GetPreprocessor() const { return preprocessor_.get(); }
  virtual CAnalyzer *GetAnalyzer() const { return analyzer_.get(); }
  virtual CIgnoreCode *GetIgnoreCode() const { return ignore_.get(); }
  void ResetToDefaultState() override;

  const CPathName &GetFilePath() const { return path_; }
  void SetFilePath(const CPathName &p);
  bool IsCheck() const { return check_; }
  void SetCheck(bool on);
  bool IsOK() const { return ok_; }
  void SetOK(bool on);
  bool IsReferenced() const { return referenced_; }
  void SetReferenced(bool on) { referenced_ = on; }
  CApplication *GetApplication() const { return app_; }

  /* The options line of this file; option files it needs are created in
   * tracker.  Never throws: a file that cannot be written shortens it. */
  std::string GetParametersLine(CTrackTempFiles &tracker) const;

  void ResetToStateOf(const CFileEntry *other);
  bool operator==(const CFileEntry &o) const;

 private:
  friend class CApplication;
  void Wire();
  CPathName path_;
  std::unique_ptr<CPreprocessor> preprocessor_;
  std::unique_ptr<CAnalyzer> analyzer_;
  std::unique_ptr<CIgnoreCode> ignore_;
  bool check_ = true;
  bool ok_ = false;
  bool referenced_ = false;
  CApplication *app_;
};

class CApplication : public CObjectWithDefaultState, public CPersistFileObject {
 public:
  CApplication(CProfile *profile = nullptr, CRuleSet *ruleSet = nullptr);
  /* A copy of model (settings and file entries). */
  CApplication(const CApplication *model, CProfile *profile, CRuleSet *ruleSet);
  ~CApplication() override;

  /* Through the application description library: throws 34020 (cannot be
   * read) and 34027 (profile missing); a missing rule set only warns. */
  bool Load() override;
  /* Throws 34018 when the description cannot be written. */
  bool Save() override;
  /* The description file is read and written as a whole by Load and Save. */
  bool LoadFile(CTextInput *) override { return false; }
  bool SaveFile(CTextOutput *) const override { return false; }

  virtual CPreprocessor *GetPreprocessor() const { return preprocessor_.get(); }
  virtual void SetPreprocessor(std::unique_ptr<CPreprocessor> p);
  virtual CAnalyzer *GetAnalyzer() const { return analyzer_.get(); }
  virtual void SetAnalyzer(std::unique_ptr<CAnalyzer> a);
  virtual CIgnoreCode *GetIgnoreCode() const { return ignore_.get(); }
  virtual void SetIgnoreCode(std::unique_ptr<CIgnoreCode> i);
  void ResetToDefaultState() override;

  /* A description that names no ignore or macro file of its own (an empty
   * setting, not "*") takes the dialect's default files, which the
   * description library finds by its file search.  They are read when the
   * application is loaded and stand in for the application's own settings
   * in a check run while these are empty; they are never the application's
   * companions, so saving neither writes them nor names them.  Null when
   * the description names files of its own or no default was found. */
  const CIgnoreCode *GetDialectIgnoreCode() const { return dialectIgnore_.get(); }
  const CAnalyzer *GetDialectAnalyzer() const { return dialectAnalyzer_.get(); }
  /* The application level of a check run: the own settings, or the
   * dialect's default while they are empty. */
  const CIgnoreCode *GetRunIgnoreCode() const;
  const CAnalyzer *GetRunAnalyzer() const;

  CProfile *GetAppProfile() const { return profile_; }
  void SetAppProfile(CProfile *p);
  CRuleSet *GetAppRuleSet() const { return ruleSet_; }
  void SetAppRuleSet(CRuleSet *r);
  const CPathName &GetMakefilePath() const { return makefile_; }
  void SetMakefilePath(const CPathName &p);
  const std::string &GetTargetPath() const { return target_; }
  void SetTargetPath(const std::string &t);

  const std::vector<std::unique_ptr<CFileEntry>> &GetFileEntries() const { return entries_; }
  /* Appends an entry for path unless one exists; gives the entry. */
  CFileEntry *AddFileEntry(const CPathName &path);
  CFileEntry *FindFileEntry(const CPathName &path) const;
  bool DeleteFileEntry(CFileEntry *entry);
  /* Replaces the entries by copies of list's. */
  void ResetFileEntries(const std::vector<std::unique_ptr<CFileEntry>> &list);
  void DeleteContents();

  /* One options line per checked file.  False when a line cannot be
   * written. */
  bool GetCheckOptions(CTrackTempFiles &tracker, CTextOutput *output) const;

  void ResetToStateOf(const CApplication *other);
  bool operator==(const CApplication &o) const;

 private:
  void Wire();
  std::vector<std::unique_ptr<CFileEntry>> entries_;
  CRuleSet *ruleSet_;
  /* The rule set the description names when it could not be loaded: kept,
   * and written back by Save, until another rule set is set. */
  CPathName ruleSetRef_;
  CPathName makefile_;
  std::string target_;
  std::unique_ptr<CPreprocessor> preprocessor_;
  std::unique_ptr<CAnalyzer> analyzer_;
  std::unique_ptr<CIgnoreCode> ignore_;
  std::unique_ptr<CIgnoreCode> dialectIgnore_;
  std::unique_ptr<CAnalyzer> dialectAnalyzer_;
  CProfile *profile_;
};

#endif
