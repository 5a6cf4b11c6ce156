// What the data-set export and the grid export share: the workbook they
// create and save, the worksheet of the current export, header and detail
// fonts, colours and borders, the cell coordinates, the number formats by
// field type, and the walk over the records.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "XLSComponent.h"
#include "XLSConstants.h"
#include "XLSDataSet.h"
#include "XLSExportReports.h"
#include "XLSHostFont.h"
#include "XLSInterfaces.h"
#include "XLSReportLayout.h"

namespace tabulon {

class TXLSColumnFit;
class TXLSDetailCells;
class TXLSWorkbook;
class TXLSWorksheet;

/// The borders the export components draw around every header, detail or
/// totals cell.
enum TBorderStyle : uint8_t {
  BorderStyleNone = 0,         ///< No border.
  BorderStyleSingleHair = 1,   ///< A single hairline.
  BorderStyleSingleThick = 2,  ///< A single thick line.
  BorderStyleSingleThin = 3,   ///< A single thin line.
  BorderStyleDouble = 4,       ///< A double line.
};

/// Raised when the exported block does not fit on a worksheet.
class EXLSExportError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// What the two export components share: the workbook they create, the
/// sheet of the latest export, fonts, colours, borders and the start cell.
class TXLSExportComponent : public TComponent {
 public:
  ~TXLSExportComponent() override;

  /// @return The font of header cells (Arial 10 bold unless changed).
  TFont& GetHeaderFont() { return headerFont_; }
  /// @return The font of detail cells (Arial 10 unless changed).
  TFont& GetDetailFont() { return detailFont_; }
  /// Copy the given font's attributes; the component keeps its own font.
  void SetHeaderFont(const TFont& font) { headerFont_.Assign(font); }
  /// Copies the given font's attributes to the detail font.
  /// @param font The font to copy.
  void SetDetailFont(const TFont& font) { detailFont_.Assign(font); }

  /// Has the workbook save itself: 1 when the file was written, -1 when not
  /// (GetLastError says why), 0 when there is no workbook (no export yet).
  int32_t SaveAs(const std::string& file_name);
  /// @return Why the last SaveAs failed, naming the path; empty after a success.
  const std::string& GetLastError() const { return lastError_; }

  /// The workbook of the exports so far, or null; the component owns it.
  IXLSWorkBook* GetWorkbook() const;
  /// The worksheet of the latest export, or null.
  IXLSWorkSheet* GetWorksheet() const { return sheet_.get(); }
  /// Detail rows written by the latest export.
  int32_t GetDetailCount() const { return detailCount_; }
  /// Sheets written by the latest export: 1, or more when its records
  /// continued on new sheets; 0 before the first export.
  int32_t GetSheetCount() const { return sheetCount_; }
  /// Rows used by the fullest sheet of the latest export (its last used
  /// row, counted from 1); 0 before the first export.
  int32_t GetMostSheetRows() const { return mostSheetRows_; }
  /// Checks, before any record is read, the settings that would stop the
  /// next export: a WorksheetName no sheet may have, a header (below
  /// StartRow and the title lines) below the rows a sheet may use, or a
  /// sheet with no row for a record below its header (and the totals row).
  /// @param code_page code page of the data set's texts, in which the
  ///   name is checked while no workbook exists yet (a workbook of an
  ///   earlier export checks it in its own).
  /// @param utf8_texts whether the data set hands out UTF-8 texts (and the
  ///   name is UTF-8), likewise.
  /// @throws EXLSExportError saying which, as the export would.
  void CheckLayout(uint16_t code_page = 1252, bool utf8_texts = false) const;

  /// The file format of the workbook the next export creates: xlExcel5 (39,
  /// BIFF5, Excel 5/95; the default) or xlExcel8 (56, BIFF8, Excel 97-2003).
  /// BIFF8 stores every text in Unicode: with a data set that hands out UTF-8
  /// (TDataSet::SetUtf8Texts) every character of the data and of the
  /// component's own texts is kept and none is reported as replaced. A BIFF8
  /// cell holds 32767 characters instead of 255 bytes, a sheet name 31
  /// characters instead of 31 bytes of the code page, and the totals stay
  /// formulas below row 16384. Another value, or a UTF-8 data set with
  /// BIFF5, makes the export throw EXLSExportError.
  int32_t FileFormat = xlExcel5;

