/*
 * name_levels.cpp - the typedef-name levels of the lexer.
 */
#include "frontend/name_levels.h"

#include <cstring>

namespace kvx::fe {

uint32_t NameLevels::hash(std::string_view s) {
  uint32_t h = 0;
  for (unsigned char c : s) h = h * 31 + c;
  return h;
}

void NameLevels::reset() {
  entries_.clear();
  buckets_.clear();
  text_.clear();
  levels_.clear();
  push();
}

void NameLevels::push() {
  Level l;
  l.first_bucket = buckets_.size();
  l.buckets = kBuckets;
  buckets_.resize(buckets_.size() + kBuckets, 0);
  l.first_entry = entries_.size();
  l.first_text = text_.size();
  levels_.push_back(l);
}

void NameLevels::pop() {
  if (levels_.size() <= 1) return;
  const Level &l = levels_.back();
  entries_.resize(l.first_entry);
  buckets_.resize(l.first_bucket);
  text_.resize(l.first_text);
  levels_.pop_back();
}

const NameLevels::Entry *NameLevels::find(const Level &l, std::string_view name,
                                          uint32_t h) const {
  for (uint32_t i = buckets_[l.first_bucket + h % l.buckets]; i != 0; i = entries_[i - 1].next) {
    const Entry &e = entries_[i - 1];
    if (e.hash == h && e.len == name.size() && text_.compare(e.off, e.len, name) == 0) return &e;
  }
  return nullptr;
}

/* The innermost level's table, four times larger, its entries rehashed. */
void NameLevels::grow(Level &l) {
  l.buckets = l.buckets * 4 + 1;
  buckets_.resize(l.first_bucket);
  buckets_.resize(l.first_bucket + l.buckets, 0);
  for (size_t i = l.first_entry; i < entries_.size(); i++) {
    uint32_t &head = buckets_[l.first_bucket + entries_[i].hash % l.buckets];
    entries_[i].next = head;
    head = static_cast<uint32_t>(i + 1);
  }
}

void NameLevels::declare(std::string_view name, bool is_typedef) {
  if (name.empty()) return;
  Level &l = levels_.back();
  uint32_t h = hash(name);
  if (const Entry *e = find(l, name, h)) {
    const_cast<Entry *>(e)->is_typedef = is_typedef;
    return;
  }
  if (entries_.size() - l.first_entry >= 2 * l.buckets) grow(l);
  uint32_t &head = buckets_[l.first_bucket + h % l.buckets];
  Entry e;
  e.off = static_cast<uint32_t>(text_.size());
  e.len = static_cast<uint32_t>(name.size());
  e.next = head;
  e.hash = h;
  e.is_typedef = is_typedef;
  text_.append(name);
  entries_.push_back(e);
  head = static_cast<uint32_t>(entries_.size());
}

bool NameLevels::is_type_name(std::string_view name) const {
  uint32_t h = hash(name);
  for (size_t i = levels_.size(); i-- > 0;)
    if (const Entry *e = find(levels_[i], name, h)) return e->is_typedef;
  return false;
}

}  // namespace kvx::fe
