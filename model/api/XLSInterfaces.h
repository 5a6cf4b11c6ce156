// The nine interfaces of the object model. Callers built against these
// declarations see the same operations in the same order whatever class
// serves them: after the three counting slots of IXLSUnknown, each interface
// lists its operations in a fixed slot order, and the declaration order below
// is that order. Never reorder, insert or remove a method.
//
// Every operation that hands out an interface returns an XLSPtr, which holds
// one reference; callers never release by hand. Optional arguments are
// variants that the caller passes as OleVariant::Missing(). Interfaces of the
// workbook, its sheets, their collection and page setups stay valid only while
// the workbook lives; ranges and their companions must not outlive it either.
// Each interface has a protected destructor and no assignment, so an object is
// never destroyed or overwritten through an interface reference.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "OleVariant.h"
#include "XLSFormulaStatus.h"
#include "XLSObject.h"
#include "XLSRangeRules.h"

namespace tabulon {

/// Colour value, red in the low byte: 0x00BBGGRR. Host colours pass unchanged.
using TXLSColor = uint32_t;

class IXLSFont;
class IXLSInterior;
class IXLSBorders;
class IXLSBorder;
class IXLSRange;
class IXLSPageSetup;
class IXLSWorkSheet;
class IXLSWorkSheets;
class IXLSWorkBook;

/// Classes handed out as themselves rather than through an interface
/// (declared in XLSPageBreaks.h, which the umbrella header Tabulon.h includes).
class TXLSHPageBreaks;
class TXLSVPageBreaks;

/// A rectangle of cells. Row and column numbers of GetItem, GetRow and
/// GetColumn count from 1; GetFirstRow .. GetLastCol count from 0.
class IXLSRange : public IXLSUnknown {
 public:
  /// One cell relative to this range's top-left cell.
  /// @param row_offset 1 for the range's first row; larger values reach rows below.
  /// @param column_offset 1 for the range's first column; larger values reach columns to the right.
  /// Offsets are not limited to the range's size; sums beyond the sheet wrap to 16 and 8 bits.
  /// @return A new range over that one cell.
  virtual XLSPtr<IXLSRange> GetItem(uint16_t row_offset, uint16_t column_offset) = 0;
  /// Writes value into every cell of the range.
  /// A number, currency or date stores a number (a date as its day serial); a string
  /// stores text (saved as at most XLSStrMax (255) bytes of the workbook's code page in
  /// BIFF5, 32,767 characters in BIFF8), except that
  /// the exact decimal form of a 32-bit integer ("42") stores that number; Empty and
  /// Null clear the cell; a boolean stores a boolean (TRUE or FALSE in the file, a
  /// boolean again from GetValue). A one- or two-dimensional
  /// array fills the block, the first index running over rows: cells beyond the
  /// array's length get the text "#N/D", and a one-element array fills every cell.
  /// Arrays of more dimensions are ignored.
  /// @param value The value, usually an int, double, string or an OleVariant array.
  virtual void SetValue(const OleVariant& value) = 0;
  /// The stored values.
  /// @return For one cell its value, or Null when the cell is empty (and for merged
  /// cells other than the top-left one); for a block a 2-D array [0..rows-1, 0..columns-1]
  /// of such values.
  virtual OleVariant GetValue() = 0;
  /// The whole rows of this range (columns A to IV).
  /// @return A new rows range; its GetCount() is the number of rows.
  virtual XLSPtr<IXLSRange> GetEntireRow() = 0;
  /// The whole columns of this range (rows 1 to 65536).
  /// @return A new columns range; its GetCount() is the number of columns.
  virtual XLSPtr<IXLSRange> GetEntireColumn() = 0;
  /// This rectangle read by rows: GetCount() answers the number of rows and
  /// SetHidden hides rows.
  /// @return A new range over the same cells.
  virtual XLSPtr<IXLSRange> GetRows() = 0;
  /// This rectangle read by columns: GetCount() answers the number of columns and
  /// SetHidden hides columns.
  /// @return A new range over the same cells.
  virtual XLSPtr<IXLSRange> GetColumns() = 0;
  /// @return The first row, counted from 1.
  virtual int32_t GetRow() = 0;
  /// @return The first column, counted from 1 (A is 1).
  virtual int32_t GetColumn() = 0;
  /// @return Cells of the rectangle; rows for a rows range (GetRows, GetEntireRow);
  /// columns for a columns range (GetColumns, GetEntireColumn).
  virtual int32_t GetCount() = 0;
  /// The font of the range; setting a property formats every cell.
  /// @return A font object that keeps the range alive while held.
  virtual XLSPtr<IXLSFont> GetFont() = 0;
  /// The fill of the range; setting a property formats every cell.
  /// @return A fill object that keeps the range alive while held.
  virtual XLSPtr<IXLSInterior> GetInterior() = 0;
  /// Column widths in characters (the width of the digit 0 in the default font).
  /// @return A double for one column, else a 1-D array [0..columns-1] of doubles.
  virtual OleVariant GetColumnWidth() = 0;
  /// Sets the width of every column of the range, in characters (the width of the
  /// digit 0 in the default font, 0 to 255; the file keeps 1/256 of a character).
  /// @param width One number for all columns, or a 1-D array with one number per
  /// column. A value that does not convert changes no column.
  virtual void SetColumnWidth(const OleVariant& width) = 0;
  /// Row heights in points.
  /// @return A double for one row, else a 1-D array [0..rows-1] of doubles.
  virtual OleVariant GetRowHeight() = 0;
  /// Sets the height of every row of the range, in points (1/72 inch, kept on a
  /// quarter-point grid).
  /// @param height One number for all rows, or a 1-D array with one number per row.
  /// A value that does not convert changes no row.
  virtual void SetRowHeight(const OleVariant& height) = 0;
  /// Whether the rows (rows range) or columns (columns range) are hidden.
  /// @return A boolean for one row or column, else a 1-D array of booleans; false
  /// for a range of cells.
  virtual OleVariant GetHidden() = 0;
  /// Hides or shows the rows of a rows range or the columns of a columns range
  /// (GetRows, GetEntireRow, GetColumns, GetEntireColumn); a range of cells is left as it is.
  /// @param hidden A boolean, or a 1-D array with one per row or column.
  virtual void SetHidden(const OleVariant& hidden) = 0;
  /// @return Whether text wraps in the top-left cell (a boolean).
  virtual OleVariant GetWrapText() = 0;
  /// Wraps text in every cell of the range at the cell's width.
  /// @param wrap A boolean.
  virtual void SetWrapText(const OleVariant& wrap) = 0;
  /// All borders of the range at once: setting a property draws the outline and
  /// the inside lines; GetBorder picks one edge.
  /// @return A borders object that keeps the range alive while held.
  virtual XLSPtr<IXLSBorders> GetBorders() = 0;
  /// @return The number format text of the top-left cell.
  virtual std::string GetNumFormat() = 0;
  /// Sets the number format of every cell of the range.
  /// @param format A format text of the spreadsheet application ("0.00", "#,##0",
  /// "dd.mm.yyyy", "hh:mm:ss"); identical texts share one format. A date shows as its
  /// serial number until it gets a date format.
  virtual void SetNumFormat(const std::string& format) = 0;
  /// @return The horizontal alignment of the top-left cell (an xlHAlign constant).
  virtual int32_t GetHAlign() = 0;
  /// Sets the horizontal alignment of every cell of the range.
  /// @param alignment xlHAlignGeneral, xlHAlignLeft, xlHAlignCenter, xlHAlignRight,
  /// xlHAlignFill, xlHAlignJustify, xlHAlignCenterAcrossSelection; other values are ignored.
  virtual void SetHAlign(int32_t alignment) = 0;
  /// @return The vertical alignment of the top-left cell (an xlVAlign constant).
  virtual int32_t GetVAlign() = 0;
  /// Sets the vertical alignment of every cell of the range.
  /// @param alignment xlVAlignTop, xlVAlignCenter, xlVAlignBottom, xlVAlignJustify;
  /// other values are ignored.
  virtual void SetVAlign(int32_t alignment) = 0;
  /// This rectangle read as cells (GetCount() answers the number of cells).
  /// @return A new range over the same cells.
  virtual XLSPtr<IXLSRange> GetCells() = 0;
  /// Merges the range into one cell showing the top-left cell's value (the other
  /// values stay stored but are not shown); merged areas it touches are dissolved first.
  /// @param across true: merge each row of the range separately.
  virtual void Merge(const OleVariant& across) = 0;
  /// Makes this range, widened over the merged areas it touches, the sheet's
  /// selection (saved with the file).
  virtual void Select() = 0;
  /// Empties every cell of the range; formats stay.
  virtual void ClearContents() = 0;
  /// Empties every cell of the range and removes its formats.
  virtual void Clear() = 0;
  /// Inserts empty cells in place of the range, moving the cells there and
  /// beyond down or to the right, with their formats and merged areas.
  /// @param shift xlShiftDown or xlShiftToRight; OleVariant::Missing() shifts right
  /// for whole columns, else down.
  /// @return true, or false (nothing moved) when cells would be pushed off the sheet.
  virtual OleVariant Insert(const OleVariant& shift) = 0;
  /// Deletes the cells of the range, moving the cells beyond up or to the left;
  /// merged areas that cross the deleted block are dissolved.
  /// @param shift xlShiftUp or xlShiftToLeft; OleVariant::Missing() shifts left for
  /// whole columns, else up.
  /// @return true.
  virtual OleVariant Delete(const OleVariant& shift) = 0;
  /// @return The first column, counted from 0 (A is 0).
  virtual uint8_t GetFirstCol() = 0;
  /// @return The last column, counted from 0 (IV is 255).
  virtual uint8_t GetLastCol() = 0;
  /// @return The first row, counted from 0.
  virtual uint16_t GetFirstRow() = 0;
  /// @return The last row, counted from 0 (65535 at most).
  virtual uint16_t GetLastRow() = 0;
  /// Dissolves every merged area that lies in or crosses the range; the cells
  /// keep their values and formats.
  virtual void Unmerge() = 0;
  /// Sets a formula ("=SUM(B2:B9)*$B$1") on every cell of the range, filled
  /// as a user fills it: the text is read for the top-left cell and the
  /// relative parts of its references move with each cell; $ parts stay.
  /// The cells' values give way to the formula; their formats stay. Cells
  /// covered by a merged area (other than its top-left cell) are skipped.
  /// @param text the formula with its leading '='
  /// @return Code 1 when set; -1 with a Message naming the position when the
  ///         text is refused (syntax error, nesting deeper than 100 levels,
  ///         unknown function such as IFERROR, wrong argument count, unknown
  ///         sheet, reference outside the rows and columns A to IV a formula
  ///         of the workbook's file format can address: rows 1 to 16384 in
  ///         BIFF5, 1 to 65536 in BIFF8), or naming the first cell it cannot
  ///         reach when the fill would move a reference past that last row or
  ///         column IV, or when the range has more than 1,048,576 cells;
  ///         nothing is changed then.
  virtual TXLSFormulaStatus SetFormula(const std::string& text) = 0;
  /// @return the formula of the top-left cell as text ("=A2*$B$1"), moved
  ///         references as they now stand; empty when that cell holds none.
  virtual std::string GetFormula() = 0;
  /// @return Whether the top-left cell is locked: on a protected sheet
  ///         (IXLSWorkSheet::Protect) a locked cell cannot be changed. Cells
  ///         are locked until SetLocked(false).
  virtual bool GetLocked() = 0;
  /// Locks or unlocks every cell of the range; on a protected sheet the
  /// unlocked cells stay editable.
  /// @param locked false to let users edit the cells of a protected sheet
  virtual void SetLocked(bool locked) = 0;
  /// @return Whether the formula of the top-left cell is hidden on a
  ///         protected sheet (readers show its value only).
  virtual bool GetFormulaHidden() = 0;
  /// Hides or shows the formulas of every cell of the range while the sheet
  /// is protected.
  /// @param hidden true to show the values only
  virtual void SetFormulaHidden(bool hidden) = 0;
  /// Puts filter drop-downs on the range's first row: the range is the
  /// list a reader filters, its first row the header. A sheet has one
  /// filter; a new one replaces the old. The file holds it as the sheet's
  /// hidden built-in name _FilterDatabase and an AUTOFILTERINFO record (BIFF8
  /// adds a drop-down object per column); a BIFF5 name reaches row 16384, so rows below
  /// it stay out of a BIFF5 filter. Insert and Delete move and resize the
  /// list as they do an area reference of a formula; deleting all its rows
  /// or columns removes it.
  /// @return 1, or -1 (the sheet's GetLastError says why) for a range of
  ///         one row or a deleted sheet.
  virtual int32_t AutoFilter() = 0;
  /// Attaches a note (comment) to the top-left cell, replacing one it has.
  /// The sheet keeps it; Insert and Delete move it with its cell, and a
  /// deleted cell's note goes with the cell. Readers show it when the
  /// pointer rests on the cell.
  /// @param text The note's text (line breaks as "\n"), read as cell texts
  ///        are: at most 32,767 characters (UTF-16 units of a UTF-8 text,
  ///        bytes of a code page text).
  /// @return 1, or -1 (the sheet's GetLastError names the cell and the
  ///         limit) for a longer text, a sheet that already holds 32,767
  ///         notes, or a deleted sheet.
  virtual int32_t AddComment(const std::string& text) = 0;
  /// AddComment with the name of the note's author, shown by readers; BIFF5
  /// notes have no author and keep the text only.
  /// @param text The note's text.
  /// @param author Who wrote it: at most 255 characters, counted as the text.
  /// @return 1, or -1 (the sheet's GetLastError says why).
  virtual int32_t AddComment(const std::string& text, const std::string& author) = 0;
  /// Removes the notes of every cell of the range.
  virtual void ClearComments() = 0;
  /// Groups the rows of a rows range (GetRows, GetEntireRow) or the columns
  /// of a columns range one outline level deeper (7 levels at most), so a
  /// reader can collapse them.
  /// @return 1, or -1 (the sheet's GetLastError says why) for a range of
  ///         cells or a group deeper than 7 levels.
  virtual int32_t Group() = 0;
  /// Takes the rows or columns of the range one outline level up.
  /// @return 1, or -1 for a range of cells.
  virtual int32_t Ungroup() = 0;
  /// Collapses (false) or expands (true) the group the range's rows or columns are in (they
  /// and their neighbours at its level or deeper): the detail is hidden, or shown with its
  /// nested groups, and the summary row or column on SetOutlineSummary's side shows the state.
  /// @param show true to show the detail.
  /// @return 1, or -1 for a range of cells or rows or columns that are in no group.
  virtual int32_t SetShowDetail(bool show) = 0;
  /// Adds a data validation to every cell of the range (BIFF8 files only).
  /// The range's cells leave the validation they had, which keeps its other
  /// cells. A list's items are given as one text ("North,South,East", at
  /// most 255 characters) or as a reference ("=Lists!$A$1:$A$9"); other
  /// bounds are formulas read for the range's top-left cell.
  /// @param rule What is checked, and the messages.
  /// @return 1, or -1 (the sheet's GetLastError says why): a BIFF5
  ///         workbook, an unknown type, alert style or operator, a missing
  ///         bound, a formula that does not parse, a list over 255
  ///         characters, a title over 32 or a message over 255 characters.
  virtual int32_t AddValidation(const TXLSValidation& rule) = 0;
  /// Removes the data validations of the range's cells.
  virtual void DeleteValidation() = 0;
  /// Adds a conditional format to the range (BIFF8 files only); a range
  /// takes three conditions at most, the first that holds wins. Formulas
  /// name cells of the range's own sheet; their colours become the nearest
  /// palette colours, as font colours do.
  /// @param condition The condition and the format it shows.
  /// @return 1, or -1 (the sheet's GetLastError says why): a BIFF5
  ///         workbook, a formula that does not parse, names another sheet
  ///         or is a lone block of cells, a fourth condition.
  virtual int32_t AddFormatCondition(const TXLSFormatCondition& condition) = 0;
  /// Removes the conditional formats that cover the range's cells: every
  /// format whose range shares a cell with this one goes whole, with its
  /// conditions over its cells outside this range.
  virtual void DeleteFormatConditions() = 0;

