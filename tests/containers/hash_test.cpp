#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "xlshash.h"

namespace tabulon {
namespace {

std::string NumberedKey(int i) {
  return "key" + std::to_string(i);
}

TEST(HashFunction, MatchesKnownValues) {
  EXPECT_EQ(THash::Hash(""), 0u);
  EXPECT_EQ(THash::Hash("a"), 100u);
  EXPECT_EQ(THash::Hash("abc"), 112371u);
  EXPECT_EQ(THash::Hash("abc") & 7u, 3u);
  EXPECT_EQ(THash::Hash("15"), 1722u);
}

TEST(HashFunction, TreatsBytesAsUnsigned) {
  // 0xFF must add 255, not -1.
  EXPECT_EQ(THash::Hash("\xFF"), 255u + (255u >> 5));
}

TEST(HashGrowth, NewTableHasEightBucketsAndGrowsAtTheNinthKey) {
  THashInteger table;
  EXPECT_EQ(table.GetCapacity(), 8);
  EXPECT_EQ(table.MaxCapacity(), -1);
  for (int i = 0; i < 8; ++i) table.SetValue(NumberedKey(i), i);
  EXPECT_EQ(table.GetCapacity(), 8);
  table.SetValue(NumberedKey(8), 8);
  EXPECT_EQ(table.GetCapacity(), 16);
  for (int i = 0; i <= 8; ++i) EXPECT_EQ(table.GetValue(NumberedKey(i)), i);
}

TEST(HashGrowth, LookupOfAnExistingKeyAlsoGrowsAFullTable) {
  THashInteger table;
  for (int i = 0; i < 8; ++i) table.SetValue(NumberedKey(i), i);
  table.GetHashEntry(NumberedKey(0));
  EXPECT_EQ(table.GetCapacity(), 16);
  EXPECT_EQ(table.Count(), 8);
}

TEST(HashGrowth, FindNeverGrowsOrCreates) {
  THashInteger table;
  for (int i = 0; i < 8; ++i) table.SetValue(NumberedKey(i), i);
  EXPECT_EQ(table.FindHashEntry("absent"), nullptr);
  EXPECT_EQ(table.GetCapacity(), 8);
  EXPECT_EQ(table.Count(), 8);
}

TEST(HashGrowth, RehashKeepsEveryKeyAndValue) {
  THashString table;
  for (int i = 0; i < 500; ++i) table.SetValue(NumberedKey(i), "v" + std::to_string(i));
  EXPECT_EQ(table.GetCapacity(), 512);
  EXPECT_EQ(table.Count(), 500);
  for (int i = 0; i < 500; ++i) EXPECT_EQ(table.GetValue(NumberedKey(i)), "v" + std::to_string(i));
}

TEST(HashGrowth, OverflowingShiftIsRefused) {
  THashBool table;
  table.SetValue("x", true);
  table.ExtendHash(31);
  EXPECT_EQ(table.GetCapacity(), 8);
  table.ExtendHash(33);  // taken modulo 32: doubles
  EXPECT_EQ(table.GetCapacity(), 16);
  EXPECT_TRUE(table.GetValue("x"));
}

TEST(HashMaxCapacity, CapKeepsBucketCountAndEveryKeyRetrievable) {
  THashInteger table;
  table.SetMaxCapacity(8);
  for (int i = 0; i < 100; ++i) table.SetValue(NumberedKey(i), i * 3);
  EXPECT_EQ(table.GetCapacity(), 8);
  EXPECT_EQ(table.Count(), 100);
  for (int i = 0; i < 100; ++i) EXPECT_EQ(table.GetValue(NumberedKey(i)), i * 3);
}

TEST(HashMaxCapacity, NegativeMeansNoLimitAndSmallValuesClampToCurrentSize) {
  THashInteger table;
  table.SetMaxCapacity(-5);
  EXPECT_EQ(table.MaxCapacity(), -1);
  table.SetMaxCapacity(3);
  EXPECT_EQ(table.MaxCapacity(), 8);
  table.SetMaxCapacity(100);
  EXPECT_EQ(table.MaxCapacity(), 100);
}

TEST(HashMaxCapacity, GrowthPastTheCapIsRefusedAsAWhole) {
  THashInteger table;
  table.SetMaxCapacity(20);
  table.SetCapacity(100);
  EXPECT_EQ(table.GetCapacity(), 8);
  table.SetCapacity(16);
  EXPECT_EQ(table.GetCapacity(), 16);
}

TEST(HashSetCapacity, GivesTheSmallestPowerOfTwoAtLeastN) {
  const struct {
    int32_t n;
    int32_t expected;
  } cases[] = {{8, 8},       {9, 16},      {16, 16}, {17, 32}, {1000, 1024},
               {1024, 1024}, {1025, 2048}, {0, 8},   {-3, 8}};
  for (const auto& c : cases) {
    THashPointer table;
    table.SetCapacity(c.n);
    EXPECT_EQ(table.GetCapacity(), c.expected) << "n = " << c.n;
  }
}

TEST(HashSetCapacity, NeverShrinks) {
  THashPointer table;
  table.SetCapacity(64);
  table.SetCapacity(9);
  EXPECT_EQ(table.GetCapacity(), 64);
}

TEST(HashDeleteKey, AbsentKeyChangesNothing) {
  THashInteger table;
  table.SetValue("a", 1);
  table.DeleteKey("b");
  EXPECT_EQ(table.Count(), 1);
  EXPECT_EQ(table.GetValue("a"), 1);
}

TEST(HashDeleteKey, DeletedKeyReadsDefaultAndOthersInTheChainSurvive) {
  THashInteger table;
  table.SetMaxCapacity(8);  // long chains
  for (int i = 0; i < 40; ++i) table.SetValue(NumberedKey(i), i + 1);
  table.DeleteKey(NumberedKey(17));
  EXPECT_FALSE(table.KeyExists(NumberedKey(17)));
  EXPECT_EQ(table.GetValue(NumberedKey(17)), 0);
  EXPECT_EQ(table.Count(), 39);
  for (int i = 0; i < 40; ++i) {
    if (i == 17) continue;
    EXPECT_EQ(table.GetValue(NumberedKey(i)), i + 1);
  }
}

TEST(HashDeleteKey, BucketCountStays) {
  THashInteger table;
  for (int i = 0; i < 9; ++i) table.SetValue(NumberedKey(i), i);
  for (int i = 0; i < 9; ++i) table.DeleteKey(NumberedKey(i));
  EXPECT_EQ(table.Count(), 0);
  EXPECT_EQ(table.GetCapacity(), 16);
}

TEST(HashKeys, BucketsAscendingAndChainsNewestFirst) {
  THashInteger table;
  // "a" (100) and "i" (108) share bucket 4; "abc" is in bucket 3.
  table.SetValue("a", 1);
  table.SetValue("i", 2);
  table.SetValue("abc", 3);
  EXPECT_EQ(table.Keys(), (TStringList{"abc", "i", "a"}));
}

TEST(HashKeys, PrefixIsAnExactLeadingMatch) {
  THashString table;
  for (const char* key : {"1", "10", "21", "A1"}) table.SetValue(key, "x");
  TStringList ones = table.Keys("1");
  std::sort(ones.begin(), ones.end());
  EXPECT_EQ(ones, (TStringList{"1", "10"}));
  EXPECT_EQ(table.Keys("10"), (TStringList{"10"}));
  EXPECT_EQ(table.Keys("a").size(), 0u);  // case-sensitive
  EXPECT_EQ(table.Keys("").size(), 4u);
}

TEST(HashValues, AbsentKeysReadTheTypeDefault) {
  EXPECT_EQ(THashString().GetValue("k"), "");
  EXPECT_EQ(THashPointer().GetValue("k"), nullptr);
  EXPECT_EQ(THashSingle().GetValue("k"), 0.0f);
  EXPECT_FALSE(THashBool().GetValue("k"));
  EXPECT_EQ(THashInteger().GetValue("k"), 0);
}

TEST(HashValues, SetOverwritesAndKeysAreCaseSensitive) {
  THashSingle table;
  table.SetValue("Width", 1.5f);
  table.SetValue("Width", 2.5f);
  table.SetValue("width", 9.0f);
  EXPECT_EQ(table.Count(), 2);
  EXPECT_EQ(table.GetValue("Width"), 2.5f);
  EXPECT_EQ(table.GetValue("width"), 9.0f);
}

TEST(HashValues, EmptyKeyIsAnOrdinaryKey) {
  THashPointer table;
  int target = 0;
  table.SetValue("", &target);
  EXPECT_TRUE(table.KeyExists(""));
  EXPECT_EQ(table.GetValue(""), &target);
}

TEST(SparseArrays, IndexIsKeyedByItsDecimalText) {
  TSingleArray widths;
  widths.SetValue(0, 12.5f);
  EXPECT_EQ(widths.Keys(), (TStringList{"0"}));
  widths.SetValue(15, 3.0f);
  EXPECT_EQ(widths.FindHashEntry("15")->Key, "15");
  EXPECT_EQ(TIndexKey(4294967295u).View(), "4294967295");
}

TEST(SparseArrays, SevenAndSeventyAreDistinct) {
  TSingleArray heights;
  heights.SetValue(7, 1.0f);
  heights.SetValue(70, 2.0f);
  EXPECT_EQ(heights.GetValue(7), 1.0f);
  EXPECT_EQ(heights.GetValue(70), 2.0f);
  EXPECT_EQ(heights.Count(), 2);
}

TEST(SparseArrays, UnsetIndexReadsDefaultAndDoesNotExist) {
  TSingleArray widths;
  widths.SetValue(3, 4.0f);
  EXPECT_EQ(widths.GetValue(30), 0.0f);
  EXPECT_FALSE(widths.KeyExists(30));
  EXPECT_TRUE(widths.KeyExists(3));

  TPointerArray pointers;
  EXPECT_EQ(pointers.GetValue(1), nullptr);
  pointers.SetValue(1, &pointers);
  EXPECT_EQ(pointers.GetValue(1), &pointers);

  TBoolArray flags;
  EXPECT_FALSE(flags.GetValue(255));
  flags.SetValue(255, true);
  EXPECT_TRUE(flags.GetValue(255));
  EXPECT_FALSE(flags.KeyExists(25));
}

}  // namespace
}  // namespace tabulon
