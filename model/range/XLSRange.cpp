#include "XLSRange.h"

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

#include "XLSCellHeap.h"
#include "XLSCellRef.h"
#include "XLSSanitizer.h"
#include "XLSWorksheet.h"

namespace tabulon {

TXLSRange::TXLSRange(TXLSWorksheet& sheet, const std::string& cell1, const std::string& cell2,
                     bool counted)
    : XLSImplements(counted), Worksheet(sheet), FirstCellText(cell1), LastCellText(cell2) {
  SetAnchor(&sheet);  // a held range keeps a deleted sheet alive
  if (GetCellRef(FirstCellText, FirstRow, FirstCol) != 1) return;  // A1:A1, texts as given
  // One cell is addressed by the same text twice (often the very same
  // string): it is parsed once.
  if (&cell2 == &cell1 || cell2 == cell1) {
    LastRow = FirstRow;
    LastCol = FirstCol;
    return;
  }
  GetCellRef(LastCellText, LastRow, LastCol);
  OrderCorners();
}

namespace {

// Under AddressSanitizer (GCC or Clang) every range takes the heap's own
// path, so that a range used after its last release is still caught.
constexpr bool kRecycleRanges = !XLSAddressSanitizer;

// A thread's few blocks of range storage kept for reuse. It has no
// destructor, so it stays usable while the thread's other objects are
// destroyed; TRangeCacheCloser hands the blocks back when the thread ends.
class TRangeCache {
 public:
  // A kept block, or nullptr when there is none.
  void* Take() { return count_ > 0 ? slots_[--count_] : nullptr; }
  // False when the block must go back to the heap: the cache is full, or
  // its thread is ending.
  bool Keep(void* block);
  void Close() noexcept {
    while (count_ > 0) ::operator delete(slots_[--count_]);
    closed_ = true;
  }

