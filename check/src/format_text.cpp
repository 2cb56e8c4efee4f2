/*
 * format_text.cpp - the report for people (text: findings with their
 * source lines and a summary per rule) and for editors and CI problem
 * matchers (gcc: one "path:line:1: warning: message [RULE]" line each).
 */
#include <cstdio>
#include <cstring>
#include <map>

#include "findings.h"
#include "output.h"

static std::string Plural(int n, const char *one, const char *many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

std::string SummaryLine(const CheckContext &ctx) {
  int remaining = 0, suppressed = 0, baseline = 0;
  std::map<std::string, int> files;
  for (const auto &f : ctx.findings) {
    if (f.suppressed != Finding::Suppressed::No)
      ++suppressed;
    else if (f.inBaseline)
      ++baseline;
    else {
      ++remaining;
      ++files[f.path];
    }
  }
  int failedSources = 0;
  for (const auto &e : ctx.errors) failedSources += !e.isRule && !e.subject.empty() ? 1 : 0;
  std::string s = Plural(remaining, "finding", "findings") + " in " + Plural(static_cast<int>(files.size()), "file", "files");
  if (suppressed) s += ", " + std::to_string(suppressed) + " suppressed";
  if (baseline) s += ", " + std::to_string(baseline) + " in the baseline";
  s += "; " + Plural(ctx.sourcesAnalysed, "source", "sources") + " checked with rule set '" + ctx.ruleSetName + "'";
  if (failedSources) s += ", " + Plural(failedSources, "source", "sources") + " could not be analysed";
  return s;
}

bool SplitLocatedMessage(const std::string &message, std::string &file, long &line, std::string &text) {
  size_t close = message.find(") : ");
  if (close == std::string::npos) return false;
  size_t open = message.rfind('(', close);
  if (open == std::string::npos || open == 0 || open + 1 == close) return false;
  line = 0;
  for (size_t i = open + 1; i < close; ++i) {
    if (message[i] < '0' || message[i] > '9') return false;
    line = line * 10 + (message[i] - '0');
  }
  file = message.substr(0, open);
  text = message.substr(close + 4);
  for (const char *kind : {"Error: ", "Warning: "})
    if (text.compare(0, std::strlen(kind), kind) == 0) text.erase(0, std::strlen(kind));
  size_t b = text.find_first_not_of(' ');
  text = b == std::string::npos ? std::string() : text.substr(b);
  return true;
}

static std::string Where(const CheckContext &ctx, const Finding &f) {
  if (f.path.empty()) return std::string();
  std::string w = DisplayPath(ctx, f.path);
  if (f.line > 0) w += ":" + std::to_string(f.line);
  return w + ": ";
}

std::string FormatText(const CheckContext &ctx) {
  std::string out;
  std::map<std::string, int> perRule;
  for (const auto &f : ctx.findings) {
    if (!f.Counts()) continue;
    ++perRule[f.rule];
    out += Where(ctx, f) + f.rule + ": " + f.FullMessage() + "\n";
    if (!f.lineText.empty()) out += "    " + f.lineText + "\n";
  }
  if (!perRule.empty()) {
    out += "\nFindings per rule:\n";
    for (const auto &[rule, n] : perRule) {
      const RuleInfo *info = ctx.FindRule(rule);
      char line[512];
      std::snprintf(line, sizeof line, "  %6d  %-24s %s\n", n, rule.c_str(), info ? info->title.c_str() : "");
      out += line;
    }
  }
  out += (perRule.empty() ? "" : "\n") + SummaryLine(ctx) + ".\n";
  return out;
}

std::string FormatGcc(const CheckContext &ctx) {
  std::string out;
  for (const auto &e : ctx.errors) {
    for (const auto &m : e.messages) {
      std::string file, text;
      long line = 0;
      if (SplitLocatedMessage(m, file, line, text))
        out += DisplayPath(ctx, file) + ":" + std::to_string(line) + ":1: error: " + text + "\n";
    }
  }
  for (const auto &f : ctx.findings) {
    if (!f.Counts()) continue;
    std::string where = f.path.empty() ? ctx.program : DisplayPath(ctx, f.path);
    if (!f.path.empty() && f.line > 0) where += ":" + std::to_string(f.line) + ":1";
    out += where + ": warning: " + f.FullMessage() + " [" + f.rule + "]\n";
  }
  return out;
}
