#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <new>

#include "XLSLargeBlocks.h"

namespace tabulon {
namespace {

constexpr size_t kBlock = TXLSLargeBlocks::kBlockSize;

bool IsZero(const void* data, size_t size) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  for (size_t i = 0; i < size; i += 4096) {
    if (bytes[i] != 0 || bytes[size - 1 - i] != 0) return false;
  }
  return true;
}

TEST(LargeBlocks, BlocksAreAlignedZeroFilledAndWritableToTheirEnd) {
  TXLSLargeBlocks blocks;
  for (int i = 0; i < 3; ++i) {
    void* block = blocks.Add();
    EXPECT_EQ(reinterpret_cast<uintptr_t>(block) % kBlock, 0u);
    EXPECT_TRUE(IsZero(block, kBlock));
    std::memset(block, 0xA5, kBlock);
  }
  EXPECT_EQ(blocks.GetCount(), 3u);
  EXPECT_EQ(static_cast<unsigned char*>(blocks.Get(1))[kBlock - 1], 0xA5);
}

TEST(LargeBlocks, AllocationsAreRoundedAlignedAndOpenBlocksWhenFull) {
  TXLSLargeBlocks blocks;
  auto* first = static_cast<char*>(blocks.Allocate(1));
  auto* second = static_cast<char*>(blocks.Allocate(17));
  auto* third = static_cast<char*>(blocks.Allocate(16));
  EXPECT_EQ(second - first, 16);
  EXPECT_EQ(third - second, 32);
  EXPECT_EQ(blocks.GetCount(), 1u);
  // What does not fit in the rest of the block starts a new one.
  void* big = blocks.Allocate(kBlock - 16);
  EXPECT_EQ(blocks.GetCount(), 2u);
  EXPECT_EQ(big, blocks.Get(1));
  EXPECT_TRUE(IsZero(big, kBlock - 16));
  EXPECT_EQ(blocks.Allocate(16), static_cast<char*>(big) + kBlock - 16);
  EXPECT_EQ(blocks.GetCount(), 2u);
}

TEST(LargeBlocks, RequestLargerThanABlockIsRefused) {
  TXLSLargeBlocks blocks;
  EXPECT_THROW(blocks.Allocate(kBlock + 1), std::bad_alloc);
  EXPECT_EQ(blocks.GetCount(), 0u);
  EXPECT_NE(blocks.Allocate(kBlock), nullptr);
}

}  // namespace
}  // namespace tabulon
