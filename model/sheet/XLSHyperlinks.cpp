// Hyperlinks of the sheet's cells.
#include "XLSWorksheet.h"

namespace tabulon {

int32_t TXLSWorksheet::AddHyperlink(IXLSRange*, const std::string&, const std::string&) {
  SetLastError("AddHyperlink: not available yet");
  return -1;
}

}  // namespace tabulon
