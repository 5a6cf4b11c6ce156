#include "XLSCsvReader.h"

#include <charconv>
#include <cmath>

namespace tabulon {

TXLSCsvReader::TXLSCsvReader(const std::string& text, char delimiter)
    : text_(text), delimiter_(delimiter) {}

int32_t TXLSCsvReader::ReadRecord(std::vector<std::string>& fields) {
  fields.clear();
  error_.clear();
  if (AtEnd()) return 0;
  recordLine_ = line_;
  for (;;) {
    std::string field;
    if (text_[pos_] == '"') {
      if (!ReadQuoted(field)) return -1;
    } else {
      ReadUnquoted(field);
    }
    fields.push_back(std::move(field));
    if (AtEnd() || SkipLineBreak()) return 1;
    ++pos_;  // the delimiter; a delimiter at the very end leaves one empty field
    if (AtEnd()) {
      fields.emplace_back();
      return 1;
    }
  }
}

bool TXLSCsvReader::SkipLineBreak() {
  const char c = text_[pos_];
  if (c != '\r' && c != '\n') return false;
  ++pos_;
  if (c == '\r' && !AtEnd() && text_[pos_] == '\n') ++pos_;
  ++line_;
  lineStart_ = pos_;
  return true;
}

bool TXLSCsvReader::ReadQuoted(std::string& field) {
  const uint32_t openLine = line_;
  const size_t openColumn = pos_ - lineStart_ + 1;
  ++pos_;  // the opening quote
  for (;;) {
    if (AtEnd()) {
      return Fail("the quoted field opened on line " + std::to_string(openLine) + ", column " +
                  std::to_string(openColumn) + " is never closed");
    }
    const char c = text_[pos_];
    if (c == '"') {
      ++pos_;
      if (AtEnd() || text_[pos_] != '"') break;
      field += '"';  // a doubled quote stands for one
      ++pos_;
    } else if (c == '\r' || c == '\n') {
      const size_t start = pos_;
      SkipLineBreak();
      field.append(text_, start, pos_ - start);
    } else {
      field += c;
      ++pos_;
    }
  }
  if (AtEnd() || text_[pos_] == delimiter_ || text_[pos_] == '\r' || text_[pos_] == '\n') {
    return true;
  }
  return Fail(
      "text follows the closing quote of a field (a quote inside a quoted field is "
      "written twice: \"\")");
}

void TXLSCsvReader::ReadUnquoted(std::string& field) {
  const size_t start = pos_;
  while (!AtEnd()) {
    const char c = text_[pos_];
    if (c == delimiter_ || c == '\r' || c == '\n') break;
    ++pos_;
  }
  field.assign(text_, start, pos_ - start);
}

bool TXLSCsvReader::Fail(const std::string& message) {
  error_ = "line " + std::to_string(line_) + ", column " + std::to_string(pos_ - lineStart_ + 1) +
           ": " + message;
  return false;
}

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Moves pos past a run of digits; answers how many there were.
size_t SkipDigits(const std::string& text, size_t& pos) {
  const size_t start = pos;
  while (pos < text.size() && IsDigit(text[pos])) ++pos;
  return pos - start;
}

// Largest integer digit count that a double always reproduces exactly.
constexpr size_t kMaxExactIntegerDigits = 15;

}  // namespace

bool XLSParseDecimalNumber(const std::string& text, double& value) {
  return XLSParseDecimalNumber(text, value, '.');
}

bool XLSParseDecimalNumber(const std::string& text, double& value, char decimal_point) {
  size_t pos = 0;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) ++pos;
  const size_t numberStart = pos;
  const size_t integerDigits = SkipDigits(text, pos);
  if (integerDigits > 1 && text[numberStart] == '0') return false;
  size_t fractionDigits = 0;
  const size_t pointAt = pos;
  const bool hasPoint = pos < text.size() && text[pos] == decimal_point;
  if (hasPoint) {
    ++pos;
    fractionDigits = SkipDigits(text, pos);
  }
  if (integerDigits + fractionDigits == 0) return false;
  bool hasExponent = false;
  if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
    hasExponent = true;
    ++pos;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) ++pos;
    if (SkipDigits(text, pos) == 0) return false;
  }
  if (pos != text.size()) return false;
  if (!hasPoint && !hasExponent && integerDigits > kMaxExactIntegerDigits) return false;

  // from_chars takes no '+', reads only '.' as the decimal point and never
  // depends on the locale.
  std::string pointed;
  const std::string& number =
      hasPoint && decimal_point != '.' ? pointed.assign(text).replace(pointAt, 1, 1, '.') : text;
  const char* first = number.data() + (number[0] == '+' ? 1 : 0);
  const char* end = number.data() + number.size();
  double parsed = 0;
  const auto result = std::from_chars(first, end, parsed);
  if (result.ec != std::errc() || result.ptr != end) return false;
  if (!std::isfinite(parsed)) return false;
  value = parsed;
  return true;
}

char XLSDetectCsvDelimiter(const std::string& text) {
  size_t commas = 0;
  size_t semicolons = 0;
  size_t tabs = 0;
  bool quoted = false;
  for (const char c : text) {
    // A doubled quote inside a quoted field toggles twice: still quoted.
    if (c == '"') quoted = !quoted;
    if (quoted) continue;
    if (c == '\r' || c == '\n') break;
    commas += c == ',';
    semicolons += c == ';';
    tabs += c == '\t';
  }
  if (semicolons > commas && semicolons >= tabs) return ';';
  if (tabs > commas && tabs > semicolons) return '\t';
  return ',';
}

std::string XLSCsvDelimiterName(char delimiter) {
  switch (delimiter) {
    case ',':
      return "commas";
    case ';':
      return "semicolons";
    case '\t':
      return "tabs";
    case '|':
      return "vertical bars";
    default:
      return std::string("'") + delimiter + "'";
  }
}

}  // namespace tabulon
