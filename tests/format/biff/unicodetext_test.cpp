#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "XLSUnicodeText.h"

namespace tabulon {
namespace {

std::vector<uint8_t> Bytes(const TXLSBlob& blob) {
  const uint8_t* p = blob.GetBuff();
  return std::vector<uint8_t>(p, p + blob.GetDataSize());
}

TEST(Utf8ToUtf16, DecodesEveryLengthAndReplacesBadBytes) {
  // A, e acute, euro sign, U+1F600; then a stray continuation byte, a
  // truncated sequence and an encoded surrogate, one U+FFFD per byte.
  const std::string text = "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80|\x80|\xE2\x82|\xED\xA0\x80";
  EXPECT_EQ(XLSUtf8ToUtf16(text),
            u"A\u00E9\u20AC\U0001F600|\uFFFD|\uFFFD\uFFFD|\uFFFD\uFFFD\uFFFD");
}

TEST(Utf8ToUtf16, CutsAtMaxUnitsNeverInsideAPair) {
  const std::string text =
      "ab\xF0\x9F\x98\x80"
      "c";
  EXPECT_EQ(XLSUtf8ToUtf16(text, 2), u"ab");
  EXPECT_EQ(XLSUtf8ToUtf16(text, 3), u"ab");
  EXPECT_EQ(XLSUtf8ToUtf16(text, 4), u"ab\U0001F600");
  EXPECT_EQ(XLSUtf8ToUtf16(text, 0), u"");
}

TEST(UnicodeString, CompactFormForLatin1AndUtf16Otherwise) {
  EXPECT_TRUE(XLSFitsCompressed(u"caf\u00E9\u00FF"));
  EXPECT_FALSE(XLSFitsCompressed(u"caf\u0100"));

  TXLSBlob compact(16);
  XLSAddUnicodeString(compact, u"A\u00E9", TXLSLengthField::k16Bit);
  EXPECT_EQ(Bytes(compact), (std::vector<uint8_t>{2, 0, 0, 'A', 0xE9}));
  EXPECT_EQ(XLSUnicodeStringSize(u"A\u00E9", TXLSLengthField::k16Bit), 5u);

  TXLSBlob wide(16);
  XLSAddUnicodeString(wide, u"A\u20AC", TXLSLengthField::k8Bit);
  EXPECT_EQ(Bytes(wide), (std::vector<uint8_t>{2, 1, 'A', 0, 0xAC, 0x20}));
  EXPECT_EQ(XLSUnicodeStringSize(u"A\u20AC", TXLSLengthField::k8Bit), 6u);
}

TEST(UnicodeString, LengthFieldCountsOnlyWhatFollows) {
  // 254 units, then a pair: an 8-bit length stops before the pair, and the
  // form is chosen for the units kept.
  const std::u16string text = std::u16string(254, u'x') + u"\U0001F600";
  EXPECT_EQ(XLSUnicodeStringSize(text, TXLSLengthField::k8Bit), 1u + 1 + 254);
  TXLSBlob record(512);
  XLSAddUnicodeString(record, text, TXLSLengthField::k8Bit);
  EXPECT_EQ(record.GetDataSize(), 256u);
  EXPECT_EQ(record.GetByte(0), 254);
  EXPECT_EQ(record.GetByte(1), 0);
  EXPECT_EQ(XLSUnicodeStringSize(text, TXLSLengthField::k16Bit), 2u + 1 + 256 * 2);
}

}  // namespace
}  // namespace tabulon
