// The workbook-level records, one save step each, in the order the file
// format's encoder gives (GlobalsOrder): BOF, CODEPAGE, the sheet references
// and built-in names, WINDOW1, 1904, PROTECT, PASSWORD, the formatting
// tables, PALETTE, BOUNDSHEET, then what the format keeps behind the sheet
// list (BIFF8: sheet references, names, drawing group, shared strings), EOF.
#include <algorithm>
#include <optional>
#include <vector>

#include "XLSByteOrder.h"
#include "XLSDefinedNames.h"
#include "XLSFormulaTokens.h"
#include "XLSPageSetup.h"
#include "XLSPanes.h"
#include "XLSProtect.h"
#include "XLSRecordEncoder.h"
#include "XLSRecordFields.h"
#include "XLSRecordIds.h"
#include "XLSRecordSection.h"
#include "XLSTextEncoder.h"
#include "XLSWorkSheets.h"
#include "XLSWorkbook.h"
#include "XLSWorksheet.h"
#include "xlsxf.h"

namespace tabulon {

namespace {

// Built-in names and the last row and column of whole-column and whole-row
// print titles.
constexpr uint8_t kPrintAreaName = 0x06;
constexpr uint8_t kPrintTitlesName = 0x07;
constexpr uint8_t kLastTitleCol = 0xFF;

// Window of the file's first view: position, size, scroll bars and tabs shown.
constexpr uint16_t kWindowWidth = 0x25BC;
constexpr uint16_t kWindowHeight = 0x1572;
constexpr uint16_t kWindowOptions = 0x0038;
constexpr uint16_t kTabBarRatio = 0x0258;

std::optional<TXLSNameArea> PrintAreaOf(TXLSPageSetup& setup) {
  if (!setup.HasPrintArea()) return std::nullopt;
  return TXLSNameArea{static_cast<uint16_t>(setup.GetPrintAreaFirstRow()),
                      static_cast<uint16_t>(setup.GetPrintAreaLastRow()),
                      static_cast<uint8_t>(setup.GetPrintAreaFirstCol()),
                      static_cast<uint8_t>(setup.GetPrintAreaLastCol())};
}

// Title rows and title columns together: the union of the whole-column area
// of the title columns and the whole-row area of the title rows.
std::vector<TXLSNameArea> PrintTitleAreas(TXLSPageSetup& setup, uint16_t last_row) {
  // Titles are kept 1-based; the records count from 0.
  const auto firstRow = static_cast<uint16_t>(setup.GetPrintTitleFirstRow() - 1);
  const auto lastRow = static_cast<uint16_t>(setup.GetPrintTitleLastRow() - 1);
  const auto firstCol = static_cast<uint8_t>(setup.GetPrintTitleFirstCol() - 1);
  const auto lastCol = static_cast<uint8_t>(setup.GetPrintTitleLastCol() - 1);
  std::vector<TXLSNameArea> areas;
  if (setup.HasPrintTitleColumns()) areas.push_back({0, last_row, firstCol, lastCol});
  if (setup.HasPrintTitleRows()) areas.push_back({firstRow, lastRow, 0, kLastTitleCol});
  return areas;
}

}  // namespace

template <class TBuild>
int32_t TXLSWorkbook::StoreTableRecords(int32_t count, TBuild build) {
  TXLSBlobList built;
  int32_t status = -1;
  for (int32_t i = 0; i < count; ++i) {
    const int32_t result = build(i, built);
    if (result == -1) return -1;
    if (result == 1) status = 1;
  }
  return status == 1 ? AppendRecordsOf(built) : status;
}

// The tables append to a plain list; their records are cut apart again by
// their headers so that each one passes through the workbook's section,
// which counts its bytes and applies the CONTINUE rule.
int32_t TXLSWorkbook::AppendRecordsOf(const TXLSBlobList& list) {
  TXLSMemoryStream bytes;
  if (list.Write(bytes) != 1) return -1;
  const std::vector<uint8_t>& data = bytes.Bytes();
  int32_t status = 1;
  for (size_t pos = 0; status == 1 && pos < data.size();) {
    if (data.size() - pos < 4) return -1;
    const size_t size = 4 + XLSGetLE<uint16_t>(&data[pos + 2]);
    if (data.size() - pos < size) return -1;
    TXLSBlob record(static_cast<uint32_t>(size));
    for (size_t k = 0; k < size; ++k) record.AddByte(data[pos + k]);
    status = Append(std::move(record));
    pos += size;
  }
  return status;
}

int32_t TXLSWorkbook::StoreCodePage() {
  return Append(MakeWordRecord(xlsrec::kCodePage, recordEncoder_->CodePageRecordValue(codePage_)));
}

int32_t TXLSWorkbook::StoreExterns() {
  return recordEncoder_->StoreGlobalExterns(*records_, recordSheetNames_);
}

// The defined names first: their NAME indexes, which formulas carry, then do
// not depend on the built-in names behind them.
int32_t TXLSWorkbook::StoreNames() {
  if (names_->Store(*records_, *this, *recordEncoder_) != 1) return -1;
  int32_t status = StorePrintAreaNames();
  if (status == 1) status = StorePrintTitleNames();
  return status == 1 ? StoreFilterDatabaseNames() : status;
}

int32_t TXLSWorkbook::StorePrintAreaNames() {
  int32_t status = 1;
  for (int32_t i = 1; status == 1 && i <= sheets_->GetCount(); ++i) {
    const std::optional<TXLSNameArea> area =
        PrintAreaOf(sheets_->GetSheet(i)->GetPageSetupObject());
    if (!area) continue;
    status =
        Append(recordEncoder_->BuiltinName(static_cast<uint16_t>(i - 1), kPrintAreaName, {*area}));
  }
  return status;
}

int32_t TXLSWorkbook::StorePrintTitleNames() {
  int32_t status = 1;
  for (int32_t i = 1; status == 1 && i <= sheets_->GetCount(); ++i) {
    const std::vector<TXLSNameArea> areas =
        PrintTitleAreas(sheets_->GetSheet(i)->GetPageSetupObject(), recordEncoder_->NameMaxRow());
    if (areas.empty()) continue;
    status =
        Append(recordEncoder_->BuiltinName(static_cast<uint16_t>(i - 1), kPrintTitlesName, areas));
  }
  return status;
}

int32_t TXLSWorkbook::StoreFilterDatabaseNames() {
  int32_t status = 1;
  for (int32_t i = 1; status == 1 && i <= sheets_->GetCount(); ++i) {
    const auto& filter = sheets_->GetSheet(i)->GetAutoFilter();
    // A name's reference reaches the format's rows only (BIFF5: 16384).
    const int32_t maxRow = recordEncoder_->NameMaxRow();
    if (!filter || filter->FirstRow >= maxRow) continue;
    const TXLSNameArea area{static_cast<uint16_t>(filter->FirstRow),
                            static_cast<uint16_t>(std::min(filter->LastRow, maxRow)),
                            static_cast<uint8_t>(filter->FirstCol),
                            static_cast<uint8_t>(filter->LastCol)};
    status = Append(
        recordEncoder_->BuiltinName(static_cast<uint16_t>(i - 1), kFilterDatabaseName, {area}));
  }
  return status;
}

int32_t TXLSWorkbook::StoreWindow1() {
  const TXLSWorksheet* active = sheets_->GetActiveSheet();
  const uint16_t activeTab =
      active != nullptr ? static_cast<uint16_t>(active->GetSheetIndex() - 1) : 0;
  // A first tab left behind by a deleted sheet would point past the tabs.
  const uint16_t firstTab = firstTab_ < sheets_->GetCount() ? firstTab_ : 0;
  TXLSBlob record = MakeRecord(xlsrec::kWindow1, 18);
  record.AddWord(0);
  record.AddWord(0);
  record.AddWord(kWindowWidth);
  record.AddWord(kWindowHeight);
  record.AddWord(kWindowOptions);
  record.AddWord(activeTab);
  record.AddWord(firstTab);
  record.AddWord(selectedCount_);
  record.AddWord(kTabBarRatio);
  return Append(std::move(record));
}

int32_t TXLSWorkbook::Store1904() {
  return Append(MakeWordRecord(xlsrec::k1904, date1904_));
}

// PROTECT and, right after it, PASSWORD, only when the workbook is protected:
// the same two records a protected sheet writes.
int32_t TXLSWorkbook::StoreProtect() {
  return protect_->Store(*records_);
}

int32_t TXLSWorkbook::StoreAllFonts() {
  const TXLSFontList& fonts = xfList_->Fonts();
  return StoreTableRecords(fonts.ReferredCount(), [this, &fonts](int32_t i, TXLSBlobList& list) {
    return fonts.GetFont(i, list, *recordEncoder_);
  });
}

int32_t TXLSWorkbook::StoreAllNumFormats() {
  const TXLSNumFormatList& formats = xfList_->NumFormats();
  return StoreTableRecords(formats.Count(), [this, &formats](int32_t i, TXLSBlobList& list) {
    return formats.GetNumFormatBlob(i, list, *recordEncoder_);
  });
}

int32_t TXLSWorkbook::StoreAllXFS() {
  return StoreTableRecords(xfList_->ReferredCount(), [this](int32_t i, TXLSBlobList& list) {
    return xfList_->GetXFBlob(i, list, *recordEncoder_);
  });
}

int32_t TXLSWorkbook::StoreAllStyles() {
  const TXLSStyles& styles = xfList_->Styles();
  // Styles are numbered from the list's first index on.
  return StoreTableRecords(styles.Count(), [this, &styles](int32_t i, TXLSBlobList& list) {
    return styles.GetStyleBlob(styles.FirstIndex() + i, list, *recordEncoder_);
  });
}

int32_t TXLSWorkbook::StorePalette() {
  return StoreTableRecords(
      1, [this](int32_t, TXLSBlobList& list) { return palette_.StorePalette(list); });
}

int32_t TXLSWorkbook::StoreDrawingGroup() {
  return recordEncoder_->StoreDrawingGroup(*records_);
}

// The shared strings start where the records built so far end, behind the
// sheet list that is appended before them.
int32_t TXLSWorkbook::StoreSharedStrings() {
  const int64_t offset = int64_t{globalsBase_} + records_->Size();
  return recordEncoder_->StoreSharedStrings(*records_, static_cast<uint32_t>(offset));
}

int32_t TXLSWorkbook::StoreGlobalsPart(TXLSGlobalsPart part) {
  using P = TXLSGlobalsPart;
  switch (part) {
    case P::kCodePage:
      return StoreCodePage();
    case P::kExterns:
      return StoreExterns();
    case P::kNames:
      return StoreNames();
    case P::kWindow1:
      return StoreWindow1();
    case P::k1904:
      return Store1904();
    case P::kProtect:
      return StoreProtect();
    case P::kFonts:
      return StoreAllFonts();
    case P::kNumFormats:
      return StoreAllNumFormats();
    case P::kXFs:
      return StoreAllXFS();
    case P::kStyles:
      return StoreAllStyles();
    case P::kPalette:
      return StorePalette();
    case P::kBoundSheets:
      return 1;  // placed by StoreWorkbookRecords
    case P::kDrawingGroup:
      return StoreDrawingGroup();
    case P::kSharedStrings:
      return StoreSharedStrings();
  }
  return -1;
}

// The sheet list carries each sheet's stream offset, known only once every
// globals record is built: the records behind it are built first into a
// section of their own, then the list is placed between the two.
int32_t TXLSWorkbook::StoreWorkbookRecords() {
  const std::vector<TXLSGlobalsPart>& order = recordEncoder_->GlobalsOrder();
  int32_t status = Append(recordEncoder_->Bof(xlsrec::kBofGlobals));
  size_t next = 0;
  for (; status == 1 && next < order.size() && order[next] != TXLSGlobalsPart::kBoundSheets; ++next)
    status = StoreGlobalsPart(order[next]);
  std::vector<TXLSBlob> boundSheets;
  int64_t boundSheetsSize = 0;
  for (int32_t i = 1; status == 1 && i <= sheets_->GetCount(); ++i) {
    boundSheets.push_back(recordEncoder_->BoundSheet(GetRecordSheetName(i), 0));
    boundSheetsSize += boundSheets.back().GetDataSize();
  }
  // The records behind the sheet list go to a section of their own.
  std::unique_ptr<TXLSRecordSection> head = std::move(records_);
  records_ = std::make_unique<TXLSRecordSection>(recordEncoder_->RecordLimit());
  globalsBase_ = static_cast<uint32_t>(head->Size() + boundSheetsSize);
  for (++next; status == 1 && next < order.size(); ++next) status = StoreGlobalsPart(order[next]);
  if (status == 1) status = Append(MakeRecord(xlsrec::kEof, 0));
  if (status == 1) status = PlaceSheets(int64_t{globalsBase_} + records_->Size());
  for (size_t i = 0; status == 1 && i < boundSheets.size(); ++i) {
    boundSheets[i].SetLong(sheets_->GetSheet(static_cast<int32_t>(i) + 1)->GetStreamOffset(), 4);
    status = head->Append(std::move(boundSheets[i]));
  }
  globalsTail_ = std::move(records_);
  records_ = std::move(head);
  if (status != 1 && lastError_.empty()) lastError_ = "a workbook record could not be built";
  return status;
}

// Offsets are 32-bit and a compound file holds at most 2 GiB in a stream.
int32_t TXLSWorkbook::PlaceSheets(int64_t globals_size) {
  int64_t position = globals_size;
  for (int32_t i = 1; i <= sheets_->GetCount(); ++i) {
    TXLSWorksheet* sheet = sheets_->GetSheet(i);
    sheet->SetStreamOffset(static_cast<uint32_t>(position));
    position += sheet->GetStreamSize();
  }
  if (position > static_cast<int64_t>(maxBookSize_)) {
    return Fail("the workbook needs " + std::to_string(position) +
                " bytes, more than one file can hold");
  }
  return 1;
}

}  // namespace tabulon
