/*
 * console.cpp - the checker's console output, line by line.  Progress lines
 * are "kvx_progress: <what> <errors> <name>", written after everything the
 * checker printed before them: the messages between "begin" and "source"
 * belong to that source, those before a "rule" line to that rule.
 */
#include "console.h"

#include <cstdlib>

static const char kProgress[] = "kvx_progress: ";

static bool IsErrorLine(const std::string &line) {
  return line.find("Error") != std::string::npos;
}

/* Lines the checker prints that say nothing about a failure. */
static bool IsNoise(const std::string &line) {
  return line.empty() || line.compare(0, 9, "kvx_cc : ") == 0 || line == "Kavexo analysing:";
}

/* The error lines among lines; with orAll, all of them when none is. */
static std::vector<std::string> ErrorMessages(const std::vector<std::string> &lines, bool orAll = true) {
  std::vector<std::string> out;
  for (const auto &l : lines)
    if (IsErrorLine(l)) out.push_back(l);
  return out.empty() && orAll ? lines : out;
}

void ReadConsoleLine(ConsoleState &s, const std::string &line) {
  if (line.compare(0, sizeof kProgress - 1, kProgress) != 0) {
    if (!IsNoise(line)) s.pending.push_back(line);
    return;
  }
  std::string rest = line.substr(sizeof kProgress - 1);
  size_t sp1 = rest.find(' ');
  size_t sp2 = sp1 == std::string::npos ? std::string::npos : rest.find(' ', sp1 + 1);
  if (sp2 == std::string::npos) return;
  std::string what = rest.substr(0, sp1);
  int errors = std::atoi(rest.substr(sp1 + 1, sp2 - sp1 - 1).c_str());
  std::string name = rest.substr(sp2 + 1);
  if (what == "begin") {
    /* Errors before a source began (a compile line's options). */
    if (errors > s.lastErrors)
      for (const auto &m : ErrorMessages(s.pending, false)) s.otherErrors.push_back(m);
    s.inSource = true;
    s.current = name;
    s.errorsAtBegin = errors;
  } else if (what == "source") {
    if (errors > s.errorsAtBegin) s.failures.push_back({name, ErrorMessages(s.pending), false});
    s.inSource = false;
    ++s.sourcesDone;
  } else if (what == "rule") {
    if (errors > s.lastErrors) s.failures.push_back({name, s.pending, true});
    ++s.ruleLinesDone;
  }
  s.lastErrors = errors;
  s.pending.clear();
}

void FinishConsole(ConsoleState &s, int status) {
  if (s.inSource) {
    /* The run ended inside a source: a fatal error of its analysis. */
    s.failures.push_back({s.current, ErrorMessages(s.pending), false});
    s.inSource = false;
    s.pending.clear();
    return;
  }
  if (status != 0)
    for (const auto &m : ErrorMessages(s.pending, false)) s.otherErrors.push_back(m);
  s.pending.clear();
}
