#include "xlslist.h"

#include <algorithm>

namespace tabulon {

namespace {

constexpr int32_t kGrowStep = 50;

// Before a position is overwritten: a key that still maps to that position
// would otherwise find the new content under the old key.
void ForgetKeyAt(THashInteger& hash, const std::string& key, int32_t index) {
  if (hash.KeyExists(key) && hash.GetValue(key) == index) hash.DeleteKey(key);
}

}  // namespace

// ---------------------------------------------------------------------------
// TXLSKeyList

TXLSKeyList::TXLSKeyList() {
  CheckCapacity();
}

TXLSKeyList::~TXLSKeyList() = default;

TXLSKeyEntry* TXLSKeyList::ReferredItem(int32_t i) const {
  if (i < 0 || static_cast<size_t>(i) >= referredList_.size()) return nullptr;
  return referredList_[static_cast<size_t>(i)];
}

void TXLSKeyList::CheckCapacity() {
  if (count_ == capacity_) GrowTo(int64_t{capacity_} + 1);
}

void TXLSKeyList::GrowTo(int64_t length) {
  while (capacity_ < length) capacity_ += kGrowStep;
  entries_.resize(static_cast<size_t>(capacity_));
}

bool TXLSKeyList::InList(int32_t index) const {
  const int64_t position = PositionOf(index);
  return position >= 0 && position < count_;
}

TXLSKeyEntry* TXLSKeyList::GetItem(int32_t index) const {
  return InList(index) ? entries_[static_cast<size_t>(PositionOf(index))].get() : nullptr;
}

TXLSKeyEntry* TXLSKeyList::CountedEntry(int32_t index) const {
  return PositionOf(index) >= fixedCount_ ? GetItem(index) : nullptr;
}

const std::string& TXLSKeyList::GetKey(int32_t index) const {
  const TXLSKeyEntry* entry = GetItem(index);
  return entry != nullptr ? entry->Key : defaultKey_;
}

int32_t TXLSKeyList::GetSaveIndex(int32_t index) const {
  const TXLSKeyEntry* entry = GetItem(index);
  return entry != nullptr ? entry->SaveIndex : 0;
}

void TXLSKeyList::AddReference(TXLSKeyEntry* entry) {
  if (entry == nullptr) return;
  if (++entry->RefCount == 1) ++referredCount_;
}

void TXLSKeyList::DropReference(TXLSKeyEntry* entry) {
  if (entry == nullptr) return;
  if (--entry->RefCount == 0) --referredCount_;
}

std::unique_ptr<TXLSKeyEntry> TXLSKeyList::CreateKeyEntry(int32_t /*index*/, std::string_view key) {
  auto entry = std::make_unique<TXLSKeyEntry>();
  entry->Key.assign(key.data(), key.size());
  return entry;
}

int32_t TXLSKeyList::SetKey(int32_t index, std::string_view key) {
  // Fast path: the caller already holds the entry with this key.
  if (index > firstIndex_) {
    const TXLSKeyEntry* current = GetItem(index);
    if (current != nullptr && current->Key == key) return index;
  }

  // The reference to move away from, taken before any append so that an index
  // the caller does not really hold can never match the new entry.
  TXLSKeyEntry* released = CountedEntry(index);
  const int32_t found = hash_.GetValue(key);
  if (found >= 1) {
    DropReference(released);
    AddReference(CountedEntry(found));  // fixed entries are not counted
    return found;
  }

  // Index 0 in the map means "no entry", so a FirstIndex-0 list appends a new
  // entry for a key stored at index 0; later lookups find the new one.
  const int32_t appended = firstIndex_ + count_;
  std::unique_ptr<TXLSKeyEntry> entry = CreateKeyEntry(appended, key);
  CheckCapacity();
  entries_[static_cast<size_t>(count_)] = std::move(entry);
  ++count_;
  hash_.SetValue(key, appended);
  AddReference(CountedEntry(appended));
  DropReference(released);
  return appended;
}

void TXLSKeyList::SetKeyItem(int32_t index, std::string_view key) {
  const int64_t position = PositionOf(index);
  if (position < 0) return;  // no position before the first index
  GrowTo(position + 1);
  if (position >= count_) count_ = static_cast<int32_t>(position + 1);

  std::unique_ptr<TXLSKeyEntry>& slot = entries_[static_cast<size_t>(position)];
  if (slot != nullptr) {
    // The replaced entry's references go with it.
    if (position >= fixedCount_ && slot->RefCount > 0) --referredCount_;
    ForgetKeyAt(hash_, slot->Key, index);
  }
  slot = CreateKeyEntry(index, key);
  hash_.SetValue(key, index);
  AddReference(CountedEntry(index));
}

void TXLSKeyList::SetKeyIndex(std::string_view key, int32_t index) {
  hash_.SetValue(key, index);
}

void TXLSKeyList::ReplaceIndex(int32_t old_index, int32_t new_index) {
  DropReference(CountedEntry(old_index));
  AddReference(CountedEntry(new_index));
}

void TXLSKeyList::IncReferredCount(int32_t index) {
  AddReference(CountedEntry(index));
}

void TXLSKeyList::ClearAllReferredCount() {
  for (int32_t p = 0; p < count_; ++p) {
    if (TXLSKeyEntry* entry = entries_[static_cast<size_t>(p)].get()) entry->RefCount = 0;
  }
  referredCount_ = 0;
}

void TXLSKeyList::CreateReferredList() {
  referredList_.clear();
  for (int32_t p = 0; p < count_; ++p) {
    // Positions that SetKeyItem skipped hold no entry and are never saved.
    TXLSKeyEntry* entry = entries_[static_cast<size_t>(p)].get();
    if (entry == nullptr) continue;
    if (entry->RefCount > 0 || p < fixedCount_) {
      referredList_.push_back(entry);
      entry->SaveIndex = static_cast<int32_t>(referredList_.size());
    } else {
      entry->SaveIndex = 0;
    }
  }
  referredCount_ = static_cast<int32_t>(referredList_.size());
}

// ---------------------------------------------------------------------------
// TXLSObjList

TXLSObjList::TXLSObjList() {
  CheckCapacity();
}

TXLSObjList::~TXLSObjList() = default;

void TXLSObjList::CheckCapacity() {
  if (count_ != capacity_) return;
  capacity_ += kGrowStep;
  items_.resize(static_cast<size_t>(capacity_));
}

int32_t TXLSObjList::AddItem(std::unique_ptr<TXLSObjEntry> entry) {
  if (entry == nullptr) return -1;
  if (hash_.KeyExists(entry->Name)) {
    // Names are unique: the new entry takes the old one's place and index.
    const int32_t index = hash_.GetValue(entry->Name);
    const int64_t position = int64_t{index} - firstIndex_;
    if (position >= 0 && position < count_) {
      items_[static_cast<size_t>(position)] = std::move(entry);
      return index;
    }
  }
  CheckCapacity();
  const int32_t index = firstIndex_ + count_;
  hash_.SetValue(entry->Name, index);
  items_[static_cast<size_t>(count_)] = std::move(entry);
  ++count_;
  return index;
}

TXLSObjEntry* TXLSObjList::GetItem(int32_t index) const {
  const int64_t position = int64_t{index} - firstIndex_;
  if (position < 0 || position >= count_) return nullptr;
  return items_[static_cast<size_t>(position)].get();
}

TXLSObjEntry* TXLSObjList::GetItembyName(std::string_view name) const {
  const int32_t index = hash_.GetValue(name);
  return index < 1 ? nullptr : GetItem(index);
}

// ---------------------------------------------------------------------------
// TXLSStringList

TXLSStringList::TXLSStringList(int32_t preset_count) : count_(std::max(preset_count, 0)) {
  CheckCapacity();
}

TXLSStringList::~TXLSStringList() = default;

void TXLSStringList::CheckCapacity() {
  if (count_ < capacity_) return;
  capacity_ = count_ + kGrowStep;
  strings_.resize(static_cast<size_t>(capacity_));
}

int32_t TXLSStringList::AddValue(std::string_view s) {
  if (hash_.KeyExists(s)) return hash_.GetValue(s);
  const int32_t index = count_;
  ++count_;
  CheckCapacity();
  strings_[static_cast<size_t>(index)].assign(s.data(), s.size());
  hash_.SetValue(s, index);
  return index;
}

const std::string& TXLSStringList::GetItem(int32_t i) const {
  static const std::string kEmpty;
  if (i < 0 || i >= count_) return kEmpty;
  return strings_[static_cast<size_t>(i)];
}

void TXLSStringList::SetItem(int32_t i, std::string_view s) {
  if (i < 0) return;
  if (i >= count_) {
    count_ = i + 1;
    CheckCapacity();
  }
  std::string& slot = strings_[static_cast<size_t>(i)];
  ForgetKeyAt(hash_, slot, i);
  slot.assign(s.data(), s.size());
  hash_.SetValue(s, i);
}

}  // namespace tabulon
