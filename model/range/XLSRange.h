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
#include <vector>

#include "XLSConstants.h"
#include "XLSInterfaces.h"
#include "xlsxf.h"

namespace tabulon {

class TXLSWorksheet;
class TXLSWorkbook;
class TXLSCellRef;

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
  TXLSWorkbook& GetWorkbook() const;
  // A counted reference to this range for a companion (font, fill, borders)
  // while a caller holds one too, so the companion outlives a temporary
  // range; a range nobody holds (one made on the stack) is not counted.
  XLSPtr<IXLSRange> KeepAlive();
  const std::string& GetFirstCellText() const { return FirstCellText; }
  const std::string& GetLastCellText() const { return LastCellText; }

  // Grows the rectangle in place until no merged area sticks out of it, and
  // re-encodes both texts from the new corners.
  void ExtendRange();
  // 1 whole columns (every row), else 2 whole rows (every column), else 0.
  int32_t GetRangeType() const;

  TXLSRangeType RangeType = xlRangeCells;

  // ---- Formatting --------------------------------------------------------
  // The XF index that position (row, col) shows: the cell's own when it has
  // one (owned), else the column's format, else the row's; 0 when none of
  // them has a format (the default cell format shows).
  int32_t GetXFIndex(int32_t row, int32_t col, bool& owned) const;
  // Changes one property of every cell the range covers (of every column or
  // row, with their default formats, when it spans the sheet) through a
  // setter of the workbook's XF table.
  void SetXFProperty(const OleVariant& value, TSetXFProperty setter);

  // Font and fill of the range in stored codes (TXLSFont and TXLSInterior
  // translate the caller's constants). Getters read the top-left cell.
  void SetFontBold(bool value);
  void SetFontItalic(bool value);
  void SetFontStrikethrough(bool value);
  void SetFontOutLineFont(bool value);
  void SetFontShadow(bool value);
  void SetFontSubScript(bool value);
  void SetFontSuperScript(bool value);
  void SetFontName(const std::string& name);
  void SetFontSize(double points);
  void SetFontColorIndex(int32_t stored_index);
  void SetFontUnderLine(int32_t stored_code);
  void SetInteriorColor(int32_t stored_index);
  void SetInteriorPattern(int32_t stored_code);
  void SetInteriorPatternColor(int32_t stored_index);
  bool GetFontBold() const;
  bool GetFontItalic() const;
  bool GetFontStrikethrough() const;
  bool GetFontOutLineFont() const;
  bool GetFontShadow() const;
  bool GetFontSubScript() const;
  bool GetFontSuperScript() const;
  std::string GetFontName() const;
  float GetFontSize() const;
  int32_t GetFontColorIndex() const;
  int32_t GetFontUnderLine() const;
  int32_t GetInteriorColor() const;
  int32_t GetInteriorPattern() const;
  int32_t GetInteriorPatternColor() const;

  // ---- Borders -----------------------------------------------------------
  // One line between cell 1 and cell 2 (side by side when vertical, else one
  // above the other). The owner cell gets the property on its edge; the
  // other one, where stored, loses the matching edge. Positions off the
  // sheet are skipped.
  void SetCellXFBorderProperty(int32_t row1, int32_t col1, int32_t row2, int32_t col2,
                               bool vertical, bool first_owns, const OleVariant& value,
                               TSetXFBorderProperty setter);
  void SetCellBorderColorIndex(int32_t row1, int32_t col1, int32_t row2, int32_t col2,
                               bool vertical, bool first_owns, int32_t value);
  void SetCellBorderLineStyle(int32_t row1, int32_t col1, int32_t row2, int32_t col2, bool vertical,
                              bool first_owns, int32_t value);
  void SetCellBorderLineWeight(int32_t row1, int32_t col1, int32_t row2, int32_t col2,
                               bool vertical, bool first_owns, int32_t value);
  // The line as whichever of the two cells holds it shows it.
  int32_t GetCellBorderColorIndex(int32_t row1, int32_t col1, int32_t row2, int32_t col2,
                                  bool vertical) const;
  int32_t GetCellBorderLineStyle(int32_t row1, int32_t col1, int32_t row2, int32_t col2,
                                 bool vertical) const;
  int32_t GetCellBorderLineWeight(int32_t row1, int32_t col1, int32_t row2, int32_t col2,
                                  bool vertical) const;

