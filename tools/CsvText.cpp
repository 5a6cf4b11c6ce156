#include "CsvText.h"

#include <tabulon/Tabulon.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "XLSCsvReader.h"

namespace tabulon {

namespace {

constexpr char kUtf8ByteOrderMark[] = "\xEF\xBB\xBF";

// Reads the whole file; false with the system's reason in error.
bool ReadWholeFile(const std::string& path, std::string& content, std::string& error) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                       &std::fclose);
  if (!file) {
    error = std::strerror(errno);
    return false;
  }
  char buffer[1 << 16];
  size_t count;
  while ((count = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
    content.append(buffer, count);
  }
  if (std::ferror(file.get())) {
    error = std::strerror(errno);
    return false;
  }
  return true;
}

// Walks CSV text once, front to back, and tells for a byte offset which
// record (0: the field names) and which field (0-based) it belongs to. The
// offsets asked for must not decrease.
class TCsvPlaceFinder {
 public:
  TCsvPlaceFinder(const std::string& text, char delimiter) : text_(text), delimiter_(delimiter) {
    std::vector<std::string> names;
    TXLSCsvReader reader(text_, delimiter_);
    if (reader.ReadRecord(names) == 1) names_ = std::move(names);
  }

  std::string Place(size_t offset) {
    for (; pos_ < offset && pos_ < text_.size(); ++pos_) Step(text_[pos_]);
    if (record_ == 0) return "field names";
    std::string field = "field " + std::to_string(field_ + 1);
    if (field_ < names_.size() && !names_[field_].empty()) field = "field '" + names_[field_] + "'";
    return "record " + std::to_string(record_) + ", " + field;
  }

 private:
  void Step(char c) {
    if (quoted_) {
      // A doubled quote inside a quoted field reads as one quote: the pair
      // toggles twice and the field stays quoted.
      if (c == '"') quoted_ = false;
      return;
    }
    if (c == '"') {
      quoted_ = true;
    } else if (c == delimiter_) {
      ++field_;
    } else if (c == '\n' || (c == '\r' && (pos_ + 1 >= text_.size() || text_[pos_ + 1] != '\n'))) {
      ++record_;
      field_ = 0;
    }
  }

  const std::string& text_;
  char delimiter_;
  std::vector<std::string> names_;
  size_t pos_ = 0;
  size_t record_ = 0;
  size_t field_ = 0;
  bool quoted_ = false;
};

std::string LineAndColumn(const TXLSTextPosition& at) {
  return "line " + std::to_string(at.Line) + ", column " + std::to_string(at.Column);
}

// The character of code_point as it appeared in the file, for the report.
std::string Shown(uint32_t code_point) {
  std::string text;
  if (code_point >= 0x20 && code_point != 0x7F && (code_point < 0x80 || code_point >= 0xA0)) {
    text = " '";
    XLSAppendUtf8(code_point, text);
    text += '\'';
  }
  return text;
}

}  // namespace

bool ReadCsvFile(const std::string& path, std::string& utf8, std::string& converted,
                 TDiagnostics& diagnostics, uint16_t code_page, char& delimiter, bool keep_utf8) {
  std::string error;
  if (!ReadWholeFile(path, utf8, error)) {
    diagnostics.CommandError("cannot read '" + path + "': " + error);
    return false;
  }
  if (utf8.compare(0, 3, kUtf8ByteOrderMark) == 0) utf8.erase(0, 3);
  if (utf8.empty()) {
    diagnostics.Error("", "no header row with the field names");
    return false;
  }
  if (delimiter == 0) {
    delimiter = XLSDetectCsvDelimiter(utf8);
    if (delimiter != ',')
      diagnostics.Note("fields separated by " + XLSCsvDelimiterName(delimiter) +
                       ", as the header line shows (--delimiter sets the separator)");
  }
  return CheckCsvText(utf8, converted, diagnostics, code_page, delimiter, keep_utf8);
}

bool CheckCsvText(const std::string& utf8, std::string& text, TDiagnostics& diagnostics,
                  uint16_t code_page, char delimiter, bool keep_utf8) {
  TXLSCp1252Text converted = keep_utf8 ? XLSCheckUtf8(utf8) : XLSUtf8ToCodePage(utf8, code_page);
  TCsvPlaceFinder places(utf8, delimiter);
  if (!converted.Valid) {
    char byte[8];
    std::snprintf(byte, sizeof byte, "0x%02X",
                  static_cast<unsigned char>(utf8[converted.InvalidAt.Offset]));
    diagnostics.Error(
        LineAndColumn(converted.InvalidAt) + " (" + places.Place(converted.InvalidAt.Offset) + ")",
        std::string("invalid UTF-8 (byte ") + byte +
            "); the input must be UTF-8 text. A file saved in Windows-1252 or "
            "Latin-1 can be converted with: iconv -f WINDOWS-1252 -t UTF-8");
    return false;
  }
  for (const TXLSUnmappedChar& unmapped : converted.Unmapped) {
    diagnostics.Loss(
        LineAndColumn(unmapped.Position) + " (" + places.Place(unmapped.Position.Offset) + ")",
        "character " + XLSCodePointName(unmapped.CodePoint) + Shown(unmapped.CodePoint) +
            " has no form in " + XLSCodePageDescription(code_page) + "; written as '?'");
  }
  text = std::move(converted.Text);
  return true;
}

void SummarizeDecimalCommaTexts(int64_t count, TDiagnostics& diagnostics) {
  if (count == 0) return;
  diagnostics.Summary(std::to_string(count) +
                      (count == 1 ? " field is a number with a decimal comma (such as 12,5), "
                                    "written as text"
                                  : " fields are numbers with a decimal comma (such as 12,5), "
                                    "written as text") +
                      "; --decimal-comma reads them as numbers");
}

}  // namespace tabulon
