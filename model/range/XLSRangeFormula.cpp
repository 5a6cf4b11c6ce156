// Formulas through ranges: setting one on a block (filled as a user fills
// it), reading it back, and keeping the workbook's formulas right when
// Insert or Delete shifts cells.
#include "XLSCellHeap.h"
#include "XLSCellRef.h"
#include "XLSDefinedNames.h"
#include "XLSFormula.h"
#include "XLSRange.h"
#include "XLSRecordEncoder.h"
#include "XLSWorkSheets.h"
#include "XLSWorkbook.h"
#include "XLSWorksheet.h"

namespace tabulon {

namespace {

// A block this large would take gigabytes of formulas.
constexpr int64_t kMaxFormulaCells = int64_t{1} << 20;

// A fill that moves a relative reference past the last row (16384 in BIFF5)
// or column IV would leave #REF! in the cells beyond: it is refused, naming
// the first cell the formula cannot be filled to.
bool RefuseFillPastReach(const TXLSFormula& formula, int32_t first_row, int32_t first_col,
                         int32_t last_row, int32_t last_col, int32_t max_row,
                         TXLSFormulaStatus& status) {
  const TXLSFillReach reach = FormulaFillReach(formula, max_row);
  const bool rowsPast = last_row - first_row > reach.Rows;
  if (!rowsPast && last_col - first_col <= reach.Cols) return false;
  const int32_t row = rowsPast ? first_row + reach.Rows + 1 : first_row;
  const int32_t col = rowsPast ? first_col : first_col + reach.Cols + 1;
  status.Code = -1;
  status.Message =
      "the formula cannot be filled to " +
      EncodeCellRef(static_cast<uint16_t>(row), static_cast<uint8_t>(col)) +
      (rowsPast ? ": its references there would pass row " + std::to_string(max_row + 1) +
                      ", the last row"
                : std::string(": its references there would pass column IV, the last column")) +
      " a formula can address";
  return true;
}

}  // namespace

TXLSFormulaStatus TXLSRange::SetFormula(const std::string& text) {
  TXLSFormula formula;
  TXLSFormulaStatus status = ParseFormula(text, Worksheet, formula);
  if (!status.Ok()) return status;
  if (int64_t{Height()} * Width() > kMaxFormulaCells) {
    status.Code = -1;
    status.Message = "the range has more than 1048576 cells to fill";
    return status;
  }
  const int32_t maxRow = Worksheet.GetWorkbook().GetRecordEncoder().FormulaMaxRow();
  if (RefuseFillPastReach(formula, FirstRow, FirstCol, LastRow, LastCol, maxRow, status))
    return status;
  TXLSCellHeap& heap = Worksheet.GetCellHeap();
  TXLSFormulas& formulas = Worksheet.GetFormulas();
  for (int32_t row = FirstRow; row <= LastRow; ++row) {
    for (int32_t col = FirstCol; col <= LastCol; ++col) {
      TXLSCellRef* cell =
          heap.GetOrCreateValue(static_cast<uint16_t>(row), static_cast<uint8_t>(col));
      if (cell->Merged && !cell->IsMergeMaster()) continue;
      cell->ClearValue(heap.Texts());
      TXLSFormula filled = formula;
      ShiftFormula(filled, row - FirstRow, col - FirstCol, maxRow);
      formulas.Set(row, col, std::move(filled));
    }
  }
  return status;
}

std::string TXLSRange::GetFormula() {
  const TXLSFormula* formula = Worksheet.GetFormulas().Find(FirstRow, FirstCol);
  return formula ? FormulaText(*formula, Worksheet) : std::string();
}

// The formulas of every sheet and the definitions of the names.
void TXLSRange::AdjustFormulas(bool vertical, bool insert) {
  TXLSWorkbook& book = Worksheet.GetWorkbook();
  const int32_t maxRow = book.GetRecordEncoder().FormulaMaxRow();
  TXLSWorkSheets& sheets = book.GetSheets();
  for (int32_t i = 1; i <= sheets.GetCount(); ++i) {
    TXLSWorksheet& sheet = *sheets.GetSheet(i);
    sheet.GetFormulas().AdjustForShift(sheet, Worksheet, maxRow, FirstRow, FirstCol, LastRow,
                                       LastCol, vertical, insert);
  }
  book.GetNames().AdjustForShift(Worksheet, maxRow, FirstRow, FirstCol, LastRow, LastCol, vertical,
                                 insert);
}

}  // namespace tabulon
