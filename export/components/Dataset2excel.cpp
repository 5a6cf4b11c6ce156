#include "Dataset2excel.h"

namespace tabulon {

TDataset2Excel::TDataset2Excel(TComponent* owner) : TXLSExportComponent(owner, BorderStyleNone) {}

void TDataset2Excel::ExportDataset() {
  if (!dataset_) return;
  PrepareWorkbook(dataset_);
  CreateWorksheet();
  fieldCount_ = dataset_->GetFieldCount();
  CheckColumns(fieldCount_);
  const TXLSDetailBlock last = ExportSheets(
      dataset_, {[this] {
                   ExportHeader();
                   return fieldCount_;
                 },
                 [this](int32_t row, int32_t count) { ExportRecord(row, count); },
                 [this](const TXLSDetailBlock& block) { ExportDetailEnd(block); },
                 [this] {
                   std::vector<TTotalsColumn> columns;
                   for (int32_t i = 0; i < fieldCount_; ++i)
                     columns.push_back({StartCol + i, dataset_->GetField(i).GetDataType(),
                                        &dataset_->GetField(i)});
                   return columns;
                 }});
  if (AfterExport) {
    XLSPtr<IXLSRange> range =
        Block(HeaderRow(), StartCol, last.LastRow, StartCol + fieldCount_ - 1);
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
    XLSPtr<IXLSRange> cell = Cell(HeaderRow(), StartCol + i);
    cell->SetValue(OleVariant(field.GetFieldName()));
    NoteHeaderWidth(StartCol + i, field.GetFieldName(), GetHeaderFont());
    if (field.GetDisplayWidth() > 0)
      cell->GetEntireColumn()->SetColumnWidth(OleVariant(field.GetDisplayWidth()));
    FormatHeaderCell(*cell, GetHeaderFont(), HeaderColor, xlHAlignCenter);
    if (AfterHeaderCell) AfterHeaderCell(*this, *cell, i, field);
  }
  if (AfterHeader) {
    XLSPtr<IXLSRange> range = Block(HeaderRow(), StartCol, HeaderRow(), StartCol + fieldCount_ - 1);
    AfterHeader(*this, *range);
  }
}

void TDataset2Excel::ExportRecord(int32_t row, int32_t count) {
  const TXLSDetailStyle style{&GetDetailFont(), DetailColor, 0, true};
  const bool wantRanges = AfterDetailCell || AfterDetailRow;
  for (int32_t i = 0; i < fieldCount_; ++i) {
    TField& field = dataset_->GetField(i);
    XLSPtr<IXLSRange> cell = WriteDetailCell(row, StartCol + i, &field, style, wantRanges);
    NoteValueReport(field, count);
    if (AfterDetailCell) AfterDetailCell(*this, *cell, count, i, field);
  }
  if (AfterDetailRow) {
    XLSPtr<IXLSRange> range = Block(row, StartCol, row, StartCol + fieldCount_ - 1);
    AfterDetailRow(*this, *range, count);
  }
}

void TDataset2Excel::ExportDetailEnd(const TXLSDetailBlock& block) {
  // A sheet without records has no detail block to name: the corners would
  // turn around and name the header and the empty row below it.
  if (!AfterDetail || block.LastRow < block.FirstRow) return;
  XLSPtr<IXLSRange> range =
      Block(block.FirstRow, StartCol, block.LastRow, StartCol + fieldCount_ - 1);
  AfterDetail(*this, *range);
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
