#include "XLSMemoryDataSet.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstring>
#include <fstream>
#include <sstream>

#include "XLSCsvReader.h"

namespace tabulon {
namespace {

constexpr char kUtf8ByteOrderMark[] = "\xEF\xBB\xBF";

// The narrowest type that holds both a and b.
TFieldType Widen(TFieldType a, TFieldType b) {
  if (a == ftUnknown || a == b) return b;
  if ((a == ftInteger && b == ftFloat) || (a == ftFloat && b == ftInteger)) return ftFloat;
  if ((a == ftDate && b == ftDateTime) || (a == ftDateTime && b == ftDate)) return ftDateTime;
  return ftString;
}

// The type of one non-empty CSV value and the value it stands for; numbers
// are written with decimal_point.
TFieldType Classify(const std::string& text, char decimal_point, OleVariant& value) {
  double number = 0;
  TFieldType kind = ftString;
  if (XLSParseDecimalNumber(text, number, decimal_point)) {
    const char fractionOrExponent[] = {decimal_point, 'e', 'E', '\0'};
    const bool whole = std::fabs(number) <= INT32_MAX &&
                       text.find_first_of(fractionOrExponent) == std::string::npos;
    value = whole ? OleVariant(static_cast<int32_t>(number)) : OleVariant(number);
    return whole ? ftInteger : ftFloat;
  }
  if (XLSParseIsoDateTime(text, number, kind)) {
    value = OleVariant::Date(number);
    return kind;
  }
  value = OleVariant(text);
  return ftString;
}

bool IsDateKind(TFieldType type) {
  return type == ftDate || type == ftTime || type == ftDateTime;
}

// What the non-empty values of one column are: the narrowest type they all
// share, and apart from that the narrowest type of its dates and times and
// how many values are and are not dates or times.
struct TColumnKinds {
  TFieldType All = ftUnknown;
  TFieldType Dates = ftUnknown;
  int64_t DateCount = 0;
  int64_t OtherCount = 0;

  void Add(TFieldType kind) {
    All = Widen(All, kind);
    if (IsDateKind(kind)) {
      Dates = Widen(Dates, kind);
      ++DateCount;
    } else {
      ++OtherCount;
    }
  }
  // A column of dates with a few values in another form (03/05/2024, or a
  // day that does not exist) stays a date column: those few values are
  // written as text, and the export reports each of them, rather than every
  // date of the column silently becoming text.
  TFieldType Type() const {
    if (All == ftString && IsDateKind(Dates) && DateCount >= OtherCount) return Dates;
    return All == ftUnknown ? ftString : All;
  }
};

// The value of text in a column of the given type; Null when it is a text
// (which the caller converts to the code page).
OleVariant Typed(const std::string& text, TFieldType type, char decimal_point) {
  if (type == ftString) return OleVariant::Null();
  OleVariant value;
  const TFieldType kind = Classify(text, decimal_point, value);
  if (IsDateKind(type) && !IsDateKind(kind)) return OleVariant::Null();
  if (type == ftFloat) return OleVariant(value.ToDouble());
  return value;
}

int32_t TextWidth(const std::string& cp1252) {
  return static_cast<int32_t>(std::min<size_t>(cp1252.size(), TCsvDataSet::kMaxDisplayWidth));
}

}  // namespace

void TMemoryDataSet::AppendRecord(std::vector<OleVariant> values) {
  if (values.size() > static_cast<size_t>(GetFieldCount()))
    throw EDatabaseError("record of " + std::to_string(values.size()) + " values for " +
                         std::to_string(GetFieldCount()) + " fields");
  values.resize(static_cast<size_t>(GetFieldCount()), OleVariant::Null());
  records_.push_back(std::move(values));
  GotoBookmark({GetRecordCount() - 1, true});
}

bool TMemoryDataSet::ReadRecord(int64_t record) {
  if (record < 0 || record >= GetRecordCount()) return false;
  current_ = record;
  const std::vector<OleVariant>& values = records_[static_cast<size_t>(record)];
  for (int32_t i = 0; i < GetFieldCount(); ++i)
    GetField(i).SetValue(values[static_cast<size_t>(i)]);
  return true;
}

void TCsvDataSet::LoadFromFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw EDatabaseError("cannot read '" + path + "': " + std::strerror(errno));
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) throw EDatabaseError("cannot read '" + path + "': " + std::strerror(errno));
  LoadFromText(text.str(), path);
}

void TCsvDataSet::LoadFromText(const std::string& utf8, const std::string& name) {
  const std::string text = utf8.compare(0, 3, kUtf8ByteOrderMark) == 0 ? utf8.substr(3) : utf8;
  TXLSCsvReader reader(text, delimiter_);
  const char decimalPoint = decimalComma_ ? ',' : '.';
  decimalCommaTexts_ = 0;
  std::vector<std::string> header;
  const int32_t status = reader.ReadRecord(header);
  if (status < 0) throw EDatabaseError(name + ": " + reader.GetError());
  if (status == 0) throw EDatabaseError(name + ": no header row with the field names");

  // Field texts are kept until every value is seen, since a column's type
  // depends on all of them.
  std::vector<std::vector<std::string>> rows;
  std::vector<TColumnKinds> kinds(header.size());
  std::vector<std::string> fields;
  int32_t read;
  while ((read = reader.ReadRecord(fields)) == 1) {
    if (fields.size() > header.size())
      throw EDatabaseError(name + ": line " + std::to_string(reader.GetRecordLine()) + ": " +
                           std::to_string(fields.size()) + " fields separated by " +
                           XLSCsvDelimiterName(delimiter_) + ", but the header names " +
                           std::to_string(header.size()));
    for (size_t i = 0; i < fields.size(); ++i) {
      if (fields[i].empty()) continue;
      OleVariant ignored;
      const TFieldType kind = Classify(fields[i], decimalPoint, ignored);
      kinds[i].Add(kind);
      double number = 0;
      if (kind == ftString && !decimalComma_ && XLSParseDecimalNumber(fields[i], number, ','))
        ++decimalCommaTexts_;
    }
    rows.push_back(fields);
  }
  if (read < 0) throw EDatabaseError(name + ": " + reader.GetError());

  records_.clear();
  Reset();
  for (size_t i = 0; i < header.size(); ++i) {
    AddField(ToCodePage(header[i], "", 0), kinds[i].Type(), 0);
  }
  for (const std::vector<std::string>& row : rows) {
    const int64_t recNo = GetRecordCount() + 1;
    std::vector<OleVariant> values(header.size(), OleVariant::Null());
    for (size_t i = 0; i < row.size(); ++i) {
      if (row[i].empty()) continue;
      TField& field = GetField(static_cast<int32_t>(i));
      values[i] = Typed(row[i], field.GetDataType(), decimalPoint);
      if (VarIsNull(values[i])) {
        const std::string converted = ToCodePage(row[i], field.GetFieldName(), recNo);
        field.SetDisplayWidth(std::max(field.GetDisplayWidth(), TextWidth(converted)));
        values[i] = OleVariant(converted);
      }
    }
    records_.push_back(std::move(values));
  }
  for (int32_t i = 0; i < GetFieldCount(); ++i) {
    TField& field = GetField(i);
    field.SetDisplayWidth(std::max(field.GetDisplayWidth(), TextWidth(field.GetFieldName())));
  }
  First();
}

}  // namespace tabulon
