#include <gtest/gtest.h>

#include "RecordBytes.h"
#include "XLSPalette.h"

namespace tabulon {
namespace {

using namespace testing_records;

TBytes PaletteRecord(const TXLSPalette& palette) {
  TXLSBlobList list;
  EXPECT_EQ(palette.StorePalette(list), 1);
  return ListBytes(list);
}

// Bytes of file index e inside the PALETTE record (header, count, entries).
TBytes EntryBytes(const TBytes& record, int32_t fileIndex) {
  const size_t pos = 4 + 2 + 4 * (fileIndex - XLSFirstFileColor);
  return TBytes(record.begin() + pos, record.begin() + pos + 4);
}

TEST(PaletteDefaults, EntriesFollowTheDefaultTable) {
  TXLSPalette palette;
  EXPECT_EQ(palette.GetCustomColor(1), 0x000000u);
  EXPECT_EQ(palette.GetCustomColor(3), 0x0000FFu);   // RRGGBB FF0000
  EXPECT_EQ(palette.GetCustomColor(11), 0x800000u);  // navy, RRGGBB 000080
  EXPECT_EQ(palette.GetCustomColor(46), 0x0066FFu);  // orange, RRGGBB FF6600
  EXPECT_EQ(palette.GetCustomColor(56), 0x333333u);
}

TEST(PaletteDefaults, RecordHoldsFiftySixEntriesRedFirst) {
  const TBytes record = PaletteRecord(TXLSPalette());
  ASSERT_EQ(record.size(), 230u);
  EXPECT_EQ(TBytes(record.begin(), record.begin() + 6), (TBytes{0x92, 0x00, 0xE2, 0x00, 56, 0}));
  EXPECT_EQ(EntryBytes(record, 10), (TBytes{0xFF, 0x00, 0x00, 0x00}));
  EXPECT_EQ(EntryBytes(record, 63), (TBytes{0x33, 0x33, 0x33, 0x00}));
}

TEST(PaletteCustomColors, SetGetAndReset) {
  TXLSPalette palette;
  palette.SetCustomColor(5, 0, 0x00123456);
  EXPECT_EQ(palette.GetCustomColor(5), 0x00123456u);
  EXPECT_EQ(palette.GetCustomColor2(5, 99), 0x00123456u);
  EXPECT_EQ(EntryBytes(PaletteRecord(palette), 12), (TBytes{0x56, 0x34, 0x12, 0x00}));
  EXPECT_EQ(palette.ResetColors(), 1);
  EXPECT_EQ(EntryBytes(PaletteRecord(palette), 12), (TBytes{0x00, 0x00, 0xFF, 0x00}));
}

TEST(PaletteCustomColors, IndexesOutsideOneToFiftySixAreIgnored) {
  TXLSPalette palette;
  const TBytes before = PaletteRecord(palette);
  palette.SetCustomColor(0, 0, 0x123456);
  palette.SetCustomColor(57, 0, 0x123456);
  EXPECT_EQ(PaletteRecord(palette), before);
  EXPECT_EQ(palette.GetCustomColor(0), 0u);
  EXPECT_EQ(palette.GetCustomColor(57), 0u);
}

TEST(PaletteNearestColor, ExactMatchesTakeTheFirstEqualEntry) {
  TXLSPalette palette;
  EXPECT_EQ(palette.GetCustomColorIndex(0x000080), 9);   // RRGGBB 800000
  EXPECT_EQ(palette.GetCustomColorIndex(0x800000), 11);  // navy: 11, not 25
}

TEST(PaletteNearestColor, TiesKeepTheLowerIndex) {
  TXLSPalette palette;
  // RRGGBB 400000 lies 64 away from black (1) and from 800000 (9).
  EXPECT_EQ(palette.GetCustomColorIndex(0x000040), 1);
}

TEST(PaletteNearestColor, CustomColorsAreMatched) {
  TXLSPalette palette;
  palette.SetCustomColor(40, 0, 0x010203);
  EXPECT_EQ(palette.GetCustomColorIndex(0x010203), 40);
  EXPECT_EQ(palette.GetCustomColorIndex(0x010204), 40);
}

TEST(ColorNames, NamesAreTrimmedAndCaseInsensitive) {
  EXPECT_EQ(GetColorIndex(" Grey "), 23);
  EXPECT_EQ(GetColorIndex("RED"), 10);
  EXPECT_EQ(GetColorIndex("fuchsia"), 14);
  EXPECT_EQ(GetColorIndex("orange"), 53);
}

TEST(ColorNames, UnknownNamesAreAutomatic) {
  EXPECT_EQ(GetColorIndex("darkblue"), XLSAutomaticColorIndex);
  EXPECT_EQ(GetColorIndex(""), XLSAutomaticColorIndex);
}

}  // namespace
}  // namespace tabulon
