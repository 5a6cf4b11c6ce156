#include "OleVariant.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <utility>

#include "XLSCivilDate.h"

namespace tabulon {

namespace {

constexpr TVarType kVariantArray = varArray | varVariant;
constexpr int64_t kCurrencyScale = 10000;
constexpr int kMaxDims = 2;
// Day serials of 0001-01-01 and of 10000-01-01, the range the host's dates cover.
constexpr double kFirstDateSerial = -693593.0;
constexpr double kDateSerialLimit = 2958466.0;
constexpr int64_t kSecondsPerDay = 86400;

bool IsIntegerType(TVarType type) {
  switch (type) {
    case varSmallint:
    case varInteger:
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord:
    case varInt64:
      return true;
    default:
      return false;
  }
}

bool IsStringType(TVarType type) {
  return type == varOleStr || type == varString;
}

bool IsNumberType(TVarType type) {
  return IsIntegerType(type) || type == varSingle || type == varDouble || type == varCurrency ||
         type == varDate;
}

const char* TypeName(TVarType type) {
  switch (type) {
    case varEmpty:
      return "Empty";
    case varNull:
      return "Null";
    case varSmallint:
      return "Smallint";
    case varInteger:
      return "Integer";
    case varSingle:
      return "Single";
    case varDouble:
      return "Double";
    case varCurrency:
      return "Currency";
    case varDate:
      return "Date";
    case varOleStr:
      return "OleStr";
    case varError:
      return "Error";
    case varBoolean:
      return "Boolean";
    case varShortInt:
      return "ShortInt";
    case varByte:
      return "Byte";
    case varWord:
      return "Word";
    case varLongWord:
      return "LongWord";
    case varInt64:
      return "Int64";
    case varString:
      return "String";
    case kVariantArray:
      return "Array";
    default:
      return "Unknown";
  }
}

std::string_view Trimmed(std::string_view text) {
  const char* blanks = " \t";
  size_t first = text.find_first_not_of(blanks);
  if (first == std::string_view::npos) return {};
  size_t last = text.find_last_not_of(blanks);
  return text.substr(first, last - first + 1);
}

// Accepts an optional sign followed by a digit or a point, so that the
// standard parser's extras (inf, nan, a second sign) are refused.
bool StartsLikeNumber(std::string_view text, size_t* start) {
  size_t pos = (!text.empty() && (text[0] == '+' || text[0] == '-')) ? 1 : 0;
  if (pos >= text.size()) return false;
  char c = text[pos];
  if (!(std::isdigit(static_cast<unsigned char>(c)) || c == '.')) return false;
  *start = text[0] == '+' ? 1 : 0;  // the standard parser takes '-' but not '+'
  return true;
}

// Whole-text decimal number with '.' as the point, blanks allowed around it.
bool ParseDouble(std::string_view raw, double* value) {
  const std::string_view text = Trimmed(raw);
  size_t start = 0;
  if (!StartsLikeNumber(text, &start)) return false;
  const char* end = text.data() + text.size();
  auto result = std::from_chars(text.data() + start, end, *value);
  return result.ec == std::errc() && result.ptr == end && std::isfinite(*value);
}

// Whole-text decimal integer; refuses fractions and values beyond 64 bits.
bool ParseInt64(std::string_view raw, int64_t* value) {
  const std::string_view text = Trimmed(raw);
  size_t start = 0;
  if (!StartsLikeNumber(text, &start)) return false;
  const char* end = text.data() + text.size();
  auto result = std::from_chars(text.data() + start, end, *value);
  return result.ec == std::errc() && result.ptr == end;
}

bool EqualsIgnoringCase(std::string_view text, const char* word) {
  size_t i = 0;
  for (; i < text.size() && word[i] != '\0'; ++i) {
    if (std::tolower(static_cast<unsigned char>(text[i])) != word[i]) return false;
  }
  return i == text.size() && word[i] == '\0';
}

double RoundHalfEven(double value) {
  double floor = std::floor(value);
  double fraction = value - floor;
  if (fraction > 0.5 || (fraction == 0.5 && std::fmod(floor, 2.0) != 0.0)) floor += 1.0;
  return floor;
}

// Rounds and checks the range; false for NaN, infinities and overflow.
bool DoubleToInt64(double value, int64_t* result) {
  // 2^63 is exact as a double, and every double below it fits in int64_t.
  constexpr double kLimit = 9223372036854775808.0;
  double rounded = RoundHalfEven(value);
  if (!(rounded >= -kLimit && rounded < kLimit)) return false;
  *result = static_cast<int64_t>(rounded);
  return true;
}

// Scaled currency to whole units, ties to even, without leaving integers.
int64_t RoundScaledCurrency(int64_t scaled) {
  int64_t whole = scaled / kCurrencyScale;
  int64_t rest = scaled % kCurrencyScale;
  int64_t half = kCurrencyScale / 2;
  bool odd = whole % 2 != 0;
  if (rest > half || (rest == half && odd)) return whole + 1;
  if (rest < -half || (rest == -half && odd)) return whole - 1;
  return whole;
}

// Up to `digits` significant digits, no trailing zeros, exponent as E+20/E-7.
std::string FormatFloat(double value, int digits) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
  if (value == 0.0) return "0";  // also folds -0
  char buffer[64];
  auto result =
      std::to_chars(buffer, buffer + sizeof(buffer), value, std::chars_format::general, digits);
  std::string text(buffer, result.ptr);
  size_t e = text.find('e');
  if (e == std::string::npos) return text;
  size_t digitsStart = e + 2;  // past 'e' and its sign
  size_t firstSignificant = text.find_first_not_of('0', digitsStart);
  text.erase(digitsStart, firstSignificant - digitsStart);
  text[e] = 'E';
  return text;
}

std::string FormatCurrency(int64_t scaled) {
  uint64_t magnitude = scaled < 0 ? 0 - static_cast<uint64_t>(scaled) : scaled;
  std::string text = (scaled < 0 ? "-" : "") + std::to_string(magnitude / kCurrencyScale);
  unsigned fraction = static_cast<unsigned>(magnitude % kCurrencyScale);
  if (fraction == 0) return text;
  char digits[8];
  std::snprintf(digits, sizeof(digits), "%04u", fraction);
  std::string decimals(digits);
  decimals.erase(decimals.find_last_not_of('0') + 1);
  return text + "." + decimals;
}

// The host's serial: the integer part counts days from 1899-12-30 and the
// fraction's magnitude is the time of day, also for negative serials.
bool FormatDate(double serial, std::string* text) {
  if (!(serial >= kFirstDateSerial && serial < kDateSerialLimit)) return false;
  double wholeDays = std::trunc(serial);
  int64_t day = static_cast<int64_t>(wholeDays);
  int64_t seconds = std::llround(std::fabs(serial - wholeDays) * kSecondsPerDay);
  if (seconds >= kSecondsPerDay) {  // rounding reached midnight of the next day
    ++day;
    seconds -= kSecondsPerDay;
  }
  const TXLSCivilDate date = XLSCivilFromDays(day - kXLSSerialOfUnixEpoch);
  if (date.Year > 9999) return false;
  char buffer[32];
  int length = std::snprintf(buffer, sizeof(buffer), "%04d-%02d-%02d", static_cast<int>(date.Year),
                             static_cast<int>(date.Month), static_cast<int>(date.Day));
  if (seconds != 0) {
    std::snprintf(buffer + length, sizeof(buffer) - length, " %02d:%02d:%02d",
                  static_cast<int>(seconds / 3600), static_cast<int>(seconds / 60 % 60),
                  static_cast<int>(seconds % 60));
  }
  *text = buffer;
  return true;
}

template <typename T>
int ThreeWay(T x, T y) {
  return (x > y) - (x < y);
}

constexpr int kUnordered = 2;

// -1, 0 or 1 for two numbers; kUnordered when either is NaN. Integers and
// currencies compare exactly among their own kind, everything else as doubles.
int NumberOrder(const OleVariant& a, const OleVariant& b) {
  if (IsIntegerType(a.VarType()) && IsIntegerType(b.VarType())) {
    return ThreeWay(a.ToInt64(), b.ToInt64());
  }
  if (a.VarType() == varCurrency && b.VarType() == varCurrency) {
    return ThreeWay(a.ToCurrencyScaled(), b.ToCurrencyScaled());
  }
  double x = a.ToDouble(), y = b.ToDouble();
  if (std::isnan(x) || std::isnan(y)) return kUnordered;
  return ThreeWay(x, y);
}

}  // namespace

