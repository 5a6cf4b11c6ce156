// The workbook's defined names.
#include "XLSWorkbook.h"

namespace tabulon {

int32_t TXLSWorkbook::AddName(const std::string&, const std::string&) {
  lastError_ = "AddName: not available yet";
  return -1;
}

}  // namespace tabulon
