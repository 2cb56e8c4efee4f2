/*
 * rules.cpp - rule descriptions and their declared parameters, parameter
 * values with the pattern parts, and the catalogue of installed rules.
 */
#include "tessary_rules.h"

#include <cstring>

/* ---- parameters ---------------------------------------------------- */

static bool SameIgnoringCase(const std::string &a, const char *b) {
  return a.size() == std::strlen(b) && strncasecmp(a.c_str(), b, a.size()) == 0;
}

bool CRuleParameter::MatchParameterType(EType &type, const std::string &text) {
  if (SameIgnoringCase(text, "Num")) {
    type = eNum;
    return true;
  }
  if (SameIgnoringCase(text, "pattern")) {
    type = ePattern;
    return true;
  }
  return false;
}

std::unique_ptr<CRuleParameter> CRuleParameter::CreateParameter(CTextInput *in) {
  std::string typeWord, name, label, def;
  in->SkipBlanks();
  in->GetUntilOneOf(typeWord, " \t");
  EType type;
  if (!MatchParameterType(type, typeWord)) return nullptr;
  in->SkipBlanks();
  in->GetUntilOneOf(name, " \t");
  if (name.empty()) return nullptr;
  in->SkipBlanks();
  if (in->IsEOF() || !in->RetrievePureOption(label, '"')) return nullptr;
  in->SkipBlanks();
  if (!in->IsEOF()) {
    if (!in->ReadQuotedString(def)) return nullptr;
    in->SkipBlanks();
    if (!in->IsEOF()) return nullptr;
  }
  return std::make_unique<CRuleParameter>(type, name, label, def);
}

std::unique_ptr<CRuleParameterValue> CRuleParameter::CreateValue() const {
  if (type_ == ePattern) return std::make_unique<CRulePatternValue>(this);
  return std::make_unique<CRuleParameterValue>(this);
}

/* ---- plain values -------------------------------------------------- */

std::string CRuleParameterValue::GetValue() const {
  if (has_) return value_;
  return param_ ? param_->GetDefaultValue() : std::string();
}

void CRuleParameterValue::SetValue(const std::string &text) {
  if (text != GetValue()) has_ = true;
  value_ = text;
  multiple_ = false;
}

void CRuleParameterValue::SetValue(int n) { SetValue(std::to_string(n)); }

std::string CRuleParameterValue::GetDisplayValue() const {
  return multiple_ ? std::string(GetMessageText(34134)) : GetValue();
}

std::unique_ptr<CRuleParameterValue> CRuleParameterValue::Clone() const {
  return std::make_unique<CRuleParameterValue>(*this);
}

void CRuleParameterValue::Update(const CRuleParameterValue &other) {
  has_ = other.has_;
  value_ = other.value_;
  multiple_ = other.multiple_;
}

void CRuleParameterValue::Intersect(const CRuleParameterValue &other) {
  if (other.multiple_ || GetValue() != other.GetValue()) multiple_ = true;
}

bool CRuleParameterValue::Save(CTextOutput *out) const {
  return out->WriteString(" " + param_->GetName() + " {" + GetValue() + "}");
}

/* A value is read up to its closing brace.  Braces inside it nest, so that
 * a pattern such as "^[a-z]{2,8}$" comes back whole; a value without
 * braces ends at the first '}' as it always did. */
bool CRuleParameterValue::Load(CTextInput *in) {
  in->SkipBlanks();
  if (in->Current() != '{') return false;
  in->NextChar();
  std::string text;
  int depth = 0;
  while (!in->IsEOF() && in->Current() != '\n') {
    char c = in->Current();
    if (c == '}' && depth == 0) break;
    if (c == '{') depth++;
    if (c == '}') depth--;
    text += c;
    in->NextChar();
  }
  if (in->Current() != '}') return false;
  in->NextChar();
  SetValue(Trimmed(text));
  return true;
}

/* True when Tcl reads "{text}" back as text itself: braces balanced
 * (a backslash hides the next character from the count) and no backslash
 * at the end, which would escape the closing brace. */
static bool brace_safe(const std::string &text) {
  int depth = 0;
  for (size_t i = 0; i < text.size(); i++) {
    char c = text[i];
    if (c == '\\') {
      if (++i == text.size() || text[i] == '\n') return false;
    } else if (c == '{') {
      depth++;
    } else if (c == '}' && --depth < 0) {
      return false;
    } else if (c == '\n') {
      return false;
    }
  }
  return depth == 0;
}

/* The same text as a double-quoted Tcl word, every special character
 * escaped. */