  /// Name of the sheet the next export adds; empty gives "Sheet1" (a name
  /// another sheet holds leaves the generated "SheetN"). A name no sheet may
  /// have (over 31 bytes, 31 characters in BIFF8, or with one of
  /// [ ] : * ? / \) makes the export throw EXLSExportError; a name another
  /// sheet of the workbook holds leaves the generated name.
  std::string WorksheetName;
  /// Fill of header cells; clNone for no fill.
  TColor HeaderColor = clNone;
  /// Fill of detail cells; clNone for no fill.
  TColor DetailColor = clNone;
  /// Row of the header, from 0.
  uint16_t StartRow = 0;
  /// Column of the first field, from 0.
  uint16_t StartCol = 0;
  /// Lines around header cells (bsNone or bsSingle...).
  TBorderStyle HeaderBorderStyle;
  /// Lines around detail cells.
  TBorderStyle DetailBorderStyle;
  /// Colour of the header cells' lines; clNone for automatic (black).
  TColor HeaderBorderColor = clNone;
  /// Colour of the detail cells' lines; clNone for automatic (black).
  TColor DetailBorderColor = clNone;
  /// True: a totals row follows the detail rows, with SUM formulas under
  /// the numeric and currency columns, TotalsLabel in the first column and
  /// the header's font, fill and borders. Default false.
  bool Totals = false;
  /// Text of the first cell of the totals row, in UTF-8 like the texts of
  /// Layout. Default "Total".
  std::string TotalsLabel = "Total";
  /// Text of the first cell of the grand-total row, in UTF-8 like
  /// TotalsLabel. When Totals is set and the records continue on more than
  /// one sheet (Layout.RowsPerSheet), the last sheet gets a grand-total row
  /// below its totals row that adds up the totals rows of all the sheets:
  /// formulas with references to the other sheets' totals cells, or their
  /// value where the file format's formulas cannot address those cells
  /// (BIFF5 rows past 16384) or the formula is too long for its record.
  /// Continuation sheets keep a row free for it, so they hold one record
  /// fewer than the first (a sheet with room for one record only keeps
  /// none, and when it is the last, the grand total is left out). Default
  /// "Grand total".
  std::string GrandTotalLabel = "Grand total";

  /// How every sheet of the next exports is laid out as a report: title
  /// lines, frozen and repeated header, fitted columns, page setup, rows per
  /// sheet. See TXLSReportLayout for the defaults.
  TXLSReportLayout Layout;

  /// Called with every value an export changes or drops (a text cut to what
  /// a cell holds, a BLOB left out, a date or time field's value that is no date or
  /// time), as its record is written, and with every change to the
  /// component's own texts (Layout's, TotalsLabel) as the export starts;
  /// may be empty. The export goes on after
  /// it returns; an exception it throws ends the export.
  std::function<void(const TXLSValueReport&)> OnValueReport;
  /// How many reports GetValueReports keeps of one export.
  static constexpr size_t kMaxKeptValueReports = 100;
  /// @return The first kMaxKeptValueReports values the latest export changed
  /// or dropped, in the order they were written; empty when it wrote every
  /// value as the data set holds it. Cleared when an export starts.
  const std::vector<TXLSValueReport>& GetValueReports() const { return valueReports_; }
  /// @return How many values the latest export changed or dropped, also
  /// those beyond what GetValueReports keeps; 0 before the first export.
  int64_t GetValueReportCount() const { return valueReportCount_; }

 protected:
  /// One column of a totals row: its zero-based sheet column and the type
  /// of the field shown in it (numeric and currency types are summed).
  struct TTotalsColumn {
    int32_t Col;                    ///< zero-based sheet column
    TFieldType Type;                ///< the field's type; ftUnknown for a column without a field
    const TField* Field = nullptr;  ///< the field, for its display format; null for none
  };
  /// Writes the totals row under detail rows first_row to last_row of
  /// sheet, in row last_row + 1: TotalsLabel in the first column, a SUM of
  /// its detail rows under every other numeric or currency column (a sum
  /// reaching below row 16384, which BIFF5 formulas cannot address, is
  /// written as its value instead; BIFF8 formulas reach every row), each
  /// cell formatted like the header with the column's number format (the
  /// field's display format, else its type's), and
  /// notes its cells for the fitted widths. No detail rows: sums are 0.
  /// @param sheet the sheet holding the detail rows
  /// @param first_row zero-based first detail row
  /// @param last_row zero-based last detail row (first_row - 1 when none)
  /// @param columns the exported columns, left to right
  /// @throw EXLSExportError when the totals row would lie below the last row
  void WriteTotals(IXLSWorkSheet& sheet, int32_t first_row, int32_t last_row,
                   const std::vector<TTotalsColumn>& columns);

