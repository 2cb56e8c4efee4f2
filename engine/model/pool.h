/*
 * pool.h - pools of fixed-size records for the program model.
 *
 * A pool hands out records of one size from blocks it allocates whole, so
 * that creating an object never reaches the system allocator.  Released
 * records go on a free list and are handed out again; every record handed
 * out is cleared.  Records are numbered by their position in the pool,
 * which is what object handles carry.
 */
#ifndef KVX_MODEL_POOL_H
#define KVX_MODEL_POOL_H

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kvx {

class Pool {
 public:
  Pool() = default;
  ~Pool();
  Pool(const Pool &) = delete;
  Pool &operator=(const Pool &) = delete;

  /* Record size in bytes and log2 of the records per block. */
  void init(size_t record_size, unsigned block_shift);

  /* A cleared record and its index, or null when memory runs out. */
  void *allocate(uint32_t *index);
  /* Puts a record back on the free list. */
  void release(void *record);
  /* Returns every record to the pool (the blocks stay allocated). */
  void reset();

  /* The record at an index below used(), whether live or not. */
  void *at(uint32_t index) const {
    return blocks_[index >> shift_] + (size_t)(index & mask_) * size_;
  }
  uint32_t used() const { return used_; }
  size_t block_count() const { return blocks_.size(); }

 /* Bytes at the front of every record that release() clears. */
  static constexpr size_t HEAD_SIZE = 8;

 private:
  struct FreeRecord {
    FreeRecord *next;
    uint32_t index;
  };
  size_t size_ = 0;
  unsigned shift_ = 0;
  uint32_t mask_ = 0;
  uint32_t used_ = 0;       /* records ever handed out (high-water mark) */
  FreeRecord *free_ = nullptr;
  std::vector<char *> blocks_;
};

}  // namespace kvx

#endif
