#include <gtest/gtest.h>

#include "RecordBytes.h"
#include "xlsxf.h"

namespace tabulon {
namespace {

using namespace testing_records;

class FontTable : public ::testing::Test {
 protected:
  FontTable() { XFs.CreateDefault(); }

  TXLSFontList& Fonts() { return XFs.Fonts(); }

  // The FONT records a save writes.
  std::vector<TBytes> SavedFonts() {
    XFs.CreateAllReferredList();
    TXLSBlobList list;
    for (int32_t i = 0; i < Fonts().ReferredCount(); ++i) EXPECT_EQ(Fonts().GetFont(i, list), 1);
    return Records(list);
  }

  // The font number that the saved XF record of xf names.
  uint16_t SavedFontNumber(int32_t xf) {
    XFs.CreateAllReferredList();
    TXLSBlobList list;
    EXPECT_EQ(XFs.GetXFBlob(XFs.GetSaveIndex(xf) - 1, list), 1);
    return WordAt(ListBytes(list), 4);
  }

  TXLSXFList XFs;
};

const TBytes kDefaultFontRecord =
    Concat({0x31, 0x00, 0x14, 0x00, 0xC8, 0x00, 0x00, 0x00, 0x00, 0x00, 0x90, 0x01, 0x00, 0x00,
            0x00, 0x00, 0x00, 0x00, 0x05},
           "Arial");

TEST_F(FontTable, NewWorkbookWritesFourDefaultFonts) {
  const std::vector<TBytes> fonts = SavedFonts();
  ASSERT_EQ(fonts.size(), 4u);
  for (const TBytes& font : fonts) EXPECT_EQ(font, kDefaultFontRecord);
}

TEST_F(FontTable, SizeRoundsHalfTwipsToEven) {
  EXPECT_DOUBLE_EQ(Fonts().GetSize(Fonts().SetSize(0, 8.125f)), 8.1);  // 162 twips
  EXPECT_DOUBLE_EQ(Fonts().GetSize(Fonts().SetSize(0, 8.375f)), 8.4);  // 168 twips
}

TEST_F(FontTable, AutomaticColorIsStoredAs7FFF) {
  const int32_t font = Fonts().SetColorIndex(0, -4105);
  EXPECT_EQ(Fonts().GetColorIndex(font), -4105);
  EXPECT_EQ(Fonts().GetKey(font).substr(4, 4), "7FFF");
  const int32_t xf = XFs.SetFontIndex(15, font, false);
  EXPECT_EQ(WordAt(SavedFonts().back(), 8), 0x7FFF);
  EXPECT_EQ(SavedFontNumber(xf), 5);
}

TEST_F(FontTable, RecordCarriesAttributesAndEscapement) {
  int32_t font = Fonts().SetItalic(0, true);
  font = Fonts().SetStrikethrough(font, true);
  font = Fonts().SetOutLineFont(font, true);
  font = Fonts().SetShadow(font, true);
  font = Fonts().SetBold(font, true);
  font = Fonts().SetSubScript(font, true);
  font = Fonts().SetSuperScript(font, true);
  font = Fonts().SetUnderLine(font, 0x21);
  font = Fonts().SetFamily(font, 2);
  font = Fonts().SetCharSet(font, 0xCC);
  font = Fonts().SetName(font, "Courier New");
  XFs.SetFontIndex(15, font, false);
  const TBytes record = SavedFonts().back();
  EXPECT_EQ(record, Concat({0x31, 0x00, 0x1A, 0x00, 0xC8, 0x00, 0x3B, 0x00, 0x00, 0x00, 0xBC, 0x02,
                            0x03, 0x00, 0x21, 0x02, 0xCC, 0x00, 0x0B},
                           "Courier New"));
}

TEST_F(FontTable, GettersReadTheKey) {
  int32_t font = Fonts().SetUnderLine(0, 2);
  font = Fonts().SetName(font, "Tahoma");
  font = Fonts().SetSuperScript(font, true);
  EXPECT_EQ(Fonts().GetUnderLine(font), 2);
  EXPECT_EQ(Fonts().GetName(font), "Tahoma");
  EXPECT_TRUE(Fonts().GetSuperScript(font));
  EXPECT_FALSE(Fonts().GetSubScript(font));
  EXPECT_DOUBLE_EQ(Fonts().GetSize(font), 10.0);
}

TEST_F(FontTable, IndexOutsideTheListReadsTheDefaultFont) {
  EXPECT_EQ(Fonts().GetName(999), "Arial");
  EXPECT_DOUBLE_EQ(Fonts().GetSize(-1), 10.0);
  EXPECT_FALSE(Fonts().GetBold(999));
}

TEST_F(FontTable, SettingAPropertyAFontHasKeepsItsIndex) {
  const int32_t bold = Fonts().SetBold(0, true);
  EXPECT_EQ(bold, 4);
  const int32_t count = Fonts().Count();
  EXPECT_EQ(Fonts().SetBold(4, true), 4);
  EXPECT_EQ(Fonts().Count(), count);
}

TEST_F(FontTable, FirstBoldFontIsTheFifthRecordAndNumberFive) {
  const int32_t xf = XFs.SetFontBold(15, true, false);
  const std::vector<TBytes> fonts = SavedFonts();
  ASSERT_EQ(fonts.size(), 5u);
  EXPECT_EQ(WordAt(fonts[4], 10), 700);
  EXPECT_EQ(WordAt(fonts[4], 6), 0x0001) << "the bold bit says it too";
  EXPECT_EQ(WordAt(fonts[0], 6), 0x0000);
  EXPECT_EQ(SavedFontNumber(xf), 5);
  EXPECT_EQ(SavedFontNumber(15), 1);
}

TEST_F(FontTable, FontsAreRecountedAtEverySave) {
  const int32_t bold = XFs.SetFontBold(15, true, true);      // font 4
  const int32_t italic = XFs.SetFontItalic(15, true, true);  // font 5
  EXPECT_EQ(SavedFonts().size(), 6u);
  // The only format using the bold font loses its last reference.
  XFs.ReplaceIndex(bold, 15);
  const std::vector<TBytes> fonts = SavedFonts();
  ASSERT_EQ(fonts.size(), 5u);
  EXPECT_EQ(WordAt(fonts[4], 6), 0x0002);  // the italic font moved up
  EXPECT_EQ(SavedFontNumber(italic), 5);
}

TEST_F(FontTable, LongNamesAreCutSoTheLengthByteStaysTrue) {
  const std::string name(300, 'n');
  XFs.SetFontIndex(15, Fonts().SetName(0, name), false);
  const TBytes record = SavedFonts().back();
  EXPECT_EQ(WordAt(record, 2), 15 + 255);
  EXPECT_EQ(record[4 + 14], 255);
  EXPECT_EQ(record.size(), 4u + 15 + 255);
}

}  // namespace
}  // namespace tabulon
