// What the data-set export and the grid export share: the workbook they
// create and save, the worksheet of the current export, header and detail
// fonts, colours and borders, the cell coordinates, the number formats by
// field type, and the walk over the records.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

#include "XLSComponent.h"
#include "XLSConstants.h"
#include "XLSDataSet.h"
#include "XLSHostFont.h"
#include "XLSInterfaces.h"

namespace tabulon {

class TXLSWorkbook;

enum TBorderStyle : uint8_t {
  BorderStyleNone = 0,
  BorderStyleSingleHair = 1,
  BorderStyleSingleThick = 2,
  BorderStyleSingleThin = 3,
  BorderStyleDouble = 4,
};

// Raised when the exported block does not fit on a worksheet.
class EXLSExportError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TXLSExportComponent : public TComponent {
 public:
  ~TXLSExportComponent() override;

  TFont& GetHeaderFont() { return headerFont_; }
  TFont& GetDetailFont() { return detailFont_; }
  // Copy the given font's attributes; the component keeps its own font.
  void SetHeaderFont(const TFont& font) { headerFont_.Assign(font); }
  void SetDetailFont(const TFont& font) { detailFont_.Assign(font); }

  // Has the workbook save itself: 1 when the file was written, -1 when not
  // (GetLastError says why), 0 when there is no workbook (no export yet).
  int32_t SaveAs(const std::string& file_name);
  const std::string& GetLastError() const { return lastError_; }

  // The workbook of the exports so far, or null; the component owns it.
  IXLSWorkBook* GetWorkbook() const;
  // The worksheet of the latest export, or null.
  IXLSWorkSheet* GetWorksheet() const { return sheet_.get(); }
  // Detail rows written by the latest export.
  int32_t GetDetailCount() const { return detailCount_; }

  /// Name of the exported sheet; empty gives "Sheet1". A name no sheet may
  /// have (over 31 bytes, or with one of [ ] : * ? / \) makes the export
  /// throw EXLSExportError; a name another sheet of the workbook holds
  /// leaves the generated name.
  std::string WorksheetName;
  TColor HeaderColor = clNone;
  TColor DetailColor = clNone;
  uint16_t StartRow = 0;
  uint16_t StartCol = 0;
  TBorderStyle HeaderBorderStyle;
  TBorderStyle DetailBorderStyle;
  TColor HeaderBorderColor = clNone;
  TColor DetailBorderColor = clNone;

 protected:
  TXLSExportComponent(TComponent* owner, TBorderStyle border_style);

  void CreateWorkbook();
  // Adds the sheet and names it WorksheetName ("Sheet1" when empty). Throws
  // EXLSExportError when the name is not one a sheet may have.
  void CreateWorksheet();
  /// Throws EXLSExportError naming WorksheetName when no sheet may have it.
  void RequireSheetName() const;
  // SaveAs, then the workbook is destroyed so that the next export starts a
  // new one.
  int32_t SaveAndDiscard(const std::string& file_name);

  // Throws EXLSExportError when count columns from StartCol leave the sheet.
  void CheckColumns(int32_t count) const;
  // The cell at a zero-based row and column.
  XLSPtr<IXLSRange> Cell(int32_t row, int32_t col) const;
  // The block between two zero-based corners; corners outside the sheet are
  // moved to its edge.
  XLSPtr<IXLSRange> Block(int32_t row1, int32_t col1, int32_t row2, int32_t col2) const;

  // Runs record(row, count) for every record of the data set from the first
  // (none without a data set),
  // with controls disabled; count is 1-based and row = StartRow + count.
  // Afterwards, also when an error interrupts the walk, the data set is back
  // on its former record and its controls are enabled again. Sets the
  // detail count. Throws EXLSExportError before a row beyond the sheet.
  void ForEachRecord(TDataSet* data_set, const std::function<void(int32_t, int32_t)>& record);

  // Header cells: font, alignment and fill.
  void FormatHeaderCell(IXLSRange& cell, const TFont& font, TColor fill, int32_t h_align) const;
  void FormatHeaderBorders(IXLSRange& cell) const;
  // Detail cells: font and fill, then the edges by DetailBorderStyle.
  void FormatDetailCell(IXLSRange& cell, const TFont& font, TColor fill) const;
  // Number format by field type; dates and times get left alignment when
  // left_align is set. date_time is the value, for ftDateTime.
  static void FormatByType(IXLSRange& cell, TFieldType type, double date_time, bool left_align);
  // The value a detail cell receives: the field's value, except that a
  // boolean is written as its text, True or False. Cells hold no booleans,
  // so writing the variant itself would leave the cell empty and lose it.
  static OleVariant CellValue(const TField& field);

 private:
  void FormatDetailBorders(IXLSRange& cell) const;

  std::unique_ptr<TXLSWorkbook> workbook_;
  XLSPtr<IXLSWorkSheet> sheet_;
  TFont headerFont_;
  TFont detailFont_;
  std::string lastError_;
  int32_t detailCount_ = 0;
};

}  // namespace tabulon