  // One border of the range by its index (xlEdgeLeft .. xlInsideHorizontal);
  // other indexes set nothing and read as colour 0, no line, thin.
  void SetBorderColorIndex(int32_t border_index, int32_t value);
  void SetBorderLineStyle(int32_t border_index, int32_t value);
  void SetBorderWeight(int32_t border_index, int32_t value);
  int32_t GetBorderColorIndex(int32_t border_index) const;
  int32_t GetBorderLineStyle(int32_t border_index) const;
  int32_t GetBorderWeight(int32_t border_index) const;

  void SetBorderLeftColorIndex(int32_t v) { SetBorderColorIndex(xlEdgeLeft, v); }
  void SetBorderRightColorIndex(int32_t v) { SetBorderColorIndex(xlEdgeRight, v); }
  void SetBorderTopColorIndex(int32_t v) { SetBorderColorIndex(xlEdgeTop, v); }
  void SetBorderBottomColorIndex(int32_t v) { SetBorderColorIndex(xlEdgeBottom, v); }
  void SetBorderVerticalInsideColorIndex(int32_t v) { SetBorderColorIndex(xlInsideVertical, v); }
  void SetBorderHorizontalInsideColorIndex(int32_t v) {
    SetBorderColorIndex(xlInsideHorizontal, v);
  }
  void SetBorderLeftLineStyle(int32_t v) { SetBorderLineStyle(xlEdgeLeft, v); }
  void SetBorderRightLineStyle(int32_t v) { SetBorderLineStyle(xlEdgeRight, v); }
  void SetBorderTopLineStyle(int32_t v) { SetBorderLineStyle(xlEdgeTop, v); }
  void SetBorderBottomLineStyle(int32_t v) { SetBorderLineStyle(xlEdgeBottom, v); }
  void SetBorderVerticalInsideLineStyle(int32_t v) { SetBorderLineStyle(xlInsideVertical, v); }
  void SetBorderHorizontalInsideLineStyle(int32_t v) { SetBorderLineStyle(xlInsideHorizontal, v); }
  void SetBorderLeftLineWeight(int32_t v) { SetBorderWeight(xlEdgeLeft, v); }
  void SetBorderRightLineWeight(int32_t v) { SetBorderWeight(xlEdgeRight, v); }
  void SetBorderTopLineWeight(int32_t v) { SetBorderWeight(xlEdgeTop, v); }
  void SetBorderBottomLineWeight(int32_t v) { SetBorderWeight(xlEdgeBottom, v); }
  void SetBorderVerticalInsideLineWeight(int32_t v) { SetBorderWeight(xlInsideVertical, v); }
  void SetBorderHorizontalInsideLineWeight(int32_t v) { SetBorderWeight(xlInsideHorizontal, v); }
  int32_t GetBorderLeftColorIndex() const { return GetBorderColorIndex(xlEdgeLeft); }
  int32_t GetBorderRightColorIndex() const { return GetBorderColorIndex(xlEdgeRight); }
  int32_t GetBorderTopColorIndex() const { return GetBorderColorIndex(xlEdgeTop); }
  int32_t GetBorderBottomColorIndex() const { return GetBorderColorIndex(xlEdgeBottom); }
  int32_t GetBorderVerticalInsideColorIndex() const {
    return GetBorderColorIndex(xlInsideVertical);
  }
  int32_t GetBorderHorizontalInsideColorIndex() const {
    return GetBorderColorIndex(xlInsideHorizontal);
  }
  int32_t GetBorderLeftLineStyle() const { return GetBorderLineStyle(xlEdgeLeft); }
  int32_t GetBorderRightLineStyle() const { return GetBorderLineStyle(xlEdgeRight); }
  int32_t GetBorderTopLineStyle() const { return GetBorderLineStyle(xlEdgeTop); }
  int32_t GetBorderBottomLineStyle() const { return GetBorderLineStyle(xlEdgeBottom); }
  int32_t GetBorderVerticalInsideLineStyle() const { return GetBorderLineStyle(xlInsideVertical); }
  int32_t GetBorderHorizontalInsideLineStyle() const {
    return GetBorderLineStyle(xlInsideHorizontal);
  }
  int32_t GetBorderLeftLineWeight() const { return GetBorderWeight(xlEdgeLeft); }
  int32_t GetBorderRightLineWeight() const { return GetBorderWeight(xlEdgeRight); }
  int32_t GetBorderTopLineWeight() const { return GetBorderWeight(xlEdgeTop); }
  int32_t GetBorderBottomLineWeight() const { return GetBorderWeight(xlEdgeBottom); }
  int32_t GetBorderVerticalInsideLineWeight() const { return GetBorderWeight(xlInsideVertical); }
  int32_t GetBorderHorizontalInsideLineWeight() const {
    return GetBorderWeight(xlInsideHorizontal);
  }

