// The CSV reader on arbitrary text, and the same text exported whole: loaded
// as a data set, exported by TDataset2Excel and saved.
#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>
#include <vector>

#include "Dataset2excel.h"
#include "FuzzCheck.h"
#include "XLSCsvReader.h"
#include "XLSMemoryDataSet.h"

using namespace tabulon;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  TXLSCsvReader reader(text, size > 0 && data[0] == ';' ? ';' : ',');
  std::vector<std::string> fields;
  int32_t status = 1;
  for (int records = 0; status == 1 && records < 100000; ++records) {
    status = reader.ReadRecord(fields);
  }
  fuzz::Require(status != -1 || !reader.GetError().empty(), "malformed CSV without a message");
  double number = 0;
  XLSParseDecimalNumber(text, number);

  TCsvDataSet dataSet(nullptr);
  try {
    dataSet.LoadFromText(text, "fuzz.csv");
  } catch (const std::exception&) {
    return 0;  // refused with a message: nothing to export
  }
  TDataset2Excel exporter(nullptr);
  exporter.SetDataset(&dataSet);
  try {
    exporter.ExportDataset();
  } catch (const std::exception&) {
    return 0;
  }
  if (auto* book = dynamic_cast<TXLSWorkbook*>(exporter.GetWorkbook())) fuzz::CheckSaved(*book);
  return 0;
}
