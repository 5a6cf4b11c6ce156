// The records whose layout differs between the two file formats a workbook
// can be saved in: BIFF5 (Excel 5/95, stream "Book", code page texts) and
// BIFF8 (Excel 97-2003, stream "Workbook", Unicode texts in a shared string
// table). The object model hands each record's content to the save's encoder
// as plain values; the encoder of the chosen format lays it out. Records both
// formats share (ROW, COLINFO, NUMBER, SETUP, PANE, ...) are built once, by
// the objects that own their data, and never pass through an encoder.
//
// One encoder serves one save. The BIFF8 encoder collects the cell texts
// into its shared string table and the sheets' pictures into its drawing
// layer while the sheets are stored; the workbook writes both afterwards.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "XLSBlob.h"

namespace tabulon {

class TXLSRecordSection;
class TXLSTextEncoder;
struct TXLSTextPlace;

/// The automation model's file format numbers (xlExcel5, xlExcel8).
constexpr int32_t kXLSFileFormatBiff5 = 39;
constexpr int32_t kXLSFileFormatBiff8 = 56;

/// The fields of a FONT record, decoded from the font table.
struct TXLSFontFields {
  uint16_t Height = 200;  ///< in twips
  uint16_t Attributes = 0;
  uint16_t Color = 0;
  uint16_t Weight = 400;
  uint16_t Escapement = 0;
  uint8_t Underline = 0;
  uint8_t Family = 0;
  uint8_t CharSet = 0;    ///< the font's own; 0 (ANSI) for most
  std::string_view Name;  ///< as stored
};

/// Edges of a cell format in the order the XF fields list them.
enum TXLSXFEdge { xfLeft, xfRight, xfTop, xfBottom, kXFEdgeCount };

/// The fields of an XF record, decoded from the cell-format table.
struct TXLSXFFields {
  uint16_t Font = 0;       ///< FONT record index
  uint16_t NumFormat = 0;  ///< number format number
  uint8_t Protection = 1;  ///< bit 0 locked, bit 1 formula hidden
  bool Style = false;      ///< a style format rather than a cell format
  uint16_t Parent = 0;     ///< the parent style's record index (12 bits)
  uint8_t HorAlign = 0;
  uint8_t VerAlign = 2;
  bool Wrap = false;
  uint8_t Orientation = 0;  ///< 0 none, 1 stacked, 2 upward, 3 downward
  uint8_t Indent = 0;
  bool Shrink = false;
  uint8_t UsedGroups = 0;  ///< the six attribute groups a format defines itself
  uint8_t LineStyle[kXFEdgeCount] = {};
  uint8_t LineColor[kXFEdgeCount] = {};
  uint8_t Pattern = 0;
  uint8_t Fore = 0;
  uint8_t Back = 0;
  uint16_t FillHighBits = 0;  ///< bits 14-15 of the colour word, kept as set
};

/// One corner of a reference in a formula token.
struct TXLSTokenPoint {
  uint16_t Row = 0;
  uint8_t Col = 0;
  bool RowRel = true;
  bool ColRel = true;
};

/// A cell or area reference token: its id (kRef, kArea, kRef3d or kArea3d
/// plus its operand class), the sheet a 3-D token names (0-based) and its
/// corners.
struct TXLSTokenRef {
  uint8_t Id = 0;
  bool Area = false;
  bool Sheet3d = false;  ///< names a sheet other than the formula's own
  uint16_t Sheet = 0;    ///< 3-D tokens only
  TXLSTokenPoint First;
  TXLSTokenPoint Last;  ///< areas only
};

/// A rectangle of a built-in name (print area, print titles), 0-based.
struct TXLSNameArea {
  uint16_t FirstRow;
  uint16_t LastRow;
  uint8_t FirstCol;
  uint8_t LastCol;
};

/// The parts of the workbook globals whose place differs between the
/// formats; the workbook builds each when the encoder's order reaches it.
enum class TXLSGlobalsPart : uint8_t {
  kCodePage,
  kExterns,
  kNames,
  kWindow1,
  k1904,
  kProtect,
  kFonts,
  kNumFormats,
  kXFs,
  kStyles,
  kPalette,
  kBoundSheets,  ///< the records after this one are placed behind the sheet list
  kDrawingGroup,
  kSharedStrings,
};

/// One bitmap picture of a sheet, as the BIFF8 drawing layer stores it.
struct TXLSDrawingPicture;
/// The filter button of one AutoFilter column, a BIFF8 drawing shape.
struct TXLSDrawingDropDown;

/// A cell's note as the sheet keeps it, its texts as stored.
struct TXLSNoteFields {
  uint16_t Row = 0;
  uint16_t Col = 0;
  std::string_view Text;
  std::string_view Author;  ///< empty for no one
};

/// Builds the format-specific records of one save.
class TXLSRecordEncoder {
 public:
  virtual ~TXLSRecordEncoder() = default;