static std::string tcl_quoted(const std::string &text) {
  std::string q = "\"";
  for (char c : text) {
    if (c == '\n') {
      q += "\\n";
      continue;
    }
    if (strchr("\\\"$[]{}", c)) q += '\\';
    q += c;
  }
  return q + "\"";
}

/* A value that braces cannot carry unchanged (an unbalanced brace, a
 * trailing backslash) is written as a quoted word instead, so that the rule
 * receives exactly the value the user gave and the file still evaluates. */
bool CRuleParameterValue::SaveParameterFile(CTextOutput *out) const {
  const std::string value = GetValue();
  std::string set_line = brace_safe(value) ? FormatMessageText(34127, param_->GetName(), value)
                                           : "set " + param_->GetName() + " " + tcl_quoted(value);
  return out->WriteLine(FormatMessageText(34126, param_->GetName())) && out->WriteLine(set_line);
}

/* ---- pattern values ------------------------------------------------ */

std::unique_ptr<CRuleParameterValue> CRulePatternValue::Clone() const {
  return std::make_unique<CRulePatternValue>(*this);
}

void CRulePatternValue::Update(const CRuleParameterValue &other) {
  CRuleParameterValue::Update(other);
  if (auto *p = dynamic_cast<const CRulePatternValue *>(&other)) {
    useParts_ = p->useParts_;
    partsMultiple_ = p->partsMultiple_;
    begin_ = p->begin_;
    contains_ = p->contains_;
    end_ = p->end_;
  }
}

void CRulePatternValue::Intersect(const CRuleParameterValue &other) {
  CRuleParameterValue::Intersect(other);
  auto *p = dynamic_cast<const CRulePatternValue *>(&other);
  if (!p || p->partsMultiple_ || useParts_ != p->useParts_ || !(begin_ == p->begin_) ||
      !(contains_ == p->contains_) || !(end_ == p->end_))
    partsMultiple_ = true;
}

static std::string Piece(unsigned id, const std::string &text) {
  std::string fmt = GetMessageText(id);
  size_t at = fmt.find("%s");
  if (at != std::string::npos) fmt.replace(at, 2, text);
  return fmt;
}

std::string CRulePatternValue::BuildFromParts() const {
  std::string v;
  if (!begin_.text.empty()) v += Piece(begin_.negated ? 34129 : 34128, begin_.text);
  v += contains_.text.empty() ? std::string(GetMessageText(34133)) : Piece(34132, contains_.text);
  if (!end_.text.empty()) v += Piece(end_.negated ? 34131 : 34130, end_.text);
  return v;
}

void CRulePatternValue::ConstructFullValue() { SetValue(BuildFromParts()); }

void CRulePatternValue::SetUseParts(bool on) {
  useParts_ = on;
  if (on) ConstructFullValue();
}

/* A negated part stands for one character. */
static void SetPart(CRulePatternValue::Part &part, const std::string &text, bool negated) {
  part.text = part.negated ? text.substr(0, 1) : text;
  part.negated = negated;
}

void CRulePatternValue::SetBeginPart(const std::string &text, bool negated) {
  SetPart(begin_, text, negated);
  if (useParts_) ConstructFullValue();
}

void CRulePatternValue::SetContainsPart(const std::string &text) {
  contains_.text = text;
  if (useParts_) ConstructFullValue();
}

void CRulePatternValue::SetEndPart(const std::string &text, bool negated) {
  SetPart(end_, text, negated);
  if (useParts_) ConstructFullValue();
}

void CRulePatternValue::ClearParts() {
  begin_.text.clear();
  contains_.text.clear();
  end_.text.clear();
}

static std::string PartText(const CRulePatternValue::Part &p) {
  return std::string(" {") + (p.negated ? "1" : "0") + ",\"" + p.text + "\"}";
}

bool CRulePatternValue::Save(CTextOutput *out) const {
  if (!CRuleParameterValue::Save(out)) return false;
  if (!useParts_) return true;
  return out->WriteString(" #" + PartText(begin_) + PartText(contains_) + PartText(end_));
}

static bool ReadPart(CTextInput *in, CRulePatternValue::Part &part) {
  in->SkipBlanks();
  if (in->Current() != '{') return false;
  in->NextChar();
  in->SkipBlanks();
  char flag = in->Current();
  if (flag != '0' && flag != '1') return false;
  in->NextChar();
  in->SkipBlanks();
  if (in->Current() != ',') return false;
  in->NextChar();
  in->SkipBlanks();
  if (!in->ReadQuotedString(part.text)) return false;
  in->SkipBlanks();
  if (in->Current() != '}') return false;
  in->NextChar();
  part.negated = flag == '1';
  if (part.negated) part.text = part.text.substr(0, 1);
  return true;
}

