// OleVariant: the self-describing value that the object model's interfaces and
// the cell-format setters pass around. It mirrors the host platform's OLE
// variant: the same type codes, one- and two-dimensional arrays with arbitrary
// lower bounds, the customary conversions and the marker for an absent
// optional argument.
//
// Layout: a type code plus one 8-byte payload (16 bytes in all). A string of
// up to 8 bytes is kept in the payload itself, so that the short texts that
// fill most cells cost no heap block; longer strings and arrays live behind a
// pointer. Copying a variant copies its string or array, moving steals it.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace tabulon {

/// The type code of an OleVariant (OleVariant::VarType), as OLE numbers it.
using TVarType = uint16_t;

constexpr TVarType varEmpty = 0x0000;     ///< No value (a new variant).
constexpr TVarType varNull = 0x0001;      ///< The Null value (an empty cell).
constexpr TVarType varSmallint = 0x0002;  ///< Signed 16-bit integer.
constexpr TVarType varInteger = 0x0003;   ///< Signed 32-bit integer.
constexpr TVarType varSingle = 0x0004;    ///< 32-bit floating point.
constexpr TVarType varDouble = 0x0005;    ///< 64-bit floating point.
constexpr TVarType varCurrency = 0x0006;  ///< Signed 64-bit integer scaled by 10,000.
constexpr TVarType varDate = 0x0007;      ///< Day serial as a double, 0 = 1899-12-30.
constexpr TVarType varOleStr = 0x0008;    ///< Text, the type of a variant made from a string.
constexpr TVarType varError = 0x000A;     ///< 32-bit error code (XLSParamNotFound, ...).
constexpr TVarType varBoolean = 0x000B;   ///< true or false.
constexpr TVarType varVariant = 0x000C;   ///< Element type of variant arrays.
constexpr TVarType varShortInt = 0x0010;  ///< Signed 8-bit integer.
constexpr TVarType varByte = 0x0011;      ///< Unsigned 8-bit integer.
constexpr TVarType varWord = 0x0012;      ///< Unsigned 16-bit integer.
constexpr TVarType varLongWord = 0x0013;  ///< Unsigned 32-bit integer.
constexpr TVarType varInt64 = 0x0014;     ///< Signed 64-bit integer.
constexpr TVarType varString = 0x0100;    ///< Byte string of the host (OleVariant::ByteString).
constexpr TVarType varArray = 0x2000;     ///< Flag combined with the element type of an array.

/// The error code that marks an optional argument the caller left out.
constexpr int32_t XLSParamNotFound = static_cast<int32_t>(0x80020004u);

/// Raised by every conversion or array access that cannot be carried out.
class EVariantError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

namespace variant_detail {
/// Character types hold text, not numbers, so they get no implicit conversion.
template <typename T>
struct IsCharacter
    : std::integral_constant<
          bool, std::is_same<T, char>::value || std::is_same<T, wchar_t>::value ||
                    std::is_same<T, char16_t>::value || std::is_same<T, char32_t>::value> {};
}  // namespace variant_detail

/// The self-describing value of the interfaces: Empty, Null, integers of every
/// width, single and double, currency, date, string, boolean, error, and arrays
/// of one or two dimensions with any lower bounds. 16 bytes; strings of up to 8
/// bytes are kept inside. Copies are deep.
class OleVariant {
 public:
  /// Empty.
  OleVariant() noexcept : type_(varEmpty), int_(0) {}

  /// Implicit construction from the common value types. Every integer type maps
  /// to the variant code of its width and signedness (int -> varInteger,
  /// int64_t -> varInt64, uint8_t -> varByte, ...); unsigned 64-bit values and
  /// character types have no code and must go through a factory.
  template <typename T,
            typename std::enable_if<std::is_integral<T>::value && !std::is_same<T, bool>::value &&
                                        !variant_detail::IsCharacter<T>::value &&
                                        !(std::is_unsigned<T>::value && sizeof(T) == 8),
                                    int>::type = 0>
  OleVariant(T value) noexcept : type_(IntegerCode<T>()), int_(static_cast<int64_t>(value)) {}
  /// @param value Becomes varDouble.
  OleVariant(double value) noexcept : type_(varDouble), dbl_(value) {}
  /// @param value Becomes varSingle.
  OleVariant(float value) noexcept : type_(varSingle), sgl_(value) {}
  /// @param value Becomes varBoolean.
  OleVariant(bool value) noexcept : type_(varBoolean), int_(value ? 1 : 0) {}
  /// Strings become OLE strings, as the host does when it fills an OleVariant.
  OleVariant(const char* text);
  /// @param text Becomes varOleStr (the bytes as given).
  OleVariant(const std::string& text);
  /// @param text Becomes varOleStr, moved in.
  OleVariant(std::string&& text);

