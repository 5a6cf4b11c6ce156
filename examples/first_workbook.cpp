// The complete program shown in the README: one sheet of orders saved as
// orders.xls, or under the name given on the command line.
#include <tabulon/Tabulon.h>

#include <iostream>

using namespace tabulon;

int main(int argc, char** argv) {
  const char* path = argc > 1 ? argv[1] : "orders.xls";
  TXLSWorkbook workbook;  // the caller owns the workbook
  XLSPtr<IXLSWorkSheets> sheets = workbook.GetWorksheets();
  XLSPtr<IXLSWorkSheet> sheet = sheets->Add();  // "Sheet1"
  sheet->SetWorkSheetName("Orders");

  sheet->FGetRange("A1", "A1")->SetValue("Customer");
  sheet->FGetRange("B1", "B1")->SetValue("Amount");
  sheet->FGetRange("A1", "B1")->GetInterior()->SetColorIndex(ColorNameToIndex("yellow"));
  sheet->FGetRange("A2", "A2")->SetValue("Anna Schmidt");
  sheet->FGetRange("B2", "B2")->SetValue(59.85);
  double serial = 0;
  XLSEncodeDate(2024, 3, 15, serial);  // the day number a date cell holds
  XLSPtr<IXLSRange> date = sheet->FGetRange("C2", "C2");
  date->SetValue(OleVariant::Date(serial));
  date->SetNumFormat("yyyy-mm-dd");  // else readers show the day number
  sheet->FGetRange("A1", "A1")->GetEntireColumn()->SetColumnWidth(16);  // in characters

  // A whole block at once: the first index of the array is the row.
  OleVariant rows = VarArrayCreate({0, 1, 0, 1});
  rows.PutElement({0, 0}, "North");
  rows.PutElement({0, 1}, 12);
  rows.PutElement({1, 0}, "South");
  rows.PutElement({1, 1}, 7);
  sheet->FGetRange("A4", "B5")->SetValue(rows);

  sheet->FreezePanes(1, 0, 1, 0);  // keep the header row in view
  sheet->SetZoom(120);

  if (workbook.SaveAs(path) != 1) {
    std::cerr << workbook.GetLastError() << '\n';
    return 1;
  }
}
