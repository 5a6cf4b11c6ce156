// Notes (comments) on the range's cells.
#include "XLSRange.h"
#include "XLSWorksheet.h"

namespace tabulon {

int32_t TXLSRange::AddComment(const std::string& text) {
  return AddComment(text, std::string());
}

int32_t TXLSRange::AddComment(const std::string&, const std::string&) {
  Worksheet.SetLastError("AddComment: not available yet");
  return -1;
}

void TXLSRange::ClearComments() {}

}  // namespace tabulon
