/*
 * text_pool.h - the texts of the program model (symbol names, spellings of
 * constants and type specifiers), each distinct text stored once.
 *
 * A text is named by its offset in one buffer, where it is kept with a
 * terminating null; offset 0 is the empty text.  Records hold the 32-bit
 * offset instead of a pointer or a string of their own, and equal names
 * have equal offsets, so a name can be compared or used as a lookup key
 * by its offset alone.  The buffer may move while texts are added: a view
 * of a text is valid until the next intern().
 */
#ifndef KVX_MODEL_TEXT_POOL_H
#define KVX_MODEL_TEXT_POOL_H

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace kvx {

class TextPool {
 public:
  TextPool() { clear(); }

  /* The offset of the text, added when it is new; 0 for the empty text.
   * False in *ok (when given) when the pool cannot grow any more. */
  uint32_t intern(std::string_view text, bool *ok = nullptr);
  /* The offset of the text if it is in the pool, otherwise 0. */
  uint32_t find(std::string_view text) const;

  const char *c_str(uint32_t offset) const { return text_.data() + offset; }
  std::string_view view(uint32_t offset) const { return c_str(offset); }
  size_t bytes() const { return text_.capacity() + slots_.capacity() * sizeof(uint32_t); }

  /* Back to the empty text only. */
  void clear();

 private:
  static uint32_t hash(std::string_view text);
  bool equals(uint32_t offset, std::string_view text) const;
  void grow_slots();

  std::vector<char> text_;
  std::vector<uint32_t> slots_; /* open addressing: offsets, 0 for a free slot */
  size_t count_ = 0;
};

}  // namespace kvx

#endif
