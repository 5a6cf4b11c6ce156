#include "CsvSheetWriter.h"

#include <tabulon/XLSCellRef.h>
#include <tabulon/XLSCsvReader.h>

#include <algorithm>
#include <vector>

namespace tabulon {
namespace {

constexpr int32_t kSheetRows = XLSMaxRow + 1;
constexpr int32_t kSheetColumns = XLSMaxCol + 1;

std::string LineText(uint32_t line) {
  return "line " + std::to_string(line);
}

}  // namespace

TCsvSheetWriter::TCsvSheetWriter(IXLSWorkSheet& sheet, TDiagnostics& diagnostics)
    : sheet_(sheet), diagnostics_(diagnostics) {}

bool TCsvSheetWriter::Write(const std::string& text) {
  TXLSCsvReader reader(text);
  std::vector<std::string> fields;
  int32_t status;
  while ((status = reader.ReadRecord(fields)) == 1) {
    const std::string where = LineText(reader.GetRecordLine());
    if (rowCount_ == kSheetRows) {
      diagnostics_.Error(where, "more than " + std::to_string(kSheetRows) +
                                    " records; an .xls sheet holds at most that many rows");
      return false;
    }
    if (fields.size() > static_cast<size_t>(kSheetColumns)) {
      diagnostics_.Error(where, std::to_string(fields.size()) +
                                    " fields; an .xls sheet holds at most " +
                                    std::to_string(kSheetColumns) + " columns");
      return false;
    }
    for (size_t col = 0; col < fields.size(); ++col) {
      WriteField(static_cast<uint16_t>(rowCount_), static_cast<uint8_t>(col), fields[col],
                 reader.GetRecordLine());
    }
    columnCount_ = std::max(columnCount_, static_cast<int32_t>(fields.size()));
    ++rowCount_;
  }
  if (status < 0) {
    diagnostics_.Error("", reader.GetError());
    return false;
  }
  return true;
}

void TCsvSheetWriter::WriteField(uint16_t row, uint8_t col, const std::string& field,
                                 uint32_t line) {
  if (field.empty()) return;
  const std::string cell = EncodeCellRef(row, col);
  OleVariant value;
  double number = 0;
  if (XLSParseDecimalNumber(field, number)) {
    value = OleVariant(number);
  } else if (field.size() > XLSStrMax) {
    diagnostics_.Loss(
        LineText(line) + ", field " + std::to_string(col + 1) + " (cell " + cell + ")",
        "text of " + std::to_string(field.size()) + " characters cut to the " +
            std::to_string(XLSStrMax) + " a cell holds");
    value = OleVariant(field.substr(0, XLSStrMax));
  } else {
    value = OleVariant(field);
  }
  sheet_.FGetRange(cell, cell)->SetValue(value);
}

}  // namespace tabulon
