// The user-defined names of a workbook: workbook names and sheet-local names
// in one list, kept free of any file format. A formula's name token holds
// its name's entry in this list; entries are never removed or reordered, so
// a token stays valid whatever happens to the workbook. The save numbers the
// NAME records: the names come first, before the built-in names (print
// areas and titles), so their record indexes do not depend on how many
// built-in names a workbook writes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "XLSFormula.h"

namespace tabulon {

class TXLSRecordEncoder;
class TXLSRecordSection;
class TXLSWorkbook;
class TXLSWorksheet;

/// One defined name.
struct TXLSDefinedName {
  std::string Name;  ///< as given
  /// The sheet of a sheet-local name; null for a workbook name. A name whose
  /// sheet was deleted is no longer written (no formula can use it).
  std::shared_ptr<const TXLSSheetLink> Scope;
  TXLSFormula Definition;  ///< every reference names its sheet
  /// The 1-based index of its NAME record, given when it is added and again
  /// by each save (NumberRecords).
  uint16_t RecordIndex = 0;
};

/// The workbook's defined names.
class TXLSDefinedNames {
 public:
  /// The most names a workbook holds, which leaves the 16-bit NAME index room
  /// for the built-in names.
  static constexpr size_t kMaxNames = 0x4000;

  /// Checks name and refers_to and adds the name.
  /// @param book the workbook the names belong to
  /// @param scope the sheet of a sheet-local name, or null for a workbook name
  /// @param name the name (see IsValidName)
  /// @param refers_to its definition, "=..." (ParseNameDefinition)
  /// @param error receives why a name is refused, naming it
  /// @return 1, or -1 with error set
  int32_t Add(TXLSWorkbook& book, TXLSWorksheet* scope, const std::string& name,
              const std::string& refers_to, std::string& error);
  /// The name a formula of sheet means by text: the sheet's own name of that
  /// spelling, else the workbook's.
  /// @param text the name, compared without case
  /// @param sheet the formula's sheet; null looks at workbook names only
  /// @return its entry, or -1 when no such name is defined
  int32_t Find(const std::string& text, const TXLSWorksheet* sheet) const;
  /// @param entry an entry Find returned
  /// @return the name
  const TXLSDefinedName& Get(size_t entry) const { return names_[entry]; }
  /// @return how many names were added
  size_t Count() const { return names_.size(); }
  /// Numbers the NAME records of the names that are written, from 1: a save
  /// calls it before it encodes any formula.
  void NumberRecords();
  /// @param max_row the last row (zero-based) a reference can address
  /// @return the first name whose definition refers to a row past max_row,
  ///         or empty text
  std::string NameBeyondRow(int32_t max_row) const;
  /// Moves the references of every definition to target across an inserted
  /// or deleted block, as the formulas' references move
  /// (AdjustFormulaForShift takes the same parameters).
  void AdjustForShift(const TXLSWorksheet& target, int32_t max_row, int32_t row1, int32_t col1,
                      int32_t row2, int32_t col2, bool vertical, bool insert);
  /// Appends the NAME records of the names still in the workbook, in order.
  /// @param section the workbook globals
  /// @param book the workbook
  /// @param encoder the save's record encoder
  /// @return 1, or -1 when a record cannot be appended
  int32_t Store(TXLSRecordSection& section, const TXLSWorkbook& book,
                const TXLSRecordEncoder& encoder) const;

 private:
  /// Whether a name is written: workbook names always, sheet-local names
  /// while their sheet is in the workbook.
  static bool IsWritten(const TXLSDefinedName& name);
  /// Whether scope (null: the workbook) has a name of that spelling.
  bool IsTaken(const TXLSWorksheet* scope, const std::string& name) const;
  /// The file format ("BIFF5", "BIFF8") whose NAME record cannot hold name,
  /// or null when both can.
  static const char* FormatTooSmall(const TXLSWorkbook& book, const TXLSDefinedName& name);
  std::vector<TXLSDefinedName> names_;
};

/// Whether text can be a defined name: ASCII letters, digits, '_', '.' and
/// '\\', starting with a letter, '_' or '\\', at most 255 characters, and
/// neither a cell reference in A1 (one to three letters and digits, as
/// "A1" or "XFD1048576") or R1C1 form ("R", "C", "R1C1", "RC2"), nor TRUE
/// or FALSE.
/// @param text the candidate
/// @param reason receives why it cannot be
/// @return true when it can be a name
bool IsValidDefinedName(const std::string& text, std::string& reason);

}  // namespace tabulon
