// The CSV reader on arbitrary text, and the same text exported whole: loaded
// as a data set, exported by TDataset2Excel and saved. The first byte picks
// how the text is read and saved: whether numbers have a decimal comma (bit
// 0), the file format (bit 1) and the delimiter (detected from the header
// line, or one of , ; tab |).
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

namespace {

// text with every '.' and ',' swapped: the same number in the other notation.
std::string SwapPointAndComma(std::string text) {
  for (char& c : text) c = c == '.' ? ',' : c == ',' ? '.' : c;
  return text;
}

// A decimal comma reads as a decimal point does in the swapped text.
void CheckDecimalComma(const std::string& text) {
  double comma = 0;
  double point = 0;
  const bool commaNumber = XLSParseDecimalNumber(text, comma, ',');
  const bool pointNumber = XLSParseDecimalNumber(SwapPointAndComma(text), point, '.');
  fuzz::Require(commaNumber == pointNumber && comma == point,
                "a decimal comma reads unlike a decimal point");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const uint8_t pick = size > 0 ? data[0] : 0;
  static const char kDelimiters[] = {0, ',', ';', '\t', '|'};
  char delimiter = kDelimiters[(pick >> 2) % sizeof kDelimiters];
  if (delimiter == 0) delimiter = XLSDetectCsvDelimiter(text);
  fuzz::Require(delimiter == ',' || delimiter == ';' || delimiter == '\t' || delimiter == '|',
                "unknown delimiter");
  const bool decimalComma = (pick & 1) != 0;
  const int32_t fileFormat = (pick & 2) != 0 ? xlExcel8 : xlExcel5;

  TXLSCsvReader reader(text, delimiter);
  std::vector<std::string> fields;
  int32_t status = 1;
  for (int records = 0; status == 1 && records < 100000; ++records) {
    status = reader.ReadRecord(fields);
    if (status == 1 && !fields.empty()) CheckDecimalComma(fields[0]);
  }
  fuzz::Require(status != -1 || !reader.GetError().empty(), "malformed CSV without a message");
  double number = 0;
  XLSParseDecimalNumber(text, number);
  CheckDecimalComma(text);

  TCsvDataSet dataSet(nullptr);
  dataSet.SetDelimiter(delimiter);
  dataSet.SetDecimalComma(decimalComma);
  try {
    dataSet.LoadFromText(text, "fuzz.csv");
  } catch (const std::exception&) {
    return 0;  // refused with a message: nothing to export
  }
  fuzz::Require(!decimalComma || dataSet.GetDecimalCommaTextCount() == 0,
                "decimal commas counted while read as numbers");
  TDataset2Excel exporter(nullptr);
  exporter.SetDataset(&dataSet);
  try {
    exporter.ExportDataset();
  } catch (const std::exception&) {
    return 0;
  }
  // The export takes no file format: it is chosen on the workbook it filled.
  auto* book = dynamic_cast<TXLSWorkbook*>(exporter.GetWorkbook());
  if (book == nullptr) return 0;
  fuzz::Require(book->SetFileFormat(fileFormat) == 1, "a file format refused");
  fuzz::CheckSaved(*book);
  return 0;
}
