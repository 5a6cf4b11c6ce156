// Reader of comma-separated values as RFC 4180 describes them: fields may be
// quoted, a quoted field may hold the delimiter, line breaks and doubled
// quotes; records end with CR LF, LF or a lone CR. Works on bytes, so it reads
// UTF-8 and single-byte code pages alike.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tabulon {

class TXLSCsvReader {
 public:
  // The reader keeps a reference to text, which must outlive it.
  explicit TXLSCsvReader(const std::string& text, char delimiter = ',');
  TXLSCsvReader(std::string&& text, char delimiter = ',') = delete;

  // Reads the next record into fields (replacing their contents): 1 when a
  // record was read, 0 at the end of the input, -1 on malformed input
  // (GetError says where). An empty line is a record of one empty field; a
  // line break at the very end of the input does not start another record.
  int32_t ReadRecord(std::vector<std::string>& fields);

  // 1-based line on which the record last read starts.
  uint32_t GetRecordLine() const { return recordLine_; }
  // "line 3, column 5: ..." after ReadRecord returned -1; empty otherwise.
  const std::string& GetError() const { return error_; }

 private:
  bool AtEnd() const { return pos_ >= text_.size(); }
  // Consumes a line break at pos_ (CR LF, LF or CR) and counts the line.
  bool SkipLineBreak();
  bool ReadQuoted(std::string& field);
  void ReadUnquoted(std::string& field);
  bool Fail(const std::string& message);

  const std::string& text_;
  char delimiter_;
  size_t pos_ = 0;
  size_t lineStart_ = 0;  // offset of the first byte of the current line
  uint32_t line_ = 1;
  uint32_t recordLine_ = 0;
  std::string error_;
};

// True when text is entirely a decimal number: an optional sign, digits with
// an optional decimal point, and an optional exponent ("-12", "3.5", "1e3",
// ".5"); stores its value. Texts that a number would not reproduce stay text:
// a leading zero before further digits ("007"), an integer of more than 15
// digits (identifiers that a double would round), surrounding blanks, hex
// forms, "inf" and "nan", and values beyond the range of a double.
bool XLSParseDecimalNumber(const std::string& text, double& value);

/// XLSParseDecimalNumber with another decimal point: with ',' the text
/// "12,5" is the number 12.5, and "12.5" stays text (in such data a point
/// groups thousands, which a number must not read as a fraction).
/// @param text the field's text
/// @param value receives the number
/// @param decimal_point '.' or ','
/// @return true when text is entirely a decimal number
bool XLSParseDecimalNumber(const std::string& text, double& value, char decimal_point);

/// The field delimiter of CSV text as its first line shows it: ';' or tab
/// when, outside quotes, that line holds more of it than of commas and of
/// the other one; ',' otherwise (also for a line of one field).
/// @param text CSV text, without byte order mark
/// @return ',', ';' or a tab
char XLSDetectCsvDelimiter(const std::string& text);

/// The delimiter as messages name it: "commas", "semicolons", "tabs",
/// "vertical bars", or the character in quotes.
/// @param delimiter a field delimiter
/// @return its name, plural ("fields separated by semicolons")
std::string XLSCsvDelimiterName(char delimiter);

}  // namespace tabulon