 private:
  static constexpr int kSlots = 16;
  void* slots_[kSlots] = {};
  int count_ = 0;
  bool closed_ = false;
};

// Reached twice for every range, so it uses the initial-exec model: a direct
// thread-pointer access instead of a lookup call per access. The cache and
// its closer are small enough for the static space that the loader keeps
// for libraries opened at run time too.
#define TABULON_FAST_TLS __attribute__((tls_model("initial-exec")))

thread_local TRangeCache RangeCache TABULON_FAST_TLS;

struct TRangeCacheCloser {
  ~TRangeCacheCloser() { RangeCache.Close(); }
};

bool TRangeCache::Keep(void* block) {
  // Made on the thread's first Keep, destroyed when the thread ends.
  static thread_local TRangeCacheCloser closer TABULON_FAST_TLS;
  if (closed_ || count_ == kSlots) return false;
  slots_[count_++] = block;
  return true;
}

bool Recycles(std::size_t size) {
  return kRecycleRanges && size == sizeof(TXLSRange);
}

}  // namespace

void* TXLSRange::operator new(std::size_t size) {
  if (Recycles(size)) {
    if (void* block = RangeCache.Take()) return block;
  }
  return ::operator new(size);
}

void TXLSRange::operator delete(void* storage, std::size_t size) noexcept {
  if (Recycles(size) && RangeCache.Keep(storage)) return;
  ::operator delete(storage);
}

// The value, merge and formatting walks run from the first corner to the
// second, so a rectangle given bottom-right first is turned around once here.
void TXLSRange::OrderCorners() {
  if (FirstRow <= LastRow && FirstCol <= LastCol) return;
  if (FirstRow > LastRow) std::swap(FirstRow, LastRow);
  if (FirstCol > LastCol) std::swap(FirstCol, LastCol);
  EncodeTexts();
}

void TXLSRange::EncodeTexts() {
  FirstCellText = EncodeCellRef(FirstRow, FirstCol);
  LastCellText = EncodeCellRef(LastRow, LastCol);
}

XLSPtr<IXLSRange> TXLSRange::Derived(const std::string& cell1, const std::string& cell2,
                                     TXLSRangeType type) const {
  auto* range = new TXLSRange(Worksheet, cell1, cell2);
  range->RangeType = type;
  return XLSPtr<IXLSRange>(range);
}

XLSPtr<IXLSRange> TXLSRange::GetItem(uint16_t row_offset, uint16_t column_offset) {
  // Offsets are not checked against the range's size: Item reaches any cell
  // below and to the right of the top-left corner, wrapping at the sheet edge.
  const auto row = static_cast<uint16_t>(FirstRow + row_offset - 1);
  const auto col = static_cast<uint8_t>(FirstCol + column_offset - 1);
  const std::string cell = EncodeCellRef(row, col);
  return Derived(cell, cell, xlRangeCells);
}

XLSPtr<IXLSRange> TXLSRange::GetEntireRow() {
  return Derived(EncodeCellRef(FirstRow, 0), EncodeCellRef(LastRow, XLSMaxCol), xlRangeRows);
}

XLSPtr<IXLSRange> TXLSRange::GetEntireColumn() {
  return Derived(EncodeCellRef(0, FirstCol), EncodeCellRef(XLSMaxRow, LastCol), xlRangeColumns);
}

XLSPtr<IXLSRange> TXLSRange::GetRows() {
  return Derived(FirstCellText, LastCellText, xlRangeRows);
}

XLSPtr<IXLSRange> TXLSRange::GetColumns() {
  return Derived(FirstCellText, LastCellText, xlRangeColumns);
}

XLSPtr<IXLSRange> TXLSRange::GetCells() {
  return Derived(FirstCellText, LastCellText, xlRangeCells);
}

int32_t TXLSRange::GetCount() {
  switch (RangeType) {
    case xlRangeRows:
      return Height();
    case xlRangeColumns:
      return Width();
    case xlRangeCells:
      break;
  }
  return Height() * Width();
}

int32_t TXLSRange::GetRangeType() const {
  if (FirstRow == 0 && LastRow == XLSMaxRow) return xlRangeWholeColumns;
  if (FirstCol == 0 && LastCol == XLSMaxCol) return xlRangeWholeRows;
  return xlRangeBlock;
}

namespace {

// A formula's result as a variant: errors as their text ("#DIV/0!").
OleVariant FormulaValue(const TXLSFormulaValue& value) {
  switch (value.Kind) {
    case TXLSFormulaValue::kNumber:
      return OleVariant(value.Number);
    case TXLSFormulaValue::kString:
      return OleVariant(value.Text);
    case TXLSFormulaValue::kBool:
      return OleVariant(value.Number != 0);
    case TXLSFormulaValue::kError:
      return OleVariant(FormulaErrorText(value.Error));
    case TXLSFormulaValue::kEmpty:
      break;
  }
  return OleVariant::Null();
}

// One cell's value as the cell store reports it, a formula cell's its
// result (computed before by EvaluateFormulasIn); Null where nothing is
// stored.
OleVariant CellValue(TXLSWorksheet& sheet, int32_t row, int32_t col) {
  if (const TXLSFormula* formula = sheet.GetFormulas().Find(row, col))
    return FormulaValue(formula->Result);
  const TXLSCellRef* cell =
      sheet.GetCellHeap().GetValue(static_cast<uint16_t>(row), static_cast<uint8_t>(col));
  return cell ? cell->GetValue() : OleVariant::Null();
}

// Which array element a cell at offset takes along one array dimension of
// the given length: the element at that offset, the only element of a
// one-element dimension, else none (-1: the cell gets "#N/D").
int64_t SourceOffset(int64_t offset, int64_t length) {
  if (offset < length) return offset;
  return length == 1 ? 0 : -1;
}

// Zero-based corners as signed numbers, so that widening can compare and add
// without 8- and 16-bit wrap-around.
struct TCorners {
  int32_t FirstRow, FirstCol, LastRow, LastCol;