  /// Copies the value; arrays and strings are copied deeply.
  /// @param other The variant to copy.
  OleVariant(const OleVariant& other);
  /// Takes the value over; other is left Empty.
  /// @param other The variant to move from.
  OleVariant(OleVariant&& other) noexcept;
  /// Copies the value (deeply for arrays and strings).
  /// @param other The variant to copy.
  /// @return This variant.
  OleVariant& operator=(const OleVariant& other);
  /// Takes the value over; other is left Empty.
  /// @param other The variant to move from.
  /// @return This variant.
  OleVariant& operator=(OleVariant&& other) noexcept;
  // Most variants hold no heap block: those are dropped without a call.
  ~OleVariant() {
    if (OwnsHeapBlock()) Release();
  }

  /// @return An Empty variant (varEmpty): no value; written to a cell, it clears the cell.
  static OleVariant Empty() { return OleVariant(); }
  /// @return A Null variant (varNull): an unknown value, as read from an empty cell.
  static OleVariant Null();
  /// varError 0x80020004: the stand-in for an absent optional argument.
  static OleVariant Missing();
  /// @param code An error code (an HRESULT).
  /// @return A varError variant.
  static OleVariant Error(int32_t code);
  /// @param serial Days since 30 December 1899, the time of day as the fraction
  /// (45366 is 15 March 2024, 0.5 noon).
  /// @return A varDate variant; written to a cell it stores that serial as a date-time.
  static OleVariant Date(double serial);
  /// Rounds to four decimals (ties to even); throws when out of range or NaN.
  static OleVariant Currency(double value);
  /// @param scaled The currency value times 10,000.
  /// @return A varCurrency variant.
  static OleVariant CurrencyFromScaled(int64_t scaled);
  /// @param value A signed 8-bit integer.
  /// @return A varShortInt variant.
  static OleVariant ShortInt(int8_t value) { return OleVariant(value); }
  /// @param value An unsigned 8-bit integer.
  /// @return A varByte variant.
  static OleVariant Byte(uint8_t value) { return OleVariant(value); }
  /// @param value A signed 16-bit integer.
  /// @return A varSmallint variant.
  static OleVariant Smallint(int16_t value) { return OleVariant(value); }
  /// @param value An unsigned 16-bit integer.
  /// @return A varWord variant.
  static OleVariant Word(uint16_t value) { return OleVariant(value); }
  /// @param value A signed 32-bit integer.
  /// @return A varInteger variant.
  static OleVariant Integer(int32_t value) { return OleVariant(value); }
  /// @param value An unsigned 32-bit integer.
  /// @return A varLongWord variant.
  static OleVariant LongWord(uint32_t value) { return OleVariant(value); }
  /// @param value A signed 64-bit integer.
  /// @return A varInt64 variant.
  static OleVariant Int64(int64_t value) { return OleVariant(value); }
  /// @param value A float.
  /// @return A varSingle variant.
  static OleVariant Single(float value) { return OleVariant(value); }
  /// @param value A double.
  /// @return A varDouble variant.
  static OleVariant Double(double value) { return OleVariant(value); }
  /// @param value A boolean.
  /// @return A varBoolean variant.
  static OleVariant Boolean(bool value) { return OleVariant(value); }
  /// @param text The text.
  /// @return A varOleStr variant.
  static OleVariant OleStr(std::string text) { return OleVariant(std::move(text)); }
  /// @param text The text.
  /// @return A varString (byte string) variant.
  static OleVariant ByteString(std::string text);

  /// The type code; arrays answer varArray | varVariant.
  TVarType VarType() const noexcept { return type_; }

  /// Conversions by the host's rules; each throws EVariantError when the value
  /// cannot be represented (Null, arrays, errors, unparseable text, overflow).
  double ToDouble() const;
  int32_t ToInt() const;  ///< rounds to nearest, ties to even
  /// @return The value as a 64-bit integer, rounded to nearest (ties to even);
  /// throws EVariantError when it does not convert.
  int64_t ToInt64() const;
  /// @return The value as a boolean (numbers: not 0; texts "true"/"false");
  /// throws EVariantError when it does not convert.
  bool ToBool() const;
  /// @return The value as text; throws EVariantError for Null, arrays and errors.
  std::string ToString() const;
  /// The text of a string variant (varOleStr, varString) without a copy,
  /// valid while the variant lives unchanged; throws for other types.
  std::string_view TextView() const;
  double ToCurrency() const;  ///< the value rounded to four decimals
  /// @return The value as currency times 10,000; throws EVariantError when it does not convert.
  int64_t ToCurrencyScaled() const;

