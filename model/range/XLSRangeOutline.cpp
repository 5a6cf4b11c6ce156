// Outline groups of the range's rows or columns.
#include "XLSRange.h"
#include "XLSWorksheet.h"

namespace tabulon {

int32_t TXLSRange::Group() {
  Worksheet.SetLastError("Group: not available yet");
  return -1;
}

int32_t TXLSRange::Ungroup() {
  return Group();
}

int32_t TXLSRange::SetShowDetail(bool) {
  return Group();
}

}  // namespace tabulon
