// The export benchmark: every record of the bench table (bench/export_bench.sql)
// through TDataset2Excel with a bold white-on-navy header and thin borders on
// header and detail (what `tabulon export --header-color navy
// --header-font-color white --header-border thin --detail-border thin`
// writes), then saved:
//   bench_export DB OUT.xls [--phases]
// With --phases, the time of opening the query, of the export and of SaveAs
// is printed on stderr.
#include <tabulon/Tabulon.h>

#include <chrono>
#include <cstring>
#include <iostream>

using namespace tabulon;

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::cerr << "usage: bench_export DB OUT.xls [--phases]\n";
    return 2;
  }
  const bool phases = argc > 3 && std::strcmp(argv[3], "--phases") == 0;
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
    if (exporter.SaveAs(argv[2]) != 1) {
      std::cerr << exporter.GetLastError() << '\n';
      return 1;
    }
    if (phases) {
      std::cerr << "open " << openMs << " ms, export " << exportMs << " ms ("
                << exporter.GetDetailCount() << " records), save " << MsSince(start) << " ms\n";
    }
  } catch (const std::exception& error) {
    std::cerr << error.what() << '\n';
    return 1;
  }
  return 0;
}
