// TDBGrid2Excel: exports what a data grid shows, its visible columns in grid
// order with the column titles as the header row and the records of the
// grid's data set as detail rows, into a new workbook, and saves it. Fonts
// and colours come from the grid's own columns unless the Original...
// properties are switched off.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "XLSDBGrid.h"
#include "XLSExportBase.h"

namespace tabulon {

/// Exports the visible columns of a data grid into a worksheet: a header row
/// with the column titles, then one row per record of the grid's data set, in
/// the grid's fonts and colours unless the Original... properties say otherwise.
class TDBGrid2Excel : public TXLSExportComponent {
 public:
  /// Called after each detail cell: the component, the cell, RowIndex (records
  /// exported so far, from 1), ColumnIndex (among all grid columns, from 0) and the column.
  using TAfterDBGridDetailCell =
      std::function<void(TDBGrid2Excel& Sender, IXLSRange& Cell, int32_t RowIndex,
                         int32_t ColumnIndex, TColumn& Column)>;
  /// Called after each header cell: the component, the cell, ColumnIndex and the column.
  using TAfterDBGridHeaderCell = std::function<void(TDBGrid2Excel& Sender, IXLSRange& Cell,
                                                    int32_t ColumnIndex, TColumn& Column)>;
  /// Called after each record's row with its cells and RowIndex (from 1).
  using TAfterDBGridDetailRow =
      std::function<void(TDBGrid2Excel& Sender, IXLSRange& Range, int32_t RowIndex)>;
  /// Called once with the whole header row.
  using TAfterDBGridHeader = std::function<void(TDBGrid2Excel& Sender, IXLSRange& Range)>;
  /// Called once with the block of all detail rows.
  using TAfterDBGridDetail = TAfterDBGridHeader;
  /// Called once with header and detail rows together, after the export.
  using TAfterDBGridExport = TAfterDBGridHeader;

  /// Thin borders; fonts and colours taken from the grid's columns.
  explicit TDBGrid2Excel(TComponent* owner);

  /// @return The grid exported, or null.
  TDBGrid* GetDBGrid() const { return grid_; }
  /// Sets the grid to export; the component is told when it is destroyed.
  /// @param grid The grid, or null.
  void SetDBGrid(TDBGrid* grid) { XLSRelink(*this, grid_, grid); }

  /// As TDataset2Excel::ExportDataset, for the grid's visible columns. Does
  /// nothing without a grid; without a data set behind the grid only the
  /// header row is written.
  void ExportDBGrid();
  /// ExportDBGrid, SaveAs, then the workbook is destroyed; the status of SaveAs.
  int32_t SaveDBGridAs(const std::string& file_name);

  /// true: header cells take each column title's font; false: the component's header font.
  bool OriginalHeaderFont = true;
  /// true: detail cells take each column's font; false: the component's detail font.
  bool OriginalDetailFont = true;
  /// true: header cells take each column title's colour; false: HeaderColor.
  bool OriginalHeaderColor = true;
  /// true: detail cells take each column's colour; false: DetailColor.
  bool OriginalDetailColor = true;

  /// Optional callback after each detail cell.
  TAfterDBGridDetailCell AfterDetailCell;
  /// Optional callback after each header cell.
  TAfterDBGridHeaderCell AfterHeaderCell;
  /// Optional callback after each detail row.
  TAfterDBGridDetailRow AfterDetailRow;
  /// Optional callback after the header row.
  TAfterDBGridHeader AfterHeader;
  /// Called once per sheet with its block of detail rows; not called when the data
  /// set has no records (the sheet then holds the header only).
  TAfterDBGridDetail AfterDetail;
  /// Optional callback after the whole export.
  TAfterDBGridExport AfterExport;

  /// Records TDBGrid2Excel on the palette page "Tabulon".
  static void Register();

 protected:
  void Notification(TComponent* component, TOperation operation) override;
  /// Writes the header row: the titles of the visible columns.
  void ExportHeader();
  /// One record into sheet row `row`; `count` is its number in the export.
  void ExportRecord(int32_t row, int32_t count);
  /// AfterDetail with a sheet's block of records.
  void ExportDetailEnd(const TXLSDetailBlock& block);

 private:
  /// Calls visit(column, i, sheet column) for each visible grid column, i
  /// being its index among all columns; returns the visible count.
  int32_t ForEachVisibleColumn(const std::function<void(TColumn&, int32_t, int32_t)>& visit);

  TDBGrid* grid_ = nullptr;
  TDataSet* dataset_ = nullptr;
  int32_t columnCount_ = 0;
  int32_t visibleCount_ = 0;
};

}  // namespace tabulon