  /// One sheet's block of detail rows.
  struct TXLSDetailBlock {
    int32_t FirstRow = 0;     ///< zero-based sheet row of the block's first record
    int32_t LastRow = -1;     ///< zero-based row of its last record; FirstRow - 1 when empty
    int32_t FirstRecord = 1;  ///< 1-based number of its first record in the export
    int32_t LastRecord = 0;   ///< number of its last record; FirstRecord - 1 when empty
  };

  /// What a component writes on each sheet of an export.
  struct TXLSSheetContent {
    /// Writes the header row at HeaderRow() and returns the number of
    /// exported columns.
    std::function<int32_t()> Header;
    /// Writes the current record of the data set into zero-based sheet row
    /// `row`; `count` is its 1-based number in the export.
    std::function<void(int32_t row, int32_t count)> Record;
    /// Called on each sheet after its block of records and its layout; may
    /// be empty.
    std::function<void(const TXLSDetailBlock&)> AfterBlock;
    /// The exported columns as the totals row sums them.
    std::function<std::vector<TTotalsColumn>()> TotalsColumns;
  };

  /// @param owner The owning component, or null.
  /// @param border_style The header's and detail's border style to start with.
  TXLSExportComponent(TComponent* owner, TBorderStyle border_style);

  /// Creates the workbook at the first export in FileFormat, declaring the
  /// code page that data_set's texts are in, and taking UTF-8 texts when
  /// data_set hands them out.
  /// @param data_set The data set to export, or null (code page 1252).
  /// @throws EXLSExportError when FileFormat is none a workbook can be saved
  /// in, when a UTF-8 data set meets BIFF5, or when the workbook exists and
  /// has another file format or takes its texts in another form than
  /// data_set hands them out, which would garble them.
  void PrepareWorkbook(const TDataSet* data_set);
  /// Adds the sheet and names it WorksheetName ("Sheet1" when empty).
  /// @throws EXLSExportError when WorksheetName is not one a sheet may have.
  void CreateWorksheet();
  /// Throws EXLSExportError naming WorksheetName when no sheet may have it.
  /// @param code_page, utf8_texts The form of the name's text, while no
  /// workbook exists (its own is taken otherwise).
  void RequireSheetName(uint16_t code_page, bool utf8_texts) const;
  /// SaveAs, then the workbook is destroyed so that the next export starts a
  /// new one.
  int32_t SaveAndDiscard(const std::string& file_name);

  /// Throws EXLSExportError when count columns from StartCol leave the sheet.
  void CheckColumns(int32_t count) const;
  /// The cell at a zero-based row and column.
  XLSPtr<IXLSRange> Cell(int32_t row, int32_t col) const;
  /// The block between two zero-based corners; corners outside the sheet are
  /// moved to its edge.
  XLSPtr<IXLSRange> Block(int32_t row1, int32_t col1, int32_t row2, int32_t col2) const;

  /// Writes the current worksheet and, when the records do not fit on it,
  /// continuation sheets: each gets the title lines, the header, its block
  /// of records and the layout (ExportSheet). The records are walked from
  /// the first (none without a data set) with controls disabled; afterwards,
  /// also when an error interrupts the walk, the data set is back on its
  /// former record and its controls are enabled again. Sets the detail count
  /// and the sheet count.
  /// @return the block of the last sheet.
  /// @throws EXLSExportError when the header (below StartRow and the title
  /// lines) lies below the rows a sheet may use, or when a sheet has no
  /// room for a record below its header; errors of the data set and of the
  /// content's functions pass on.
  TXLSDetailBlock ExportSheets(TDataSet* data_set, const TXLSSheetContent& content);
  /// One sheet: header, title lines, then the records from the data set's
  /// current one (none without a data set) until the sheet's last row
  /// (LastSheetRow) or the end of the data, then the layout, then
  /// content.AfterBlock.
  /// @return the sheet's block of records.
  TXLSDetailBlock ExportSheet(TDataSet* data_set, const TXLSSheetContent& content);
  /// Zero-based row of the header: StartRow, below the title lines.
  int32_t HeaderRow() const;
  /// Zero-based last row a sheet's records may use: Layout.RowsPerSheet - 1,
  /// or the sheet's last row.
  int32_t LastSheetRow() const;
  /// Notes a header text of sheet column `col` for the fitted widths (when
  /// Layout.FitColumns is set).
  void NoteHeaderWidth(int32_t col, std::string_view text, const TFont& font);
  /// Notes a detail value of sheet column `col` with the number format it
  /// got (null: General) for the fitted widths (when Layout.FitColumns is set).
  void NoteDetailWidth(int32_t col, const OleVariant& value, const char* num_format,
                       const TFont& font);

