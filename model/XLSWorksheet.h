// One sheet of a workbook: its cell store, column and row information, page
// setup and page breaks, panes, protection and its two own ranges (all cells,
// and the selection). Callers reach it through IXLSWorkSheet; the workbook
// drives its part of a save (BeginSave, StoreCells, Close, WriteData,
// EndSave), during which the cell-record writers append the sheet's records
// to a header section and a data section.
//
// Status codes of the writers: 1 done, -1 refused (bad argument, or no save
// running), -2 cell outside the sheet (row above 65535, column above 255).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "XLSCellHeap.h"
#include "XLSInterfaces.h"
#include "XLSObject.h"
#include "XLSRecordSection.h"

namespace tabulon {

class TXLSWorkbook;
class TXLSRange;
class TXLSColumnInfoList;
class TXLSRowInfoList;
class TXLSPageSetup;
class TXLSHPageBreaks;
class TXLSVPageBreaks;
class TXLSPanes;
class TXLSProtect;
class TXLSWorkSheets;
class TXLSPictures;

class TXLSWorksheet : public XLSImplements<IXLSWorkSheet> {
 public:
  static constexpr uint16_t kDefaultZoom = 100;

  explicit TXLSWorksheet(TXLSWorkbook& workbook);
  ~TXLSWorksheet() override;

  // Cell-record writers, virtual in this order. The forms without a format
  // write XF 0; a date-time is written as its serial number.
  virtual int32_t WriteNumber(uint16_t row, uint16_t col, double value);
  virtual int32_t WriteString(uint16_t row, uint16_t col, std::string_view value);
  virtual int32_t WriteDateTime(uint16_t row, uint16_t col, double value);
  virtual int32_t Write(uint16_t row, uint16_t col);
  virtual int32_t WriteNumber(uint16_t row, uint16_t col, double value, int32_t xf);
  virtual int32_t WriteString(uint16_t row, uint16_t col, std::string_view value, int32_t xf);
  virtual int32_t WriteDateTime(uint16_t row, uint16_t col, double value, int32_t xf);
  virtual int32_t Write(uint16_t row, uint16_t col, int32_t xf);
  // Merged writers: the top-left cell with the value, BLANKs for the rest of
  // the rectangle, then one MERGEDCELLS. A single-cell area is refused (-1).
  virtual int32_t MergeWriteNumber(uint16_t row1, uint16_t col1, uint16_t row2, uint16_t col2,
                                   double value, int32_t xf);
  virtual int32_t MergeWriteString(uint16_t row1, uint16_t col1, uint16_t row2, uint16_t col2,
                                   std::string_view value, int32_t xf);
  virtual int32_t MergeWriteDateTime(uint16_t row1, uint16_t col1, uint16_t row2, uint16_t col2,
                                     double value, int32_t xf);
  virtual int32_t MergeWrite(uint16_t row1, uint16_t col1, uint16_t row2, uint16_t col2,
                             int32_t xf);

  // IXLSWorkSheet
  XLSPtr<IXLSRange> GetCells() override;
  XLSPtr<IXLSRange> GetSelection() override;
  XLSPtr<IXLSPageSetup> GetPageSetup() override;
  // The rectangle between two cell texts ('B2'; the same text twice for one
  // cell). A text the cell grammar does not accept (empty, '$D$4', 'A0') or
  // one outside A1 to IV65536 gives no range (an empty XLSPtr) and leaves a
  // message naming the text in GetLastError.
  XLSPtr<IXLSRange> FGetRange(const std::string& cell1, const std::string& cell2) override;
  // The store's bounding rectangle, or A1 when no cell is stored.
  XLSPtr<IXLSRange> GetUsedRange() override;
  std::string GetWorkSheetName() override;
  // Ignored when the collection refuses the name.
  void SetWorkSheetName(const std::string& name) override;
  uint16_t GetIndex() override;
  XLSPtr<IXLSWorkSheet> GetNextWorkSheet() override;
  XLSPtr<IXLSWorkSheet> GetPreviousWorkSheet() override;
  TXLSHPageBreaks* GetHPageBreaks() override;
  TXLSVPageBreaks* GetVPageBreaks() override;
  bool GetDisplayGridLines() override;
  void SetDisplayGridLines(bool display) override;
  // The sheet leaves the workbook at once (it is not saved and its name is
  // free again). An interface to it, its ranges or its page setup that a
  // caller still holds stays valid until released; see Detach.
  void Delete() override;
  void Delete(int32_t unused) override;
  void Move(TXLSWorksheet* before, TXLSWorksheet* after, int32_t unused) override;
  void Move(TXLSWorksheet* before, TXLSWorksheet* after) override;
  void Move(TXLSWorksheet* before) override;
  void Select() override;
  void Select(bool replace) override;
  void Select(bool replace, int32_t unused) override;
  void ResetAllPageBreaks() override;
  void Activate() override;
  int32_t SetFirstSheet() override;
  int32_t ThawPanes(float y, float x, uint16_t top_row, uint16_t left_col) override;
  int32_t FreezePanes(uint16_t row, uint16_t col, uint16_t top_row, uint16_t left_col) override;
  // Print titles are set through the page setup: these answer -1.
  int32_t RepeatRows(uint16_t first, uint16_t last) override;
  int32_t RepeatColumns(uint16_t first, uint16_t last) override;
  // 10 to 400 percent; anything else answers -1 and keeps the zoom.
  int32_t SetZoom(uint16_t zoom) override;
  // Reads a 24-bit uncompressed bitmap file and keeps it as a picture of the
  // sheet, written at every later save. -1 when refused (GetLastError says
  // why): the file is not such a bitmap, the scaled size is not 1 to 65535
  // pixels, or the picture would reach past the sheet.
  int32_t InsertBitmap(uint16_t row, uint16_t col, const std::string& file_name, uint16_t x,
                       uint16_t y, float scale_x, float scale_y) override;
  int32_t InsertBitmap(uint16_t row, uint16_t col, const std::string& file_name) override;
  int32_t InsertBitmap(uint16_t row, uint16_t col, const std::string& file_name, uint16_t x,
                       uint16_t y) override;
  void Protect() override;
  void Protect(const std::string& password) override;
  void UnProtect() override;
  void UnProtect(const std::string& password) override;
  void UnProtect(const std::string& password, int32_t unused) override;