  // ---- What the format is and holds ----------------------------------------
  /// @return "BIFF5" or "BIFF8", for messages.
  virtual const char* Name() const = 0;
  /// @return kXLSFileFormatBiff5 or kXLSFileFormatBiff8.
  virtual int32_t FileFormat() const = 0;
  /// @return The compound document stream that holds the records.
  virtual const char* StreamName() const = 0;
  /// @return The largest record, header included, before CONTINUE records.
  virtual uint16_t RecordLimit() const = 0;
  /// @return The last row (0-based) a formula reference can address.
  virtual int32_t FormulaMaxRow() const = 0;
  /// @return How much of a cell text the format keeps, in its unit.
  virtual size_t CellTextLimit() const = 0;
  /// @return The unit of CellTextLimit and of sheet name lengths: "bytes" or
  /// "characters".
  virtual const char* TextUnit() const = 0;
  /// @return Whether the records hold every text as Unicode (else as bytes
  /// of the workbook's code page).
  virtual bool UnicodeTexts() const = 0;
  /// @return Whether a sheet's ROW records follow DIMENSIONS (else they
  /// follow the column information, before the page setup).
  virtual bool RowsAfterDimensions() const = 0;
  /// @return The order of the globals parts.
  virtual const std::vector<TXLSGlobalsPart>& GlobalsOrder() const = 0;

  // ---- Workbook globals ------------------------------------------------------
  virtual TXLSBlob Bof(uint16_t substream) const = 0;
  /// @param code_page The workbook's code page.
  /// @return The value of the CODEPAGE record.
  virtual uint16_t CodePageRecordValue(uint16_t code_page) const = 0;
  virtual TXLSBlob Font(const TXLSFontFields& font) const = 0;
  /// @param number The format's number. @param text The format text as stored.
  virtual TXLSBlob Format(uint16_t number, std::string_view text) const = 0;
  virtual TXLSBlob XF(const TXLSXFFields& xf) const = 0;
  /// A user-defined STYLE: its XF's record index and its name as stored.
  virtual TXLSBlob UserStyle(uint16_t xf_number, std::string_view name) const = 0;
  /// The form of a sheet name that the save checks and records carry.
  /// @param name The name as stored. @param place For the loss report.
  /// @param max_length The longest name, in TextUnit().
  virtual std::string RecordSheetName(std::string_view name, size_t max_length,
                                      const TXLSTextPlace& place) const = 0;
  /// @param name RecordSheetName's form. @param offset Its BOF's stream position.
  virtual TXLSBlob BoundSheet(std::string_view name, uint32_t offset) const = 0;
  /// The records that let formulas and names refer to sheets by index.
  /// @param names RecordSheetName's forms of every sheet, in order.
  virtual int32_t StoreGlobalExterns(TXLSRecordSection& section,
                                     const std::vector<std::string>& names) const = 0;
  /// A built-in NAME (print area 6, print titles 7, filter database 0x0D,
  /// hidden) of one sheet: one area, or two areas in a union.
  virtual TXLSBlob BuiltinName(uint16_t sheet, uint8_t code,
                               const std::vector<TXLSNameArea>& areas) const = 0;
  /// A user-defined NAME.
  /// @param sheet 0 for a workbook name, else the 1-based sheet of a
  ///        sheet-local name.
  /// @param name The name: ASCII letters, digits and '_', '.', '\\'.
  /// @param formula Its definition's token bytes (EncodeNameDefinition).
  virtual TXLSBlob DefinedName(uint16_t sheet, std::string_view name,
                               const std::vector<uint8_t>& formula) const = 0;
  /// @return The last row a whole-column print-title area reaches.
  virtual uint16_t NameMaxRow() const = 0;
  /// The shared string table, when the format has one, at stream position
  /// `offset`. 1, or -1.
  virtual int32_t StoreSharedStrings(TXLSRecordSection& section, uint32_t offset) = 0;
  /// The drawing group of the workbook's pictures, when the format has one.
  virtual int32_t StoreDrawingGroup(TXLSRecordSection& section) = 0;

