// Column and row information of one worksheet: widths, heights, hidden flags
// and the default cell format of whole columns and rows, kept only for the
// columns and rows that were given something. At save time they become the
// STANDARDWIDTH and COLINFO records and the DEFAULTROWHEIGHT and ROW records
// at the head of the sheet substream.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "XLSBlob.h"
#include "XLSRecordSection.h"
#include "xlsxf.h"

namespace tabulon {

// The number a record carries for an XF index: the table's save index minus
// 1, or 0 for an index of 0 or less. An index the table did not number (it is
// outside the table) is read as the default cell format, 15, so the record
// never names a format that is not written.
uint16_t XFRecordNumber(const TXLSXFList& xfList, int32_t xfIndex);

// Outline levels of rows and columns: 0 outside every group, 7 the deepest.
constexpr int32_t kMaxOutlineLevel = 7;

class TXLSColumnInfo {
 public:
  static constexpr uint16_t kDefaultWidth = 0x0924;  // 2340: 8.43 characters

  uint16_t Width = kDefaultWidth;  // 1/256 of a character, as Width2Excel gives it
  int32_t XFIndex = TXLSXFList::kDefaultXF;
  bool Hidden = false;
  uint8_t OutlineLevel = 0;  // 0 to kMaxOutlineLevel
  bool Collapsed = false;    // the summary column of a collapsed group
};

class TXLSColumnInfoList {
 public:
  static constexpr int32_t kColumnCount = 256;

  explicit TXLSColumnInfoList(TXLSXFList& xfList);
  TXLSColumnInfoList(const TXLSColumnInfoList&) = delete;
  TXLSColumnInfoList& operator=(const TXLSColumnInfoList&) = delete;
  ~TXLSColumnInfoList();

  // Getters answer with the default information for a column without
  // information of its own or outside 0 to 255; setters ignore such columns
  // and create the column's information when needed.
  float GetWidth(int32_t col) const;  // characters
  void SetWidth(int32_t col, float width);
  bool GetHidden(int32_t col) const;
  void SetHidden(int32_t col, bool value);
  int32_t GetXF(int32_t col) const;
  // Moves one XF reference from the column's current index to xfIndex.
  void SetXF(int32_t col, int32_t xfIndex);
  // Outline levels are clamped to 0 to kMaxOutlineLevel.
  int32_t GetOutlineLevel(int32_t col) const;
  void SetOutlineLevel(int32_t col, int32_t level);
  bool GetCollapsed(int32_t col) const;
  void SetCollapsed(int32_t col, bool value);
  // The deepest outline level of any column, 0 when none is grouped.
  int32_t GetMaxOutlineLevel() const;
  // Whether a group's summary column is right of its detail (the default)
  // or left of it; WSBOOL carries it.
  bool GetSummaryRight() const { return summaryRight_; }
  void SetSummaryRight(bool value) { summaryRight_ = value; }

  // The column's own information, or nullptr.
  const TXLSColumnInfo* GetColumnInfo(int32_t col) const;
  const TXLSColumnInfo& GetDefaultInfo() const { return default_; }
  // Lowest and highest column that has information, -1 when none has.
  int32_t GetFirstColumn() const;
  int32_t GetLastColumn() const;

  // COLINFO of the column (its own information or the default's) and
  // STANDARDWIDTH.
  TXLSBlob GetColInfoBlob(int32_t col) const;
  TXLSBlob GetDefColInfoBlob() const;
  // STANDARDWIDTH, then COLINFO for every column with information, in column
  // order; stops at the first failing append and returns its status.
  int32_t Store(TXLSRecordSection& section) const;

 private:
  TXLSColumnInfo* CreateColumnInfo(int32_t col);
  const TXLSColumnInfo& InfoOrDefault(int32_t col) const;

  TXLSXFList& xfList_;
  TXLSColumnInfo default_;
  std::array<std::unique_ptr<TXLSColumnInfo>, kColumnCount> columns_;
  bool summaryRight_ = true;
};

class TXLSRowInfo {
 public:
  static constexpr int16_t kDefaultHeight = 255;  // twips

