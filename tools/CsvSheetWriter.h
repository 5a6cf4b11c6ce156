// Writes the records of CSV text into a worksheet, record n into row n from
// column A on, one cell at a time through the public range interface. Fields
// that are decimal numbers (with a decimal point, or with a decimal comma
// when the writer is told so) become numbers, other non-empty fields text,
// and empty fields leave their cell empty.
#pragma once

#include <tabulon/Tabulon.h>

#include <cstdint>
#include <string>
#include <vector>

#include "Diagnostics.h"

namespace tabulon {

class TCsvSheetWriter {
 public:
  // code_page: the workbook's, whose double-byte characters a cut keeps whole;
  // delimiter separates the fields; decimal_comma reads "12,5" as 12.5;
  // utf8_texts: the texts are UTF-8 for a BIFF8 workbook in UTF-8 mode, whose
  // cells hold 32767 characters instead of 255 bytes.
  TCsvSheetWriter(IXLSWorkSheet& sheet, TDiagnostics& diagnostics, uint16_t code_page = 1252,
                  char delimiter = ',', bool decimal_comma = false, bool utf8_texts = false);

  // text is CSV in the workbook's code page (or UTF-8, utf8_texts). Texts longer than a cell holds
  // are cut and reported as losses. Returns false, after reporting why, on
  // malformed CSV or when the records do not fit on one sheet.
  bool Write(const std::string& text);

  // Sets the first record apart as the header row (bold, on a grey fill,
  // framed by thin lines) and fits each column's width to its longest field.
  // Call after Write; does nothing when nothing was written.
  void FormatLayout();

  int32_t GetRowCount() const { return rowCount_; }
  int32_t GetColumnCount() const { return columnCount_; }
  // Fields written as text that are numbers with a decimal comma (none when
  // the writer reads decimal commas).
  int64_t GetDecimalCommaTextCount() const { return decimalCommaTexts_; }

 private:
  void WriteField(uint16_t row, uint8_t col, const std::string& field, uint32_t line);
  // "field names" or "record 2, field 'City'", as the export command says it.
  std::string RecordAndField(uint16_t row, uint8_t col) const;
  // The length of a field in the unit of a cell's limit: bytes of the code
  // page, or UTF-16 units of UTF-8.
  size_t Length(const std::string& field) const;

  IXLSWorkSheet& sheet_;
  TDiagnostics& diagnostics_;
  uint16_t codePage_;
  bool utf8_;
  size_t cellLimit_;  // in the unit of Length
  char delimiter_;
  char decimalPoint_;
  int64_t decimalCommaTexts_ = 0;
  int32_t rowCount_ = 0;
  int32_t columnCount_ = 0;
  // Longest field of each column, in characters (Length).
  std::vector<size_t> fieldWidths_;
  // The first record: the field names.
  std::vector<std::string> names_;
};

}  // namespace tabulon
