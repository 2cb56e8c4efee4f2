/*
 * compdb.cpp - reading a compilation database: the JSON array of entries,
 * each entry's command (a shell-quoted string or an argument array), and
 * the compiler options that decide how the file is preprocessed.  Putting
 * the result into an application is in compdb_import.cpp.
 */
#include "tessary_compdb.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <map>

#include <nlohmann/json.hpp>

#include "tessary_errors.h"

using json = nlohmann::json;

/* ---- words of a command -------------------------------------------- */

std::vector<std::string> SplitShellWords(const std::string &text) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false;
  size_t i = 0, n = text.size();
  while (i < n) {
    char c = text[i];
    if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
      if (inWord) words.push_back(word);
      word.clear();
      inWord = false;
      ++i;
      continue;
    }
    inWord = true;
    if (c == '\'') {
      size_t end = text.find('\'', i + 1);
      if (end == std::string::npos) end = n;
      word.append(text, i + 1, end - i - 1);
      i = end + 1;
    } else if (c == '"') {
      for (++i; i < n && text[i] != '"'; ++i) {
        /* Inside double quotes a backslash escapes only these. */
        if (text[i] == '\\' && i + 1 < n && std::string("\"\\$`\n").find(text[i + 1]) != std::string::npos) ++i;
        word += text[i];
      }
      ++i;
    } else if (c == '\\' && i + 1 < n) {
      word += text[i + 1];
      i += 2;
    } else {
      word += c;
      ++i;
    }
  }
  if (inWord) words.push_back(word);
  return words;
}

std::string MapStandardToDialect(const std::string &s) {
  static const std::map<std::string, std::string> table = {
      {"c89", "ansi"},          {"c90", "ansi"},          {"iso9899:1990", "ansi"},
      {"iso9899:199409", "ansi"}, {"c99", "c99"},         {"c9x", "c99"},
      {"iso9899:1999", "c99"},  {"iso9899:199x", "c99"},  {"c11", "c11"},
      {"c1x", "c11"},           {"iso9899:2011", "c11"},  {"c17", "c11"},
      {"c18", "c11"},           {"iso9899:2017", "c11"},  {"iso9899:2018", "c11"},
      {"c2x", "c11"},           {"c23", "c11"},           {"gnu89", "gnu"},
      {"gnu90", "gnu"},         {"gnu99", "gnu"},         {"gnu9x", "gnu"},
      {"gnu11", "gnu"},         {"gnu1x", "gnu"},         {"gnu17", "gnu"},
      {"gnu18", "gnu"},         {"gnu2x", "gnu"},         {"gnu23", "gnu"}};
  auto it = table.find(s);
  return it == table.end() ? std::string() : it->second;
}

/* ---- one entry ------------------------------------------------------ */

namespace {

CPathName FullPath(const std::string &p, const CPathName &dir) {
  CPathName path(p);
  if (!path.IsFull() && !dir.IsEmpty()) {
    CPathName d = dir;
    d.AddEndingDirSeparator();
    path = d + path;
  }
  path.Canonicalize();
  return path;
}

std::string MacroName(const std::string &def) { return def.substr(0, def.find('=')); }

/* Options whose argument is the next word when it is not attached. */
bool TakesSeparateArgument(const std::string &w) {
  static const char *const opts[] = {"-o", "-x", "-MF", "-MT", "-MQ", "-Xpreprocessor", "-Xassembler",
                                     "-Xlinker", "-imacros", "-isysroot", "-aux-info", "-arch",
                                     "-target", "-iprefix", "-iwithprefix", "-iwithprefixbefore",
                                     "--param", "-include-pch"};
  for (const char *o : opts)
    if (w == o) return true;
  return false;
}

bool IsWrapper(const std::string &word) {
  std::string base = CPathName(word).GetFileName();
  return base == "ccache" || base == "distcc" || base == "sccache" || base == "icecc";
}

/* What the options of one command say about the file. */
struct ReadOptions {
  SCompileEntry entry;
  std::string language;          /* the last -x value, "" when none */
  std::vector<std::string> unsupported;
  bool cplusplusDriver = false;
};

void AddInclude(std::vector<std::string> &list, const std::string &dir) {
  if (std::find(list.begin(), list.end(), dir) == list.end()) list.push_back(dir);
}

ReadOptions ReadCommand(const std::vector<std::string> &words, const CPathName &dir) {
  ReadOptions r;
  std::vector<std::string> quote, normal, system, after;
  size_t i = 0;
  while (i < words.size() && IsWrapper(words[i])) ++i;
  if (i < words.size()) {
    r.cplusplusDriver = CPathName(words[i]).GetFileName().find("++") != std::string::npos;
    ++i;
  }
  /* The value of an option written attached (-Ifoo) or as the next word. */
  auto value = [&](const std::string &w, const std::string &opt, std::string &out) {
    if (w.compare(0, opt.size(), opt) != 0) return false;
    if (w.size() > opt.size()) {
      out = w.substr(opt.size());
    } else if (i + 1 < words.size()) {
      out = words[++i];
    } else {
      out.clear();
    }
    return true;
  };
  for (; i < words.size(); ++i) {
    const std::string &w = words[i];
    std::string v;
    if (w.empty() || w[0] != '-') continue;
    if (w.compare(0, 5, "-std=") == 0) {
      r.entry.standard = w.substr(5);
    } else if (w == "-ansi") {
      r.entry.standard = "c90";
    } else if (value(w, "-isystem", v)) {
      if (!v.empty()) system.push_back(FullPath(v, dir).Str());
    } else if (value(w, "-iquote", v)) {
      if (!v.empty()) quote.push_back(FullPath(v, dir).Str());
    } else if (value(w, "-idirafter", v)) {
      if (!v.empty()) after.push_back(FullPath(v, dir).Str());
    } else if (w.compare(0, 8, "-include") == 0 && w.compare(0, 12, "-include-pch") != 0) {
      value(w, "-include", v);
      if (!v.empty()) r.entry.forcedIncludes.push_back(FullPath(v, dir).Str());
      r.unsupported.push_back("-include");
    } else if (value(w, "-I", v)) {
      /* "-I-" and "-I=dir" (relative to a sysroot) name no directory here. */
      if (!v.empty() && v != "-" && v[0] != '=') normal.push_back(FullPath(v, dir).Str());
    } else if (value(w, "-D", v)) {
      if (v.empty()) continue;
      std::string name = MacroName(v);
      auto &defs = r.entry.defines;
      defs.erase(std::remove_if(defs.begin(), defs.end(),
                                [&](const std::string &d) { return MacroName(d) == name; }),
                 defs.end());
      defs.push_back(v);
    } else if (value(w, "-U", v)) {
      auto &defs = r.entry.defines;
      auto old = std::remove_if(defs.begin(), defs.end(), [&](const std::string &d) { return MacroName(d) == v; });
      /* Undefining a macro the compiler predefines cannot be handed on. */
      if (old == defs.end()) r.unsupported.push_back("-U");
      defs.erase(old, defs.end());
    } else if (value(w, "-x", v)) {
      r.language = v;
    } else if (TakesSeparateArgument(w)) {
      ++i;
    }
  }
  for (auto *list : {&quote, &normal, &system, &after})
    for (const auto &d : *list) AddInclude(r.entry.includes, d);
  return r;
}

bool IsCSource(const ReadOptions &r, const CPathName &file) {
  if (!r.language.empty()) return r.language == "c";
  if (r.cplusplusDriver) return false;
  return file.GetExtension() == "c";
}

}  // namespace