struct OleVariant::ArrayData {
  int dimCount = 0;
  int32_t low[kMaxDims] = {0, 0};
  int32_t count[kMaxDims] = {0, 0};
  std::vector<OleVariant> elements;

  bool SameShape(const ArrayData& other) const {
    for (int d = 0; d < dimCount; ++d) {
      if (low[d] != other.low[d] || count[d] != other.count[d]) return false;
    }
    return dimCount == other.dimCount;
  }
};

OleVariant::OleVariant(const char* text) : type_(varOleStr), int_(0) {
  SetText(std::string_view(text ? text : ""));
}

OleVariant::OleVariant(const std::string& text) : type_(varOleStr), int_(0) {
  SetText(std::string_view(text));
}

OleVariant::OleVariant(std::string&& text) : type_(varOleStr), int_(0) {
  SetText(std::move(text));
}

// Called on a variant whose payload holds nothing to free.
void OleVariant::SetText(std::string_view text) {
  if (text.size() <= kInlineText) {
    textLength_ = static_cast<uint8_t>(text.size());
    if (!text.empty()) std::memcpy(chars_, text.data(), text.size());
  } else {
    str_ = new std::string(text);
    textLength_ = kHeapText;
  }
}

void OleVariant::SetText(std::string&& text) {
  if (text.size() <= kInlineText) {
    SetText(std::string_view(text));
  } else {
    str_ = new std::string(std::move(text));
    textLength_ = kHeapText;
  }
}

