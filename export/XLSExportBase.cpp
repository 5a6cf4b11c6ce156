#include "XLSExportBase.h"

#include <algorithm>
#include <cmath>

#include "XLSCellRef.h"
#include "XLSWorkSheets.h"
#include "XLSWorkbook.h"

namespace tabulon {
namespace {

constexpr double kMillisecondsPerDay = 86400000.0;

int32_t Clamp(int32_t value, int32_t last) {
  return std::clamp(value, 0, last);
}

// Until the formatting layer answers, a range may hand out no font,
// interior or borders; such calls change nothing.
void ApplyFontStyle(IXLSFont& font, const TFont& source) {
  if (source.Has(fsBold)) font.SetBold(true);
  if (source.Has(fsItalic)) font.SetItalic(true);
  if (source.Has(fsUnderline)) font.SetUnderLine(xlUnderlineStyleSingle);
  if (source.Has(fsStrikeOut)) font.SetStrikethrough(true);
}

void ApplyFont(IXLSRange& cell, const TFont& source) {
  XLSPtr<IXLSFont> font = cell.GetFont();
  if (!font) return;
  font->SetName(source.Name);
  font->SetSize(static_cast<float>(source.Size));
  if (source.Color != clNone) font->SetColor(ColorToRGB(source.Color));
  ApplyFontStyle(*font, source);
}

void ApplyFill(IXLSRange& cell, TColor fill) {
  if (fill == clNone) return;
  if (XLSPtr<IXLSInterior> interior = cell.GetInterior()) interior->SetColor(ColorToRGB(fill));
}

// Line style and weight of a border style; false for none.
bool LineOf(TBorderStyle style, int32_t& line_style, int32_t& weight) {
  weight = 0;
  line_style = xlContinuous;
  switch (style) {
    case BorderStyleSingleHair:
      weight = xlHairline;
      return true;
    case BorderStyleSingleThick:
      weight = xlThick;
      return true;
    case BorderStyleSingleThin:
      weight = xlThin;
      return true;
    case BorderStyleDouble:
      line_style = xlDouble;
      return true;
    default:
      return false;
  }
}

// Double lines take their weight from the style itself.
void ApplyLine(IXLSBorder& border, TBorderStyle style) {
  int32_t lineStyle = 0, weight = 0;
  if (!LineOf(style, lineStyle, weight)) return;
  border.SetLineStyle(lineStyle);
  if (weight != 0) border.SetWeight(weight);
}

bool HasTimeOfDay(double date_time) {
  const double fraction = std::fabs(date_time - std::trunc(date_time));
  const auto ms = static_cast<int64_t>(std::llround(fraction * kMillisecondsPerDay));
  return ms % static_cast<int64_t>(kMillisecondsPerDay) != 0;
}

}  // namespace

TXLSExportComponent::TXLSExportComponent(TComponent* owner, TBorderStyle border_style)
    : TComponent(owner),
      HeaderBorderStyle(border_style),
      DetailBorderStyle(border_style),
      headerFont_("Arial", 10, fsBold, clNone),
      detailFont_("Arial", 10, 0, clNone) {}

TXLSExportComponent::~TXLSExportComponent() {
  sheet_.reset();  // before the workbook that owns the sheet
}

int32_t TXLSExportComponent::SaveAs(const std::string& file_name) {
  if (!workbook_) return 0;
  const int32_t status = workbook_->SaveAs(file_name);
  lastError_ = workbook_->GetLastError();
  return status;
}

IXLSWorkBook* TXLSExportComponent::GetWorkbook() const {
  return workbook_.get();
}

void TXLSExportComponent::CreateWorkbook() {
  workbook_ = std::make_unique<TXLSWorkbook>();
}

void TXLSExportComponent::CreateWorksheet() {
  sheet_ = workbook_->GetWorksheets()->Add();
  if (WorksheetName.empty()) WorksheetName = "Sheet1";
  sheet_->SetWorkSheetName(WorksheetName);
  RequireSheetName();
}

// A name no sheet may have would leave the sheet under a generated one
// without a word. (A name another sheet of the workbook holds already keeps
// the generated name, as a second export into one workbook does.)
void TXLSExportComponent::RequireSheetName() const {
  if (TXLSWorkSheets::IsAllowedName(WorksheetName)) return;
  throw EXLSExportError("the sheet name '" + WorksheetName +
                        "' is not allowed: it needs 1 to 31 bytes, none of [ ] : * ? / \\");
}

int32_t TXLSExportComponent::SaveAndDiscard(const std::string& file_name) {
  const int32_t status = SaveAs(file_name);
  sheet_.reset();
  workbook_.reset();
  return status;
}

void TXLSExportComponent::CheckColumns(int32_t count) const {
  if (StartCol + count - 1 > XLSMaxCol)
    throw EXLSExportError(std::to_string(count) + " columns from column " +
                          std::to_string(StartCol + 1) + " do not fit on a sheet of " +
                          std::to_string(XLSMaxCol + 1) + " columns");
}

XLSPtr<IXLSRange> TXLSExportComponent::Cell(int32_t row, int32_t col) const {
  const std::string ref = EncodeCellRef(static_cast<uint16_t>(row), static_cast<uint8_t>(col));
  return sheet_->FGetRange(ref, ref);
}

XLSPtr<IXLSRange> TXLSExportComponent::Block(int32_t row1, int32_t col1, int32_t row2,
                                             int32_t col2) const {
  const auto ref = [](int32_t row, int32_t col) {
    return EncodeCellRef(static_cast<uint16_t>(Clamp(row, XLSMaxRow)),
                         static_cast<uint8_t>(Clamp(col, XLSMaxCol)));
  };
  return sheet_->FGetRange(ref(row1, col1), ref(row2, col2));
}

namespace {

// Returns the data set to its bookmark and enables its controls when the
// walk over the records ends, however it ends.
class TRecordWalk {
 public:
  explicit TRecordWalk(TDataSet& data_set) : dataSet_(data_set) {
    dataSet_.DisableControls();
    bookmark_ = dataSet_.GetBookmark();
  }
  ~TRecordWalk() {
    if (restored_) return;
    try {
      Restore();
    } catch (...) {
      // The error that interrupted the walk is the one the caller sees.
    }
  }
  void Restore() {
    restored_ = true;
    try {
      dataSet_.GotoBookmark(bookmark_);
    } catch (...) {
      Release();
      throw;
    }
    Release();
  }

