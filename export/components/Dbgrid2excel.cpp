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
  TDataSource* source = grid_->GetDataSource();
  PrepareWorkbook(source ? source->GetDataSet() : nullptr);
  CreateWorksheet();
  columnCount_ = grid_->GetColumnCount();
  XLSRelink(*this, dataset_, source ? source->GetDataSet() : nullptr);
  const TXLSDetailBlock last = ExportSheets(
      dataset_, {[this] {
                   ExportHeader();
                   return visibleCount_;
                 },
                 [this](int32_t row, int32_t count) { ExportRecord(row, count); },
                 [this](const TXLSDetailBlock& block) { ExportDetailEnd(block); },
                 [this] {
                   std::vector<TTotalsColumn> columns;
                   ForEachVisibleColumn([&](TColumn& column, int32_t, int32_t col) {
                     const TField* field = column.GetField();
                     columns.push_back({col, field ? field->GetDataType() : ftUnknown, field});
                   });
                   return columns;
                 }});
  if (AfterExport) {
    XLSPtr<IXLSRange> range =
        Block(HeaderRow(), StartCol, last.LastRow, StartCol + visibleCount_ - 1);
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
    XLSPtr<IXLSRange> cell = Cell(HeaderRow(), col);
    cell->SetValue(OleVariant(title.Caption));
    NoteHeaderWidth(col, title.Caption, font);
    cell->SetNumFormat("@");
    cell->GetEntireColumn()->SetColumnWidth(OleVariant(column.Width * kCharactersPerPixel));
    FormatHeaderCell(*cell, font, fill, HAlignOf(title.Alignment));
    if (AfterHeaderCell) AfterHeaderCell(*this, *cell, i, column);
  });
  if (AfterHeader) {
    XLSPtr<IXLSRange> range =
        Block(HeaderRow(), StartCol, HeaderRow(), StartCol + visibleCount_ - 1);
    AfterHeader(*this, *range);
  }
}

void TDBGrid2Excel::ExportRecord(int32_t row, int32_t count) {
  const bool wantRanges = AfterDetailCell || AfterDetailRow;
  visibleCount_ = ForEachVisibleColumn([&](TColumn& column, int32_t i, int32_t col) {
    const TXLSDetailStyle style{OriginalDetailFont ? &column.Font : &GetDetailFont(),
                                OriginalDetailColor ? column.Color : DetailColor,
                                HAlignOf(column.Alignment), false};
    const TField* field = column.GetField();
    XLSPtr<IXLSRange> cell = WriteDetailCell(row, col, field, style, wantRanges);
    if (field) NoteValueReport(*field, count);
    if (AfterDetailCell) AfterDetailCell(*this, *cell, count, i, column);
  });
  if (AfterDetailRow) {
    XLSPtr<IXLSRange> range = Block(row, StartCol, row, StartCol + visibleCount_ - 1);
    AfterDetailRow(*this, *range, count);
  }
}

void TDBGrid2Excel::ExportDetailEnd(const TXLSDetailBlock& block) {
  // A sheet without records has no detail block to name: the corners would
  // turn around and name the header and the empty row below it.
  if (!AfterDetail || block.LastRow < block.FirstRow) return;
  XLSPtr<IXLSRange> range =
      Block(block.FirstRow, StartCol, block.LastRow, StartCol + visibleCount_ - 1);
  AfterDetail(*this, *range);
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
