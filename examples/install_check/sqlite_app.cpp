// Exports an SQLite query with the SQLite data set library (tabulon7-sqlite or
// tabulon4-sqlite). Usage: sqlite_app DATABASE OUTPUT.xls; prints "sqlite ok".
#include <tabulon/Tabulon.h>

#include <iostream>

using namespace tabulon;

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  TSqliteDataSet orders(nullptr);
  orders.Open(argv[1], "SELECT * FROM orders");
  TDataset2Excel exporter(nullptr);
  exporter.SetDataset(&orders);
  if (exporter.SaveDatasetAs(argv[2]) != 1) {
    std::cerr << exporter.GetLastError() << '\n';
    return 1;
  }
  std::cout << "sqlite ok\n";
  return 0;
}
