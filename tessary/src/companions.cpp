/*
 * companions.cpp - the settings that a profile, an application and a file
 * entry each carry: preprocessor definitions ("def"), macro names ("mac"),
 * ignore clauses ("ign"), and the make command of a profile.
 */
#include "tessary_profile.h"

/* ---- preprocessor -------------------------------------------------- */

CPreprocessor::CPreprocessor(const CPreprocessor *model) : default_(model) { ResetToStateOf(model); }

bool CPreprocessor::IsEmpty() const {
  return defines_.IsEmpty() && includes_.IsEmpty() && assertions_.IsEmpty();
}

void CPreprocessor::SetDefines(const CCommaList &v) {
  if (v == defines_) return;
  defines_ = v;
  SetModifiedState(true);
}

void CPreprocessor::SetIncludes(const CCommaList &v) {
  if (v == includes_) return;
  includes_ = v;
  SetModifiedState(true);
}

void CPreprocessor::SetAssertions(const CCommaList &v) {
  if (v == assertions_) return;
  assertions_ = v;
  SetModifiedState(true);
}

bool CPreprocessor::LoadFile(CTextInput *input) {
  Init();
  std::string line;
  while (input->ReadTrimmedLine(line)) {
    std::string item = Trimmed(line.substr(1));
    switch (line[0]) {
      case 'I': includes_.Add(item); break;
      case 'D': defines_.Add(item); break;
      case 'A': assertions_.Add(item); break;
      default: break;
    }
  }
  SetModifiedState(false);
  return true;
}

static bool WriteItems(CTextOutput *out, const char *prefix, const CCommaList &list) {
  for (const auto &item : list.GetItems())
    if (!out->WriteLine(prefix + item)) return false;
  return true;
}

bool CPreprocessor::SaveFile(CTextOutput *output) const {
  return WriteItems(output, "I", includes_) && WriteItems(output, "D", defines_) &&
         WriteItems(output, "A", assertions_);
}

bool CPreprocessor::SaveProjectFile(CTextOutput *output) const {
  return WriteItems(output, "i", includes_) && WriteItems(output, "D", defines_) &&
         WriteItems(output, "A", assertions_);
}

bool CPreprocessor::SaveCmdLine(CTextOutput *output) const {
  auto put = [output](const char *opt, const CCommaList &list) {
    for (const auto &item : list.GetItems())
      if (!output->WriteString(std::string(opt) + item + ",")) return false;
    return true;
  };
  return put(" /D,", defines_) && put(" /I,", includes_) && put(" /A,", assertions_);
}

/* Each option is "/" or "-", its letter and the item enclosed in commas;
 * the closing comma is found by the rule of the lists themselves, so a
 * definition such as MAX(a,b)=... is read whole. */
bool CPreprocessor::LoadCmdLine(CTextInput *input) {
  Init();
  std::string text;
  input->GetUntilOneOf(text, "");  /* the whole input */
  size_t i = 0;
  while ((i = text.find_first_of("-/", i)) != std::string::npos) {
    char letter = i + 1 < text.size() ? text[i + 1] : 0;
    if ((letter != 'D' && letter != 'I' && letter != 'A') || i + 2 >= text.size() || text[i + 2] != ',') {
      ++i;
      continue;
    }
    size_t start = i + 3, end = FindListItemEnd(text, start, ',');
    std::string item = Trimmed(text.substr(start, end - start));
    i = end + 1;
    if (item.empty()) continue;
    if (letter == 'D') defines_.Add(item);
    if (letter == 'I') includes_.Add(item);
    if (letter == 'A') assertions_.Add(item);
  }
  return true;
}

std::string CPreprocessor::GetOptionsText() const {
  std::string text;
  CTextOutputString out(text);
  SaveCmdLine(&out);
  return text;
}

std::string CPreprocessor::GetDisplayText() const { return Trimmed(GetOptionsText()); }

