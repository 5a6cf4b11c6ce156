// W(N) written with Tabulon cell by cell through the public range interface,
// then saved: bench_tabulon N OUT.xls [--phases]
// With --phases, the time of filling the sheet, of SaveAs and of destroying
// the workbook is printed on stderr, to tell where a slow run spends it.
#include <tabulon/Tabulon.h>
#include <tabulon/XLSCellRef.h>

#include <chrono>
#include <cstring>
#include <iostream>
#include <memory>

#include "Workload.h"

using namespace tabulon;

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void Fill(IXLSWorkSheet& sheet, int32_t rows) {
  for (int32_t row = 0; row < rows; ++row) {
    for (int col = 0; col < bench::kColumns; ++col) {
      const std::string cell = EncodeCellRef(static_cast<uint16_t>(row), static_cast<uint8_t>(col));
      XLSPtr<IXLSRange> range = sheet.FGetRange(cell, cell);
      if (bench::IsNumberColumn(col)) {
        range->SetValue(bench::NumberAt(row, col));
      } else {
        range->SetValue(bench::TextAt(row, col));
      }
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  const int32_t rows = bench::RowCount(argc, argv, "N OUT.xls [--phases]");
  const bool phases = argc > 3 && std::strcmp(argv[3], "--phases") == 0;
  auto start = Clock::now();
  auto workbook = std::make_unique<TXLSWorkbook>();
  Fill(*workbook->GetWorksheets()->Add(), rows);
  const double fillMs = MsSince(start);
  start = Clock::now();
  const int32_t saved = workbook->SaveAs(argv[2]);
  const double saveMs = MsSince(start);
  if (saved != 1) {
    std::cerr << workbook->GetLastError() << '\n';
    return 1;
  }
  start = Clock::now();
  workbook.reset();
  if (phases) {
    std::cerr << "fill " << fillMs << " ms, save " << saveMs << " ms, destroy " << MsSince(start)
              << " ms\n";
  }
  return 0;
}