 private:
  void Release() {
    dataSet_.EnableControls();
    dataSet_.FreeBookmark(bookmark_);
  }

  TDataSet& dataSet_;
  TBookmark bookmark_;
  bool restored_ = false;
};

}  // namespace

void TXLSExportComponent::ForEachRecord(TDataSet* data_set,
                                        const std::function<void(int32_t, int32_t)>& record) {
  detailCount_ = 0;
  if (!data_set) return;
  TRecordWalk walk(*data_set);
  data_set->First();
  for (int32_t count = 1; !data_set->GetEof(); ++count) {
    const int32_t row = StartRow + count;
    if (row > XLSMaxRow)
      throw EXLSExportError("record " + std::to_string(count) + " would lie below row " +
                            std::to_string(XLSMaxRow + 1) + ", the last row of a sheet");
    detailCount_ = count;
    record(row, count);
    data_set->Next();
  }
  walk.Restore();
}

void TXLSExportComponent::FormatHeaderCell(IXLSRange& cell, const TFont& font, TColor fill,
                                           int32_t h_align) const {
  FormatHeaderBorders(cell);
  ApplyFont(cell, font);
  cell.SetHAlign(h_align);
  cell.SetVAlign(xlVAlignCenter);
  ApplyFill(cell, fill);
}

void TXLSExportComponent::FormatHeaderBorders(IXLSRange& cell) const {
  XLSPtr<IXLSBorders> borders = cell.GetBorders();
  if (!borders) return;
  ApplyLine(*borders, HeaderBorderStyle);
  if (HeaderBorderColor != clNone) borders->SetColor(ColorToRGB(HeaderBorderColor));
}

void TXLSExportComponent::FormatDetailCell(IXLSRange& cell, const TFont& font, TColor fill) const {
  ApplyFont(cell, font);
  ApplyFill(cell, fill);
  FormatDetailBorders(cell);
}

// The top edge is left to the header's bottom border when the header has
// borders of its own; the other edges of the cell are always drawn.
void TXLSExportComponent::FormatDetailBorders(IXLSRange& cell) const {
  XLSPtr<IXLSBorders> borders = cell.GetBorders();
  if (!borders) return;
  const bool ownTop = HeaderBorderStyle == BorderStyleNone;
  const bool ownTopColor = ownTop && HeaderBorderColor == clNone;
  for (const int32_t edge : {xlEdgeBottom, xlEdgeLeft, xlEdgeRight, xlEdgeTop}) {
    const bool top = edge == xlEdgeTop;
    const bool line = DetailBorderStyle != BorderStyleNone && (!top || ownTop);
    const bool color = DetailBorderColor != clNone && (!top || ownTopColor);
    if (!line && !color) continue;
    XLSPtr<IXLSBorder> border = borders->GetBorder(edge);
    if (!border) continue;
    if (line) ApplyLine(*border, DetailBorderStyle);
    if (color) border->SetColor(ColorToRGB(DetailBorderColor));
  }
}

OleVariant TXLSExportComponent::CellValue(const TField& field) {
  const OleVariant& value = field.GetValue();
  return value.VarType() == varBoolean ? OleVariant(value.ToString()) : value;
}

void TXLSExportComponent::FormatByType(IXLSRange& cell, TFieldType type, double date_time,
                                       bool left_align) {
  switch (type) {
    case ftCurrency:
      cell.SetNumFormat("#,##0.00");
      return;
    case ftDate:
      cell.SetNumFormat("dd.mm.yyyy");
      break;
    case ftTime:
      cell.SetNumFormat("hh:mm:ss");
      break;
    case ftDateTime:
      cell.SetNumFormat(HasTimeOfDay(date_time) ? "dd.mm.yyyy hh:mm:ss" : "dd.mm.yyyy");
      break;
    default:
      return;
  }
  if (left_align) cell.SetHAlign(xlHAlignLeft);
}

}  // namespace tabulon
