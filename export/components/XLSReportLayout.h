// How an export lays its sheets out as a report someone reads on screen and
// prints: title lines, a frozen header that repeats on every printed page,
// columns fitted to their content, the page setup, and how many rows a
// sheet may use before the records continue on a new sheet.
#pragma once

#include <cstdint>
#include <string>

#include "XLSConstants.h"

namespace tabulon {

/// Report layout of the sheets an export writes. Every sheet of an export,
/// the first and each continuation sheet, gets the same layout.
///
/// The defaults give a report: header frozen and repeated on every printed
/// page, columns fitted to their content, no title, the page setup a new
/// sheet has, and up to 65,536 rows a sheet.
struct TXLSReportLayout {
  // The texts (Title, Subtitle and the parts of the page header and footer)
  // are UTF-8, converted to the workbook's code page when the export writes
  // them. A character the code page lacks is written as '?', and a title
  // over the 255 bytes a cell holds is cut; both are reported through the
  // export's value reports with RecNo 0 and the member's name as FieldName.

  /// Text of the title line above the header, merged across the exported
  /// columns, bold, TitleSize points. Empty: no title line. The title does
  /// not count in the fitted width of its column.
  std::string Title;
  /// Text of the line below the title (for example the date of the query),
  /// merged like the title, bold, SubtitleSize points. Empty: no subtitle.
  std::string Subtitle;
  /// Font size of the title in points (1 to 409).
  int32_t TitleSize = 14;
  /// Font size of the subtitle in points (1 to 409).
  int32_t SubtitleSize = 11;

  /// Freeze the rows down to the header, so that the header stays in view
  /// while the records scroll.
  bool FreezeHeader = true;
  /// Print the header row at the top of every page (print titles).
  bool RepeatHeader = true;
  /// Fit each column's width to its longest formatted value (header and
  /// totals row included), at most MaxColumnWidth characters, once the sheet's records
  /// are written: a width set by AfterHeaderCell, AfterDetailCell or
  /// AfterDetailRow is replaced, one set by AfterDetail or AfterExport stays.
  /// False keeps the widths the components give without fitting: the
  /// field's display width, or the grid column's pixel width.
  bool FitColumns = true;
  /// Upper limit of a fitted column width, in characters of the default
  /// font (1 to 255).
  double MaxColumnWidth = 60;

  /// Most rows a sheet uses, title and header rows and the rows above them
  /// (StartRow) included: 2 to 65,536, or 0 for the 65,536 rows of a sheet.
  /// Records beyond continue on a new sheet named after the first with
  /// " (2)", " (3)", ... appended, laid out the same way. The export raises
  /// EXLSExportError when a sheet would have no room for a record below its
  /// header.
  int32_t RowsPerSheet = 0;

  /// Put filter drop-downs on each sheet's header (IXLSRange::AutoFilter):
  /// the filter covers the header and the sheet's records. A sheet without
  /// records gets none. Default false.
  bool AutoFilter = false;

  // The formats by field type, for fields without a display format of their
  // own (TField::SetDisplayFormat). The defaults are the components' formats
  // from before these members existed.

  /// Number format of floating-point fields (ftFloat); empty for General.
  std::string FloatFormat;
  /// Number format of currency fields (ftCurrency); empty for General.
  std::string CurrencyFormat = "#,##0.00";
  /// Horizontal alignment of date, time and date-and-time cells of the
  /// data-set export (xlHAlignLeft, xlHAlignRight, ...; 0 leaves them as
  /// readers align numbers, right). The grid export aligns them as the grid
  /// column does.
  int32_t DateAlignment = xlHAlignLeft;

  /// Page orientation: xlPortrait (1) or xlLandscape (2).
  int32_t Orientation = xlPortrait;
  /// Paper size code of the file format (xlPaperA4 9, xlPaperLetter 1, ...);
  /// 0 leaves the choice to the printer.
  int32_t PaperSize = 0;
  /// Scale the print to this many pages wide, as many pages tall as needed;
  /// 0 prints at 100 %.
  int32_t FitToPagesWide = 0;
  /// Top page margin in inches.
  double TopMargin = 1.0;
  /// Bottom page margin in inches.
  double BottomMargin = 1.0;
  /// Left page margin in inches.
  double LeftMargin = 0.75;
  /// Right page margin in inches.
  double RightMargin = 0.75;
  /// Distance of the page header from the top edge of the paper, in inches.
  double HeaderMargin = 0.5;
  /// Distance of the page footer from the bottom edge of the paper, in inches.
  double FooterMargin = 0.5;

  // The page header and footer texts may hold the codes of the file format:
  // &P page number, &N number of pages, &D date, &T time, &A sheet name, &F
  // file name, && an ampersand. The three parts of a header (or of a
  // footer) together are cut to 255 bytes.

  /// Left part of the page header; empty: none.
  std::string LeftHeader;
  /// Centre part of the page header; empty: none.
  std::string CenterHeader;
  /// Right part of the page header; empty: none.
  std::string RightHeader;
  /// Left part of the page footer; empty: none.
  std::string LeftFooter;
  /// Centre part of the page footer, for example "Page &P of &N"; empty: none.
  std::string CenterFooter;
  /// Right part of the page footer; empty: none.
  std::string RightFooter;
};

}  // namespace tabulon
