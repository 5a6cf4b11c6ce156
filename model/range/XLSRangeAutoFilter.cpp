// The range's filter drop-downs.
#include "XLSRange.h"
#include "XLSWorksheet.h"

namespace tabulon {

int32_t TXLSRange::AutoFilter() {
  Worksheet.SetLastError("AutoFilter: not available yet");
  return -1;
}

}  // namespace tabulon
