// Where the sheet's outline groups keep their summaries.
#include "XLSWorksheet.h"

namespace tabulon {

int32_t TXLSWorksheet::SetOutlineSummary(int32_t, int32_t) {
  SetLastError("SetOutlineSummary: not available yet");
  return -1;
}

}  // namespace tabulon