OleVariant::OleVariant(const OleVariant& other) : type_(varEmpty), int_(0) {
  CopyFrom(other);
}

OleVariant::OleVariant(OleVariant&& other) noexcept : type_(varEmpty), int_(0) {
  *this = std::move(other);
}

OleVariant& OleVariant::operator=(const OleVariant& other) {
  if (this != &other) {
    OleVariant copy(other);
    *this = std::move(copy);
  }
  return *this;
}

OleVariant& OleVariant::operator=(OleVariant&& other) noexcept {
  if (this != &other) {
    if (OwnsHeapBlock()) Release();
    TakePayload(other);
    other.type_ = varEmpty;
    other.int_ = 0;
  }
  return *this;
}

void OleVariant::Release() noexcept {
  if (IsStringType(type_) && textLength_ == kHeapText) delete str_;
  if (type_ == kVariantArray) delete arr_;
  type_ = varEmpty;
  int_ = 0;
}

// Shares the other's payload as it stands (pointers included).
void OleVariant::TakePayload(const OleVariant& other) noexcept {
  type_ = other.type_;
  switch (other.type_) {
    case varSingle:
      sgl_ = other.sgl_;
      break;
    case varDouble:
    case varDate:
      dbl_ = other.dbl_;
      break;
    case varOleStr:
    case varString:
      textLength_ = other.textLength_;
      std::memcpy(&int_, &other.int_, sizeof int_);  // the pointer or the inline text
      break;
    case kVariantArray:
      arr_ = other.arr_;
      break;
    default:
      int_ = other.int_;
  }
}

// Called on an empty variant only; strings and arrays are duplicated.
void OleVariant::CopyFrom(const OleVariant& other) {
  if (IsStringType(other.type_)) {
    SetText(other.Text());
    type_ = other.type_;
  } else if (other.type_ == kVariantArray) {
    arr_ = new ArrayData(*other.arr_);
    type_ = other.type_;
  } else {
    TakePayload(other);
  }
}

OleVariant OleVariant::Null() {
  return OleVariant(varNull, 0);
}

OleVariant OleVariant::Missing() {
  return Error(XLSParamNotFound);
}

OleVariant OleVariant::Error(int32_t code) {
  return OleVariant(varError, code);
}

OleVariant OleVariant::Date(double serial) {
  OleVariant result(serial);
  result.type_ = varDate;
  return result;
}

OleVariant OleVariant::Currency(double value) {
  return CurrencyFromScaled(OleVariant(value).ToCurrencyScaled());
}

OleVariant OleVariant::CurrencyFromScaled(int64_t scaled) {
  return OleVariant(varCurrency, scaled);
}

OleVariant OleVariant::ByteString(std::string text) {
  OleVariant result(std::move(text));
  result.type_ = varString;
  return result;
}

void OleVariant::Fail(const char* target) const {
  throw EVariantError(std::string("Could not convert variant of type (") + TypeName(type_) +
                      ") into type (" + target + ")");
}