 protected:
  ~IXLSRange() = default;
};

/// The font of a range: getters first, then the setters in their own order.
class IXLSFont : public IXLSUnknown {
 public:
  /// @return The font name of the top-left cell ("Arial" by default).
  virtual std::string GetName() = 0;
  /// @return The font size in points.
  virtual float GetSize() = 0;
  /// @return The font colour as a palette index 1 to 56; 61431 (the 16-bit form of
  /// xlColorIndexAutomatic) when automatic.
  virtual uint16_t GetColorIndex() = 0;
  /// @return The font colour as 0x00BBGGRR (red in the low byte).
  virtual TXLSColor GetColor() = 0;
  /// @return Whether the font is bold.
  virtual bool GetBold() = 0;
  /// @return Whether the font is italic.
  virtual bool GetItalic() = 0;
  /// @return Whether the font is struck through.
  virtual bool GetStrikethrough() = 0;
  /// @return Whether the font is outlined.
  virtual bool GetOutLineFont() = 0;
  /// @return Whether the font is shadowed.
  virtual bool GetShadow() = 0;
  /// @return The underline, an xlUnderlineStyle constant.
  virtual int32_t GetUnderLine() = 0;
  /// @return Whether the font is subscript.
  virtual bool GetSubScript() = 0;
  /// @return Whether the font is superscript.
  virtual bool GetSuperScript() = 0;
  /// Sets the font size of every cell.
  /// @param points Size in points (the file keeps twentieths of a point).
  virtual void SetSize(float points) = 0;
  /// Sets the font colour by palette index.
  /// @param index 1 to 56 (the workbook palette; 1 black, 2 white, 3 red, 5 blue), or
  /// xlColorIndexAutomatic. Other values are ignored.
  virtual void SetColorIndex(uint16_t index) = 0;
  /// Sets the font colour; the file stores the nearest palette colour.
  /// @param color 0x00BBGGRR (red in the low byte).
  virtual void SetColor(TXLSColor color) = 0;
  /// @param bold true for bold (weight 700), false for normal (400).
  virtual void SetBold(bool bold) = 0;
  /// @param italic true for italic.
  virtual void SetItalic(bool italic) = 0;
  /// @param strikethrough true to strike the text through.
  virtual void SetStrikethrough(bool strikethrough) = 0;
  /// @param outline true for an outlined font.
  virtual void SetOutLineFont(bool outline) = 0;
  /// @param shadow true for a shadowed font.
  virtual void SetShadow(bool shadow) = 0;
  /// @param underline xlUnderlineStyleNone, xlUnderlineStyleSingle,
  /// xlUnderlineStyleDouble, xlUnderlineStyleSingleAccounting or
  /// xlUnderlineStyleDoubleAccounting; other values are ignored.
  virtual void SetUnderLine(int32_t underline) = 0;
  /// @param subscript true for subscript (clears superscript).
  virtual void SetSubScript(bool subscript) = 0;
  /// @param superscript true for superscript (clears subscript).
  virtual void SetSuperScript(bool superscript) = 0;
  /// @param name Font name, such as "Arial" or "Times New Roman" (at most 255 bytes).
  virtual void SetName(const std::string& name) = 0;

