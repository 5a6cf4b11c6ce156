#include "XLSPageSetup.h"

#include <algorithm>

#include "XLSCellRef.h"
#include "XLSColRowInfo.h"
#include "XLSRange.h"
#include "XLSRecordEncoder.h"
#include "XLSRecordIds.h"
#include "XLSTextEncoder.h"
#include "XLSWorkbook.h"
#include "XLSWorksheet.h"

namespace tabulon {

namespace {

// WSBOOL: automatic page breaks shown, summary rows below and columns right
// of the detail, outline symbols; plus fit to pages when it is on.
constexpr uint16_t kWsboolDefault = 0x04C1;
constexpr uint16_t kWsboolFitToPages = 0x0100;
constexpr uint16_t kWsboolSummaryRowsBelow = 0x0040;
constexpr uint16_t kWsboolSummaryColumnsRight = 0x0080;

constexpr uint16_t kSetupPortrait = 0x0002;
constexpr uint16_t kPrintResolution = 600;
constexpr uint16_t kUserPaperSize = 256;
constexpr int32_t kMinZoom = 10;
constexpr int32_t kMaxZoom = 400;

TXLSBlob MarginRecord(uint16_t id, double inches) {
  TXLSBlob record = MakeRecord(id, 8);
  record.AddDouble(inches);
  return record;
}

// Appends the records in order and stops at the first failing append.
template <size_t N>
int32_t AppendInOrder(TXLSRecordSection& section, TXLSBlob (&records)[N]) {
  int32_t status = 1;
  for (size_t i = 0; status == 1 && i < N; ++i) status = section.Append(std::move(records[i]));
  return status;
}

bool IsIntegerVariant(const OleVariant& v) {
  switch (v.VarType()) {
    case varShortInt:
    case varByte:
    case varSmallint:
    case varWord:
    case varInteger:
    case varLongWord:
    case varInt64:
      return true;
    default:
      return false;
  }
}

bool IsFalse(const OleVariant& v) {
  return v.VarType() == varBoolean && !v.ToBool();
}

// The 16-bit page count or zoom as a variant: the number, or false when 0.
OleVariant WordOrFalse(uint16_t value) {
  return value != 0 ? OleVariant::Integer(value) : OleVariant::Boolean(false);
}

// Fit-to-pages counts: a 16- or 32-bit integer the field can hold, or false
// for 0; anything else leaves the count.
void SetPageCount(const OleVariant& pages, uint16_t& count) {
  if (pages.VarType() == varSmallint || pages.VarType() == varInteger) {
    const int32_t value = pages.ToInt();
    if (value >= 0 && value <= 0xFFFF) count = static_cast<uint16_t>(value);
  } else if (IsFalse(pages)) {
    count = 0;
  }
}

}  // namespace

// ---------------------------------------------------------------------------
// Page setup

TXLSPageSetup::TXLSPageSetup(TXLSWorksheet& worksheet)
    : XLSImplements<IXLSPageSetup>(false), worksheet_(worksheet) {
  SetAnchor(&worksheet);  // a held page setup keeps a deleted sheet alive
}

int32_t TXLSPageSetup::GetOrientation() {
  return portrait_ ? 1 : 2;
}

void TXLSPageSetup::SetOrientation(int32_t orientation) {
  if (orientation == 1 || orientation == 2) portrait_ = orientation == 1;
}

int32_t TXLSPageSetup::GetPaperSize() {
  return paperSize_ == 0 ? kUserPaperSize : paperSize_;
}

void TXLSPageSetup::SetPaperSize(int32_t paper_size) {
  if (paper_size == kUserPaperSize) {
    paperSize_ = 0;
  } else if (paper_size >= 0 && paper_size <= 0xFFFF) {
    paperSize_ = static_cast<uint16_t>(paper_size);
  }
}

double TXLSPageSetup::GetBottomMargin() {
  return bottomMargin_;
}
void TXLSPageSetup::SetBottomMargin(double inches) {
  bottomMargin_ = inches;
}
double TXLSPageSetup::GetTopMargin() {
  return topMargin_;
}
void TXLSPageSetup::SetTopMargin(double inches) {
  topMargin_ = inches;
}
double TXLSPageSetup::GetLeftMargin() {
  return leftMargin_;
}
void TXLSPageSetup::SetLeftMargin(double inches) {
  leftMargin_ = inches;
}
double TXLSPageSetup::GetRightMargin() {
  return rightMargin_;
}
void TXLSPageSetup::SetRightMargin(double inches) {
  rightMargin_ = inches;
}
double TXLSPageSetup::GetHeaderMargin() {
  return headerMargin_;
}
void TXLSPageSetup::SetHeaderMargin(double inches) {
  headerMargin_ = inches;
}
double TXLSPageSetup::GetFooterMargin() {
  return footerMargin_;
}
void TXLSPageSetup::SetFooterMargin(double inches) {
  footerMargin_ = inches;
}

std::string TXLSPageSetup::GetLeftHeader() {
  return header_.Left;
}
void TXLSPageSetup::SetLeftHeader(const std::string& text) {
  header_.Left = text;
}
std::string TXLSPageSetup::GetCenterHeader() {
  return header_.Center;
}
void TXLSPageSetup::SetCenterHeader(const std::string& text) {
  header_.Center = text;
}
std::string TXLSPageSetup::GetRightHeader() {
  return header_.Right;
}
void TXLSPageSetup::SetRightHeader(const std::string& text) {
  header_.Right = text;
}
std::string TXLSPageSetup::GetLeftFooter() {
  return footer_.Left;
}
void TXLSPageSetup::SetLeftFooter(const std::string& text) {
  footer_.Left = text;
}
std::string TXLSPageSetup::GetCenterFooter() {
  return footer_.Center;
}
void TXLSPageSetup::SetCenterFooter(const std::string& text) {
  footer_.Center = text;
}
std::string TXLSPageSetup::GetRightFooter() {
  return footer_.Right;
}
void TXLSPageSetup::SetRightFooter(const std::string& text) {
  footer_.Right = text;
}

bool TXLSPageSetup::GetCenterHorizontally() {
  return centerHorizontally_;
}
void TXLSPageSetup::SetCenterHorizontally(bool center) {
  centerHorizontally_ = center;
}
bool TXLSPageSetup::GetCenterVertically() {
  return centerVertically_;
}
void TXLSPageSetup::SetCenterVertically(bool center) {
  centerVertically_ = center;
}
bool TXLSPageSetup::GetPrintGridlines() {
  return printGridLines_;
}
void TXLSPageSetup::SetPrintGridlines(bool print) {
  printGridLines_ = print;
}
bool TXLSPageSetup::GetPrintHeadings() {
  return printHeadings_;
}
void TXLSPageSetup::SetPrintHeadings(bool print) {
  printHeadings_ = print;
}

OleVariant TXLSPageSetup::GetFitToPagesTall() {
  return WordOrFalse(fitToPagesTall_);
}
void TXLSPageSetup::SetFitToPagesTall(const OleVariant& pages) {
  SetPageCount(pages, fitToPagesTall_);
}
OleVariant TXLSPageSetup::GetFitToPagesWide() {
  return WordOrFalse(fitToPagesWide_);
}
void TXLSPageSetup::SetFitToPagesWide(const OleVariant& pages) {
  SetPageCount(pages, fitToPagesWide_);
}

OleVariant TXLSPageSetup::GetZoom() {
  return WordOrFalse(zoom_);
}

void TXLSPageSetup::SetZoom(const OleVariant& zoom) {
  if (IsIntegerVariant(zoom)) {
    const int64_t value = zoom.ToInt64();
    if (value >= kMinZoom && value <= kMaxZoom) zoom_ = static_cast<uint16_t>(value);
  } else if (IsFalse(zoom)) {
    zoom_ = 0;
  }
}

std::string TXLSPageSetup::FGetPrintArea() {
  return printAreaText_;
}

void TXLSPageSetup::SetPrintArea(uint16_t first_row, uint16_t first_col, uint16_t last_row,
                                 uint16_t last_col) {
  if (first_row > last_row || first_col > last_col || last_col > XLSMaxCol) return;
  printArea_ = TArea{first_row, last_row, first_col, last_col};
  printAreaText_ = EncodeCellRange(first_row, static_cast<uint8_t>(first_col), last_row,
                                   static_cast<uint8_t>(last_col));
}

void TXLSPageSetup::FSetPrintArea(const std::string& range) {
  if (range.empty()) {
    printArea_ = TArea{};
    printAreaText_.clear();
    return;
  }
  uint16_t firstRow = 0;
  uint16_t lastRow = 0;
  uint8_t firstCol = 0;
  uint8_t lastCol = 0;
  if (GetCellRange(range, firstRow, firstCol, lastRow, lastCol) == 1) {
    SetPrintArea(firstRow, firstCol, lastRow, lastCol);
  } else {
    worksheet_.SetLastError("print area \"" + range + "\" is not a cell range such as A1:C4");
  }
}

std::string TXLSPageSetup::GetPrintTitleRows() {
  std::string text;
  ValuesToRowDiapason(titleRows_.First, titleRows_.Last, text);
  return text;
}

void TXLSPageSetup::SetPrintTitleRows(const std::string& rows) {
  TPair pair;
  if (rows.empty() || RowDiapasonToValues(rows, pair.First, pair.Last)) {
    titleRows_ = pair;
  } else {
    worksheet_.SetLastError("print title rows \"" + rows + "\" are not rows such as $1:$3");
  }
}

std::string TXLSPageSetup::GetPrintTitleColumns() {
  std::string text;
  ValuesToColDiapason(titleCols_.First, titleCols_.Last, text);
  return text;
}

void TXLSPageSetup::SetPrintTitleColumns(const std::string& columns) {
  TPair pair;
  if (columns.empty() || ColDiapasonToValues(columns, pair.First, pair.Last)) {
    titleCols_ = pair;
  } else {
    worksheet_.SetLastError("print title columns \"" + columns +
                            "\" are not columns such as $A:$C");
  }
}

std::string TXLSPageSetup::JoinParts(const TThreeParts& parts) {
  std::string text;
  if (!parts.Left.empty()) text += "&L" + parts.Left;
  if (!parts.Center.empty()) text += "&C" + parts.Center;
  if (!parts.Right.empty()) text += "&R" + parts.Right;
  return text;
}

std::string TXLSPageSetup::GetHeaderText() const {
  return JoinParts(header_);
}

std::string TXLSPageSetup::GetFooterText() const {
  return JoinParts(footer_);
}

// The outline summaries are the rows' and columns' own: the sheet's row and
// column information keeps where they sit.
uint16_t TXLSPageSetup::WsboolFlags() const {
  const bool fitToPages = fitToPagesTall_ > 0 || fitToPagesWide_ > 0;
  uint16_t flags = fitToPages ? kWsboolDefault | kWsboolFitToPages : kWsboolDefault;
  if (!worksheet_.GetRowInfo().GetSummaryBelow()) flags &= ~kWsboolSummaryRowsBelow;
  if (!worksheet_.GetColumnInfo().GetSummaryRight()) flags &= ~kWsboolSummaryColumnsRight;
  return flags;
}

int32_t TXLSPageSetup::StoreHeaderRecords(TXLSRecordSection& section) const {
  TXLSBlob records[] = {
      MakeWordRecord(xlsrec::kPrintHeaders, printHeadings_ ? 1 : 0),
      MakeWordRecord(xlsrec::kPrintGridLines, printGridLines_ ? 1 : 0),
      MakeWordRecord(xlsrec::kGridSet, printGridLines_ ? 0 : 1),
      MakeWordRecord(xlsrec::kWsBool, WsboolFlags()),
  };
  return AppendInOrder(section, records);
}

int32_t TXLSPageSetup::StoreSetup(TXLSRecordSection& section) const {
  TXLSBlob record = MakeRecord(xlsrec::kSetup, 34);
  record.AddWord(paperSize_);
  record.AddWord(zoom_);
  record.AddWord(1);  // first page number
  record.AddWord(fitToPagesWide_);
  record.AddWord(fitToPagesTall_);
  record.AddWord(portrait_ ? kSetupPortrait : 0);
  record.AddWord(kPrintResolution);
  record.AddWord(kPrintResolution);
  record.AddDouble(headerMargin_);
  record.AddDouble(footerMargin_);
  record.AddWord(1);  // copies
  return section.Append(std::move(record));
}

int32_t TXLSPageSetup::StoreMargins(TXLSRecordSection& section) const {
  const TXLSRecordEncoder& encoder = worksheet_.GetWorkbook().GetRecordEncoder();
  const std::string& sheet = worksheet_.GetName();
  TXLSBlob records[] = {
      MarginRecord(xlsrec::kBottomMargin, bottomMargin_),
      MarginRecord(xlsrec::kTopMargin, topMargin_),
      MarginRecord(xlsrec::kRightMargin, rightMargin_),
      MarginRecord(xlsrec::kLeftMargin, leftMargin_),
      MakeWordRecord(xlsrec::kVCenter, centerVertically_ ? 1 : 0),
      MakeWordRecord(xlsrec::kHCenter, centerHorizontally_ ? 1 : 0),
      encoder.HeaderFooter(xlsrec::kFooter, GetFooterText(), {sheet, "footer"}),
      encoder.HeaderFooter(xlsrec::kHeader, GetHeaderText(), {sheet, "header"}),
  };
  return AppendInOrder(section, records);
}

// ---------------------------------------------------------------------------
// Page breaks

TXLSPageBreak::TXLSPageBreak(TXLSPageBreaks& collection, int32_t position)
    : collection_(collection), position_(position) {}

void TXLSPageBreak::Delete() {
  collection_.Delete(index_);
}

XLSPtr<IXLSRange> TXLSPageBreak::GetLocation() const {
  return collection_.GetLocation(index_);
}

TXLSPageBreaks::TXLSPageBreaks(TXLSWorksheet& worksheet, bool vertical)
    : worksheet_(worksheet), vertical_(vertical) {}

TXLSPageBreaks::~TXLSPageBreaks() = default;

TXLSPageBreak* TXLSPageBreaks::Add(IXLSRange* range) {
  if (!range) return nullptr;
  return AddPageBreak(vertical_ ? range->GetFirstCol() : range->GetFirstRow());
}

TXLSPageBreak* TXLSPageBreaks::AddPageBreak(int32_t position) {
  // Scan from the last break towards the first for the place of the new one.
  size_t place = breaks_.size();
  while (place > 0 && breaks_[place - 1]->position_ > position) --place;
  if (place > 0 && breaks_[place - 1]->position_ == position) return breaks_[place - 1].get();
  if (GetCount() >= kMaxBreaks) return nullptr;
  breaks_.insert(breaks_.begin() + static_cast<std::ptrdiff_t>(place), CreatePageBreak(position));
  Renumber(place);
  return breaks_[place].get();
}

TXLSPageBreak* TXLSPageBreaks::Get(int32_t index) const {
  if (index < 1 || index > GetCount()) return nullptr;
  return breaks_[static_cast<size_t>(index - 1)].get();
}

void TXLSPageBreaks::Delete(int32_t index) {
  if (index < 1 || index > GetCount()) return;
  const size_t place = static_cast<size_t>(index - 1);
  breaks_.erase(breaks_.begin() + static_cast<std::ptrdiff_t>(place));
  Renumber(place);
}

void TXLSPageBreaks::ClearAll() {
  breaks_.clear();
}

void TXLSPageBreaks::Renumber(size_t from) {
  for (size_t i = from; i < breaks_.size(); ++i) breaks_[i]->index_ = static_cast<int32_t>(i + 1);
}

XLSPtr<IXLSRange> TXLSPageBreaks::GetLocation(int32_t index) const {
  const TXLSPageBreak* pageBreak = Get(index);
  if (!pageBreak) return XLSPtr<IXLSRange>();
  TXLSRange* range;
  if (vertical_) {
    const uint8_t col = static_cast<uint8_t>(pageBreak->position_);
    range = new TXLSRange(worksheet_, EncodeCellRef(0, col), EncodeCellRef(XLSMaxRow, col));
    range->RangeType = xlRangeColumns;
  } else {
    const uint16_t row = static_cast<uint16_t>(pageBreak->position_);
    range = new TXLSRange(worksheet_, EncodeCellRef(row, 0), EncodeCellRef(row, XLSMaxCol));
    range->RangeType = xlRangeRows;
  }
  return XLSPtr<IXLSRange>(range);
}

int32_t TXLSPageBreaks::Store(TXLSRecordSection& section) const {
  if (breaks_.empty()) return 1;
  std::vector<uint16_t> positions;
  positions.reserve(breaks_.size());
  for (const auto& pageBreak : breaks_)
    positions.push_back(static_cast<uint16_t>(pageBreak->position_));
  return section.Append(
      worksheet_.GetWorkbook().GetRecordEncoder().PageBreaks(vertical_, positions));
}

std::unique_ptr<TXLSPageBreak> TXLSHPageBreaks::CreatePageBreak(int32_t position) {
  return std::make_unique<TXLSHPageBreak>(*this, position);
}

std::unique_ptr<TXLSPageBreak> TXLSVPageBreaks::CreatePageBreak(int32_t position) {
  return std::make_unique<TXLSVPageBreak>(*this, position);
}

}  // namespace tabulon
