// Keyed lists: map string keys to dense integer indexes.
//
// TXLSKeyList interns the formatting tables' entries (fonts, cell formats):
// one entry per distinct key, a reference count per entry, and at save time a
// dense numbering of the entries in use. TXLSObjList keeps named objects under
// unique names; TXLSStringList keeps strings with a reverse map to positions.
// All arrays grow linearly in steps of 50 elements.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "xlshash.h"

namespace tabulon {

class TXLSKeyEntry {
 public:
  virtual ~TXLSKeyEntry() = default;

  std::string Key;
  int32_t RefCount = 0;   // references held to this entry
  int32_t SaveIndex = 0;  // 1-based position in the saved sequence; 0 = not saved
};

// An index i is "in the list" when FirstIndex <= i < FirstIndex + Count; it is
// "counted" when it is in the list and its position (i - FirstIndex) is at
// least FixedCount. Fixed entries are always saved and their RefCount is left
// alone by the counting operations. ReferredCount rises by one whenever a
// RefCount reaches exactly 1 and falls by one whenever it drops to exactly 0.
class TXLSKeyList {
 public:
  TXLSKeyList();
  virtual ~TXLSKeyList();
  TXLSKeyList(const TXLSKeyList&) = delete;
  TXLSKeyList& operator=(const TXLSKeyList&) = delete;

  int32_t Count() const { return count_; }
  int32_t Capacity() const { return capacity_; }
  uint16_t FirstIndex() const { return firstIndex_; }
  int32_t FixedCount() const { return fixedCount_; }
  const std::string& DefaultKey() const { return defaultKey_; }
  int32_t ReferredCount() const { return referredCount_; }
  // Element i (0-based) of the save-ordered list built by CreateReferredList,
  // or none past its end.
  TXLSKeyEntry* ReferredItem(int32_t i) const;

  void CheckCapacity();
  TXLSKeyEntry* GetItem(int32_t index) const;
  // The entry's key, or DefaultKey outside the list.
  const std::string& GetKey(int32_t index) const;
  // The entry's SaveIndex, or 0 outside the list.
  int32_t GetSaveIndex(int32_t index) const;

  // Returns the index of the entry with key, creating it when needed, and
  // moves one reference from index (the caller's current one) to it.
  int32_t SetKey(int32_t index, std::string_view key);
  // Stores a new entry with key at exactly index (default entries).
  void SetKeyItem(int32_t index, std::string_view key);
  void SetKeyIndex(std::string_view key, int32_t index);
  void ReplaceIndex(int32_t old_index, int32_t new_index);
  void IncReferredCount(int32_t index);
  void ClearAllReferredCount();
  // Numbers the fixed entries and the entries in use densely from 1.
  void CreateReferredList();

 protected:
  // Makes a new entry with RefCount 0; subclasses make richer entries.
  virtual std::unique_ptr<TXLSKeyEntry> CreateKeyEntry(int32_t index, std::string_view key);

  void SetFirstIndex(uint16_t first_index) { firstIndex_ = first_index; }
  void SetFixedCount(int32_t fixed_count) { fixedCount_ = fixed_count; }
  void SetDefaultKey(std::string key) { defaultKey_ = std::move(key); }
  const THashInteger& KeyHash() const { return hash_; }

 private:
  int64_t PositionOf(int32_t index) const { return int64_t{index} - firstIndex_; }
  bool InList(int32_t index) const;
  // The entry at a counted index, or none.
  TXLSKeyEntry* CountedEntry(int32_t index) const;
  // Move RefCount of an entry (none: ignored) by one, keeping ReferredCount in step.
  void AddReference(TXLSKeyEntry* entry);
  void DropReference(TXLSKeyEntry* entry);
  void GrowTo(int64_t length);

  THashInteger hash_;                                   // key to index
  std::vector<std::unique_ptr<TXLSKeyEntry>> entries_;  // position p holds FirstIndex + p
  int32_t count_ = 0;
  int32_t capacity_ = 0;
  std::string defaultKey_;
  uint16_t firstIndex_ = 1;
  int32_t fixedCount_ = 0;
  std::vector<TXLSKeyEntry*> referredList_;  // not owning
  int32_t referredCount_ = 0;
};

class TXLSObjEntry {
 public:
  TXLSObjEntry() = default;
  explicit TXLSObjEntry(std::string name) : Name(std::move(name)) {}
  virtual ~TXLSObjEntry() = default;

  std::string Name;  // unique key of the entry
};

class TXLSObjList {
 public:
  TXLSObjList();
  virtual ~TXLSObjList();
  TXLSObjList(const TXLSObjList&) = delete;
  TXLSObjList& operator=(const TXLSObjList&) = delete;

  int32_t Count() const { return count_; }
  int32_t Capacity() const { return capacity_; }
  uint16_t FirstIndex() const { return firstIndex_; }

  void CheckCapacity();
  // Takes the entry over. A name already present replaces (and frees) the
  // entry stored under it and returns its index; otherwise appends. A null
  // entry is refused with -1.
  int32_t AddItem(std::unique_ptr<TXLSObjEntry> entry);
  TXLSObjEntry* GetItem(int32_t index) const;
  TXLSObjEntry* GetItembyName(std::string_view name) const;

 protected:
  void SetFirstIndex(uint16_t first_index) { firstIndex_ = first_index; }

 private:
  THashInteger hash_;  // name to index
  std::vector<std::unique_ptr<TXLSObjEntry>> items_;
  int32_t count_ = 0;
  int32_t capacity_ = 0;
  uint16_t firstIndex_ = 1;
};

// Strings by 0-based position, with a reverse map from string to position.
class TXLSStringList {
 public:
  // preset_count positions exist from the start (empty strings), e.g. the
  // built-in number formats that precede the custom ones.
  explicit TXLSStringList(int32_t preset_count = 0);
  virtual ~TXLSStringList();
  TXLSStringList(const TXLSStringList&) = delete;
  TXLSStringList& operator=(const TXLSStringList&) = delete;

  int32_t Count() const { return count_; }
  int32_t Capacity() const { return capacity_; }

  void CheckCapacity();
  // Position of s, appending it when absent.
  int32_t AddValue(std::string_view s);
  // Position of s, or 0 when absent.
  int32_t GetIndex(std::string_view s) const { return hash_.GetValue(s); }
  // The string at i, or the empty string outside the list.
  const std::string& GetItem(int32_t i) const;
  void SetItem(int32_t i, std::string_view s);
  void SetIndex(std::string_view s, int32_t i) { SetItem(i, s); }

 private:
  THashInteger hash_;  // string to position
  std::vector<std::string> strings_;
  int32_t capacity_ = 0;
  int32_t count_ = 0;
};

}  // namespace tabulon