 protected:
  ~IXLSFont() = default;
};

/// The fill of a range.
class IXLSInterior : public IXLSUnknown {
 public:
  /// Sets the fill colour; the file stores the nearest palette colour.
  /// @param color 0x00BBGGRR (red in the low byte).
  virtual void SetColor(TXLSColor color) = 0;
  /// @return The fill colour as 0x00BBGGRR.
  virtual TXLSColor GetColor() = 0;
  /// Sets the colour of the pattern's lines or dots.
  /// @param color 0x00BBGGRR.
  virtual void SetPatternColor(TXLSColor color) = 0;
  /// @return The pattern colour as 0x00BBGGRR.
  virtual TXLSColor GetPatternColor() = 0;
  /// Sets the fill colour by palette index; a fill with no pattern becomes solid.
  /// @param index 1 to 56 (the workbook palette), xlColorIndexNone (no fill) or
  /// xlColorIndexAutomatic; other values are ignored.
  virtual void SetColorIndex(int32_t index) = 0;
  /// Sets the pattern colour by palette index.
  /// @param index 1 to 56, xlColorIndexNone or xlColorIndexAutomatic.
  virtual void SetPatternColorIndex(int32_t index) = 0;
  /// @param pattern An xlPattern constant (xlPatternSolid, xlPatternGray50, ...,
  /// xlPatternNone); other values are ignored.
  virtual void SetPattern(int32_t pattern) = 0;
  /// @return The fill colour as palette index 1 to 56, or xlColorIndexNone.
  virtual int32_t GetColorIndex() = 0;
  /// @return The pattern colour as palette index 1 to 56, or xlColorIndexAutomatic.
  virtual int32_t GetPatternColorIndex() = 0;
  /// @return The fill pattern, an xlPattern constant.
  virtual int32_t GetPattern() = 0;

