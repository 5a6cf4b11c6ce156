#include "XLSCellHeap.h"

#include <charconv>
#include <cstring>
#include <limits>
#include <new>

#include "XLSSanitizer.h"

namespace tabulon {

// Large sheets hold hundreds of thousands of cells: keep each at 32 bytes.
static_assert(sizeof(void*) != 8 || sizeof(TXLSCellRef) == 32, "TXLSCellRef grew");

namespace {

// True for the type codes whose values a cell stores as a number.
bool IsNumberType(TVarType type) {
  return (type >= varSmallint && type <= varCurrency) || (type >= varShortInt && type <= varInt64);
}

// The text as a number when it is exactly the decimal form of a signed 32-bit
// integer ("42", "0", "-7"); a leading zero, a sign other than one leading
// minus, blanks, a decimal point or a value out of range keep it text.
bool CanonicalInt32(std::string_view text, int32_t& value) {
  if (text.empty() || text.size() > 11) return false;
  const char* first = text.data();
  const char* last = first + text.size();
  const auto [end, error] = std::from_chars(first, last, value);
  if (error != std::errc() || end != last) return false;
  char canonical[12];
  const auto written = std::to_chars(canonical, canonical + sizeof canonical, value);
  return std::string_view(canonical, static_cast<size_t>(written.ptr - canonical)) == text;
}

// Writes a text block, the 32-bit length and then the bytes, at block.
char* FillTextBlock(char* block, std::string_view text) {
  const auto length = static_cast<uint32_t>(text.size());
  std::memcpy(block, &length, sizeof length);
  if (length != 0) std::memcpy(block + sizeof length, text.data(), length);
  return block;
}

}  // namespace

std::string_view TXLSCellRef::GetText() const {
  if (Type_ != xlString || Text_ == nullptr) return {};
  uint32_t length;
  std::memcpy(&length, Text_, sizeof length);
  return std::string_view(Text_ + sizeof length, length);
}

char* TXLSTextPool::Store(std::string_view text) {
  if (text.size() > kMaxPooledLength) return nullptr;
  const size_t sizeClass = ClassOf(text.size());
  const size_t blockSize = sizeClass * kGranule;
  char* block = Free_[sizeClass];
  if (block != nullptr) {
    XLSUnpoisonMemory(block, blockSize);
    std::memcpy(&Free_[sizeClass], block, sizeof(char*));
  } else {
    block = static_cast<char*>(Blocks_.Allocate(blockSize));
  }
  FillTextBlock(block, text);
  // Under AddressSanitizer the bytes after the text are out of bounds.
  const size_t used = sizeof(uint32_t) + text.size();
  XLSPoisonMemory(block + used, blockSize - used);
  return block;
}

void TXLSTextPool::Release(char* block) noexcept {
  uint32_t length;
  std::memcpy(&length, block, sizeof length);
  const size_t sizeClass = ClassOf(length);
  XLSUnpoisonMemory(block, sizeClass * kGranule);
  std::memcpy(block, &Free_[sizeClass], sizeof(char*));
  Free_[sizeClass] = block;
  // Under AddressSanitizer a released text is caught when read again.
  XLSPoisonMemory(block, sizeClass * kGranule);
}

void TXLSCellRef::FreeText(TXLSTextPool* pool) noexcept {
  if (Type_ != xlString) return;
  if (!TextPooled_) {
    delete[] Text_;
  } else if (pool != nullptr) {
    pool->Release(Text_);
  }
  TextPooled_ = false;
}

void TXLSCellRef::SetString(std::string_view text, TXLSTextPool* pool) {
  char* block = pool != nullptr ? pool->Store(text) : nullptr;
  const bool pooled = block != nullptr;
  if (!pooled) block = FillTextBlock(new char[sizeof(uint32_t) + text.size()], text);
  FreeText(pool);
  Text_ = block;
  TextPooled_ = pooled;
  Type_ = xlString;
}

void TXLSCellRef::SetNumber(double number, TXLSValueType type, TXLSTextPool* pool) {
  FreeText(pool);
  Number_ = number;
  Type_ = type;
}

void TXLSCellRef::ClearValue(TXLSTextPool* pool) {
  SetNumber(0.0, xlEmpty, pool);
}

void TXLSCellRef::CopyValueFrom(const TXLSCellRef& other, TXLSTextPool* pool) {
  if (&other == this) return;
  if (other.Type_ == xlString) {
    SetString(other.GetText(), pool);
  } else {
    SetNumber(other.Number_, other.Type_, pool);
  }
}

void TXLSCellRef::ClearMerge() {
  Merged = false;
  MergeMaster = nullptr;
  RowSpan = 0;
  ColSpan = 0;
}

void TXLSCellRef::SetValue(const OleVariant& value, TXLSTextPool* pool) {
  if (Merged && MergeMaster != this) return;
  const TVarType type = value.VarType();
  if (type == varEmpty || type == varNull) {
    ClearValue(pool);
  } else if (IsNumberType(type)) {
    SetNumber(value.ToDouble(), xlDoubleNumber, pool);
  } else if (type == varDate) {
    SetNumber(value.ToDouble(), xlDateTime, pool);
  } else if (type == varBoolean) {
    SetNumber(value.ToBool() ? 1.0 : 0.0, xlBoolean, pool);
  } else if (type == varOleStr || type == varString) {
    const std::string_view text = value.TextView();
    int32_t number = 0;
    if (CanonicalInt32(text, number)) {
      SetNumber(number, xlDoubleNumber, pool);
    } else {
      SetString(text, pool);
    }
  }
}

OleVariant TXLSCellRef::GetValue() const {
  if (Merged && MergeMaster != this) return OleVariant::Null();
  switch (Type_) {
    case xlString:
      return OleVariant(std::string(GetText()));
    case xlDoubleNumber:
      return OleVariant(Number_);
    case xlDateTime:
      return OleVariant::Date(Number_);
    case xlBoolean:
      return OleVariant(GetBoolean());
    default:
      return OleVariant::Null();
  }
}

TXLSCellHeap::TXLSCellHeap(TXLSWorksheet* owner) : Owner_(owner) {}

TXLSCellHeap::~TXLSCellHeap() {
  for (uint32_t number = 1; number <= CellCount_; ++number) CellAt(number)->~TXLSCellRef();
}

// Cells are constructed one after another in the arena's blocks: the cell
// numbered n lives in slot n - 1.
void* TXLSCellHeap::Slot(uint32_t index) const {
  return Arena_[index >> kArenaShift] + (index & (kArenaBlock - 1));
}

TXLSCellRef* TXLSCellHeap::CellAt(uint32_t number) const {
  return std::launder(static_cast<TXLSCellRef*>(Slot(number - 1)));
}

TXLSCellRef* TXLSCellHeap::NewCell(uint16_t row, uint8_t col, uint32_t& number) {
  if ((CellCount_ & (kArenaBlock - 1)) == 0) {
    Arena_.push_back(static_cast<TXLSCellRef*>(CellBlocks_.Allocate(kArenaBytes)));
  }
  TXLSCellRef* cell = new (Slot(CellCount_)) TXLSCellRef(row, col);
  number = ++CellCount_;
  Widen(row, col);
  return cell;
}

void TXLSCellHeap::Widen(int32_t row, int32_t col) {
  const bool first = CellCount_ == 1;
  if (first || row < FirstRow_) FirstRow_ = row;
  if (first || row > LastRow_) LastRow_ = row;
  if (first || col < FirstCol_) FirstCol_ = col;
  if (first || col > LastCol_) LastCol_ = col;
  RowCount_ = LastRow_ - FirstRow_ + 1;
  ColCount_ = LastCol_ - FirstCol_ + 1;
}

TXLSCellRef* TXLSCellHeap::GetValue(uint16_t row, uint8_t col) const {
  const TRowBlock* block = Top_[row / kRowsPerBlock];
  if (block == nullptr) return nullptr;
  const TCellGroup* group = block->Rows[row % kRowsPerBlock][col / kGroupSize];
  if (group == nullptr) return nullptr;
  const uint32_t number = group->Cells[col % kGroupSize];
  return number == 0 ? nullptr : CellAt(number);
}

void TXLSCellHeap::GetOrCreateRun(uint16_t row, uint8_t first_col, uint8_t last_col,
                                  TXLSCellRef** cells) {
  TRowBlock*& block = Top_[row / kRowsPerBlock];
  if (block == nullptr) block = new (Index_.Allocate(sizeof(TRowBlock))) TRowBlock;
  std::array<TCellGroup*, kGroupsPerRow>& groups = block->Rows[row % kRowsPerBlock];
  for (int32_t col = first_col; col <= last_col; ++col) {
    TCellGroup*& group = groups[static_cast<size_t>(col / kGroupSize)];
    if (group == nullptr) group = new (Index_.Allocate(sizeof(TCellGroup))) TCellGroup;
    uint32_t& number = group->Cells[static_cast<size_t>(col % kGroupSize)];
    *cells++ = number != 0 ? CellAt(number) : NewCell(row, static_cast<uint8_t>(col), number);
  }
}

TXLSCellRef* TXLSCellHeap::GetOrCreateValue(uint16_t row, uint8_t col) {
  TXLSCellRef* cell = nullptr;
  GetOrCreateRun(row, col, col, &cell);
  return cell;
}

}  // namespace tabulon
