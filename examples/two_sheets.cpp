// Builds a small two-sheet workbook through the public interfaces and saves
// it to the file named on the command line:
//
//   example_two_sheets7 report.xls
//
// Sheet "Orders" holds a header row, texts, numbers and a date, with the header
// row frozen; sheet "Summary" is filled from one array through a range Value.
#include <tabulon/Tabulon.h>

#include <iostream>

using namespace tabulon;

namespace {

// Day serial of 15 March 2024: days since 30 December 1899, the day-count
// origin of spreadsheet dates (a fraction would add the time of day).
constexpr double kOrderDate = 45366;

// Writes value into the single cell at address (e.g. "B2").
void Put(IXLSWorkSheet& sheet, const char* address, const OleVariant& value) {
  sheet.FGetRange(address, address)->SetValue(value);
}

void FillOrders(IXLSWorkSheet& sheet) {
  sheet.SetWorkSheetName("Orders");
  Put(sheet, "A1", "Customer");
  Put(sheet, "B1", "Quantity");
  Put(sheet, "C1", "Amount");
  Put(sheet, "D1", "Ordered on");
  Put(sheet, "A2", "Anna Schmidt");
  Put(sheet, "B2", 3);
  Put(sheet, "C2", 59.85);
  Put(sheet, "D2", OleVariant::Date(kOrderDate));
  sheet.FGetRange("D2", "D2")->SetNumFormat("yyyy-mm-dd");
  sheet.FreezePanes(1, 0, 1, 0);  // keep the header row in view
}

void FillSummary(IXLSWorkSheet& sheet) {
  sheet.SetWorkSheetName("Summary");
  // A 2 x 3 array fills A1:C2; the first index is the row.
  OleVariant table = VarArrayCreate({0, 1, 0, 2});
  table.PutElement({0, 0}, "Region");
  table.PutElement({0, 1}, "Orders");
  table.PutElement({0, 2}, "Revenue");
  table.PutElement({1, 0}, "North");
  table.PutElement({1, 1}, 12);
  table.PutElement({1, 2}, 1234.5);
  sheet.FGetRange("A1", "C2")->SetValue(table);
  sheet.SetZoom(150);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: " << argv[0] << " OUT.xls\n";
    return 2;
  }
  TXLSWorkbook workbook;
  XLSPtr<IXLSWorkSheets> sheets = workbook.GetWorksheets();
  FillOrders(*sheets->Add());
  FillSummary(*sheets->Add());
  if (workbook.SaveAs(argv[1]) != 1) {
    std::cerr << "cannot save " << argv[1] << ": " << workbook.GetLastError() << '\n';
    return 1;
  }
  return 0;
}