 protected:
  ~IXLSInterior() = default;
};

/// One border of a range.
class IXLSBorder : public IXLSUnknown {
 public:
  /// @return The line colour as 0x00BBGGRR.
  virtual TXLSColor GetColor() = 0;
  /// @return The line colour as palette index 1 to 56.
  virtual int32_t GetColorIndex() = 0;
  /// @return The line style, an xlLineStyle constant (xlLineStyleNone when no line).
  virtual int32_t GetLineStyle() = 0;
  /// Sets the line colour; the file stores the nearest palette colour.
  /// @param color 0x00BBGGRR.
  virtual void SetColor(TXLSColor color) = 0;
  /// @param index Line colour, palette index 1 to 56 or xlColorIndexAutomatic.
  virtual void SetColorIndex(int32_t index) = 0;
  /// Draws the line in a style.
  /// @param line_style xlContinuous, xlDash, xlDot, xlDouble, xlDashDot, xlDashDotDot,
  /// xlSlantDashDot, or xlLineStyleNone to remove the line.
  virtual void SetLineStyle(int32_t line_style) = 0;
  /// @return The line weight: xlHairline, xlThin, xlMedium or xlThick.
  virtual int32_t GetWeight() = 0;
  /// @param weight xlHairline, xlThin, xlMedium or xlThick.
  virtual void SetWeight(int32_t weight) = 0;

 protected:
  ~IXLSBorder() = default;
};

/// All borders of a range at once: the same operations as one border, in the
/// same slots, followed by GetBorder, which picks one border by its index.
class IXLSBorders : public IXLSBorder {
 public:
  /// One border of the range.
  /// @param border_index xlEdgeLeft, xlEdgeTop, xlEdgeBottom, xlEdgeRight,
  /// xlInsideVertical or xlInsideHorizontal; the diagonal indexes and others set nothing.
  /// @return A border object that keeps the range alive while held.
  virtual XLSPtr<IXLSBorder> GetBorder(int32_t border_index) = 0;

