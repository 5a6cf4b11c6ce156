// The totals row of an export: a SUM under each numeric or currency column
// of the detail block, kept live in the file so that edits to the detail
// rows show in the totals.
#include "XLSCellRef.h"
#include "XLSExportBase.h"
#include "XLSFormula.h"

namespace tabulon {

namespace {

std::string CellRef(int32_t row, int32_t col) {
  return EncodeCellRef(static_cast<uint16_t>(row), static_cast<uint8_t>(col));
}

// The sum of a column's detail cells as the sheet holds them, for rows a
// formula of the file format cannot address (BIFF5's end at 16384).
double ColumnSum(IXLSWorkSheet& sheet, int32_t col, int32_t first_row, int32_t last_row) {
  double sum = 0;
  for (int32_t row = first_row; row <= last_row; ++row) {
    const std::string ref = CellRef(row, col);
    const OleVariant value = sheet.FGetRange(ref, ref)->GetValue();
    if (VarIsNumeric(value)) sum += value.ToDouble();
  }
  return sum;
}

}  // namespace

// The formula is refused when it reaches rows no formula of the file format
// addresses (BIFF5's end at 16384).
bool TXLSExportComponent::WriteSumFormula(IXLSRange& cell, int32_t col, int32_t first_row,
                                          int32_t last_row) {
  return cell.SetFormula("=SUM(" + CellRef(first_row, col) + ":" + CellRef(last_row, col) + ")")
      .Ok();
}

void TXLSExportComponent::WriteTotals(IXLSWorkSheet& sheet, int32_t first_row, int32_t last_row,
                                      const std::vector<TTotalsColumn>& columns) {
  const int32_t row = last_row + 1;
  if (row > XLSMaxRow)
    throw EXLSExportError("the totals row would lie below row " + std::to_string(XLSMaxRow + 1) +
                          ", the last row of a sheet");
  for (size_t i = 0; i < columns.size(); ++i) {
    const TTotalsColumn& column = columns[i];
    const std::string ref = CellRef(row, column.Col);
    XLSPtr<IXLSRange> cell = sheet.FGetRange(ref, ref);
    const bool summed = i > 0 && IsNumericFieldType(column.Type);
    FormatHeaderCell(*cell, GetHeaderFont(), HeaderColor, summed ? xlHAlignRight : xlHAlignLeft);
    if (i == 0) {
      cell->SetValue(OleVariant(ownTexts_.TotalsLabel));
      NoteHeaderWidth(column.Col, ownTexts_.TotalsLabel, GetHeaderFont());
    } else if (summed && last_row < first_row) {
      cell->SetValue(OleVariant(0.0));
    } else if (summed && !WriteSumFormula(*cell, column.Col, first_row, last_row)) {
      cell->SetValue(OleVariant(ColumnSum(sheet, column.Col, first_row, last_row)));
    }
    if (!summed) continue;
    // A sum may be wider than every value it adds up.
    const char* format = FormatByType(*cell, column.Type, 0, false);
    NoteDetailWidth(column.Col, cell->GetValue(), format, GetHeaderFont());
  }
}

}  // namespace tabulon
