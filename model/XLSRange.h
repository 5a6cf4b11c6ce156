// TXLSRange: the caller's handle on a rectangle of cells of one worksheet.
// A range owns no cells; it is the rectangle plus a plain reference to its
// worksheet, and every operation reads or writes the worksheet's cell store.
// Ranges handed out through IXLSRange are counted and free themselves at
// their last release; the worksheet's own cells range and selection are
// owned by the worksheet and never freed by references.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "XLSInterfaces.h"

namespace tabulon {

class TXLSWorksheet;

// How Count and the visibility operations read the rectangle; the rectangle
// itself is the same for all three.
enum TXLSRangeType : uint8_t {
  xlRangeCells = 0,
  xlRangeRows = 1,
  xlRangeColumns = 2,
};

// Classification of a rectangle for the formatting and structure walks
// (GetRangeType), independent of TXLSRangeType.
constexpr int32_t xlRangeBlock = 0;
constexpr int32_t xlRangeWholeColumns = 1;  // spans every row
constexpr int32_t xlRangeWholeRows = 2;     // spans every column

class TXLSRange : public XLSImplements<IXLSRange> {
 public:
  // Corners from two plain cell texts ('B2'; the same text twice for one
  // cell). A first text that does not parse leaves the range at A1:A1; a
  // second one that does not parse leaves the second corner at A1. Corners
  // given in reverse order are swapped so that the first is the top-left one,
  // and both texts are then re-encoded from the ordered corners.
  TXLSRange(TXLSWorksheet& sheet, const std::string& cell1, const std::string& cell2,
            bool counted = true);

  // Ranges come and go once per cell when a sheet is filled cell by cell:
  // their storage is recycled per thread instead of returned to the heap.
  static void* operator new(std::size_t size);
  static void operator delete(void* storage, std::size_t size) noexcept;

  // Makes this range belong to its worksheet: references no longer free it.
  void MarkOwned() { SetCounted(false); }

  TXLSWorksheet& GetWorksheet() const { return Worksheet; }
  const std::string& GetFirstCellText() const { return FirstCellText; }
  const std::string& GetLastCellText() const { return LastCellText; }

  // Grows the rectangle in place until no merged area sticks out of it, and
  // re-encodes both texts from the new corners.
  void ExtendRange();
  // 1 whole columns (every row), else 2 whole rows (every column), else 0.
  int32_t GetRangeType() const;

  TXLSRangeType RangeType = xlRangeCells;

  // IXLSRange
  XLSPtr<IXLSRange> GetItem(uint16_t row_offset, uint16_t column_offset) override;
  void SetValue(const OleVariant& value) override;
  OleVariant GetValue() override;
  XLSPtr<IXLSRange> GetEntireRow() override;
  XLSPtr<IXLSRange> GetEntireColumn() override;
  XLSPtr<IXLSRange> GetRows() override;
  XLSPtr<IXLSRange> GetColumns() override;
  int32_t GetRow() override { return FirstRow + 1; }
  int32_t GetColumn() override { return FirstCol + 1; }
  int32_t GetCount() override;
  XLSPtr<IXLSFont> GetFont() override;
  XLSPtr<IXLSInterior> GetInterior() override;
  OleVariant GetColumnWidth() override;
  void SetColumnWidth(const OleVariant& width) override;
  OleVariant GetRowHeight() override;
  void SetRowHeight(const OleVariant& height) override;
  OleVariant GetHidden() override;
  void SetHidden(const OleVariant& hidden) override;
  OleVariant GetWrapText() override;
  void SetWrapText(const OleVariant& wrap) override;
  XLSPtr<IXLSBorders> GetBorders() override;
  std::string GetNumFormat() override;
  void SetNumFormat(const std::string& format) override;
  int32_t GetHAlign() override;
  void SetHAlign(int32_t alignment) override;
  int32_t GetVAlign() override;
  void SetVAlign(int32_t alignment) override;
  XLSPtr<IXLSRange> GetCells() override;
  void Merge(const OleVariant& across) override;
  // Extends this range over the merged areas it touches and makes a new
  // worksheet-owned range over the same corners the worksheet's selection.
  void Select() override;
  void ClearContents() override;
  void Clear() override;
  OleVariant Insert(const OleVariant& shift) override;
  OleVariant Delete(const OleVariant& shift) override;
  uint8_t GetFirstCol() override { return FirstCol; }
  uint8_t GetLastCol() override { return LastCol; }
  uint16_t GetFirstRow() override { return FirstRow; }
  uint16_t GetLastRow() override { return LastRow; }
  void Unmerge() override;

 private:
  int32_t Height() const { return LastRow - FirstRow + 1; }
  int32_t Width() const { return LastCol - FirstCol + 1; }
  // A new counted range over the given texts with the given type.
  XLSPtr<IXLSRange> Derived(const std::string& cell1, const std::string& cell2,
                            TXLSRangeType type) const;
  void OrderCorners();
  void EncodeTexts();
  void FillWith(const OleVariant& value);
  void FillWithArray(const OleVariant& values);

  TXLSWorksheet& Worksheet;
  std::string FirstCellText;
  std::string LastCellText;
  uint16_t FirstRow = 0;
  uint16_t LastRow = 0;
  uint8_t FirstCol = 0;
  uint8_t LastCol = 0;
};

}  // namespace tabulon
