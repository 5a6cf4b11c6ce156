#include <gtest/gtest.h>

#include <limits>

#include "RecordBytes.h"
#include "XLSByteOrder.h"
#include "XLSPanes.h"
#include "XLSProtect.h"
#include "XLSRecordIds.h"
#include "XLSRecordSection.h"

namespace tabulon {
namespace {

using testing_records::Records;
using testing_records::TBytes;

// The PANE record of the panes, and the active pane it reported.
TBytes PaneRecord(const TXLSPanes& panes, uint16_t& activePane) {
  TXLSRecordSection section;
  EXPECT_EQ(panes.Store(section, activePane), 1);
  const auto records = Records(section.List());
  EXPECT_EQ(records.size(), 1u);
  return records.empty() ? TBytes{} : records[0];
}

TBytes Pane(uint16_t x, uint16_t y, uint16_t top, uint16_t left, uint16_t active) {
  TBytes record;
  for (uint16_t word : {xlsrec::kPane, uint16_t{10}, x, y, top, left, active}) {
    XLSAppendLE(record, word);
  }
  return record;
}

TEST(PaneRecord, FreezingOneRow) {
  TXLSPanes panes;
  panes.Freeze(1, 0, 1, 0);
  uint16_t active = 99;
  EXPECT_EQ(PaneRecord(panes, active), Pane(0, 1, 1, 0, 2));
  EXPECT_EQ(active, XLSPaneBottomLeft);
  EXPECT_TRUE(panes.IsFrozen());
}

TEST(PaneRecord, LeftColumn65535TakesTheSplitColumn) {
  TXLSPanes panes;
  panes.Freeze(2, 3, 5, 65535);
  uint16_t active = 99;
  EXPECT_EQ(PaneRecord(panes, active), Pane(3, 2, 5, 3, 0));
}

TEST(PaneRecord, LeftColumnBeyondTheSheetKeepsThePreviousOne) {
  TXLSPanes panes;
  panes.Freeze(2, 3, 5, 7);
  panes.Freeze(2, 3, 5, 300);
  EXPECT_EQ(panes.GetColLeft(), 7);
}

TEST(PaneRecord, ThawAtZeroAfterAFreezeLeavesNoSplit) {
  TXLSPanes panes;
  panes.Freeze(1, 0, 1, 0);
  panes.Thaw(0, 0, 0, 0);
  uint16_t active = 99;
  EXPECT_EQ(PaneRecord(panes, active), Pane(0, 0, 0, 0, 3));
  EXPECT_FALSE(panes.IsFrozen());
}

TEST(PaneRecord, ThawSplitIsInTwipsWithHeadings) {
  TXLSPanes panes;
  panes.Thaw(10, 0, 4, 0);
  uint16_t active = 99;
  EXPECT_EQ(PaneRecord(panes, active), Pane(390, 455, 4, 0, 0));
  EXPECT_EQ(active, XLSPaneBottomRight);
}

TEST(PaneRecord, ThawIgnoresNegativeAndNonNumericSizes) {
  TXLSPanes panes;
  panes.Thaw(2, 3, 0, 0);
  panes.Thaw(-1, std::numeric_limits<float>::quiet_NaN(), 0, 0);
  EXPECT_FLOAT_EQ(panes.GetY(), 2);
  EXPECT_FLOAT_EQ(panes.GetX(), 3);
}

TEST(PaneRecord, HugeSplitIsHeldAtTheFieldLimit) {
  TXLSPanes panes;
  panes.Thaw(1e9f, 1e9f, 0, 0);
  const TXLSPaneRecordValues values = panes.GetRecordValues();
  EXPECT_EQ(values.X, 65535);
  EXPECT_EQ(values.Y, 65535);
}

TEST(EncodePassword, EmptyAndOneByteVerifiers) {
  EXPECT_EQ(TXLSProtect::EncodePassword(""), 0);
  for (int b : {1, int{'a'}, 0x7F, 0xFF}) {
    const std::string password(1, static_cast<char>(b));
    EXPECT_EQ(TXLSProtect::EncodePassword(password), static_cast<uint16_t>((b * 2) ^ 1 ^ 0xCE4B));
  }
}

TEST(EncodePassword, RotatesWithinFifteenBits) {
  // 'z' (0x7A) at position 15 is shifted by 15: the bits above 15 wrap round.
  const std::string password = std::string(14, '\0') + "z";
  const uint32_t shifted = uint32_t{0x7A} << 15;
  const uint16_t rotated = static_cast<uint16_t>((shifted & 0x7FFF) | (shifted >> 15));
  EXPECT_EQ(TXLSProtect::EncodePassword(password), rotated ^ 15 ^ 0xCE4B);
}

std::vector<TBytes> ProtectRecords(const TXLSProtect& protect) {
  TXLSRecordSection section;
  EXPECT_EQ(protect.Store(section), 1);
  return Records(section.List());
}

TEST(Protection, UnprotectedWritesNothing) {
  TXLSProtect protect;
  EXPECT_TRUE(ProtectRecords(protect).empty());
}

TEST(Protection, WithoutPasswordWritesZeroHashAndAnyPasswordUnprotects) {
  TXLSProtect protect;
  protect.Protect();
  const auto records = ProtectRecords(protect);
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0], (TBytes{0x12, 0x00, 0x02, 0x00, 0x01, 0x00}));
  EXPECT_EQ(records[1], (TBytes{0x13, 0x00, 0x02, 0x00, 0x00, 0x00}));
  EXPECT_TRUE(protect.UnProtect("whatever"));
  EXPECT_FALSE(protect.IsProtected());
}

TEST(Protection, PasswordMustMatch) {
  TXLSProtect protect;
  protect.Protect("secret");
  const uint16_t hash = TXLSProtect::EncodePassword("secret");
  EXPECT_EQ(protect.GetPasswordHash(), hash);

  protect.Protect("other");
  EXPECT_EQ(protect.GetPasswordHash(), hash);
  EXPECT_FALSE(protect.UnProtect("other"));
  EXPECT_TRUE(protect.IsProtected());

  const auto records = ProtectRecords(protect);
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(testing_records::WordAt(records[1], 4), hash);

  EXPECT_TRUE(protect.UnProtect("secret"));
  EXPECT_FALSE(protect.IsProtected());
  EXPECT_FALSE(protect.HasPassword());
  EXPECT_EQ(protect.GetPasswordHash(), 0);
}

TEST(Protection, UncheckedUnprotectIgnoresThePassword) {
  TXLSProtect protect;
  protect.Protect("secret");
  EXPECT_TRUE(protect.UnProtect("", false));
  EXPECT_FALSE(protect.IsProtected());
}

}  // namespace
}  // namespace tabulon
