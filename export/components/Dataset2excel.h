// TDataset2Excel: exports the records of a data set into a new workbook, one
// header row with the field names and one row per record below it, each
// cell formatted from the component's properties, with callbacks after each
// cell, row and block; then saves the workbook.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "XLSDataSet.h"
#include "XLSExportBase.h"

namespace tabulon {

/// Exports the records of a data set into a worksheet: a header row with the
/// field names, then one row per record, formatted from the component's
/// properties (fonts, colours, borders, number formats by field type).
class TDataset2Excel : public TXLSExportComponent {
 public:
  /// Called after each detail cell is written and formatted: the component, the
  /// cell, RowIndex (records exported so far, from 1), FieldIndex (from 0) and the field.
  using TAfterDetailCell = std::function<void(TDataset2Excel& Sender, IXLSRange& Cell,
                                              int32_t RowIndex, int32_t FieldIndex, TField& Field)>;
  /// Called after each header cell: the component, the cell, FieldIndex (from 0) and the field.
  using TAfterHeaderCell = std::function<void(TDataset2Excel& Sender, IXLSRange& Cell,
                                              int32_t FieldIndex, TField& Field)>;
  /// Called after each record's row: the component, the row's cells and RowIndex
  /// (records exported so far, from 1).
  using TAfterDetailRow =
      std::function<void(TDataset2Excel& Sender, IXLSRange& Range, int32_t RowIndex)>;
  /// Called once with the whole header row.
  using TAfterHeader = std::function<void(TDataset2Excel& Sender, IXLSRange& Range)>;
  /// Called once with the block of all detail rows.
  using TAfterDetail = TAfterHeader;
  /// Called once with the header and detail rows together, after the export.
  using TAfterExport = TAfterHeader;

  /// Borders none; header font Arial 10 bold, detail font Arial 10, colours none.
  explicit TDataset2Excel(TComponent* owner);

  /// @return The data set exported, or null.
  TDataSet* GetDataset() const { return dataset_; }
  /// Sets the data set to export; the component is told when it is destroyed.
  /// @param data_set The data set, or null.
  void SetDataset(TDataSet* data_set) { XLSRelink(*this, dataset_, data_set); }

  /// Adds a worksheet to the component's workbook (created at the first
  /// export) and writes the header and the records into it, laid out by
  /// Layout; records beyond the sheet continue on further sheets. Does
  /// nothing without a data set. Errors of the data set pass to the caller,
  /// with the data set back on its former record and its controls enabled;
  /// fields beyond the last column, or a header without room below it for a
  /// record, raise EXLSExportError.
  void ExportDataset();
  /// ExportDataset, SaveAs, then the workbook is destroyed; the status of
  /// SaveAs.
  int32_t SaveDatasetAs(const std::string& file_name);

  /// Optional callback after each detail cell.
  TAfterDetailCell AfterDetailCell;
  /// Optional callback after each header cell.
  TAfterHeaderCell AfterHeaderCell;
  /// Optional callback after each detail row.
  TAfterDetailRow AfterDetailRow;
  /// Optional callback after the header row.
  TAfterHeader AfterHeader;
  /// Called once per sheet with its block of detail rows; not called when the data
  /// set has no records (the sheet then holds the header only).
  TAfterDetail AfterDetail;
  /// Optional callback after the whole export.
  TAfterExport AfterExport;

  /// Records TDataset2Excel on the palette page "Tabulon".
  static void Register();

 protected:
  void Notification(TComponent* component, TOperation operation) override;
  /// Writes the header row: one cell per field with its name.
  void ExportHeader();
  /// One record into sheet row `row`; `count` is its number in the export.
  void ExportRecord(int32_t row, int32_t count);
  /// AfterDetail with a sheet's block of records.
  void ExportDetailEnd(const TXLSDetailBlock& block);

 private:
  TDataSet* dataset_ = nullptr;
  int32_t fieldCount_ = 0;
};

}  // namespace tabulon