  /// What a detail cell gets besides its value.
  struct TXLSDetailStyle {
    const TFont* Font;  ///< the cell's font
    TColor Fill;        ///< its fill; clNone for none
    int32_t HAlign;     ///< its horizontal alignment (xlHAlign...); 0 leaves it
    bool AlignDates;    ///< dates and times are aligned by Layout.DateAlignment
  };
  /// Writes one detail cell at zero-based (row, col) of the current sheet:
  /// the field's value (a boolean as a boolean cell; an empty cell without
  /// a field), the
  /// detail font, fill and edges (FormatDetailCell), the alignment, the
  /// number format (FieldNumFormat), then the field's own alignment over the
  /// style's and its type's, and notes its width
  /// for the fitted columns. While no caller needs the cell's range, the
  /// cell is written without one and takes the formats worked out for the
  /// first cell of its kind in its column; the file is the same either way.
  /// @param row zero-based sheet row of the cell
  /// @param col zero-based sheet column of the cell
  /// @param field the field whose current value is written; null for a
  /// column without a field (the cell is formatted and left empty)
  /// @param style the cell's font, fill and alignment
  /// @param want_range true when the caller needs the cell's range (a
  /// callback after the cell or row): the rest of the sheet is then written
  /// through ranges.
  /// @return the cell's range when want_range, else an empty pointer.
  XLSPtr<IXLSRange> WriteDetailCell(int32_t row, int32_t col, const TField* field,
                                    const TXLSDetailStyle& style, bool want_range);

  /// Header cells: font, alignment and fill.
  void FormatHeaderCell(IXLSRange& cell, const TFont& font, TColor fill, int32_t h_align) const;
  /// Draws the header lines on a cell.
  /// @param cell The header cell.
  void FormatHeaderBorders(IXLSRange& cell) const;
  /// Detail cells: font and fill, then the edges by DetailBorderStyle.
  void FormatDetailCell(IXLSRange& cell, const TFont& font, TColor fill) const;
  /// The number format of a field: its display format, else Layout's
  /// FloatFormat or CurrencyFormat for those types, else NumFormatByType's.
  /// @param type the field's type
  /// @param own the field's display format; empty for none
  /// @param date_time the value, for ftDateTime
  /// @return the format, or null for General (what NoteDetailWidth takes)
  const char* FieldNumFormat(TFieldType type, const std::string& own, double date_time) const;
  /// The number format of a field's type without Layout's formats, or null
  /// for General.
  /// @param type the field's type
  /// @param date_time the value, for ftDateTime (a time of day other than
  /// midnight shows the time too)
  static const char* NumFormatByType(TFieldType type, double date_time);
  /// Checks the current value of field, just written to a detail cell of
  /// record number `record`, and reports it (OnValueReport, GetValueReports)
  /// when the cell does not hold it as the data set does. Cheap when the value
  /// is written as it is: a few comparisons, no allocation.
  void NoteValueReport(const TField& field, int32_t record);
  /// Forgets the reports of the previous export; called when an export starts.
  void ClearValueReports();

