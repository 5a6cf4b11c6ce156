// The export benchmark: every record of the bench table (bench/export_bench.sql)
// through TDataset2Excel with a bold white-on-navy header and thin borders on
// header and detail (what `tabulon export --header-color navy
// --header-font-color white --header-border thin --detail-border thin`
// writes), then saved:
//   bench_export DB OUT.xls [--phases] [--format biff5|biff8]
// With --phases, the time of opening the query, of the export and of SaveAs
// is printed on stderr. --format biff8 saves Excel 97-2003 (BIFF8) instead of
// the default BIFF5: the export components do not take a file format, so it
// is set on the workbook they filled, before the save.
#include <tabulon/Tabulon.h>

#include <chrono>
#include <cstring>
#include <iostream>

#include "FileFormatOption.h"

using namespace tabulon;

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct TOptions {
  bool phases = false;
  int32_t fileFormat = xlExcel5;
};

TOptions ParseOptions(int argc, char** argv) {
  TOptions options;
  for (int i = 3; i < argc; ++i) {
    if (std::strcmp(argv[i], "--phases") == 0) options.phases = true;
    if (std::strcmp(argv[i], "--format") == 0 && i + 1 < argc)
      options.fileFormat = bench::FileFormat(argv[++i]);
  }
  return options;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::cerr << "usage: bench_export DB OUT.xls [--phases] [--format biff5|biff8]\n";
    return 2;
  }
  const TOptions options = ParseOptions(argc, argv);
  try {
    Clock::time_point start = Clock::now();
    TSqliteDataSet data(nullptr);
    data.Open(argv[1], "SELECT * FROM bench ORDER BY id");
    const double openMs = MsSince(start);

    start = Clock::now();
    TDataset2Excel exporter(nullptr);
    exporter.SetDataset(&data);
    exporter.HeaderColor = clNavy;
    exporter.GetHeaderFont().Color = clWhite;
    exporter.HeaderBorderStyle = BorderStyleSingleThin;
    exporter.DetailBorderStyle = BorderStyleSingleThin;
    exporter.ExportDataset();
    const double exportMs = MsSince(start);

    start = Clock::now();
    auto* workbook = dynamic_cast<TXLSWorkbook*>(exporter.GetWorkbook());
    if (workbook == nullptr || workbook->SetFileFormat(options.fileFormat) != 1) {
      std::cerr << "the exported workbook takes no file format\n";
      return 1;
    }
    if (exporter.SaveAs(argv[2]) != 1) {
      std::cerr << exporter.GetLastError() << '\n';
      return 1;
    }
    if (options.phases) {
      std::cerr << "open " << openMs << " ms, export " << exportMs << " ms ("
                << exporter.GetDetailCount() << " records), save " << MsSince(start) << " ms\n";
    }
  } catch (const std::exception& error) {
    std::cerr << error.what() << '\n';
    return 1;
  }
  return 0;
}
