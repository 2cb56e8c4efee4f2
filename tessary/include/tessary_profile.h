/*
 * tessary_profile.h - profiles: how a project's compiler preprocesses its
 * code (dialect, predefined macros, include directories, assertions, code to
 * skip, macros to expand, make command and variables), with the companion
 * files handed to the checker, and the list of dialects.
 */
#ifndef TESSARY_PROFILE_H
#define TESSARY_PROFILE_H

#include <memory>
#include <string>
#include <vector>

#include "tessary_persist.h"

class CDialectEntry;
class CProfile;

/* A make (kind 1) or compile (kind 0) variable of a profile. */
struct MakVar {
  enum EKind { eCompile = 0, eMake = 1 };
  std::string name;
  std::string value;
  int kind = eCompile;
  bool operator==(const MakVar &o) const = default;
};

/* The delimiter a variable string is written with: the first of the 63
 * candidates that does not occur in it, else a tab. */
char GetMakVarDelimiter(const std::string &text);
/* Writes the variables of one kind as delimited name/value strings. */
std::string EncodeMakVars(const std::vector<MakVar> &vars, int kind);
/* Appends the variables read from text; false when text is malformed (the
 * pairs read before the fault are kept). */
bool DecodeMakVars(const std::string &text, int kind, std::vector<MakVar> &vars);

/* Predefined macros, include directories and assertions ("def" file). */
class CPreprocessor : public CCategory, public CPersistFileObjectNoFileIfEmpty {
 public:
  CPreprocessor() = default;
  /* A copy of model that keeps it as its default. */
  explicit CPreprocessor(const CPreprocessor *model);

  bool LoadFile(CTextInput *input) override;
  bool SaveFile(CTextOutput *output) const override;
  /* The same for a check run at the level of an application or a file:
   * the include directories are the project's own ("i" lines), not the
   * compiler's, so that the checker treats their headers as the user's
   * code and not as system headers. */
  bool SaveProjectFile(CTextOutput *output) const;
  bool IsEmpty() const override;
  const char *GetCompanionExtension() const override { return "def"; }
  /* The one-line form " /D,x, /I,dir, /A,a,". */
  bool LoadCmdLine(CTextInput *input);
  bool SaveCmdLine(CTextOutput *output) const;
  std::string GetOptionsText() const override;
  std::string GetDisplayText() const override;

  const CCommaList &GetDefines() const { return defines_; }
  void SetDefines(const CCommaList &v);
  const CCommaList &GetIncludes() const { return includes_; }
  void SetIncludes(const CCommaList &v);
  const CCommaList &GetAssertions() const { return assertions_; }
  void SetAssertions(const CCommaList &v);

  void Init();
  void SetDefaultPreprocessor(const CPreprocessor *d) { default_ = d; }
  const CPreprocessor *GetDefaultPreprocessor() const { return default_; }
  void ResetToDefaultState() override;
  /* Copies the settings; the file stays this companion's own. */
  void ResetToStateOf(const CPreprocessor *other);
  bool operator==(const CPreprocessor &o) const;

 private:
  CCommaList defines_, includes_, assertions_;
  const CPreprocessor *default_ = nullptr;
};

/* Macro names the analysis expands ("mac" file) and the expansion flag. */
class CAnalyzer : public CCategory, public CPersistFileObjectNoFileIfEmpty {
 public:
  CAnalyzer() = default;
  explicit CAnalyzer(const CAnalyzer *model);

  bool LoadFile(CTextInput *input) override;
  bool SaveFile(CTextOutput *output) const override;
  bool IsEmpty() const override;
  const char *GetCompanionExtension() const override { return "mac"; }
  std::string GetOptionsText() const override;
  std::string GetDisplayText() const override;

  bool IsExpandMacro() const { return expand_; }
  void SetExpandMacro(bool on);
  const CCommaList &GetMacroNames() const { return names_; }
  void SetMacroNames(const CCommaList &v);

  void SetMainAnalyzer(const CAnalyzer *main) { main_ = main; }
  void SetDefaultAnalyzer(const CAnalyzer *d) { default_ = d; }
  void Init();
  void ResetToDefaultState() override;
  void ResetToStateOf(const CAnalyzer *other);
  bool operator==(const CAnalyzer &o) const;

 private:
  CCommaList names_;
  bool expand_ = true;
  const CAnalyzer *main_ = nullptr;
  const CAnalyzer *default_ = nullptr;
};

/* Code from a line matching head up to a line matching tail is skipped. */
class CIgnoreClause {
 public:
  CIgnoreClause(std::string head, std::string tail) : head_(std::move(head)), tail_(std::move(tail)) {}
  /* "head --> tail"; no clause (null) for an empty head. */
  static std::unique_ptr<CIgnoreClause> CreateClause(const std::string &text);
  static std::unique_ptr<CIgnoreClause> CreateClause(const std::string &head, const std::string &tail);
  const std::string &GetHead() const { return head_; }
  const std::string &GetTail() const { return tail_; }
  std::string GetClauseText() const { return head_ + " --> " + tail_; }
  bool operator==(const CIgnoreClause &o) const { return head_ == o.head_ && tail_ == o.tail_; }

 private:
  std::string head_, tail_;
};

class CIgnoreCode : public CCategory, public CPersistFileObjectNoFileIfEmpty {
 public:
  CIgnoreCode() = default;
  explicit CIgnoreCode(const CIgnoreCode *model);

  /* Throws 34004 for a line that is no clause. */
  bool LoadFile(CTextInput *input) override;
  bool SaveFile(CTextOutput *output) const override;
  bool IsEmpty() const override { return clauses_.empty(); }
  const char *GetCompanionExtension() const override { return "ign"; }
  /* The one-line form: clause texts, each followed by '|'. */
  bool LoadLine(CTextInput *input);
  bool SaveLine(CTextOutput *output) const;
  std::string GetOptionsText() const override;
  std::string GetDisplayText() const override { return GetOptionsText(); }

