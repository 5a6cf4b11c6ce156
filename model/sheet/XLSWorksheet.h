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
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "XLSCellHeap.h"
#include "XLSFormula.h"
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
class TXLSNotes;
class TXLSFormatConditions;
class TXLSRecordEncoder;
class TXLSHyperlinks;
class TXLSValidations;

/// One sheet of a workbook. Callers reach it through IXLSWorkSheet (what
/// IXLSWorkSheets::Add hands out) or as TXLSWorkbook::GetSheets().GetSheet(i);
/// the record writers and save steps below serve the workbook's save.
class TXLSWorksheet : public XLSImplements<IXLSWorkSheet> {
 public:
  /// Zoom of a new sheet, in percent.
  static constexpr uint16_t kDefaultZoom = 100;

  /// Made by the worksheet collection (IXLSWorkSheets::Add); callers do not construct sheets.
  /// @param workbook The workbook the sheet belongs to.
  explicit TXLSWorksheet(TXLSWorkbook& workbook);
  ~TXLSWorksheet() override;

  /// Record writers, for a save in progress only (1 done, -1 refused or no save
  /// running, -2 outside the sheet); they write XF 0, the forms with xf that format.
  /// Callers fill sheets through ranges (FGetRange) instead.
  /// @param row Row, from 0.
  /// @param col Column, from 0.
  /// @param value The number.
  /// @return The status.
  virtual int32_t WriteNumber(uint16_t row, uint16_t col, double value);
  /// Text record; see WriteNumber.
  /// @param row Row, from 0.
  /// @param col Column, from 0.
  /// @param value Text in the workbook's code page, at most 255 bytes kept.
  /// @return The status.
  virtual int32_t WriteString(uint16_t row, uint16_t col, std::string_view value);
  /// Date-time record (its day serial); see WriteNumber.
  /// @param row Row, from 0.
  /// @param col Column, from 0.
  /// @param value Day serial.
  /// @return The status.
  virtual int32_t WriteDateTime(uint16_t row, uint16_t col, double value);
  /// Blank cell record; see WriteNumber.
  /// @param row Row, from 0.
  /// @param col Column, from 0.
  /// @return The status.
  virtual int32_t Write(uint16_t row, uint16_t col);
  /// WriteNumber with a cell format.
  /// @param row Row, from 0.
  /// @param col Column, from 0.
  /// @param value The number.
  /// @param xf Index into the workbook's cell-format table.
  /// @return The status.
  virtual int32_t WriteNumber(uint16_t row, uint16_t col, double value, int32_t xf);
  /// WriteString with a cell format.
  /// @param row Row, from 0.
  /// @param col Column, from 0.
  /// @param value Text in the workbook's code page.
  /// @param xf Index into the workbook's cell-format table.
  /// @return The status.
  virtual int32_t WriteString(uint16_t row, uint16_t col, std::string_view value, int32_t xf);
  /// WriteDateTime with a cell format.
  /// @param row Row, from 0.
  /// @param col Column, from 0.
  /// @param value Day serial.
  /// @param xf Index into the workbook's cell-format table.
  /// @return The status.
  virtual int32_t WriteDateTime(uint16_t row, uint16_t col, double value, int32_t xf);
  /// Blank cell with a cell format.
  /// @param row Row, from 0.
  /// @param col Column, from 0.
  /// @param xf Index into the workbook's cell-format table.
  /// @return The status.
  virtual int32_t Write(uint16_t row, uint16_t col, int32_t xf);
  /// Merged writers: the top-left cell with the value, BLANKs for the rest of
  /// the rectangle, then one MERGEDCELLS. A single-cell area is refused (-1).
  virtual int32_t MergeWriteNumber(uint16_t row1, uint16_t col1, uint16_t row2, uint16_t col2,
                                   double value, int32_t xf);
  /// MergeWriteNumber with a text.
  /// @param row1 First row, from 0.
  /// @param col1 First column, from 0.
  /// @param row2 Last row.
  /// @param col2 Last column.
  /// @param value Text in the workbook's code page.
  /// @param xf Index into the cell-format table.
  /// @return The status.
  virtual int32_t MergeWriteString(uint16_t row1, uint16_t col1, uint16_t row2, uint16_t col2,
                                   std::string_view value, int32_t xf);
  /// MergeWriteNumber with a day serial.
  /// @param row1 First row, from 0.
  /// @param col1 First column, from 0.
  /// @param row2 Last row.
  /// @param col2 Last column.
  /// @param value Day serial.
  /// @param xf Index into the cell-format table.
  /// @return The status.
  virtual int32_t MergeWriteDateTime(uint16_t row1, uint16_t col1, uint16_t row2, uint16_t col2,
                                     double value, int32_t xf);
  /// MergeWriteNumber without a value.
  /// @param row1 First row, from 0.
  /// @param col1 First column, from 0.
  /// @param row2 Last row.
  /// @param col2 Last column.
  /// @param xf Index into the cell-format table.
  /// @return The status.
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
  /// The store's bounding rectangle, or A1 when no cell is stored.
  XLSPtr<IXLSRange> GetUsedRange() override;
  std::string GetWorkSheetName() override;
  /// Ignored when the collection refuses the name.
  void SetWorkSheetName(const std::string& name) override;
  uint16_t GetIndex() override;
  XLSPtr<IXLSWorkSheet> GetNextWorkSheet() override;
  XLSPtr<IXLSWorkSheet> GetPreviousWorkSheet() override;
  TXLSHPageBreaks* GetHPageBreaks() override;
  TXLSVPageBreaks* GetVPageBreaks() override;
  bool GetDisplayGridLines() override;
  void SetDisplayGridLines(bool display) override;
  /// The sheet leaves the workbook at once (it is not saved and its name is
  /// free again). An interface to it, its ranges or its page setup that a
  /// caller still holds stays valid until released; see Detach.
  void Delete() override;
  void Delete(int32_t unused) override;
  using IXLSWorkSheet::Move;
  void Move(IXLSWorkSheet* before, IXLSWorkSheet* after, int32_t unused) override;
  void Move(IXLSWorkSheet* before, IXLSWorkSheet* after) override;
  void Move(IXLSWorkSheet* before) override;
  void Select() override;
  void Select(bool replace) override;
  void Select(bool replace, int32_t unused) override;
  void ResetAllPageBreaks() override;
  void Activate() override;
  int32_t SetFirstSheet() override;
  int32_t ThawPanes(float y, float x, uint16_t top_row, uint16_t left_col) override;
  int32_t FreezePanes(uint16_t row, uint16_t col, uint16_t top_row, uint16_t left_col) override;
  /// Print titles are set through the page setup: these answer -1.
  int32_t RepeatRows(uint16_t first, uint16_t last) override;
  int32_t RepeatColumns(uint16_t first, uint16_t last) override;
  /// 10 to 400 percent; anything else answers -1 and keeps the zoom.
  int32_t SetZoom(uint16_t zoom) override;
  /// Reads a 24-bit uncompressed bitmap file and keeps it as a picture of the
  /// sheet, written at every later save. -1 when refused (GetLastError says
  /// why): the file is not such a bitmap, the scaled size is not 1 to 65535
  /// pixels, or the picture would reach past the sheet.
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
  std::string GetLastError() override;
  int32_t SetNumbers(uint16_t row, uint16_t col, const double* values, size_t count,
                     TXLSRunDirection direction) override;
  int32_t SetDates(uint16_t row, uint16_t col, const double* serials, size_t count,
                   TXLSRunDirection direction) override;
  int32_t SetTexts(uint16_t row, uint16_t col, const std::string_view* texts, size_t count,
                   TXLSRunDirection direction) override;
  int32_t SetBooleans(uint16_t row, uint16_t col, const uint8_t* values, size_t count,
                      TXLSRunDirection direction) override;
  int32_t AddName(const std::string& name, const std::string& refers_to) override;
  int32_t AddHyperlink(IXLSRange* anchor, const std::string& address,
                       const std::string& text) override;
  using IXLSWorkSheet::AddHyperlink;
  int32_t SetOutlineSummary(int32_t summary_row, int32_t summary_column) override;

