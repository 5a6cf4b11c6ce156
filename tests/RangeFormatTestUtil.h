// Fixture of the range formatting, border and structure tests: a workbook
// with one sheet, ranges by cell text, and a check that every format's
// reference count equals the number of cells, columns and rows that hold it.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "XLSCellHeap.h"
#include "XLSCellRef.h"
#include "XLSColRowInfo.h"
#include "XLSRange.h"
#include "XLSWorkSheets.h"
#include "XLSWorkbook.h"
#include "XLSWorksheet.h"

namespace tabulon {
namespace range_test {

class RangeFixture : public ::testing::Test {
 protected:
  static constexpr int32_t kFixedXFs = 16;

  RangeFixture() {
    book.GetSheets().Add();
    sheet = book.GetSheets().GetSheet(1);
  }

  XLSPtr<IXLSRange> Range(const std::string& cell1, const std::string& cell2) {
    return sheet->FGetRange(cell1, cell2);
  }
  XLSPtr<IXLSRange> Range(const std::string& cell) { return Range(cell, cell); }
  static TXLSRange& Impl(const XLSPtr<IXLSRange>& range) { return static_cast<TXLSRange&>(*range); }
  TXLSXFList& XF() { return book.GetXFList(); }
  TXLSCellHeap& Heap() { return sheet->GetCellHeap(); }
  // The stored cell at the text's position, or null.
  TXLSCellRef* Cell(const std::string& text) {
    uint16_t row = 0;
    uint8_t col = 0;
    GetCellRef(text, row, col);
    return Heap().GetValue(row, col);
  }
  int32_t CellXF(const std::string& text) {
    const TXLSCellRef* cell = Cell(text);
    return cell ? cell->XFIndex : -1;
  }
  int32_t RefCount(int32_t index) { return XF().GetItem(index)->RefCount; }
  // The XF index that position shows (its own or its column's or row's).
  int32_t Shown(const std::string& text) {
    bool owned = false;
    auto range = Range(text);
    return Impl(range).GetXFIndex(range->GetFirstRow(), range->GetFirstCol(), owned);
  }

  // Every counted format is referenced exactly as often as cells, column
  // defaults and row defaults hold it.
  void ExpectCountsMatchHolders() {
    std::map<int32_t, int32_t> holders;
    Heap().ForEach([&](const TXLSCellRef& cell) { ++holders[cell.XFIndex]; });
    for (int32_t col = 0; col < 256; ++col) {
      if (const TXLSColumnInfo* info = sheet->GetColumnInfo().GetColumnInfo(col))
        ++holders[info->XFIndex];
    }
    for (int32_t row = 0; row < 65536; ++row) {
      if (const TXLSRowInfo* info = sheet->GetRowInfo().GetRowInfo(row)) ++holders[info->XFIndex];
    }
    for (int32_t index = kFixedXFs; index < XF().Count(); ++index)
      EXPECT_EQ(RefCount(index), holders[index]) << "format " << index;
  }

  TXLSWorkbook book;
  TXLSWorksheet* sheet = nullptr;
};

}  // namespace range_test
}  // namespace tabulon