  // ---- Worksheets ------------------------------------------------------------
  /// The EXTERNCOUNT and EXTERNSHEET records a sheet carries in formats that
  /// keep them per sheet; nothing in the others.
  /// @param self The sheet's own index (0-based).
  virtual int32_t StoreSheetExterns(TXLSRecordSection& section,
                                    const std::vector<std::string>& names, uint16_t self) const = 0;
  /// DIMENSIONS: first used row and column, and one past the last.
  virtual TXLSBlob Dimensions(uint32_t first_row, uint32_t end_row, uint16_t first_col,
                              uint16_t end_col) const = 0;
  virtual TXLSBlob Window2(uint16_t options) const = 0;
  /// HEADER or FOOTER from the text as stored.
  virtual TXLSBlob HeaderFooter(uint16_t id, std::string_view text,
                                const TXLSTextPlace& place) const = 0;
  /// HORIZONTALPAGEBREAKS or VERTICALPAGEBREAKS: the rows (columns) a break precedes.
  virtual TXLSBlob PageBreaks(bool vertical, const std::vector<uint16_t>& positions) const = 0;
  /// A text cell from the text as stored.
  virtual TXLSBlob Label(uint16_t row, uint16_t col, uint16_t xf, std::string_view text,
                         const TXLSTextPlace& place) = 0;
  /// The STRING record after a FORMULA whose result is text.
  virtual TXLSBlob FormulaString(std::string_view text, const TXLSTextPlace& place) const = 0;
  /// The pictures and notes of a sheet in its data section, after the cell
  /// records. BIFF5 writes a NOTE record (continued in further NOTE records)
  /// per note, and the sheet writes OBJ and IMDATA of its pictures itself
  /// after them; BIFF8 stores both as the shapes of the sheet's drawing,
  /// followed by the NOTE records. The drop-downs of an AutoFilter are
  /// drawing shapes of BIFF8 only (BIFF5 readers draw them themselves).
  /// @param sheet 0-based. @param sheet_name As stored, for the loss
  /// report. @param pictures The sheet's pictures (unused
  /// where PicturesAsImData). @param notes The sheet's notes, by row and
  /// column. @param drop_downs The filter buttons of the sheet's AutoFilter
  /// (unused where PicturesAsImData).
  /// @return 1, or -1 when an append fails.
  virtual int32_t StoreDrawing(TXLSRecordSection& section, uint16_t sheet,
                               std::string_view sheet_name,
                               std::vector<TXLSDrawingPicture>&& pictures,
                               const std::vector<TXLSNoteFields>& notes,
                               std::vector<TXLSDrawingDropDown>&& drop_downs) = 0;
  /// @return Whether the sheet's own OBJ and IMDATA records carry its pictures.
  virtual bool PicturesAsImData() const = 0;

  // ---- Formula tokens --------------------------------------------------------
  /// Appends a text constant (tStr) from the text as stored.
  virtual void AddStringToken(std::vector<uint8_t>& out, std::string_view text,
                              const TXLSTextPlace& place) const = 0;
  /// Appends a reference token.
  virtual void AddReferenceToken(std::vector<uint8_t>& out, const TXLSTokenRef& ref) const = 0;
  /// Appends a name token (tName).
  /// @param id xlstoken::kName, plus xlstoken::kValueClass for the value class.
  /// @param index The 1-based index of the name's NAME record.
  virtual void AddNameToken(std::vector<uint8_t>& out, uint8_t id, uint16_t index) const = 0;
};

/// The encoder of a file format for one save.
/// @param file_format kXLSFileFormatBiff5 or kXLSFileFormatBiff8.
/// @param texts The save's text converter (code page, UTF-8 mode, losses);
/// null for raw bytes (BIFF5 only).
/// @return The encoder; BIFF5 for any other number.
std::unique_ptr<TXLSRecordEncoder> MakeRecordEncoder(int32_t file_format, TXLSTextEncoder* texts);

/// A BIFF5 encoder without text conversion: stored texts are written as
/// they are. The default of the table builders when no save is running.
const TXLSRecordEncoder& PlainBiff5Encoder();

}  // namespace tabulon
