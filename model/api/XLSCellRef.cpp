#include "XLSCellRef.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <system_error>

#include "XLSBlob.h"

namespace tabulon {

namespace {

constexpr int32_t kMaxRowNumber = XLSMaxRow + 1;  // one-based, 65536
constexpr int32_t kMaxColNumber = XLSMaxCol + 1;  // one-based, 256 ('IV')
constexpr int kMaxRowDigits = 5;

bool IsLetter(char ch) {
  return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z');
}

bool IsDigit(char ch) {
  return ch >= '0' && ch <= '9';
}

// value * 26 + the letter's number, saturating so that any length of letters
// stays a valid (too large) column number instead of overflowing.
int32_t AddColumnLetter(int32_t value, char letter) {
  const int32_t digit = (letter & ~0x20) - 'A' + 1;  // case folded
  constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
  if (value > (kMax - digit) / 26) return kMax;
  return value * 26 + digit;
}

// Writes the one or two column letters of a zero-based column at out and
// returns the end of what it wrote.
char* PutColumnLetters(uint8_t col, char* out) {
  if (col >= 26) *out++ = static_cast<char>('A' + col / 26 - 1);
  *out++ = static_cast<char>('A' + col % 26);
  return out;
}

// The plain form that EncodeCellRef writes and callers mostly pass: one or
// two letters, then one to five digits, nothing else. False for any other
// shape, which the general parse then reads; the limits are checked by the
// caller either way.
bool ReadPlainCellRef(const std::string& text, int32_t& rowValue, int32_t& colValue) {
  const size_t size = text.size();
  size_t pos = 0;
  colValue = 0;
  while (pos < size && pos < 2 && IsLetter(text[pos]))
    colValue = AddColumnLetter(colValue, text[pos++]);
  const size_t digits = size - pos;
  if (pos == 0 || digits == 0 || digits > kMaxRowDigits) return false;
  rowValue = 0;
  for (; pos < size; ++pos) {
    if (!IsDigit(text[pos])) return false;
    rowValue = rowValue * 10 + (text[pos] - '0');
  }
  return true;
}

// One-based row and column numbers checked against the sheet and stored
// zero-based: 1, or -1 with the outputs untouched.
int32_t StoreCellRef(int32_t rowValue, int32_t colValue, uint16_t& row, uint8_t& col) {
  if (rowValue < 1 || rowValue > kMaxRowNumber) return -1;
  if (colValue < 1 || colValue > kMaxColNumber) return -1;
  row = static_cast<uint16_t>(rowValue - 1);
  col = static_cast<uint8_t>(colValue - 1);
  return 1;
}

// Column letters of a zero-based column.
std::string ColumnLetters(uint8_t col) {
  char letters[2];
  return std::string(letters, PutColumnLetters(col, letters));
}

// Nearest integer, an exact half going to the even neighbour.
double Nearest(double x) {
  return std::nearbyint(x);
}

// x converted to T, with NaN as 0 and out-of-range values pinned to T's
// limits, so odd inputs cannot cause an undefined conversion.
template <typename T>
T ClampTo(double x) {
  if (std::isnan(x)) return 0;
  if (x <= static_cast<double>(std::numeric_limits<T>::min())) return std::numeric_limits<T>::min();
  if (x >= static_cast<double>(std::numeric_limits<T>::max())) return std::numeric_limits<T>::max();
  return static_cast<T>(x);
}

std::string Trim(const std::string& text) {
  const auto isSpace = [](char ch) { return static_cast<unsigned char>(ch) <= ' '; };
  const auto first = std::find_if_not(text.begin(), text.end(), isSpace);
  const auto last = std::find_if_not(text.rbegin(), text.rend(), isSpace).base();
  return first < last ? std::string(first, last) : std::string();
}

// A decimal row number made of digits only, or -1. Saturates far above any
// row limit so long digit strings cannot overflow.
int32_t ReadRowNumber(const std::string& text) {
  if (text.empty()) return -1;
  int32_t value = 0;
  for (char ch : text) {
    if (!IsDigit(ch)) return -1;
    value = std::min(value * 10 + (ch - '0'), kMaxRowNumber * 10);
  }
  return value;
}

// Shared shape of '$1:$3' and '$A:$C': two sides around the first ':', each
// trimmed, one leading '$' dropped, read by readSide (-1 = unreadable) and
// compared with limit; the outputs are written ordered, only on success.
bool ParseDiapason(const std::string& text, int32_t (*readSide)(const std::string&), int32_t limit,
                   int32_t& first, int32_t& last) {
  const size_t colon = text.find(':');
  if (colon == std::string::npos) return false;
  int32_t values[2];
  const std::string sides[2] = {text.substr(0, colon), text.substr(colon + 1)};
  for (int i = 0; i < 2; ++i) {
    std::string side = Trim(sides[i]);
    if (side.empty()) return false;
    if (side[0] == '$') side = Trim(side.substr(1));
    values[i] = readSide(side);
    if (values[i] < 1 || values[i] > limit) return false;  // row 0 names no row
  }
  first = std::min(values[0], values[1]);
  last = std::max(values[0], values[1]);
  return true;
}

// '$' + name(first) + ':$' + name(last), or empty text when a value is below 1.
int32_t FormatDiapason(int32_t first, int32_t last, std::string (*name)(int32_t),
                       std::string& text) {
  if (first < 1 || last < 1) {
    text.clear();
  } else {
    text = "$" + name(first) + ":$" + name(last);
  }
  return 1;
}

std::string DecimalName(int32_t n) {
  return std::to_string(n);
}

// The dump text of DumpData: two hex digits and a space per byte, one more
// space after every fourth byte, and a line break with a 15-space indent
// after every sixteenth byte that is followed by more.
std::string HexDump(const uint8_t* bytes, uint32_t size) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string text;
  text.reserve(size * 4);
  for (uint32_t i = 0; i < size; ++i) {
    text += kHex[bytes[i] >> 4];
    text += kHex[bytes[i] & 0x0F];
    text += ' ';
    const uint32_t count = i + 1;
    if (count % 4 == 0) text += ' ';
    if (count % 16 == 0 && count < size) text += "\n               ";
  }
  return text;
}

[[noreturn]] void ThrowFileError(const char* what, const std::string& path, int err) {
  throw std::system_error(err ? err : EIO, std::generic_category(),
                          std::string(what) + " '" + path + "'");
}

}  // namespace