bool OleVariant::TryToDouble(double* value) const {
  if (IsIntegerType(type_)) {
    *value = static_cast<double>(int_);
    return true;
  }
  switch (type_) {
    case varEmpty:
      *value = 0.0;
      return true;
    case varSingle:
      *value = sgl_;
      return true;
    case varDouble:
    case varDate:
      *value = dbl_;
      return true;
    case varCurrency:
      *value = static_cast<double>(int_) / kCurrencyScale;
      return true;
    case varBoolean:
      *value = int_ ? -1.0 : 0.0;
      return true;
    case varOleStr:
    case varString:
      return ParseDouble(Text(), value);
    default:
      return false;
  }
}

double OleVariant::ToDouble() const {
  double value;
  if (!TryToDouble(&value)) Fail("Double");
  return value;
}

int64_t OleVariant::RoundedInteger(const char* target) const {
  if (IsIntegerType(type_)) return int_;
  if (type_ == varCurrency) return RoundScaledCurrency(int_);
  int64_t value = 0;
  // Integer text is read exactly, also beyond the 53 bits a double holds.
  if (IsStringType(type_) && ParseInt64(Text(), &value)) return value;
  double real;
  if (TryToDouble(&real) && DoubleToInt64(real, &value)) return value;
  Fail(target);
}

int32_t OleVariant::ToInt() const {
  int64_t value = RoundedInteger("Integer");
  if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max()) {
    Fail("Integer");
  }
  return static_cast<int32_t>(value);
}

int64_t OleVariant::ToInt64() const {
  return RoundedInteger("Int64");
}

bool OleVariant::ToBool() const {
  if (IsStringType(type_)) {
    const std::string_view text = Trimmed(Text());
    if (EqualsIgnoringCase(text, "true")) return true;
    if (EqualsIgnoringCase(text, "false")) return false;
  }
  double value;
  if (!TryToDouble(&value)) Fail("Boolean");
  return value != 0.0;
}

std::string OleVariant::ToString() const {
  if (IsIntegerType(type_)) return std::to_string(int_);
  std::string text;
  switch (type_) {
    case varEmpty:
      return text;
    case varBoolean:
      return int_ ? "True" : "False";
    case varSingle:
      return FormatFloat(sgl_, std::numeric_limits<float>::digits10 + 1);
    case varDouble:
      return FormatFloat(dbl_, std::numeric_limits<double>::digits10);
    case varCurrency:
      return FormatCurrency(int_);
    case varDate:
      if (FormatDate(dbl_, &text)) return text;
      break;
    case varOleStr:
    case varString:
      return std::string(Text());
  }
  Fail("String");
}

std::string_view OleVariant::TextView() const {
  if (!IsStringType(type_)) Fail("String");
  return Text();
}

int64_t OleVariant::ToCurrencyScaled() const {
  if (type_ == varCurrency) return int_;
  if (IsIntegerType(type_)) {
    constexpr int64_t kMaxUnits = std::numeric_limits<int64_t>::max() / kCurrencyScale;
    if (int_ >= -kMaxUnits && int_ <= kMaxUnits) return int_ * kCurrencyScale;
    Fail("Currency");
  }
  double value;
  int64_t scaled;
  if (!TryToDouble(&value) || !DoubleToInt64(value * kCurrencyScale, &scaled)) Fail("Currency");
  return scaled;
}

double OleVariant::ToCurrency() const {
  return static_cast<double>(ToCurrencyScaled()) / kCurrencyScale;
}

const OleVariant::ArrayData& OleVariant::Array() const {
  if (type_ != kVariantArray) {
    throw EVariantError(std::string("Variant of type (") + TypeName(type_) + ") is not an array");
  }
  return *arr_;
}

int OleVariant::DimCount() const noexcept {
  return type_ == kVariantArray ? arr_->dimCount : 0;
}

int32_t OleVariant::LowBound(int dim) const {
  const ArrayData& array = Array();
  if (dim < 1 || dim > array.dimCount) throw EVariantError("Variant array dimension out of range");
  return array.low[dim - 1];
}

int32_t OleVariant::HighBound(int dim) const {
  const ArrayData& array = Array();
  if (dim < 1 || dim > array.dimCount) throw EVariantError("Variant array dimension out of range");
  return static_cast<int32_t>(static_cast<int64_t>(array.low[dim - 1]) + array.count[dim - 1] - 1);
}

