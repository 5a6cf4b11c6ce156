// The sheet's own defined names, kept with the workbook's names.
#include "XLSDefinedNames.h"
#include "XLSWorkbook.h"
#include "XLSWorksheet.h"

namespace tabulon {

int32_t TXLSWorksheet::AddName(const std::string& name, const std::string& refers_to) {
  if (IsDetached()) {
    SetLastError("AddName '" + name + "': the sheet has been deleted");
    return -1;
  }
  std::string error;
  const int32_t status = workbook_.GetNames().Add(workbook_, this, name, refers_to, error);
  if (status != 1) SetLastError(std::move(error));
  return status;
}

}  // namespace tabulon