  bool Contains(const TCorners& other) const {
    return other.FirstRow >= FirstRow && other.LastRow <= LastRow && other.FirstCol >= FirstCol &&
           other.LastCol <= LastCol;
  }
  void Include(const TCorners& other) {
    FirstRow = std::min(FirstRow, other.FirstRow);
    LastRow = std::max(LastRow, other.LastRow);
    FirstCol = std::min(FirstCol, other.FirstCol);
    LastCol = std::max(LastCol, other.LastCol);
  }
};

// The rectangle of the merged area that cell belongs to, clipped to the
// sheet so that a damaged span cannot carry a range off it; false when the
// cell is not merged.
bool MergedArea(const TXLSCellRef& cell, TCorners& area) {
  const TXLSCellRef* master = cell.MergeMaster;
  if (!cell.Merged || master == nullptr) return false;
  area.FirstRow = master->GetRow();
  area.FirstCol = master->GetCol();
  area.LastRow =
      std::min<int32_t>(area.FirstRow + std::max<int32_t>(master->RowSpan, 1) - 1, XLSMaxRow);
  area.LastCol =
      std::min<int32_t>(area.FirstCol + std::max<int32_t>(master->ColSpan, 1) - 1, XLSMaxCol);
  return true;
}

// Scans rect row by row for the first merged area that sticks out of it.
// Only the store's bounding rectangle can hold cells, so the scan is clipped
// to it.
bool FindOutgoingArea(const TXLSCellHeap& heap, const TCorners& rect, TCorners& area) {
  if (heap.GetRowCount() == 0) return false;
  const int32_t firstRow = std::max(rect.FirstRow, heap.GetFirstRow());
  const int32_t lastRow = std::min(rect.LastRow, heap.GetLastRow());
  const int32_t firstCol = std::max(rect.FirstCol, heap.GetFirstCol());
  const int32_t lastCol = std::min(rect.LastCol, heap.GetLastCol());
  for (int32_t row = firstRow; row <= lastRow; ++row) {
    for (int32_t col = firstCol; col <= lastCol; ++col) {
      const TXLSCellRef* cell =
          heap.GetValue(static_cast<uint16_t>(row), static_cast<uint8_t>(col));
      if (cell && MergedArea(*cell, area) && !rect.Contains(area)) return true;
    }
  }
  return false;
}

}  // namespace

OleVariant TXLSRange::GetValue() {
  EvaluateFormulasIn(Worksheet, FirstRow, FirstCol, LastRow, LastCol);
  if (Height() == 1 && Width() == 1) return CellValue(Worksheet, FirstRow, FirstCol);
  OleVariant values = VarArrayCreate({0, Height() - 1, 0, Width() - 1});
  for (int32_t i = 0; i < Height(); ++i) {
    for (int32_t j = 0; j < Width(); ++j)
      values.PutElement({i, j}, CellValue(Worksheet, FirstRow + i, FirstCol + j));
  }
  return values;
}

void TXLSRange::SetValue(const OleVariant& value) {
  Worksheet.GetFormulas().EraseRect(FirstRow, FirstCol, LastRow, LastCol);
  if (VarIsArray(value))
    FillWithArray(value);
  else
    FillWith(value);
}

void TXLSRange::FillWith(const OleVariant& value) {
  TXLSCellHeap& heap = Worksheet.GetCellHeap();
  for (int32_t row = FirstRow; row <= LastRow; ++row) {
    for (int32_t col = FirstCol; col <= LastCol; ++col)
      heap.GetOrCreateValue(static_cast<uint16_t>(row), static_cast<uint8_t>(col))
          ->SetValue(value, heap.Texts());
  }
}

// Dimension 1 of a two-dimensional array runs along the rows and dimension 2
// along the columns; a one-dimensional array is laid along the columns of
// every row. The cells take the elements straight from the array's storage.
void TXLSRange::FillWithArray(const OleVariant& values) {
  const int dims = values.DimCount();
  if (dims < 1 || dims > 2) return;
  const int64_t rowCount = dims == 2 ? int64_t{values.HighBound(1)} - values.LowBound(1) + 1 : 1;
  const int64_t colCount = int64_t{values.HighBound(dims)} - values.LowBound(dims) + 1;
  const OleVariant* elements = values.ElementData();

  const OleVariant notAvailable("#N/D");
  TXLSCellHeap& heap = Worksheet.GetCellHeap();
  TXLSTextPool* texts = heap.Texts();
  std::array<TXLSCellRef*, XLSMaxCol + 1> cells;
  for (int32_t i = 0; i < Height(); ++i) {
    const int64_t sourceRow = SourceOffset(i, rowCount);
    heap.GetOrCreateRun(static_cast<uint16_t>(FirstRow + i), FirstCol, LastCol, cells.data());
    for (int32_t j = 0; j < Width(); ++j) {
      const int64_t sourceCol = SourceOffset(j, colCount);
      const bool inside = sourceRow >= 0 && sourceCol >= 0;
      cells[static_cast<size_t>(j)]->SetValue(
          inside ? elements[sourceRow * colCount + sourceCol] : notAvailable, texts);
    }
  }
}

void TXLSRange::ExtendRange() {
  TCorners rect{FirstRow, FirstCol, LastRow, LastCol};
  TCorners area{};
  // Each round takes in one area that stuck out, so the rectangle only grows
  // and the loop ends at the latest when it covers the sheet.
  while (FindOutgoingArea(Worksheet.GetCellHeap(), rect, area)) rect.Include(area);
  FirstRow = static_cast<uint16_t>(rect.FirstRow);
  LastRow = static_cast<uint16_t>(rect.LastRow);
  FirstCol = static_cast<uint8_t>(rect.FirstCol);
  LastCol = static_cast<uint8_t>(rect.LastCol);
  EncodeTexts();
}

void TXLSRange::Select() {
  ExtendRange();
  // The worksheet takes the new range over and may free the previous
  // selection, which can be this very range: nothing may follow this call.
  Worksheet.SetSelectionRange(new TXLSRange(Worksheet, FirstCellText, LastCellText, false));
}

}  // namespace tabulon
