#include "XLSCodePage.h"

#include <iconv.h>

#include <cerrno>
#include <string>

namespace tabulon {
namespace {

struct TCodePageInfo {
  uint16_t CodePage;
  uint8_t CharSet;  // the FONT record's character set of the page
  bool DoubleByte;
};

constexpr TCodePageInfo kCodePages[] = {{874, 222, false},  {932, 128, true},   {936, 134, true},
                                        {949, 129, true},   {950, 136, true},   {1250, 238, false},
                                        {1251, 204, false}, {1252, 0, false},   {1253, 161, false},
                                        {1254, 162, false}, {1255, 177, false}, {1256, 178, false},
                                        {1257, 186, false}, {1258, 163, false}};

const TCodePageInfo* FindCodePage(uint16_t code_page) {
  for (const TCodePageInfo& info : kCodePages) {
    if (info.CodePage == code_page) return &info;
  }
  return nullptr;
}

// What iconv_open answers when it cannot convert.
const iconv_t kNoConversion = reinterpret_cast<iconv_t>(static_cast<intptr_t>(-1));

// Lead bytes of the double-byte pages: Shift-JIS leaves 0xA0 to 0xDF to
// single-byte katakana; GBK, UHC and Big5 lead with any byte from 0x81.
bool IsLeadByte(unsigned char byte, uint16_t code_page) {
  if (code_page == 932) return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
  return byte >= 0x81 && byte <= 0xFE;
}

// Bytes of the UTF-8 sequence a lead byte opens, and its payload bits; 1 for
// a byte that opens none, so that it is skipped alone.
size_t Utf8SequenceLength(unsigned char lead) {
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  if (lead >= 0xE0) return lead <= 0xEF ? 3 : 1;
  if (lead >= 0xC2) return 2;
  return 1;
}

// The code point of a UTF-8 sequence of the given length (checked by iconv to
// be well formed before this is asked).
uint32_t DecodeSequence(std::string_view text, size_t length) {
  static constexpr unsigned char kLeadBits[5] = {0, 0x7F, 0x1F, 0x0F, 0x07};
  uint32_t value = static_cast<unsigned char>(text[0]) & kLeadBits[length];
  for (size_t i = 1; i < length; ++i) value = value << 6 | (text[i] & 0x3F);
  return value;
}

// True when the length bytes of text are one well-formed UTF-8 character.
bool IsWellFormed(std::string_view text, size_t length) {
  if (length == 1) return static_cast<unsigned char>(text[0]) < 0x80;
  if (text.size() < length) return false;
  for (size_t i = 1; i < length; ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) return false;
  }
  static constexpr uint32_t kMinimum[5] = {0, 0, 0x80, 0x800, 0x10000};
  const uint32_t value = DecodeSequence(text, length);
  return value >= kMinimum[length] && value <= 0x10FFFF && (value < 0xD800 || value > 0xDFFF);
}

// Characters iconv maps that readers cannot take back: Python's codecs (and
// so xlrd and pandas) refuse the bytes glibc gives the euro sign in 936 and
// U+0080 and one block of private-use characters in 950, and refuse the
// whole file for one such byte; the tag characters come out as nothing at all.
struct TUnreadableRange {
  uint16_t CodePage;  // 0: every code page
  uint32_t First;
  uint32_t Last;
};

constexpr TUnreadableRange kUnreadable[] = {
    {0, 0xE0000, 0xE007F}, {936, 0x20AC, 0x20AC}, {950, 0x80, 0x80}, {950, 0xF7AA, 0xF848}};

bool IsUnreadable(uint32_t code_point, uint16_t code_page) {
  for (const TUnreadableRange& range : kUnreadable) {
    if ((range.CodePage == 0 || range.CodePage == code_page) && code_point >= range.First &&
        code_point <= range.Last)
      return true;
  }
  return false;
}

// Runs iconv over input into out; on_stuck(rest) is asked what to do at an
// input sequence the conversion refuses: it appends its replacement to out
// and answers how many input bytes to skip.
template <class TOnStuck>
void Convert(iconv_t cd, std::string_view input, std::string& out, TOnStuck on_stuck) {
  iconv(cd, nullptr, nullptr, nullptr, nullptr);  // a fresh shift state
  out.clear();
  out.resize(input.size() * 2 + 16);
  size_t written = 0;
  char* in = const_cast<char*>(input.data());
  size_t inLeft = input.size();
  const auto grow = [&] {
    if (out.size() - written < 16) out.resize(out.size() * 2 + 16);
  };
  while (true) {
    char* outPtr = out.data() + written;
    size_t outLeft = out.size() - written;
    const size_t result = inLeft > 0 ? iconv(cd, &in, &inLeft, &outPtr, &outLeft)
                                     : iconv(cd, nullptr, nullptr, &outPtr, &outLeft);
    const int error = errno;
    written = static_cast<size_t>(outPtr - out.data());
    if (result != static_cast<size_t>(-1)) {
      if (inLeft == 0) break;  // input done and the shift state flushed
      continue;
    }
    if (error == E2BIG) {
      out.resize(out.size() * 2 + 16);
    } else {
      out.resize(written);
      const size_t skip = on_stuck(std::string_view(in, inLeft));
      written = out.size();
      grow();
      in += skip;
      inLeft -= skip;
    }
  }
  out.resize(written);
}

}  // namespace

