/*
 * sh_words.cpp - splitting a command line into simple commands and words
 * the way the shell does: quotes, escapes, expansions and command
 * substitutions stay inside their word, operators end commands, and
 * redirections and comments are dropped.
 */
#include "make_scan.h"

#include <cctype>
#include <cstring>

namespace kvxapp::scan {

namespace {

struct Splitter {
  const std::string &line;
  size_t i = 0;
  std::vector<Command> commands;
  Command current;
  bool skip_next = false; /* the next word is a redirection's target */

  explicit Splitter(const std::string &l) : line(l) {}

  bool more() const { return i < line.size(); }
  char at(size_t k) const { return k < line.size() ? line[k] : '\0'; }

  void end_command() {
    if (!current.empty()) commands.push_back(std::move(current));
    current.clear();
    skip_next = false;
  }

  void add(Word &w) {
    if (skip_next)
      skip_next = false;
    else
      current.push_back(std::move(w));
  }

  /* From an opening "$(", "${" or "`" to its end, nesting counted. */
  void substitution(Word &w) {
    size_t start = i;
    if (line[i] == '`') {
      i++;
      while (more() && line[i] != '`') i += line[i] == '\\' ? 2 : 1;
      i = i < line.size() ? i + 1 : line.size();
    } else {
      char open = line[i + 1], close = open == '(' ? ')' : '}';
      int depth = 0;
      i++;
      do {
        char c = line[i];
        if (c == '\'' || c == '"') {
          size_t q = line.find(c, i + 1);
          i = q == std::string::npos ? line.size() : q + 1;
          continue;
        }
        if (c == open) depth++;
        if (c == close) depth--;
        i++;
      } while (more() && depth > 0);
    }
    w.raw.append(line, start, i - start);
    w.value.append(line, start, i - start);
    w.plain = false;
  }

  bool substitution_here() const {
    return line[i] == '`' || (line[i] == '$' && (at(i + 1) == '(' || at(i + 1) == '{'));
  }

  /* One character as it is; a '$' before a name or a special parameter
   * makes the word's value unknown. */
  void character(Word &w) {
    char c = line[i++], n = at(i);
    if (c == '$' && n && (n == '_' || isalnum((unsigned char)n) || strchr("@*#?$!-", n))) w.plain = false;
    w.raw += c;
    w.value += c;
  }

  void double_quoted(Word &w) {
    w.raw += line[i++];
    while (more() && line[i] != '"') {
      if (line[i] == '\\' && at(i + 1) && strchr("$`\"\\", at(i + 1))) {
        w.raw.append(line, i, 2);
        w.value += line[i + 1];
        i += 2;
      } else if (substitution_here()) {
        substitution(w);
      } else {
        character(w);
      }
    }
    if (more()) w.raw += line[i++];
  }

  /* A redirection operator at i (its file descriptor digits, if any,
   * already read): the operator is consumed and its target skipped. */
  void redirection() {
    char c = line[i++];
    char n = at(i);
    if (n == c || n == '&' || (c == '>' && n == '|') || (c == '<' && n == '>')) i++;
    if (c == '<' && n == '<' && at(i) == '-') i++;
    if (line[i - 1] == '&' && (isdigit((unsigned char)at(i)) || at(i) == '-')) {
      while (isdigit((unsigned char)at(i)) || at(i) == '-') i++; /* ">&2", "<&-" */
      return;
    }
    while (more() && (line[i] == ' ' || line[i] == '\t')) i++;
    if (more() && !strchr(";&|()<>", line[i])) skip_next = true;
  }

  void run() {
    while (more()) {
      char c = line[i];
      if (c == ' ' || c == '\t') {
        i++;
      } else if (strchr(";&|()", c)) {
        end_command();
        i++;
      } else if (c == '#') {
        break; /* a comment runs to the end of the line */
      } else {
        word();
      }
    }
    end_command();
  }

  void word() {
    Word w;
    bool fd = true; /* only digits so far: "2>" names a descriptor */
    while (more()) {
      char c = line[i];
      if (c == ' ' || c == '\t' || strchr(";&|()", c)) break;
      if (c == '<' || c == '>') {
        if (!w.raw.empty() && !fd) add(w);
        redirection();
        return;
      }
      fd = fd && isdigit((unsigned char)c);
      if (c == '\'') {
        size_t q = line.find('\'', i + 1);
        if (q == std::string::npos) q = line.size();
        w.raw.append(line, i, q + 1 - i);
        w.value.append(line, i + 1, q - i - 1);
        i = q + 1;
      } else if (c == '"') {
        double_quoted(w);
      } else if (c == '\\') {
        w.raw.append(line, i, 2);
        if (i + 1 < line.size()) w.value += line[i + 1];
        i += 2;
      } else if (substitution_here()) {
        substitution(w);
      } else {
        character(w);
      }
    }
    if (i > line.size()) i = line.size();
    add(w);
  }
};

}  // namespace

std::vector<Command> split_commands(const std::string &line) {
  Splitter s(line);
  s.run();
  return std::move(s.commands);
}

}  // namespace kvxapp::scan
