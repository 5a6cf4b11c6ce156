// The range's filter drop-downs: the range becomes the sheet's filter list,
// which the save writes as the sheet's hidden _FilterDatabase name, its
// AUTOFILTERINFO record and, in BIFF8, a drop-down object per column.
#include "XLSCellRef.h"
#include "XLSRange.h"
#include "XLSWorksheet.h"

namespace tabulon {

int32_t TXLSRange::AutoFilter() {
  const std::string area =
      EncodeCellRef(static_cast<uint16_t>(FirstRow), static_cast<uint8_t>(FirstCol)) + ":" +
      EncodeCellRef(static_cast<uint16_t>(LastRow), static_cast<uint8_t>(LastCol));
  if (Worksheet.IsDetached()) {
    Worksheet.SetLastError("AutoFilter " + area + ": the sheet was deleted");
    return -1;
  }
  if (Height() < 2) {
    Worksheet.SetLastError("AutoFilter " + area +
                           ": the list needs a header row and at least one row below it");
    return -1;
  }
  Worksheet.SetAutoFilter({FirstRow, LastRow, FirstCol, LastCol});
  return 1;
}

}  // namespace tabulon