  // ---- Structure ---------------------------------------------------------
  // Dissolves every merged area that crosses the border of the rectangle
  // (zero-based corners, inclusive).
  void UnMergeOutgoingRanges(int32_t row1, int32_t col1, int32_t row2, int32_t col2);
  // Dissolves the area of master: its cells keep their values and formats.
  void UnMergeCell(TXLSCellRef& master);

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
  TXLSFormulaStatus SetFormula(const std::string& text) override;
  std::string GetFormula() override;
  bool GetLocked() override;
  void SetLocked(bool locked) override;
  bool GetFormulaHidden() override;
  void SetFormulaHidden(bool hidden) override;
  int32_t AutoFilter() override;
  int32_t AddComment(const std::string& text) override;
  int32_t AddComment(const std::string& text, const std::string& author) override;
  void ClearComments() override;
  int32_t Group() override;
  int32_t Ungroup() override;
  int32_t SetShowDetail(bool show) override;
  int32_t AddValidation(const TXLSValidation& rule) override;
  void DeleteValidation() override;
  int32_t AddFormatCondition(const TXLSFormatCondition& condition) override;
  void DeleteFormatConditions() override;

 private:
  enum class TBorderProperty { ColorIndex, LineStyle, Weight };
  // A walk's memo: the source XF indexes it met and the indexes the setter
  // turned them into. One walk changes one property to one value, so each
  // distinct format is resolved by the setter once and every further cell
  // that shows it only moves a reference. A block holds few distinct formats
  // (a bordered block: corners, edges and inside); beyond kSize the oldest
  // entry makes room.
  struct TXFMemo {
    static constexpr int kSize = 16;
    int32_t Source[kSize];
    int32_t Result[kSize];
    int Count = 0;
    int Next = 0;  // the entry replaced when the memo is full

    // The result remembered for source, or -1.
    int32_t Find(int32_t source) const {
      for (int i = 0; i < Count; ++i) {
        if (Source[i] == source) return Result[i];
      }
      return -1;
    }
    void Remember(int32_t source, int32_t result) {
      const int slot = Count < kSize ? Count++ : Next;
      if (Count == kSize) Next = (slot + 1) % kSize;
      Source[slot] = source;
      Result[slot] = result;
    }
  };
  // A border walk sets the owner's edge and clears the neighbour's.
  struct TBorderMemo {
    TXFMemo Owner;
    TXFMemo Neighbour;
  };

  int32_t Height() const { return LastRow - FirstRow + 1; }
  int32_t Width() const { return LastCol - FirstCol + 1; }
  // A new counted range over the given texts with the given type.
  XLSPtr<IXLSRange> Derived(const std::string& cell1, const std::string& cell2,
                            TXLSRangeType type) const;
  void OrderCorners();
  void EncodeTexts();
  void FillWith(const OleVariant& value);
  void FillWithArray(const OleVariant& values);

