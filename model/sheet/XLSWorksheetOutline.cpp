// Where the sheet's outline groups keep their summaries.
#include "XLSColRowInfo.h"
#include "XLSConstants.h"
#include "XLSWorksheet.h"

namespace tabulon {

int32_t TXLSWorksheet::SetOutlineSummary(int32_t summary_row, int32_t summary_column) {
  if (summary_row != xlSummaryBelow && summary_row != xlSummaryAbove) {
    SetLastError("SetOutlineSummary: " + std::to_string(summary_row) +
                 " is neither xlSummaryBelow nor xlSummaryAbove (sheet \"" + name_ + "\")");
    return -1;
  }
  if (summary_column != xlSummaryOnRight && summary_column != xlSummaryOnLeft) {
    SetLastError("SetOutlineSummary: " + std::to_string(summary_column) +
                 " is neither xlSummaryOnRight nor xlSummaryOnLeft (sheet \"" + name_ + "\")");
    return -1;
  }
  rowInfo_->SetSummaryBelow(summary_row == xlSummaryBelow);
  columnInfo_->SetSummaryRight(summary_column == xlSummaryOnRight);
  return 1;
}

}  // namespace tabulon