 protected:
  ~IXLSBorders() = default;
};

/// The print settings of a worksheet: all getters, then all setters.
class IXLSPageSetup : public IXLSUnknown {
 public:
  /// @return xlPortrait (1, the default) or xlLandscape (2).
  virtual int32_t GetOrientation() = 0;
  /// @return The paper size, an xlPaper constant; xlPaperUser (256), the
  /// user-defined size, until one is set.
  virtual int32_t GetPaperSize() = 0;
  /// @return The bottom margin in inches (1.0 by default).
  virtual double GetBottomMargin() = 0;
  /// @return The centre part of the footer text.
  virtual std::string GetCenterFooter() = 0;
  /// @return The centre part of the header text.
  virtual std::string GetCenterHeader() = 0;
  /// @return Whether the page content is centred between the side margins.
  virtual bool GetCenterHorizontally() = 0;
  /// @return Whether the page content is centred between top and bottom margins.
  virtual bool GetCenterVertically() = 0;
  /// @return Pages tall the sheet is fitted to (an integer; 0 when not fitted).
  virtual OleVariant GetFitToPagesTall() = 0;
  /// @return Pages wide the sheet is fitted to (an integer; 0 when not fitted).
  virtual OleVariant GetFitToPagesWide() = 0;
  /// @return Distance of the footer from the page bottom in inches (0.5 by default).
  virtual double GetFooterMargin() = 0;
  /// @return Distance of the header from the page top in inches (0.5 by default).
  virtual double GetHeaderMargin() = 0;
  /// @return The left part of the footer text.
  virtual std::string GetLeftFooter() = 0;
  /// @return The left part of the header text.
  virtual std::string GetLeftHeader() = 0;
  /// @return The left margin in inches (0.75 by default).
  virtual double GetLeftMargin() = 0;
  /// @return The print area as set ("A1:C5"), empty when there is none.
  virtual std::string FGetPrintArea() = 0;
  /// @return Whether grid lines are printed (true by default).
  virtual bool GetPrintGridlines() = 0;
  /// @return Whether row numbers and column letters are printed.
  virtual bool GetPrintHeadings() = 0;
  /// @return The columns repeated on every page ("$A:$B"), empty when none.
  virtual std::string GetPrintTitleColumns() = 0;
  /// @return The rows repeated on every page ("$1:$3"), empty when none.
  virtual std::string GetPrintTitleRows() = 0;
  /// @return The right part of the footer text.
  virtual std::string GetRightFooter() = 0;
  /// @return The right part of the header text.
  virtual std::string GetRightHeader() = 0;
  /// @return The right margin in inches (0.75 by default).
  virtual double GetRightMargin() = 0;
  /// @return The top margin in inches (1.0 by default).
  virtual double GetTopMargin() = 0;
  /// @return The print scale in percent (an integer, 100 by default).
  virtual OleVariant GetZoom() = 0;
  /// @param orientation xlPortrait (1) or xlLandscape (2); other values are ignored.
  virtual void SetOrientation(int32_t orientation) = 0;
  /// @param paper_size An xlPaper constant (xlPaperA4 9, xlPaperLetter 1, ...);
  /// xlPaperUser (256) is stored as 0; values outside 0 to 65535 are ignored.
  virtual void SetPaperSize(int32_t paper_size) = 0;
  /// @param inches Bottom margin in inches.
  virtual void SetBottomMargin(double inches) = 0;
  /// @param text Centre part of the footer; the codes of the spreadsheet
  /// application apply (&P page number, &N page count, &D date, &F file name).
  virtual void SetCenterFooter(const std::string& text) = 0;
  /// @param text Centre part of the header (codes as in SetCenterFooter).
  virtual void SetCenterHeader(const std::string& text) = 0;
  /// @param center true to centre the content between the side margins.
  virtual void SetCenterHorizontally(bool center) = 0;
  /// @param center true to centre the content between top and bottom margins.
  virtual void SetCenterVertically(bool center) = 0;
  /// Fits the printout to a number of pages from top to bottom.
  /// @param pages An integer 0 to 65535, or false for 0 (not fitted); other values are ignored.
  virtual void SetFitToPagesTall(const OleVariant& pages) = 0;
  /// Fits the printout to a number of pages from left to right.
  /// @param pages An integer 0 to 65535, or false for 0 (not fitted); other values are ignored.
  virtual void SetFitToPagesWide(const OleVariant& pages) = 0;
  /// @param inches Distance of the footer from the page bottom in inches.
  virtual void SetFooterMargin(double inches) = 0;
  /// @param inches Distance of the header from the page top in inches.
  virtual void SetHeaderMargin(double inches) = 0;
  /// @param text Left part of the footer (codes as in SetCenterFooter).
  virtual void SetLeftFooter(const std::string& text) = 0;
  /// @param text Left part of the header (codes as in SetCenterFooter).
  virtual void SetLeftHeader(const std::string& text) = 0;
  /// @param inches Left margin in inches.
  virtual void SetLeftMargin(double inches) = 0;
  /// Sets the area that is printed.
  /// @param range Cell text such as "A1:C5"; empty text clears the print area; text
  /// that does not parse changes nothing and leaves a message in the sheet's
  /// IXLSWorkSheet::GetLastError.
  virtual void FSetPrintArea(const std::string& range) = 0;
  /// @param print true (the default) prints the grid lines.
  virtual void SetPrintGridlines(bool print) = 0;
  /// @param print true prints row numbers and column letters.
  virtual void SetPrintHeadings(bool print) = 0;
  /// Sets the columns printed on every page.
  /// @param columns Such as "$A:$B" (A to IU); empty text clears; text that does not
  /// parse changes nothing and leaves a message in the sheet's GetLastError.
  virtual void SetPrintTitleColumns(const std::string& columns) = 0;
  /// Sets the rows printed at the top of every page.
  /// @param rows Such as "$1:$3" (rows 1 to 65535); empty text clears; text that does
  /// not parse changes nothing and leaves a message in the sheet's GetLastError.
  virtual void SetPrintTitleRows(const std::string& rows) = 0;
  /// @param text Right part of the footer (codes as in SetCenterFooter).
  virtual void SetRightFooter(const std::string& text) = 0;
  /// @param text Right part of the header (codes as in SetCenterFooter).
  virtual void SetRightHeader(const std::string& text) = 0;
  /// @param inches Right margin in inches.
  virtual void SetRightMargin(double inches) = 0;
  /// @param inches Top margin in inches.
  virtual void SetTopMargin(double inches) = 0;
  /// Sets the print scale.
  /// @param zoom An integer from 10 to 400 (percent), or false for no scaling;
  /// other values are ignored.
  virtual void SetZoom(const OleVariant& zoom) = 0;
  /// Sets the print area by zero-based corners; reversed or out-of-sheet areas are ignored.
  /// @param first_row First row, from 0.
  /// @param first_col First column, from 0 (A).
  /// @param last_row Last row, from 0.
  /// @param last_col Last column, from 0.
  virtual void SetPrintArea(uint16_t first_row, uint16_t first_col, uint16_t last_row,
                            uint16_t last_col) = 0;

 protected:
  ~IXLSPageSetup() = default;
};

/// The ordered collection of a workbook's worksheets; indexes count from 1.
class IXLSWorkSheets : public IXLSUnknown {
 public:
  /// @param index 1 to GetCount().
  /// @return The sheet at that position, or an empty pointer outside 1 to GetCount().
  virtual XLSPtr<IXLSWorkSheet> Get(int32_t index) = 0;
  /// @return The number of sheets.
  virtual int32_t GetCount() = 0;
  /// Appends a sheet named "Sheet" followed by the lowest free number.
  /// The first sheet of a workbook becomes its active sheet.
  /// @return The new sheet.
  virtual XLSPtr<IXLSWorkSheet> Add() = 0;
  /// Inserts new sheets before `before`, else after `after`, else at the end.
  /// @param before A sheet of this collection, or null.
  /// @param after A sheet of this collection, or null (used when before is null).
  /// @param count How many sheets to add, at least 1.
  /// @param type Not used; pass OleVariant::Missing().
  /// @return The last sheet added, or an empty pointer when count is below 1 or a
  /// given sheet belongs to another workbook.
  virtual XLSPtr<IXLSWorkSheet> Add(IXLSWorkSheet* before, IXLSWorkSheet* after, int32_t count,
                                    const OleVariant& type) = 0;

  /// Add() with the sheets given as the pointers the library hands out.
  /// @param before A sheet of this collection, or empty.
  /// @param after A sheet of this collection, or empty.
  /// @param count How many sheets to add, at least 1.
  /// @param type Not used; pass OleVariant::Missing().
  /// @return The last sheet added, or an empty pointer.
  XLSPtr<IXLSWorkSheet> Add(const XLSPtr<IXLSWorkSheet>& before, const XLSPtr<IXLSWorkSheet>& after,
                            int32_t count, const OleVariant& type) {
    return Add(before.get(), after.get(), count, type);
  }

