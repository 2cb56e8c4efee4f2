/*
 * name_levels.h - which names are typedef names, block by block.
 *
 * A stack of levels parallel to the open blocks (and parameter lists); each
 * level marks each name declared in it as a typedef name or an ordinary
 * name.  A lookup searches from the innermost level outwards and the first
 * level that knows the name decides, so an inner ordinary declaration hides
 * an outer typedef.  The bottom level is the file level of the source.
 *
 * Storage is flat: the entries, bucket heads and name texts of all levels
 * live in three arrays that a closing level truncates, so steady-state use
 * allocates nothing.  A level starts with 31 buckets; one that holds many
 * names (the file level of a source that includes system headers holds
 * thousands) grows its table so that lookups stay short.
 */
#ifndef KVX_FRONTEND_NAME_LEVELS_H
#define KVX_FRONTEND_NAME_LEVELS_H

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kvx::fe {

class NameLevels {
 public:
  static constexpr int kBuckets = 31;

  NameLevels() { reset(); }

  /* Back to the file level alone, empty. */
  void reset();
  void push();
  /* Closes the innermost level; the file level is never closed. */
  void pop();
  /* Open levels above the file level. */
  int depth() const { return static_cast<int>(levels_.size()) - 1; }

  /* Marks a name in the innermost level. */
  void declare(std::string_view name, bool is_typedef);
  bool is_type_name(std::string_view name) const;

  /* Names declared in the innermost level, in declaration order. */
  template <class F>
  void for_each_in_top(F f) const {
    const Level &l = levels_.back();
    for (size_t i = l.first_entry; i < entries_.size(); i++)
      f(std::string_view(text_).substr(entries_[i].off, entries_[i].len), entries_[i].is_typedef);
  }

 private:
  struct Entry {
    uint32_t off, len;
    uint32_t next; /* index + 1 of the next entry of the bucket, 0 ends */
    uint32_t hash;
    bool is_typedef;
  };
  struct Level {
    size_t first_bucket, buckets; /* its bucket heads in buckets_ */
    size_t first_entry, first_text;
  };
  static uint32_t hash(std::string_view s);
  const Entry *find(const Level &l, std::string_view name, uint32_t h) const;
  void grow(Level &l);

  std::vector<Entry> entries_;
  std::vector<uint32_t> buckets_;
  std::string text_;
  std::vector<Level> levels_;
};

}  // namespace kvx::fe

#endif
