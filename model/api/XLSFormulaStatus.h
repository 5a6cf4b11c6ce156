// What setting a cell formula answers, kept out of the formula engine's header
// so that the interfaces name it without the parser and the token store.
#pragma once

#include <cstdint>
#include <string>

namespace tabulon {

/// What SetFormula answers: accepted, or refused with where and why.
struct TXLSFormulaStatus {
  /// 1 when the formula was set, -1 when it was refused (nothing changed).
  int32_t Code = 1;
  /// 1-based character position in the formula text where the fault was
  /// found (the leading '=' is position 1); 0 when accepted or not tied to a
  /// position.
  int32_t Position = 0;
  /// Empty when accepted; else "position N: <what is wrong>".
  std::string Message;
  /// @return true when Code is 1.
  bool Ok() const { return Code == 1; }
};

}  // namespace tabulon
