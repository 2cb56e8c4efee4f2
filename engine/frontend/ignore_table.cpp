/*
 * ignore_table.cpp - building the ignore patterns' token trees.
 */
#include "frontend/ignore_table.h"

#include "frontend/text_scan.h"

namespace kvx::fe {

/* Appends the tokens of one word. */
static void split_word(std::string_view word, std::vector<std::string> &out) {
  TextScanner s(word);
  pp::Token t;
  while (s.next(t)) out.emplace_back(t.text);
}

void IgnoreTable::clear() {
  nodes_.clear();
  roots_.clear();
  patterns_ = 0;
}

int IgnoreTable::root(std::string_view first) const {
  auto it = roots_.find(first);
  return it == roots_.end() ? -1 : it->second;
}

int IgnoreTable::child(int node, std::string_view token) const {
  for (int c = nodes_[node].first_child; c != -1; c = nodes_[c].next_sibling)
    if (nodes_[c].token == token) return c;
  return -1;
}

int IgnoreTable::add_child(int node, std::string_view token) {
  int found = child(node, token);
  if (found != -1) return found;
  Node n;
  n.token = token;
  nodes_.push_back(std::move(n));
  int idx = static_cast<int>(nodes_.size()) - 1;
  /* appended after the existing children, keeping the file's order */
  int *link = &nodes_[node].first_child;
  while (*link != -1) link = &nodes_[*link].next_sibling;
  *link = idx;
  return idx;
}

bool IgnoreTable::add(const std::vector<std::string_view> &pattern,
                      const std::vector<std::string_view> &replacement, bool c_flag) {
  std::vector<std::string> tokens;
  for (std::string_view w : pattern) split_word(w, tokens);
  if (tokens.empty()) return false;
  int node = root(tokens[0]);
  if (node == -1) {
    Node n;
    n.token = tokens[0];
    nodes_.push_back(std::move(n));
    node = static_cast<int>(nodes_.size()) - 1;
    roots_.emplace(tokens[0], node);
  }
  for (size_t i = 1; i < tokens.size(); i++) node = add_child(node, tokens[i]);
  std::vector<IgnoreItem> items;
  for (std::string_view w : replacement) {
    if (w == "$") {
      IgnoreItem it;
      it.c_flag = c_flag;
      it.line_break = true;
      items.push_back(std::move(it));
      continue;
    }
    std::vector<std::string> parts;
    split_word(w, parts);
    for (std::string &p : parts) {
      IgnoreItem it;
      it.text = std::move(p);
      it.c_flag = c_flag;
      items.push_back(std::move(it));
    }
  }
  if (!nodes_[node].ends) patterns_++;
  nodes_[node].ends = true;
  nodes_[node].items = std::move(items);
  return true;
}

}  // namespace kvx::fe
