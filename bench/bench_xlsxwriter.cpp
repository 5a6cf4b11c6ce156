// W(N) written with libxlsxwriter, in its normal mode or, with
// --constant-memory, in the mode that streams each row to disk:
// bench_xlsxwriter N OUT.xlsx [--constant-memory]
#include <xlsxwriter.h>

#include <cstring>
#include <iostream>

#include "Workload.h"

int main(int argc, char** argv) {
  const int32_t rows = bench::RowCount(argc, argv, "N OUT.xlsx [--constant-memory]");
  lxw_workbook_options options = {};
  options.constant_memory = argc > 3 && std::strcmp(argv[3], "--constant-memory") == 0;
  lxw_workbook* workbook = workbook_new_opt(argv[2], &options);
  if (!workbook) {
    std::cerr << "cannot create " << argv[2] << '\n';
    return 1;
  }
  lxw_worksheet* sheet = workbook_add_worksheet(workbook, nullptr);
  for (int32_t row = 0; row < rows; ++row) {
    for (int col = 0; col < bench::kColumns; ++col) {
      if (bench::IsNumberColumn(col)) {
        worksheet_write_number(sheet, row, col, bench::NumberAt(row, col), nullptr);
      } else {
        worksheet_write_string(sheet, row, col, bench::TextAt(row, col).c_str(), nullptr);
      }
    }
  }
  const lxw_error status = workbook_close(workbook);
  if (status != LXW_NO_ERROR) {
    std::cerr << lxw_strerror(status) << '\n';
    return 1;
  }
  return 0;
}
