// String-keyed hash tables with separate chaining, one class per value type,
// and sparse arrays that key the same tables by an unsigned integer written as
// decimal text. The keyed lists use THashInteger as their key-to-index map;
// worksheets keep column widths and row heights in TSingleArray maps.
//
// Every operation hashes its key once and compares the stored hash before the
// key text, so a chain of distinct keys costs one integer compare per entry.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tabulon {

// Ordered list of strings owned by whoever receives it (THash::Keys).
using TStringList = std::vector<std::string>;

// One chain entry. Value-carrying entries derive from it.
class THashEntry {
 public:
  virtual ~THashEntry() = default;

  THashEntry* Next = nullptr;  // next entry in the same bucket
  uint32_t HashValue = 0;      // full hash of Key
  std::string Key;
};

class THashStringEntry : public THashEntry {
 public:
  std::string Value;
};

class THashPointerEntry : public THashEntry {
 public:
  void* Value = nullptr;  // not owned
};

class THashSingleEntry : public THashEntry {
 public:
  float Value = 0.0f;
};

class THashBoolEntry : public THashEntry {
 public:
  bool Value = false;
};

class THashIntEntry : public THashEntry {
 public:
  int32_t Value = 0;
};

// The table. Starts with 8 buckets and doubles when it holds as many entries
// as buckets, unless a MaxCapacity stops it; it never shrinks. Owns its entries.
class THash {
 public:
  THash();
  virtual ~THash();
  THash(const THash&) = delete;
  THash& operator=(const THash&) = delete;

  // h = h * 33 + byte over the key, then h + (h >> 5), all modulo 2^32.
  static uint32_t Hash(std::string_view key);

  int32_t GetCapacity() const { return mask_ + 1; }
  // Grows to the smallest power of two >= n; refused as a whole past MaxCapacity.
  void SetCapacity(int32_t n);
  // Multiplies the bucket count by 2^(shift mod 32) and rehashes in place.
  void ExtendHash(uint8_t shift);
  // n < 0: no limit; n below the current bucket count: the current bucket count.
  void SetMaxCapacity(int32_t n);
  int32_t MaxCapacity() const { return maxCapacity_; }
  int32_t Count() const { return count_; }

  // Finds the entry for key, creating an empty one when absent.
  THashEntry* GetHashEntry(std::string_view key);
  // Finds the entry for key; never grows or creates.
  THashEntry* FindHashEntry(std::string_view key) const;
  bool KeyExists(std::string_view key) const { return FindHashEntry(key) != nullptr; }
  void DeleteKey(std::string_view key);

  // Every key, buckets in ascending order, each chain from head to tail.
  TStringList Keys() const;
  // As Keys(), only the keys that start with prefix (byte-wise).
  TStringList Keys(std::string_view prefix) const;

 protected:
  // Makes one empty entry of the class's entry type.
  virtual THashEntry* CreateEntry() const = 0;

  // Typed access shared by the value classes: the stored value, or the
  // value type's default when the key is absent.
  template <class Entry>
  decltype(Entry::Value) ValueOf(std::string_view key) const {
    const auto* entry = static_cast<const Entry*>(FindHashEntry(key));
    return entry != nullptr ? entry->Value : decltype(Entry::Value){};
  }
  template <class Entry, class Value>
  void StoreValue(std::string_view key, Value&& value) {
    static_cast<Entry*>(GetHashEntry(key))->Value = std::forward<Value>(value);
  }

 private:
  THashEntry* FindWithHash(std::string_view key, uint32_t hash) const;

  std::vector<THashEntry*> buckets_;  // chain heads, owned; length mask_ + 1
  int32_t mask_ = 7;
  int32_t count_ = 0;
  int32_t maxCapacity_ = -1;
};

class THashString : public THash {
 public:
  std::string GetValue(std::string_view key) const { return ValueOf<THashStringEntry>(key); }
  void SetValue(std::string_view key, std::string value) {
    StoreValue<THashStringEntry>(key, std::move(value));
  }

 protected:
  THashEntry* CreateEntry() const override { return new THashStringEntry; }
};

class THashPointer : public THash {
 public:
  void* GetValue(std::string_view key) const { return ValueOf<THashPointerEntry>(key); }
  void SetValue(std::string_view key, void* value) { StoreValue<THashPointerEntry>(key, value); }

 protected:
  THashEntry* CreateEntry() const override { return new THashPointerEntry; }
};

class THashSingle : public THash {
 public:
  float GetValue(std::string_view key) const { return ValueOf<THashSingleEntry>(key); }
  void SetValue(std::string_view key, float value) { StoreValue<THashSingleEntry>(key, value); }

 protected:
  THashEntry* CreateEntry() const override { return new THashSingleEntry; }
};

class THashBool : public THash {
 public:
  bool GetValue(std::string_view key) const { return ValueOf<THashBoolEntry>(key); }
  void SetValue(std::string_view key, bool value) { StoreValue<THashBoolEntry>(key, value); }

 protected:
  THashEntry* CreateEntry() const override { return new THashBoolEntry; }
};

class THashInteger : public THash {
 public:
  // 0 when absent, which callers cannot tell from a stored 0.
  int32_t GetValue(std::string_view key) const { return ValueOf<THashIntEntry>(key); }
  void SetValue(std::string_view key, int32_t value) { StoreValue<THashIntEntry>(key, value); }

 protected:
  THashEntry* CreateEntry() const override { return new THashIntEntry; }
};

// Decimal text of an array index without sign or leading zeros ("15" for 15),
// built on the stack so array lookups allocate nothing.
class TIndexKey {
 public:
  explicit TIndexKey(uint32_t index);
  std::string_view View() const {
    return std::string_view(digits_ + start_, sizeof(digits_) - start_);
  }

 private:
  char digits_[10];  // 4294967295 has ten digits
  uint8_t start_;    // offset of the first digit, so copies stay valid
};

// Sparse arrays: the same tables keyed by the decimal text of an index.
class TSingleArray : public THash {
 public:
  float GetValue(uint32_t index) const {
    return ValueOf<THashSingleEntry>(TIndexKey(index).View());
  }
  void SetValue(uint32_t index, float value) {
    StoreValue<THashSingleEntry>(TIndexKey(index).View(), value);
  }
  bool KeyExists(uint32_t index) const { return THash::KeyExists(TIndexKey(index).View()); }

 protected:
  THashEntry* CreateEntry() const override { return new THashSingleEntry; }
};

class TPointerArray : public THash {
 public:
  void* GetValue(uint32_t index) const {
    return ValueOf<THashPointerEntry>(TIndexKey(index).View());
  }
  void SetValue(uint32_t index, void* value) {
    StoreValue<THashPointerEntry>(TIndexKey(index).View(), value);
  }
  bool KeyExists(uint32_t index) const { return THash::KeyExists(TIndexKey(index).View()); }

 protected:
  THashEntry* CreateEntry() const override { return new THashPointerEntry; }
};

class TBoolArray : public THash {
 public:
  bool GetValue(uint32_t index) const { return ValueOf<THashBoolEntry>(TIndexKey(index).View()); }
  void SetValue(uint32_t index, bool value) {
    StoreValue<THashBoolEntry>(TIndexKey(index).View(), value);
  }
  bool KeyExists(uint32_t index) const { return THash::KeyExists(TIndexKey(index).View()); }

 protected:
  THashEntry* CreateEntry() const override { return new THashBoolEntry; }
};

}  // namespace tabulon
