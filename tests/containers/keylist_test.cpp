#include <gtest/gtest.h>

#include <string>

#include "xlslist.h"

namespace tabulon {
namespace {

// A key list configured the way the formatting tables configure theirs.
class TTestKeyList : public TXLSKeyList {
 public:
  TTestKeyList(uint16_t first_index, int32_t fixed_count) {
    SetFirstIndex(first_index);
    SetFixedCount(fixed_count);
    SetDefaultKey("DEFAULT");
  }
  int32_t RefCountOf(int32_t index) const { return GetItem(index)->RefCount; }
  // Lays down fixed entries F0, F1, ... from FirstIndex on.
  void LayDownFixed() {
    for (int32_t p = 0; p < FixedCount(); ++p)
      SetKeyItem(FirstIndex() + p, "F" + std::to_string(p));
  }
};

TEST(KeyListBasics, NewListIsEmptyWithRoomForFifty) {
  TXLSKeyList list;
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.Capacity(), 50);
  EXPECT_EQ(list.FirstIndex(), 1);
  EXPECT_EQ(list.FixedCount(), 0);
  EXPECT_EQ(list.ReferredCount(), 0);
}

TEST(KeyListBasics, IndexesOutsideTheListAnswerDefaults) {
  TTestKeyList list(1, 0);
  list.SetKey(0, "A");
  for (int32_t index : {0, 2, -1, 100000}) {
    EXPECT_EQ(list.GetKey(index), "DEFAULT");
    EXPECT_EQ(list.GetItem(index), nullptr);
    EXPECT_EQ(list.GetSaveIndex(index), 0);
  }
  EXPECT_EQ(list.GetKey(1), "A");
}

TEST(KeyListBasics, EntriesStayPutAsTheListGrows) {
  TXLSKeyList list;
  list.SetKey(0, "first");
  const TXLSKeyEntry* first = list.GetItem(1);
  for (int i = 0; i < 200; ++i) list.SetKey(0, "k" + std::to_string(i));
  EXPECT_EQ(list.Capacity(), 250);
  EXPECT_EQ(list.GetItem(1), first);
  EXPECT_EQ(first->Key, "first");
}

TEST(KeyListSetKey, NewKeysAppendAndTakeOneReference) {
  TXLSKeyList list;
  EXPECT_EQ(list.SetKey(0, "A"), 1);
  EXPECT_EQ(list.SetKey(0, "B"), 2);
  EXPECT_EQ(list.SetKey(0, "A"), 1);
  EXPECT_EQ(list.GetItem(1)->RefCount, 2);
  EXPECT_EQ(list.GetItem(2)->RefCount, 1);
  EXPECT_EQ(list.ReferredCount(), 2);
}

TEST(KeyListSetKey, MovesTheReferenceFromTheCallersIndex) {
  TXLSKeyList list;
  list.SetKey(0, "A");
  EXPECT_EQ(list.SetKey(1, "B"), 2);
  EXPECT_EQ(list.GetItem(1)->RefCount, 0);
  EXPECT_EQ(list.GetItem(2)->RefCount, 1);
  EXPECT_EQ(list.ReferredCount(), 1);
}

TEST(KeyListSetKey, FastPathOnlyAboveFirstIndex) {
  TTestKeyList list(1, 0);
  for (const char* key : {"A", "B", "C"}) list.SetKey(0, key);
  // Point the map elsewhere so the fast path and the map lookup differ.
  list.SetKeyIndex("B", 3);
  list.SetKeyIndex("A", 3);
  EXPECT_EQ(list.SetKey(2, "B"), 2);  // fast path: counts untouched
  EXPECT_EQ(list.RefCountOf(2), 1);
  EXPECT_EQ(list.RefCountOf(3), 1);
  EXPECT_EQ(list.SetKey(1, "A"), 3);  // index == FirstIndex goes through the map
  EXPECT_EQ(list.RefCountOf(1), 0);
  EXPECT_EQ(list.RefCountOf(3), 2);
}

TEST(KeyListSetKey, IndexEqualToFirstIndexKeepsItsCountThroughTheMap) {
  TXLSKeyList list;
  list.SetKey(0, "A");
  EXPECT_EQ(list.SetKey(1, "A"), 1);
  EXPECT_EQ(list.GetItem(1)->RefCount, 1);
  EXPECT_EQ(list.ReferredCount(), 1);
}

TEST(KeyListSetKey, KeyMappedToZeroInAFirstIndexZeroListAppends) {
  TTestKeyList list(0, 1);
  list.SetKeyItem(0, "K");  // the map now holds K -> 0, read as "no entry"
  const int32_t added = list.SetKey(0, "K");
  EXPECT_EQ(added, 1);
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(list.GetKey(1), "K");
  EXPECT_EQ(list.SetKey(0, "K"), 1);  // later lookups find the new entry
  EXPECT_EQ(list.RefCountOf(1), 2);
}

TEST(KeyListSetKey, KeyOfAFixedEntryReturnsItUncounted) {
  TTestKeyList list(0, 4);
  list.LayDownFixed();
  const int32_t mine = list.SetKey(0, "X");
  EXPECT_EQ(mine, 4);
  EXPECT_EQ(list.SetKey(mine, "F2"), 2);
  EXPECT_EQ(list.RefCountOf(2), 0);
  EXPECT_EQ(list.RefCountOf(mine), 0);
  EXPECT_EQ(list.ReferredCount(), 0);
}

TEST(KeyListSetKey, CallerIndexNotYetInTheListNeverMatchesTheNewEntry) {
  TXLSKeyList list;
  list.SetKey(0, "A");
  EXPECT_EQ(list.SetKey(2, "B"), 2);
  EXPECT_EQ(list.GetItem(2)->RefCount, 1);
  EXPECT_EQ(list.GetItem(1)->RefCount, 1);
  EXPECT_EQ(list.ReferredCount(), 2);
}

TEST(KeyListSetKey, SubclassEntriesAreUsed) {
  struct TRichEntry : TXLSKeyEntry {
    int32_t Created = 0;
  };
  class TRichList : public TXLSKeyList {
   protected:
    std::unique_ptr<TXLSKeyEntry> CreateKeyEntry(int32_t index, std::string_view key) override {
      auto entry = std::make_unique<TRichEntry>();
      entry->Key = std::string(key);
      entry->Created = index;
      return entry;
    }
  };
  TRichList list;
  list.SetKey(0, "A");
  list.SetKeyItem(5, "B");
  EXPECT_EQ(static_cast<TRichEntry*>(list.GetItem(1))->Created, 1);
  EXPECT_EQ(static_cast<TRichEntry*>(list.GetItem(5))->Created, 5);
}

TEST(KeyListSetKeyItem, CountedIndexStartsWithOneReference) {
  TTestKeyList list(0, 2);
  list.LayDownFixed();
  list.SetKeyItem(2, "C");
  EXPECT_EQ(list.RefCountOf(0), 0);
  EXPECT_EQ(list.RefCountOf(2), 1);
  EXPECT_EQ(list.ReferredCount(), 1);
  EXPECT_EQ(list.SetKey(0, "C"), 2);
  EXPECT_EQ(list.RefCountOf(2), 2);
}

TEST(KeyListSetKeyItem, SkippedPositionsAreHolesThatAreNeverSaved) {
  TTestKeyList list(1, 0);
  list.SetKeyItem(60, "Far");
  EXPECT_EQ(list.Count(), 60);
  EXPECT_EQ(list.Capacity(), 100);
  EXPECT_EQ(list.GetItem(30), nullptr);
  EXPECT_EQ(list.GetKey(30), "DEFAULT");
  list.IncReferredCount(30);
  list.CreateReferredList();
  EXPECT_EQ(list.ReferredCount(), 1);
  EXPECT_EQ(list.GetSaveIndex(60), 1);
}

TEST(KeyListSetKeyItem, IndexBeforeTheFirstIsIgnored) {
  TTestKeyList list(1, 0);
  list.SetKeyItem(0, "Z");
  list.SetKeyItem(-4, "Z");
  EXPECT_EQ(list.Count(), 0);
}

TEST(KeyListSetKeyItem, ReplacingAnEntryDropsItsKeyAndReferences) {
  TXLSKeyList list;
  list.SetKey(0, "A");
  list.SetKeyItem(1, "B");
  EXPECT_EQ(list.ReferredCount(), 1);
  EXPECT_EQ(list.GetKey(1), "B");
  EXPECT_EQ(list.SetKey(0, "A"), 2);  // "A" no longer finds the entry that now says "B"
}

TEST(KeyListCounting, ReplaceIndexOntoItselfIsNeutral) {
  TXLSKeyList list;
  const int32_t a = list.SetKey(0, "A");
  list.ReplaceIndex(a, a);
  EXPECT_EQ(list.GetItem(a)->RefCount, 1);
  EXPECT_EQ(list.ReferredCount(), 1);
}

TEST(KeyListCounting, FixedAndOutsideIndexesAreIgnored) {
  TTestKeyList list(0, 2);
  list.LayDownFixed();
  const int32_t x = list.SetKey(0, "X");
  list.IncReferredCount(1);
  list.IncReferredCount(77);
  list.ReplaceIndex(x, 1);
  EXPECT_EQ(list.RefCountOf(1), 0);
  EXPECT_EQ(list.RefCountOf(x), 0);
  EXPECT_EQ(list.ReferredCount(), 0);
}

TEST(KeyListCounting, ReferredCountFollowsTransitionsThroughOneAndZero) {
  TXLSKeyList list;
  const int32_t a = list.SetKey(0, "A");
  list.IncReferredCount(a);  // 2: no change
  EXPECT_EQ(list.ReferredCount(), 1);
  list.ReplaceIndex(a, 0);
  list.ReplaceIndex(a, 0);  // 0: one less
  EXPECT_EQ(list.ReferredCount(), 0);
  list.ReplaceIndex(a, 0);  // -1: over-released, no change
  EXPECT_EQ(list.GetItem(a)->RefCount, -1);
  EXPECT_EQ(list.ReferredCount(), 0);
  list.IncReferredCount(a);  // back to 0: no change
  EXPECT_EQ(list.ReferredCount(), 0);
}

TEST(KeyListCounting, ClearResetsEveryEntryIncludingFixedOnes) {
  TTestKeyList list(0, 1);
  list.LayDownFixed();
  list.GetItem(0)->RefCount = 5;
  list.SetKey(0, "X");
  list.ClearAllReferredCount();
  EXPECT_EQ(list.RefCountOf(0), 0);
  EXPECT_EQ(list.RefCountOf(1), 0);
  EXPECT_EQ(list.ReferredCount(), 0);
}

TEST(KeyListSaving, FixedEntriesFirstThenEntriesInUseWithoutGaps) {
  TTestKeyList list(0, 16);
  list.LayDownFixed();
  const int32_t x = list.SetKey(0, "X");
  const int32_t y = list.SetKey(0, "Y");
  const int32_t z = list.SetKey(0, "Z");
  list.ReplaceIndex(y, 0);  // Y falls to 0 references
  list.CreateReferredList();
  for (int32_t i = 0; i < 16; ++i) {
    EXPECT_EQ(list.GetSaveIndex(i), i + 1);
    EXPECT_EQ(list.ReferredItem(i), list.GetItem(i));
  }
  EXPECT_EQ(list.GetSaveIndex(x), 17);
  EXPECT_EQ(list.GetSaveIndex(y), 0);
  EXPECT_EQ(list.GetSaveIndex(z), 18);
  EXPECT_EQ(list.ReferredCount(), 18);
  EXPECT_EQ(list.ReferredItem(16), list.GetItem(x));
  EXPECT_EQ(list.ReferredItem(17), list.GetItem(z));
  EXPECT_EQ(list.ReferredItem(18), nullptr);
  EXPECT_EQ(list.ReferredItem(-1), nullptr);
}

TEST(KeyListSaving, OverReleasedEntryIsNotSavedAndRenumberingClearsOldIndexes) {
  TXLSKeyList list;
  const int32_t a = list.SetKey(0, "A");
  const int32_t b = list.SetKey(0, "B");
  list.CreateReferredList();
  EXPECT_EQ(list.GetSaveIndex(b), 2);
  list.ReplaceIndex(a, 0);
  list.ReplaceIndex(a, 0);
  list.CreateReferredList();
  EXPECT_EQ(list.GetSaveIndex(a), 0);
  EXPECT_EQ(list.GetSaveIndex(b), 1);
  EXPECT_EQ(list.ReferredCount(), 1);
}

// Counts destructions so replacement can be seen to free the old entry.
class TCountedEntry : public TXLSObjEntry {
 public:
  TCountedEntry(std::string name, int* destroyed)
      : TXLSObjEntry(std::move(name)), destroyed_(destroyed) {}
  ~TCountedEntry() override { ++*destroyed_; }