size_t OleVariant::ElementOffset(std::initializer_list<int32_t> indices) const {
  const ArrayData& array = Array();
  if (static_cast<int>(indices.size()) != array.dimCount) {
    throw EVariantError("Variant array needs " + std::to_string(array.dimCount) + " indices, got " +
                        std::to_string(indices.size()));
  }
  // Unsigned differences turn an index below the low bound into a huge
  // position, so one comparison checks both ends.
  const int32_t* index = indices.begin();
  size_t offset = 0;
  for (int dim = 0; dim < array.dimCount; ++dim) {
    const auto position = static_cast<uint64_t>(int64_t{index[dim]} - array.low[dim]);
    if (position >= static_cast<uint64_t>(array.count[dim])) {
      throw EVariantError("Variant array index " + std::to_string(index[dim]) + " out of bounds");
    }
    offset = offset * static_cast<size_t>(array.count[dim]) + static_cast<size_t>(position);
  }
  return offset;
}

const OleVariant* OleVariant::ElementData() const {
  return Array().elements.data();
}

OleVariant OleVariant::GetElement(std::initializer_list<int32_t> indices) const {
  size_t offset = ElementOffset(indices);  // checks that this is an array first
  return arr_->elements[offset];
}

void OleVariant::PutElement(std::initializer_list<int32_t> indices, OleVariant value) {
  size_t offset = ElementOffset(indices);
  arr_->elements[offset] = std::move(value);
}

OleVariant VarArrayCreate(std::initializer_list<int32_t> bounds) {
  if (bounds.size() != 2 && bounds.size() != 4) {
    throw EVariantError("Variant array bounds must be given as 2 or 4 values");
  }
  auto array = std::make_unique<OleVariant::ArrayData>();
  array->dimCount = static_cast<int>(bounds.size() / 2);
  const int32_t* bound = bounds.begin();
  int64_t total = 1;
  for (int d = 0; d < array->dimCount; ++d, bound += 2) {
    int64_t count = static_cast<int64_t>(bound[1]) - bound[0] + 1;
    if (count < 0) throw EVariantError("Variant array high bound is below its low bound");
    if (count > std::numeric_limits<int32_t>::max()) {
      throw EVariantError("Variant array dimension is too large");
    }
    array->low[d] = bound[0];
    array->count[d] = static_cast<int32_t>(count);
    total *= count;
    if (total > std::numeric_limits<int32_t>::max()) {
      throw EVariantError("Variant array is too large");
    }
  }
  array->elements.resize(static_cast<size_t>(total));
  OleVariant result(kVariantArray, 0);
  result.arr_ = array.release();
  return result;
}

OleVariant VarArrayOf(std::vector<OleVariant> elements) {
  if (elements.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max())) {
    throw EVariantError("Variant array is too large");
  }
  OleVariant result = VarArrayCreate({0, -1});
  result.arr_->count[0] = static_cast<int32_t>(elements.size());
  result.arr_->elements = std::move(elements);
  return result;
}

bool operator==(const OleVariant& a, const OleVariant& b) {
  TVarType ta = a.type_, tb = b.type_;
  if (IsNumberType(ta) && IsNumberType(tb)) return NumberOrder(a, b) == 0;
  if (IsStringType(ta) && IsStringType(tb)) return a.Text() == b.Text();
  if (ta != tb) return false;
  switch (ta) {
    case varEmpty:
    case varNull:
      return true;
    case varBoolean:
    case varError:
      return a.int_ == b.int_;
    case kVariantArray:
      return a.arr_->SameShape(*b.arr_) && a.arr_->elements == b.arr_->elements;
    default:
      return false;
  }
}

int Compare(const OleVariant& a, const OleVariant& b) {
  if (IsNumberType(a.type_) && IsNumberType(b.type_)) {
    int order = NumberOrder(a, b);
    if (order != kUnordered) return order;
  } else if (IsStringType(a.type_) && IsStringType(b.type_)) {
    return ThreeWay(a.Text().compare(b.Text()), 0);
  }
  throw EVariantError(std::string("Cannot order variants of type (") + TypeName(a.type_) +
                      ") and (" + TypeName(b.type_) + ")");
}

bool VarIsMissing(const OleVariant& v) noexcept {
  return v.VarType() == varError && v == OleVariant::Missing();
}

bool VarIsInteger(const OleVariant& v) noexcept {
  return IsIntegerType(v.VarType());
}

bool VarIsNumeric(const OleVariant& v) noexcept {
  return IsNumberType(v.VarType()) && v.VarType() != varDate;
}

bool VarIsStr(const OleVariant& v) noexcept {
  return IsStringType(v.VarType());
}

}  // namespace tabulon
