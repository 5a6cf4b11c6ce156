#include "XLSColRowInfo.h"

#include <algorithm>

#include "XLSCellRef.h"
#include "XLSRecordIds.h"

namespace tabulon {

namespace {

// ROW options: bit 8 is always set; the others describe the row. The
// outline level takes bits 0 to 2.
constexpr uint16_t kRowAlwaysSet = 0x0100;
constexpr uint16_t kRowFormatted = 0x0080;
constexpr uint16_t kRowHeightSet = 0x0040;
constexpr uint16_t kRowHidden = 0x0020;
constexpr uint16_t kRowCollapsed = 0x0010;
// COLINFO options: hidden in bit 0, the outline level in bits 8 to 10.
constexpr uint16_t kColHidden = 0x0001;
constexpr int kColLevelShift = 8;
constexpr uint16_t kColCollapsed = 0x1000;
// GUTS: a gutter shows a button column of 12 pixels for every level and one
// for the whole sheet, beside a margin of 5 pixels.
constexpr int32_t kGutterPixelsPerLevel = 12;
constexpr int32_t kGutterMargin = 5;
// Bit 15 of the ROW height marks the default height.
constexpr uint16_t kDefaultHeightFlag = 0x8000;
constexpr int32_t kMaxRowTwips = 0x7FFF;

bool IsColumn(int32_t col) {
  return col >= 0 && col < TXLSColumnInfoList::kColumnCount;
}

bool IsRow(int32_t row) {
  return row >= 0 && row < TXLSRowInfoList::kRowCount;
}

uint8_t OutlineLevel(int32_t level) {
  return static_cast<uint8_t>(std::clamp(level, 0, kMaxOutlineLevel));
}

}  // namespace

uint16_t XFRecordNumber(const TXLSXFList& xfList, int32_t xfIndex) {
  if (xfIndex <= 0) return 0;
  const int32_t saveIndex = xfList.GetSaveIndex(xfIndex);
  if (saveIndex <= 0) return TXLSXFList::kDefaultXF;
  return static_cast<uint16_t>(saveIndex - 1);
}

// ---------------------------------------------------------------------------
// Columns

TXLSColumnInfoList::TXLSColumnInfoList(TXLSXFList& xfList) : xfList_(xfList) {
  default_.XFIndex = 0;
}

TXLSColumnInfoList::~TXLSColumnInfoList() = default;

const TXLSColumnInfo* TXLSColumnInfoList::GetColumnInfo(int32_t col) const {
  return IsColumn(col) ? columns_[static_cast<size_t>(col)].get() : nullptr;
}

const TXLSColumnInfo& TXLSColumnInfoList::InfoOrDefault(int32_t col) const {
  const TXLSColumnInfo* info = GetColumnInfo(col);
  return info ? *info : default_;
}

TXLSColumnInfo* TXLSColumnInfoList::CreateColumnInfo(int32_t col) {
  if (!IsColumn(col)) return nullptr;
  std::unique_ptr<TXLSColumnInfo>& slot = columns_[static_cast<size_t>(col)];
  if (!slot) {
    slot = std::make_unique<TXLSColumnInfo>();
    xfList_.ReplaceIndex(slot->XFIndex, default_.XFIndex);
    slot->XFIndex = default_.XFIndex;
    slot->Width = default_.Width;
  }
  return slot.get();
}

float TXLSColumnInfoList::GetWidth(int32_t col) const {
  return Excel2Width(InfoOrDefault(col).Width);
}

void TXLSColumnInfoList::SetWidth(int32_t col, float width) {
  if (TXLSColumnInfo* info = CreateColumnInfo(col)) info->Width = Width2Excel(width);
}

bool TXLSColumnInfoList::GetHidden(int32_t col) const {
  return InfoOrDefault(col).Hidden;
}

void TXLSColumnInfoList::SetHidden(int32_t col, bool value) {
  if (TXLSColumnInfo* info = CreateColumnInfo(col)) info->Hidden = value;
}

int32_t TXLSColumnInfoList::GetXF(int32_t col) const {
  return InfoOrDefault(col).XFIndex;
}

void TXLSColumnInfoList::SetXF(int32_t col, int32_t xfIndex) {
  if (TXLSColumnInfo* info = CreateColumnInfo(col)) {
    xfList_.ReplaceIndex(info->XFIndex, xfIndex);
    info->XFIndex = xfIndex;
  }
}

int32_t TXLSColumnInfoList::GetOutlineLevel(int32_t col) const {
  return InfoOrDefault(col).OutlineLevel;
}

// A column without information is at level 0 already: clearing its level
// creates none.
void TXLSColumnInfoList::SetOutlineLevel(int32_t col, int32_t level) {
  if (level <= 0 && !GetColumnInfo(col)) return;
  if (TXLSColumnInfo* info = CreateColumnInfo(col)) info->OutlineLevel = OutlineLevel(level);
}

bool TXLSColumnInfoList::GetCollapsed(int32_t col) const {
  return InfoOrDefault(col).Collapsed;
}

void TXLSColumnInfoList::SetCollapsed(int32_t col, bool value) {
  if (!value && !GetColumnInfo(col)) return;
  if (TXLSColumnInfo* info = CreateColumnInfo(col)) info->Collapsed = value;
}

int32_t TXLSColumnInfoList::GetMaxOutlineLevel() const {
  int32_t level = 0;
  for (const std::unique_ptr<TXLSColumnInfo>& info : columns_) {
    if (info) level = std::max<int32_t>(level, info->OutlineLevel);
  }
  return level;
}

int32_t TXLSColumnInfoList::GetFirstColumn() const {
  for (int32_t col = 0; col < kColumnCount; ++col) {
    if (GetColumnInfo(col)) return col;
  }
  return -1;
}

int32_t TXLSColumnInfoList::GetLastColumn() const {
  for (int32_t col = kColumnCount - 1; col >= 0; --col) {
    if (GetColumnInfo(col)) return col;
  }
  return -1;
}

TXLSBlob TXLSColumnInfoList::GetColInfoBlob(int32_t col) const {
  const TXLSColumnInfo& info = InfoOrDefault(col);
  const uint16_t column = static_cast<uint16_t>(IsColumn(col) ? col : 0);
  TXLSBlob record = MakeRecord(xlsrec::kColInfo, 11);
  record.AddWord(column);
  record.AddWord(column);
  record.AddWord(info.Width);
  record.AddWord(XFRecordNumber(xfList_, info.XFIndex));
  uint16_t options = info.Hidden ? kColHidden : 0;
  options |= static_cast<uint16_t>(info.OutlineLevel << kColLevelShift);
  if (info.Collapsed) options |= kColCollapsed;
  record.AddWord(options);
  record.AddByte(0);
  return record;
}

TXLSBlob TXLSColumnInfoList::GetDefColInfoBlob() const {
  return MakeWordRecord(xlsrec::kStandardWidth, default_.Width);
}

int32_t TXLSColumnInfoList::Store(TXLSRecordSection& section) const {
  int32_t status = section.Append(GetDefColInfoBlob());
  for (int32_t col = 0; status == 1 && col < kColumnCount; ++col) {
    if (GetColumnInfo(col)) status = section.Append(GetColInfoBlob(col));
  }
  return status;
}

// ---------------------------------------------------------------------------
// Rows

TXLSRowInfoList::TXLSRowInfoList(TXLSXFList& xfList) : xfList_(xfList) {
  default_.XFIndex = 0;
}

TXLSRowInfoList::~TXLSRowInfoList() = default;

TXLSRowInfo* TXLSRowInfoList::GetRowInfo(int32_t row) const {
  if (!IsRow(row)) return nullptr;
  const std::unique_ptr<TBlock>& block = blocks_[static_cast<size_t>(row / kBlockSize)];
  return block ? (*block)[static_cast<size_t>(row % kBlockSize)].get() : nullptr;
}

TXLSRowInfo* TXLSRowInfoList::GetOrCreateRowInfo(int32_t row) {
  if (!IsRow(row)) return nullptr;
  std::unique_ptr<TBlock>& block = blocks_[static_cast<size_t>(row / kBlockSize)];
  if (!block) block = std::make_unique<TBlock>();
  std::unique_ptr<TXLSRowInfo>& slot = (*block)[static_cast<size_t>(row % kBlockSize)];
  if (!slot) {
    slot = std::make_unique<TXLSRowInfo>();
    slot->Height = default_.Height;
    const uint16_t r = static_cast<uint16_t>(row);
    if (count_ == 0 || r < firstRow_) firstRow_ = r;
    if (count_ == 0 || r > lastRow_) lastRow_ = r;
    ++count_;
  }
  return slot.get();
}

const TXLSRowInfo& TXLSRowInfoList::InfoOrDefault(int32_t row) const {
  const TXLSRowInfo* info = GetRowInfo(row);
  return info ? *info : default_;
}

float TXLSRowInfoList::GetHeight(int32_t row) const {
  if (!IsRow(row)) return 0;
  const TXLSRowInfo& info = InfoOrDefault(row);
  return info.Hidden ? 0 : Excel2Height(static_cast<uint16_t>(info.Height));
}

void TXLSRowInfoList::SetHeight(int32_t row, float points) {
  if (TXLSRowInfo* info = GetOrCreateRowInfo(row)) {
    info->Hidden = false;
    info->Height = static_cast<int16_t>(std::clamp(Height2Excel(points), 0, kMaxRowTwips));
    info->HeightSet = true;
  }
}

bool TXLSRowInfoList::GetHidden(int32_t row) const {
  return IsRow(row) && InfoOrDefault(row).Hidden;
}

void TXLSRowInfoList::SetHidden(int32_t row, bool value) {
  if (TXLSRowInfo* info = GetOrCreateRowInfo(row)) info->Hidden = value;
}

int32_t TXLSRowInfoList::GetXF(int32_t row) const {
  return InfoOrDefault(row).XFIndex;
}

void TXLSRowInfoList::SetXF(int32_t row, int32_t xfIndex) {
  if (TXLSRowInfo* info = GetOrCreateRowInfo(row)) {
    xfList_.ReplaceIndex(info->XFIndex, xfIndex);
    info->XFIndex = xfIndex;
    info->FormatSet = true;
  }
}

int32_t TXLSRowInfoList::GetOutlineLevel(int32_t row) const {
  return InfoOrDefault(row).OutlineLevel;
}

// A row without information is at level 0 already: clearing its level
// creates none.
void TXLSRowInfoList::SetOutlineLevel(int32_t row, int32_t level) {
  if (level <= 0 && !GetRowInfo(row)) return;
  if (TXLSRowInfo* info = GetOrCreateRowInfo(row)) info->OutlineLevel = OutlineLevel(level);
}

bool TXLSRowInfoList::GetCollapsed(int32_t row) const {
  return InfoOrDefault(row).Collapsed;
}

void TXLSRowInfoList::SetCollapsed(int32_t row, bool value) {
  if (!value && !GetRowInfo(row)) return;
  if (TXLSRowInfo* info = GetOrCreateRowInfo(row)) info->Collapsed = value;
}

int32_t TXLSRowInfoList::GetMaxOutlineLevel() const {
  int32_t level = 0;
  if (count_ == 0) return level;
  for (int32_t row = firstRow_; row <= lastRow_; ++row) {
    if (const TXLSRowInfo* info = GetRowInfo(row))
      level = std::max<int32_t>(level, info->OutlineLevel);
  }
  return level;
}

TXLSBlob TXLSRowInfoList::RowRecord(uint16_t row, const TXLSRowInfo& info) const {
  uint16_t options = kRowAlwaysSet | info.OutlineLevel;
  if (info.Collapsed) options |= kRowCollapsed;
  if (info.FormatSet) options |= kRowFormatted;
  if (info.Hidden) options |= kRowHidden;
  if (info.HeightSet) options |= kRowHeightSet;
  const uint16_t height =
      info.HeightSet ? static_cast<uint16_t>(info.Height)
                     : static_cast<uint16_t>(TXLSRowInfo::kDefaultHeight | kDefaultHeightFlag);
  const uint16_t xf = info.FormatSet ? XFRecordNumber(xfList_, info.XFIndex)
                                     : static_cast<uint16_t>(TXLSXFList::kDefaultXF);
  TXLSBlob record = MakeRecord(xlsrec::kRow, 16);
  record.AddWord(row);
  record.AddWord(0);  // first column
  record.AddWord(0);  // last column + 1: no cell range declared
  record.AddWord(height);
  record.AddWord(0);
  record.AddWord(0);
  record.AddWord(options);
  record.AddWord(xf);
  return record;
}

TXLSBlob TXLSRowInfoList::GetRowInfoBlob(int32_t row) const {
  return RowRecord(static_cast<uint16_t>(IsRow(row) ? row : 0), InfoOrDefault(row));
}

TXLSBlob TXLSRowInfoList::GetDefRowInfoBlob() const {
  TXLSBlob record = MakeRecord(xlsrec::kDefaultRowHeight, 4);
  record.AddWord(0);
  record.AddWord(default_.HeightSet ? static_cast<uint16_t>(default_.Height)
                                    : static_cast<uint16_t>(TXLSRowInfo::kDefaultHeight));
  return record;
}

int32_t TXLSRowInfoList::Store(TXLSRecordSection& section) const {
  const int32_t status = StoreDefaultHeight(section);
  return status == 1 ? StoreRows(section) : status;
}

int32_t TXLSRowInfoList::StoreDefaultHeight(TXLSRecordSection& section) const {
  return section.Append(GetDefRowInfoBlob());
}

int32_t TXLSRowInfoList::StoreRows(TXLSRecordSection& section) const {
  int32_t status = 1;
  if (count_ == 0) return status;
  for (int32_t row = firstRow_; status == 1 && row <= lastRow_; ++row) {
    if (const TXLSRowInfo* info = GetRowInfo(row)) {
      status = section.Append(RowRecord(static_cast<uint16_t>(row), *info));
    }
  }
  return status;
}

// ---------------------------------------------------------------------------
// Outline gutters

namespace {

// Readers count the gutter's levels with the level of the whole sheet: one
// more than the deepest level, or 0 without groups.
uint16_t GutterLevels(int32_t deepest) {
  return static_cast<uint16_t>(deepest > 0 ? deepest + 1 : 0);
}

uint16_t GutterPixels(int32_t deepest) {
  return static_cast<uint16_t>(deepest > 0 ? kGutterMargin + kGutterPixelsPerLevel * (deepest + 1)
                                           : 0);
}

}  // namespace

int32_t StoreOutlineGutters(TXLSRecordSection& section, const TXLSRowInfoList& rows,
                            const TXLSColumnInfoList& columns) {
  const int32_t rowLevel = rows.GetMaxOutlineLevel();
  const int32_t colLevel = columns.GetMaxOutlineLevel();
  if (rowLevel == 0 && colLevel == 0) return 1;
  TXLSBlob record = MakeRecord(xlsrec::kGuts, 8);
  record.AddWord(GutterPixels(rowLevel));
  record.AddWord(GutterPixels(colLevel));
  record.AddWord(GutterLevels(rowLevel));
  record.AddWord(GutterLevels(colLevel));
  return section.Append(std::move(record));
}

}  // namespace tabulon
