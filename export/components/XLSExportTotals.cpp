// The totals row of an export: a SUM under each numeric or currency column
// of the detail block, kept live in the file so that edits to the detail
// rows show in the totals; and the grand-total row of an export over
// several sheets, which adds up their totals rows.
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

// 'Orders (2)'!C12: a reference to a cell of another sheet, its name quoted
// with a quote in it doubled.
std::string SheetCellRef(const std::string& sheet, int32_t row, int32_t col) {
  std::string quoted = "'";
  for (const char c : sheet) quoted += c == '\'' ? std::string("''") : std::string(1, c);
  return quoted + "'!" + CellRef(row, col);
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
    const char* format = TotalsNumFormat(column);
    if (format) cell->SetNumFormat(format);
    NoteDetailWidth(column.Col, cell->GetValue(), format, GetHeaderFont());
  }
}

const char* TXLSExportComponent::TotalsNumFormat(const TTotalsColumn& column) const {
  static const std::string kNone;
  return FieldNumFormat(column.Type, column.Field ? column.Field->GetDisplayFormat() : kNone, 0);
}

// A term per sheet rather than one SUM: SUM takes 30 arguments, the sheets
// of an export may be more. A formula the format cannot hold (a totals row
// past the rows BIFF5 formulas address, or too long for its record) is
// refused by the formula layer.
bool TXLSExportComponent::WriteGrandTotalFormula(IXLSRange& cell, int32_t col) {
  std::string formula;
  for (const TXLSSheetTotals& totals : sheetTotals_)
    formula += (formula.empty() ? "=" : "+") +
               SheetCellRef(totals.Sheet->GetWorkSheetName(), totals.Block.LastRow + 1, col);
  return cell.SetFormula(formula).Ok();
}

void TXLSExportComponent::WriteGrandTotal(int32_t row, const std::vector<TTotalsColumn>& columns) {
  for (size_t i = 0; i < columns.size(); ++i) {
    const TTotalsColumn& column = columns[i];
    XLSPtr<IXLSRange> cell = Cell(row, column.Col);
    const bool summed = i > 0 && IsNumericFieldType(column.Type);
    FormatHeaderCell(*cell, GetHeaderFont(), HeaderColor, summed ? xlHAlignRight : xlHAlignLeft);
    if (i == 0) {
      cell->SetValue(OleVariant(ownTexts_.GrandTotalLabel));
      NoteHeaderWidth(column.Col, ownTexts_.GrandTotalLabel, GetHeaderFont());
      continue;
    }
    if (!summed) continue;
    if (!WriteGrandTotalFormula(*cell, column.Col)) {
      double sum = 0;
      for (const TXLSSheetTotals& totals : sheetTotals_)
        sum += ColumnSum(*totals.Sheet, column.Col, totals.Block.FirstRow, totals.Block.LastRow);
      cell->SetValue(OleVariant(sum));
    }
    const char* format = TotalsNumFormat(column);
    if (format) cell->SetNumFormat(format);
    NoteDetailWidth(column.Col, cell->GetValue(), format, GetHeaderFont());
  }
}

}  // namespace tabulon
