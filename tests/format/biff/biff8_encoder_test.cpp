// The BIFF8 records byte for byte, as the public factory's encoder builds
// them from plain fields: each row of a table is one record and the bytes it
// must be, written out in hex from the record layouts of the format.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "RecordBytes.h"
#include "XLSFormulaTokens.h"
#include "XLSRecordEncoder.h"
#include "XLSRecordIds.h"
#include "XLSRecordSection.h"
#include "XLSTextEncoder.h"

namespace tabulon {
namespace {

std::string Hex(const uint8_t* bytes, size_t size) {
  std::string text;
  char digits[4];
  for (size_t i = 0; i < size; ++i) {
    std::snprintf(digits, sizeof digits, i == 0 ? "%02X" : " %02X", bytes[i]);
    text += digits;
  }
  return text;
}
std::string Hex(const TXLSBlob& record) {
  return Hex(record.GetBuff(), record.GetDataSize());
}
std::string Hex(const std::vector<uint8_t>& bytes) {
  return Hex(bytes.data(), bytes.size());
}

class Biff8Records : public ::testing::Test {
 protected:
  TXLSTextEncoder texts_{1252, true};
  std::unique_ptr<TXLSRecordEncoder> encoder_ = MakeRecordEncoder(kXLSFileFormatBiff8, &texts_);
  TXLSTextPlace place_;
};

struct TRecordCase {
  const char* What;
  std::function<TXLSBlob(TXLSRecordEncoder&, const TXLSTextPlace&)> Build;
  const char* Bytes;
};

TXLSXFFields FramedCell() {
  TXLSXFFields xf;
  xf.Font = 5;
  xf.NumFormat = 164;
  xf.HorAlign = 2;  // centred
  xf.VerAlign = 0;  // top
  xf.Wrap = true;
  xf.Orientation = 2;  // 90 degrees up
  xf.Indent = 3;
  xf.Shrink = true;
  xf.UsedGroups = 0x3F;
  const uint8_t styles[] = {1, 2, 6, 3}, colours[] = {10, 8, 12, 64};
  for (int edge = 0; edge < kXFEdgeCount; ++edge) {
    xf.LineStyle[edge] = styles[edge];
    xf.LineColor[edge] = colours[edge];
  }
  xf.Pattern = 1;
  xf.Fore = 13;
  xf.Back = 64;
  return xf;
}

TXLSXFFields StyleFormat() {
  TXLSXFFields xf;
  xf.Protection = 3;
  xf.Style = true;
  xf.Parent = 0xFFF;
  xf.Orientation = 1;  // stacked
  xf.Indent = 0x1F;    // more than the field holds
  xf.Fore = 64;
  xf.Back = 65;
  xf.FillHighBits = 0x4000;
  return xf;
}

TXLSXFFields TurnedDown() {
  TXLSXFFields xf;
  xf.Orientation = 3;
  return xf;
}

TXLSFontFields Font(const char* name) {
  TXLSFontFields font;
  font.Height = 280;
  font.Attributes = 2;  // italic
  font.Color = 10;
  font.Weight = 700;
  font.Underline = 1;
  font.Name = name;
  return font;
}

const TXLSNameArea kPrintArea = {0, 12, 0, 7};
const TXLSNameArea kTitleColumns = {0, 0xFFFF, 0, 0};
const TXLSNameArea kTitleRows = {0, 0, 0, 0xFF};

const TRecordCase kCases[] = {
    {"XF: fields, borders, fill, rotation, indent, shrink, used groups",
     [](auto& e, auto&) { return e.XF(FramedCell()); },
     "E0 00 14 00 05 00 A4 00 01 00 0A 5A 13 FC 21 36 0A 04 0C 20 00 04 0D 20"},
    {"XF: style, parent, protection, stacked, indent cut, fill high bits",
     [](auto& e, auto&) { return e.XF(StyleFormat()); },
     "E0 00 14 00 00 00 00 00 F7 FF 20 FF 0F 00 00 00 00 00 00 00 00 00 C0 60"},
    {"XF: 90 degrees down", [](auto& e, auto&) { return e.XF(TurnedDown()); },
     "E0 00 14 00 00 00 00 00 01 00 20 B4 00 00 00 00 00 00 00 00 00 00 00 00"},
    {"FONT, compact name", [](auto& e, auto&) { return e.Font(Font("Arial")); },
     "31 00 15 00 18 01 02 00 0A 00 BC 02 00 00 01 00 00 00 05 00 41 72 69 61 6C"},
    {"FONT, UTF-16 name", [](auto& e, auto&) { return e.Font(Font("\xD0\x96x")); },
     "31 00 14 00 18 01 02 00 0A 00 BC 02 00 00 01 00 00 00 02 01 16 04 78 00"},
    {"FORMAT", [](auto& e, auto&) { return e.Format(164, "0.00"); },
     "1E 04 09 00 A4 00 04 00 00 30 2E 30 30"},
    {"BOUNDSHEET", [](auto& e, auto&) { return e.BoundSheet("Data", 0x1234); },
     "85 00 0C 00 34 12 00 00 00 00 04 00 44 61 74 61"},
    {"BOUNDSHEET, UTF-16 name",
     [](auto& e, auto&) { return e.BoundSheet("\xD0\x96\xD0\xB6", 0x10000); },
     "85 00 0C 00 00 00 01 00 00 00 02 01 16 04 36 04"},
    {"NAME: print area of the second sheet",
     [](auto& e, auto&) { return e.BuiltinName(1, 6, {kPrintArea}); },
     "18 00 1B 00 20 00 00 01 0B 00 00 00 02 00 00 00 00 00 00 06 "
     "3B 01 00 00 00 0C 00 00 00 07 00"},
    {"NAME: print titles as a union",
     [](auto& e, auto&) {
       return e.BuiltinName(0, 7, {kTitleColumns, kTitleRows});
     },
     "18 00 2A 00 20 00 00 01 1A 00 00 00 01 00 00 00 00 00 00 07 29 17 00 "
     "3B 00 00 00 00 FF FF 00 00 00 00 3B 00 00 00 00 00 00 00 00 FF 00 10"},
    {"DIMENSIONS of a full sheet", [](auto& e, auto&) { return e.Dimensions(0, 65536, 0, 256); },
     "00 02 0E 00 00 00 00 00 00 00 01 00 00 00 00 01 00 00"},
    {"WINDOW2", [](auto& e, auto&) { return e.Window2(0x06B6); },
     "3E 02 12 00 B6 06 00 00 00 00 40 00 00 00 00 00 00 00 00 00 00 00"},
    {"HEADER, empty", [](auto& e, auto& p) { return e.HeaderFooter(xlsrec::kHeader, "", p); },
     "14 00 00 00"},
    {"HEADER", [](auto& e, auto& p) { return e.HeaderFooter(xlsrec::kHeader, "&CTop", p); },
     "14 00 08 00 05 00 00 26 43 54 6F 70"},
    {"FOOTER, UTF-16",
     [](auto& e, auto& p) { return e.HeaderFooter(xlsrec::kFooter, "\xD0\x96", p); },
     "15 00 05 00 01 00 01 16 04"},
    {"HORIZONTALPAGEBREAKS",
     [](auto& e, auto&) {
       return e.PageBreaks(false, {3, 10});
     },
     "1B 00 0E 00 02 00 03 00 00 00 FF 00 0A 00 00 00 FF 00"},
    {"VERTICALPAGEBREAKS", [](auto& e, auto&) { return e.PageBreaks(true, {2}); },
     "1A 00 08 00 01 00 02 00 00 00 FF FF"},
    {"STRING", [](auto& e, auto& p) { return e.FormulaString("\xD0\x9A\xD0\xB8\xD1\x80", p); },
     "07 02 09 00 03 00 01 1A 04 38 04 40 04"},
};

TEST_F(Biff8Records, EachRecordHasItsBytes) {
  for (const TRecordCase& record : kCases) {
    EXPECT_EQ(Hex(record.Build(*encoder_, place_)), record.Bytes) << record.What;
  }
}

TEST_F(Biff8Records, ExternsListEverySheetOfOneSupbookBehindCountry) {
  TXLSRecordSection section(XLSBiff8RecordLimit);
  ASSERT_EQ(encoder_->StoreGlobalExterns(section, {"A", "B"}), 1);
  EXPECT_EQ(Hex(testing_records::ListBytes(section.List())),
            "8C 00 04 00 01 00 01 00 AE 01 04 00 02 00 01 04 "
            "17 00 0E 00 02 00 00 00 00 00 00 00 00 00 01 00 01 00");
}

// A cell holds its text's index in the shared string table; a CR LF line
// break is the LF the table keeps.
TEST_F(Biff8Records, LabelsShareTheirTextsIndex) {
  EXPECT_EQ(Hex(encoder_->Label(3, 2, 17, "abc", place_)),
            "FD 00 0A 00 03 00 02 00 11 00 00 00 00 00");
  EXPECT_EQ(Hex(encoder_->Label(0xFFFF, 255, 15, "a\r\nb", place_)),
            "FD 00 0A 00 FF FF FF 00 0F 00 01 00 00 00");
  EXPECT_EQ(Hex(encoder_->Label(0, 0, 15, "a\nb", place_)).substr(30), "01 00 00 00");
  EXPECT_EQ(Hex(encoder_->Label(0, 0, 15, "abc", place_)).substr(30), "00 00 00 00");
}

struct TTokenCase {
  TXLSTokenRef Ref;
  const char* Bytes;
};

// Rows are 16 bits whole; the relative flags sit in the column field.
TEST_F(Biff8Records, ReferenceTokensReachEveryRow) {
  const TTokenCase cases[] = {
      {{xlstoken::kRef, false, false, 0, {20000, 3, true, false}, {}}, "24 20 4E 03 80"},
      {{xlstoken::kArea, true, false, 0, {0, 1, true, true}, {0xFFFF, 2, true, true}},
       "25 00 00 FF FF 01 C0 02 C0"},
      {{xlstoken::kRef3d, false, true, 2, {16384, 255, false, false}, {}}, "3A 02 00 00 40 FF 00"},
      {{xlstoken::kArea3d, true, true, 1, {5, 0, true, false}, {40000, 10, false, true}},
       "3B 01 00 05 00 40 9C 00 80 0A 40"},
  };
  for (const TTokenCase& token : cases) {
    std::vector<uint8_t> bytes;
    encoder_->AddReferenceToken(bytes, token.Ref);
    EXPECT_EQ(Hex(bytes), token.Bytes);
  }
}

TEST_F(Biff8Records, TextConstantsAreCompactOrUtf16) {
  std::vector<uint8_t> bytes;
  encoder_->AddStringToken(bytes, "ab", place_);
  encoder_->AddStringToken(bytes,
                           "\xD0\x96"
                           "a",
                           place_);
  EXPECT_EQ(Hex(bytes), "17 02 00 61 62 17 02 01 16 04 61 00");
}

}  // namespace
}  // namespace tabulon