  TXLSXFList& XFList() const;
  // GetXFIndex for a position whose stored cell (or none) is already known.
  int32_t ShownXF(const TXLSCellRef* cell, int32_t row, int32_t col, bool& owned) const;
  // The default format of a column or row, 0 when it has none of its own.
  int32_t ColumnXF(int32_t col) const;
  int32_t RowXF(int32_t row) const;
  // The XF index the top-left cell shows.
  int32_t TopLeftXF() const;
  // The format that index becomes: the memo's result, which then takes the
  // position's reference (moved from index when the position owned it, else
  // added), or else the result of change(index), which is remembered.
  template <class TChange>
  int32_t ResolveXF(TXFMemo& memo, int32_t index, bool owned, TChange change) const;
  // Applies the memoised setter to one stored cell.
  void FormatCell(TXLSCellRef& cell, int32_t row, int32_t col, TXFMemo& memo,
                  const OleVariant& value, TSetXFProperty setter);
  void FormatBlock(const OleVariant& value, TSetXFProperty setter);
  void FormatColumns(const OleVariant& value, TSetXFProperty setter);
  void FormatRows(const OleVariant& value, TSetXFProperty setter);
  // Moves a column's or row's default format through setter.
  int32_t ChangedLineXF(int32_t current, const OleVariant& value, TSetXFProperty setter);

  void SetBorderLine(int32_t row1, int32_t col1, int32_t row2, int32_t col2, bool vertical,
                     bool first_owns, const OleVariant& value, TSetXFBorderProperty setter,
                     TBorderMemo& memo);
  void SetBorderProperty(int32_t border_index, TBorderProperty property, int32_t value);
  int32_t GetBorderProperty(int32_t border_index, TBorderProperty property) const;
  int32_t GetCellBorderProperty(int32_t row1, int32_t col1, int32_t row2, int32_t col2,
                                bool vertical, TBorderProperty property) const;

  // Rows of the rectangle clipped to the rows that hold cells; false when
  // none does.
  bool StoredRows(int32_t& first, int32_t& last) const;
  bool StoredCols(int32_t& first, int32_t& last) const;
  template <class TVisit>
  void ForEachStoredCell(TVisit visit);
  // Makes position (row, col) hold xf_index as its own format, dropping the
  // reference it held before.
  void TakeFormat(TXLSCellRef& cell, int32_t xf_index);
  void MoveCell(int32_t src_row, int32_t src_col, int32_t dest_row, int32_t dest_col);
  // A walk over the rectangle of rows FirstRow..LastRow and columns
  // FirstCol..LastCol in which position (row, col) moves the cell at
  // (row + SrcRows, col + SrcCols) to (row + DestRows, col + DestCols).
  struct TCellShift {
    int32_t FirstRow, LastRow, FirstCol, LastCol;
    int32_t SrcRows, SrcCols, DestRows, DestCols;
    bool Backwards;
  };
  void ShiftCells(const TCellShift& shift);
  void ColumnsToMove(const TCellShift& shift, int32_t row,
                     const std::vector<int32_t>& formatted_cols, std::vector<int32_t>& cols) const;
  // Moves the references of every formula of the workbook that point
  // across this block, before Insert or Delete shifts the cells.
  void AdjustFormulas(bool vertical, bool insert);
  // Insert and Delete in one direction; down and up when vertical.
  void OpenCells(bool vertical);
  void CloseCells(bool vertical);
  // Moves the sheet's notes as Insert (insert) or Delete shifts the cells.
  void MoveNotes(bool vertical, bool insert);

  TXLSWorksheet& Worksheet;
  std::string FirstCellText;
  std::string LastCellText;
  uint16_t FirstRow = 0;
  uint16_t LastRow = 0;
  uint8_t FirstCol = 0;
  uint8_t LastCol = 0;
};

template <class TChange>
int32_t TXLSRange::ResolveXF(TXFMemo& memo, int32_t index, bool owned, TChange change) const {
  int32_t result = memo.Find(index);
  if (result < 0) {
    result = change(index);
    memo.Remember(index, result);
  } else if (owned) {
    XFList().ReplaceIndex(index, result);
  } else {
    XFList().IncReferredCount(result);
  }
  return result;
}

}  // namespace tabulon
