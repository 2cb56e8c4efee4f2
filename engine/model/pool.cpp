/*
 * pool.cpp - block allocation, free list and clearing of model records.
 */
#include "model/pool.h"

#include <cstdlib>
#include <cstring>

namespace kvx {

Pool::~Pool() {
  for (char *b : blocks_) std::free(b);
}

void Pool::init(size_t record_size, unsigned block_shift) {
  /* A released record keeps its first HEAD_SIZE bytes (the object head,
   * cleared so that the record reads as not live) and holds the free-list
   * link and its own index after them. */
  size_t least = HEAD_SIZE + sizeof(FreeRecord);
  size_ = record_size < least ? least : record_size;
  size_ = (size_ + alignof(std::max_align_t) - 1) & ~(alignof(std::max_align_t) - 1);
  shift_ = block_shift;
  mask_ = (1u << block_shift) - 1;
}

void *Pool::allocate(uint32_t *index) {
  void *rec;
  if (free_) {
    FreeRecord *f = free_;
    free_ = f->next;
    *index = f->index;
    rec = reinterpret_cast<char *>(f) - HEAD_SIZE;
  } else {
    if ((used_ >> shift_) == blocks_.size()) {
      char *block = static_cast<char *>(std::malloc(size_ << shift_));
      if (!block) return nullptr;
      blocks_.push_back(block);
    }
    *index = used_;
    rec = at(used_++);
  }
  std::memset(rec, 0, size_);
  return rec;
}

void Pool::release(void *record) {
  /* Find the index from the record's place in its block. */
  char *p = static_cast<char *>(record);
  for (size_t b = 0; b < blocks_.size(); b++) {
    char *start = blocks_[b];
    if (p >= start && p < start + (size_ << shift_)) {
      std::memset(p, 0, HEAD_SIZE);
      FreeRecord *f = reinterpret_cast<FreeRecord *>(p + HEAD_SIZE);
      f->index = (uint32_t)((b << shift_) + (size_t)(p - start) / size_);
      f->next = free_;
      free_ = f;
      return;
    }
  }
}

void Pool::reset() {
  used_ = 0;
  free_ = nullptr;
}

}  // namespace kvx
