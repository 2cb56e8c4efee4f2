/*
 * words.cpp - the compile-line splitting rule and list-line words.
 */
#include "driver/words.h"

namespace kvx {

static std::string_view strip_line_end(std::string_view line) {
  if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

static bool is_separator(char c) { return c == ' ' || c == '\n'; }

void split_compile_line(std::string_view line, std::vector<std::string> &out) {
  line = strip_line_end(line);
  size_t i = 0, n = line.size();
  std::string word;
  while (i < n) {
    while (i < n && is_separator(line[i])) i++;
    if (i >= n) break;
    word.clear();
    bool quoted = false;
    while (i < n) {
      char c = line[i];
      if (c == '\\') {
        size_t k = i;
        while (k < n && line[k] == '\\') k++;
        size_t count = k - i;
        if (k < n && line[k] == '"') {
          /* pairs are backslashes; an odd one escapes the quote */
          word.append(count / 2, '\\');
          i = k;
          if (count % 2) {
            word.push_back('"');
            i++;
          }
        } else {
          word.append(count, '\\');
          i = k;
        }
        continue;
      }
      if (c == '"') {
        i++;
        if (!quoted) {
          quoted = true;
          continue;
        }
        /* The closing quote ends the word's text. */
        while (i < n && !is_separator(line[i])) i++;
        break;
      }
      if (!quoted && is_separator(c)) break;
      word.push_back(c);
      i++;
    }
    if (!word.empty()) out.push_back(word);
  }
}

static bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

std::string_view first_word(std::string_view line) {
  size_t i = 0;
  while (i < line.size() && is_blank(line[i])) i++;
  size_t start = i;
  while (i < line.size() && !is_blank(line[i])) i++;
  return line.substr(start, i - start);
}

std::string_view rule_list_name(std::string_view line) {
  size_t i = 0;
  while (i < line.size() && is_blank(line[i])) i++;
  if (i < line.size() && line[i] == '"') {
    std::string_view rest = strip_line_end(line.substr(i + 1));
    size_t close = rest.find('"');
    return close == std::string_view::npos ? rest : rest.substr(0, close);
  }
  return first_word(line);
}

}  // namespace kvx