bool XLSIsKnownCodePage(uint16_t code_page) {
  return FindCodePage(code_page) != nullptr;
}

const char* XLSKnownCodePagesText() {
  return "874, 932, 936, 949, 950, 1250-1258";
}

uint8_t XLSCodePageCharSet(uint16_t code_page) {
  const TCodePageInfo* info = FindCodePage(code_page);
  return info ? info->CharSet : 0;
}

bool XLSIsDoubleByteCodePage(uint16_t code_page) {
  const TCodePageInfo* info = FindCodePage(code_page);
  return info && info->DoubleByte;
}

size_t XLSCharBytes(std::string_view text, uint16_t code_page) {
  const bool lead = XLSIsDoubleByteCodePage(code_page) &&
                    IsLeadByte(static_cast<unsigned char>(text[0]), code_page);
  return lead && text.size() > 1 ? 2 : 1;
}

size_t XLSFitBytes(std::string_view text, size_t max_bytes, uint16_t code_page) {
  if (text.size() <= max_bytes) return text.size();
  if (!XLSIsDoubleByteCodePage(code_page)) return max_bytes;
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t length = IsLeadByte(static_cast<unsigned char>(text[pos]), code_page) ? 2 : 1;
    if (pos + length > max_bytes) break;
    pos += length;
  }
  return pos;
}

struct TXLSCodePageConverter::TConversions {
  iconv_t FromUtf8 = kNoConversion;
  iconv_t ToUtf8 = kNoConversion;
  std::string Buffer;
};

TXLSCodePageConverter::TXLSCodePageConverter(uint16_t code_page)
    : codePage_(code_page), conversions_(std::make_unique<TConversions>()) {
  if (!XLSIsKnownCodePage(code_page)) return;
  const std::string name = "CP" + std::to_string(code_page);
  conversions_->FromUtf8 = iconv_open(name.c_str(), "UTF-8");
  conversions_->ToUtf8 = iconv_open("UTF-8", name.c_str());
}

TXLSCodePageConverter::~TXLSCodePageConverter() {
  if (conversions_->FromUtf8 != kNoConversion) iconv_close(conversions_->FromUtf8);
  if (conversions_->ToUtf8 != kNoConversion) iconv_close(conversions_->ToUtf8);
}

bool TXLSCodePageConverter::IsOpen() const {
  return conversions_->FromUtf8 != kNoConversion && conversions_->ToUtf8 != kNoConversion;
}

std::string TXLSCodePageConverter::FromUtf8(std::string_view utf8,
                                            std::vector<TXLSCodePageLoss>* losses,
                                            char replacement) {
  if (!IsOpen()) return std::string(utf8);
  const auto lose = [&](std::string_view at, uint32_t code_point, std::string& out) {
    if (losses) losses->push_back({static_cast<size_t>(at.data() - utf8.data()), code_point});
    out += replacement;
  };
  std::string& piece = conversions_->Buffer;
  const auto convert = [&](std::string_view part, std::string& out) {
    Convert(conversions_->FromUtf8, part, piece, [&](std::string_view rest) {
      const size_t length = Utf8SequenceLength(static_cast<unsigned char>(rest[0]));
      const bool wellFormed = IsWellFormed(rest, length);
      lose(rest, wellFormed ? DecodeSequence(rest, length) : 0xFFFD, piece);
      return wellFormed ? length : size_t{1};
    });
    out += piece;
  };
  // iconv runs over the stretches between the characters readers could not
  // take back, which are replaced here.
  std::string out;
  size_t start = 0;
  for (size_t pos = 0; pos < utf8.size();) {
    const size_t at = pos;
    const std::string_view rest = utf8.substr(at);
    const size_t length = Utf8SequenceLength(static_cast<unsigned char>(rest[0]));
    const bool wellFormed = length > 1 && IsWellFormed(rest, length);
    pos += wellFormed ? length : 1;
    if (!wellFormed || !IsUnreadable(DecodeSequence(rest, length), codePage_)) continue;
    convert(utf8.substr(start, at - start), out);
    lose(rest, DecodeSequence(rest, length), out);
    start = pos;
  }
  convert(utf8.substr(start), out);
  return out;
}

std::string TXLSCodePageConverter::ToUtf8(std::string_view bytes) {
  if (!IsOpen()) return std::string(bytes);
  std::string out;
  Convert(conversions_->ToUtf8, bytes, out, [&out](std::string_view) {
    out += "\xEF\xBF\xBD";
    return size_t{1};
  });
  return out;
}

}  // namespace tabulon
