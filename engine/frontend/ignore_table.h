/*
 * ignore_table.h - token sequences of the compile line to drop or replace.
 *
 * The driver fills the table from the ignore file (one add() per pattern
 * line); the lexer consults it whenever a token is the first word of a
 * pattern.  Each word of a pattern or replacement is split into C tokens
 * when added, so "__declspec(dllexport)" and "__declspec ( dllexport )"
 * are the same pattern.
 *
 * Layout: a dictionary keyed by the first token; each entry roots a tree of
 * following tokens (node: token, first child, next sibling).  The node where
 * a pattern ends holds its replacement items in order.
 */
#ifndef KVX_FRONTEND_IGNORE_TABLE_H
#define KVX_FRONTEND_IGNORE_TABLE_H

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kvx::fe {

struct IgnoreItem {
  std::string text;        /* one token's spelling; empty for a line break */
  bool c_flag = false;     /* the pattern's line began with "C:" */
  bool line_break = false; /* the word "$" */
};

class IgnoreTable {
 public:
  /* Adds a pattern: its words (first word first, at least one) and the words
   * after "-->" (none: the pattern is dropped).  The word "$" of a
   * replacement is a line break.  Adding a pattern again replaces its
   * replacement.  Returns false when the pattern has no token. */
  bool add(const std::vector<std::string_view> &pattern,
           const std::vector<std::string_view> &replacement, bool c_flag);
  bool empty() const { return roots_.empty(); }
  void clear();
  size_t pattern_count() const { return patterns_; }

  /* Matching, for the lexer.  Node indexes; -1 for none. */
  int root(std::string_view first) const;
  int child(int node, std::string_view token) const;
  bool ends(int node) const { return nodes_[node].ends; }
  const std::vector<IgnoreItem> &replacement(int node) const { return nodes_[node].items; }
  std::string_view token(int node) const { return nodes_[node].token; }

 private:
  struct Node {
    std::string token;
    int first_child = -1, next_sibling = -1;
    bool ends = false;
    std::vector<IgnoreItem> items;
  };
  struct Hash {
    using is_transparent = void;
    size_t operator()(std::string_view s) const { return std::hash<std::string_view>()(s); }
  };
  int add_child(int node, std::string_view token);

  std::vector<Node> nodes_;
  std::unordered_map<std::string, int, Hash, std::equal_to<>> roots_;
  size_t patterns_ = 0;
};

}  // namespace kvx::fe

#endif
