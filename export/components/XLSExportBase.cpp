#include "XLSExportBase.h"

#include <algorithm>
#include <cmath>

#include "XLSCellRef.h"
#include "XLSColumnFit.h"
#include "XLSDetailCells.h"
#include "XLSRecordEncoder.h"
#include "XLSTextCodec.h"
#include "XLSWorkSheets.h"
#include "XLSWorkbook.h"
#include "XLSWorksheet.h"

namespace tabulon {
namespace {

constexpr double kMillisecondsPerDay = 86400000.0;
// Height of a title row in points per point of its font size.
constexpr double kTitleRowHeightPerPoint = 1.4;
// Largest font size in points a reader accepts.
constexpr int32_t kLargestFontSize = 409;

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

bool IsDateTimeField(TFieldType type) {
  return type == ftDate || type == ftTime || type == ftDateTime;
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
      detailFont_("Arial", 10, 0, clNone),
      columnFit_(std::make_unique<TXLSColumnFit>()) {}

TXLSExportComponent::~TXLSExportComponent() {
  // The sheets go before the workbook that owns them.
  sheetTotals_.clear();
  sheet_.reset();
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

namespace {

// "UTF-8" or "code page 1251": texts as the mismatch of data set and
// workbook names them.
std::string TextsForm(uint16_t code_page, bool utf8) {
  return utf8 ? "UTF-8" : "code page " + std::to_string(code_page);
}

}  // namespace

// The format is chosen first: formulas are checked against the rows its
// references reach as they are set.
void TXLSExportComponent::PrepareWorkbook(const TDataSet* data_set) {
  const uint16_t codePage = data_set ? data_set->GetCodePage() : TDataSet::kDefaultCodePage;
  const bool utf8 = data_set && data_set->GetUtf8Texts();
  if (!workbook_) {
    auto workbook = std::make_unique<TXLSWorkbook>();
    if (workbook->SetFileFormat(FileFormat) != 1) throw EXLSExportError(workbook->GetLastError());
    if (utf8 && FileFormat != xlExcel8)
      throw EXLSExportError(
          "the data set hands out UTF-8 texts, which only the BIFF8 file format keeps "
          "(FileFormat xlExcel8); BIFF5 stores texts in a code page");
    workbook->SetCodePage(codePage);  // a data set only takes known code pages
    if (utf8) workbook->SetUtf8Texts(true);
    workbook_ = std::move(workbook);
  } else if (workbook_->GetFileFormat() != FileFormat) {
    throw EXLSExportError(std::string("the workbook of the earlier exports is saved as ") +
                          workbook_->GetRecordEncoder().Name() + ", FileFormat asks for " +
                          (FileFormat == xlExcel8 ? "BIFF8" : "BIFF5"));
  } else if (workbook_->GetUtf8Texts() != utf8 || (!utf8 && workbook_->GetCodePage() != codePage)) {
    throw EXLSExportError("the data set's texts are in " + TextsForm(codePage, utf8) +
                          ", the workbook's in " +
                          TextsForm(workbook_->GetCodePage(), workbook_->GetUtf8Texts()));
  }
}

void TXLSExportComponent::CreateWorksheet() {
  if (WorksheetName.empty()) WorksheetName = "Sheet1";
  RequireSheetName(workbook_->GetCodePage(), workbook_->GetUtf8Texts());
  sheet_ = workbook_->GetWorksheets()->Add();
  sheet_->SetWorkSheetName(WorksheetName);
}

// A name no sheet may have would leave the sheet under a generated one
// without a word. (A name another sheet of the workbook holds already keeps
// the generated name, as a second export into one workbook does.)
void TXLSExportComponent::RequireSheetName(uint16_t code_page, bool utf8_texts) const {
  const uint16_t codePage = workbook_ ? workbook_->GetCodePage() : code_page;
  const bool utf8 = workbook_ ? workbook_->GetUtf8Texts() : utf8_texts;
  const bool biff8 = IsBiff8();
  // A BIFF8 name is counted in characters of its UTF-8 form, whose bytes
  // hold the forbidden characters as themselves.
  const std::string biff8Name =
      biff8 ? (utf8 ? WorksheetName : XLSCodePageToUtf8(WorksheetName, codePage)) : std::string();
  const bool allowed =
      biff8 ? TXLSWorkSheets::IsAllowedName(biff8Name, TXLSWorkbook::kDefaultCodePage,
                                            XLSUtf16Length(biff8Name))
            : TXLSWorkSheets::IsAllowedName(
                  workbook_ ? workbook_->StoredSheetName(WorksheetName) : WorksheetName, codePage);
  if (allowed) return;
  throw EXLSExportError("the sheet name '" + WorksheetName + "' is not allowed in " + FormatName() +
                        ": it needs 1 to 31 " + (biff8 ? "characters" : "bytes") +
                        ", none of [ ] : * ? / \\");
}

bool TXLSExportComponent::IsBiff8() const {
  return (workbook_ ? workbook_->GetFileFormat() : FileFormat) == xlExcel8;
}

std::string TXLSExportComponent::TextAsUtf8(std::string_view text) const {
  const std::string stored(text);
  return workbook_->GetUtf8Texts() ? stored : XLSCodePageToUtf8(stored, workbook_->GetCodePage());
}

std::string TXLSExportComponent::FitSheetName(const std::string& name, size_t max_length) const {
  if (!IsBiff8() || !workbook_->GetUtf8Texts()) return workbook_->FitText(name, max_length);
  return name.substr(0, XLSUtf8PrefixOfUnits(name, max_length));
}

int32_t TXLSExportComponent::SaveAndDiscard(const std::string& file_name) {
  const int32_t status = SaveAs(file_name);
  sheetTotals_.clear();
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

TXLSExportComponent::TXLSDetailBlock TXLSExportComponent::ExportSheets(
    TDataSet* data_set, const TXLSSheetContent& content) {
  ClearValueReports();
  ConvertOwnTexts();
  detailCount_ = 0;
  sheetCount_ = 0;
  mostSheetRows_ = 0;
  firstSheetName_ = sheet_->GetWorkSheetName();
  sheetTotals_.clear();
  CheckHeaderRow();
  if (!data_set) return ExportSheet(nullptr, content);
  TRecordWalk walk(*data_set);
  data_set->First();
  TXLSDetailBlock block;
  do {
    if (sheetCount_ > 0) AddContinuationSheet();
    block = ExportSheet(data_set, content);
  } while (!data_set->GetEof());
  sheetTotals_.clear();
  walk.Restore();
  return block;
}

TXLSExportComponent::TXLSDetailBlock TXLSExportComponent::ExportSheet(
    TDataSet* data_set, const TXLSSheetContent& content) {
  ++sheetCount_;
  columnFit_->Reset(XLSMaxCol + 1 - StartCol);
  const int32_t columns = content.Header();
  WriteTitles(columns);
  const TXLSDetailBlock block = WriteDetailBlock(data_set, columns, content.Record);
  // The last sheet of several adds up their totals rows below its own.
  const bool grandTotal = Totals && content.TotalsColumns && sheetCount_ > 1 &&
                          (!data_set || data_set->GetEof()) && block.LastRow + 2 <= LastSheetRow();
  if (Totals && content.TotalsColumns) {
    const std::vector<TTotalsColumn> totalsColumns = content.TotalsColumns();
    WriteTotals(*sheet_, block.FirstRow, block.LastRow, totalsColumns);
    sheetTotals_.push_back({sheet_, block});
    if (grandTotal) WriteGrandTotal(block.LastRow + 2, totalsColumns);
  }
  if (Layout.AutoFilter) AddAutoFilter(columns, block);
  LayOutSheet(columns);
  mostSheetRows_ = std::max({mostSheetRows_, HeaderRow() + 1,
                             block.LastRow + 1 + (Totals ? 1 : 0) + (grandTotal ? 1 : 0)});
  if (content.AfterBlock) content.AfterBlock(block);
  return block;
}

int32_t TXLSExportComponent::HeaderRow() const {
  return StartRow + (Layout.Title.empty() ? 0 : 1) + (Layout.Subtitle.empty() ? 0 : 1);
}

void TXLSExportComponent::CheckHeaderRow() const {
  if (HeaderRow() > LastSheetRow())
    throw EXLSExportError("the header in row " + std::to_string(HeaderRow() + 1) +
                          " lies below the " + std::to_string(LastSheetRow() + 1) +
                          " rows a sheet may use");
}

EXLSExportError TXLSExportComponent::NoRoomError(const std::string& record,
                                                 int32_t last_row) const {
  return EXLSExportError(record + " finds no room on a sheet of " + std::to_string(last_row + 1) +
                         " rows below the header in row " + std::to_string(HeaderRow() + 1));
}

void TXLSExportComponent::CheckLayout(uint16_t code_page, bool utf8_texts) const {
  if (!WorksheetName.empty()) RequireSheetName(code_page, utf8_texts);
  CheckHeaderRow();
  const int32_t lastRow = LastSheetRow() - (Totals ? 1 : 0);
  if (HeaderRow() >= lastRow) throw NoRoomError("a record", lastRow);
}

int32_t TXLSExportComponent::LastSheetRow() const {
  const int32_t rows = Layout.RowsPerSheet > 0 ? Layout.RowsPerSheet : XLSMaxRow + 1;
  return std::min(rows, XLSMaxRow + 1) - 1;
}

// "Orders" continues on "Orders (2)", "Orders (3)", ...; a long name is cut
// on a character boundary so that the number stays within the longest sheet
// name.
void TXLSExportComponent::AddContinuationSheet() {
  const std::string suffix = " (" + std::to_string(sheetCount_ + 1) + ")";
  const std::string base = FitSheetName(firstSheetName_, XLSMaxSheetNameLength - suffix.size());
  sheet_ = workbook_->GetWorksheets()->Add();
  sheet_->SetWorkSheetName(base + suffix);
}

namespace {

// Ends the direct writing of a sheet's detail cells however the block ends.
class TDetailCellsScope {
 public:
  explicit TDetailCellsScope(std::unique_ptr<TXLSDetailCells>& cells) : cells_(cells) {}
  ~TDetailCellsScope() { cells_.reset(); }

 private:
  std::unique_ptr<TXLSDetailCells>& cells_;
};

}  // namespace

TXLSExportComponent::TXLSDetailBlock TXLSExportComponent::WriteDetailBlock(
    TDataSet* data_set, int32_t columns, const std::function<void(int32_t, int32_t)>& record) {
  TXLSDetailBlock block;
  block.FirstRow = HeaderRow() + 1;
  block.LastRow = block.FirstRow - 1;
  block.FirstRecord = detailCount_ + 1;
  block.LastRecord = detailCount_;
  if (!data_set) return block;
  TDetailCellsScope scope(detailCells_);
  // A callback after the header may have written below it; the cells are
  // then written through ranges, which see whatever is there.
  if (TXLSDetailCells::CanWriteBelow(Sheet(), HeaderRow()))
    detailCells_ = std::make_unique<TXLSDetailCells>(Sheet(), workbook_->GetXFList(), HeaderRow(),
                                                     StartCol, columns);
  const int32_t lastRow = LastRecordRow();
  for (; !data_set->GetEof(); data_set->Next()) {
    if (block.LastRow >= lastRow) {
      if (block.LastRecord >= block.FirstRecord) break;
      throw NoRoomError("record " + std::to_string(block.FirstRecord), lastRow);
    }
    detailCount_ = ++block.LastRecord;
    if (detailCells_) detailCells_->BeginRow(block.LastRow + 1);
    record(++block.LastRow, detailCount_);
  }
  return block;
}

// The totals row, when there is one, takes the sheet's last row; on a
// continuation sheet, which may be the last of several, the grand-total row
// takes the one above it, unless that leaves no row for a record.
int32_t TXLSExportComponent::LastRecordRow() const {
  if (!Totals) return LastSheetRow();
  const int32_t aboveTotals = LastSheetRow() - 1;
  return sheetCount_ > 1 && aboveTotals - 1 > HeaderRow() ? aboveTotals - 1 : aboveTotals;
}

// The filter needs a row below its header; a sheet without records gets none.
void TXLSExportComponent::AddAutoFilter(int32_t columns, const TXLSDetailBlock& block) {
  if (columns < 1 || block.LastRow < block.FirstRow) return;
  Block(HeaderRow(), StartCol, block.LastRow, StartCol + columns - 1)->AutoFilter();
}

TXLSWorksheet& TXLSExportComponent::Sheet() const {
  return static_cast<TXLSWorksheet&>(*sheet_);
}

XLSPtr<IXLSRange> TXLSExportComponent::WriteDetailCell(int32_t row, int32_t col,
                                                       const TField* field,
                                                       const TXLSDetailStyle& style,
                                                       bool want_range) {
  const OleVariant* value = field ? &field->GetValue() : nullptr;
  // A callback may change the cells in any way; the cells written without
  // ranges would no longer know their neighbours.
  if (want_range) detailCells_.reset();
  if (!detailCells_) {
    XLSPtr<IXLSRange> cell = Cell(row, col);
    if (value) cell->SetValue(*value);
    const char* format = FormatDetailField(*cell, field, style);
    if (value) NoteDetailWidth(col, *value, format, *style.Font);
    return cell;
  }
  const int32_t i = col - StartCol;
  detailCells_->Put(i, value);
  const double dateTime = field && field->GetDataType() == ftDateTime ? field->GetAsDateTime() : 0;
  const uint8_t variant = HasTimeOfDay(dateTime) ? 1 : 0;
  if (!detailCells_->ApplyKnownFormats(i, variant)) {
    FormatDetailField(*Cell(row, col), field, style);
    detailCells_->Learn(i);
  }
  if (value)
    NoteDetailWidth(col, *value,
                    FieldNumFormat(field->GetDataType(), field->GetDisplayFormat(), dateTime),
                    *style.Font);
  return {};
}

const char* TXLSExportComponent::FormatDetailField(IXLSRange& cell, const TField* field,
                                                   const TXLSDetailStyle& style) const {
  FormatDetailCell(cell, *style.Font, style.Fill);
  if (style.HAlign != 0) cell.SetHAlign(style.HAlign);
  if (!field) return nullptr;
  const TFieldType type = field->GetDataType();
  const char* format = FieldNumFormat(type, field->GetDisplayFormat(), field->GetAsDateTime());
  if (format) cell.SetNumFormat(format);
  int32_t align = field->GetAlignment();
  if (align == 0 && style.AlignDates && IsDateTimeField(type)) align = Layout.DateAlignment;
  if (align != 0) cell.SetHAlign(align);
  return format;
}

void TXLSExportComponent::WriteTitles(int32_t columns) {
  int32_t row = StartRow;
  if (!Layout.Title.empty()) WriteTitle(row++, columns, ownTexts_.Title, Layout.TitleSize);
  if (!Layout.Subtitle.empty()) WriteTitle(row, columns, ownTexts_.Subtitle, Layout.SubtitleSize);
}

// The line is merged across the exported columns and centred over them; its
// row is made tall enough for the larger font.
void TXLSExportComponent::WriteTitle(int32_t row, int32_t columns, const std::string& text,
                                     int32_t size) {
  size = std::clamp(size, 1, kLargestFontSize);
  XLSPtr<IXLSRange> line = Block(row, StartCol, row, StartCol + std::max(columns, 1) - 1);
  Cell(row, StartCol)->SetValue(OleVariant(text));
  if (columns > 1) line->Merge(OleVariant(false));
  line->SetHAlign(xlHAlignCenter);
  line->SetVAlign(xlVAlignCenter);
  if (XLSPtr<IXLSFont> font = line->GetFont()) {
    font->SetName(headerFont_.Name);
    font->SetSize(static_cast<float>(size));
    font->SetBold(true);
  }
  line->GetEntireRow()->SetRowHeight(OleVariant(size * kTitleRowHeightPerPoint));
}

void TXLSExportComponent::LayOutSheet(int32_t columns) {
  const int32_t header = HeaderRow();
  for (int32_t i = 0; Layout.FitColumns && i < columns; ++i) {
    const double width = columnFit_->Width(i, Layout.MaxColumnWidth);
    if (width > 0) Cell(header, StartCol + i)->GetEntireColumn()->SetColumnWidth(OleVariant(width));
  }
  if (Layout.FreezeHeader && header < XLSMaxRow)
    sheet_->FreezePanes(static_cast<uint16_t>(header + 1), 0, static_cast<uint16_t>(header + 1), 0);
  XLSPtr<IXLSPageSetup> page = sheet_->GetPageSetup();
  if (!page) return;
  if (Layout.RepeatHeader) {
    const std::string row = "$" + std::to_string(header + 1);
    page->SetPrintTitleRows(row + ":" + row);
  }
  SetUpPage(*page);
}

void TXLSExportComponent::SetUpPage(IXLSPageSetup& page) const {
  page.SetOrientation(Layout.Orientation);
  page.SetPaperSize(Layout.PaperSize);
  if (Layout.FitToPagesWide > 0) {
    page.SetZoom(OleVariant(false));
    page.SetFitToPagesWide(OleVariant(Layout.FitToPagesWide));
    page.SetFitToPagesTall(OleVariant(false));
  }
  page.SetTopMargin(Layout.TopMargin);
  page.SetBottomMargin(Layout.BottomMargin);
  page.SetLeftMargin(Layout.LeftMargin);
  page.SetRightMargin(Layout.RightMargin);
  page.SetHeaderMargin(Layout.HeaderMargin);
  page.SetFooterMargin(Layout.FooterMargin);
  page.SetLeftHeader(ownTexts_.Header[0]);
  page.SetCenterHeader(ownTexts_.Header[1]);
  page.SetRightHeader(ownTexts_.Header[2]);
  page.SetLeftFooter(ownTexts_.Footer[0]);
  page.SetCenterFooter(ownTexts_.Footer[1]);
  page.SetRightFooter(ownTexts_.Footer[2]);
}

void TXLSExportComponent::NoteHeaderWidth(int32_t col, std::string_view text, const TFont& font) {
  if (Layout.FitColumns) columnFit_->NoteText(col - StartCol, text, font);
}

void TXLSExportComponent::NoteDetailWidth(int32_t col, const OleVariant& value,
                                          const char* num_format, const TFont& font) {
  if (Layout.FitColumns) columnFit_->NoteValue(col - StartCol, value, num_format, font);
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

const char* TXLSExportComponent::NumFormatByType(TFieldType type, double date_time) {
  switch (type) {
    case ftCurrency:
      return "#,##0.00";
    case ftDate:
      return "dd.mm.yyyy";
    case ftTime:
      return "hh:mm:ss";
    case ftDateTime:
      return HasTimeOfDay(date_time) ? "dd.mm.yyyy hh:mm:ss" : "dd.mm.yyyy";
    default:
      return nullptr;
  }
}

const char* TXLSExportComponent::FieldNumFormat(TFieldType type, const std::string& own,
                                                double date_time) const {
  const auto orGeneral = [](const std::string& format) {
    return format.empty() ? nullptr : format.c_str();
  };
  if (!own.empty()) return own.c_str();
  if (type == ftFloat) return orGeneral(Layout.FloatFormat);
  if (type == ftCurrency) return orGeneral(Layout.CurrencyFormat);
  return NumFormatByType(type, date_time);
}

}  // namespace tabulon
