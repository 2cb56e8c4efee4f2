/*
 * text_pool.cpp - interning of model texts: one buffer of null-terminated
 * texts and an open-addressing table of their offsets.
 */
#include "model/text_pool.h"

#include <cstring>

namespace kvx {

void TextPool::clear() {
  text_.assign(1, '\0');
  text_.shrink_to_fit();
  slots_.assign(256, 0);
  count_ = 0;
}

uint32_t TextPool::hash(std::string_view text) {
  uint32_t h = 2166136261u; /* FNV-1a */
  for (unsigned char c : text) {
    h ^= c;
    h *= 16777619u;
  }
  return h;
}

bool TextPool::equals(uint32_t offset, std::string_view text) const {
  /* never read past the stored text's end: a shorter text may be the last */
  const char *s = text_.data() + offset;
  size_t n = strnlen(s, text.size() + 1);
  return n == text.size() && std::memcmp(s, text.data(), n) == 0;
}

uint32_t TextPool::find(std::string_view text) const {
  if (text.empty()) return 0;
  size_t mask = slots_.size() - 1;
  for (size_t i = hash(text) & mask;; i = (i + 1) & mask) {
    uint32_t off = slots_[i];
    if (!off) return 0;
    if (equals(off, text)) return off;
  }
}

void TextPool::grow_slots() {
  std::vector<uint32_t> old;
  old.swap(slots_);
  slots_.assign(old.size() * 2, 0);
  size_t mask = slots_.size() - 1;
  for (uint32_t off : old) {
    if (!off) continue;
    size_t i = hash(text_.data() + off) & mask;
    while (slots_[i]) i = (i + 1) & mask;
    slots_[i] = off;
  }
}

uint32_t TextPool::intern(std::string_view text, bool *ok) {
  if (ok) *ok = true;
  if (text.empty()) return 0;
  size_t mask = slots_.size() - 1;
  size_t i = hash(text) & mask;
  for (; slots_[i]; i = (i + 1) & mask)
    if (equals(slots_[i], text)) return slots_[i];
  if (text_.size() + text.size() + 1 > UINT32_MAX) {
    if (ok) *ok = false;
    return 0;
  }
  uint32_t off = (uint32_t)text_.size();
  text_.insert(text_.end(), text.begin(), text.end());
  text_.push_back('\0');
  slots_[i] = off;
  if (++count_ * 2 > slots_.size()) grow_slots();
  return off;
}

}  // namespace kvx