/* ---- the database --------------------------------------------------- */

void CCompilationDatabase::Clear() {
  entries_.clear();
  skipped_.clear();
  unsupported_.clear();
  total_ = duplicates_ = invalid_ = 0;
  detail_.clear();
}

void CCompilationDatabase::AddUnsupported(const std::string &option) {
  for (auto &u : unsupported_)
    if (u.first == option) {
      ++u.second;
      return;
    }
  unsupported_.emplace_back(option, 1);
}

void CCompilationDatabase::Load(const CPathName &path) {
  Clear();
  if (!path.Exists()) CZKException::Throw(34007, path.Str());
  FILE *f = path.IsFile() ? std::fopen(path.Str().c_str(), "rb") : nullptr;
  if (!f) CZKException::Throw(34001, path.Str());
  std::string text;
  char buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) text.append(buf, n);
  bool bad = std::ferror(f) != 0;
  std::fclose(f);
  if (bad) CZKException::Throw(34001, path.Str());
  LoadText(text, path);
}

void CCompilationDatabase::LoadText(const std::string &text, const CPathName &path) {
  Clear();
  json doc;
  try {
    doc = json::parse(text);
  } catch (const json::parse_error &e) {
    detail_ = e.what();
    CZKException::Throw(34004, path.Str());
  }
  if (!doc.is_array()) {
    detail_ = "the database is not a JSON array of entries";
    CZKException::Throw(34004, path.Str());
  }
  std::map<std::string, size_t> seen;  /* file -> index in entries_ */
  for (const json &item : doc) {
    ++total_;
    if (!item.is_object() || !item.contains("file") || !item["file"].is_string() ||
        !item.contains("directory") || !item["directory"].is_string()) {
      ++invalid_;
      continue;
    }
    std::vector<std::string> words;
    if (item.contains("arguments") && item["arguments"].is_array()) {
      for (const json &a : item["arguments"])
        if (a.is_string()) words.push_back(a.get<std::string>());
    } else if (item.contains("command") && item["command"].is_string()) {
      words = SplitShellWords(item["command"].get<std::string>());
    } else {
      ++invalid_;
      continue;
    }
    /* A relative directory is taken from the database's own. */
    CPathName dir = FullPath(item["directory"].get<std::string>(), path.GetDirectory());
    CPathName file = FullPath(item["file"].get<std::string>(), dir);
    ReadOptions r = ReadCommand(words, dir);
    if (!IsCSource(r, file)) {
      skipped_.push_back(file);
      continue;
    }
    if (seen.count(file.Str())) {
      ++duplicates_;
      continue;
    }
    for (const auto &u : r.unsupported) AddUnsupported(u);
    r.entry.file = file;
    r.entry.directory = dir;
    seen[file.Str()] = entries_.size();
    entries_.push_back(std::move(r.entry));
  }
}

std::string CCompilationDatabase::GetDialectOption() const {
  std::map<std::string, int> count;
  for (const auto &e : entries_)
    if (!e.standard.empty()) {
      std::string d = MapStandardToDialect(e.standard);
      if (!d.empty()) ++count[d];
    }
  std::string best;
  int most = 0;
  for (const auto &[d, n] : count)
    if (n > most) {
      best = d;
      most = n;
    }
  return best;
}
