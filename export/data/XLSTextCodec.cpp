#include "XLSTextCodec.h"

#include <cstdio>

#include "XLSUnicodeText.h"

namespace tabulon {
namespace {

constexpr uint32_t kReplacementChar = 0xFFFD;
constexpr uint32_t kUndefined = 0;

// Characters of the bytes 0x80 to 0x9F; every other byte is the code point of
// the same value (ISO 8859-1). kUndefined marks the bytes with no character.
constexpr uint32_t kHighControls[32] = {
    0x20AC,     kUndefined, 0x201A, 0x0192, 0x201E, 0x2026,     0x2020, 0x2021,
    0x02C6,     0x2030,     0x0160, 0x2039, 0x0152, kUndefined, 0x017D, kUndefined,
    kUndefined, 0x2018,     0x2019, 0x201C, 0x201D, 0x2022,     0x2013, 0x2014,
    0x02DC,     0x2122,     0x0161, 0x203A, 0x0153, kUndefined, 0x017E, 0x0178};

// Moves position past the character that starts at text[offset], which spans
// `length` bytes. CR LF, a lone LF and a lone CR each end one line.
void Advance(const std::string& text, size_t length, TXLSTextPosition& position) {
  const char c = text[position.Offset];
  const bool crBeforeLf =
      c == '\r' && position.Offset + 1 < text.size() && text[position.Offset + 1] == '\n';
  position.Offset += length;
  if ((c == '\n' || c == '\r') && !crBeforeLf) {
    ++position.Line;
    position.Column = 1;
  } else {
    ++position.Column;
  }
}

// Length of the run of ASCII other than CR and LF that starts at offset.
size_t AsciiRun(const std::string& text, size_t offset) {
  size_t end = offset;
  while (end < text.size() && (text[end] & 0x80) == 0 && text[end] != '\n' && text[end] != '\r')
    ++end;
  return end - offset;
}

// Walks utf8 up to its first malformed sequence, which marks result invalid
// there. ascii, when given, says whether the text walked is all ASCII.
// @return The position the walk ended at.
TXLSTextPosition CheckUtf8(const std::string& utf8, TXLSCp1252Text& result, bool* ascii = nullptr) {
  TXLSTextPosition position;
  while (position.Offset < utf8.size()) {
    const size_t run = AsciiRun(utf8, position.Offset);
    if (run > 0) {
      position.Offset += run;
      position.Column += static_cast<uint32_t>(run);
      continue;
    }
    size_t next = position.Offset;
    uint32_t code_point = 0;
    if (!XLSDecodeUtf8Char(utf8, next, code_point)) {
      result.Valid = false;
      result.InvalidAt = position;
      break;
    }
    if (ascii != nullptr && code_point >= 0x80) *ascii = false;
    Advance(utf8, next - position.Offset, position);
  }
  return position;
}

}  // namespace

bool XLSDecodeUtf8(const std::string& text, size_t& pos, uint32_t& code_point) {
  return XLSDecodeUtf8Char(text, pos, code_point);
}

void XLSAppendUtf8(uint32_t code_point, std::string& out) {
  if (code_point < 0x80) {
    out += static_cast<char>(code_point);
    return;
  }
  char bytes[4];
  int length = code_point < 0x800 ? 2 : code_point < 0x10000 ? 3 : 4;
  for (int i = length - 1; i > 0; --i) {
    bytes[i] = static_cast<char>(0x80 | (code_point & 0x3F));
    code_point >>= 6;
  }
  static constexpr unsigned char kLeadMarks[5] = {0, 0, 0xC0, 0xE0, 0xF0};
  bytes[0] = static_cast<char>(kLeadMarks[length] | code_point);
  out.append(bytes, length);
}

int32_t XLSUnicodeToCp1252(uint32_t code_point) {
  if (code_point < 0x80 || (code_point >= 0xA0 && code_point <= 0xFF)) {
    return static_cast<int32_t>(code_point);
  }
  for (int i = 0; i < 32; ++i) {
    if (kHighControls[i] != kUndefined && kHighControls[i] == code_point) return 0x80 + i;
  }
  return -1;
}

uint32_t XLSCp1252ToUnicode(uint8_t byte) {
  if (byte < 0x80 || byte >= 0xA0) return byte;
  const uint32_t character = kHighControls[byte - 0x80];
  return character == kUndefined ? kReplacementChar : character;
}

TXLSCp1252Text XLSCheckUtf8(const std::string& utf8) {
  TXLSCp1252Text result;
  result.Text = utf8.substr(0, CheckUtf8(utf8, result).Offset);
  return result;
}

size_t XLSUtf8PrefixOfUnits(const std::string& utf8, size_t max_units) {
  return XLSFitUnits(utf8, max_units);
}

size_t XLSUtf16Length(const std::string& utf8) {
  return XLSUtf16Units(utf8);
}

TXLSCp1252Text XLSUtf8ToCp1252(const std::string& utf8, char replacement) {
  TXLSCp1252Text result;
  result.Text.reserve(utf8.size());
  TXLSTextPosition position;
  while (position.Offset < utf8.size()) {
    // ASCII other than line breaks, the bulk of most data, is the same in
    // both and one column a byte: it is copied a run at a time.
    const size_t run = AsciiRun(utf8, position.Offset);
    if (run > 0) {
      result.Text.append(utf8, position.Offset, run);
      position.Offset += run;
      position.Column += static_cast<uint32_t>(run);
      continue;
    }
    size_t next = position.Offset;
    uint32_t code_point = 0;
    if (!XLSDecodeUtf8(utf8, next, code_point)) {
      result.Valid = false;
      result.InvalidAt = position;
      return result;
    }
    const int32_t byte = XLSUnicodeToCp1252(code_point);
    if (byte < 0) {
      result.Unmapped.push_back({position, code_point});
      result.Text += replacement;
    } else {
      result.Text += static_cast<char>(byte);
    }
    Advance(utf8, next - position.Offset, position);
  }
  return result;
}

std::string XLSCp1252ToUtf8(const std::string& cp1252) {
  std::string out;
  out.reserve(cp1252.size());
  for (char c : cp1252) XLSAppendUtf8(XLSCp1252ToUnicode(static_cast<uint8_t>(c)), out);
  return out;
}

TXLSCp1252Text XLSUtf8ToCodePage(const std::string& utf8, TXLSCodePageConverter& converter,
                                 char replacement) {
  TXLSCp1252Text result;
  bool ascii = true;
  const TXLSTextPosition end = CheckUtf8(utf8, result, &ascii);
  // Every code page keeps ASCII as it is.
  const std::string_view valid(utf8.data(), end.Offset);
  if (ascii) {
    result.Text.assign(valid);
    return result;
  }
  std::vector<TXLSCodePageLoss> losses;
  result.Text = converter.FromUtf8(valid, &losses, replacement);
  // Losses come in the order of the text: one more walk finds their lines.
  TXLSTextPosition at;
  for (const TXLSCodePageLoss& loss : losses) {
    while (at.Offset < loss.Offset) {
      size_t next = at.Offset;
      uint32_t code_point = 0;
      XLSDecodeUtf8(utf8, next, code_point);
      Advance(utf8, next - at.Offset, at);
    }
    result.Unmapped.push_back({at, loss.CodePoint});
  }
  return result;
}

TXLSCp1252Text XLSUtf8ToCodePage(const std::string& utf8, uint16_t code_page, char replacement) {
  if (code_page == 1252) return XLSUtf8ToCp1252(utf8, replacement);
  TXLSCodePageConverter converter(code_page);
  return XLSUtf8ToCodePage(utf8, converter, replacement);
}

std::string XLSCodePageToUtf8(const std::string& text, uint16_t code_page) {
  if (code_page == 1252) return XLSCp1252ToUtf8(text);
  return TXLSCodePageConverter(code_page).ToUtf8(text);
}

std::string XLSCodePageDescription(uint16_t code_page) {
  static const std::pair<uint16_t, const char*> kScripts[] = {{874, "Thai"},
                                                              {932, "Japanese"},
                                                              {936, "Simplified Chinese"},
                                                              {949, "Korean"},
                                                              {950, "Traditional Chinese"},
                                                              {1250, "Central European"},
                                                              {1251, "Cyrillic"},
                                                              {1252, "Western European"},
                                                              {1253, "Greek"},
                                                              {1254, "Turkish"},
                                                              {1255, "Hebrew"},
                                                              {1256, "Arabic"},
                                                              {1257, "Baltic"},
                                                              {1258, "Vietnamese"}};
  std::string text = "code page " + std::to_string(code_page);
  for (const auto& script : kScripts) {
    if (script.first == code_page) text += std::string(" (") + script.second + ")";
  }
  return text;
}

std::string XLSCodePointName(uint32_t code_point) {
  char name[16];
  std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(code_point));
  return name;
}

}  // namespace tabulon
