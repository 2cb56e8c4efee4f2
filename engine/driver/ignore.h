/*
 * ignore.h - the ignore table: token sequences the front end drops or
 * replaces.
 *
 * An ignore file holds one pattern per line:
 *
 *     [C:] first-word further-words... --> replacement-words...
 *
 * The table is keyed by a pattern's first word.  Each entry is a tree of the
 * following words (word, first child, next sibling); the node where a
 * pattern ends carries its replacement items in order.  A replacement word
 * "$" stands for a line break and is stored as the text "\n".  An empty
 * replacement means the matched tokens are dropped.
 */
#ifndef KVX_DRIVER_IGNORE_H
#define KVX_DRIVER_IGNORE_H

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kvx {

class Diagnostics;

struct IgnoreItem {
  std::string text;    /* replacement word, or "\n" for a line break */
  bool c_flag = false; /* the pattern's line began with "C:" */
};

struct IgnoreNode {
  static constexpr uint32_t NONE = UINT32_MAX;
  std::string word;
  uint32_t first_child = NONE;
  uint32_t next_sibling = NONE;
  bool pattern_end = false;            /* a pattern ends at this node */
  std::vector<IgnoreItem> replacement; /* valid when pattern_end */
};

class IgnoreTable {
 public:
  /* The root node (the first word) of the entry for word, or null. */
  const IgnoreNode *find(std::string_view first_word) const;
  /* The child of node whose word is word, or null. */
  const IgnoreNode *child(const IgnoreNode &node, std::string_view word) const;
  const IgnoreNode *first_child(const IgnoreNode &node) const { return at(node.first_child); }
  const IgnoreNode *next_sibling(const IgnoreNode &node) const { return at(node.next_sibling); }

  /* Enters a pattern; a pattern entered again takes the new replacement. */
  void enter(std::string_view first_word, const std::vector<std::string_view> &further,
             std::vector<IgnoreItem> replacement);

  bool empty() const { return roots_.empty(); }
  size_t entry_count() const { return roots_.size(); }
  void clear();

 private:
  struct Hash {
    using is_transparent = void;
    size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
  };
  const IgnoreNode *at(uint32_t i) const { return i == IgnoreNode::NONE ? nullptr : &nodes_[i]; }
  uint32_t new_node(std::string_view word);

  std::vector<IgnoreNode> nodes_;
  std::unordered_map<std::string, uint32_t, Hash, std::equal_to<>> roots_;
};

/* Reads an ignore file into the table.  A file that cannot be opened gives
 * a warning; a syntax error stops the reading with a warning and keeps the
 * entries read so far.  Returns false in both cases. */
bool read_ignore_file(Diagnostics &diag, IgnoreTable &table, std::string_view name);

}  // namespace kvx

#endif