 protected:
  ~IXLSWorkSheets() = default;
};

/// The way a run of values goes from its first cell (IXLSWorkSheet::SetNumbers,
/// SetDates, SetTexts and SetBooleans).
enum TXLSRunDirection : int32_t {
  xlRunDown = 0,   ///< down a column, one row after the other
  xlRunRight = 1,  ///< right along a row, one column after the other
};

/// One worksheet. The operations from SetFirstSheet to the seven-argument
/// InsertBitmap return the status of the worksheet's own operation: 1 done,
/// -1 refused.
class IXLSWorkSheet : public IXLSUnknown {
 public:
  /// @return A range over every cell of the sheet (A1:IV65536).
  virtual XLSPtr<IXLSRange> GetCells() = 0;
  /// @return The selected range (A1 until Select is called on a range).
  virtual XLSPtr<IXLSRange> GetSelection() = 0;
  /// @return The print settings of the sheet.
  virtual XLSPtr<IXLSPageSetup> GetPageSetup() = 0;
  /// A range over a rectangle of cells.
  /// @param cell1 One corner as cell text, "B2" (letters for the column, A to IV,
  /// then the row, 1 to 65536; no '$').
  /// @param cell2 The opposite corner; the same text again for one cell.
  /// Corners in any order are normalised.
  /// @return A new range; an empty pointer when either text is not a cell from A1
  /// to IV65536 (nothing is written, and GetLastError names the text).
  virtual XLSPtr<IXLSRange> FGetRange(const std::string& cell1, const std::string& cell2) = 0;
  /// @return The smallest range holding every stored cell; A1 when the sheet is empty.
  virtual XLSPtr<IXLSRange> GetUsedRange() = 0;
  /// @return The sheet name shown on its tab.
  virtual std::string GetWorkSheetName() = 0;
  /// Renames the sheet.
  /// @param name 1 to 31 bytes (31 characters in BIFF8), none of [ ] : * ? / \, and no other sheet
  /// of that name (ASCII letters compared without case). A refused name keeps the old one.
  virtual void SetWorkSheetName(const std::string& name) = 0;
  /// @return The position of the sheet in its workbook, from 1.
  virtual uint16_t GetIndex() = 0;
  /// @return The sheet after this one, or an empty pointer for the last.
  virtual XLSPtr<IXLSWorkSheet> GetNextWorkSheet() = 0;
  /// @return The sheet before this one, or an empty pointer for the first.
  virtual XLSPtr<IXLSWorkSheet> GetPreviousWorkSheet() = 0;
  /// The horizontal page breaks (before rows).
  /// @return The sheet's collection; it lives as long as the sheet. Add a break with
  /// `GetHPageBreaks()->Add(sheet->FGetRange("A20", "A20"))`.
  virtual TXLSHPageBreaks* GetHPageBreaks() = 0;
  /// The vertical page breaks (before columns).
  /// @return The sheet's collection; it lives as long as the sheet.
  virtual TXLSVPageBreaks* GetVPageBreaks() = 0;
  /// @return Whether grid lines show on screen (true by default).
  virtual bool GetDisplayGridLines() = 0;
  /// Shows or hides grid lines on screen; printing is set by
  /// IXLSPageSetup::SetPrintGridlines.
  /// @param display true to show them.
  virtual void SetDisplayGridLines(bool display) = 0;
  /// Removes the sheet from its workbook at once: it is not saved and its name is
  /// free again. The sheet, and every range, page setup and font handed out from
  /// it, stays valid while a reference to it is held: values and formats written
  /// through them change only the deleted sheet, operations that need the workbook
  /// do nothing (GetNextWorkSheet answers an empty pointer, renaming, Select and
  /// Activate are ignored) and those that answer a status answer -1. A deleted
  /// sheet's GetIndex answers 0; deleting it again does nothing.
  virtual void Delete() = 0;
  /// Delete(), in the form with the unused argument of the automation model.
  /// @param unused Not used.
  virtual void Delete(int32_t unused) = 0;
  /// Move(before, after).
  /// @param before A sheet of the same workbook, or null.
  /// @param after A sheet of the same workbook, or null.
  /// @param unused Not used.
  virtual void Move(IXLSWorkSheet* before, IXLSWorkSheet* after, int32_t unused) = 0;
  /// Moves this sheet in its workbook: before `before`, else after `after`.
  /// Sheets of another workbook, or nulls, leave the order unchanged.
  /// @param before A sheet of the same workbook, or null.
  /// @param after A sheet of the same workbook, or null.
  virtual void Move(IXLSWorkSheet* before, IXLSWorkSheet* after) = 0;
  /// Moves this sheet before `before` (a sheet of the same workbook).
  /// @param before The sheet to stand before; null or another workbook's sheet: nothing moves.
  virtual void Move(IXLSWorkSheet* before) = 0;
  /// Selects this sheet alone (its tab shows selected).
  virtual void Select() = 0;
  /// Selects this sheet.
  /// @param replace true deselects the other sheets first; false adds this one.
  virtual void Select(bool replace) = 0;
  /// Select(replace).
  /// @param replace true deselects the other sheets first.
  /// @param unused Not used.
  virtual void Select(bool replace, int32_t unused) = 0;
  /// Removes every horizontal and vertical page break of the sheet.
  virtual void ResetAllPageBreaks() = 0;
  /// Makes this sheet the one a reader opens on (and selects it).
  virtual void Activate() = 0;
  /// Makes this sheet the first visible tab.
  /// @return 1, or -1 for a deleted sheet.
  virtual int32_t SetFirstSheet() = 0;
  /// Splits the window into panes that scroll independently, without freezing them.
  /// @param y Height of the top pane in points; negative keeps the previous size.
  /// @param x Width of the left pane in characters; negative keeps the previous size.
  /// 0 and 0 leave no split.
  /// @param top_row First row shown in the lower pane, from 0.
  /// @param left_col First column shown in the right pane, from 0; 65535 takes the
  /// default, other values above 255 keep the previous one.
  /// @return 1 done, -1 refused.
  virtual int32_t ThawPanes(float y, float x, uint16_t top_row, uint16_t left_col) = 0;
  /// Freezes rows at the top and columns at the left so they stay in view.
  /// FreezePanes(1, 0, 1, 0) keeps the first row in view.
  /// @param row How many rows stay frozen at the top (0: none).
  /// @param col How many columns stay frozen at the left (0: none).
  /// @param top_row First row shown below the frozen rows, from 0 (usually `row`).
  /// @param left_col First column shown right of the frozen columns, from 0
  /// (usually `col`; 65535 takes the default).
  /// @return 1 done, -1 refused.
  virtual int32_t FreezePanes(uint16_t row, uint16_t col, uint16_t top_row, uint16_t left_col) = 0;
  /// Not supported here: set print titles with IXLSPageSetup::SetPrintTitleRows.
  /// @param first Unused.
  /// @param last Unused.
  /// @return -1.
  virtual int32_t RepeatRows(uint16_t first, uint16_t last) = 0;
  /// Not supported here: set print titles with IXLSPageSetup::SetPrintTitleColumns.
  /// @param first Unused.
  /// @param last Unused.
  /// @return -1.
  virtual int32_t RepeatColumns(uint16_t first, uint16_t last) = 0;
  /// Sets the magnification the sheet is shown with.
  /// @param zoom 10 to 400 percent.
  /// @return 1, or -1 (zoom kept) for other values.
  virtual int32_t SetZoom(uint16_t zoom) = 0;
  /// Places a picture from a 24-bit uncompressed Windows bitmap file with its
  /// top-left corner in a cell; it is kept with the sheet and written at every
  /// later save. The anchor follows the column widths and row heights set so far.
  /// @param row Row of the anchor cell, from 0.
  /// @param col Column of the anchor cell, from 0.
  /// @param file_name Path of the .bmp file; it is read now.
  /// @param x Offset of the picture right of the cell's left edge, in pixels.
  /// @param y Offset of the picture below the cell's top edge, in pixels.
  /// @param scale_x Horizontal scale (1 keeps the bitmap's width).
  /// @param scale_y Vertical scale (1 keeps the bitmap's height).
  /// @return 1 placed; -1 refused, with the reason in GetLastError(): the file
  /// cannot be read or is not such a bitmap, the scaled size is not 1 to 65535
  /// pixels, or the picture would reach past the sheet.
  virtual int32_t InsertBitmap(uint16_t row, uint16_t col, const std::string& file_name, uint16_t x,
                               uint16_t y, float scale_x, float scale_y) = 0;
  /// InsertBitmap at the cell's corner, unscaled.
  /// @param row Row of the anchor cell, from 0.
  /// @param col Column of the anchor cell, from 0.
  /// @param file_name Path of the .bmp file.
  /// @return 1 placed, -1 refused (GetLastError() says why).
  virtual int32_t InsertBitmap(uint16_t row, uint16_t col, const std::string& file_name) = 0;
  /// InsertBitmap with an offset in pixels, unscaled.
  /// @param row Row of the anchor cell, from 0.
  /// @param col Column of the anchor cell, from 0.
  /// @param file_name Path of the .bmp file.
  /// @param x Offset right of the cell's left edge, in pixels.
  /// @param y Offset below the cell's top edge, in pixels.
  /// @return 1 placed, -1 refused (GetLastError() says why).
  virtual int32_t InsertBitmap(uint16_t row, uint16_t col, const std::string& file_name, uint16_t x,
                               uint16_t y) = 0;
  /// Protects the sheet without a password (readers refuse edits to locked cells).
  virtual void Protect() = 0;
  /// Protects the sheet with a password. When a password is set already, only the
  /// same password is accepted; otherwise nothing changes.
  /// @param password The password; empty protects without one.
  virtual void Protect(const std::string& password) = 0;
  /// Removes a protection that has no password.
  virtual void UnProtect() = 0;
  /// Removes the protection when password matches the one set.
  /// @param password The password given to Protect.
  virtual void UnProtect(const std::string& password) = 0;
  /// UnProtect(password).
  /// @param password The password given to Protect.
  /// @param unused Not used.
  virtual void UnProtect(const std::string& password, int32_t unused) = 0;
  /// Why the sheet's last refused operation failed: InsertBitmap (the file is not a
  /// 24-bit bitmap, or the picture would reach past the sheet), FGetRange (a text
  /// that is not a cell), a print area or print titles that do not parse.
  /// @return The reason, naming the file or text; empty before any refusal. A
  /// successful InsertBitmap empties it; other successes leave it as it is.
  virtual std::string GetLastError() = 0;
  /// Stores a run of numbers in one call: values[0] in (row, col), the next
  /// ones below it (xlRunDown) or right of it (xlRunRight). It is what
  /// SetValue of each cell's range would do, without a range or a variant per
  /// cell: formulas in the run's cells give way, formats stay, and cells
  /// covered by a merged area other than its top-left cell are skipped.
  /// A NaN empties its cell.
  /// @param row Row of the first cell, from 0.
  /// @param col Column of the first cell, from 0 (255 at most).
  /// @param values count numbers.
  /// @param count How many cells; 0 changes nothing.
  /// @param direction xlRunDown or xlRunRight.
  /// @return 1; -1 when the run would leave the sheet (nothing is stored, and
  /// GetLastError says so).
  virtual int32_t SetNumbers(uint16_t row, uint16_t col, const double* values, size_t count,
                             TXLSRunDirection direction) = 0;
  /// SetNumbers for date-times: each value is a day serial (its fraction the
  /// time of day) that GetValue hands back as a date; a NaN empties its cell.
  /// @param row Row of the first cell, from 0.
  /// @param col Column of the first cell, from 0.
  /// @param serials count day serials.
  /// @param count How many cells.
  /// @param direction xlRunDown or xlRunRight.
  /// @return 1, or -1 when the run would leave the sheet.
  virtual int32_t SetDates(uint16_t row, uint16_t col, const double* serials, size_t count,
                           TXLSRunDirection direction) = 0;
  /// SetNumbers for texts, read as SetValue reads them (code page bytes, or
  /// UTF-8 after TXLSWorkbook::SetUtf8Texts(true)); every text stays a text,
  /// also "42". A text without data (a default std::string_view) empties its
  /// cell; an empty text stores an empty text.
  /// @param row Row of the first cell, from 0.
  /// @param col Column of the first cell, from 0.
  /// @param texts count texts; the cells keep copies.
  /// @param count How many cells.
  /// @param direction xlRunDown or xlRunRight.
  /// @return 1, or -1 when the run would leave the sheet.
  virtual int32_t SetTexts(uint16_t row, uint16_t col, const std::string_view* texts, size_t count,
                           TXLSRunDirection direction) = 0;
  /// SetNumbers for booleans: 0 stores FALSE, 1 stores TRUE, any other byte
  /// empties its cell.
  /// @param row Row of the first cell, from 0.
  /// @param col Column of the first cell, from 0.
  /// @param values count bytes.
  /// @param count How many cells.
  /// @param direction xlRunDown or xlRunRight.
  /// @return 1, or -1 when the run would leave the sheet.
  virtual int32_t SetBooleans(uint16_t row, uint16_t col, const uint8_t* values, size_t count,
                              TXLSRunDirection direction) = 0;
  /// Defines a name of this sheet (a sheet-local name): formulas of this
  /// sheet use it as they use a reference ("=SUM(Sales)"), and it hides a
  /// workbook name of the same spelling there. Once the sheet is deleted its
  /// names are no longer written.
  /// @param name As TXLSWorkbook::AddName takes it: ASCII letters, digits,
  ///        '_', '.' and '\\', starting with a letter, '_' or '\\', at most 255
  ///        characters, not a cell reference such as "A1" or "R1C1"; names
  ///        are compared without case, and a name is taken once per sheet.
  /// @param refers_to What it stands for, as a formula: "=Sheet1!$B$2:$B$9",
  ///        "=$A$1", "=0.07", "=Rates!$A$1*2". A reference without a sheet
  ///        means this sheet; every reference is absolute. It may use this
  ///        sheet's names and the workbook's defined before it.
  /// @return 1, or -1 (GetLastError says why, naming the name): an invalid
  ///        or taken name, a formula that does not parse, a deleted sheet.
  virtual int32_t AddName(const std::string& name, const std::string& refers_to) = 0;
  /// Links a cell to a web address, a file, an e-mail address or a place in
  /// the workbook (BIFF8 files only), and writes the text the cell shows in
  /// blue, underlined. The link replaces the links that share a cell with it.
  /// @param anchor The cell (its top-left cell) or cells that hold the link.
  /// @param address "https://...", "ftp://...", "mailto:...", a file path
  ///        ("report.xls", "../data/q1.xls", "C:\\data\\q1.xls"), or
  ///        "#Sheet2!A1" for a cell of this workbook; at most 1024 characters.
  /// @param text The text the top-left cell shows (at most 255 characters);
  ///        empty shows the address (a place without its '#').
  /// @return 1, or -1 (GetLastError says why): a BIFF5 workbook, an
  ///        anchor of another sheet, an empty or too long address or text.
  virtual int32_t AddHyperlink(IXLSRange* anchor, const std::string& address,
                               const std::string& text) = 0;
  /// Where outline groups keep their summary rows and columns.
  /// @param summary_row xlSummaryBelow (the default) or xlSummaryAbove.
  /// @param summary_column xlSummaryOnRight (the default) or xlSummaryOnLeft.
  /// @return 1, or -1 for other values (nothing changes).
  virtual int32_t SetOutlineSummary(int32_t summary_row, int32_t summary_column) = 0;

