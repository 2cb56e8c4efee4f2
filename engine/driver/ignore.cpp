/*
 * ignore.cpp - reading ignore files into the ignore table.
 */
#include "driver/ignore.h"

#include "driver/diag.h"
#include "driver/line_reader.h"

#include <strings.h>

namespace kvx {

static void split_words(std::string_view line, std::vector<std::string_view> &out) {
  out.clear();
  size_t i = 0, n = line.size();
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
  while (i < n) {
    while (i < n && blank(line[i])) i++;
    size_t s = i;
    while (i < n && !blank(line[i])) i++;
    if (i > s) out.push_back(line.substr(s, i - s));
  }
}

/* Enters one line's pattern; false on a syntax error. */
static bool enter_line(IgnoreTable &table, const std::vector<std::string_view> &words) {
  size_t i = 0;
  bool c_flag = false;
  if (words[0].size() == 2 && strncasecmp(words[0].data(), "C:", 2) == 0) {
    c_flag = true;
    i = 1;
  }
  if (i >= words.size() || words[i] == "-->") return false;
  std::vector<std::string_view> pattern;
  while (i < words.size() && words[i] != "-->") pattern.push_back(words[i++]);
  if (i >= words.size()) return false; /* no "-->" */
  std::vector<std::string_view> repl(words.begin() + (long)i + 1, words.end());
  return table.add(pattern, repl, c_flag);
}

bool read_ignore_file(Diagnostics &diag, IgnoreTable &table, std::string_view name) {
  FILE *f = diag.open_file(name, "r", LEVEL_WARNING);
  if (!f) return false;
  LineReader reader;
  std::string_view line;
  std::vector<std::string_view> words;
  bool ok = true;
  long lineno = 0;
  while (reader.read(f, line)) {
    lineno++;
    split_words(line, words);
    if (words.empty()) continue;
    if (!enter_line(table, words)) {
      diag.report_located(LEVEL_WARNING, name, lineno, "syntax error in ignore file");
      ok = false;
      break;
    }
  }
  fclose(f);
  return ok;
}

}  // namespace kvx
