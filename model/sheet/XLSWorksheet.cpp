#include "XLSWorksheet.h"

#include <algorithm>
#include <utility>

#include "XLSCellRef.h"
#include "XLSColRowInfo.h"
#include "XLSFormatConditions.h"
#include "XLSHyperlinks.h"
#include "XLSNotes.h"
#include "XLSPageSetup.h"
#include "XLSPanes.h"
#include "XLSPicture.h"
#include "XLSProtect.h"
#include "XLSRange.h"
#include "XLSValidations.h"
#include "XLSWorkSheets.h"
#include "XLSWorkbook.h"

namespace tabulon {

TXLSWorksheet::TXLSWorksheet(TXLSWorkbook& workbook)
    : XLSImplements<IXLSWorkSheet>(false),
      cells_(this),
      allCells_(MakeOwnedRange("A1", "IV65536")),
      protect_(std::make_unique<TXLSProtect>()),
      selection_(MakeOwnedRange("A1", "A1")),
      pageSetup_(std::make_unique<TXLSPageSetup>(*this)),
      hPageBreaks_(std::make_unique<TXLSHPageBreaks>(*this)),
      vPageBreaks_(std::make_unique<TXLSVPageBreaks>(*this)),
      rowInfo_(std::make_unique<TXLSRowInfoList>(workbook.GetXFList())),
      columnInfo_(std::make_unique<TXLSColumnInfoList>(workbook.GetXFList())),
      pictures_(std::make_unique<TXLSPictures>()),
      hyperlinks_(std::make_unique<TXLSHyperlinks>()),
      validations_(std::make_unique<TXLSValidations>()),
      notes_(std::make_unique<TXLSNotes>()),
      formatConditions_(std::make_unique<TXLSFormatConditions>()),
      workbook_(workbook),
      link_(std::make_shared<TXLSSheetLink>(TXLSSheetLink{this})) {}

TXLSWorksheet::~TXLSWorksheet() {
  link_->Sheet = nullptr;
}

void TXLSWorksheet::Detach(std::unique_ptr<TXLSWorksheet> sheet) {
  sheet->detached_ = true;
  // References of any sheet, in the workbook or held outside it, now read
  // as #REF!.
  sheet->link_->Sheet = nullptr;
  sheet->index_ = 0;
  sheet->selected_ = false;
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
  return workbook_.GetSheets();
}

// ---- Ranges -----------------------------------------------------------------

XLSPtr<IXLSRange> TXLSWorksheet::GetCells() {
  return XLSPtr<IXLSRange>(allCells_.get());
}

XLSPtr<IXLSRange> TXLSWorksheet::GetSelection() {
  return XLSPtr<IXLSRange>(selection_.get());
}

int32_t TXLSWorksheet::ParseCellText(const std::string& text, uint16_t& row, uint8_t& col) {
  if (GetCellRef(text, row, col) == 1) return 1;
  lastError_ = "\"" + text + "\" is not a cell address from A1 to IV65536";
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
  if (cells_.GetRowCount() == 0 || cells_.GetColCount() == 0) return GetRange("A1", "A1");
  return GetRange(EncodeCellRef(static_cast<uint16_t>(cells_.GetFirstRow()),
                                static_cast<uint8_t>(cells_.GetFirstCol())),
                  EncodeCellRef(static_cast<uint16_t>(cells_.GetLastRow()),
                                static_cast<uint8_t>(cells_.GetLastCol())));
}

// A caller may still hold the previous selection through GetSelection: it is
// kept until its last reference is gone, so that reference never dangles.
void TXLSWorksheet::SetSelectionRange(TXLSRange* range) {
  if (range == nullptr || range == selection_.get()) return;
  range->MarkOwned();
  retiredSelections_.erase(
      std::remove_if(retiredSelections_.begin(), retiredSelections_.end(),
                     [](const std::unique_ptr<TXLSRange>& r) { return r->GetRefCount() <= 0; }),
      retiredSelections_.end());
  std::unique_ptr<TXLSRange> previous =
      std::exchange(selection_, std::unique_ptr<TXLSRange>(range));
  if (previous->GetRefCount() > 0) retiredSelections_.push_back(std::move(previous));
}

// ---- Names, position and the collection -------------------------------------

std::string TXLSWorksheet::GetWorkSheetName() {
  return name_;
}

void TXLSWorksheet::SetWorkSheetName(const std::string& name) {
  if (!detached_ && Sheets().CheckName(index_, name)) name_ = name;
}

uint16_t TXLSWorksheet::GetIndex() {
  return index_;
}

XLSPtr<IXLSWorkSheet> TXLSWorksheet::GetNextWorkSheet() {
  if (detached_) return nullptr;
  return XLSPtr<IXLSWorkSheet>(Sheets().GetSheet(index_ + 1));
}

XLSPtr<IXLSWorkSheet> TXLSWorksheet::GetPreviousWorkSheet() {
  if (detached_) return nullptr;
  return XLSPtr<IXLSWorkSheet>(Sheets().GetSheet(index_ - 1));
}

void TXLSWorksheet::Delete() {
  if (detached_) return;
  Sheets().Delete(index_);
}

void TXLSWorksheet::Delete(int32_t /*unused*/) {
  Delete();
}

// Before wins over After; a sheet of another workbook is not a position here.
void TXLSWorksheet::Move(IXLSWorkSheet* before, IXLSWorkSheet* after) {
  const int32_t beforeIndex = before ? Sheets().IndexOf(before) : 0;
  const int32_t afterIndex = after ? Sheets().IndexOf(after) : 0;
  if (detached_) return;
  int32_t target = index_;
  if (beforeIndex > 0) {
    target = beforeIndex > index_ ? beforeIndex - 1 : beforeIndex;
  } else if (afterIndex > 0) {
    if (afterIndex > index_) target = afterIndex;
    if (afterIndex < index_) target = afterIndex + 1;
  }
  if (target != index_) Sheets().MoveSheet(index_, target);
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
  if (detached_) return;
  if (replace) {
    Sheets().Deselect();
    Sheets().SetActiveSheet(this);
  }
  selected_ = true;
}

void TXLSWorksheet::Select(bool replace, int32_t /*unused*/) {
  Select(replace);
}

void TXLSWorksheet::Activate() {
  if (detached_) return;
  if (!selected_) {
    Sheets().Deselect();
    selected_ = true;
  }
  Sheets().SetActiveSheet(this);
}

int32_t TXLSWorksheet::SetFirstSheet() {
  if (detached_) return -1;
  workbook_.SetFirstTab(static_cast<uint16_t>(index_ - 1));
  return 1;
}

// ---- Sheet parts ------------------------------------------------------------

XLSPtr<IXLSPageSetup> TXLSWorksheet::GetPageSetup() {
  return XLSPtr<IXLSPageSetup>(pageSetup_.get());
}

TXLSHPageBreaks* TXLSWorksheet::GetHPageBreaks() {
  return hPageBreaks_.get();
}

TXLSVPageBreaks* TXLSWorksheet::GetVPageBreaks() {
  return vPageBreaks_.get();
}

void TXLSWorksheet::ResetAllPageBreaks() {
  hPageBreaks_->ClearAll();
  vPageBreaks_->ClearAll();
}

bool TXLSWorksheet::GetDisplayGridLines() {
  return displayGridLines_;
}

void TXLSWorksheet::SetDisplayGridLines(bool display) {
  displayGridLines_ = display;
}

bool TXLSWorksheet::IsFrozen() const {
  return panes_ && panes_->IsFrozen();
}

TXLSPanes& TXLSWorksheet::PanesObject() {
  if (!panes_) panes_ = std::make_unique<TXLSPanes>();
  return *panes_;
}

int32_t TXLSWorksheet::ThawPanes(float y, float x, uint16_t top_row, uint16_t left_col) {
  if (detached_) return -1;
  PanesObject().Thaw(y, x, top_row, left_col);
  return 1;
}

int32_t TXLSWorksheet::FreezePanes(uint16_t row, uint16_t col, uint16_t top_row,
                                   uint16_t left_col) {
  if (detached_) return -1;
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
  if (detached_) return -1;
  if (zoom < 10 || zoom > 400) return -1;
  zoom_ = zoom;
  return 1;
}

// The picture is anchored with the column widths and row heights the sheet
// has now; the records are built at every save.
int32_t TXLSWorksheet::InsertBitmap(uint16_t row, uint16_t col, const std::string& file_name,
                                    uint16_t x, uint16_t y, float scale_x, float scale_y) {
  if (detached_) {
    lastError_ = "the sheet has been deleted from its workbook";
    return -1;
  }
  const int32_t status = pictures_->Insert(TXLSCellGeometry(*columnInfo_, *rowInfo_), row, col,
                                           file_name, x, y, scale_x, scale_y);
  lastError_ = pictures_->GetLastError();
  return status;
}

std::string TXLSWorksheet::GetLastError() {
  return lastError_;
}

int32_t TXLSWorksheet::InsertBitmap(uint16_t row, uint16_t col, const std::string& file_name) {
  return InsertBitmap(row, col, file_name, 0, 0, 1.0f, 1.0f);
}

int32_t TXLSWorksheet::InsertBitmap(uint16_t row, uint16_t col, const std::string& file_name,
                                    uint16_t x, uint16_t y) {
  return InsertBitmap(row, col, file_name, x, y, 1.0f, 1.0f);
}

void TXLSWorksheet::Protect() {
  protect_->Protect(std::string());
}

void TXLSWorksheet::Protect(const std::string& password) {
  protect_->Protect(password);
}

void TXLSWorksheet::UnProtect() {
  protect_->UnProtect(std::string(), true);
}

void TXLSWorksheet::UnProtect(const std::string& password) {
  protect_->UnProtect(password, true);
}

void TXLSWorksheet::UnProtect(const std::string& password, int32_t /*unused*/) {
  UnProtect(password);
}

}  // namespace tabulon
