// Cell formulas: the expression of a formula cell kept as reverse Polish
// tokens, the parser that builds them from A1 text, the printer that turns
// them back into text, their BIFF5 token bytes, and the per-sheet store that
// holds the formulas of one worksheet. The tokens hold cell positions on the
// sheet (not offsets from the formula cell), each with its own relative
// flags, which is how a FORMULA record carries them; filling a formula over a
// block moves the relative parts, Insert and Delete move every reference
// that points across the changed block.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "XLSFormulaStatus.h"

namespace tabulon {

class TXLSWorksheet;
class TXLSRecordEncoder;
struct TXLSTextPlace;

/// The BIFF error codes a formula can hold or produce.
enum TXLSFormulaError : uint8_t {
  xlErrNull = 0x00,   ///< \#NULL!
  xlErrDiv0 = 0x07,   ///< \#DIV/0!
  xlErrValue = 0x0F,  ///< \#VALUE!
  xlErrRef = 0x17,    ///< \#REF!
  xlErrName = 0x1D,   ///< \#NAME?
  xlErrNum = 0x24,    ///< \#NUM!
  xlErrNA = 0x2A,     ///< \#N/A
};

/// The text of an error code ("#DIV/0!"), or empty for an unknown code.
/// @param code one of TXLSFormulaError
/// @return the error's text as a spreadsheet shows it
std::string FormulaErrorText(uint8_t code);

/// One corner of a cell reference: a zero-based position on the sheet and
/// whether each part is relative (moves when the formula is filled).
struct TXLSRefPoint {
  int32_t Row = 0;     ///< zero-based row
  int32_t Col = 0;     ///< zero-based column
  bool RowRel = true;  ///< false when written with $ before the row
  bool ColRel = true;  ///< false when written with $ before the column
};

/// How a formula names another sheet. Every formula referring to a sheet
/// shares the sheet's one link, which forgets the sheet when it leaves its
/// workbook or is freed: a reference then reads as \#REF!, whichever of the
/// sheets goes first and whoever still holds them.
struct TXLSSheetLink {
  /// The sheet; null once it has been deleted.
  TXLSWorksheet* Sheet = nullptr;
};

/// Kinds of formula tokens.
enum class TXLSTokenKind : uint8_t {
  Number,      ///< Number holds the constant
  String,      ///< Text holds the constant
  Bool,        ///< Code holds 0 or 1
  Error,       ///< Code holds a TXLSFormulaError
  Ref,         ///< a single cell, First
  Area,        ///< a block, First to Last
  Operator,    ///< Code holds the operator's token id (xlstoken::kAdd .. xlstoken::kPercent)
  Function,    ///< Function and ArgCount say which and with how many arguments
  Paren,       ///< parentheses the writer put around the operand before it
  MissingArg,  ///< an argument left empty, as in IF(A1,,1)
};

/// One reverse Polish token of a formula.
struct TXLSFormulaToken {
  TXLSTokenKind Kind = TXLSTokenKind::Number;  ///< what the token is
  uint8_t Code = 0;                            ///< operator token, error code or boolean
  bool ValueClass = true;  ///< references: operand taken as a value (else as a reference)
  uint16_t Function = 0;   ///< functions: BIFF function number (one of xlsfunc)
  uint8_t ArgCount = 0;    ///< functions: arguments given
  double Number = 0.0;     ///< numbers
  std::string Text;        ///< strings
  /// References to another sheet: that sheet's link; null: the formula's own sheet.
  std::shared_ptr<const TXLSSheetLink> Sheet;
  TXLSRefPoint First;  ///< references: top-left corner (the cell of a Ref)
  TXLSRefPoint Last;   ///< areas: bottom-right corner
};

/// @param token any token
/// @return true for a reference to a sheet that has been deleted (it reads,
///         prints and is written as \#REF!)
bool IsDeletedSheetReference(const TXLSFormulaToken& token);

/// A value a formula produces: number, text, boolean, error or nothing.
struct TXLSFormulaValue {
  /// Which member holds the value.
  enum TKind : uint8_t { kEmpty, kNumber, kString, kBool, kError } Kind = kEmpty;  ///< the kind
  double Number = 0.0;  ///< Number; Bool as 0 or 1
  std::string Text;     ///< String
  uint8_t Error = 0;    ///< Error: a TXLSFormulaError
};

/// A formula of one cell: its tokens and the result of its last evaluation.
struct TXLSFormula {
  std::vector<TXLSFormulaToken> Tokens;  ///< reverse Polish order
  TXLSFormulaValue Result;               ///< the cached result
  /// True when the evaluator could not compute Result (or the formula is
  /// volatile, as NOW()): the record then asks the reader to recalculate.
  bool NeedsRecalc = false;
};

/// Largest row a BIFF5 formula reference can address (14 bits), zero-based.
/// A BIFF8 reference reaches every row (0xFFFF); a workbook's reach is its
/// record encoder's FormulaMaxRow().
constexpr int32_t XLSFormulaMaxRow = 0x3FFF;

/// Parses formula text ("=A2*$B$1") written in cell (row, col) of sheet.
/// Sheet names after which a '!' follows must name a sheet of the same
/// workbook ('Other sheet'!B2:B9 or Other!B2).
/// @param text the formula with its leading '='
/// @param sheet the sheet of the formula cell, which resolves sheet names
/// @param formula receives the tokens when the text is accepted
/// @return accepted, or refused with the position and reason (syntax error,
///         unknown function, wrong argument count, unknown sheet, reference
///         outside the rows and columns a formula of the workbook's file
///         format can address)
TXLSFormulaStatus ParseFormula(const std::string& text, TXLSWorksheet& sheet, TXLSFormula& formula);

/// The text of a formula with its leading '=' as the parser reads it back.
/// @param formula the tokens to print
/// @param sheet the sheet of the formula cell (references to it carry no sheet name)
/// @return "=..." ; references that were deleted print as \#REF!
std::string FormulaText(const TXLSFormula& formula, const TXLSWorksheet& sheet);

/// The token bytes of a formula (what a FORMULA record carries after its
/// length) in the file format of the encoder.
/// @param formula the tokens to encode
/// @param sheet the sheet of the formula cell; other sheets are written as
///        3-D references
/// @param encoder the save's record encoder, which lays out references and
///        text constants as the file format does (and reports what the code
///        page cannot hold)
/// @param place the formula's cell, for that report
/// @return the bytes; empty when a token cannot be written
std::vector<uint8_t> EncodeFormula(const TXLSFormula& formula, const TXLSWorksheet& sheet,
                                   const TXLSRecordEncoder& encoder, const TXLSTextPlace& place);

/// The token bytes of a formula read relative to a base cell, as
/// conditional formats keep theirs (one formula for every cell of a range):
/// a reference with a relative part is written as tRefN or tAreaN, that
/// part an offset from the base cell; absolute references and references
/// to other sheets as EncodeFormula writes them.
/// @param formula the tokens to encode, parsed as if written in the base cell
/// @param sheet the sheet the formula belongs to
/// @param encoder the save's record encoder
/// @param place where the formula is, for reports of texts the code page lacks
/// @param base_row zero-based row of the base cell (a range's top-left cell)
/// @param base_col zero-based column of the base cell
/// @return the bytes; empty when a token cannot be written
std::vector<uint8_t> EncodeFormulaAt(const TXLSFormula& formula, const TXLSWorksheet& sheet,
                                     const TXLSRecordEncoder& encoder, const TXLSTextPlace& place,
                                     int32_t base_row, int32_t base_col);

/// How far a formula can be filled before a relative reference passes the
/// last row or column a formula can address.
struct TXLSFillReach {
  int32_t Rows = 0;  ///< rows it can move down
  int32_t Cols = 0;  ///< columns it can move right
};

/// @param formula a parsed formula
/// @param max_row the last row (zero-based) a reference can address
/// @return the largest moves down and right that keep every reference inside
///         rows 0 to max_row and columns A to IV
TXLSFillReach FormulaFillReach(const TXLSFormula& formula, int32_t max_row);
/// @param formula a parsed formula
/// @return the last row (zero-based) any of its references names; -1 for none
int32_t FormulaLastRow(const TXLSFormula& formula);

/// Moves the relative parts of every reference by the given rows and
/// columns, as filling a formula does; a reference that leaves the sheet
/// becomes \#REF!.
/// @param formula the formula to change in place
/// @param rows rows to move down (negative: up)
/// @param cols columns to move right (negative: left)
/// @param max_row the last row (zero-based) a reference can address
void ShiftFormula(TXLSFormula& formula, int32_t rows, int32_t cols, int32_t max_row);

/// The formulas of one worksheet, keyed by cell position.
class TXLSFormulas {
 public:
  /// The formula of cell (row, col), or null.
  /// @param row zero-based row  @param col zero-based column
  /// @return the stored formula; valid until the store next changes
  TXLSFormula* Find(int32_t row, int32_t col);
  /// Stores formula as the formula of (row, col), replacing any other.
  void Set(int32_t row, int32_t col, TXLSFormula&& formula);
  /// Removes the formula of (row, col), if any.
  void Erase(int32_t row, int32_t col);
  /// Removes every formula in the rectangle (zero-based, inclusive).
  void EraseRect(int32_t row1, int32_t col1, int32_t row2, int32_t col2);
  /// Moves the formula of (row, col) to (dest_row, dest_col), replacing the
  /// one there; when the source has none, the destination's is removed.
  void Move(int32_t row, int32_t col, int32_t dest_row, int32_t dest_col);
  /// True when the sheet holds no formula.
  bool Empty() const { return map_.empty(); }
  /// Number of formulas stored.
  size_t Count() const { return map_.size(); }
  /// Calls fn(row, col, TXLSFormula&) for every formula, in no set order.
  template <class Fn>
  void ForEach(Fn&& fn) {
    for (auto& entry : map_)
      fn(static_cast<int32_t>(entry.first >> 8), static_cast<int32_t>(entry.first & 0xFF),
         entry.second);
  }