void CPreprocessor::Init() {
  defines_.Clear();
  includes_.Clear();
  assertions_.Clear();
}

void CPreprocessor::ResetToDefaultState() {
  if (default_)
    ResetToStateOf(default_);
  else
    Init();
}

void CPreprocessor::ResetToStateOf(const CPreprocessor *other) {
  if (!other || other == this) return;
  CObjectWithDefaultState::ResetToStateOf(other);
  defines_ = other->defines_;
  includes_ = other->includes_;
  assertions_ = other->assertions_;
}

bool CPreprocessor::operator==(const CPreprocessor &o) const {
  return defines_ == o.defines_ && includes_ == o.includes_ && assertions_ == o.assertions_;
}

/* ---- analyzer ------------------------------------------------------ */

CAnalyzer::CAnalyzer(const CAnalyzer *model) : default_(model) { ResetToStateOf(model); }

bool CAnalyzer::IsEmpty() const { return names_.IsEmpty(); }

void CAnalyzer::SetExpandMacro(bool on) {
  if (on == expand_) return;
  expand_ = on;
  SetModifiedState(true);
}

void CAnalyzer::SetMacroNames(const CCommaList &v) {
  if (v == names_) return;
  names_ = v;
  SetModifiedState(true);
}

bool CAnalyzer::LoadFile(CTextInput *input) {
  names_.Clear();
  std::string line;
  while (input->ReadTrimmedLine(line)) names_.Add(line);
  SetModifiedState(false);
  return true;
}

bool CAnalyzer::SaveFile(CTextOutput *output) const {
  for (const auto &name : names_.GetItems())
    if (!output->WriteLine(name)) return false;
  return true;
}

std::string CAnalyzer::GetOptionsText() const { return names_.GetText(); }

std::string CAnalyzer::GetDisplayText() const {
  return std::string(expand_ ? "expand: " : "no expansion: ") + names_.GetText();
}

void CAnalyzer::Init() {
  names_.Clear();
  expand_ = main_ ? main_->IsExpandMacro() : true;
}

void CAnalyzer::ResetToDefaultState() {
  if (default_)
    ResetToStateOf(default_);
  else
    Init();
}

void CAnalyzer::ResetToStateOf(const CAnalyzer *other) {
  if (!other || other == this) return;
  CObjectWithDefaultState::ResetToStateOf(other);
  names_ = other->names_;
  expand_ = other->expand_;
}

bool CAnalyzer::operator==(const CAnalyzer &o) const {
  return names_ == o.names_ && expand_ == o.expand_;
}

/* ---- ignore code --------------------------------------------------- */

std::unique_ptr<CIgnoreClause> CIgnoreClause::CreateClause(const std::string &text) {
  size_t arrow = text.find("-->");
  if (arrow == std::string::npos) return CreateClause(Trimmed(text), std::string());
  return CreateClause(Trimmed(text.substr(0, arrow)), Trimmed(text.substr(arrow + 3)));
}

std::unique_ptr<CIgnoreClause> CIgnoreClause::CreateClause(const std::string &head,
                                                           const std::string &tail) {
  std::string h = Trimmed(head);
  if (h.empty()) return nullptr;
  return std::make_unique<CIgnoreClause>(h, Trimmed(tail));
}

CIgnoreCode::CIgnoreCode(const CIgnoreCode *model) : default_(model) { ResetToStateOf(model); }

bool CIgnoreCode::LoadFile(CTextInput *input) {
  clauses_.clear();
  std::string line;
  while (input->ReadTrimmedLine(line)) {
    auto clause = CIgnoreClause::CreateClause(line);
    if (!clause) CZKException::Throw(34004, GetLongPath());
    clauses_.push_back(*clause);
  }
  SetModifiedState(false);
  return true;
}

bool CIgnoreCode::SaveFile(CTextOutput *output) const {
  for (const auto &c : clauses_)
    if (!output->WriteLine(c.GetClauseText())) return false;
  return true;
}

