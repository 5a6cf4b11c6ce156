#include "Dataset2excel.h"

namespace tabulon {

TDataset2Excel::TDataset2Excel(TComponent* owner) : TXLSExportComponent(owner, BorderStyleNone) {}

void TDataset2Excel::ExportDataset() {
  if (!dataset_) return;
  if (!GetWorkbook()) CreateWorkbook();
  CreateWorksheet();
  fieldCount_ = dataset_->GetFieldCount();
  CheckColumns(fieldCount_);
  ExportHeader();
  ExportDetail();
  if (AfterExport) {
    XLSPtr<IXLSRange> range =
        Block(StartRow, StartCol, StartRow + GetDetailCount(), StartCol + fieldCount_ - 1);
    AfterExport(*this, *range);
  }
}

int32_t TDataset2Excel::SaveDatasetAs(const std::string& file_name) {
  ExportDataset();
  return SaveAndDiscard(file_name);
}

void TDataset2Excel::ExportHeader() {
  for (int32_t i = 0; i < fieldCount_; ++i) {
    TField& field = dataset_->GetField(i);
    XLSPtr<IXLSRange> cell = Cell(StartRow, StartCol + i);
    cell->SetValue(OleVariant(field.GetFieldName()));
    if (field.GetDisplayWidth() > 0)
      cell->GetEntireColumn()->SetColumnWidth(OleVariant(field.GetDisplayWidth()));
    FormatHeaderCell(*cell, GetHeaderFont(), HeaderColor, xlHAlignCenter);
    if (AfterHeaderCell) AfterHeaderCell(*this, *cell, i, field);
  }
  if (AfterHeader) {
    XLSPtr<IXLSRange> range = Block(StartRow, StartCol, StartRow, StartCol + fieldCount_ - 1);
    AfterHeader(*this, *range);
  }
}

void TDataset2Excel::ExportDetail() {
  ForEachRecord(dataset_, [&](int32_t row, int32_t count) {
    for (int32_t i = 0; i < fieldCount_; ++i) {
      TField& field = dataset_->GetField(i);
      XLSPtr<IXLSRange> cell = Cell(row, StartCol + i);
      cell->SetValue(CellValue(field));
      FormatDetailCell(*cell, GetDetailFont(), DetailColor);
      FormatByType(*cell, field.GetDataType(), field.GetAsDateTime(), true);
      if (AfterDetailCell) AfterDetailCell(*this, *cell, count, i, field);
    }
    if (AfterDetailRow) {
      XLSPtr<IXLSRange> range = Block(row, StartCol, row, StartCol + fieldCount_ - 1);
      AfterDetailRow(*this, *range, count);
    }
  });
  // Without records there is no detail block to name: the corners would
  // turn around and name the header and the empty row below it.
  if (AfterDetail && GetDetailCount() > 0) {
    XLSPtr<IXLSRange> range =
        Block(StartRow + 1, StartCol, StartRow + GetDetailCount(), StartCol + fieldCount_ - 1);
    AfterDetail(*this, *range);
  }
}

void TDataset2Excel::Notification(TComponent* component, TOperation operation) {
  TXLSExportComponent::Notification(component, operation);
  if (operation == opRemove && component == dataset_) dataset_ = nullptr;
}

void TDataset2Excel::Register() {
  TComponentRegistry::Get().RegisterComponents(
      "Tabulon", {{"TDataset2Excel",
                   [](TComponent* owner) -> TComponent* { return new TDataset2Excel(owner); }}});
}

}  // namespace tabulon