  /// Arrays. Dimensions count from 1; indices are given one per dimension.
  int DimCount() const noexcept;
  /// @param dim Dimension, from 1 to DimCount().
  /// @return The lowest index of that dimension; throws EVariantError for a
  /// non-array or a bad dimension.
  int32_t LowBound(int dim) const;
  /// @param dim Dimension, from 1 to DimCount().
  /// @return The highest index of that dimension (inclusive); throws EVariantError
  /// for a non-array or a bad dimension.
  int32_t HighBound(int dim) const;
  /// @param indices One index per dimension, within the bounds.
  /// @return A copy of the element; throws EVariantError for a non-array, a wrong
  /// number of indices or an index out of bounds.
  OleVariant GetElement(std::initializer_list<int32_t> indices) const;
  /// Replaces an element.
  /// @param indices One index per dimension, within the bounds.
  /// @param value The new element.
  /// Throws EVariantError for a non-array, a wrong number of indices or an index
  /// out of bounds.
  void PutElement(std::initializer_list<int32_t> indices, OleVariant value);
  /// Every element of an array in storage order: the last index varies
  /// fastest, so element (i, j) of a 2-D array is at
  /// (i - LowBound(1)) * (HighBound(2) - LowBound(2) + 1) + (j - LowBound(2)).
  /// Valid while the array lives unchanged; throws EVariantError for a
  /// variant that is not an array.
  const OleVariant* ElementData() const;

  /// Compares type and value (arrays element by element).
  /// @param a One variant.
  /// @param b The other.
  /// @return true when both hold the same type and value.
  friend bool operator==(const OleVariant& a, const OleVariant& b);
  /// @param a One variant.
  /// @param b The other.
  /// @return !(a == b).
  friend bool operator!=(const OleVariant& a, const OleVariant& b) { return !(a == b); }

 private:
  struct ArrayData;
  friend OleVariant VarArrayCreate(std::initializer_list<int32_t> bounds);
  friend OleVariant VarArrayOf(std::vector<OleVariant> elements);
  friend int Compare(const OleVariant& a, const OleVariant& b);

  template <typename T>
  static constexpr TVarType IntegerCode() {
    if (sizeof(T) == 1) return std::is_signed<T>::value ? varShortInt : varByte;
    if (sizeof(T) == 2) return std::is_signed<T>::value ? varSmallint : varWord;
    if (sizeof(T) == 4) return std::is_signed<T>::value ? varInteger : varLongWord;
    return varInt64;
  }

  OleVariant(TVarType type, int64_t payload) noexcept : type_(type), int_(payload) {}
  bool OwnsHeapBlock() const noexcept {
    return type_ == (varArray | varVariant) ||
           ((type_ == varOleStr || type_ == varString) && textLength_ == kHeapText);
  }
  void Release() noexcept;
  void TakePayload(const OleVariant& other) noexcept;
  void CopyFrom(const OleVariant& other);
  bool TryToDouble(double* value) const;
  int64_t RoundedInteger(const char* target) const;
  const ArrayData& Array() const;
  size_t ElementOffset(std::initializer_list<int32_t> indices) const;
  std::string_view Text() const {
    return textLength_ == kHeapText ? std::string_view(*str_)
                                    : std::string_view(chars_, textLength_);
  }
  void SetText(std::string_view text);
  void SetText(std::string&& text);
  [[noreturn]] void Fail(const char* target) const;

  static constexpr uint8_t kInlineText = 8;   ///< longest string kept in chars_
  static constexpr uint8_t kHeapText = 0xFF;  ///< textLength_ of a string behind str_

  TVarType type_;
  uint8_t textLength_ = kHeapText;  ///< for string types: the length in chars_, or kHeapText
  union {
    int64_t int_;  // integer widths, boolean (0/1), error code, scaled currency
    double dbl_;   // double and date
    float sgl_;
    std::string* str_;
    ArrayData* arr_;
    char chars_[kInlineText];
  };
};

/// One-dimensional array with lower bound 0 holding the given elements.
OleVariant VarArrayOf(std::vector<OleVariant> elements);
/// Array of empty elements; bounds are lo1, hi1 or lo1, hi1, lo2, hi2 (inclusive).
OleVariant VarArrayCreate(std::initializer_list<int32_t> bounds);

/// Orders two numbers (of any numeric type, dates included) or two strings
/// (bytewise): negative, 0 or positive. Other pairs throw EVariantError.
int Compare(const OleVariant& a, const OleVariant& b);

/// @param v A variant.
/// @return Its type code (varArray | varVariant for arrays).
inline TVarType VarType(const OleVariant& v) noexcept {
  return v.VarType();
}
/// @param v A variant.
/// @return Whether v is Empty.
inline bool VarIsEmpty(const OleVariant& v) noexcept {
  return v.VarType() == varEmpty;
}
/// @param v A variant.
/// @return Whether v is Null.
inline bool VarIsNull(const OleVariant& v) noexcept {
  return v.VarType() == varNull;
}
/// @param v A variant.
/// @return Whether v is an array.
inline bool VarIsArray(const OleVariant& v) noexcept {
  return (v.VarType() & varArray) != 0;
}
/// @param v A variant.
/// @return Whether v is the marker of an absent optional argument (OleVariant::Missing()).
bool VarIsMissing(const OleVariant& v) noexcept;
/// Integers of every width, signed or not.
bool VarIsInteger(const OleVariant& v) noexcept;
/// Integers of every width, single, double and currency (not dates).
bool VarIsNumeric(const OleVariant& v) noexcept;
/// OLE strings and byte strings.
bool VarIsStr(const OleVariant& v) noexcept;

}  // namespace tabulon