bool CIgnoreCode::LoadLine(CTextInput *input) {
  clauses_.clear();
  std::string text;
  while (input->ReadDelimitedString(text, "|")) {
    auto clause = CIgnoreClause::CreateClause(text);
    if (clause) clauses_.push_back(*clause);
  }
  return true;
}

bool CIgnoreCode::SaveLine(CTextOutput *output) const {
  for (const auto &c : clauses_)
    if (!output->WriteString(c.GetClauseText() + "|")) return false;
  return true;
}

std::string CIgnoreCode::GetOptionsText() const {
  std::string text;
  CTextOutputString out(text);
  SaveLine(&out);
  return text;
}

bool CIgnoreCode::HasClause(const std::string &head, const std::string &tail) const {
  CIgnoreClause c(Trimmed(head), Trimmed(tail));
  for (const auto &x : clauses_)
    if (x == c) return true;
  return false;
}

bool CIgnoreCode::AddClause(const std::string &head, const std::string &tail) {
  auto c = CIgnoreClause::CreateClause(head, tail);
  if (!c || HasClause(head, tail)) return false;
  clauses_.push_back(*c);
  SetModifiedState(true);
  return true;
}

bool CIgnoreCode::RemoveClause(const std::string &head, const std::string &tail) {
  CIgnoreClause c(Trimmed(head), Trimmed(tail));
  for (auto it = clauses_.begin(); it != clauses_.end(); ++it) {
    if (*it == c) {
      clauses_.erase(it);
      SetModifiedState(true);
      return true;
    }
  }
  return false;
}

void CIgnoreCode::Init() { clauses_.clear(); }

void CIgnoreCode::ResetToDefaultState() {
  if (default_)
    ResetToStateOf(default_);
  else
    Init();
}

void CIgnoreCode::ResetToStateOf(const CIgnoreCode *other) {
  if (!other || other == this) return;
  CObjectWithDefaultState::ResetToStateOf(other);
  clauses_ = other->clauses_;
}

/* ---- make command -------------------------------------------------- */

CMakeCommand::CMakeCommand(const CMakeCommand *model) : default_(model) { ResetToStateOf(model); }

template <typename T>
static void Assign(CModifiedState &owner, T &field, const T &value) {
  if (field == value) return;
  field = value;
  owner.SetModifiedState(true);
}

void CMakeCommand::SetExtractFilesCmd(const CPathName &p) {
  if (extract_.Str() == p.Str()) return;
  extract_ = p;
  SetModifiedState(true);
}
void CMakeCommand::SetMakeCommandPath(const std::string &s) { Assign(*this, makePath_, s); }
void CMakeCommand::SetMakefileNameOption(const std::string &s) { Assign(*this, makefileOption_, s); }
void CMakeCommand::SetBuildAllOption(const std::string &s) { Assign(*this, buildAllOption_, s); }
void CMakeCommand::SetTargetOption(const std::string &s) { Assign(*this, targetOption_, s); }

void CMakeCommand::Init() {
  extract_.Empty();
  makePath_.clear();
  makefileOption_.clear();
  buildAllOption_.clear();
  targetOption_.clear();
}

void CMakeCommand::ResetToDefaultState() {
  if (default_)
    ResetToStateOf(default_);
  else
    Init();
}

void CMakeCommand::ResetToStateOf(const CMakeCommand *other) {
  if (!other || other == this) return;
  CObjectWithDefaultState::ResetToStateOf(other);
  extract_ = other->extract_;
  makePath_ = other->makePath_;
  makefileOption_ = other->makefileOption_;
  buildAllOption_ = other->buildAllOption_;
  targetOption_ = other->targetOption_;
}

bool CMakeCommand::operator==(const CMakeCommand &o) const {
  return extract_.Str() == o.extract_.Str() && makePath_ == o.makePath_ &&
         makefileOption_ == o.makefileOption_ && buildAllOption_ == o.buildAllOption_ &&
         targetOption_ == o.targetOption_;
}