 private:
  void FormatDetailBorders(IXLSRange& cell) const;
  const char* FormatDetailField(IXLSRange& cell, const TField* field,
                                const TXLSDetailStyle& style) const;
  TXLSWorksheet& Sheet() const;
  // Throws EXLSExportError when the header lies below the rows a sheet may use.
  void CheckHeaderRow() const;
  // The error of a record ("record 3", "a record") that finds no row on a
  // sheet ending at last_row.
  EXLSExportError NoRoomError(const std::string& record, int32_t last_row) const;
  void AddContinuationSheet();
  // Sets the SUM of column col's detail rows first_row to last_row as cell's
  // formula; false, leaving cell as it was, when the file format's formulas
  // cannot address those rows.
  bool WriteSumFormula(IXLSRange& cell, int32_t col, int32_t first_row, int32_t last_row);
  // A sheet's totals row, for the grand total of an export over several sheets.
  struct TXLSSheetTotals {
    XLSPtr<IXLSWorkSheet> Sheet;
    TXLSDetailBlock Block;  // the totals row is Block.LastRow + 1
  };
  // The number format of a totals column's cells, or null for General.
  const char* TotalsNumFormat(const TTotalsColumn& column) const;
  // The grand-total row at row `row` of the current (last) sheet: the sums
  // of the totals rows of sheetTotals_.
  void WriteGrandTotal(int32_t row, const std::vector<TTotalsColumn>& columns);
  // The grand total of one column as a formula over the totals cells; false
  // when the format's formulas cannot hold it.
  bool WriteGrandTotalFormula(IXLSRange& cell, int32_t col);
  // The last row of the current sheet that records may use.
  int32_t LastRecordRow() const;
  // Puts the filter drop-downs on the header and the block's records.
  void AddAutoFilter(int32_t columns, const TXLSDetailBlock& block);
  // Whether the sheet names and cell texts are BIFF8's: FileFormat until the
  // workbook exists, then the workbook's.
  bool IsBiff8() const;
  const char* FormatName() const { return IsBiff8() ? "BIFF8" : "BIFF5"; }
  // The longest start of a sheet name that takes at most max_length of the
  // format's unit, ending on a character boundary.
  std::string FitSheetName(const std::string& name, size_t max_length) const;
  // A text of the workbook (UTF-8, or bytes of its code page) in UTF-8.
  std::string TextAsUtf8(std::string_view text) const;
  // The length of a stored text as a cell of the format counts it: bytes of
  // the code page in BIFF5, UTF-16 units in BIFF8; a CR LF line break is one.
  size_t StoredLength(std::string_view text) const;
  // Reports a text of record `record` (0 for the component's own) that is
  // longer than a cell of the format holds.
  void NoteTextCut(int64_t record, const std::string& name, std::string_view text);
  TXLSDetailBlock WriteDetailBlock(TDataSet* data_set, int32_t columns,
                                   const std::function<void(int32_t, int32_t)>& record);
  void WriteTitles(int32_t columns);
  void WriteTitle(int32_t row, int32_t columns, const std::string& text, int32_t size);
  void LayOutSheet(int32_t columns);
  void SetUpPage(IXLSPageSetup& page) const;
  void ReportValue(int64_t record, std::string field_name, TXLSValueChange change,
                   std::string message);
  // The component's own texts in the workbook's code page, their losses
  // reported; done once an export, as every sheet of it shows the same texts.
  void ConvertOwnTexts();
  std::string ConvertOwnText(const std::string& utf8, const char* name, bool cell_text);

  // Layout's texts and TotalsLabel as the export writes them.
  struct TXLSOwnTexts {
    std::string Title;
    std::string Subtitle;
    std::string Header[3];  // left, centre, right
    std::string Footer[3];
    std::string TotalsLabel;
    std::string GrandTotalLabel;
  };

  std::unique_ptr<TXLSWorkbook> workbook_;
  XLSPtr<IXLSWorkSheet> sheet_;
  TFont headerFont_;
  TFont detailFont_;
  std::string lastError_;
  int32_t detailCount_ = 0;
  int32_t sheetCount_ = 0;
  int32_t mostSheetRows_ = 0;
  std::string firstSheetName_;
  std::unique_ptr<TXLSColumnFit> columnFit_;
  TXLSOwnTexts ownTexts_;
  // The totals rows of the latest export's sheets so far.
  std::vector<TXLSSheetTotals> sheetTotals_;
  // The current sheet's detail cells while they are written without ranges.
  std::unique_ptr<TXLSDetailCells> detailCells_;
  std::vector<TXLSValueReport> valueReports_;
  int64_t valueReportCount_ = 0;
};

}  // namespace tabulon