 private:
  int* destroyed_;
};

class TZeroBasedObjList : public TXLSObjList {
 public:
  TZeroBasedObjList() { SetFirstIndex(0); }
};

TEST(ObjList, AppendsFromFirstIndexAndFindsByName) {
  TXLSObjList list;
  EXPECT_EQ(list.Capacity(), 50);
  EXPECT_EQ(list.AddItem(std::make_unique<TXLSObjEntry>("Normal")), 1);
  EXPECT_EQ(list.AddItem(std::make_unique<TXLSObjEntry>("Comma")), 2);
  EXPECT_EQ(list.GetItem(0), nullptr);
  EXPECT_EQ(list.GetItem(3), nullptr);
  EXPECT_EQ(list.GetItembyName("Comma"), list.GetItem(2));
  EXPECT_EQ(list.GetItembyName("Absent"), nullptr);
}

TEST(ObjList, SameNameReplacesAndFreesTheOldEntry) {
  int destroyed = 0;
  TXLSObjList list;
  list.AddItem(std::make_unique<TXLSObjEntry>("Normal"));
  list.AddItem(std::make_unique<TCountedEntry>("Percent", &destroyed));
  auto replacement = std::make_unique<TCountedEntry>("Percent", &destroyed);
  const TXLSObjEntry* fresh = replacement.get();
  EXPECT_EQ(list.AddItem(std::move(replacement)), 2);
  EXPECT_EQ(destroyed, 1);
  EXPECT_EQ(list.GetItem(2), fresh);
  EXPECT_EQ(list.Count(), 2);
}

TEST(ObjList, IndexZeroIsReplacedByNameButNotFoundByName) {
  TZeroBasedObjList list;
  EXPECT_EQ(list.AddItem(std::make_unique<TXLSObjEntry>("Normal")), 0);
  EXPECT_EQ(list.AddItem(std::make_unique<TXLSObjEntry>("Normal")), 0);
  EXPECT_EQ(list.Count(), 1);
  EXPECT_NE(list.GetItem(0), nullptr);
  EXPECT_EQ(list.GetItembyName("Normal"), nullptr);
}

TEST(ObjList, NullEntryIsRefusedAndGrowthIsInStepsOfFifty) {
  TXLSObjList list;
  EXPECT_EQ(list.AddItem(nullptr), -1);
  for (int i = 0; i < 51; ++i) list.AddItem(std::make_unique<TXLSObjEntry>(std::to_string(i)));
  EXPECT_EQ(list.Capacity(), 100);
  EXPECT_EQ(list.GetItembyName("50"), list.GetItem(51));
}

TEST(StringList, PresetCountReservesLeadingPositions) {
  TXLSStringList list(163);
  EXPECT_EQ(list.Count(), 163);
  EXPECT_EQ(list.Capacity(), 213);
  EXPECT_EQ(list.AddValue("0.000"), 163);
  EXPECT_EQ(list.AddValue("0.000"), 163);
  EXPECT_EQ(list.GetIndex("0.000"), 163);
  EXPECT_EQ(list.GetIndex("absent"), 0);
}

TEST(StringList, SetItemBeyondTheEndLeavesEmptyPositions) {
  TXLSStringList list(163);
  list.SetItem(200, "#,##0");
  EXPECT_EQ(list.Count(), 201);
  EXPECT_EQ(list.GetItem(200), "#,##0");
  EXPECT_EQ(list.GetIndex("#,##0"), 200);
  for (int32_t i : {163, 180, 199, -1, 201}) EXPECT_EQ(list.GetItem(i), "");
}

TEST(StringList, SetIndexIsSetItemWithArgumentsSwappedAndNegativeIsIgnored) {
  TXLSStringList list;
  list.SetIndex("General", 0);
  list.SetItem(-1, "bad");
  EXPECT_EQ(list.Count(), 1);
  EXPECT_EQ(list.GetItem(0), "General");
  EXPECT_EQ(list.AddValue("General"), 0);
}

TEST(StringList, OverwrittenStringNoLongerMapsToItsOldPosition) {
  TXLSStringList list;
  list.SetItem(5, "0.0");
  list.SetItem(5, "0.00");
  EXPECT_FALSE(list.GetIndex("0.0") == 5);
  EXPECT_EQ(list.AddValue("0.0"), 6);
  EXPECT_EQ(list.GetIndex("0.00"), 5);
}

TEST(StringList, GrowsInStepsOfFifty) {
  TXLSStringList list;
  EXPECT_EQ(list.Capacity(), 50);
  for (int i = 0; i < 51; ++i) list.AddValue(std::to_string(i));
  EXPECT_EQ(list.Capacity(), 100);
  EXPECT_EQ(list.GetItem(50), "50");
}

}  // namespace
}  // namespace tabulon
