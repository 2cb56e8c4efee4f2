/*
 * profile.cpp - the profile file: versioned header, key=value lines, the
 * references to the companion files, and the delimited variable strings.
 */
#include "tessary_profile.h"

#include <cstdlib>

#include "tessary_env.h"

/* ---- versioned headers --------------------------------------------- */

bool GetHeaderVersion(const std::string &line, const char *kind, int &major, int &minor) {
  std::vector<std::string> words;
  CTextInputString in(line);
  std::string w;
  while (in.ReadDelimitedString(w, " \t")) words.push_back(w);
  if (words.size() != 5 || words[0] != "TARQUIN" || words[1] != "ZKL" || words[3] != kind ||
      words[4] != "FILE")
    return false;
  std::string version = Trimmed(words[2]);
  size_t dot = version.find('.');
  if (dot == std::string::npos) return false;
  major = std::atoi(version.substr(0, dot).c_str());
  minor = std::atoi(version.substr(dot + 1).c_str());
  return true;
}

bool CProfile::GetVersion(const std::string &line, int &major, int &minor) {
  return GetHeaderVersion(line, "PROFIL", major, minor);
}

std::string CProfile::SetVersion(int major, int minor) {
  return "TARQUIN ZKL " + std::to_string(major) + "." + std::to_string(minor) + " PROFIL FILE";
}

/* ---- variables ----------------------------------------------------- */

static const char kDelimiters[] =
    "| @#$%^&*()~\"'-+,.?/<>\\[]{}1234567890qwertyuiopasdfghjklzxcvbnm";
static_assert(sizeof(kDelimiters) - 1 == 63, "63 delimiter candidates");

char GetMakVarDelimiter(const std::string &text) {
  for (const char *c = kDelimiters; *c; ++c)
    if (text.find(*c) == std::string::npos) return *c;
  return '\t';
}

std::string EncodeMakVars(const std::vector<MakVar> &vars, int kind) {
  std::string out;
  for (const auto &v : vars) {
    if (v.kind != kind) continue;
    char d = GetMakVarDelimiter(v.name);
    out += d + v.name + d;
    d = GetMakVarDelimiter(v.value);
    out += d + v.value + d;
  }
  return out;
}

/* One string: its first character is its delimiter, read up to the next
 * occurrence of it, which is consumed.  Empty strings are allowed, so that
 * a variable with an empty value survives a save and a load. */
static bool ReadVarString(CTextInput &in, std::string &s) {
  s.clear();
  char d = in.Current();
  if (d == 0) return false;
  in.NextChar();
  char set[2] = {d, 0};
  in.GetUntilOneOf(s, set);
  if (in.Current() != d) return false;
  in.NextChar();
  return true;
}

bool DecodeMakVars(const std::string &text, int kind, std::vector<MakVar> &vars) {
  CTextInputString in(text);
  while (!in.IsEOF()) {
    MakVar v;
    v.kind = kind;
    if (!ReadVarString(in, v.name)) return false;
    if (!ReadVarString(in, v.value)) return false;  /* a name without value is dropped */
    vars.push_back(v);
  }
  return true;
}

/* ---- profile ------------------------------------------------------- */

CProfile::CProfile()
    : preprocessor_(std::make_unique<CPreprocessor>()),
      analyzer_(std::make_unique<CAnalyzer>()),
      ignore_(std::make_unique<CIgnoreCode>()),
      make_(std::make_unique<CMakeCommand>()) {
  WireCompanions();
}

CProfile::CProfile(CProfile *model) : CProfile() {
  if (!model) return;
  ResetToStateOf(model);
  SetDefaultProfile(model);
}

CProfile::~CProfile() = default;

void CProfile::WireCompanions() {
  preprocessor_->SetOwner(this);
  analyzer_->SetOwner(this);
  ignore_->SetOwner(this);
}

void CProfile::SetDialect(CDialectEntry *d) {
  if (d == dialect_) return;
  dialect_ = d;
  SetModifiedState(true);
}

void CProfile::SetLstMakVars(const std::vector<MakVar> &v) {
  if (v == vars_) return;
  vars_ = v;
  SetModifiedState(true);
}

void CProfile::Init() {
  preprocessor_->Init();
  analyzer_->Init();
  ignore_->Init();
  make_->Init();
  dialect_ = nullptr;
  unknown_.clear();
  vars_.clear();
}

