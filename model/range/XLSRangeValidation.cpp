// Data validations of the range's cells.
#include "XLSRange.h"
#include "XLSWorksheet.h"

namespace tabulon {

int32_t TXLSRange::AddValidation(const TXLSValidation&) {
  Worksheet.SetLastError("AddValidation: not available yet");
  return -1;
}

void TXLSRange::DeleteValidation() {}

}  // namespace tabulon
