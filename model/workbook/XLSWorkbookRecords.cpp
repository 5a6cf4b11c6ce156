// The workbook-level records of the stream "Book", one save step each, in
// the order of the stream: BOF, CODEPAGE, EXTERNCOUNT, EXTERNSHEET, NAME,
// WINDOW1, 1904, PROTECT, PASSWORD, the formatting tables, PALETTE, then
// (after the sheets have been placed) BOUNDSHEET and EOF.
#include <optional>
#include <vector>

#include "XLSByteOrder.h"
#include "XLSFormulaTokens.h"
#include "XLSPageSetup.h"
#include "XLSPanes.h"
#include "XLSProtect.h"
#include "XLSRecordIds.h"
#include "XLSRecordSection.h"
#include "XLSTextEncoder.h"
#include "XLSWorkSheets.h"
#include "XLSWorkbook.h"
#include "XLSWorksheet.h"
#include "xlsxf.h"

namespace tabulon {

namespace {

constexpr uint8_t kSheetInThisWorkbook = 0x03;

// Built-in names and the tokens of their formulas.
constexpr uint8_t kPrintAreaName = 0x06;
constexpr uint8_t kPrintTitlesName = 0x07;
constexpr uint16_t kBuiltinNameFlag = 0x0020;
constexpr uint16_t kShortNameFormulaLength = 21;
constexpr uint16_t kLongNameFormulaLength = 46;
constexpr uint16_t kShortNameLength = 15 + kShortNameFormulaLength;
constexpr uint16_t kLongNameLength = 15 + kLongNameFormulaLength;
constexpr uint16_t kUnionTokensSize = 43;
constexpr uint16_t kShortAreaReserved = 0x8005;
constexpr uint16_t kLongAreaReserved = 0x8008;
constexpr uint16_t kLastTitleRow = 0x3FFF;
constexpr uint8_t kLastTitleCol = 0xFF;

// Window of the file's first view: position, size, scroll bars and tabs shown.
constexpr uint16_t kWindowWidth = 0x25BC;
constexpr uint16_t kWindowHeight = 0x1572;
constexpr uint16_t kWindowOptions = 0x0038;
constexpr uint16_t kTabBarRatio = 0x0258;

// A BOUNDSHEET record less its name, and the EOF record: what CalcSheetOffsets
// adds for the records that follow the palette.
constexpr int64_t kBoundSheetFixedSize = 4 + 7;
constexpr int64_t kEofSize = 4;

// Zero-based bounds of a print area or a print-title block.
struct TNameArea {
  uint16_t firstRow;
  uint16_t lastRow;
  uint8_t firstCol;
  uint8_t lastCol;
};

std::optional<TNameArea> PrintAreaOf(TXLSPageSetup& setup) {
  if (!setup.HasPrintArea()) return std::nullopt;
  return TNameArea{static_cast<uint16_t>(setup.GetPrintAreaFirstRow()),
                   static_cast<uint16_t>(setup.GetPrintAreaLastRow()),
                   static_cast<uint8_t>(setup.GetPrintAreaFirstCol()),
                   static_cast<uint8_t>(setup.GetPrintAreaLastCol())};
}

// The formula header shared by both NAME forms, up to the name code.
void AddNameHeader(TXLSBlob& record, uint16_t sheet_index, uint8_t name_code,
                   uint16_t formula_length) {
  record.AddWord(kBuiltinNameFlag);
  record.AddByte(0);  // keyboard shortcut
  record.AddByte(1);  // a built-in name is one byte long: its code
  record.AddWord(formula_length);
  record.AddWord(static_cast<uint16_t>(sheet_index + 1));
  record.AddWord(static_cast<uint16_t>(sheet_index + 1));
  record.AddLong(0);  // no menu, description, help or status bar text
  record.AddByte(name_code);
}

// A 3-D area token: the sheet's negative external index, then the area.
void AddArea3d(TXLSBlob& record, uint16_t sheet_index, uint16_t reserved, const TNameArea& area) {
  record.AddByte(xlstoken::kArea3d);
  record.AddWord(static_cast<uint16_t>(0xFFFF - sheet_index));
  record.AddWord(0);
  record.AddWord(0);
  record.AddWord(0x1087);
  record.AddWord(reserved);
  record.AddWord(sheet_index);
  record.AddWord(sheet_index);
  record.AddWord(area.firstRow);
  record.AddWord(area.lastRow);
  record.AddByte(area.firstCol);
  record.AddByte(area.lastCol);
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

int32_t TXLSWorkbook::StoreBof(uint16_t sheet_type) {
  TXLSBlob record = MakeRecord(xlsrec::kBof, 8);
  record.AddWord(GetFileFormatVersion());
  record.AddWord(sheet_type);
  record.AddWord(xlsrec::kBofBuild);
  record.AddWord(xlsrec::kBofYear);
  return Append(std::move(record));
}

int32_t TXLSWorkbook::StoreCodePage() {
  return Append(MakeWordRecord(xlsrec::kCodePage, codePage_));
}

int32_t TXLSWorkbook::StoreExterns() {
  int32_t status = StoreExternCount();
  for (int32_t i = 1; status == 1 && i <= sheets_->GetCount(); ++i) {
    status = StoreExternSheet(GetRecordSheetName(i));
  }
  return status;
}

int32_t TXLSWorkbook::StoreExternCount() {
  return Append(MakeWordRecord(xlsrec::kExternCount, static_cast<uint16_t>(sheets_->GetCount())));
}

int32_t TXLSWorkbook::StoreExternSheet(const std::string& name) {
  TXLSBlob record = MakeRecord(xlsrec::kExternSheet, static_cast<uint16_t>(2 + name.size()));
  record.AddByte(static_cast<uint8_t>(name.size()));
  record.AddByte(kSheetInThisWorkbook);
  record.AddString(name);
  return Append(std::move(record));
}

int32_t TXLSWorkbook::StoreNames() {
  const int32_t status = StorePrintAreaNames();
  return status == 1 ? StorePrintTitleNames() : status;
}

int32_t TXLSWorkbook::StorePrintAreaNames() {
  int32_t status = 1;
  for (int32_t i = 1; status == 1 && i <= sheets_->GetCount(); ++i) {
    const std::optional<TNameArea> area = PrintAreaOf(sheets_->GetSheet(i)->GetPageSetupObject());
    if (!area) continue;
    status = StoreNameShort(static_cast<uint16_t>(i - 1), kPrintAreaName, area->firstRow,
                            area->lastRow, area->firstCol, area->lastCol);
  }
  return status;
}

int32_t TXLSWorkbook::StorePrintTitleNames() {
  int32_t status = 1;
  for (int32_t i = 1; status == 1 && i <= sheets_->GetCount(); ++i) {
    TXLSPageSetup& setup = sheets_->GetSheet(i)->GetPageSetupObject();
    const auto sheet = static_cast<uint16_t>(i - 1);
    const bool rows = setup.HasPrintTitleRows();
    const bool cols = setup.HasPrintTitleColumns();
    // Titles are kept 1-based; the records count from 0.
    const auto firstRow = static_cast<uint16_t>(setup.GetPrintTitleFirstRow() - 1);
    const auto lastRow = static_cast<uint16_t>(setup.GetPrintTitleLastRow() - 1);
    const auto firstCol = static_cast<uint8_t>(setup.GetPrintTitleFirstCol() - 1);
    const auto lastCol = static_cast<uint8_t>(setup.GetPrintTitleLastCol() - 1);
    if (rows && cols) {
      status = StoreNameLong(sheet, kPrintTitlesName, firstRow, lastRow, firstCol, lastCol);
    } else if (rows) {
      status = StoreNameShort(sheet, kPrintTitlesName, firstRow, lastRow, 0, kLastTitleCol);
    } else if (cols) {
      status = StoreNameShort(sheet, kPrintTitlesName, 0, kLastTitleRow, firstCol, lastCol);
    }
  }
  return status;
}

int32_t TXLSWorkbook::StoreNameShort(uint16_t sheet_index, uint8_t name_code, uint16_t first_row,
                                     uint16_t last_row, uint8_t first_col, uint8_t last_col) {
  TXLSBlob record = MakeRecord(xlsrec::kName, kShortNameLength);
  AddNameHeader(record, sheet_index, name_code, kShortNameFormulaLength);
  AddArea3d(record, sheet_index, kShortAreaReserved, {first_row, last_row, first_col, last_col});
  return Append(std::move(record));
}

// Title rows and title columns together: the union of the whole-column area
// of the title columns and the whole-row area of the title rows.
int32_t TXLSWorkbook::StoreNameLong(uint16_t sheet_index, uint8_t name_code, uint16_t first_row,
                                    uint16_t last_row, uint8_t first_col, uint8_t last_col) {
  TXLSBlob record = MakeRecord(xlsrec::kName, kLongNameLength);
  AddNameHeader(record, sheet_index, name_code, kLongNameFormulaLength);
  record.AddByte(xlstoken::kMemFunc);
  record.AddWord(kUnionTokensSize);
  AddArea3d(record, sheet_index, kLongAreaReserved, {0, kLastTitleRow, first_col, last_col});
  AddArea3d(record, sheet_index, kLongAreaReserved, {first_row, last_row, 0, kLastTitleCol});
  record.AddByte(xlstoken::kUnion);
  return Append(std::move(record));
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
    return fonts.GetFont(i, list, textEncoder_.get());
  });
}

int32_t TXLSWorkbook::StoreAllNumFormats() {
  const TXLSNumFormatList& formats = xfList_->NumFormats();
  return StoreTableRecords(formats.Count(), [this, &formats](int32_t i, TXLSBlobList& list) {
    return formats.GetNumFormatBlob(i, list, textEncoder_.get());
  });
}

int32_t TXLSWorkbook::StoreAllXFS() {
  return StoreTableRecords(xfList_->ReferredCount(), [this](int32_t i, TXLSBlobList& list) {
    return xfList_->GetXFBlob(i, list);
  });
}

int32_t TXLSWorkbook::StoreAllStyles() {
  const TXLSStyles& styles = xfList_->Styles();
  // Styles are numbered from the list's first index on.
  return StoreTableRecords(styles.Count(), [&styles](int32_t i, TXLSBlobList& list) {
    return styles.GetStyleBlob(styles.FirstIndex() + i, list);
  });
}

int32_t TXLSWorkbook::StorePalette() {
  return StoreTableRecords(
      1, [this](int32_t, TXLSBlobList& list) { return palette_.StorePalette(list); });
}

int32_t TXLSWorkbook::CalcSheetOffsets() {
  int64_t position = records_->Size() + kEofSize;
  for (int32_t i = 1; i <= sheets_->GetCount(); ++i) {
    position += kBoundSheetFixedSize + static_cast<int64_t>(GetRecordSheetName(i).size());
  }
  for (int32_t i = 1; i <= sheets_->GetCount(); ++i) {
    TXLSWorksheet* sheet = sheets_->GetSheet(i);
    sheet->SetStreamOffset(static_cast<uint32_t>(position));
    position += sheet->GetStreamSize();
  }
  // Offsets are 32-bit and a compound file holds at most 2 GiB in a stream.
  if (position > static_cast<int64_t>(maxBookSize_)) {
    return Fail("the workbook needs " + std::to_string(position) +
                " bytes, more than one file can hold");
  }
  return 1;
}

int32_t TXLSWorkbook::StoreBoundSheet(const std::string& name, uint32_t offset) {
  TXLSBlob record = MakeRecord(xlsrec::kBoundSheet, static_cast<uint16_t>(7 + name.size()));
  record.AddLong(offset);
  record.AddWord(0);  // a visible worksheet
  record.AddByte(static_cast<uint8_t>(name.size()));
  record.AddString(name);
  return Append(std::move(record));
}

int32_t TXLSWorkbook::StoreEof() {
  return Append(MakeRecord(xlsrec::kEof, 0));
}

}  // namespace tabulon