  /// Address forms of the writers: the text is parsed as a cell ('B3') or a
  /// rectangle ('A1:C4'); text that is not one answers the parser's -1.
  int32_t Write(const std::string& cell, int32_t xf = 0);
  /// WriteNumber at a cell text ("B3").
  /// @param cell Cell text.
  /// @param value The number.
  /// @param xf Cell format index.
  /// @return The status; -1 for text that is not a cell.
  int32_t WriteNumber(const std::string& cell, double value, int32_t xf = 0);
  /// WriteDateTime at a cell text.
  /// @param cell Cell text.
  /// @param value Day serial.
  /// @param xf Cell format index.
  /// @return The status; -1 for text that is not a cell.
  int32_t WriteDateTime(const std::string& cell, double value, int32_t xf = 0);
  /// WriteString at a cell text.
  /// @param cell Cell text.
  /// @param value Text in the workbook's code page.
  /// @param xf Cell format index.
  /// @return The status; -1 for text that is not a cell.
  int32_t WriteString(const std::string& cell, std::string_view value, int32_t xf = 0);
  /// MergeWrite over a rectangle text ("A1:C4").
  /// @param range Rectangle text.
  /// @param xf Cell format index.
  /// @return The status; -1 for text that is not a rectangle.
  int32_t MergeWrite(const std::string& range, int32_t xf);
  /// MergeWriteNumber over a rectangle text.
  /// @param range Rectangle text.
  /// @param value The number.
  /// @param xf Cell format index.
  /// @return The status.
  int32_t MergeWriteNumber(const std::string& range, double value, int32_t xf);
  /// MergeWriteDateTime over a rectangle text.
  /// @param range Rectangle text.
  /// @param value Day serial.
  /// @param xf Cell format index.
  /// @return The status.
  int32_t MergeWriteDateTime(const std::string& range, double value, int32_t xf);
  /// MergeWriteString over a rectangle text.
  /// @param range Rectangle text.
  /// @param value Text in the workbook's code page.
  /// @param xf Cell format index.
  /// @return The status.
  int32_t MergeWriteString(const std::string& range, std::string_view value, int32_t xf);
  /// Same as WriteNumber with a format.
  /// @param row Row, from 0.
  /// @param col Column, from 0.
  /// @param value The number.
  /// @param xf Cell format index.
  /// @return The status.
  int32_t WriteDouble(uint16_t row, uint16_t col, double value, int32_t xf);
  /// Same as MergeWriteNumber.
  /// @param row1 First row, from 0.
  /// @param col1 First column, from 0.
  /// @param row2 Last row.
  /// @param col2 Last column.
  /// @param value The number.
  /// @param xf Cell format index.
  /// @return The status.
  int32_t MergeWriteDouble(uint16_t row1, uint16_t col1, uint16_t row2, uint16_t col2, double value,
                           int32_t xf);
  /// Boolean cell record (BOOLERR holding TRUE or FALSE); see WriteNumber.
  /// @param row Row, from 0.
  /// @param col Column, from 0.
  /// @param value The boolean.
  /// @param xf Cell format index.
  /// @return The status.
  int32_t WriteBoolean(uint16_t row, uint16_t col, bool value, int32_t xf);
  /// One MERGEDCELLS record for the normalised rectangle; -1 for one cell.
  int32_t MergeCells(uint16_t row1, uint16_t col1, uint16_t row2, uint16_t col2);
  /// Widens the written-area bounds that DIMENSIONS reports; -2 outside the
  /// sheet.
  int32_t CheckDimensions(uint32_t row, uint32_t col);
  /// Writes a FORMULA record for (row, col) with the formula's tokens and
  /// cached result, followed by a STRING record when the result is text; the
  /// record asks the reader to recalculate when formula.NeedsRecalc is set.
  /// @param row zero-based row  @param col zero-based column
  /// @param formula the formula and its cached result
  /// @param xf the workbook XF index of the cell (0: none)
  /// @return 1 done, -1 outside a save or the record could not be built,
  ///         -2 cell outside the sheet
  int32_t WriteFormula(uint16_t row, uint16_t col, const TXLSFormula& formula, int32_t xf);

