/*
 * cmdline.cpp - splitting a command line into words and quoting one word so
 * that it survives the split.  The rule is described in wendrel_cmdline.h.
 */
#include "wendrel_cmdline.h"

static bool IsSeparator(char c) { return c == ' ' || c == '\t'; }

/* Number of backslashes starting at position i. */
static size_t BackslashRun(std::string_view s, size_t i) {
  size_t n = 0;
  while (i + n < s.size() && s[i + n] == '\\') ++n;
  return n;
}

std::vector<std::string> SplitCmdLine(std::string_view line) {
  std::vector<std::string> words;
  size_t i = 0;
  for (;;) {
    while (i < line.size() && IsSeparator(line[i])) ++i;
    if (i >= line.size()) break;
    std::string word;
    bool quoted = false;
    while (i < line.size() && (quoted || !IsSeparator(line[i]))) {
      char c = line[i];
      if (c == '\\') {
        size_t n = BackslashRun(line, i);
        i += n;
        if (i < line.size() && line[i] == '"') {
          word.append(n / 2, '\\');
          if (n % 2) {
            word += '"';
            ++i;
          }
          /* with an even run the quote is handled as a quote next round */
        } else {
          word.append(n, '\\');
        }
      } else if (c == '"') {
        quoted = !quoted;
        ++i;
      } else {
        word += c;
        ++i;
      }
    }
    words.push_back(std::move(word));
  }
  return words;
}

std::string QuoteCmdArg(std::string_view arg) {
  if (!arg.empty() && arg.find_first_of(" \t\"") == std::string_view::npos)
    return std::string(arg);
  std::string out = "\"";
  size_t i = 0;
  while (i < arg.size()) {
    size_t n = BackslashRun(arg, i);
    i += n;
    if (i == arg.size()) {
      /* before the closing quote every backslash must be doubled */
      out.append(2 * n, '\\');
    } else if (arg[i] == '"') {
      out.append(2 * n + 1, '\\');
      out += '"';
      ++i;
    } else {
      out.append(n, '\\');
      out += arg[i++];
    }
  }
  out += '"';
  return out;
}

std::string JoinCmdLine(const std::vector<std::string> &args) {
  std::string line;
  for (const std::string &a : args) {
    if (!line.empty()) line += ' ';
    line += QuoteCmdArg(a);
  }
  return line;
}