  /// Move() with the sheets given as the pointers the library hands out.
  /// @param before A sheet of the same workbook, or empty.
  /// @param after A sheet of the same workbook, or empty.
  void Move(const XLSPtr<IXLSWorkSheet>& before, const XLSPtr<IXLSWorkSheet>& after = nullptr) {
    Move(before.get(), after.get());
  }
  /// AddHyperlink with the range as the pointer the library hands out.
  /// @param anchor The cell or cells that hold the link.
  /// @param address Where the link leads.
  /// @param text The text the cell shows.
  /// @return 1, or -1 (GetLastError says why).
  int32_t AddHyperlink(const XLSPtr<IXLSRange>& anchor, const std::string& address,
                       const std::string& text = std::string()) {
    return AddHyperlink(anchor.get(), address, text);
  }

 protected:
  ~IXLSWorkSheet() = default;
};

/// The workbook. Custom colour indexes run from 1 to 56; the second integer of
/// the custom colour pair is not used.
class IXLSWorkBook : public IXLSUnknown {
 public:
  /// @param index Palette index 1 to 56.
  /// @param unused Not used.
  /// @return The palette colour as 0x00BBGGRR; 0 outside 1 to 56.
  virtual TXLSColor GetCustomColor2(int32_t index, int32_t unused) = 0;
  /// Changes a palette colour; colour indexes of fonts, fills and borders show it.
  /// @param index Palette index 1 to 56; others are ignored.
  /// @param unused Not used.
  /// @param color 0x00BBGGRR.
  virtual void SetCustomColor(int32_t index, int32_t unused, TXLSColor color) = 0;
  /// @return The collection of the workbook's sheets.
  virtual XLSPtr<IXLSWorkSheets> GetWorksheets() = 0;
  /// @return The sheet a reader opens on, or an empty pointer when there is none.
  virtual XLSPtr<IXLSWorkSheet> GetActiveSheet() = 0;
  /// Does nothing: the caller destroys the workbook.
  /// @return 1.
  virtual int32_t Close() = 0;
  /// Loads the default palette again.
  /// @return 1.
  virtual int32_t ResetColors() = 0;
  /// Protects the workbook structure (sheets cannot be added, moved or deleted).
  virtual void Protect() = 0;
  /// Protects the workbook structure with a password. When a password is set
  /// already, only the same password is accepted.
  /// @param password The password; empty protects without one.
  virtual void Protect(const std::string& password) = 0;
  /// Removes a workbook protection that has no password.
  virtual void UnProtect() = 0;
  /// Removes the protection when password matches.
  /// @param password The password given to Protect.
  virtual void UnProtect(const std::string& password) = 0;
  /// UnProtect(password).
  /// @param password The password given to Protect.
  /// @param unused Not used.
  virtual void UnProtect(const std::string& password, int32_t unused) = 0;
  /// Writes the workbook as an .xls file (BIFF5). The file is written to a
  /// temporary file beside the target, flushed and renamed over it, so an existing
  /// file is replaced only by a complete new one. A workbook without sheets gets one.
  /// @param file_name Path of the file.
  /// @return 1 when the file is complete on disk; -1 when not (TXLSWorkbook::GetLastError
  /// says why, naming the path; no partial file is left).
  virtual int32_t SaveAs(const std::string& file_name) = 0;

 protected:
  ~IXLSWorkBook() = default;
};

}  // namespace tabulon
