/*
 * findings.cpp - filtering, ordering and marking the findings of a run.
 */
#include "findings.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <fnmatch.h>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <tuple>

#include <nlohmann/json.hpp>

#include "output.h"

using json = nlohmann::json;

static bool StartsWith(const std::string &s, const std::string &prefix) {
  return s.compare(0, prefix.size(), prefix) == 0;
}

static std::string Upper(std::string s) {
  for (char &c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

static std::string Trim(const std::string &s) {
  size_t b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return std::string();
  size_t e = s.find_last_not_of(" \t\r\n");
  return s.substr(b, e - b + 1);
}

bool MatchesGlob(const std::string &glob, const std::string &relPath) {
  std::string g = glob;
  while (StartsWith(g, "./")) g.erase(0, 2);
  if (!g.empty() && g.back() == '/') g.pop_back();
  if (g.empty()) return false;
  /* A star crosses directories, so "*.gen.c" matches in every directory;
   * a pattern that matches a directory ("third_party") takes everything
   * below it. */
  if (fnmatch(g.c_str(), relPath.c_str(), 0) == 0) return true;
  for (size_t slash = relPath.find('/'); slash != std::string::npos; slash = relPath.find('/', slash + 1))
    if (fnmatch(g.c_str(), relPath.substr(0, slash).c_str(), 0) == 0) return true;
  return false;
}

static std::string RelativeToRoot(const CheckContext &ctx, const std::string &path) {
  return StartsWith(path, ctx.root) ? path.substr(ctx.root.size()) : path;
}

bool IsExcluded(const CheckContext &ctx, const std::string &path) {
  std::string rel = RelativeToRoot(ctx, path);
  for (const auto &g : ctx.opts.excludes)
    if (MatchesGlob(g, rel) || fnmatch(g.c_str(), path.c_str(), 0) == 0) return true;
  return false;
}

bool InProject(const CheckContext &ctx, const std::string &path) {
  if (!StartsWith(path, ctx.root)) return false;
  for (const auto &d : ctx.systemDirs)
    if (StartsWith(path, d) && !StartsWith(ctx.root, d)) return false;
  return !IsExcluded(ctx, path);
}

std::string DisplayPath(const CheckContext &ctx, const std::string &path) {
  if (!ctx.cwd.empty() && StartsWith(path, ctx.cwd)) return path.substr(ctx.cwd.size());
  return path;
}

/* ---- source lines --------------------------------------------------- */

/* The lines of the files findings are in, each file read once. */
class SourceCache {
 public:
  const std::vector<std::string> &Lines(const std::string &path) {
    auto it = files_.find(path);
    if (it != files_.end()) return it->second;
    std::vector<std::string> &lines = files_[path];
    std::ifstream in(path, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(line);
    }
    return lines;
  }
  std::string Line(const std::string &path, long n) {
    const auto &lines = Lines(path);
    return n >= 1 && n <= static_cast<long>(lines.size()) ? lines[n - 1] : std::string();
  }

 private:
  std::map<std::string, std::vector<std::string>> files_;
};

bool ParseAllowComment(const std::string &line, std::vector<std::string> &keys, std::string &reason) {
  static const std::string word = "kvx-allow";
  for (size_t at = line.find(word); at != std::string::npos; at = line.find(word, at + 1)) {
    /* Only in a comment: the opener, then blanks, then the word. */
    size_t b = at;
    while (b > 0 && (line[b - 1] == ' ' || line[b - 1] == '\t')) --b;
    if (b < 2 || !((line[b - 2] == '/' && line[b - 1] == '*') || (line[b - 2] == '/' && line[b - 1] == '/'))) continue;
    bool block = line[b - 1] == '*';
    size_t end = block ? line.find("*/", at) : std::string::npos;
    std::string body = line.substr(at + word.size(), end == std::string::npos ? std::string::npos : end - at - word.size());
    size_t colon = body.find(':');
    std::string list = body.substr(0, colon);
    reason = colon == std::string::npos ? std::string() : Trim(body.substr(colon + 1));
    keys.clear();
    std::string key;
    for (char c : list + ",") {
      if (c == ',' || c == ' ' || c == '\t') {
        if (!key.empty()) keys.push_back(key);
        key.clear();
      } else {
        key += c;
      }
    }
    if (!keys.empty()) return true;
  }
  return false;
}

static bool AllowedInline(SourceCache &cache, Finding &f) {
  long first = std::max(f.line, 1L);
  for (long n : {first, first - 1}) {
    std::vector<std::string> keys;
    std::string reason;
    if (n < 1 || !ParseAllowComment(cache.Line(f.path, n), keys, reason)) continue;
    for (const auto &k : keys)
      if (Upper(k) == Upper(f.rule)) {
        f.justification = reason;
        return true;
      }
  }
  return false;
}

/* ---- suppression files ---------------------------------------------- */

struct SuppressionEntry {
  std::string glob;
  std::vector<std::string> keys;  /* empty or "*": every rule */
  std::string where;              /* file:line, the justification */
};

/* Lines "GLOB [KEY[,KEY...]]", '#' starting a comment. */
static std::vector<SuppressionEntry> ReadSuppressions(const std::string &path) {
  std::ifstream in(path);
  if (!in) throw FileError{path + ": cannot read the suppressions file"};
  std::vector<SuppressionEntry> out;
  std::string line;
  int n = 0;
  while (std::getline(in, line)) {
    ++n;
    size_t hash = line.find('#');
    if (hash != std::string::npos) line.erase(hash);
    std::istringstream words(line);
    SuppressionEntry e;
    if (!(words >> e.glob)) continue;
    std::string w;
    while (words >> w) {
      std::string key;
      for (char c : w + ",") {
        if (c == ',') {
          if (!key.empty()) e.keys.push_back(key);
          key.clear();
        } else {
          key += c;
        }
      }
    }
    e.where = path + ":" + std::to_string(n);
    out.push_back(e);
  }
  return out;
}

static bool SuppressedByFile(const std::vector<SuppressionEntry> &entries, Finding &f) {
  for (const auto &e : entries) {
    if (!MatchesGlob(e.glob, f.relPath) && fnmatch(e.glob.c_str(), f.path.c_str(), 0) != 0) continue;
    bool all = e.keys.empty() || std::find(e.keys.begin(), e.keys.end(), "*") != e.keys.end();
    bool named = std::any_of(e.keys.begin(), e.keys.end(), [&](const std::string &k) { return Upper(k) == Upper(f.rule); });
    if (all || named) {
      f.justification = "suppressed by " + e.where;
      return true;
    }
  }
  return false;
}

/* ---- baselines ------------------------------------------------------ */

using BaselineKey = std::tuple<std::string, std::string, std::string, std::string>;

static BaselineKey KeyOf(const Finding &f) {
  return {f.relPath, f.rule, f.FullMessage(), Trim(f.lineText)};
}

static std::multiset<BaselineKey> ReadBaseline(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw FileError{path + ": cannot read the baseline"};
  json doc;
  try {
    doc = json::parse(in);
  } catch (const json::exception &e) {
    throw FileError{path + ": not a baseline: " + e.what()};
  }
  if (!doc.is_object() || !doc.contains("findings") || !doc["findings"].is_array())
    throw FileError{path + ": not a baseline: no list of findings"};
  std::multiset<BaselineKey> keys;
  for (const auto &f : doc["findings"]) {
    if (!f.is_object()) continue;
    auto text = [&](const char *k) { return f.contains(k) && f[k].is_string() ? f[k].get<std::string>() : std::string(); };
    keys.insert({text("file"), text("rule"), text("message"), Trim(text("source"))});
  }
  return keys;
}

void CheckInputFiles(const Options &opts) {
  for (const auto &file : opts.suppressionFiles) ReadSuppressions(file);
  if (!opts.baseline.empty()) ReadBaseline(opts.baseline);
}

void WriteBaseline(const CheckContext &ctx, const std::string &path) {
  json list = json::array();
  for (const auto &f : ctx.findings) {
    if (f.suppressed != Finding::Suppressed::No) continue;
    list.push_back({{"file", f.relPath}, {"line", f.line}, {"rule", f.rule}, {"message", f.FullMessage()},
                    {"source", Trim(f.lineText)}});
  }
  json doc = {{"kvx_check_baseline", 1}, {"findings", list}};
  std::string error;
  if (!WriteFileAtomically(path, doc.dump(2) + "\n", error)) throw FileError{error};
}

/* ---- fingerprints --------------------------------------------------- */

static uint64_t Fnv1a(const std::string &s) {
  uint64_t h = 1469598103934665603ULL;
  for (unsigned char c : s) {
    h ^= c;
    h *= 1099511628211ULL;
  }
  return h;
}

/* Stable while the finding's file, rule, message and source line stay:
 * moving lines keeps it, the n-th identical finding of a file gets its
 * own. */
static void SetFingerprints(std::vector<Finding> &findings) {
  std::map<std::string, int> seen;
  for (auto &f : findings) {
    std::string key = f.rule + '\0' + f.relPath + '\0' + f.FullMessage() + '\0' + Trim(f.lineText);
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(Fnv1a(key)));
    f.fingerprint = std::string(hex) + ":" + std::to_string(++seen[key]);
  }
}

/* ---- collecting ----------------------------------------------------- */

void CollectFindings(CheckContext &ctx, const std::vector<SViolation> &records) {
  SourceCache cache;
  std::set<std::tuple<std::string, long, std::string, std::string>> seen;
  std::vector<Finding> out;
  for (const auto &r : records) {
    Finding f;
    if (!r.file.empty()) {
      CPathName p(r.file);
      if (!p.IsFull()) p = CPathName(ctx.cwd) + p;
      p.Canonicalize();
      f.path = p.Str();
      if (!InProject(ctx, f.path)) continue;
      f.relPath = RelativeToRoot(ctx, f.path);
    }
    f.line = r.line;
    f.rule = r.rule;
    f.message = r.message;
    f.function = r.function;
    if (!seen.insert({f.path, f.line, f.rule, f.FullMessage()}).second) continue;
    if (!f.path.empty() && f.line > 0) f.lineText = cache.Line(f.path, f.line);
    out.push_back(f);
  }
  std::stable_sort(out.begin(), out.end(), [](const Finding &a, const Finding &b) {
    return std::tie(a.path, a.line, a.rule, a.message, a.function) < std::tie(b.path, b.line, b.rule, b.message, b.function);
  });

  std::vector<SuppressionEntry> entries;
  for (const auto &file : ctx.opts.suppressionFiles) {
    auto more = ReadSuppressions(file);
    entries.insert(entries.end(), more.begin(), more.end());
  }
  for (auto &f : out) {
    if (f.path.empty()) continue;
    if (AllowedInline(cache, f))
      f.suppressed = Finding::Suppressed::Inline;
    else if (SuppressedByFile(entries, f))
      f.suppressed = Finding::Suppressed::File;
  }
  if (!ctx.opts.baseline.empty()) {
    std::multiset<BaselineKey> known = ReadBaseline(ctx.opts.baseline);
    for (auto &f : out) {
      if (f.suppressed != Finding::Suppressed::No) continue;
      auto it = known.find(KeyOf(f));
      if (it == known.end()) continue;
      f.inBaseline = true;
      known.erase(it);
    }
  }
  SetFingerprints(out);
  ctx.findings = std::move(out);
}
