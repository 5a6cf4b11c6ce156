// Memory for the stores that only grow while their sheet lives (cells, the
// cell index, cell texts), mapped from the system, which hands it out
// zero-filled and commits each page only when it is first written.
//
// A store's first block is small (128 KiB), so that a sheet of a few cells
// costs little. Further blocks are 2 MiB, aligned to their size and offered
// to the system for huge pages where it supports them: a large sheet writes
// tens of megabytes of fresh memory, and taking that one 4 KiB page at a
// time costs about a fifth of the time of filling the sheet, while a huge
// page is committed with a single fault. The price is at most one partly
// used 2 MiB block per store, on sheets that have outgrown the first block.
#pragma once

#include <cstddef>
#include <vector>

namespace tabulon {

class TXLSLargeBlocks {
 public:
  static constexpr size_t kFirstBlockSize = size_t{128} << 10;
  static constexpr size_t kBlockSize = size_t{2} << 20;
  // The largest request Allocate serves: it fits in any block.
  static constexpr size_t kMaxAllocation = kFirstBlockSize;

  TXLSLargeBlocks() = default;
  ~TXLSLargeBlocks();
  TXLSLargeBlocks(const TXLSLargeBlocks&) = delete;
  TXLSLargeBlocks& operator=(const TXLSLargeBlocks&) = delete;

  // The next `bytes` (rounded up to 16) of the last block, zero-filled and
  // owned until this object goes. A new block is mapped when they do not fit
  // in the rest of the last one, which is then left unused. Throws
  // std::bad_alloc when bytes exceeds kMaxAllocation or the system has no
  // memory for a block.
  void* Allocate(size_t bytes);
  // Bytes of all blocks mapped so far.
  size_t GetReservedBytes() const;

 private:
  struct TBlock {
    void* Start;
    size_t Size;
  };
  void AddBlock();

  std::vector<TBlock> blocks_;
  size_t used_ = 0;  // bytes of the last block given out
};

}  // namespace tabulon
