// Conditional formats of the range.
#include "XLSRange.h"
#include "XLSWorksheet.h"

namespace tabulon {

int32_t TXLSRange::AddFormatCondition(const TXLSFormatCondition&) {
  Worksheet.SetLastError("AddFormatCondition: not available yet");
  return -1;
}

void TXLSRange::DeleteFormatConditions() {}

}  // namespace tabulon
