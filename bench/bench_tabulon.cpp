// W(N) written with Tabulon cell by cell through the public range interface,
// then saved: bench_tabulon N OUT.xls
#include <iostream>

#include <tabulon/Tabulon.h>
#include <tabulon/XLSCellRef.h>

#include "Workload.h"

using namespace tabulon;

int main(int argc, char** argv) {
  const int32_t rows = bench::RowCount(argc, argv, "N OUT.xls");
  TXLSWorkbook workbook;
  XLSPtr<IXLSWorkSheet> sheet = workbook.GetWorksheets()->Add();
  for (int32_t row = 0; row < rows; ++row) {
    for (int col = 0; col < bench::kColumns; ++col) {
      const std::string cell = EncodeCellRef(static_cast<uint16_t>(row), static_cast<uint8_t>(col));
      XLSPtr<IXLSRange> range = sheet->FGetRange(cell, cell);
      if (bench::IsNumberColumn(col)) {
        range->SetValue(bench::NumberAt(row, col));
      } else {
        range->SetValue(bench::TextAt(row, col));
      }
    }
  }
  if (workbook.SaveAs(argv[2]) != 1) {
    std::cerr << workbook.GetLastError() << '\n';
    return 1;
  }
  return 0;
}
