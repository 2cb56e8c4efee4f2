/*
 * rules_info.cpp - listing and explaining rules.
 */
#include "rules_info.h"

#include <algorithm>
#include <cctype>

static std::string Upper(std::string s) {
  for (char &c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

static std::string Pad(const std::string &s, size_t width) {
  return s.size() >= width ? s + " " : s + std::string(width - s.size(), ' ');
}

static std::string Join(const std::vector<std::string> &items, const char *sep) {
  std::string out;
  for (const auto &i : items) out += (out.empty() ? "" : sep) + i;
  return out;
}

std::string ListRules(const std::vector<RuleInfo> &rules) {
  size_t keyWidth = 3, titleWidth = 5;
  for (const auto &r : rules) {
    keyWidth = std::max(keyWidth, r.key.size());
    titleWidth = std::max(titleWidth, r.title.size());
  }
  std::string out = Pad("KEY", keyWidth + 2) + Pad("TITLE", titleWidth + 2) + "REFERENCE\n";
  for (const auto &r : rules) {
    std::string line = Pad(r.key, keyWidth + 2) + Pad(r.title, titleWidth + 2) + Join(r.references, "; ");
    while (!line.empty() && line.back() == ' ') line.pop_back();
    out += line + "\n";
  }
  return out;
}

const RuleInfo *FindRuleInfo(const std::vector<RuleInfo> &rules, const std::string &key) {
  for (const auto &r : rules)
    if (Upper(r.key) == Upper(key)) return &r;
  return nullptr;
}

std::string ExplainRule(const RuleInfo &r, const std::string &ruleSetName) {
  std::string out = r.key + ": " + r.name + "\n";
  if (!r.title.empty()) out += "  " + r.title + "\n";
  if (!r.description.empty()) {
    out += "\n";
    size_t pos = 0;
    while (pos <= r.description.size()) {
      size_t end = r.description.find('\n', pos);
      if (end == std::string::npos) end = r.description.size();
      out += "  " + r.description.substr(pos, end - pos) + "\n";
      pos = end + 1;
    }
  }
  out += "\n";
  if (!r.references.empty()) out += "Reference: " + Join(r.references, "; ") + "\n";
  if (!r.severity.empty()) out += "Severity:  " + r.severity + "\n";
  if (!r.domain.empty()) out += "Domain:    " + r.domain + "\n";
  if (!r.comments.empty()) out += "Reports:   " + Join(r.comments, " ") + "\n";
  if (r.params.empty()) {
    out += "Parameters: none\n";
  } else {
    out += "Parameters:\n";
    for (const auto &p : r.params) {
      out += "  " + p.name + " (" + p.type + ")" + (p.label.empty() ? "" : ": " + p.label) + "\n";
      out += "      default: " + (p.defaultValue.empty() ? std::string("(none)") : p.defaultValue) + "\n";
      if (!ruleSetName.empty() && p.value != p.defaultValue)
        out += "      in rule set '" + ruleSetName + "': " + p.value + "\n";
    }
  }
  out += "File:      " + r.file + "\n";
  return out;
}
