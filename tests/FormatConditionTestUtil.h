// Conditions for AddFormatCondition, built the way the model and reader tests
// of conditional formats both need them.
#pragma once

#include <cstdint>
#include <string>

#include "Tabulon.h"

namespace tabulon {
namespace condition_test {

// A cell-value condition: the operator with one or two formulas.
inline TXLSFormatCondition CellValue(int32_t op, const std::string& formula1,
                                     const std::string& formula2 = "") {
  TXLSFormatCondition condition;
  condition.Operator = op;
  condition.Formula1 = formula1;
  condition.Formula2 = formula2;
  return condition;
}

// A formula condition: the format applies where the formula is true.
inline TXLSFormatCondition Expression(const std::string& formula) {
  TXLSFormatCondition condition;
  condition.Type = xlExpression;
  condition.Formula1 = formula;
  return condition;
}

}  // namespace condition_test
}  // namespace tabulon
