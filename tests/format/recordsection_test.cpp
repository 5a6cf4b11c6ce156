#include <gtest/gtest.h>

#include "XLSByteOrder.h"
#include "XLSRecordIds.h"
#include "XLSRecordSection.h"
#include "XLSSpillFile.h"

namespace tabulon {
namespace {

TXLSBlob RecordWithData(uint16_t id, uint32_t dataLength) {
  TXLSBlob record = MakeRecord(id, static_cast<uint16_t>(dataLength));
  for (uint32_t i = 0; i < dataLength; ++i) record.AddByte(static_cast<uint8_t>(i * 7));
  return record;
}

std::vector<uint8_t> Bytes(const TXLSRecordSection& section) {
  TXLSMemoryStream out;
  EXPECT_EQ(section.Write(out), 1);
  return out.Bytes();
}

TEST(ContinueSplit, RecordOfExactlyTheLimitStaysWhole) {
  TXLSRecordSection section;
  ASSERT_EQ(section.Append(RecordWithData(xlsrec::kLabel, 2076)), 1);
  EXPECT_EQ(section.Size(), 2080);
  const auto bytes = Bytes(section);
  EXPECT_EQ(XLSGetLE<uint16_t>(&bytes[2]), 2076);
}

TEST(ContinueSplit, ThreeThousandDataBytesBecomeFirstPartAndOneContinue) {
  TXLSRecordSection section;
  ASSERT_EQ(section.Append(RecordWithData(xlsrec::kLabel, 3000)), 1);
  EXPECT_EQ(section.Size(), 3008);
  const auto bytes = Bytes(section);
  ASSERT_EQ(bytes.size(), 3008u);
  EXPECT_EQ(XLSGetLE<uint16_t>(&bytes[0]), xlsrec::kLabel);
  EXPECT_EQ(XLSGetLE<uint16_t>(&bytes[2]), 2076);
  EXPECT_EQ(XLSGetLE<uint16_t>(&bytes[2080]), xlsrec::kContinue);
  EXPECT_EQ(XLSGetLE<uint16_t>(&bytes[2082]), 924);
  // The continuation carries the original bytes that followed the first part.
  EXPECT_EQ(bytes[2084], static_cast<uint8_t>((2080 - 4) * 7));
}

TEST(ContinueSplit, TwoBytesOverTheLimitStillSplit) {
  TXLSRecordSection section;
  ASSERT_EQ(section.Append(RecordWithData(xlsrec::kLabel, 2078)), 1);
  const auto bytes = Bytes(section);
  ASSERT_EQ(bytes.size(), 2080u + 4 + 2);
  EXPECT_EQ(XLSGetLE<uint16_t>(&bytes[2082]), 2);
}

TEST(ContinueSplit, LongRecordSpansSeveralContinues) {
  TXLSRecordSection section;
  ASSERT_EQ(section.Append(RecordWithData(xlsrec::kLabel, 6000)), 1);
  // 6004 bytes cut into slices of 2080: 2080, 2080, 1844 -> two continues.
  EXPECT_EQ(section.Size(), 6004 + 8);
  EXPECT_EQ(static_cast<int32_t>(Bytes(section).size()), section.Size());
}

TEST(RecordSectionCounting, CountsEveryAppendedByte) {
  TXLSRecordSection section;
  section.Append(RecordWithData(xlsrec::kBlank, 6));
  section.Append(RecordWithData(xlsrec::kEof, 0));
  EXPECT_EQ(section.Size(), 10 + 4);
  EXPECT_EQ(section.List().GetTotal(), section.Size());
}

TEST(RecordSectionSpill, KeepsAtMostTheSpillSizeInMemoryAndWritesEveryByte) {
  TXLSSpillFile spill(testing::TempDir());
  TXLSRecordSection section;
  section.SpillTo(&spill);
  TXLSMemoryStream expected;
  for (uint32_t i = 0; i < 200000; ++i) {
    TXLSBlob record = MakeRecord(xlsrec::kNumber, 8);
    record.AddDouble(i);
    expected.Write(record.GetBuff(), record.GetDataSize());
    ASSERT_EQ(section.Append(std::move(record)), 1);
    ASSERT_LT(section.List().GetTotal(), TXLSRecordSection::kSpillSize);
  }
  EXPECT_GT(spill.Size(), 0u);
  TXLSMemoryStream written;
  ASSERT_EQ(section.Write(written), 1);
  EXPECT_EQ(section.Size(), 2400000);
  EXPECT_TRUE(written.Bytes() == expected.Bytes());
}

}  // namespace
}  // namespace tabulon
