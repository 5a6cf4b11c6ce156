#include "Dbgrid2excel.h"

#include "Dataset2excel.h"

namespace tabulon {
namespace {

// Grid pixels to column width in characters of the default font.
constexpr double kCharactersPerPixel = 0.1433;

int32_t HAlignOf(TAlignment alignment) {
  switch (alignment) {
    case taRightJustify:
      return xlHAlignRight;
    case taCenter:
      return xlHAlignCenter;
    default:
      return xlHAlignLeft;
  }
}

}  // namespace

TDBGrid2Excel::TDBGrid2Excel(TComponent* owner)
    : TXLSExportComponent(owner, BorderStyleSingleThin) {}

void TDBGrid2Excel::ExportDBGrid() {
  if (!grid_) return;
  if (!GetWorkbook()) CreateWorkbook();
  CreateWorksheet();
  columnCount_ = grid_->GetColumnCount();
  TDataSource* source = grid_->GetDataSource();
  XLSRelink(*this, dataset_, source ? source->GetDataSet() : nullptr);
  ExportHeader();
  ExportDetail();
  if (AfterExport) {
    XLSPtr<IXLSRange> range =
        Block(StartRow, StartCol, StartRow + GetDetailCount(), StartCol + visibleCount_ - 1);
    AfterExport(*this, *range);
  }
}

int32_t TDBGrid2Excel::SaveDBGridAs(const std::string& file_name) {
  ExportDBGrid();
  return SaveAndDiscard(file_name);
}

int32_t TDBGrid2Excel::ForEachVisibleColumn(
    const std::function<void(TColumn&, int32_t, int32_t)>& visit) {
  int32_t visible = 0;
  for (int32_t i = 0; i < columnCount_; ++i) {
    TColumn& column = grid_->GetColumn(i);
    if (!column.Visible) continue;
    visit(column, i, StartCol + visible);
    ++visible;
  }
  return visible;
}

void TDBGrid2Excel::ExportHeader() {
  CheckColumns(ForEachVisibleColumn([](TColumn&, int32_t, int32_t) {}));
  visibleCount_ = ForEachVisibleColumn([&](TColumn& column, int32_t i, int32_t col) {
    const TColumnTitle& title = column.Title;
    const TFont& font = OriginalHeaderFont ? title.Font : GetHeaderFont();
    const TColor fill = OriginalHeaderColor ? title.Color : HeaderColor;
    XLSPtr<IXLSRange> cell = Cell(StartRow, col);
    cell->SetValue(OleVariant(title.Caption));
    cell->SetNumFormat("@");
    cell->GetEntireColumn()->SetColumnWidth(OleVariant(column.Width * kCharactersPerPixel));
    FormatHeaderCell(*cell, font, fill, HAlignOf(title.Alignment));
    if (AfterHeaderCell) AfterHeaderCell(*this, *cell, i, column);
  });
  if (AfterHeader) {
    XLSPtr<IXLSRange> range = Block(StartRow, StartCol, StartRow, StartCol + visibleCount_ - 1);
    AfterHeader(*this, *range);
  }
}

void TDBGrid2Excel::ExportDetail() {
  ForEachRecord(dataset_, [&](int32_t row, int32_t count) {
    visibleCount_ = ForEachVisibleColumn([&](TColumn& column, int32_t i, int32_t col) {
      const TFont& font = OriginalDetailFont ? column.Font : GetDetailFont();
      const TColor fill = OriginalDetailColor ? column.Color : DetailColor;
      XLSPtr<IXLSRange> cell = Cell(row, col);
      const TField* field = column.GetField();
      if (field) cell->SetValue(CellValue(*field));
      FormatDetailCell(*cell, font, fill);
      cell->SetHAlign(HAlignOf(column.Alignment));
      if (field) FormatByType(*cell, field->GetDataType(), field->GetAsDateTime(), false);
      if (AfterDetailCell) AfterDetailCell(*this, *cell, count, i, column);
    });
    if (AfterDetailRow) {
      XLSPtr<IXLSRange> range = Block(row, StartCol, row, StartCol + visibleCount_ - 1);
      AfterDetailRow(*this, *range, count);
    }
  });
  // Without records there is no detail block to name: the corners would
  // turn around and name the header and the empty row below it.
  if (AfterDetail && GetDetailCount() > 0) {
    XLSPtr<IXLSRange> range =
        Block(StartRow + 1, StartCol, StartRow + GetDetailCount(), StartCol + visibleCount_ - 1);
    AfterDetail(*this, *range);
  }
}

void TDBGrid2Excel::Notification(TComponent* component, TOperation operation) {
  TXLSExportComponent::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == grid_) grid_ = nullptr;
  if (component == dataset_) dataset_ = nullptr;
}

void TDBGrid2Excel::Register() {
  TComponentRegistry::Get().RegisterComponents(
      "Tabulon", {{"TDBGrid2Excel",
                   [](TComponent* owner) -> TComponent* { return new TDBGrid2Excel(owner); }}});
}

void Register() {
  TDataset2Excel::Register();
  TDBGrid2Excel::Register();
}

}  // namespace tabulon
