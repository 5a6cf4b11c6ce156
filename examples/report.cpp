// Formats a small sales report through the public interfaces and saves it to
// the file named on the command line:
//
//   example_report7 report.xls
//
// A merged title over the table, a bold header row on a dark fill with white
// text, framed detail rows with number and date formats, a totals row with a
// double line above it, fitted column widths, a taller title row and the
// header kept in view.
#include <tabulon/Tabulon.h>

#include <iostream>

using namespace tabulon;

namespace {

struct TSale {
  const char* Region;
  const char* Product;
  int Units;
  double Amount;
  double Date;  // day serial: days since 30 December 1899
};

constexpr TSale kSales[] = {
    {"North", "Lamps", 12, 359.40, 45366},
    {"North", "Chairs", 4, 796.00, 45369},
    {"South", "Lamps", 7, 209.65, 45372},
    {"West", "Tables", 2, 1398.00, 45380},
};
constexpr int kSaleCount = sizeof(kSales) / sizeof(kSales[0]);
constexpr int kHeaderRow = 3;
constexpr int kFirstDetailRow = kHeaderRow + 1;
constexpr int kTotalsRow = kFirstDetailRow + kSaleCount;

// Palette colours by their caller index (1 to 56).
constexpr int32_t kWhite = 2;
constexpr int32_t kDarkBlue = 11;
constexpr int32_t kPaleBlue = 41;

std::string Cell(char column, int row) {
  return column + std::to_string(row);
}

XLSPtr<IXLSRange> Range(IXLSWorkSheet& sheet, const std::string& from, const std::string& to) {
  return sheet.FGetRange(from, to);
}

void WriteTitle(IXLSWorkSheet& sheet) {
  XLSPtr<IXLSRange> title = Range(sheet, "A1", "E1");
  Range(sheet, "A1", "A1")->SetValue("Sales, March 2024");
  title->Merge(OleVariant::Missing());
  title->SetHAlign(xlHAlignCenter);
  title->SetVAlign(xlVAlignCenter);
  XLSPtr<IXLSFont> font = title->GetFont();
  font->SetName("Times New Roman");
  font->SetSize(16);
  font->SetBold(true);
  font->SetItalic(true);
  font->SetUnderLine(xlUnderlineStyleSingle);
  title->SetRowHeight(30);
}

void WriteHeader(IXLSWorkSheet& sheet) {
  const char* names[] = {"Region", "Product", "Units", "Amount", "Sold on"};
  for (char column = 'A'; column <= 'E'; ++column)
    Range(sheet, Cell(column, kHeaderRow), Cell(column, kHeaderRow))->SetValue(names[column - 'A']);
  XLSPtr<IXLSRange> header = Range(sheet, Cell('A', kHeaderRow), Cell('E', kHeaderRow));
  header->GetFont()->SetBold(true);
  header->GetFont()->SetColorIndex(kWhite);
  header->GetInterior()->SetColorIndex(kDarkBlue);
  header->SetHAlign(xlHAlignCenter);
  header->SetWrapText(true);
}

void WriteDetails(IXLSWorkSheet& sheet) {
  for (int i = 0; i < kSaleCount; ++i) {
    const int row = kFirstDetailRow + i;
    OleVariant values = VarArrayCreate({0, 4});
    values.PutElement({0}, kSales[i].Region);
    values.PutElement({1}, kSales[i].Product);
    values.PutElement({2}, kSales[i].Units);
    values.PutElement({3}, kSales[i].Amount);
    values.PutElement({4}, OleVariant::Date(kSales[i].Date));
    Range(sheet, Cell('A', row), Cell('E', row))->SetValue(values);
  }
  const std::string last = std::to_string(kTotalsRow - 1);
  XLSPtr<IXLSRange> table = Range(sheet, Cell('A', kHeaderRow), "E" + last);
  XLSPtr<IXLSBorders> borders = table->GetBorders();
  borders->SetLineStyle(xlContinuous);
  borders->SetColor(0x808080);  // the nearest palette grey
  borders->GetBorder(xlEdgeBottom)->SetWeight(xlMedium);
  Range(sheet, Cell('D', kFirstDetailRow), "D" + last)->SetNumFormat("#,##0.00");
  Range(sheet, Cell('E', kFirstDetailRow), "E" + last)->SetNumFormat("dd/mm/yyyy");
  Range(sheet, Cell('A', kFirstDetailRow + 1), "E" + std::to_string(kFirstDetailRow + 1))
      ->GetInterior()
      ->SetColorIndex(kPaleBlue);
}

void WriteTotals(IXLSWorkSheet& sheet) {
  double units = 0, amount = 0;
  for (const TSale& sale : kSales) {
    units += sale.Units;
    amount += sale.Amount;
  }
  Range(sheet, Cell('A', kTotalsRow), Cell('A', kTotalsRow))->SetValue("Total");
  Range(sheet, Cell('C', kTotalsRow), Cell('C', kTotalsRow))->SetValue(units);
  Range(sheet, Cell('D', kTotalsRow), Cell('D', kTotalsRow))->SetValue(amount);
  XLSPtr<IXLSRange> totals = Range(sheet, Cell('A', kTotalsRow), Cell('E', kTotalsRow));
  totals->GetFont()->SetBold(true);
  totals->GetBorders()->GetBorder(xlEdgeTop)->SetLineStyle(xlDouble);
  Range(sheet, Cell('D', kTotalsRow), Cell('D', kTotalsRow))->SetNumFormat("#,##0.00");
}

void LayOut(IXLSWorkSheet& sheet) {
  OleVariant widths = VarArrayCreate({0, 4});
  const double characters[] = {12, 14, 8, 12, 12};
  for (int32_t i = 0; i < 5; ++i) widths.PutElement({i}, characters[i]);
  Range(sheet, "A1", "E1")->SetColumnWidth(widths);
  // Row 2 only spaces the title from the table; column G holds working notes.
  Range(sheet, "A2", "A2")->GetEntireRow()->SetHidden(true);
  Range(sheet, "G1", "G1")->SetValue("checked");
  Range(sheet, "G1", "G1")->GetEntireColumn()->SetHidden(true);
  sheet.FreezePanes(kHeaderRow, 0, kHeaderRow, 0);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: " << argv[0] << " OUT.xls\n";
    return 2;
  }
  TXLSWorkbook workbook;
  XLSPtr<IXLSWorkSheet> sheet = workbook.GetWorksheets()->Add();
  sheet->SetWorkSheetName("Report");
  WriteTitle(*sheet);
  WriteHeader(*sheet);
  WriteDetails(*sheet);
  WriteTotals(*sheet);
  LayOut(*sheet);
  if (workbook.SaveAs(argv[1]) != 1) {
    std::cerr << "cannot save " << argv[1] << ": " << workbook.GetLastError() << '\n';
    return 1;
  }
  return 0;
}
