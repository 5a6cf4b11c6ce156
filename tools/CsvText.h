// The text check both commands run on a CSV input before using it: the input
// must be UTF-8, and every character that the output's code page cannot hold is
// reported where a user finds it in the file and in the data: line and
// column, then record and field ("line 3, column 7 (record 2, field 'City')";
// the first line holds the field names).
#pragma once

#include <cstdint>
#include <string>

#include "Diagnostics.h"

namespace tabulon {

// Reads the CSV file at path into utf8 (a leading byte order mark is
// skipped) and runs CheckCsvText on it. delimiter 0 is replaced by the one
// the header line shows (XLSDetectCsvDelimiter), which a note names when it is
// not a comma. False after reporting why: the file cannot be read, is empty
// (the first record names the fields, so nothing can be read without it) or
// is not UTF-8.
// keep_utf8: the output keeps every character (BIFF8): converted is utf8 and
// only malformed UTF-8 is reported.
bool ReadCsvFile(const std::string& path, std::string& utf8, std::string& converted,
                 TDiagnostics& diagnostics, uint16_t code_page, char& delimiter,
                 bool keep_utf8 = false);

// Reports each character of utf8 (CSV text without byte order mark, fields
// separated by delimiter) that code_page lacks as a loss, and the first
// malformed UTF-8 sequence as an error. Returns the text in code_page; false
// when it is not UTF-8.
bool CheckCsvText(const std::string& utf8, std::string& converted, TDiagnostics& diagnostics,
                  uint16_t code_page = 1252, char delimiter = ',', bool keep_utf8 = false);

// The summary line of count fields that are numbers with a decimal comma
// ("12,5") and were written as text since --decimal-comma was not given.
void SummarizeDecimalCommaTexts(int64_t count, TDiagnostics& diagnostics);

}  // namespace tabulon