void CProfile::SetDefaultProfile(CProfile *p) {
  default_ = p;
  preprocessor_->SetDefaultPreprocessor(p ? p->GetPreprocessor() : nullptr);
  analyzer_->SetDefaultAnalyzer(p ? p->GetAnalyzer() : nullptr);
  ignore_->SetDefaultIgnoreCode(p ? p->GetIgnoreCode() : nullptr);
  make_->SetDefaultMakeCommand(p ? p->GetMakeCommand() : nullptr);
}

/* Settings of the default profile, but this profile keeps its own file:
 * going back to the defaults must not make it overwrite another file. */
void CProfile::ResetToDefaultState() {
  if (!default_) {
    Init();
    return;
  }
  CPathName file = GetFilePath(), prefix = GetPrefixPath();
  ResetToStateOf(default_);
  SetFilePath(file);
  SetPrefixPath(prefix);
}

void CProfile::ResetToStateOf(const CProfile *other) {
  if (!other || other == this) return;
  CObjectWithDefaultState::ResetToStateOf(other);
  CPersistFileObject::ResetToStateOf(other);
  preprocessor_->ResetToStateOf(other->preprocessor_.get());
  analyzer_->ResetToStateOf(other->analyzer_.get());
  ignore_->ResetToStateOf(other->ignore_.get());
  make_->ResetToStateOf(other->make_.get());
  dialect_ = other->dialect_;
  unknown_ = other->unknown_;
  vars_ = other->vars_;
}

bool CProfile::operator==(const CProfile &o) const {
  return CObjectWithDefaultState::operator==(o) && *preprocessor_ == *o.preprocessor_ &&
         *analyzer_ == *o.analyzer_ && *ignore_ == *o.ignore_ && *make_ == *o.make_ &&
         dialect_ == o.dialect_ && unknown_ == o.unknown_ && vars_ == o.vars_;
}

static void SetCompanionPath(CPersistFileObject &c, const std::string &value, const CPathName &dir) {
  c.SetFilePath(value);
  c.SetPrefixPath(dir);
}

/* Loads a companion; a missing or unreadable file makes the profile fail
 * without a message of its own, a malformed one passes its message on. */
static bool LoadCompanion(CPersistFileObject &c) {
  if (c.GetFullPath().IsEmpty()) return true;
  try {
    return c.Load();
  } catch (const CZKException &e) {
    if (e.GetID() == 34007 || e.GetID() == 34001) return false;
    throw;
  }
}