  // Address forms of the writers: the text is parsed as a cell ('B3') or a
  // rectangle ('A1:C4'); text that is not one answers the parser's -1.
  int32_t Write(const std::string& cell, int32_t xf = 0);
  int32_t WriteNumber(const std::string& cell, double value, int32_t xf = 0);
  int32_t WriteDateTime(const std::string& cell, double value, int32_t xf = 0);
  int32_t WriteString(const std::string& cell, std::string_view value, int32_t xf = 0);
  int32_t MergeWrite(const std::string& range, int32_t xf);
  int32_t MergeWriteNumber(const std::string& range, double value, int32_t xf);
  int32_t MergeWriteDateTime(const std::string& range, double value, int32_t xf);
  int32_t MergeWriteString(const std::string& range, std::string_view value, int32_t xf);
  int32_t WriteDouble(uint16_t row, uint16_t col, double value, int32_t xf);
  int32_t MergeWriteDouble(uint16_t row1, uint16_t col1, uint16_t row2, uint16_t col2, double value,
                           int32_t xf);
  // One MERGEDCELLS record for the normalised rectangle; -1 for one cell.
  int32_t MergeCells(uint16_t row1, uint16_t col1, uint16_t row2, uint16_t col2);
  // Widens the written-area bounds that DIMENSIONS reports; -2 outside the
  // sheet.
  int32_t CheckDimensions(uint32_t row, uint32_t col);

  // Sheet stream, called by the workbook while it saves.
  // Fresh, empty header and data sections; stream size 0.
  void BeginSave();
  // Every stored cell becomes a cell record in the data section; 1.
  int32_t StoreCells();
  // All other records, ending with EOF; 1 or the first failing status.
  int32_t Close();
  // Header section, then data section; the status of the last write.
  int32_t WriteData(TXLSStream& stream) const;
  // Frees the sections.
  void EndSave();
  // Bytes appended to the two sections during the current save.
  int32_t GetStreamSize() const;
  uint32_t GetStreamOffset() const { return StreamOffset_; }
  void SetStreamOffset(uint32_t offset) { StreamOffset_ = offset; }
  TXLSRecordSection* HeaderSection() { return Header_.get(); }
  TXLSRecordSection* DataSection() { return Data_.get(); }
  // Append a finished record (split into CONTINUEs when too long) and count
  // its bytes; -1 outside a save.
  int32_t AppendHeader(TXLSBlob&& record);
  int32_t AppendData(TXLSBlob&& record);

  /// Takes a sheet that its collection has just removed out of the
  /// workbook: it loses its index, selection and active state, and is freed
  /// at once when nothing holds it, else at the release of the last
  /// reference to it, its ranges (and their fonts, fills and borders) or its
  /// page setup. Until then the operations that need the workbook's
  /// collection do nothing, and those that answer a status answer -1.
  /// @param sheet the removed sheet; its ownership passes to the sheet itself.
  static void Detach(std::unique_ptr<TXLSWorksheet> sheet);
  /// True once the sheet has been deleted from its workbook.
  bool IsDetached() const { return Detached_; }

  TXLSWorkbook& GetWorkbook() { return Workbook_; }
  const std::string& GetName() const { return Name_; }
  // Sets the name without asking the collection (it names new sheets).
  void SetNameUnchecked(const std::string& name) { Name_ = name; }
  uint16_t GetSheetIndex() const { return Index_; }
  void SetSheetIndex(uint16_t index) { Index_ = index; }
  bool IsSelected() const { return Selected_; }
  void SetSelected(bool selected) { Selected_ = selected; }
  uint16_t GetZoom() const { return Zoom_; }
  bool IsFrozen() const;
  uint16_t GetActivePane() const { return ActivePane_; }

