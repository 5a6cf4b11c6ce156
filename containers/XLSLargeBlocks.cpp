#include "XLSLargeBlocks.h"

#include <sys/mman.h>

#include <cstdint>
#include <new>

namespace tabulon {

namespace {

// Maps twice the size and gives back what lies outside one aligned block,
// so that the block can be served by a single huge page.
void* MapAlignedBlock() {
  constexpr size_t size = TXLSLargeBlocks::kBlockSize;
  void* mapped =
      mmap(nullptr, 2 * size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED) throw std::bad_alloc();
  const auto start = reinterpret_cast<uintptr_t>(mapped);
  const uintptr_t aligned = (start + size - 1) & ~(uintptr_t{size} - 1);
  if (aligned > start) munmap(mapped, aligned - start);
  const uintptr_t end = start + 2 * size;
  if (end > aligned + size) munmap(reinterpret_cast<void*>(aligned + size), end - aligned - size);
  return reinterpret_cast<void*>(aligned);
}

}  // namespace

TXLSLargeBlocks::~TXLSLargeBlocks() {
  for (void* block : blocks_) munmap(block, kBlockSize);
}

void* TXLSLargeBlocks::Add() {
  blocks_.reserve(blocks_.size() + 1);  // the only step that can throw comes first
  void* block = MapAlignedBlock();
#ifdef MADV_HUGEPAGE
  // A hint only: without huge pages the block works the same, page by page.
  if (!blocks_.empty()) madvise(block, kBlockSize, MADV_HUGEPAGE);
#endif
  blocks_.push_back(block);
  used_ = 0;
  return block;
}

void* TXLSLargeBlocks::Allocate(size_t bytes) {
  constexpr size_t kAlignment = 16;
  bytes = (bytes + kAlignment - 1) & ~(kAlignment - 1);
  if (bytes > kBlockSize) throw std::bad_alloc();
  if (kBlockSize - used_ < bytes) Add();
  void* slot = static_cast<char*>(blocks_.back()) + used_;
  used_ += bytes;
  return slot;
}

}  // namespace tabulon
