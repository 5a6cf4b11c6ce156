// Formulas through ranges: setting one on a block (filled as a user fills
// it), reading it back, and keeping the workbook's formulas right when
// Insert or Delete shifts cells.
#include "XLSCellHeap.h"
#include "XLSFormula.h"
#include "XLSRange.h"
#include "XLSWorkSheets.h"
#include "XLSWorkbook.h"
#include "XLSWorksheet.h"

namespace tabulon {

namespace {

// A block this large would take gigabytes of formulas.
constexpr int64_t kMaxFormulaCells = int64_t{1} << 20;

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
  TXLSCellHeap& heap = Worksheet.GetCellHeap();
  TXLSFormulas& formulas = Worksheet.GetFormulas();
  for (int32_t row = FirstRow; row <= LastRow; ++row) {
    for (int32_t col = FirstCol; col <= LastCol; ++col) {
      TXLSCellRef* cell =
          heap.GetOrCreateValue(static_cast<uint16_t>(row), static_cast<uint8_t>(col));
      if (cell->Merged && !cell->IsMergeMaster()) continue;
      cell->ClearValue(heap.Texts());
      TXLSFormula filled = formula;
      ShiftFormula(filled, row - FirstRow, col - FirstCol);
      formulas.Set(row, col, std::move(filled));
    }
  }
  return status;
}

std::string TXLSRange::GetFormula() {
  const TXLSFormula* formula = Worksheet.GetFormulas().Find(FirstRow, FirstCol);
  return formula ? FormulaText(*formula, Worksheet) : std::string();
}

void TXLSRange::AdjustFormulas(bool vertical, bool insert) {
  TXLSWorkSheets& sheets = Worksheet.GetWorkbook().GetSheets();
  for (int32_t i = 1; i <= sheets.GetCount(); ++i) {
    TXLSWorksheet& sheet = *sheets.GetSheet(i);
    sheet.GetFormulas().AdjustForShift(sheet, Worksheet, FirstRow, FirstCol, LastRow, LastCol,
                                       vertical, insert);
  }
}

}  // namespace tabulon