  int16_t Height = kDefaultHeight;  // twips, 0 to 0x7FFF
  bool HeightSet = false;
  int32_t XFIndex = TXLSXFList::kDefaultXF;
  bool FormatSet = false;
  bool Hidden = false;
  uint8_t OutlineLevel = 0;  // 0 to kMaxOutlineLevel
  bool Collapsed = false;    // the summary row of a collapsed group
};

class TXLSRowInfoList {
 public:
  static constexpr int32_t kRowCount = 65536;
  static constexpr int32_t kBlockSize = 256;

  explicit TXLSRowInfoList(TXLSXFList& xfList);
  TXLSRowInfoList(const TXLSRowInfoList&) = delete;
  TXLSRowInfoList& operator=(const TXLSRowInfoList&) = delete;
  ~TXLSRowInfoList();

  // Points; 0 for a hidden row and for rows outside 0 to 65535.
  float GetHeight(int32_t row) const;
  // Shows the row again. Heights beyond what the record's 15 bits hold are
  // kept at the nearest height they can hold.
  void SetHeight(int32_t row, float points);
  bool GetHidden(int32_t row) const;
  void SetHidden(int32_t row, bool value);
  int32_t GetXF(int32_t row) const;
  // Moves one XF reference from the row's current index to xfIndex and marks
  // the row as formatted.
  void SetXF(int32_t row, int32_t xfIndex);
  // Outline levels are clamped to 0 to kMaxOutlineLevel. A grouped row has
  // information of its own, so it gets a ROW record without cells.
  int32_t GetOutlineLevel(int32_t row) const;
  void SetOutlineLevel(int32_t row, int32_t level);
  bool GetCollapsed(int32_t row) const;
  void SetCollapsed(int32_t row, bool value);
  // The deepest outline level of any row, 0 when none is grouped.
  int32_t GetMaxOutlineLevel() const;
  // Whether a group's summary row is below its detail (the default) or
  // above it; WSBOOL carries it.
  bool GetSummaryBelow() const { return summaryBelow_; }
  void SetSummaryBelow(bool value) { summaryBelow_ = value; }

  // The row's own information, or nullptr.
  TXLSRowInfo* GetRowInfo(int32_t row) const;
  // nullptr only for rows outside 0 to 65535.
  TXLSRowInfo* GetOrCreateRowInfo(int32_t row);
  const TXLSRowInfo& GetDefaultInfo() const { return default_; }
  // Smallest and largest row with information; meaningful when the count is
  // not 0. The count reaches 65536 when every row has information.
  uint16_t GetFirstRow() const { return firstRow_; }
  uint16_t GetLastRow() const { return lastRow_; }
  int32_t GetCount() const { return count_; }

  // ROW of the row (its own information or the default's) and
  // DEFAULTROWHEIGHT.
  TXLSBlob GetRowInfoBlob(int32_t row) const;
  TXLSBlob GetDefRowInfoBlob() const;
  // DEFAULTROWHEIGHT, then ROW for every row with information, in row order;
  // stops at the first failing append and returns its status.
  int32_t Store(TXLSRecordSection& section) const;
  // The two parts of Store on their own, for formats that place the ROW
  // records elsewhere.
  int32_t StoreDefaultHeight(TXLSRecordSection& section) const;
  int32_t StoreRows(TXLSRecordSection& section) const;

 private:
  using TBlock = std::array<std::unique_ptr<TXLSRowInfo>, kBlockSize>;

  const TXLSRowInfo& InfoOrDefault(int32_t row) const;
  TXLSBlob RowRecord(uint16_t row, const TXLSRowInfo& info) const;

  TXLSXFList& xfList_;
  TXLSRowInfo default_;
  std::array<std::unique_ptr<TBlock>, kRowCount / kBlockSize> blocks_;
  uint16_t firstRow_ = 0;
  uint16_t lastRow_ = 0;
  int32_t count_ = 0;
  bool summaryBelow_ = true;
};

// GUTS: the widths of the outline gutters and the deepest row and column
// levels + 1. Appended only when a row or column is grouped, so sheets
// without outlines keep their records as they were.
int32_t StoreOutlineGutters(TXLSRecordSection& section, const TXLSRowInfoList& rows,
                            const TXLSColumnInfoList& columns);

}  // namespace tabulon
