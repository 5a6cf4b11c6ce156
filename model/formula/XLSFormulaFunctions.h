// The worksheet functions a formula may call: their BIFF function numbers,
// argument counts and whether each argument is taken as a reference or as a
// value. Shared by the parser, the printer, the encoder and the evaluator.
#pragma once

#include <cstdint>
#include <string>

namespace tabulon {

/// One worksheet function of the formula language.
struct TXLSFunctionInfo {
  const char* Name;  ///< upper-case name as written in formulas
  uint16_t Index;    ///< BIFF function number (one of xlsfunc)
  uint8_t MinArgs;   ///< fewest arguments accepted
  uint8_t MaxArgs;   ///< most arguments accepted
  /// Per argument 'R' (taken as a reference) or 'V' (taken as a value); the
  /// last letter applies to every further argument.
  const char* ArgClasses;
  /// True when the result changes without its inputs changing (NOW, TODAY).
  bool Volatile;
  /// @return true when the argument count varies, so the function is written
  ///         as xlstoken::kFuncVar with its count (fixed counts as xlstoken::kFunc)
  bool IsVariable() const { return MinArgs != MaxArgs; }
  /// @param arg zero-based argument number
  /// @return true when that argument is taken as a reference
  bool TakesReference(int arg) const;
};

/// The function of that name (any letter case), or null when the formula
/// language has none.
/// @param name the name as written before '('
/// @return the table entry, or nullptr
const TXLSFunctionInfo* FindFunction(const std::string& name);

/// The function of that BIFF number, or null.
/// @param index BIFF function number
/// @return the table entry, or nullptr
const TXLSFunctionInfo* FindFunction(uint16_t index);

}  // namespace tabulon
