#include "XLSWorksheet.h"

#include <algorithm>
#include <utility>

#include "XLSCellRef.h"
#include "XLSColRowInfo.h"
#include "XLSPageSetup.h"
#include "XLSPanes.h"
#include "XLSPicture.h"
#include "XLSProtect.h"
#include "XLSRange.h"
#include "XLSWorkSheets.h"
#include "XLSWorkbook.h"

namespace tabulon {

TXLSWorksheet::TXLSWorksheet(TXLSWorkbook& workbook)
    : XLSImplements<IXLSWorkSheet>(false),
      Cells_(this),
      AllCells_(MakeOwnedRange("A1", "IV65536")),
      Protect_(std::make_unique<TXLSProtect>()),
      Selection_(MakeOwnedRange("A1", "A1")),
      PageSetup_(std::make_unique<TXLSPageSetup>(*this)),
      HPageBreaks_(std::make_unique<TXLSHPageBreaks>(*this)),
      VPageBreaks_(std::make_unique<TXLSVPageBreaks>(*this)),
      RowInfo_(std::make_unique<TXLSRowInfoList>(workbook.GetXFList())),
      ColumnInfo_(std::make_unique<TXLSColumnInfoList>(workbook.GetXFList())),
      Pictures_(std::make_unique<TXLSPictures>()),
      Workbook_(workbook),
      Link_(std::make_shared<TXLSSheetLink>(TXLSSheetLink{this})) {}

TXLSWorksheet::~TXLSWorksheet() {
  Link_->Sheet = nullptr;
}

void TXLSWorksheet::Detach(std::unique_ptr<TXLSWorksheet> sheet) {
  sheet->Detached_ = true;
  // References of any sheet, in the workbook or held outside it, now read
  // as #REF!.
  sheet->Link_->Sheet = nullptr;
  sheet->Index_ = 0;
  sheet->Selected_ = false;
  if (sheet->GetRefCount() <= 0) return;  // nothing holds it: freed here
  // From now on the last release frees it.
  sheet->SetCounted(true);
  sheet.release();
}

std::unique_ptr<TXLSRange> TXLSWorksheet::MakeOwnedRange(const std::string& cell1,
                                                         const std::string& cell2) {
  return std::make_unique<TXLSRange>(*this, cell1, cell2, false);
}

TXLSWorkSheets& TXLSWorksheet::Sheets() {
  return Workbook_.GetSheets();
}

// ---- Ranges -----------------------------------------------------------------

XLSPtr<IXLSRange> TXLSWorksheet::GetCells() {
  return XLSPtr<IXLSRange>(AllCells_.get());
}

XLSPtr<IXLSRange> TXLSWorksheet::GetSelection() {
  return XLSPtr<IXLSRange>(Selection_.get());
}

int32_t TXLSWorksheet::ParseCellText(const std::string& text, uint16_t& row, uint8_t& col) {
  if (GetCellRef(text, row, col) == 1) return 1;
  LastError_ = "\"" + text + "\" is not a cell address from A1 to IV65536";
  return -1;
}

// Both texts are checked here, so a range is never made from a text that
// does not name a cell (the range would fall back to A1).
XLSPtr<IXLSRange> TXLSWorksheet::GetRange(const std::string& cell1, const std::string& cell2) {
  uint16_t row = 0;
  uint8_t col = 0;
  if (ParseCellText(cell1, row, col) != 1) return nullptr;
  if (&cell2 != &cell1 && cell2 != cell1 && ParseCellText(cell2, row, col) != 1) return nullptr;
  return XLSPtr<IXLSRange>(new TXLSRange(*this, cell1, cell2));
}

XLSPtr<IXLSRange> TXLSWorksheet::FGetRange(const std::string& cell1, const std::string& cell2) {
  return GetRange(cell1, cell2);
}

XLSPtr<IXLSRange> TXLSWorksheet::GetUsedRange() {
  if (Cells_.GetRowCount() == 0 || Cells_.GetColCount() == 0) return GetRange("A1", "A1");
  return GetRange(EncodeCellRef(static_cast<uint16_t>(Cells_.GetFirstRow()),
                                static_cast<uint8_t>(Cells_.GetFirstCol())),
                  EncodeCellRef(static_cast<uint16_t>(Cells_.GetLastRow()),
                                static_cast<uint8_t>(Cells_.GetLastCol())));
}

// A caller may still hold the previous selection through GetSelection: it is
// kept until its last reference is gone, so that reference never dangles.
void TXLSWorksheet::SetSelectionRange(TXLSRange* range) {
  if (range == nullptr || range == Selection_.get()) return;
  range->MarkOwned();
  RetiredSelections_.erase(
      std::remove_if(RetiredSelections_.begin(), RetiredSelections_.end(),
                     [](const std::unique_ptr<TXLSRange>& r) { return r->GetRefCount() <= 0; }),
      RetiredSelections_.end());
  std::unique_ptr<TXLSRange> previous =
      std::exchange(Selection_, std::unique_ptr<TXLSRange>(range));
  if (previous->GetRefCount() > 0) RetiredSelections_.push_back(std::move(previous));
}

// ---- Names, position and the collection -------------------------------------

std::string TXLSWorksheet::GetWorkSheetName() {
  return Name_;
}

void TXLSWorksheet::SetWorkSheetName(const std::string& name) {
  if (!Detached_ && Sheets().CheckName(Index_, name)) Name_ = name;
}

uint16_t TXLSWorksheet::GetIndex() {
  return Index_;
}

XLSPtr<IXLSWorkSheet> TXLSWorksheet::GetNextWorkSheet() {
  if (Detached_) return nullptr;
  return XLSPtr<IXLSWorkSheet>(Sheets().GetSheet(Index_ + 1));
}

XLSPtr<IXLSWorkSheet> TXLSWorksheet::GetPreviousWorkSheet() {
  if (Detached_) return nullptr;
  return XLSPtr<IXLSWorkSheet>(Sheets().GetSheet(Index_ - 1));
}

void TXLSWorksheet::Delete() {
  if (Detached_) return;
  Sheets().Delete(Index_);
}

void TXLSWorksheet::Delete(int32_t /*unused*/) {
  Delete();
}

// Before wins over After; a sheet of another workbook is not a position here.
void TXLSWorksheet::Move(IXLSWorkSheet* before, IXLSWorkSheet* after) {
  const int32_t beforeIndex = before ? Sheets().IndexOf(before) : 0;
  const int32_t afterIndex = after ? Sheets().IndexOf(after) : 0;
  if (Detached_) return;
  int32_t target = Index_;
  if (beforeIndex > 0) {
    target = beforeIndex > Index_ ? beforeIndex - 1 : beforeIndex;
  } else if (afterIndex > 0) {
    if (afterIndex > Index_) target = afterIndex;
    if (afterIndex < Index_) target = afterIndex + 1;
  }
  if (target != Index_) Sheets().MoveSheet(Index_, target);
}

void TXLSWorksheet::Move(IXLSWorkSheet* before, IXLSWorkSheet* after, int32_t /*unused*/) {
  Move(before, after);
}

void TXLSWorksheet::Move(IXLSWorkSheet* before) {
  Move(before, nullptr);
}

void TXLSWorksheet::Select() {
  Select(true);
}

void TXLSWorksheet::Select(bool replace) {
  if (Detached_) return;
  if (replace) {
    Sheets().Deselect();
    Sheets().SetActiveSheet(this);
  }
  Selected_ = true;
}

void TXLSWorksheet::Select(bool replace, int32_t /*unused*/) {
  Select(replace);
}

void TXLSWorksheet::Activate() {
  if (Detached_) return;
  if (!Selected_) {
    Sheets().Deselect();
    Selected_ = true;
  }
  Sheets().SetActiveSheet(this);
}

int32_t TXLSWorksheet::SetFirstSheet() {
  if (Detached_) return -1;
  Workbook_.SetFirstTab(static_cast<uint16_t>(Index_ - 1));
  return 1;
}

// ---- Sheet parts ------------------------------------------------------------

XLSPtr<IXLSPageSetup> TXLSWorksheet::GetPageSetup() {
  return XLSPtr<IXLSPageSetup>(PageSetup_.get());
}

TXLSHPageBreaks* TXLSWorksheet::GetHPageBreaks() {
  return HPageBreaks_.get();
}

TXLSVPageBreaks* TXLSWorksheet::GetVPageBreaks() {
  return VPageBreaks_.get();
}

void TXLSWorksheet::ResetAllPageBreaks() {
  HPageBreaks_->ClearAll();
  VPageBreaks_->ClearAll();
}

bool TXLSWorksheet::GetDisplayGridLines() {
  return DisplayGridLines_;
}

void TXLSWorksheet::SetDisplayGridLines(bool display) {
  DisplayGridLines_ = display;
}

bool TXLSWorksheet::IsFrozen() const {
  return Panes_ && Panes_->IsFrozen();
}

TXLSPanes& TXLSWorksheet::PanesObject() {
  if (!Panes_) Panes_ = std::make_unique<TXLSPanes>();
  return *Panes_;
}

int32_t TXLSWorksheet::ThawPanes(float y, float x, uint16_t top_row, uint16_t left_col) {
  if (Detached_) return -1;
  PanesObject().Thaw(y, x, top_row, left_col);
  return 1;
}

int32_t TXLSWorksheet::FreezePanes(uint16_t row, uint16_t col, uint16_t top_row,
                                   uint16_t left_col) {
  if (Detached_) return -1;
  PanesObject().Freeze(row, col, top_row, left_col);
  return 1;
}

int32_t TXLSWorksheet::RepeatRows(uint16_t /*first*/, uint16_t /*last*/) {
  return -1;
}

int32_t TXLSWorksheet::RepeatColumns(uint16_t /*first*/, uint16_t /*last*/) {
  return -1;
}

int32_t TXLSWorksheet::SetZoom(uint16_t zoom) {
  if (Detached_) return -1;
  if (zoom < 10 || zoom > 400) return -1;
  Zoom_ = zoom;
  return 1;
}

// The picture is anchored with the column widths and row heights the sheet
// has now; the records are built at every save.
int32_t TXLSWorksheet::InsertBitmap(uint16_t row, uint16_t col, const std::string& file_name,
                                    uint16_t x, uint16_t y, float scale_x, float scale_y) {
  if (Detached_) {
    LastError_ = "the sheet has been deleted from its workbook";
    return -1;
  }
  const int32_t status = Pictures_->Insert(TXLSCellGeometry(*ColumnInfo_, *RowInfo_), row, col,
                                           file_name, x, y, scale_x, scale_y);
  LastError_ = Pictures_->GetLastError();
  return status;
}

std::string TXLSWorksheet::GetLastError() {
  return LastError_;
}

int32_t TXLSWorksheet::InsertBitmap(uint16_t row, uint16_t col, const std::string& file_name) {
  return InsertBitmap(row, col, file_name, 0, 0, 1.0f, 1.0f);
}

int32_t TXLSWorksheet::InsertBitmap(uint16_t row, uint16_t col, const std::string& file_name,
                                    uint16_t x, uint16_t y) {
  return InsertBitmap(row, col, file_name, x, y, 1.0f, 1.0f);
}

void TXLSWorksheet::Protect() {
  Protect_->Protect(std::string());
}

void TXLSWorksheet::Protect(const std::string& password) {
  Protect_->Protect(password);
}

void TXLSWorksheet::UnProtect() {
  Protect_->UnProtect(std::string(), true);
}

void TXLSWorksheet::UnProtect(const std::string& password) {
  Protect_->UnProtect(password, true);
}

void TXLSWorksheet::UnProtect(const std::string& password, int32_t /*unused*/) {
  UnProtect(password);
}

}  // namespace tabulon