bool CRulePatternValue::Load(CTextInput *in) {
  useParts_ = false;
  if (!CRuleParameterValue::Load(in)) return false;
  in->SkipBlanks();
  if (in->Current() != '#') return true;
  in->NextChar();
  Part b, c, e;
  if (!ReadPart(in, b) || !ReadPart(in, c) || !ReadPart(in, e)) return false;
  c.negated = false;
  CRulePatternValue probe(*this);
  probe.begin_ = b;
  probe.contains_ = c;
  probe.end_ = e;
  /* Parts edited apart from the value by hand: the value wins. */
  if (probe.BuildFromParts() != GetValue()) return true;
  begin_ = b;
  contains_ = c;
  end_ = e;
  useParts_ = true;
  return true;
}

/* ---- rule descriptions --------------------------------------------- */

const CRuleParameter *CRule::GetParameter(const std::string &name) const {
  for (const auto &p : params_)
    if (p->GetName() == name) return p.get();
  return nullptr;
}

bool CRule::SaveFile(CTextOutput *) const { return false; }

static bool StartsWith(const std::string &s, const char *prefix) {
  return s.compare(0, std::strlen(prefix), prefix) == 0;
}

static void AppendLine(std::string &to, const std::string &line) {
  if (!to.empty()) to += '\n';
  to += line;
}

bool CRule::LoadFile(CTextInput *input) {
  params_.clear();
  title_.clear();
  others_.clear();
  SetName(std::string());
  std::string line, header, body;
  bool inSection = false;
  auto handle = [&]() {
    if (StartsWith(header, ".NAME")) {
      std::string rest = Trimmed(header.substr(5));
      if (rest.empty()) return false;
      SetName(rest);
    } else if (StartsWith(header, ".PARAMETER")) {
      CTextInputString in(header.substr(10));
      auto p = CRuleParameter::CreateParameter(&in);
      if (!p) return false;
      for (auto &old : params_) {
        if (old->GetName() == p->GetName()) {
          old->Assign(*p);
          return true;
        }
      }
      params_.push_back(std::move(p));
    } else if (StartsWith(header, ".TITLE Description")) {
      std::string rest = Trimmed(header.substr(18));
      if (!rest.empty()) AppendLine(title_, rest);
      if (!body.empty()) AppendLine(title_, body);
    } else {
      AppendLine(others_, header);
    }
    return true;
  };
  while (input->ReadTrimmedLine(line)) {
    if (line[0] == '.') {
      if (inSection && !handle()) CZKException::Throw(34004, GetLongPath());
      header = line;
      body.clear();
      inSection = true;
    } else if (inSection) {
      AppendLine(body, line);
    }
  }
  if (inSection && !handle()) CZKException::Throw(34004, GetLongPath());
  if (GetName().empty()) CZKException::Throw(34004, GetLongPath());
  SetModifiedState(false);
  return true;
}

/* ---- catalogue ----------------------------------------------------- */

bool CAllRules::LoadFile(CTextInput *input) {
  rules_.clear();
  CPathName dir = GetFullPath().GetDirectory();
  std::string line;
  while (input->ReadTrimmedLine(line)) {
    CTextInputString in(line);
    std::string display, path;
    in.SkipUntilOneOf("\"");
    if (!in.ReadQuotedString(display) || !in.ReadPath(path))
      CZKException::Throw(34004, GetLongPath());
    auto rule = std::make_unique<CRule>();
    rule->SetDisplayName(Trimmed(display));
    rule->SetFilePath(path);
    rule->SetPrefixPath(dir);
    try {
      if (!rule->Load()) return false;
    } catch (const CZKException &e) {
      if (TheErrorLog) TheErrorLog->Report(e);
      return false;
    }
    rules_.push_back(std::move(rule));
  }
  SetModifiedState(false);
  return true;
}

bool CAllRules::SaveFile(CTextOutput *out) const {
  CPathName self = GetFullPath();
  for (const auto &r : rules_) {
    if (!out->WriteString("\"" + r->GetDisplayName() + "\" ") ||
        !out->WritePath(r->GetFullPath().GetRelativeTo(self).Str(), true) || !out->WriteLine(nullptr))
      return false;
  }
  return true;
}

CRule *CAllRules::FindRuleByPath(const CPathName &path) const {
  for (const auto &r : rules_)
    if (r->GetFullPath() == path) return r.get();
  return nullptr;
}

CRule *CAllRules::FindRuleByName(const std::string &name) const {
  for (const auto &r : rules_)
    if (r->GetName() == name) return r.get();
  return nullptr;
}

CRule *CAllRules::FindRuleByDisplayName(const std::string &text) const {
  for (const auto &r : rules_)
    if (r->GetDisplayName() == text) return r.get();
  return nullptr;
}