  /// Moves every reference to target that points across an inserted or
  /// deleted block, as a spreadsheet does; a reference into a deleted block
  /// becomes \#REF!.
  /// @param owner the sheet holding these formulas
  /// @param target the sheet whose cells moved
  /// @param max_row the last row (zero-based) a reference can address
  /// @param row1 first row of the block (zero-based)  @param col1 first column
  /// @param row2 last row of the block  @param col2 last column
  /// @param vertical true when cells shift down (insert) or up (delete),
  ///        false when they shift right or left
  /// @param insert true for Insert, false for Delete
  void AdjustForShift(const TXLSWorksheet& owner, const TXLSWorksheet& target, int32_t max_row,
                      int32_t row1, int32_t col1, int32_t row2, int32_t col2, bool vertical,
                      bool insert);

 private:
  static uint32_t Key(int32_t row, int32_t col) {
    return (static_cast<uint32_t>(row) << 8) | static_cast<uint32_t>(col);
  }
  std::unordered_map<uint32_t, TXLSFormula> map_;
};

/// Computes the cached result of every formula of every sheet of the
/// workbook that sheet belongs to; what cannot be computed is marked
/// NeedsRecalc. Called by the workbook before it writes the cells.
/// @param sheet any sheet of the workbook
void EvaluateWorkbookFormulas(TXLSWorksheet& sheet);

/// Computes (and caches in each TXLSFormula's Result) the results of the
/// formulas in a block and of the formulas they read, each once.
/// @param sheet the sheet holding the block
/// @param row1 first row (zero-based)  @param col1 first column
/// @param row2 last row  @param col2 last column
void EvaluateFormulasIn(TXLSWorksheet& sheet, int32_t row1, int32_t col1, int32_t row2,
                        int32_t col2);

}  // namespace tabulon