  /// Why the last refused operation of this sheet was refused: a picture
  /// InsertBitmap did not take (a successful InsertBitmap clears the text), or
  /// a cell text that FGetRange, GetRange, the address forms of the writers,
  /// or the page setup's print area and print titles did not accept (the
  /// message quotes the text).
  const std::string& GetLastError() const;
  /// Sets the text GetLastError answers.
  /// @param reason what was refused and why, naming the caller's text.
  void SetLastError(std::string reason) { LastError_ = std::move(reason); }
  /// Parses a cell text as FGetRange does: 1 with the zero-based row and
  /// column, or -1 with the outputs untouched and a message naming the text
  /// in GetLastError.
  /// @param text the caller's cell text, 'A1' to 'IV65536'.
  int32_t ParseCellText(const std::string& text, uint16_t& row, uint8_t& col);
  TXLSPictures& GetPictures() { return *Pictures_; }

  TXLSCellHeap& GetCellHeap() { return Cells_; }
  TXLSColumnInfoList& GetColumnInfo() { return *ColumnInfo_; }
  TXLSRowInfoList& GetRowInfo() { return *RowInfo_; }
  TXLSPageSetup& GetPageSetupObject() { return *PageSetup_; }
  TXLSHPageBreaks& HPageBreaks() { return *HPageBreaks_; }
  TXLSVPageBreaks& VPageBreaks() { return *VPageBreaks_; }
  TXLSProtect& GetProtect() { return *Protect_; }
  // None until the first FreezePanes or ThawPanes.
  TXLSPanes* GetPanes() { return Panes_.get(); }

  // A new counted range over cell1 to cell2 (what FGetRange hands out); none
  // when a text is not a cell address (GetLastError names it).
  XLSPtr<IXLSRange> GetRange(const std::string& cell1, const std::string& cell2);
  // Takes over range as the sheet's own selection (marked owned).
  void SetSelectionRange(TXLSRange* range);
  // The current selection range.
  TXLSRange& GetSelectionRange() { return *Selection_; }

 private:
  // Builds a cell record and appends it to the data section: -2 outside the
  // sheet, -1 outside a save, else the append's status.
  template <class TBuild>
  int32_t WriteCell(uint32_t row, uint32_t col, TBuild build);
  // Value record of the top-left cell, BLANKs for the rest, MERGEDCELLS.
  template <class TWriteFirst>
  int32_t MergeWriteArea(uint16_t row1, uint16_t col1, uint16_t row2, uint16_t col2, int32_t xf,
                         TWriteFirst writeFirst);
  void StoreCell(const TXLSCellRef& cell);
  // The XF number a record carries for an XF index of the workbook.
  uint16_t RecordXF(int32_t xf);
  TXLSPanes& PanesObject();
  TXLSWorkSheets& Sheets();
  int32_t AppendTo(TXLSRecordSection* section, TXLSBlob&& record);
  // Makes a worksheet-owned range (not freed by references).
  std::unique_ptr<TXLSRange> MakeOwnedRange(const std::string& cell1, const std::string& cell2);

  int32_t StoreBof(uint16_t type);
  int32_t StoreExternCount(uint16_t count);
  int32_t StoreExternSheet(const std::string& name);
  int32_t StoreExternSheets();
  int32_t StoreDimensions();
  int32_t StoreWindow2();
  int32_t StoreZoom();
  int32_t StoreSelection(TXLSRange& range);
  int32_t StoreEof();

  TXLSCellHeap Cells_;
  std::unique_ptr<TXLSRange> AllCells_;
  std::unique_ptr<TXLSPanes> Panes_;
  std::unique_ptr<TXLSProtect> Protect_;
  std::unique_ptr<TXLSRange> Selection_;
  // Former selections a caller still holds a reference to.
  std::vector<std::unique_ptr<TXLSRange>> RetiredSelections_;
  std::unique_ptr<TXLSPageSetup> PageSetup_;
  std::unique_ptr<TXLSHPageBreaks> HPageBreaks_;
  std::unique_ptr<TXLSVPageBreaks> VPageBreaks_;
  bool DisplayGridLines_ = true;
  std::unique_ptr<TXLSRowInfoList> RowInfo_;
  std::unique_ptr<TXLSColumnInfoList> ColumnInfo_;
  std::unique_ptr<TXLSPictures> Pictures_;
  uint16_t Zoom_ = kDefaultZoom;
  uint16_t RecordDataLimit_ = XLSRecordDataLimit;
  uint16_t DimFirstRow_ = 0, DimLastRow_ = 0;
  uint8_t DimFirstCol_ = 0, DimLastCol_ = 0;
  bool DimWritten_ = false;
  uint16_t ActivePane_ = 3;
  std::unique_ptr<TXLSRecordSection> Header_;
  std::unique_ptr<TXLSRecordSection> Data_;
  TXLSWorkbook& Workbook_;
  uint32_t StreamOffset_ = 0;
  uint16_t Index_ = 0;
  std::string Name_;
  bool Selected_ = false;
  bool Detached_ = false;
  std::string LastError_;
};

}  // namespace tabulon