std::string EncodeCellRef(uint16_t row, uint8_t col) {
  // Callers address cells by text one at a time, so the text is built in
  // place and becomes a string once: two letters and five digits at most.
  char text[8];
  char* end = PutColumnLetters(col, text);
  end = std::to_chars(end, text + sizeof text, row + 1).ptr;
  return std::string(text, end);
}

std::string EncodeCellRange(uint16_t firstRow, uint8_t firstCol, uint16_t lastRow,
                            uint8_t lastCol) {
  return EncodeCellRef(firstRow, firstCol) + ":" + EncodeCellRef(lastRow, lastCol);
}

std::string ColIndexToColName(int32_t n) {
  if (n < 1 || n > XLSMaxCol) return std::string();
  return ColumnLetters(static_cast<uint8_t>(n - 1));
}

int32_t ColNameToColIndex(const std::string& text) {
  int32_t value = 0;
  for (char ch : text) {
    if (IsLetter(ch)) value = AddColumnLetter(value, ch);
  }
  return value == 0 ? -1 : value;
}

int32_t GetCellRef(const std::string& text, uint16_t& row, uint8_t& col) {
  if (text.size() < 2) return -1;
  int32_t plainRow = 0;
  int32_t plainCol = 0;
  if (ReadPlainCellRef(text, plainRow, plainCol)) return StoreCellRef(plainRow, plainCol, row, col);
  int32_t colValue = 0;
  int32_t rowValue = 0;
  int digits = 0;
  bool inLetters = true;
  for (char ch : text) {
    if (ch == ' ') continue;
    if (inLetters && IsLetter(ch)) {
      colValue = AddColumnLetter(colValue, ch);
      continue;
    }
    inLetters = false;
    if (!IsDigit(ch) || ++digits > kMaxRowDigits) return -1;
    rowValue = rowValue * 10 + (ch - '0');
  }
  if (digits == 0) return -1;
  return StoreCellRef(rowValue, colValue, row, col);
}

int32_t GetCellRange(const std::string& text, uint16_t& firstRow, uint8_t& firstCol,
                     uint16_t& lastRow, uint8_t& lastCol) {
  const size_t colon = text.find(':');
  if (colon == std::string::npos) return -1;
  const int32_t result = GetCellRef(text.substr(0, colon), firstRow, firstCol);
  if (result != 1) return result;
  return GetCellRef(text.substr(colon + 1), lastRow, lastCol);
}

bool RowDiapasonToValues(const std::string& text, int32_t& first, int32_t& last) {
  return ParseDiapason(text, ReadRowNumber, XLSMaxRow, first, last);
}

int32_t ValuesToRowDiapason(int32_t first, int32_t last, std::string& text) {
  return FormatDiapason(first, last, DecimalName, text);
}

bool ColDiapasonToValues(const std::string& text, int32_t& first, int32_t& last) {
  // Bounded by the columns that ValuesToColDiapason can name, so a parsed
  // pair always turns back into the same text.
  return ParseDiapason(text, ColNameToColIndex, XLSMaxCol, first, last);
}

int32_t ValuesToColDiapason(int32_t first, int32_t last, std::string& text) {
  return FormatDiapason(first, last, ColIndexToColName, text);
}

int32_t Height2Excel(float points) {
  const double p = points;
  const double t = std::trunc(p);
  const double q = Nearest((p - t) * 4) / 4;
  return ClampTo<int32_t>(Nearest((t + q) * 20));
}

float Excel2Height(uint16_t twips) {
  return static_cast<float>(Nearest(twips / 5.0) / 4);
}

uint16_t Width2Excel(float characters) {
  const double c = characters;
  const double t = std::trunc(c);
  const double stored = t > 0 ? t * 256 + 182 + Nearest((c - t) * 256) : Nearest(c * 460.8);
  return ClampTo<uint16_t>(stored);
}

float Excel2Width(uint16_t stored) {
  const double characters = stored < 438 ? stored / 460.8 : (stored - 182) / 256.0;
  return static_cast<float>(Nearest(characters * 100) / 100);
}

std::string Str2Xls(const std::string& text) {
  std::string result;
  result.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    result += text[i] == '\n' ? '\r' : text[i];
  }
  return result;
}

void DumpData(const TXLSBlob& blob, const std::string& fileName) {
  const std::string text = HexDump(blob.GetBuff(), blob.GetBuffSize());
  std::FILE* file = std::fopen(fileName.c_str(), "wb");
  if (!file) ThrowFileError("cannot create", fileName, errno);
  errno = 0;
  const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  const int writeError = written ? 0 : errno;
  const bool closed = std::fclose(file) == 0;
  if (!written) ThrowFileError("cannot write", fileName, writeError);
  if (!closed) ThrowFileError("cannot write", fileName, errno);
}

}  // namespace tabulon
