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
  if (type_ != xlString || text_ == nullptr) return {};
  uint32_t length;
  std::memcpy(&length, text_, sizeof length);
  return std::string_view(text_ + sizeof length, length);
}

char* TXLSTextPool::Store(std::string_view text) {
  if (text.size() > kMaxPooledLength) return nullptr;
  const size_t sizeClass = ClassOf(text.size());
  const size_t blockSize = sizeClass * kGranule;
  char* block = free_[sizeClass];
  if (block != nullptr) {
    XLSUnpoisonMemory(block, blockSize);
    std::memcpy(&free_[sizeClass], block, sizeof(char*));
  } else {
    block = static_cast<char*>(blocks_.Allocate(blockSize));
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
  std::memcpy(block, &free_[sizeClass], sizeof(char*));
  free_[sizeClass] = block;
  // Under AddressSanitizer a released text is caught when read again.
  XLSPoisonMemory(block, sizeClass * kGranule);
}

void TXLSCellRef::FreeText(TXLSTextPool* pool) noexcept {
  if (type_ != xlString) return;
  if (!textPooled_) {
    delete[] text_;
  } else if (pool != nullptr) {
    pool->Release(text_);
  }
  textPooled_ = false;
}

void TXLSCellRef::SetString(std::string_view text, TXLSTextPool* pool) {
  char* block = pool != nullptr ? pool->Store(text) : nullptr;
  const bool pooled = block != nullptr;
  if (!pooled) block = FillTextBlock(new char[sizeof(uint32_t) + text.size()], text);
  FreeText(pool);
  text_ = block;
  textPooled_ = pooled;
  type_ = xlString;
}

void TXLSCellRef::SetNumber(double number, TXLSValueType type, TXLSTextPool* pool) {
  FreeText(pool);
  number_ = number;
  type_ = type;
}

void TXLSCellRef::ClearValue(TXLSTextPool* pool) {
  SetNumber(0.0, xlEmpty, pool);
}

void TXLSCellRef::CopyValueFrom(const TXLSCellRef& other, TXLSTextPool* pool) {
  if (&other == this) return;
  if (other.type_ == xlString) {
    SetString(other.GetText(), pool);
  } else {
    SetNumber(other.number_, other.type_, pool);
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
  switch (type_) {
    case xlString:
      return OleVariant(std::string(GetText()));
    case xlDoubleNumber:
      return OleVariant(number_);
    case xlDateTime:
      return OleVariant::Date(number_);
    case xlBoolean:
      return OleVariant(GetBoolean());
    default:
      return OleVariant::Null();
  }
}

TXLSCellHeap::TXLSCellHeap(TXLSWorksheet* owner) : owner_(owner) {}

TXLSCellHeap::~TXLSCellHeap() {
  for (uint32_t number = 1; number <= cellCount_; ++number) CellAt(number)->~TXLSCellRef();
}

// Cells are constructed one after another in the arena's blocks: the cell
// numbered n lives in slot n - 1.
void* TXLSCellHeap::Slot(uint32_t index) const {
  return arena_[index >> kArenaShift] + (index & (kArenaBlock - 1));
}

TXLSCellRef* TXLSCellHeap::CellAt(uint32_t number) const {
  return std::launder(static_cast<TXLSCellRef*>(Slot(number - 1)));
}

TXLSCellRef* TXLSCellHeap::NewCell(uint16_t row, uint8_t col, uint32_t& number) {
  if ((cellCount_ & (kArenaBlock - 1)) == 0) {
    arena_.push_back(static_cast<TXLSCellRef*>(cellBlocks_.Allocate(kArenaBytes)));
  }
  TXLSCellRef* cell = new (Slot(cellCount_)) TXLSCellRef(row, col);
  number = ++cellCount_;
  Widen(row, col);
  return cell;
}

void TXLSCellHeap::Widen(int32_t row, int32_t col) {
  const bool first = cellCount_ == 1;
  if (first || row < firstRow_) firstRow_ = row;
  if (first || row > lastRow_) lastRow_ = row;
  if (first || col < firstCol_) firstCol_ = col;
  if (first || col > lastCol_) lastCol_ = col;
  rowCount_ = lastRow_ - firstRow_ + 1;
  colCount_ = lastCol_ - firstCol_ + 1;
}

TXLSCellRef* TXLSCellHeap::GetValue(uint16_t row, uint8_t col) const {
  const TRowBlock* block = top_[row / kRowsPerBlock];
  if (block == nullptr) return nullptr;
  const TCellGroup* group = block->Rows[row % kRowsPerBlock][col / kGroupSize];
  if (group == nullptr) return nullptr;
  const uint32_t number = group->Cells[col % kGroupSize];
  return number == 0 ? nullptr : CellAt(number);
}

void TXLSCellHeap::GetOrCreateRun(uint16_t row, uint8_t first_col, uint8_t last_col,
                                  TXLSCellRef** cells) {
  TRowBlock*& block = top_[row / kRowsPerBlock];
  if (block == nullptr) block = new (index_.Allocate(sizeof(TRowBlock))) TRowBlock;
  std::array<TCellGroup*, kGroupsPerRow>& groups = block->Rows[row % kRowsPerBlock];
  for (int32_t col = first_col; col <= last_col; ++col) {
    TCellGroup*& group = groups[static_cast<size_t>(col / kGroupSize)];
    if (group == nullptr) group = new (index_.Allocate(sizeof(TCellGroup))) TCellGroup;
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
