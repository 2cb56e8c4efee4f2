/*
 * ruleset.cpp - rule sets: the versioned file of selected rules with their
 * parameter values, and the rule list with one generated parameter file per
 * selected rule that a check run hands to the checker.
 */
#include "tessary_env.h"
#include "tessary_profile.h"
#include "tessary_rules.h"

/* ---- entries ------------------------------------------------------- */

CRuleEntry::CRuleEntry(const CRuleEntry &other) : CObjectWithDefaultState(other) {
  rule_ = other.rule_;
  check_ = other.check_;
  for (const auto &v : other.values_) values_.push_back(v->Clone());
}

void CRuleEntry::SetRule(CRule *rule) {
  rule_ = rule;
  values_.clear();
  if (!rule) return;
  for (const auto &p : rule->GetRuleParameters()) values_.push_back(p->CreateValue());
}

void CRuleEntry::SetCheck(bool on) {
  if (on == check_) return;
  check_ = on;
  SetModifiedState(true);
}

CRuleParameterValue *CRuleEntry::GetParameterValue(const std::string &name) const {
  for (const auto &v : values_)
    if (v->GetParameter()->GetName() == name) return v.get();
  return nullptr;
}

void CRuleEntry::ClearAllValues() {
  for (auto &v : values_) v->ClearValue();
}

bool CRuleEntry::HasEqualParameters(const CRuleEntry &other) const {
  if (values_.size() != other.values_.size()) return false;
  for (size_t i = 0; i < values_.size(); ++i)
    if (values_[i]->GetValue() != other.values_[i]->GetValue()) return false;
  return true;
}

void CRuleEntry::ResetToStateOf(const CRuleEntry *other) {
  if (!other || other == this) return;
  CObjectWithDefaultState::ResetToStateOf(other);
  rule_ = other->rule_;
  check_ = other->check_;
  values_.clear();
  for (const auto &v : other->values_) values_.push_back(v->Clone());
}

bool CRuleEntry::Load(CTextInput *in, const CAllRules *catalogue, const CPathName &ruleSetPath) {
  std::string display, path;
  in->SkipUntilOneOf("\"");
  if (!in->ReadQuotedString(display)) return false;
  in->SkipBlanks();
  if (!in->RetrievePureOption(path, '"') || path.empty()) return false;
  if (!catalogue) return false;
  CRule *rule = catalogue->FindRuleByDisplayName(Trimmed(display));
  if (!rule) {
    CPathName resolved(path);
    resolved.MakeFullRelativeBy(ruleSetPath);
    rule = catalogue->FindRuleByPath(resolved);
  }
  if (!rule) return false;
  SetRule(rule);
  check_ = true;
  /* name {value} [# parts], separated by commas */
  for (;;) {
    in->SkipWhileOneOf(" \t,");
    if (in->IsEOF()) break;
    /* Names are read as declared: up to a blank or the value's brace. */
    std::string name;
    in->GetUntilOneOf(name, " \t{,");
    CRuleParameterValue *v = name.empty() ? nullptr : GetParameterValue(name);
    if (!v || !v->Load(in)) return false;
    in->SkipBlanks();
    if (!in->IsEOF() && in->Current() != ',') return false;
  }
  SetModifiedState(false);
  return true;
}

bool CRuleEntry::Save(CTextOutput *out, const CPathName &ruleSetPath) const {
  if (!rule_) return false;
  if (!out->WriteString("\"" + rule_->GetDisplayName() + "\" ") ||
      !out->WritePath(rule_->GetFullPath().GetRelativeTo(ruleSetPath).Str(), true))
    return false;
  if (!values_.empty()) {
    if (!out->WriteString(" ")) return false;
    for (size_t i = 0; i < values_.size(); ++i) {
      if (i && !out->WriteString(",")) return false;
      if (!values_[i]->Save(out)) return false;
    }
  }
  return out->WriteLine(nullptr);
}

bool CRuleEntry::SaveParameterFile(CTextOutput *out) const {
  std::string head = GetMessageText(34000);
  size_t start = 0;
  for (;;) {
    size_t nl = head.find('\n', start);
    if (nl == std::string::npos) {
      if (!out->WriteLine(head.substr(start))) return false;
      break;
    }
    if (!out->WriteLine(head.substr(start, nl - start))) return false;
    start = nl + 1;
  }
  for (const auto &v : values_)
    if (!v->SaveParameterFile(out)) return false;
  return true;
}

/* ---- rule sets ----------------------------------------------------- */

CRuleSet::CRuleSet(CRuleSet *model) {
  ResetToStateOf(model);
  default_ = model;
}

bool CRuleSet::GetVersion(const std::string &line, int &major, int &minor) {
  return GetHeaderVersion(line, "RULES", major, minor);
}

std::string CRuleSet::SetVersion(int major, int minor) {
  return "TARQUIN ZKL " + std::to_string(major) + "." + std::to_string(minor) + " RULES FILE";
}

