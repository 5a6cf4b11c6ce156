// The sheet's filter list: its AUTOFILTERINFO record, and how it follows
// the cells that Insert and Delete move. Its _FilterDatabase name is one of
// the workbook's built-in names.
#include <algorithm>

#include "XLSBlob.h"
#include "XLSCellRef.h"
#include "XLSRecordEncoder.h"
#include "XLSRecordIds.h"
#include "XLSWorkbook.h"
#include "XLSWorksheet.h"

namespace tabulon {
namespace {

// One edge of the list after rows (or columns) first..last were inserted.
int32_t EdgeAfterInsert(int32_t edge, int32_t first, int32_t last, int32_t limit) {
  return edge >= first ? std::min(edge + last - first + 1, limit) : edge;
}

// The list's span low..high after first..last were deleted; false when
// nothing of it is left.
bool SpanAfterDelete(int32_t& low, int32_t& high, int32_t first, int32_t last) {
  const int32_t count = last - first + 1;
  const auto survivor = [&](int32_t edge, int32_t inside) {
    if (edge > last) return edge - count;
    return edge >= first ? inside : edge;
  };
  low = survivor(low, first);
  high = survivor(high, first - 1);
  return low <= high;
}

}  // namespace

void TXLSWorksheet::ShiftAutoFilter(int32_t row1, int32_t col1, int32_t row2, int32_t col2,
                                    bool vertical, bool insert) {
  if (!autoFilter_) return;
  TXLSFilterArea& area = *autoFilter_;
  // Across the shift, the block must span the whole list for it to move.
  const bool spanned = vertical ? col1 <= area.FirstCol && area.LastCol <= col2
                                : row1 <= area.FirstRow && area.LastRow <= row2;
  if (!spanned) return;
  int32_t& low = vertical ? area.FirstRow : area.FirstCol;
  int32_t& high = vertical ? area.LastRow : area.LastCol;
  const int32_t first = vertical ? row1 : col1;
  const int32_t last = vertical ? row2 : col2;
  if (insert) {
    const int32_t limit = vertical ? int32_t{XLSMaxRow} : int32_t{XLSMaxCol};
    low = EdgeAfterInsert(low, first, last, limit);
    high = EdgeAfterInsert(high, first, last, limit);
  } else if (!SpanAfterDelete(low, high, first, last)) {
    autoFilter_.reset();
  }
}

// The record counts the list's columns, each of which carries a drop-down.
// A header below the rows a name reaches has no _FilterDatabase name, and
// so no drop-downs.
int32_t TXLSWorksheet::StoreAutoFilterInfo() {
  if (!autoFilter_ || autoFilter_->FirstRow >= workbook_.GetRecordEncoder().NameMaxRow()) return 1;
  const int32_t columns = autoFilter_->LastCol - autoFilter_->FirstCol + 1;
  return AppendHeader(MakeWordRecord(xlsrec::kAutoFilterInfo, static_cast<uint16_t>(columns)));
}

}  // namespace tabulon
