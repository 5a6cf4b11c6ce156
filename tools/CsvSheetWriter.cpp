#include "CsvSheetWriter.h"

#include <tabulon/XLSCellRef.h>
#include <tabulon/XLSCodePage.h>
#include <tabulon/XLSExportReports.h>
#include <tabulon/XLSTextCodec.h>

#include <algorithm>
#include <vector>

#include "XLSCsvReader.h"

namespace tabulon {
namespace {

constexpr int32_t kSheetRows = XLSMaxRow + 1;
constexpr int32_t kSheetColumns = XLSMaxCol + 1;

// Column widths in characters: room for the longest field and a little
// margin, never narrower than the default column nor wider than a screen.
constexpr double kWidthMargin = 2.0;
constexpr double kMinColumnWidth = 8.43;
constexpr double kMaxColumnWidth = 60.0;
// Palette entry 15 of the default palette: the light grey of header rows.
constexpr int32_t kHeaderFillColor = 15;
// What a BIFF8 cell holds, in characters.
constexpr size_t kBiff8CellLimit = 32767;

double FittedWidth(size_t characters) {
  return std::clamp(static_cast<double>(characters) + kWidthMargin, kMinColumnWidth,
                    kMaxColumnWidth);
}

std::string LineText(uint32_t line) {
  return "line " + std::to_string(line);
}

}  // namespace

TCsvSheetWriter::TCsvSheetWriter(IXLSWorkSheet& sheet, TDiagnostics& diagnostics,
                                 uint16_t code_page, char delimiter, bool decimal_comma,
                                 bool utf8_texts)
    : sheet_(sheet),
      diagnostics_(diagnostics),
      codePage_(code_page),
      utf8_(utf8_texts),
      cellLimit_(utf8_texts ? kBiff8CellLimit : XLSStrMax),
      delimiter_(delimiter),
      decimalPoint_(decimal_comma ? ',' : '.') {}

bool TCsvSheetWriter::Write(const std::string& text) {
  TXLSCsvReader reader(text, delimiter_);
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
    if (rowCount_ == 0) names_ = fields;
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
  if (fieldWidths_.size() <= col) fieldWidths_.resize(col + 1u, 0);
  const size_t length = Length(field);
  fieldWidths_[col] = std::max(fieldWidths_[col], std::min(length, cellLimit_));
  const std::string cell = EncodeCellRef(row, col);
  OleVariant value;
  double number = 0;
  if (XLSParseDecimalNumber(field, number, decimalPoint_)) {
    value = OleVariant(number);
  } else if (length > cellLimit_) {
    diagnostics_.Loss(LineText(line) + " (" + RecordAndField(row, col) + "), cell " + cell,
                      XLSTextCutMessage(length, cellLimit_, utf8_ ? "BIFF8" : "BIFF5"));
    const size_t kept =
        utf8_ ? XLSUtf8PrefixOfUnits(field, cellLimit_) : XLSFitBytes(field, cellLimit_, codePage_);
    value = OleVariant(field.substr(0, kept));
  } else {
    if (decimalPoint_ == '.' && XLSParseDecimalNumber(field, number, ',')) ++decimalCommaTexts_;
    value = OleVariant(field);
  }
  sheet_.FGetRange(cell, cell)->SetValue(value);
}

std::string TCsvSheetWriter::RecordAndField(uint16_t row, uint8_t col) const {
  if (row == 0) return "field names";
  if (col < names_.size() && !names_[col].empty())
    return "record " + std::to_string(row) + ", field '" +
           (utf8_ ? names_[col] : XLSCp1252ToUtf8(names_[col])) + "'";
  return "record " + std::to_string(row) + ", field " + std::to_string(col + 1);
}

size_t TCsvSheetWriter::Length(const std::string& field) const {
  return utf8_ ? XLSUtf16Length(field) : field.size();
}

void TCsvSheetWriter::FormatLayout() {
  if (rowCount_ == 0 || columnCount_ == 0) return;
  const auto lastCol = static_cast<uint8_t>(columnCount_ - 1);
  XLSPtr<IXLSRange> header = sheet_.FGetRange("A1", EncodeCellRef(0, lastCol));
  header->GetFont()->SetBold(true);
  XLSPtr<IXLSInterior> fill = header->GetInterior();
  fill->SetPattern(xlPatternSolid);
  fill->SetColorIndex(kHeaderFillColor);
  XLSPtr<IXLSBorders> borders = header->GetBorders();
  borders->SetLineStyle(xlContinuous);
  borders->SetWeight(xlThin);

  fieldWidths_.resize(static_cast<size_t>(columnCount_), 0);
  OleVariant widths = VarArrayCreate({0, columnCount_ - 1});
  for (int32_t col = 0; col < columnCount_; ++col)
    widths.PutElement({col}, OleVariant(FittedWidth(fieldWidths_[static_cast<size_t>(col)])));
  header->SetColumnWidth(widths);
}

}  // namespace tabulon
