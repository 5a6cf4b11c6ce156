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

class TDBGrid2Excel : public TXLSExportComponent {
 public:
  using TAfterDBGridDetailCell =
      std::function<void(TDBGrid2Excel& Sender, IXLSRange& Cell, int32_t RowIndex,
                         int32_t ColumnIndex, TColumn& Column)>;
  using TAfterDBGridHeaderCell = std::function<void(TDBGrid2Excel& Sender, IXLSRange& Cell,
                                                    int32_t ColumnIndex, TColumn& Column)>;
  using TAfterDBGridDetailRow =
      std::function<void(TDBGrid2Excel& Sender, IXLSRange& Range, int32_t RowIndex)>;
  using TAfterDBGridHeader = std::function<void(TDBGrid2Excel& Sender, IXLSRange& Range)>;
  using TAfterDBGridDetail = TAfterDBGridHeader;
  using TAfterDBGridExport = TAfterDBGridHeader;

  // Thin borders; fonts and colours taken from the grid's columns.
  explicit TDBGrid2Excel(TComponent* owner);

  TDBGrid* GetDBGrid() const { return grid_; }
  void SetDBGrid(TDBGrid* grid) { XLSRelink(*this, grid_, grid); }

  // As TDataset2Excel::ExportDataset, for the grid's visible columns. Does
  // nothing without a grid; without a data set behind the grid only the
  // header row is written.
  void ExportDBGrid();
  // ExportDBGrid, SaveAs, then the workbook is destroyed; the status of SaveAs.
  int32_t SaveDBGridAs(const std::string& file_name);

  bool OriginalHeaderFont = true;
  bool OriginalDetailFont = true;
  bool OriginalHeaderColor = true;
  bool OriginalDetailColor = true;

  TAfterDBGridDetailCell AfterDetailCell;
  TAfterDBGridHeaderCell AfterHeaderCell;
  TAfterDBGridDetailRow AfterDetailRow;
  TAfterDBGridHeader AfterHeader;
  /// Called once with the block of detail rows; not called when the data
  /// set has no records (the sheet then holds the header only).
  TAfterDBGridDetail AfterDetail;
  TAfterDBGridExport AfterExport;

  // Records TDBGrid2Excel on the palette page "Tabulon".
  static void Register();

 protected:
  void Notification(TComponent* component, TOperation operation) override;
  void ExportHeader();
  void ExportDetail();

 private:
  // Calls visit(column, i, sheet column) for each visible grid column, i
  // being its index among all columns; returns the visible count.
  int32_t ForEachVisibleColumn(const std::function<void(TColumn&, int32_t, int32_t)>& visit);

  TDBGrid* grid_ = nullptr;
  TDataSet* dataset_ = nullptr;
  int32_t columnCount_ = 0;
  int32_t visibleCount_ = 0;
};

}  // namespace tabulon
