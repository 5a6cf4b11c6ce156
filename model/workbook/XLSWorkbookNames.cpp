// The workbook's defined names.
#include "XLSDefinedNames.h"
#include "XLSWorkbook.h"

namespace tabulon {

int32_t TXLSWorkbook::AddName(const std::string& name, const std::string& refers_to) {
  return names_->Add(*this, nullptr, name, refers_to, lastError_);
}

}  // namespace tabulon
