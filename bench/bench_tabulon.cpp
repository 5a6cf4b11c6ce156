// W(N) written with Tabulon through the public range interface, then saved:
//   bench_tabulon N OUT.xls [--phases] [--bulk] [--sheets S] [--format biff5|biff8]
// By default every cell is written on its own, FGetRange(cell, cell)->SetValue.
// --bulk writes blocks of rows as 2-D arrays, one range per block.
// --sheets S writes W(N) on each of S sheets.
// --format biff8 saves Excel 97-2003 (BIFF8) instead of the default BIFF5.
// With --phases, the time of filling (and of its writes alone, without
// making the workload's values), of SaveAs and of destroying the workbook is
// printed on stderr, with the resident memory of the filled
// workbook and the peak resident memory during SaveAs.
#include <tabulon/Tabulon.h>
#include <tabulon/XLSCellRef.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "FileFormatOption.h"
#include "Workload.h"

using namespace tabulon;

namespace {

using Clock = std::chrono::steady_clock;

struct TOptions {
  bool phases = false;
  bool bulk = false;
  int sheets = 1;
  int32_t fileFormat = xlExcel5;
};

TOptions ParseOptions(int argc, char** argv) {
  TOptions options;
  for (int i = 3; i < argc; ++i) {
    if (std::strcmp(argv[i], "--phases") == 0) options.phases = true;
    if (std::strcmp(argv[i], "--bulk") == 0) options.bulk = true;
    if (std::strcmp(argv[i], "--sheets") == 0 && i + 1 < argc)
      options.sheets = std::atoi(argv[++i]);
    if (std::strcmp(argv[i], "--format") == 0 && i + 1 < argc)
      options.fileFormat = bench::FileFormat(argv[++i]);
  }
  if (options.sheets < 1) options.sheets = 1;
  return options;
}

double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

OleVariant CellValue(int32_t row, int col) {
  if (bench::IsNumberColumn(col)) return bench::NumberAt(row, col);
  return bench::TextAt(row, col);
}

// Both ways write the sheet in blocks of rows whose values the caller holds
// already, as rows from a data source; only the writing is timed as "writes".
constexpr int32_t kBlockRows = 1000;

std::vector<OleVariant> BlockValues(int32_t first, int32_t count) {
  std::vector<OleVariant> values;
  values.reserve(static_cast<size_t>(count) * bench::kColumns);
  for (int32_t row = first; row < first + count; ++row) {
    for (int col = 0; col < bench::kColumns; ++col) values.push_back(CellValue(row, col));
  }
  return values;
}

// Calls write(first, count, values) for each block of rows; returns the
// milliseconds spent in write.
template <class Write>
double FillBlocks(int32_t rows, Write write) {
  double writeMs = 0;
  for (int32_t first = 0; first < rows; first += kBlockRows) {
    const int32_t count = std::min(kBlockRows, rows - first);
    std::vector<OleVariant> values = BlockValues(first, count);
    const auto start = Clock::now();
    write(first, count, values);
    writeMs += MsSince(start);
  }
  return writeMs;
}

double FillCellByCell(IXLSWorkSheet& sheet, int32_t rows) {
  return FillBlocks(rows, [&](int32_t first, int32_t count, std::vector<OleVariant>& values) {
    for (int32_t i = 0; i < count; ++i) {
      const auto row = static_cast<uint16_t>(first + i);
      for (int col = 0; col < bench::kColumns; ++col) {
        const std::string cell = EncodeCellRef(row, static_cast<uint8_t>(col));
        sheet.FGetRange(cell, cell)->SetValue(values[size_t(i) * bench::kColumns + col]);
      }
    }
  });
}

// One range per block, written from a 2-D array that is made once and
// refilled for every block of the same size; the values move into it.
double FillInBlocks(IXLSWorkSheet& sheet, int32_t rows) {
  OleVariant block;
  int32_t blockRows = 0;
  return FillBlocks(rows, [&](int32_t first, int32_t count, std::vector<OleVariant>& values) {
    if (count != blockRows) {
      block = VarArrayCreate({0, count - 1, 0, bench::kColumns - 1});
      blockRows = count;
    }
    for (int32_t i = 0; i < count; ++i) {
      for (int col = 0; col < bench::kColumns; ++col)
        block.PutElement({i, col}, std::move(values[size_t(i) * bench::kColumns + col]));
    }
    const auto last = static_cast<uint16_t>(first + count - 1);
    sheet
        .FGetRange(EncodeCellRef(static_cast<uint16_t>(first), 0),
                   EncodeCellRef(last, bench::kColumns - 1))
        ->SetValue(block);
  });
}

// A figure of /proc/self/status in MB ("VmRSS", "VmHWM").
double StatusMb(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string name;
  long kb = 0;
  while (status >> name) {
    if (name == std::string(field) + ":") {
      status >> kb;
      break;
    }
    status.ignore(1 << 10, '\n');
  }
  return kb / 1024.0;
}

// Starts the peak resident memory afresh at the current size.
void ResetPeakMemory() {
  std::ofstream("/proc/self/clear_refs") << "5";
}

}  // namespace

int main(int argc, char** argv) {
  const int32_t rows = bench::RowCount(
      argc, argv, "N OUT.xls [--phases] [--bulk] [--sheets S] [--format biff5|biff8]");
  const TOptions options = ParseOptions(argc, argv);
  auto start = Clock::now();
  auto workbook = std::make_unique<TXLSWorkbook>();
  workbook->SetFileFormat(options.fileFormat);
  XLSPtr<IXLSWorkSheets> sheets = workbook->GetWorksheets();
  double writeMs = 0;
  for (int s = 0; s < options.sheets; ++s) {
    XLSPtr<IXLSWorkSheet> sheet = sheets->Add();
    writeMs += options.bulk ? FillInBlocks(*sheet, rows) : FillCellByCell(*sheet, rows);
  }
  const double fillMs = MsSince(start);
  const double filledMb = StatusMb("VmRSS");
  ResetPeakMemory();
  start = Clock::now();
  const int32_t saved = workbook->SaveAs(argv[2]);
  const double saveMs = MsSince(start);
  const double savePeakMb = StatusMb("VmHWM");
  if (saved != 1) {
    std::cerr << workbook->GetLastError() << '\n';
    return 1;
  }
  start = Clock::now();
  sheets.reset();
  workbook.reset();
  if (options.phases) {
    std::fprintf(stderr,
                 "fill %.1f ms (writes %.1f ms), save %.1f ms, destroy %.1f ms; filled %.1f MB, "
                 "save peak %.1f MB\n",
                 fillMs, writeMs, saveMs, MsSince(start), filledMb, savePeakMb);
  }
  return 0;
}
