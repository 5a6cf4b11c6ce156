#include "XLSDataSet.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "XLSCivilDate.h"
#include "XLSTextCodec.h"

namespace tabulon {

bool IsNumericFieldType(TFieldType type) {
  switch (type) {
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftFloat:
    case ftCurrency:
    case ftBCD:
    case ftLargeint:
      return true;
    default:
      return false;
  }
}
namespace {

bool SameName(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

// Reads exactly count digits at text[pos]; moves pos past them.
bool ReadDigits(const std::string& text, size_t& pos, size_t count, int32_t& value) {
  if (pos + count > text.size()) return false;
  value = 0;
  for (size_t i = 0; i < count; ++i) {
    const char c = text[pos + i];
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  pos += count;
  return true;
}

bool Expect(const std::string& text, size_t& pos, char c) {
  if (pos >= text.size() || text[pos] != c) return false;
  ++pos;
  return true;
}

bool ParseDate(const std::string& text, size_t& pos, double& serial) {
  int32_t year = 0, month = 0, day = 0;
  return ReadDigits(text, pos, 4, year) && Expect(text, pos, '-') &&
         ReadDigits(text, pos, 2, month) && Expect(text, pos, '-') &&
         ReadDigits(text, pos, 2, day) && XLSEncodeDate(year, month, day, serial);
}

// "HH:MM", "HH:MM:SS" or "HH:MM:SS.fff" (any number of fraction digits).
bool ParseTime(const std::string& text, size_t& pos, double& fraction) {
  int32_t hour = 0, minute = 0, second = 0;
  if (!ReadDigits(text, pos, 2, hour) || !Expect(text, pos, ':') ||
      !ReadDigits(text, pos, 2, minute))
    return false;
  double seconds = 0;
  if (pos < text.size() && text[pos] == ':') {
    ++pos;
    if (!ReadDigits(text, pos, 2, second)) return false;
    seconds = second;
    if (pos < text.size() && text[pos] == '.') {
      double scale = 0.1;
      size_t digits = 0;
      for (++pos; pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos]));
           ++pos, ++digits, scale /= 10)
        seconds += (text[pos] - '0') * scale;
      if (digits == 0) return false;
    }
  }
  if (hour > 23 || minute > 59 || second > 59) return false;
  fraction = (hour * 3600.0 + minute * 60.0 + seconds) / 86400.0;
  return true;
}

}  // namespace

double TField::GetAsDateTime() const {
  double serial = 0;
  if (VarType(value_) == varDate || VarIsNumeric(value_)) serial = value_.ToDouble();
  return serial;
}

TField* TDataSet::FindField(const std::string& name) const {
  for (const auto& field : fields_) {
    if (SameName(field->GetFieldName(), name)) return field.get();
  }
  return nullptr;
}

void TDataSet::First() {
  loading_ = 0;
  Arrive(0, ReadFirst());
}

void TDataSet::Next() {
  if (eof_) return;
  loading_ = record_ + 1;
  Arrive(record_ + 1, ReadNext());
}

void TDataSet::EnableControls() {
  if (disableCount_ > 0) --disableCount_;
}

void TDataSet::GotoBookmark(const TBookmark& bookmark) {
  if (!bookmark.Valid) return;
  loading_ = bookmark.Record;
  Arrive(bookmark.Record, ReadRecord(bookmark.Record));
}

TField& TDataSet::AddField(const std::string& name, TFieldType type, int32_t display_width) {
  fields_.push_back(std::make_unique<TField>(name, type, display_width));
  return *fields_.back();
}

bool TDataSet::ReadRecord(int64_t record) {
  bool found = ReadFirst();
  for (int64_t i = 0; found && i < record; ++i) found = ReadNext();
  return found;
}

void TDataSet::ClearValues() {
  for (const auto& field : fields_) field->SetValue(OleVariant::Null());
}

std::string TDataSet::ToCodePage(const std::string& utf8, const std::string& field_name,
                                 int64_t rec_no, bool report) const {
  TXLSCp1252Text converted = utf8Texts_   ? XLSCheckUtf8(utf8)
                             : converter_ ? XLSUtf8ToCodePage(utf8, *converter_)
                                          : XLSUtf8ToCp1252(utf8);
  report = report && OnTextLoss;
  if (report) {
    for (const TXLSUnmappedChar& unmapped : converted.Unmapped)
      OnTextLoss({rec_no, field_name, unmapped.CodePoint, false});
  }
  if (!converted.Valid) {
    if (report) OnTextLoss({rec_no, field_name, 0xFFFD, true});
    converted.Text += '?';
  }
  return std::move(converted.Text);
}

bool TDataSet::SetCodePage(uint16_t code_page) {
  if (!XLSIsKnownCodePage(code_page)) return false;
  codePage_ = code_page;
  converter_ =
      code_page == kDefaultCodePage ? nullptr : std::make_shared<TXLSCodePageConverter>(code_page);
  return true;
}

void TDataSet::Reset() {
  fields_.clear();
  record_ = 0;
  loading_ = 0;
  reportedThrough_ = -1;
  eof_ = true;
}

void TDataSet::Arrive(int64_t record, bool found) {
  record_ = record;
  eof_ = !found;
  if (found) {
    reportedThrough_ = std::max(reportedThrough_, record);
  } else {
    ClearValues();
  }
}

bool XLSEncodeDate(int32_t year, int32_t month, int32_t day, double& serial) {
  static constexpr int32_t kDaysInMonth[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  if (day > kDaysInMonth[month - 1] + (month == 2 && leap ? 1 : 0)) return false;
  serial = static_cast<double>(XLSDaysFromCivil(year, month, day) + kXLSSerialOfUnixEpoch);
  return true;
}

bool XLSParseIsoDateTime(const std::string& text, double& serial, TFieldType& kind) {
  size_t pos = 0;
  double date = 0, time = 0;
  if (ParseTime(text, pos, time) && pos == text.size()) {
    serial = time;
    kind = ftTime;
    return true;
  }
  pos = 0;
  if (!ParseDate(text, pos, date)) return false;
  if (pos == text.size()) {
    serial = date;
    kind = ftDate;
    return true;
  }
  if (text[pos] != 'T' && text[pos] != ' ') return false;
  ++pos;
  if (!ParseTime(text, pos, time) || pos != text.size()) return false;
  // Days before 1899-12-30 count down while their time of day counts up.
  serial = date < 0 ? date - time : date + time;
  kind = ftDateTime;
  return true;
}

}  // namespace tabulon
