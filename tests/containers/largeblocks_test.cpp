#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

#include "XLSLargeBlocks.h"

namespace tabulon {
namespace {

constexpr size_t kFirst = TXLSLargeBlocks::kFirstBlockSize;
constexpr size_t kBlock = TXLSLargeBlocks::kBlockSize;
constexpr size_t kMax = TXLSLargeBlocks::kMaxAllocation;

bool IsZero(const void* data, size_t size) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  for (size_t i = 0; i < size; ++i) {
    if (bytes[i] != 0) return false;
  }
  return true;
}

TEST(LargeBlocks, AllocationsAreRoundedAlignedAndZeroFilled) {
  TXLSLargeBlocks blocks;
  auto* first = static_cast<char*>(blocks.Allocate(1));
  auto* second = static_cast<char*>(blocks.Allocate(17));
  auto* third = static_cast<char*>(blocks.Allocate(16));
  EXPECT_EQ(reinterpret_cast<uintptr_t>(first) % 16, 0u);
  EXPECT_EQ(second - first, 16);
  EXPECT_EQ(third - second, 32);
  EXPECT_TRUE(IsZero(first, 64));
  EXPECT_EQ(blocks.GetReservedBytes(), kFirst);
}

// A small first block, then 2 MiB blocks aligned to their size (huge-page
// candidates); a request that does not fit the rest of a block opens the next.
TEST(LargeBlocks, SmallFirstBlockThenLargeAlignedOnes) {
  TXLSLargeBlocks blocks;
  blocks.Allocate(16);
  auto* second = static_cast<char*>(blocks.Allocate(kMax));
  EXPECT_EQ(blocks.GetReservedBytes(), kFirst + kBlock);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(second) % kBlock, 0u);
  std::vector<char*> rest;
  for (size_t i = 1; i < kBlock / kMax; ++i)
    rest.push_back(static_cast<char*>(blocks.Allocate(kMax)));
  EXPECT_EQ(rest.back(), second + kBlock - kMax);
  EXPECT_EQ(blocks.GetReservedBytes(), kFirst + kBlock);
  EXPECT_TRUE(IsZero(rest.back(), kMax));
  std::memset(rest.back(), 0x5A, kMax);  // writable to the block's last byte
  blocks.Allocate(16);
  EXPECT_EQ(blocks.GetReservedBytes(), kFirst + 2 * kBlock);
}

TEST(LargeBlocks, RequestLargerThanTheLimitIsRefused) {
  TXLSLargeBlocks blocks;
  EXPECT_THROW(blocks.Allocate(kMax + 1), std::bad_alloc);
  EXPECT_EQ(blocks.GetReservedBytes(), 0u);
  EXPECT_NE(blocks.Allocate(kMax), nullptr);
}

}  // namespace
}  // namespace tabulon