  /// Sheet stream, called by the workbook while it saves.
  /// Gives the sheet fresh, empty header and data sections (stream size 0);
  /// with a spill file, they move their bytes there as they grow.
  void BeginSave(TXLSSpillFile* spill = nullptr);
  /// Every stored cell becomes a cell record in the data section; 1.
  int32_t StoreCells();
  /// All other records, ending with EOF; 1 or the first failing status.
  int32_t Close();
  /// Header section, then data section; the status of the last write.
  int32_t WriteData(TXLSStream& stream) const;
  /// Moves the sections' records to their spill file, if they have one; 1 or -1.
  int32_t FlushSections();
  /// Frees the sections.
  void EndSave();
  /// Bytes appended to the two sections during the current save.
  int32_t GetStreamSize() const;
  /// @return Byte offset of the sheet in the stream "Book" (set while saving).
  uint32_t GetStreamOffset() const { return streamOffset_; }
  /// @param offset Byte offset of the sheet in the stream, set while saving.
  void SetStreamOffset(uint32_t offset) { streamOffset_ = offset; }
  /// @return The header records of the save in progress, or null.
  TXLSRecordSection* HeaderSection() { return header_.get(); }
  /// @return The data records of the save in progress, or null.
  TXLSRecordSection* DataSection() { return data_.get(); }
  /// Append a finished record (split into CONTINUEs when too long) and count
  /// its bytes; -1 outside a save.
  int32_t AppendHeader(TXLSBlob&& record);
  /// Appends a finished record to the data section; see AppendHeader.
  /// @param record The record, taken over.
  /// @return 1, or -1 outside a save.
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
  bool IsDetached() const { return detached_; }
  /// @return What formulas of other sheets hold to refer to this one; it
  ///         forgets the sheet when the sheet is deleted or freed.
  std::shared_ptr<const TXLSSheetLink> GetLink() const { return link_; }

