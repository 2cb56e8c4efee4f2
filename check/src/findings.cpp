/*
 * findings.cpp - filtering, ordering and marking the findings of a run.
 */
#include "findings.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <tuple>
#include <unordered_map>

#include <fcntl.h>
#include <fnmatch.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

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

/* The lines of the files findings are in: each file mapped once, its line
 * starts indexed once. */
class SourceCache {
 public:
  SourceCache() = default;
  SourceCache(const SourceCache &) = delete;
  SourceCache &operator=(const SourceCache &) = delete;
  ~SourceCache() {
    for (auto &[path, f] : files_)
      if (f.data) munmap(const_cast<char *>(f.data), f.size);
  }
  std::string Line(const std::string &path, long n) {
    const File &f = Load(path);
    if (n < 1 || n > static_cast<long>(f.starts.size())) return std::string();
    size_t b = f.starts[n - 1];
    const void *nl = std::memchr(f.data + b, '\n', f.size - b);
    size_t e = nl ? static_cast<size_t>(static_cast<const char *>(nl) - f.data) : f.size;
    if (e > b && f.data[e - 1] == '\r') --e;
    return std::string(f.data + b, e - b);
  }
  /* Whether the file holds the word at all: most files have no
   * suppression comment, and their lines need not be searched. */
  bool Mentions(const std::string &path) { return Load(path).mentionsAllow; }

 private:
  struct File {
    const char *data = nullptr;
    size_t size = 0;
    std::vector<size_t> starts;  /* where each line begins */
    bool mentionsAllow = false;
  };
  const File &Load(const std::string &path) {
    auto it = files_.find(path);
    if (it != files_.end()) return it->second;
    File &f = files_[path];
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st;
    if (fd >= 0 && fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0) {
      void *m = mmap(nullptr, static_cast<size_t>(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
      if (m != MAP_FAILED) {
        f.data = static_cast<const char *>(m);
        f.size = static_cast<size_t>(st.st_size);
      }
    }
    if (fd >= 0) close(fd);
    f.mentionsAllow = f.data && memmem(f.data, f.size, "kvx-allow", 9) != nullptr;
    for (size_t p = 0; p < f.size;) {
      f.starts.push_back(p);
      const void *nl = std::memchr(f.data + p, '\n', f.size - p);
      if (!nl) break;
      p = static_cast<size_t>(static_cast<const char *>(nl) - f.data) + 1;
    }
    return f;
  }
  std::map<std::string, File> files_;
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
  if (!cache.Mentions(f.path)) return false;
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

std::vector<std::string> Fingerprints(const std::vector<Finding> &findings) {
  std::vector<std::string> out;
  std::unordered_map<std::string, int> seen;
  for (const auto &f : findings) {
    std::string key = f.rule + '\0' + f.relPath + '\0' + f.FullMessage() + '\0' + Trim(f.lineText);
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(Fnv1a(key)));
    out.push_back(std::string(hex) + ":" + std::to_string(++seen[key]));
  }
  return out;
}

/* ---- collecting ----------------------------------------------------- */

void CollectFindings(CheckContext &ctx, const std::vector<SViolation> &records) {
  SourceCache cache;
  std::vector<Finding> out;
  out.reserve(records.size());
  /* A report names few files many times: each is placed once. */
  struct Place {
    std::string path, relPath;
    bool inProject;
  };
  std::unordered_map<std::string, Place> places;
  for (const auto &r : records) {
    Finding f;
    if (!r.file.empty()) {
      auto it = places.find(r.file);
      if (it == places.end()) {
        CPathName p(r.file);
        if (!p.IsFull()) p = CPathName(ctx.cwd) + p;
        p.Canonicalize();
        it = places.emplace(r.file, Place{p.Str(), RelativeToRoot(ctx, p.Str()), InProject(ctx, p.Str())}).first;
      }
      if (!it->second.inProject) continue;
      f.path = it->second.path;
      f.relPath = it->second.relPath;
    }
    f.line = r.line;
    f.rule = r.rule;
    f.message = r.message;
    f.function = r.function;
    out.push_back(std::move(f));
  }
  /* By file, then line, rule and message; files compared once, by rank. */
  std::map<std::string, size_t> fileRank;
  for (const auto &f : out) fileRank.emplace(f.path, 0);
  size_t rank = 0;
  for (auto &[path, r] : fileRank) r = rank++;
  std::vector<std::pair<size_t, size_t>> order;  /* (file rank, index) */
  order.reserve(out.size());
  for (size_t i = 0; i < out.size(); ++i) order.emplace_back(fileRank[out[i].path], i);
  std::stable_sort(order.begin(), order.end(), [&](const auto &x, const auto &y) {
    const Finding &a = out[x.second], &b = out[y.second];
    return std::tie(x.first, a.line, a.rule, a.message, a.function) < std::tie(y.first, b.line, b.rule, b.message, b.function);
  });
  /* Each finding once: a header's findings come again with every source
   * that includes it. */
  std::vector<Finding> sorted;
  sorted.reserve(out.size());
  for (const auto &o : order) {
    Finding &f = out[o.second];
    if (!sorted.empty()) {
      const Finding &last = sorted.back();
      if (last.path == f.path && last.line == f.line && last.rule == f.rule && last.message == f.message &&
          last.function == f.function)
        continue;
    }
    if (!f.path.empty() && f.line > 0) f.lineText = cache.Line(f.path, f.line);
    sorted.push_back(std::move(f));
  }
  out = std::move(sorted);

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
  ctx.findings = std::move(out);
}
