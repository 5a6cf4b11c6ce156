#include "XLSLargeBlocks.h"

#include <sys/mman.h>

#include <cstdint>
#include <new>

#include "XLSSanitizer.h"

namespace tabulon {

namespace {

void* Map(size_t size) {
  void* mapped = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED) throw std::bad_alloc();
  return mapped;
}

// Maps twice the size and gives back what lies outside one aligned block,
// so that the block can be served by a single huge page.
void* MapAligned(size_t size) {
  void* mapped = Map(2 * size);
  const auto start = reinterpret_cast<uintptr_t>(mapped);
  const uintptr_t aligned = (start + size - 1) & ~(uintptr_t{size} - 1);
  if (aligned > start) munmap(mapped, aligned - start);
  const uintptr_t end = start + 2 * size;
  if (end > aligned + size) munmap(reinterpret_cast<void*>(aligned + size), end - aligned - size);
  return reinterpret_cast<void*>(aligned);
}

}  // namespace

TXLSLargeBlocks::~TXLSLargeBlocks() {
  for (const TBlock& block : blocks_) {
    XLSUnpoisonMemory(block.Start, block.Size);  // the addresses may be mapped again
    munmap(block.Start, block.Size);
  }
}

void TXLSLargeBlocks::AddBlock() {
  blocks_.reserve(blocks_.size() + 1);  // the only step that can throw after mapping comes first
  if (blocks_.empty()) {
    blocks_.push_back({Map(kFirstBlockSize), kFirstBlockSize});
  } else {
    void* block = MapAligned(kBlockSize);
#ifdef MADV_HUGEPAGE
    // A hint only: without huge pages the block works the same, page by page.
    madvise(block, kBlockSize, MADV_HUGEPAGE);
#endif
    blocks_.push_back({block, kBlockSize});
  }
  // Under AddressSanitizer a block is out of bounds until handed out.
  XLSPoisonMemory(blocks_.back().Start, blocks_.back().Size);
  used_ = 0;
}

void* TXLSLargeBlocks::Allocate(size_t bytes) {
  constexpr size_t kAlignment = 16;
  if (bytes > kMaxAllocation) throw std::bad_alloc();
  bytes = (bytes + kAlignment - 1) & ~(kAlignment - 1);
  if (blocks_.empty() || blocks_.back().Size - used_ < bytes) AddBlock();
  void* slot = static_cast<char*>(blocks_.back().Start) + used_;
  used_ += bytes;
  XLSUnpoisonMemory(slot, bytes);
  return slot;
}

size_t TXLSLargeBlocks::GetReservedBytes() const {
  size_t total = 0;
  for (const TBlock& block : blocks_) total += block.Size;
  return total;
}

}  // namespace tabulon
