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

class TDataset2Excel : public TXLSExportComponent {
 public:
  using TAfterDetailCell = std::function<void(TDataset2Excel& Sender, IXLSRange& Cell,
                                              int32_t RowIndex, int32_t FieldIndex, TField& Field)>;
  using TAfterHeaderCell = std::function<void(TDataset2Excel& Sender, IXLSRange& Cell,
                                              int32_t FieldIndex, TField& Field)>;
  using TAfterDetailRow =
      std::function<void(TDataset2Excel& Sender, IXLSRange& Range, int32_t RowIndex)>;
  using TAfterHeader = std::function<void(TDataset2Excel& Sender, IXLSRange& Range)>;
  using TAfterDetail = TAfterHeader;
  using TAfterExport = TAfterHeader;

  // Borders none; header font Arial 10 bold, detail font Arial 10, colours none.
  explicit TDataset2Excel(TComponent* owner);

  TDataSet* GetDataset() const { return dataset_; }
  void SetDataset(TDataSet* data_set) { XLSRelink(*this, dataset_, data_set); }

  // Adds a worksheet to the component's workbook (created at the first
  // export) and writes the header and the records into it. Does nothing
  // without a data set. Errors of the data set pass to the caller, with the
  // data set back on its former record and its controls enabled; a block
  // that does not fit on the sheet raises EXLSExportError.
  void ExportDataset();
  // ExportDataset, SaveAs, then the workbook is destroyed; the status of
  // SaveAs.
  int32_t SaveDatasetAs(const std::string& file_name);

  TAfterDetailCell AfterDetailCell;
  TAfterHeaderCell AfterHeaderCell;
  TAfterDetailRow AfterDetailRow;
  TAfterHeader AfterHeader;
  /// Called once with the block of detail rows; not called when the data
  /// set has no records (the sheet then holds the header only).
  TAfterDetail AfterDetail;
  TAfterExport AfterExport;

  // Records TDataset2Excel on the palette page "Tabulon".
  static void Register();

 protected:
  void Notification(TComponent* component, TOperation operation) override;
  void ExportHeader();
  void ExportDetail();

 private:
  TDataSet* dataset_ = nullptr;
  int32_t fieldCount_ = 0;
};

}  // namespace tabulon