const CAllRules *CRuleSet::GetCatalogue() const {
  if (catalogue_) return catalogue_;
  return TheEnvironment ? &TheEnvironment->GetAllRules() : nullptr;
}

void CRuleSet::AddRuleEntry(std::unique_ptr<CRuleEntry> e) {
  if (!e) return;
  entries_.push_back(std::move(e));
  SetModifiedState(true);
}

CRuleEntry *CRuleSet::FindRuleEntry(const CRule *rule) const {
  for (const auto &e : entries_)
    if (e->GetRule() == rule) return e.get();
  return nullptr;
}

void CRuleSet::FillAllRules() {
  const CAllRules *all = GetCatalogue();
  if (!all) return;
  for (const auto &r : all->GetRules())
    if (!FindRuleEntry(r.get())) entries_.push_back(std::make_unique<CRuleEntry>(r.get()));
}

int CRuleSet::GetCheckedRulesCount() const {
  int n = 0;
  for (const auto &e : entries_)
    if (e->IsCheck()) ++n;
  return n;
}

bool CRuleSet::LoadFile(CTextInput *input) {
  entries_.clear();
  std::string line, key, value;
  int major = 0, minor = 0;
  if (!input->ReadTrimmedLine(line) || !GetVersion(line, major, minor))
    CZKException::Throw(34002, GetLongPath());
  if (major != 1 || minor != 0) CZKException::Throw(34003, GetLongPath());
  if (!input->ReadTrimmedLine(line)) CZKException::Throw(34005, GetLongPath());
  if (!GetKeyAndValue(line, key, value)) CZKException::Throw(34004, GetLongPath());
  if (key != "NAME" || value.empty()) CZKException::Throw(34005, GetLongPath());
  SetName(value);
  CPathName self = GetFullPath();
  const CAllRules *catalogue = GetCatalogue();
  while (input->ReadTrimmedLine(line)) {
    auto entry = std::make_unique<CRuleEntry>();
    CTextInputString in(line);
    if (!entry->Load(&in, catalogue, self)) CZKException::Throw(34004, GetLongPath());
    entries_.push_back(std::move(entry));
  }
  SetModifiedState(false);
  return true;
}

bool CRuleSet::SaveFile(CTextOutput *out) const {
  CPathName self = GetFullPath();
  if (!out->WriteLine(SetVersion(1, 0)) || !out->WriteLine("NAME=" + GetName())) return false;
  for (const auto &e : entries_)
    if (e->IsCheck() && !e->Save(out, self)) return false;
  return true;
}

void CRuleSet::ResetToDefaultState() {
  if (!default_) {
    entries_.clear();
    return;
  }
  CPathName file = GetFilePath(), prefix = GetPrefixPath();
  ResetToStateOf(default_);
  SetFilePath(file);
  SetPrefixPath(prefix);
}

void CRuleSet::ResetToStateOf(const CRuleSet *other) {
  if (!other || other == this) return;
  CObjectWithDefaultState::ResetToStateOf(other);
  CPersistFileObject::ResetToStateOf(other);
  catalogue_ = other->catalogue_;
  entries_.clear();
  for (const auto &e : other->entries_) entries_.push_back(std::make_unique<CRuleEntry>(*e));
}

/* A path as one word of a list line read by the checker.  A double quote
 * or a line end cannot be written so that the checker reads the same name
 * back: such a path gives an empty word. */
static std::string ListWord(CPathName p) {
  p.MakeShort();
  if (p.Str().find_first_of("\"\r\n") != std::string::npos) return std::string();
  return QuoteIfNeeded(p.Str());
}

void CRuleSet::SaveRuleList(CTrackTempFiles &tracker, CTextOutput *output) const {
  CPathName dbg = TheEnvironment ? TheEnvironment->GetDbgDir() : CPathName();
  for (const auto &e : entries_) {
    if (!e->IsCheck() || !e->GetRule()) continue;
    const CRule *rule = e->GetRule();
    CPathName desc = rule->GetFullPath();
    std::string base = desc.GetFileNameNoExtension();
    CPathName params = GetTempFilePath(dbg.IsEmpty() ? nullptr : dbg.Str().c_str(), base.c_str(), "params");
    if (params.IsEmpty()) CZKException::Throw(34028);
    FILE *f = tracker.AddFilePath(params, true);
    if (!f) CZKException::Throw(34028);
    CTextOutputFile out(f);
    bool written = e->SaveParameterFile(&out) && std::fflush(f) == 0;
    tracker.CloseTempFile(f);
    if (!written) CZKException::Throw(34030, rule->GetDisplayName());
    std::string word = ListWord(params);
    if (word.empty() || !output->WriteLine(word)) CZKException::Throw(34029, GetName());
    if (desc.IsEmpty()) CZKException::Throw(34031, GetName());
    if (!desc.Exists()) CZKException::Throw(34007, rule->GetLongPath());
    word = ListWord(desc);
    if (word.empty() || !output->WriteLine(word)) CZKException::Throw(34029, GetName());
  }
}
