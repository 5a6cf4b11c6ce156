// Memory for the stores that only grow while their sheet lives (cells, cell
// groups, cell texts): blocks of 2 MiB mapped from the system, which hands
// them out zero-filled and commits each page only when it is first written.
//
// A large sheet writes tens of megabytes of fresh memory, and taking it from
// the system one 4 KiB page at a time costs about a fifth of the time of
// filling the sheet. So from a store's second block on, the blocks are
// offered to the system for huge pages (where it supports them): one fault
// then commits a whole block. A small sheet stays within its first block
// and never holds a huge page.
#pragma once

#include <cstddef>
#include <vector>

namespace tabulon {

class TXLSLargeBlocks {
 public:
  static constexpr size_t kBlockSize = size_t{2} << 20;

  TXLSLargeBlocks() = default;
  ~TXLSLargeBlocks();
  TXLSLargeBlocks(const TXLSLargeBlocks&) = delete;
  TXLSLargeBlocks& operator=(const TXLSLargeBlocks&) = delete;

  // A new zero-filled block of kBlockSize bytes, aligned to kBlockSize and
  // owned until this object goes; throws std::bad_alloc when the system has
  // no memory for it.
  void* Add();
  // The next `bytes` (at most kBlockSize, rounded up to 16) of the last
  // block, zero-filled; a new block is added when they do not fit in it.
  void* Allocate(size_t bytes);
  size_t GetCount() const { return blocks_.size(); }
  // The block at 0-based index i (i < GetCount()).
  void* Get(size_t i) const { return blocks_[i]; }

 private:
  std::vector<void*> blocks_;
  size_t used_ = kBlockSize;  // bytes of the last block given out by Allocate
};

}  // namespace tabulon