  bool AddClause(const std::string &head, const std::string &tail);
  bool RemoveClause(const std::string &head, const std::string &tail);
  bool HasClause(const std::string &head, const std::string &tail) const;
  const std::vector<CIgnoreClause> &GetClauses() const { return clauses_; }

  void SetDefaultIgnoreCode(const CIgnoreCode *d) { default_ = d; }
  void Init();
  void ResetToDefaultState() override;
  void ResetToStateOf(const CIgnoreCode *other);
  bool operator==(const CIgnoreCode &o) const { return clauses_ == o.clauses_; }

 private:
  std::vector<CIgnoreClause> clauses_;
  const CIgnoreCode *default_ = nullptr;
};

/* How the project's build is driven. */
class CMakeCommand : public CObjectWithDefaultState {
 public:
  CMakeCommand() = default;
  explicit CMakeCommand(const CMakeCommand *model);

  const CPathName &GetExtractFilesCmd() const { return extract_; }
  void SetExtractFilesCmd(const CPathName &p);
  const std::string &GetMakeCommandPath() const { return makePath_; }
  void SetMakeCommandPath(const std::string &s);
  const std::string &GetMakefileNameOption() const { return makefileOption_; }
  void SetMakefileNameOption(const std::string &s);
  const std::string &GetBuildAllOption() const { return buildAllOption_; }
  void SetBuildAllOption(const std::string &s);
  const std::string &GetTargetOption() const { return targetOption_; }
  void SetTargetOption(const std::string &s);

  void SetDefaultMakeCommand(const CMakeCommand *d) { default_ = d; }
  void Init();
  void ResetToDefaultState() override;
  void ResetToStateOf(const CMakeCommand *other);
  bool operator==(const CMakeCommand &o) const;

 private:
  CPathName extract_;
  std::string makePath_, makefileOption_, buildAllOption_, targetOption_;
  const CMakeCommand *default_ = nullptr;
};

class CProfile : public CObjectWithDefaultState, public CPersistFileObject {
 public:
  CProfile();
  /* A copy of model that keeps it as its default profile. */
  explicit CProfile(CProfile *model);
  ~CProfile() override;

  bool LoadFile(CTextInput *input) override;
  bool SaveFile(CTextOutput *output) const override;

  virtual CPreprocessor *GetPreprocessor() const { return preprocessor_.get(); }
  virtual CAnalyzer *GetAnalyzer() const { return analyzer_.get(); }
  virtual CIgnoreCode *GetIgnoreCode() const { return ignore_.get(); }
  virtual CMakeCommand *GetMakeCommand() const { return make_.get(); }
  virtual CProfile *GetDefaultProfile() const { return default_; }
  virtual void SetDefaultProfile(CProfile *p);

  CDialectEntry *GetDialect() const { return dialect_; }
  void SetDialect(CDialectEntry *d);
  const std::vector<MakVar> &GetLstMakVars() const { return vars_; }
  void SetLstMakVars(const std::vector<MakVar> &v);
  const std::string &GetUnknownLines() const { return unknown_; }

  /* "TARQUIN ZKL 1.0 PROFIL FILE". */
  static bool GetVersion(const std::string &line, int &major, int &minor);
  static std::string SetVersion(int major, int minor);
  static void SetVersion(std::string &line, int major, int minor) { line = SetVersion(major, minor); }

  void Init();
  void ResetToDefaultState() override;
  void ResetToStateOf(const CProfile *other);
  bool operator==(const CProfile &o) const;

 private:
  void WireCompanions();
  std::unique_ptr<CPreprocessor> preprocessor_;
  std::unique_ptr<CAnalyzer> analyzer_;
  std::unique_ptr<CIgnoreCode> ignore_;
  std::unique_ptr<CMakeCommand> make_;
  CDialectEntry *dialect_ = nullptr;
  std::string unknown_;
  std::vector<MakVar> vars_;
  CProfile *default_ = nullptr;
};

/* Splits a versioned header "TARQUIN ZKL M.m KIND FILE". */
bool GetHeaderVersion(const std::string &line, const char *kind, int &major, int &minor);

class CDialectEntry : public CObjectWithDefaultState {
 public:
  CDialectEntry(const std::string &name, const std::string &option);
  ~CDialectEntry() override;
  /* Parses '"name" [profile-path [option]]'; null when the name is not
   * quoted or empty.  The profile path is given back, not loaded. */
  static std::unique_ptr<CDialectEntry> CreateDialect(const std::string &line,
                                                      std::string *profilePath = nullptr);
  const std::string &GetDialOption() const { return option_; }
  CProfile *GetDialectProfile() const { return profile_.get(); }
  void SetDialectProfile(std::unique_ptr<CProfile> p);

 private:
  std::string option_;
  std::unique_ptr<CProfile> profile_;
};

class CDialects : public CObjectWithDefaultState, public CPersistFileObject {
 public:
  bool LoadFile(CTextInput *input) override;
  /* The list is installed, never written: succeeds without output. */
  bool SaveFile(CTextOutput *output) const override;
  /* First entry with that option; else a new one (create), else the last
   * entry (null for an empty list). */
  CDialectEntry *RetrieveDialect(const std::string &option, bool create);
  const std::vector<std::unique_ptr<CDialectEntry>> &GetEntries() const { return entries_; }
  void Clear() { entries_.clear(); }

 private:
  std::vector<std::unique_ptr<CDialectEntry>> entries_;
};

#endif