  /// @return The workbook the sheet belongs to.
  TXLSWorkbook& GetWorkbook() { return workbook_; }
  /// @return The workbook, read only.
  const TXLSWorkbook& GetWorkbook() const { return workbook_; }
  /// @return The sheet name.
  const std::string& GetName() const { return name_; }
  /// Sets the name without asking the collection (it names new sheets).
  void SetNameUnchecked(const std::string& name) { name_ = name; }
  /// @return The position of the sheet, from 1.
  uint16_t GetSheetIndex() const { return index_; }
  /// @param index The position, from 1; kept by the collection.
  void SetSheetIndex(uint16_t index) { index_ = index; }
  /// @return Whether the sheet's tab is selected.
  bool IsSelected() const { return selected_; }
  /// @param selected Whether the sheet's tab is selected.
  void SetSelected(bool selected) { selected_ = selected; }
  /// @return The screen zoom in percent.
  uint16_t GetZoom() const { return zoom_; }
  /// @return Whether panes are frozen (FreezePanes).
  bool IsFrozen() const;
  /// @return The pane the selection is in (XLSPaneTopLeft .. XLSPaneBottomRight).
  uint16_t GetActivePane() const { return activePane_; }

  /// Sets the text GetLastError answers.
  /// @param reason what was refused and why, naming the caller's text.
  void SetLastError(std::string reason) { lastError_ = std::move(reason); }
  /// Parses a cell text as FGetRange does: 1 with the zero-based row and
  /// column, or -1 with the outputs untouched and a message naming the text
  /// in GetLastError.
  /// @param text the caller's cell text, 'A1' to 'IV65536'.
  /// @param row receives the zero-based row.
  /// @param col receives the zero-based column.
  int32_t ParseCellText(const std::string& text, uint16_t& row, uint8_t& col);
  /// @return The pictures placed on the sheet.
  TXLSPictures& GetPictures() { return *pictures_; }
  /// @return The hyperlinks of the sheet's cells (AddHyperlink).
  TXLSHyperlinks& GetHyperlinks() { return *hyperlinks_; }
  /// @return The data validations of the sheet's cells (IXLSRange::AddValidation).
  TXLSValidations& GetValidations() { return *validations_; }
  /// @return Where the sheet holds what only a BIFF8 file carries: "the
  ///         hyperlink in B2", "the data validation in C3:C9"; empty when
  ///         nothing.
  std::string Biff8OnlyContent() const;
  /// @return The notes (comments) of the sheet's cells.
  TXLSNotes& GetNotes() { return *notes_; }
  /// @return The conditional formats of the sheet's ranges.
  TXLSFormatConditions& GetFormatConditions() { return *formatConditions_; }

