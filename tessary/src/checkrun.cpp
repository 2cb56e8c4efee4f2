/*
 * checkrun.cpp - preparing a check run (the options file, the rule list,
 * the report and console files, the checker's command) and reading the
 * report the checker writes.
 */
#include "tessary_checkrun.h"

#include <unistd.h>

#include <cstdio>

#include "tessary_app.h"
#include "tessary_env.h"

static std::string ShortForm(CPathName p) {
  p.MakeShort();
  return p.Str();
}

bool CCheckRun::Prepare(const CApplication &app, const CRuleSet *ruleSet, const CPathName &dir) {
  Clear();
  if (!ruleSet) ruleSet = app.GetAppRuleSet();
  if (!ruleSet) return false;
  checker_ = TheEnvironment ? TheEnvironment->GetRuvexaPath() : CPathName();
  if (checker_.IsEmpty() || !checker_.IsFile() || ::access(checker_.Str().c_str(), X_OK) != 0)
    CZKException::Throw(34023);

  const char *where = dir.IsEmpty() ? nullptr : dir.Str().c_str();
  FILE *f = tracker_.CreateTempFile(where, "zk", GetMessageText(34121), &options_);
  if (!f) CZKException::Throw(34025);
  CTextOutputFile optionsOut(f);
  bool written = app.GetCheckOptions(tracker_, &optionsOut) && std::fflush(f) == 0;
  tracker_.CloseTempFile(f);
  if (!written) CZKException::Throw(34025);
  files_ = 0;
  for (const auto &e : app.GetFileEntries())
    if (e->IsCheck()) ++files_;

  f = tracker_.CreateTempFile(where, "zk", GetMessageText(34120), &ruleList_);
  if (!f) CZKException::Throw(34028);
  CTextOutputFile listOut(f);
  try {
    ruleSet->SaveRuleList(tracker_, &listOut);
  } catch (...) {
    tracker_.CloseTempFile(f);
    throw;
  }
  written = std::fflush(f) == 0;
  tracker_.CloseTempFile(f);
  if (!written) CZKException::Throw(34029, ruleSet->GetName());
  rules_ = 0;
  for (const auto &e : ruleSet->GetRuleEntries())
    if (e->IsCheck() && e->GetRule()) ++rules_;

  report_ = tracker_.CreateTempFilePath(where, "zkout", GetMessageText(34122));
  console_ = tracker_.CreateTempFilePath(where, "zkerr", GetMessageText(34122));
  if (report_.IsEmpty() || console_.IsEmpty()) CZKException::Throw(34028);
  return true;
}

std::vector<std::string> CCheckRun::GetArguments() const {
  return {ShortForm(checker_), ShortForm(options_), ShortForm(ruleList_), ShortForm(report_)};
}

std::string CCheckRun::GetCommandLine() const {
  std::string line;
  for (const auto &a : GetArguments()) {
    if (!line.empty()) line += ' ';
    line += QuoteIfNeeded(a);
  }
  return line;
}

void CCheckRun::Clear() {
  tracker_.ClearFiles();
  checker_.Empty();
  options_.Empty();
  ruleList_.Empty();
  report_.Empty();
  console_.Empty();
  files_ = rules_ = 0;
}

/* ---- the report ----------------------------------------------------- */

void SplitReportLocation(const std::string &text, std::string &path, long &line) {
  size_t open = text.rfind('(');
  line = 0;
  if (open == std::string::npos) {
    path = text;
    return;
  }
  path = text.substr(0, open);
  /* as atoi: optional blanks and a sign, then the digits there are */
  size_t i = open + 1;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
    if ((value = value * 10 + (text[i] - '0')) > 0x7fffffff) value = 0x7fffffff;
  line = negative ? -value : value;
}

/* "message (in function f)": the function part is split off. */
static void SplitMessage(const std::string &text, SViolation &v) {
  static const std::string marker = " (in function ";
  v.message = text;
  v.details = Trimmed(text);
  v.function.clear();
  if (text.empty() || text.back() != ')') return;
  size_t at = text.rfind(marker);
  if (at == std::string::npos) return;
  std::string name = text.substr(at + marker.size(), text.size() - at - marker.size() - 1);
  /* A function name has no parentheses: anything else after the marker
   * belongs to the message. */
  if (name.empty() || name.find_first_of("() ") != std::string::npos) return;
  v.function = name;
  v.message = text.substr(0, at);
}

void ParseViolationReport(const std::string &text, std::vector<SViolation> &out) {
  SViolation v;
  int expect = 0;  /* 0: F line, 1: R line, 2: M line */
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    std::string line = Trimmed(text.substr(pos, end - pos));
    pos = end + 1;
    char kind = line.empty() ? 0 : line[0];
    std::string rest = line.empty() ? std::string() : line.substr(1);
    if (kind == 'F') {
      v = SViolation();
      SplitReportLocation(Trimmed(rest), v.file, v.line);
      expect = 1;
    } else if (kind == 'R' && expect == 1) {
      v.application = !rest.empty() && rest[0] == ' ';
      v.rule = v.application ? rest.substr(1) : rest;
      expect = 2;
    } else if (kind == 'M' && expect == 2) {
      SplitMessage(rest, v);
      out.push_back(v);
      expect = 0;
    } else {
      expect = 0;
    }
  }
}

bool ReadViolationReport(const CPathName &path, std::vector<SViolation> &out) {
  FILE *f = std::fopen(path.Str().c_str(), "rb");
  if (!f) return false;
  std::string text;
  char buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) text.append(buf, n);
  bool ok = !std::ferror(f);
  std::fclose(f);
  ParseViolationReport(text, out);
  return ok;
}