bool CProfile::LoadFile(CTextInput *input) {
  Init();
  /* A reload must not keep companion files the new text no longer names. */
  for (CPersistFileObject *c : {static_cast<CPersistFileObject *>(preprocessor_.get()),
                                static_cast<CPersistFileObject *>(analyzer_.get()),
                                static_cast<CPersistFileObject *>(ignore_.get())}) {
    c->SetFilePath(CPathName());
    c->SetPrefixPath(CPathName());
  }
  std::string line;
  int major = 0, minor = 0;
  if (!input->ReadTrimmedLine(line) || !GetVersion(line, major, minor))
    CZKException::Throw(34002, GetLongPath());
  if (major != 1 || minor != 0) CZKException::Throw(34003, GetLongPath());

  CPathName self = GetFullPath(), dir = self.GetDirectory();
  std::string raw, key, value;
  SetName(std::string());
  while (input->ReadLine(raw)) {
    line = Trimmed(raw);
    if (line.empty()) continue;
    if (!GetKeyAndValue(line, key, value)) CZKException::Throw(34004, GetLongPath());
    if (key == "NAME") {
      if (value.empty()) CZKException::Throw(34005, GetLongPath());
      SetName(value);
      continue;
    }
    bool known = true;
    if (key == "DEF") {
      if (!value.empty()) SetCompanionPath(*preprocessor_, value, dir);
    } else if (key == "IGN") {
      if (!value.empty()) SetCompanionPath(*ignore_, value, dir);
    } else if (key == "MACROFILE") {
      if (!value.empty()) SetCompanionPath(*analyzer_, value, dir);
    } else if (key == "EXPANDMACRO") {
      if (!value.empty()) analyzer_->SetExpandMacro(value == "Y" || value == "y");
    } else if (key == "BUILD") {
      if (!value.empty()) {
        CPathName cmd(value);
        cmd.MakeFullRelativeBy(self);
        make_->SetExtractFilesCmd(cmd);
      }
    } else if (key == "DIALECT") {
      if (!value.empty() && TheEnvironment)
        dialect_ = TheEnvironment->RetrieveDialect(value, !TheEnvironment->IsGUI());
    } else if (key == "MAKE_COMMAND_PATH") {
      if (!value.empty()) make_->SetMakeCommandPath(value);
    } else if (key == "MAKE_MAKEFILE_NAME_OPTION") {
      if (!value.empty()) make_->SetMakefileNameOption(value);
    } else if (key == "MAKE_BUILD_ALL_OPTION") {
      if (!value.empty()) make_->SetBuildAllOption(value);
    } else if (key == "MAKE_TARGET_OPTION") {
      if (!value.empty()) make_->SetTargetOption(value);
    } else if (key == "COMPILE_VARS" || key == "MAKE_VARS") {
      int kind = key == "MAKE_VARS" ? MakVar::eMake : MakVar::eCompile;
      /* The strings may start or end with a blank delimiter, so the text
       * after '=' is taken as written; a hand-edited line with blanks
       * around '=' is read in its trimmed form. */
      std::string written = raw.substr(raw.find('=') + 1);
      size_t before = vars_.size();
      if (!value.empty() && !DecodeMakVars(written, kind, vars_)) {
        vars_.resize(before);
        DecodeMakVars(value, kind, vars_);
      }
    } else {
      known = false;
    }
    if (!known) {
      if (!unknown_.empty()) unknown_ += '\n';
      unknown_ += line;
    }
  }
  if (!dialect_) return false;
  if (GetName().empty()) CZKException::Throw(34005, GetLongPath());
  if (!LoadCompanion(*preprocessor_) || !LoadCompanion(*ignore_) || !LoadCompanion(*analyzer_))
    return false;
  preprocessor_->SetModifiedState(false);
  analyzer_->SetModifiedState(false);
  ignore_->SetModifiedState(false);
  make_->SetModifiedState(false);
  SetModifiedState(false);
  return true;
}

/* Brings a companion in step, saves it when it has a file, and gives the
 * reference to write: relative to the owner, empty without a file. */
static std::string CompanionReference(CPersistFileObjectNoFileIfEmpty &c, const CPathName &owner) {
  c.ProcessPathName();
  CPathName full = c.GetFullPath();
  if (full.IsEmpty()) return std::string();
  c.Save();
  return full.GetRelativeTo(owner).Str();
}

bool CProfile::SaveFile(CTextOutput *out) const {
  CPathName self = GetFullPath();
  if (!out->WriteLine(SetVersion(1, 0))) return false;
  if (!out->WriteLine("NAME=" + (GetName().empty() ? std::string(GetMessageText(34135)) : GetName())))
    return false;
  if (!out->WriteLine("DEF=" + CompanionReference(*preprocessor_, self))) return false;
  if (!out->WriteLine("IGN=" + CompanionReference(*ignore_, self))) return false;
  if (make_) {
    if (!out->WriteLine("BUILD=" + make_->GetExtractFilesCmd().GetRelativeTo(self).Str()) ||
        !out->WriteLine("MAKE_COMMAND_PATH=" + make_->GetMakeCommandPath()) ||
        !out->WriteLine("MAKE_MAKEFILE_NAME_OPTION=" + make_->GetMakefileNameOption()) ||
        !out->WriteLine("MAKE_BUILD_ALL_OPTION=" + make_->GetBuildAllOption()) ||
        !out->WriteLine("MAKE_TARGET_OPTION=" + make_->GetTargetOption()))
      return false;
  }
  if (analyzer_) {
    if (!out->WriteLine(std::string("EXPANDMACRO=") + (analyzer_->IsExpandMacro() ? "Y" : "N")))
      return false;
    if (!out->WriteLine("MACROFILE=" + CompanionReference(*analyzer_, self))) return false;
  }
  if (dialect_ && !out->WriteLine("DIALECT=" + dialect_->GetDialOption())) return false;
  if (!out->WriteLine("COMPILE_VARS=" + EncodeMakVars(vars_, MakVar::eCompile))) return false;
  if (!out->WriteLine("MAKE_VARS=" + EncodeMakVars(vars_, MakVar::eMake))) return false;
  if (!unknown_.empty() && !out->WriteLine(unknown_)) return false;
  return true;
}