  /// @return The sheet's cell store.
  TXLSCellHeap& GetCellHeap() { return cells_; }
  /// The formulas of this sheet's cells, keyed by position.
  TXLSFormulas& GetFormulas() { return formulas_; }
  /// @return Column widths, formats and hidden flags.
  TXLSColumnInfoList& GetColumnInfo() { return *columnInfo_; }
  /// @return Row heights, formats and hidden flags.
  TXLSRowInfoList& GetRowInfo() { return *rowInfo_; }
  /// @return The page setup object (what GetPageSetup hands out).
  TXLSPageSetup& GetPageSetupObject() { return *pageSetup_; }
  /// @return The horizontal page breaks (GetHPageBreaks as a reference).
  TXLSHPageBreaks& HPageBreaks() { return *hPageBreaks_; }
  /// @return The vertical page breaks (GetVPageBreaks as a reference).
  TXLSVPageBreaks& VPageBreaks() { return *vPageBreaks_; }
  /// @return The sheet's protection state.
  TXLSProtect& GetProtect() { return *protect_; }
  /// None until the first FreezePanes or ThawPanes.
  TXLSPanes* GetPanes() { return panes_.get(); }

  /// The list an AutoFilter filters: zero-based corners, its first row the
  /// header that carries the drop-downs.
  struct TXLSFilterArea {
    int32_t FirstRow;  ///< the header row
    int32_t LastRow;   ///< the list's last row
    int32_t FirstCol;  ///< its first column
    int32_t LastCol;   ///< its last column
  };
  /// @return The sheet's filter list (IXLSRange::AutoFilter); none without one.
  const std::optional<TXLSFilterArea>& GetAutoFilter() const { return autoFilter_; }
  /// @param area The sheet's filter list, replacing the one it had.
  void SetAutoFilter(const TXLSFilterArea& area) { autoFilter_ = area; }
  /// Moves, widens or narrows the filter list as an insert or delete of the
  /// block row1..row2, col1..col2 moves the cells, as a spreadsheet moves an
  /// area reference: cells shifted down (vertical) move it only when the
  /// block spans all its columns, cells shifted right only when it spans all
  /// its rows. A list whose rows (or columns) are all deleted is removed.
  /// @param row1 first row of the block  @param col1 its first column
  /// @param row2 last row of the block  @param col2 its last column
  /// @param vertical true when the cells shift down or up
  /// @param insert true for an insert, false for a delete
  void ShiftAutoFilter(int32_t row1, int32_t col1, int32_t row2, int32_t col2, bool vertical,
                       bool insert);

  /// A new counted range over cell1 to cell2 (what FGetRange hands out); none
  /// when a text is not a cell address (GetLastError names it).
  XLSPtr<IXLSRange> GetRange(const std::string& cell1, const std::string& cell2);
  /// Takes over range as the sheet's own selection (marked owned).
  void SetSelectionRange(TXLSRange* range);
  /// The current selection range.
  TXLSRange& GetSelectionRange() { return *selection_; }

