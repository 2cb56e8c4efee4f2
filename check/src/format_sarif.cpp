/*
 * format_sarif.cpp - the report as a SARIF 2.1.0 log for code-scanning
 * services and viewers: the run's rules with their descriptions and
 * references, results relative to the %SRCROOT% base with stable partial
 * fingerprints, suppressed and baselined results marked as such, and the
 * sources that could not be analysed as tool execution notifications.
 */
#include <cctype>
#include <map>

#include <nlohmann/json.hpp>

#include "findings.h"
#include "output.h"
#include "project.h"

using json = nlohmann::ordered_json;

/* A path as a URI reference: every byte outside the unreserved set and
 * '/' percent-encoded. */
static std::string UriEncode(const std::string &path) {
  static const char hex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : path) {
    if (std::isalnum(c) || c == '/' || c == '-' || c == '_' || c == '.' || c == '~') {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += hex[c >> 4];
      out += hex[c & 15];
    }
  }
  return out;
}

static json Text(const std::string &s) { return json{{"text", s}}; }

static json RuleDescriptor(const RuleInfo &r) {
  json d = {{"id", r.key}, {"name", r.name}};
  d["shortDescription"] = Text(r.title.empty() ? r.name : r.title);
  std::string full = r.description.empty() ? (r.title.empty() ? r.name : r.title) : r.description;
  d["fullDescription"] = Text(full);
  std::string help = full;
  for (const auto &c : r.comments) help += (help.empty() ? "" : "\n") + c;
  d["help"] = Text(help);
  d["defaultConfiguration"] = {{"level", "warning"}};
  json tags = json::array();
  for (const auto &ref : r.references) tags.push_back(ref);
  if (!r.domain.empty()) tags.push_back(r.domain);
  json props = {{"tags", tags}};
  if (!r.severity.empty()) props["severity"] = r.severity;
  if (!r.params.empty()) {
    json params = json::object();
    for (const auto &p : r.params) params[p.name] = p.value;
    props["parameters"] = params;
  }
  d["properties"] = props;
  return d;
}

static json Location(const CheckContext &ctx, const std::string &path, long line, const std::string &snippet) {
  bool inRoot = path.compare(0, ctx.root.size(), ctx.root) == 0;
  json artifact = {{"uri", UriEncode(inRoot ? path.substr(ctx.root.size()) : path)}};
  if (inRoot) artifact["uriBaseId"] = "SRCROOT";
  else artifact["uri"] = "file://" + UriEncode(path);
  json physical = {{"artifactLocation", artifact}};
  if (line > 0) {
    json region = {{"startLine", line}};
    if (!snippet.empty()) region["snippet"] = Text(snippet);
    physical["region"] = region;
  }
  return json{{"physicalLocation", physical}};
}

std::string FormatSarif(const CheckContext &ctx) {
  json rules = json::array();
  std::map<std::string, size_t> index;
  for (const auto &r : ctx.rules) {
    if (index.count(r.key)) continue;
    index[r.key] = rules.size();
    rules.push_back(RuleDescriptor(r));
  }
  json results = json::array();
  std::vector<std::string> fingerprints = Fingerprints(ctx.findings);
  for (size_t i = 0; i < ctx.findings.size(); ++i) {
    const Finding &f = ctx.findings[i];
    if (!index.count(f.rule)) {
      /* A key no rule of the set declares (a rule file without .KEY). */
      index[f.rule] = rules.size();
      rules.push_back({{"id", f.rule}, {"shortDescription", Text(f.rule)}});
    }
    json r = {{"ruleId", f.rule}, {"ruleIndex", index[f.rule]}, {"level", "warning"}, {"message", Text(f.FullMessage().empty() ? f.rule : f.FullMessage())}};
    if (!f.path.empty()) r["locations"] = json::array({Location(ctx, f.path, f.line, f.lineText)});
    r["partialFingerprints"] = {{"kvxFinding/v1", fingerprints[i]}};
    if (f.suppressed != Finding::Suppressed::No) {
      json s = {{"kind", f.suppressed == Finding::Suppressed::Inline ? "inSource" : "external"}, {"status", "accepted"}};
      if (!f.justification.empty()) s["justification"] = f.justification;
      r["suppressions"] = json::array({s});
    }
    if (!ctx.opts.baseline.empty()) r["baselineState"] = f.inBaseline ? "unchanged" : "new";
    results.push_back(r);
  }

  json notifications = json::array();
  for (const auto &e : ctx.errors) {
    std::string text;
    if (e.isRule)
      text = "rule " + e.subject + " failed";
    else if (!e.subject.empty())
      text = DisplayPath(ctx, e.subject) + " could not be analysed; the other sources were checked without it";
    else
      text = "the check could not be completed";
    for (const auto &m : e.messages) text += "\n" + m;
    json n = {{"level", "error"}, {"message", Text(text)}};
    std::string file, msg;
    long line = 0;
    if (!e.isRule && !e.messages.empty() && SplitLocatedMessage(e.messages.front(), file, line, msg)) {
      n["locations"] = json::array({Location(ctx, FullPathOf(file, ctx.cwd), line, "")});
    } else if (!e.isRule && !e.subject.empty()) {
      n["locations"] = json::array({Location(ctx, e.subject, 0, "")});
    }
    notifications.push_back(n);
  }
  json invocation = {{"executionSuccessful", ctx.errors.empty()}};
  if (!notifications.empty()) invocation["toolExecutionNotifications"] = notifications;

  json driver = {{"name", "kvx_check"}, {"fullName", "Kavexo rule checker"}, {"version", "2.1"},
                 {"semanticVersion", "2.1.0"}, {"rules", rules}};
  json run = {{"tool", {{"driver", driver}}},
              {"originalUriBaseIds", {{"SRCROOT", {{"uri", "file://" + UriEncode(ctx.root)}}}}},
              {"invocations", json::array({invocation})},
              {"columnKind", "unicodeCodePoints"},
              {"results", results}};
  json log = {{"$schema", "https://json.schemastore.org/sarif-2.1.0.json"}, {"version", "2.1.0"}, {"runs", json::array({run})}};
  return log.dump(2) + "\n";
}
