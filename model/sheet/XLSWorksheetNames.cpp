// The sheet's own defined names.
#include "XLSWorksheet.h"

namespace tabulon {

int32_t TXLSWorksheet::AddName(const std::string&, const std::string&) {
  SetLastError("AddName: not available yet");
  return -1;
}

}  // namespace tabulon
