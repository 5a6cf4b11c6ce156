#include "xlshash.h"

namespace tabulon {

namespace {

constexpr int32_t kInitialBuckets = 8;
// Largest bucket count the signed 32-bit Mask and capacity can describe
// without overflow; growth beyond it is refused like growth past MaxCapacity.
constexpr int64_t kBucketLimit = int64_t{1} << 30;

bool StartsWith(const std::string& key, std::string_view prefix) {
  return key.size() >= prefix.size() && std::string_view(key).substr(0, prefix.size()) == prefix;
}

}  // namespace

THash::THash() : buckets_(kInitialBuckets, nullptr) {}

THash::~THash() {
  for (THashEntry* head : buckets_) {
    while (head != nullptr) {
      THashEntry* next = head->Next;
      delete head;
      head = next;
    }
  }
}

uint32_t THash::Hash(std::string_view key) {
  uint32_t h = 0;
  for (char c : key) h = h * 33u + static_cast<uint8_t>(c);
  return h + (h >> 5);
}

void THash::SetCapacity(int32_t n) {
  // The smallest power of two >= n, as a shift of the current bucket count.
  int64_t buckets = GetCapacity();
  uint8_t shift = 0;
  while (buckets < n) {
    buckets <<= 1;
    ++shift;
  }
  if (shift > 0) ExtendHash(shift);
}

void THash::ExtendHash(uint8_t shift) {
  const int64_t old_count = GetCapacity();
  const int64_t new_count = old_count << (shift % 32);
  if (new_count > kBucketLimit) return;
  if (maxCapacity_ != -1 && new_count > maxCapacity_) return;

  mask_ = static_cast<int32_t>(new_count - 1);
  buckets_.resize(static_cast<size_t>(new_count), nullptr);
  // Entries that stay keep their order; movers go to buckets >= old_count,
  // which this loop never reaches, so each entry is visited once.
  for (int64_t i = 0; i < old_count; ++i) {
    THashEntry** link = &buckets_[static_cast<size_t>(i)];
    while (*link != nullptr) {
      THashEntry* entry = *link;
      const uint32_t target = entry->HashValue & static_cast<uint32_t>(mask_);
      if (target == i) {
        link = &entry->Next;
        continue;
      }
      *link = entry->Next;
      entry->Next = buckets_[target];
      buckets_[target] = entry;
    }
  }
}

void THash::SetMaxCapacity(int32_t n) {
  if (n < 0) {
    maxCapacity_ = -1;
  } else {
    maxCapacity_ = n < GetCapacity() ? GetCapacity() : n;
  }
}

THashEntry* THash::FindWithHash(std::string_view key, uint32_t hash) const {
  for (THashEntry* entry = buckets_[hash & static_cast<uint32_t>(mask_)]; entry != nullptr;
       entry = entry->Next) {
    if (entry->HashValue == hash && entry->Key == key) return entry;
  }
  return nullptr;
}

THashEntry* THash::GetHashEntry(std::string_view key) {
  if (count_ > mask_) ExtendHash(1);
  const uint32_t hash = Hash(key);
  if (THashEntry* found = FindWithHash(key, hash)) return found;

  THashEntry* entry = CreateEntry();
  ++count_;
  entry->HashValue = hash;
  entry->Key.assign(key.data(), key.size());
  THashEntry*& head = buckets_[hash & static_cast<uint32_t>(mask_)];
  entry->Next = head;
  head = entry;
  return entry;
}

THashEntry* THash::FindHashEntry(std::string_view key) const {
  return FindWithHash(key, Hash(key));
}

void THash::DeleteKey(std::string_view key) {
  const uint32_t hash = Hash(key);
  for (THashEntry** link = &buckets_[hash & static_cast<uint32_t>(mask_)]; *link != nullptr;
       link = &(*link)->Next) {
    THashEntry* entry = *link;
    if (entry->HashValue == hash && entry->Key == key) {
      *link = entry->Next;
      --count_;
      delete entry;
      return;
    }
  }
}

TStringList THash::Keys() const {
  return Keys(std::string_view());
}

TStringList THash::Keys(std::string_view prefix) const {
  TStringList keys;
  keys.reserve(static_cast<size_t>(count_));
  for (const THashEntry* head : buckets_) {
    for (const THashEntry* entry = head; entry != nullptr; entry = entry->Next) {
      if (StartsWith(entry->Key, prefix)) keys.push_back(entry->Key);
    }
  }
  return keys;
}

TIndexKey::TIndexKey(uint32_t index) {
  char* cursor = digits_ + sizeof(digits_);
  do {
    *--cursor = static_cast<char>('0' + index % 10);
    index /= 10;
  } while (index != 0);
  start_ = static_cast<uint8_t>(cursor - digits_);
}

}  // namespace tabulon
