// The record vocabulary of the "Book" stream: the id of every record the
// library writes, named once. A record is its 2-byte id, its 2-byte data
// length and the data; the comment says what the data holds.
#pragma once

#include <cstdint>

namespace tabulon {
namespace xlsrec {

// Substream frame and record splitting.
constexpr uint16_t kBof = 0x0809;       // opens a substream: format version, substream type, build
constexpr uint16_t kEof = 0x000A;       // closes a substream; no data
constexpr uint16_t kContinue = 0x003C;  // the bytes of a record past the record size limit

// Workbook globals.
constexpr uint16_t kCodePage = 0x0042;     // the code page of the file's byte strings
constexpr uint16_t kExternCount = 0x0016;  // how many EXTERNSHEET records follow
constexpr uint16_t kExternSheet = 0x0017;  // a sheet that formulas and names refer to, by name
constexpr uint16_t kName = 0x0018;         // a built-in name: print area or print titles
constexpr uint16_t kWindow1 = 0x003D;      // position, size and tab bar of the workbook window
constexpr uint16_t k1904 = 0x0022;         // 1 when day serials count from 1904-01-01
constexpr uint16_t kProtect = 0x0012;      // 1 when the workbook or sheet is protected
constexpr uint16_t kPassword = 0x0013;     // the hash of the protection password
constexpr uint16_t kFont = 0x0031;         // one font: height, attributes, colour, name
constexpr uint16_t kFormat = 0x041E;       // one number format: its index and format text
constexpr uint16_t kXF = 0x00E0;           // one cell or style format: font, number format, layout
constexpr uint16_t kStyle = 0x0293;        // a style's name or built-in number and its XF
constexpr uint16_t kPalette = 0x0092;      // the colours of the custom palette entries
constexpr uint16_t kBoundSheet = 0x0085;   // a sheet's stream offset, kind and name
constexpr uint16_t kCountry = 0x008C;  // BIFF8: the country of the user interface and of the system
constexpr uint16_t kSupBook = 0x01AE;  // BIFF8: the workbook whose sheets EXTERNSHEET lists
constexpr uint16_t kSst = 0x00FC;      // BIFF8: the shared strings the cells refer to by index
constexpr uint16_t kExtSst = 0x00FF;   // BIFF8: where every few shared strings start

// Worksheet: column and row layout.
constexpr uint16_t kStandardWidth = 0x0099;     // the width of columns without COLINFO
constexpr uint16_t kDefaultRowHeight = 0x0225;  // the height of rows without ROW
constexpr uint16_t kColInfo = 0x007D;           // width, format and options of a column run
constexpr uint16_t kRow = 0x0208;               // height, format and options of one row
constexpr uint16_t kDimensions = 0x0000;        // the sheet's used range of rows and columns
constexpr uint16_t kDimensions32 = 0x0200;  // BIFF8: the same with 32-bit rows, under its later id
constexpr uint16_t kAutoFilterInfo = 0x009D;  // the number of columns with filter drop-downs

// Worksheet: print setup.
constexpr uint16_t kPrintHeaders = 0x002A;          // 1 when row and column headings print
constexpr uint16_t kPrintGridLines = 0x002B;        // 1 when grid lines print
constexpr uint16_t kGridSet = 0x0082;               // 1 when PRINTGRIDLINES was ever changed
constexpr uint16_t kWsBool = 0x0081;                // sheet options, fit to pages among them
constexpr uint16_t kGuts = 0x0080;                  // outline gutter sizes, deepest levels + 1
constexpr uint16_t kHorizontalPageBreaks = 0x001B;  // the rows a manual page break precedes
constexpr uint16_t kVerticalPageBreaks = 0x001A;    // the columns a manual page break precedes
constexpr uint16_t kSetup = 0x00A1;                 // paper, scale, orientation, fit, copies
constexpr uint16_t kLeftMargin = 0x0026;            // the left page margin in inches
constexpr uint16_t kRightMargin = 0x0027;           // the right page margin in inches
constexpr uint16_t kTopMargin = 0x0028;             // the top page margin in inches
constexpr uint16_t kBottomMargin = 0x0029;          // the bottom page margin in inches
constexpr uint16_t kHCenter = 0x0083;               // 1 when the page is centred horizontally
constexpr uint16_t kVCenter = 0x0084;               // 1 when the page is centred vertically
constexpr uint16_t kHeader = 0x0014;                // the page header text
constexpr uint16_t kFooter = 0x0015;                // the page footer text

// Worksheet: cells.
constexpr uint16_t kBlank = 0x0201;        // a cell with a format and no value
constexpr uint16_t kNumber = 0x0203;       // a cell holding a double
constexpr uint16_t kLabel = 0x0204;        // a cell holding a byte string
constexpr uint16_t kLabelSst = 0x00FD;     // BIFF8: a cell holding a shared string's index
constexpr uint16_t kBoolErr = 0x0205;      // a cell holding a boolean or an error code
constexpr uint16_t kFormula = 0x0006;      // a cell's formula tokens and its cached result
constexpr uint16_t kString = 0x0207;       // the text result of the FORMULA before it
constexpr uint16_t kMergedCells = 0x00E5;  // the sheet's merged ranges

// Worksheet: conditional formats (BIFF8).
constexpr uint16_t kCondFmt = 0x01B0;  // a conditional format's ranges and its CF count
constexpr uint16_t kCf = 0x01B1;       // one condition of the CONDFMT before it, with its format

// Worksheet: pictures.
constexpr uint16_t kObj = 0x005D;     // a picture object: its anchor and options
constexpr uint16_t kImData = 0x007F;  // the bitmap of the picture object before it

// Worksheet: notes (comments). BIFF5: NOTE carries the text; BIFF8: NOTE ties
// a cell to the text box object whose TXO holds the text.
constexpr uint16_t kNote = 0x001C;  // a cell's note
constexpr uint16_t kTxo = 0x01B6;   // BIFF8: the text of a text box, in CONTINUE records

// Drawing layer (BIFF8): pictures as Office drawing records, each picture's
// shape followed by its OBJ record.
constexpr uint16_t kMsoDrawingGroup = 0x00EB;  // the workbook's drawing group and blip store
constexpr uint16_t kMsoDrawing = 0x00EC;       // a sheet's drawing: shapes, anchors, properties

// Worksheet: view.
constexpr uint16_t kWindow2 = 0x023E;    // the sheet window's options and first visible cell
constexpr uint16_t kScl = 0x00A0;        // the zoom, as a fraction
constexpr uint16_t kPane = 0x0041;       // the split or frozen panes and their first cells
constexpr uint16_t kSelection = 0x001D;  // the active cell and the selected ranges of a pane

// Worksheet (BIFF8): hyperlinks and data validations, behind the view records.
constexpr uint16_t kHLink = 0x01B8;  // a hyperlink of a cell range: its target and description
constexpr uint16_t kDval = 0x01B2;   // the data validations' header: how many DV records follow
constexpr uint16_t kDv = 0x01BE;     // one data validation: its rule, messages, formulas and cells

// BOF data: the substream types and the build that the BOF record names.
constexpr uint16_t kBofGlobals = 0x0005;
constexpr uint16_t kBofWorksheet = 0x0010;
constexpr uint16_t kBofBuild = 0x096C;
constexpr uint16_t kBofYear = 0x07C9;

}  // namespace xlsrec
}  // namespace tabulon
