#include <gtest/gtest.h>

#include "RecordBytes.h"
#include "xlsxf.h"

namespace tabulon {
namespace {

using namespace testing_records;

class CellFormats : public ::testing::Test {
 protected:
  CellFormats() { XFs.CreateDefault(); }

  // The XF records a save writes.
  std::vector<TBytes> SavedXFs() {
    XFs.CreateAllReferredList();
    TXLSBlobList list;
    for (int32_t i = 0; i < XFs.ReferredCount(); ++i) EXPECT_EQ(XFs.GetXFBlob(i, list), 1);
    return Records(list);
  }

  // The saved XF record of format xf.
  TBytes SavedXF(int32_t xf) {
    const std::vector<TBytes> records = SavedXFs();
    const int32_t saveIndex = XFs.GetSaveIndex(xf);
    EXPECT_GT(saveIndex, 0);
    return saveIndex > 0 ? records[saveIndex - 1] : TBytes();
  }

  TXLSXFList XFs;
};

const TBytes kNormalStyleXF{0xE0, 0x00, 0x10, 0x00, 0x01, 0x00, 0x00, 0x00, 0xF5, 0xFF,
                            0x20, 0x00, 0xC0, 0x20, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
const TBytes kStyleXF{0xE0, 0x00, 0x10, 0x00, 0x01, 0x00, 0x00, 0x00, 0xF5, 0xFF,
                      0x20, 0xD0, 0xC0, 0x20, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
const TBytes kDefaultCellXF{0xE0, 0x00, 0x10, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x00,
                            0x20, 0x00, 0xC0, 0x20, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};

TEST_F(CellFormats, NewTableWritesTheSixteenFixedRecords) {
  EXPECT_EQ(XFs.Count(), 16);
  const std::vector<TBytes> records = SavedXFs();
  ASSERT_EQ(records.size(), 16u);
  EXPECT_EQ(records[0], kNormalStyleXF);
  for (int i = 1; i <= 14; ++i) EXPECT_EQ(records[i], kStyleXF) << "XF " << i;
  EXPECT_EQ(records[15], kDefaultCellXF);
}

TEST_F(CellFormats, DefaultsAfterCreation) {
  EXPECT_EQ(XFs.GetKey(14), "000000001FFFF20000000000000000000000020C0F4");
  EXPECT_EQ(XFs.SetKey(0, XFs.GetKey(3)), 14);  // the style key maps to 14
  EXPECT_EQ(XFs.GetVerAlign(0), 2);
  EXPECT_TRUE(XFs.GetLocked(0));
  EXPECT_EQ(XFs.GetNumFormat(15), "");
  EXPECT_EQ(XFs.GetFontName(15), "Arial");
}

TEST_F(CellFormats, IdenticalFormatsShareOneIndex) {
  EXPECT_EQ(XFs.SetFontBold(0, true, false), 16);
  EXPECT_EQ(XFs.SetFontBold(0, true, false), 16);
  EXPECT_EQ(XFs.Count(), 17);
  EXPECT_EQ(XFs.GetItem(16)->RefCount, 2);
  // Back to the default font's attributes: a new font entry (5), so a new format.
  EXPECT_EQ(XFs.SetFontBold(16, false, true), 17);
  EXPECT_EQ(XFs.GetFontIndex(17), 5);
  EXPECT_EQ(XFs.GetItem(16)->RefCount, 1);
}

TEST_F(CellFormats, ReplaceIndexFalseKeepsTheOldReference) {
  const int32_t bold = XFs.SetFontBold(15, true, false);
  const int32_t italic = XFs.SetFontItalic(bold, true, false);
  EXPECT_EQ(XFs.GetItem(bold)->RefCount, 1);
  EXPECT_EQ(XFs.GetItem(italic)->RefCount, 1);
  XFs.SetFontItalic(bold, true, true);
  EXPECT_EQ(XFs.GetItem(bold)->RefCount, 0);
  EXPECT_EQ(XFs.GetItem(italic)->RefCount, 2);
}

TEST_F(CellFormats, RightAlignedWrappedText) {
  const int32_t right = XFs.SetHorAlign(15, 3, true);
  const int32_t wrapped = XFs.SetWrap(right, true, true);
  EXPECT_EQ(XFs.GetKey(wrapped).substr(13, 6), "2B0000");
  EXPECT_EQ(XFs.GetVerAlign(wrapped), 2);
  EXPECT_EQ(XFs.GetHorAlign(wrapped), 3);
  EXPECT_TRUE(XFs.GetWrap(wrapped));
  const TBytes record = SavedXF(wrapped);
  EXPECT_EQ(record[4 + 6], 0x2B);
  EXPECT_EQ(record[4 + 7], 0x04 << 2);  // alignment flag
}

TEST_F(CellFormats, FormatWithoutAlignmentFlagShowsTheNormalStyle) {
  std::string key = XFs.GetKey(15);
  key.replace(13, 6, "130000");  // centred, left-aligned, flags still 00
  const int32_t xf = XFs.SetKey(0, key);
  EXPECT_EQ(XFs.GetHorAlign(xf), 0);
  EXPECT_EQ(XFs.GetVerAlign(xf), 2);
}

TEST_F(CellFormats, NumberFormatByText) {
  const int32_t xf = XFs.SetNumFormat(15, "#,##0.00", true);
  EXPECT_EQ(XFs.GetNumFormatIndex(xf), 163);
  EXPECT_EQ(XFs.GetNumFormat(xf), "#,##0.00");
  EXPECT_EQ(XFs.GetNumFormat(15), "");
  EXPECT_EQ(WordAt(SavedXF(xf), 4 + 2), 164) << "the number its FORMAT record carries";
}

TEST_F(CellFormats, UnusedFormatIsNotSavedAndTheNumberingClosesTheGap) {
  const int32_t a = XFs.SetFontBold(15, true, true);
  const int32_t b = XFs.SetFontItalic(15, true, true);
  const int32_t c = XFs.SetHorAlign(15, 2, true);
  XFs.SetFontShadow(a, true, true);  // the only cell with format a moves on
  const std::vector<TBytes> records = SavedXFs();
  EXPECT_EQ(XFs.GetSaveIndex(a), 0);
  EXPECT_EQ(XFs.GetSaveIndex(b), 17);
  EXPECT_EQ(XFs.GetSaveIndex(c), 18);
  ASSERT_EQ(records.size(), 19u);  // 16 fixed, b, c and the shadowed bold one
  EXPECT_EQ(records[17][4 + 6], 0x22);
}

TEST_F(CellFormats, IndexesOutsideTheTableReadTheDefaultCellFormat) {
  const int32_t bold = XFs.SetFontBold(15, true, true);
  for (int32_t xf : {-7, 0, 17, 100000}) {
    EXPECT_FALSE(XFs.GetFontBold(xf)) << xf;
    EXPECT_EQ(XFs.GetVerAlign(xf), 2) << xf;
    EXPECT_EQ(XFs.GetInteriorPattern(xf), 0) << xf;
    EXPECT_FALSE(XFs.GetBordersDefined(xf)) << xf;
  }
  // A setter given such an index starts from the default cell format too.
  EXPECT_EQ(XFs.SetFontBold(100000, true, true), bold);
}

TEST_F(CellFormats, LockedAndHiddenSetAndClearTheirBits) {
  const int32_t hidden = XFs.SetHidden(15, true, true);
  EXPECT_TRUE(XFs.GetHidden(hidden));
  EXPECT_TRUE(XFs.GetLocked(hidden));
  const int32_t unlocked = XFs.SetLocked(hidden, false, true);
  EXPECT_FALSE(XFs.GetLocked(unlocked));
  EXPECT_TRUE(XFs.GetHidden(unlocked));
  EXPECT_EQ(XFs.GetProtection(XFs.SetHidden(unlocked, false, false)), 0);
  EXPECT_EQ(SavedXF(unlocked)[4 + 4] & 3, 2);
}

TEST_F(CellFormats, OrientationAndIndentStayInsideTheirDigits) {
  int32_t xf = XFs.SetShrinkToFit(15, true, true);
  xf = XFs.SetIndentLevel(xf, 4, true);
  xf = XFs.SetOrientation(xf, 0x102, true);
  EXPECT_EQ(XFs.GetOrientation(xf), 2);
  EXPECT_TRUE(XFs.GetShrinkToFit(xf));
  EXPECT_EQ(XFs.GetIndentLevel(xf), 4);
  EXPECT_EQ(XFs.GetKey(xf).size(), 43u);
  EXPECT_EQ(XFs.GetIndentLevel(XFs.SetIndentLevel(xf, 16, false)), 15);
  EXPECT_EQ(XFs.GetIndentLevel(XFs.SetIndentLevel(xf, -1, false)), 0);
  EXPECT_EQ(XFs.GetOrientation(XFs.SetOrientation(xf, -1, false)), 0xFF);
  EXPECT_EQ(SavedXF(xf)[4 + 7] & 3, 2);
}

TEST_F(CellFormats, SettersAreCallableThroughTheirTypes) {
  const TSetXFProperty setters[] = {&TXLSXFList::SetFontBold, &TXLSXFList::SetWrap};
  int32_t xf = 15;
  for (TSetXFProperty setter : setters) xf = (XFs.*setter)(xf, true, true);
  EXPECT_TRUE(XFs.GetFontBold(xf));
  EXPECT_TRUE(XFs.GetWrap(xf));
  const TSetXFBorderProperty border = &TXLSXFList::SetBorderLineStyle;
  EXPECT_TRUE(XFs.GetBordersDefined((XFs.*border)(xf, 1, 1, true)));
}

TEST_F(CellFormats, UnconvertibleValueLeavesTheTableUnchanged) {
  const int32_t count = XFs.Count();
  const int32_t fonts = XFs.Fonts().Count();
  EXPECT_THROW(XFs.SetFontSize(15, "large", true), EVariantError);
  EXPECT_THROW(XFs.SetHorAlign(15, OleVariant::Null(), true), EVariantError);
  EXPECT_EQ(XFs.Count(), count);
  EXPECT_EQ(XFs.Fonts().Count(), fonts);
}

TEST_F(CellFormats, FontPropertiesPassThroughTheFontTable) {
  int32_t xf = XFs.SetFontSize(15, 12.5, true);
  xf = XFs.SetFontName(xf, "Verdana", true);
  xf = XFs.SetFontColorIndex(xf, 10, true);
  xf = XFs.SetFontUnderLine(xf, 1, true);
  EXPECT_DOUBLE_EQ(XFs.GetFontSize(xf), 12.5);
  EXPECT_EQ(XFs.GetFontName(xf), "Verdana");
  EXPECT_EQ(XFs.GetFontColorIndex(xf), 10);
  EXPECT_EQ(XFs.GetFontUnderLine(xf), 1);
  EXPECT_EQ(XFs.GetFontName(15), "Arial");
}

}  // namespace
}  // namespace tabulon