 private:
  /// Builds a cell record and appends it to the data section: -2 outside the
  /// sheet, -1 outside a save, else the append's status.
  template <class TBuild>
  int32_t WriteCell(uint32_t row, uint32_t col, TBuild build);
  /// Value record of the top-left cell, BLANKs for the rest, MERGEDCELLS.
  template <class TWriteFirst>
  int32_t MergeWriteArea(uint16_t row1, uint16_t col1, uint16_t row2, uint16_t col2, int32_t xf,
                         TWriteFirst writeFirst);
  void StoreCell(const TXLSCellRef& cell);
  /// What the run writers share: checks that the run stays on the sheet
  /// and erases the formulas of its cells; then the i-th cell is emptied
  /// when missing(i), else given its value by put(cell, i, texts). Cells a
  /// merged area covers (other than its top-left cell) are left alone.
  template <class TMissing, class TPut>
  int32_t SetRun(uint16_t row, uint16_t col, size_t count, TXLSRunDirection direction,
                 TMissing missing, TPut put);
  /// A run of numbers or dates: NaN leaves its cell empty.
  int32_t SetNumberRun(uint16_t row, uint16_t col, const double* values, size_t count,
                       TXLSRunDirection direction, TXLSValueType type);
  /// The XF number a record carries for an XF index of the workbook.
  uint16_t RecordXF(int32_t xf);
  TXLSPanes& PanesObject();
  TXLSWorkSheets& Sheets();
  int32_t AppendTo(TXLSRecordSection* section, TXLSBlob&& record);
  /// Makes a worksheet-owned range (not freed by references).
  std::unique_ptr<TXLSRange> MakeOwnedRange(const std::string& cell1, const std::string& cell2);

  int32_t StoreExterns(const TXLSRecordEncoder& encoder);
  int32_t StoreDimensions();
  int32_t StoreAutoFilterInfo();
  int32_t StoreDrawing(TXLSRecordEncoder& encoder);
  int32_t StoreFormatConditions(const TXLSRecordEncoder& encoder);
  int32_t StoreWindow2();
  int32_t StoreZoom();
  int32_t StoreSelection(TXLSRange& range);
  int32_t StoreEof();

  TXLSCellHeap cells_;
  TXLSFormulas formulas_;
  std::unique_ptr<TXLSRange> allCells_;
  std::unique_ptr<TXLSPanes> panes_;
  std::unique_ptr<TXLSProtect> protect_;
  std::unique_ptr<TXLSRange> selection_;
  /// Former selections a caller still holds a reference to.
  std::vector<std::unique_ptr<TXLSRange>> retiredSelections_;
  std::unique_ptr<TXLSPageSetup> pageSetup_;
  std::unique_ptr<TXLSHPageBreaks> hPageBreaks_;
  std::unique_ptr<TXLSVPageBreaks> vPageBreaks_;
  bool displayGridLines_ = true;
  std::unique_ptr<TXLSRowInfoList> rowInfo_;
  std::unique_ptr<TXLSColumnInfoList> columnInfo_;
  std::unique_ptr<TXLSPictures> pictures_;
  std::unique_ptr<TXLSHyperlinks> hyperlinks_;
  std::unique_ptr<TXLSValidations> validations_;
  std::unique_ptr<TXLSNotes> notes_;
  std::optional<TXLSFilterArea> autoFilter_;
  std::unique_ptr<TXLSFormatConditions> formatConditions_;
  uint16_t zoom_ = kDefaultZoom;
  uint16_t dimFirstRow_ = 0, dimLastRow_ = 0;
  uint8_t dimFirstCol_ = 0, dimLastCol_ = 0;
  bool dimWritten_ = false;
  uint16_t activePane_ = 3;
  std::unique_ptr<TXLSRecordSection> header_;
  std::unique_ptr<TXLSRecordSection> data_;
  TXLSWorkbook& workbook_;
  uint32_t streamOffset_ = 0;
  uint16_t index_ = 0;
  std::string name_;
  bool selected_ = false;
  bool detached_ = false;
  std::shared_ptr<TXLSSheetLink> link_;
  std::string lastError_;
};

}  // namespace tabulon
