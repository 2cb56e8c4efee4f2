/*
 * ignore.cpp - building the ignore table and reading ignore files.
 */
#include "driver/ignore.h"

#include "driver/diag.h"
#include "driver/line_reader.h"

#include <strings.h>

namespace kvx {

uint32_t IgnoreTable::new_node(std::string_view word) {
  nodes_.emplace_back();
  nodes_.back().word.assign(word);
  return (uint32_t)(nodes_.size() - 1);
}

const IgnoreNode *IgnoreTable::find(std::string_view first_word) const {
  auto it = roots_.find(first_word);
  return it == roots_.end() ? nullptr : &nodes_[it->second];
}

const IgnoreNode *IgnoreTable::child(const IgnoreNode &node, std::string_view word) const {
  for (const IgnoreNode *c = at(node.first_child); c; c = at(c->next_sibling))
    if (c->word == word) return c;
  return nullptr;
}

void IgnoreTable::enter(std::string_view first_word, const std::vector<std::string_view> &further,
                        std::vector<IgnoreItem> replacement) {
  uint32_t cur;
  auto it = roots_.find(first_word);
  if (it != roots_.end()) {
    cur = it->second;
  } else {
    cur = new_node(first_word);
    roots_.emplace(std::string(first_word), cur);
  }
  for (std::string_view w : further) {
    /* Reuse a child with the same word, else append a new last child. */
    uint32_t c = nodes_[cur].first_child, last = IgnoreNode::NONE;
    while (c != IgnoreNode::NONE && nodes_[c].word != w) {
      last = c;
      c = nodes_[c].next_sibling;
    }
    if (c == IgnoreNode::NONE) {
      c = new_node(w);
      if (last == IgnoreNode::NONE)
        nodes_[cur].first_child = c;
      else
        nodes_[last].next_sibling = c;
    }
    cur = c;
  }
  nodes_[cur].pattern_end = true;
  nodes_[cur].replacement = std::move(replacement);
}

void IgnoreTable::clear() {
  nodes_.clear();
  roots_.clear();
}

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
  std::string_view first = words[i++];
  std::vector<std::string_view> further;
  while (i < words.size() && words[i] != "-->") further.push_back(words[i++]);
  if (i >= words.size()) return false; /* no "-->" */
  std::vector<IgnoreItem> repl;
  for (i++; i < words.size(); i++)
    repl.push_back(IgnoreItem{words[i] == "$" ? std::string("\n") : std::string(words[i]), c_flag});
  table.enter(first, further, std::move(repl));
  return true;
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
