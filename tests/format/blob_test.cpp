#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "XLSBlob.h"
#include "XLSRecordIds.h"

namespace tabulon {
namespace {

// A sink that accepts `limit` bytes in total and then takes no more.
class TFailingStream : public TXLSStream {
 public:
  explicit TFailingStream(size_t limit) : limit_(limit) {}
  size_t Write(const void* data, size_t count) override {
    const size_t taken = std::min(count, limit_ - bytes_.size());
    const auto* p = static_cast<const uint8_t*>(data);
    bytes_.insert(bytes_.end(), p, p + taken);
    ++calls_;
    return taken;
  }
  size_t Size() const { return bytes_.size(); }
  int Calls() const { return calls_; }

 private:
  size_t limit_;
  std::vector<uint8_t> bytes_;
  int calls_ = 0;
};

// A buffer of `size` bytes, filled with 0, 1, 2, ... (mod 251).
TXLSBlob Pattern(uint32_t size) {
  TXLSBlob blob(size);
  for (uint32_t i = 0; i < size; ++i) blob.AddByte(static_cast<uint8_t>(i % 251));
  return blob;
}

std::vector<uint8_t> Bytes(const TXLSBlob& blob) {
  const uint8_t* p = blob.GetBuff();
  return p ? std::vector<uint8_t>(p, p + blob.GetDataSize()) : std::vector<uint8_t>();
}

TEST(BlobEncoding, ValuesAreLittleEndian) {
  TXLSBlob blob(15);
  blob.AddByte(0xAB);
  blob.AddWord(0x0809);
  blob.AddLong(0x01020304);
  blob.AddDouble(1.0);  // 0x3FF0000000000000
  EXPECT_EQ(Bytes(blob), (std::vector<uint8_t>{0xAB, 0x09, 0x08, 0x04, 0x03, 0x02, 0x01, 0, 0, 0, 0,
                                               0, 0, 0xF0, 0x3F}));
  EXPECT_EQ(blob.GetWord(1), 0x0809);
  EXPECT_EQ(blob.GetLong(3), 0x01020304u);
  EXPECT_EQ(blob.GetDouble(7), 1.0);
}

TEST(BlobEncoding, SetWritesInPlaceWithoutMovingDataSize) {
  TXLSBlob blob(16);
  blob.AddLong(0);
  blob.SetDouble(-2.5, 8);
  blob.SetWord(0xBEEF, 0);
  blob.SetString("hi", 4);
  EXPECT_EQ(blob.GetDataSize(), 4u);
  EXPECT_EQ(blob.GetDouble(8), -2.5);
  EXPECT_EQ(blob.GetWord(0), 0xBEEF);
  EXPECT_EQ(blob.GetString(4, 2), "hi");
  EXPECT_FALSE(blob.HasOverflowed());
}

TEST(BlobEncoding, StringsAreRawBytesWithoutPrefixOrTerminator) {
  TXLSBlob blob(4);
  blob.AddString(std::string("\xE9\0x", 3));
  blob.AddString("");
  EXPECT_EQ(blob.GetDataSize(), 3u);
  EXPECT_EQ(blob.GetString(0, 3), std::string("\xE9\0x", 3));
}

TEST(BlobEncoding, MakeRecordFramesIdAndLength) {
  TXLSBlob record = MakeRecord(xlsrec::kNumber, 14);
  EXPECT_EQ(record.GetBuffSize(), 18u);
  EXPECT_EQ(record.GetDataSize(), 4u);
  EXPECT_EQ(record.GetWord(0), xlsrec::kNumber);
  EXPECT_EQ(record.GetWord(2), 14);
  EXPECT_FALSE(record.IsComplete());
  record.AddWord(1);
  record.AddWord(2);
  record.AddWord(15);
  record.AddDouble(3.25);
  EXPECT_TRUE(record.IsComplete());
}

TEST(BlobStorage, CreateZeroHasNoBufferAndWritesNothing) {
  TXLSBlob blob(0);
  EXPECT_EQ(blob.GetBuff(), nullptr);
  EXPECT_EQ(blob.GetBuffSize(), 0u);
  TFailingStream sink(100);
  EXPECT_EQ(blob.Write(sink), 1);
  EXPECT_EQ(sink.Size(), 0u);
}

TEST(BlobStorage, NewBytesAreZeroInlineAndOnHeap) {
  for (uint32_t size : {TXLSBlob::kInlineCapacity, TXLSBlob::kInlineCapacity + 1, 5000u}) {
    TXLSBlob blob(size);
    ASSERT_EQ(blob.GetBuffSize(), size);
    EXPECT_EQ(blob.GetString(0, size), std::string(size, '\0'));
  }
}

TEST(BlobStorage, SetDataSizeIsClampedToCapacity) {
  TXLSBlob blob(10);
  blob.SetDataSize(11);
  EXPECT_EQ(blob.GetDataSize(), 10u);
  blob.SetDataSize(3);
  EXPECT_EQ(blob.GetDataSize(), 3u);
}

TEST(BlobStorage, MoveTransfersContentAndEmptiesSource) {
  for (uint32_t size : {8u, 300u}) {  // inline and heap storage
    TXLSBlob source = Pattern(size);
    TXLSBlob target(std::move(source));
    EXPECT_EQ(source.GetBuffSize(), 0u);
    EXPECT_EQ(source.GetDataSize(), 0u);
    EXPECT_EQ(source.GetBuff(), nullptr);
    EXPECT_EQ(Bytes(target), Bytes(Pattern(size)));
    TXLSBlob assigned(4);
    assigned = std::move(target);
    EXPECT_EQ(Bytes(assigned), Bytes(Pattern(size)));
  }
}

TEST(BlobStorage, AddAppendsOtherWholeBufferAndKeepsDataSize) {
  for (uint32_t first : {10u, 100u}) {  // stays inline, and moves to the heap
    TXLSBlob blob = Pattern(first);
    blob.SetDataSize(2);
    TXLSBlob other(60);
    other.AddWord(0x1234);  // data size 2 of capacity 60: all 60 bytes are added
    ASSERT_TRUE(blob.Add(other));
    EXPECT_EQ(blob.GetBuffSize(), first + 60);
    EXPECT_EQ(blob.GetDataSize(), 2u);
    EXPECT_EQ(blob.GetByte(first - 1), (first - 1) % 251);
    EXPECT_EQ(blob.GetWord(first), 0x1234);
    EXPECT_EQ(other.GetBuffSize(), 60u);
  }
  TXLSBlob blob(4);
  EXPECT_TRUE(blob.Add(TXLSBlob(0)));
  EXPECT_EQ(blob.GetBuffSize(), 4u);
}

TEST(BlobStorage, CopyPlacesBytesAtDataSizeWithoutAdvancing) {
  TXLSBlob source = Pattern(20);
  TXLSBlob target(8);
  target.AddWord(0xFFFF);
  target.Copy(source, 5, 6);
  EXPECT_EQ(target.GetDataSize(), 2u);
  EXPECT_EQ(target.GetString(2, 6), source.GetString(5, 6));
}

TEST(BlobOverflow, AppendPastCapacityIsRefusedAndRemembered) {
  TXLSBlob blob = MakeRecord(0x0001, 3);
  blob.AddWord(7);
  blob.AddWord(8);  // one byte too many: nothing written
  EXPECT_TRUE(blob.HasOverflowed());
  EXPECT_EQ(blob.GetDataSize(), 6u);
  EXPECT_EQ(blob.GetByte(6), 0);
  TFailingStream sink(100);
  EXPECT_EQ(blob.Write(sink), -1);
  EXPECT_EQ(sink.Size(), 0u);
}

TEST(BlobOverflow, EveryKindOfOutOfRangeWriteIsRefused) {
  const auto overflows = [](void (*write)(TXLSBlob&)) {
    TXLSBlob blob(8);
    write(blob);
    return blob.HasOverflowed() && blob.GetString(0, 8) == std::string(8, '\0');
  };
  EXPECT_TRUE(overflows([](TXLSBlob& b) { b.SetLong(1, 5); }));
  EXPECT_TRUE(overflows([](TXLSBlob& b) { b.SetDouble(1, 1); }));
  EXPECT_TRUE(overflows([](TXLSBlob& b) { b.SetByte(1, 0xFFFFFFFF); }));
  EXPECT_TRUE(overflows([](TXLSBlob& b) { b.SetString("123456789", 0); }));
  EXPECT_TRUE(overflows([](TXLSBlob& b) { b.AddString("123456789"); }));
  EXPECT_TRUE(overflows([](TXLSBlob& b) { b.Copy(Pattern(20), 0, 9); }));
  EXPECT_TRUE(overflows([](TXLSBlob& b) { b.Copy(Pattern(20), 15, 6); }));
}

TEST(BlobOverflow, ReadsOutsideCapacityYieldZero) {
  TXLSBlob blob = Pattern(6);
  EXPECT_EQ(blob.GetLong(3), 0u);
  EXPECT_EQ(blob.GetByte(6), 0);
  EXPECT_EQ(blob.GetString(4, 10), blob.GetString(4, 2));
  EXPECT_EQ(blob.GetString(9, 1), "");
}

TEST(BlobWrite, ShortWriteIsFailure) {
  TXLSBlob blob = Pattern(10);
  TFailingStream sink(9);
  EXPECT_EQ(blob.Write(sink), -1);
  TFailingStream roomy(10);
  EXPECT_EQ(blob.Write(roomy), 1);
}

TEST(BlobListAppend, FirstAppendOpensFirstChunk) {
  TXLSBlobList list;
  EXPECT_EQ(list.GetCount(), 0u);
  EXPECT_EQ(list.GetUsed(), TXLSBlobList::kChunkSize);
  EXPECT_EQ(list.GetTotal(), 0);
  EXPECT_EQ(list.Append(Pattern(10)), 1);
  EXPECT_EQ(list.GetCount(), 1u);
  EXPECT_EQ(list.GetUsed(), 10);
  EXPECT_EQ(list.GetTotal(), 10);
}

TEST(BlobListAppend, EmptyRecordChangesNothingAndIsFreed) {
  TXLSBlobList list;
  TXLSBlob empty(12);
  EXPECT_EQ(list.Append(std::move(empty)), 1);
  EXPECT_EQ(empty.GetBuffSize(), 0u);
  EXPECT_EQ(list.GetCount(), 0u);
  EXPECT_EQ(list.GetTotal(), 0);
  EXPECT_EQ(list.GetUsed(), TXLSBlobList::kChunkSize);
}

TEST(BlobListAppend, AppendedRecordIsConsumed) {
  TXLSBlobList list;
  TXLSBlob record = Pattern(500);
  list.Append(std::move(record));
  EXPECT_EQ(record.GetBuffSize(), 0u);
  EXPECT_EQ(record.GetBuff(), nullptr);
}

TEST(BlobListAppend, LargeRecordSpansChunks) {
  TXLSBlobList list;
  ASSERT_EQ(list.Append(Pattern(10000)), 1);
  ASSERT_EQ(list.GetCount(), 3u);
  EXPECT_EQ(list.Get(0)->GetDataSize(), 4048u);
  EXPECT_EQ(list.Get(1)->GetDataSize(), 4048u);
  EXPECT_EQ(list.Get(2)->GetDataSize(), 1904u);
  EXPECT_EQ(list.GetTotal(), 10000);
  EXPECT_EQ(list.Get(3), nullptr);
  TXLSMemoryStream sink;
  EXPECT_EQ(list.Write(sink), 1);
  EXPECT_EQ(sink.Bytes(), Bytes(Pattern(10000)));
}

TEST(BlobListAppend, RecordEndingAtChunkEndOpensNoChunkUntilNextAppend) {
  TXLSBlobList list;
  list.Append(Pattern(4000));
  list.Append(Pattern(48));
  EXPECT_EQ(list.GetCount(), 1u);
  EXPECT_EQ(list.GetUsed(), 4048);
  list.Append(TXLSBlob(0));
  EXPECT_EQ(list.GetCount(), 1u);
  list.Append(Pattern(1));
  EXPECT_EQ(list.GetCount(), 2u);
  EXPECT_EQ(list.GetUsed(), 1);
  EXPECT_EQ(list.GetTotal(), 4049);
}

TEST(BlobListAppend, StreamIsPlainConcatenationOfRecords) {
  TXLSBlobList list;
  std::vector<uint8_t> expected;
  for (uint32_t size : {3000u, 2000u, 64u, 65u, 7000u, 1u}) {
    const std::vector<uint8_t> bytes = Bytes(Pattern(size));
    expected.insert(expected.end(), bytes.begin(), bytes.end());
    list.Append(Pattern(size));
  }
  TXLSMemoryStream sink;
  EXPECT_EQ(list.Write(sink), 1);
  EXPECT_EQ(sink.Bytes(), expected);
  EXPECT_EQ(list.GetTotal(), static_cast<int32_t>(expected.size()));
}

TEST(BlobListAppend, OverflowedRecordFailsAndPoisonsTheList) {
  TXLSBlobList list;
  list.Append(Pattern(10));
  TXLSBlob bad = MakeRecord(0x0004, 1);
  bad.AddWord(1);  // does not fit
  EXPECT_EQ(list.Append(std::move(bad)), -1);
  EXPECT_EQ(bad.GetBuffSize(), 0u);
  EXPECT_EQ(list.GetTotal(), 10);
  EXPECT_TRUE(list.HasFailed());
  TXLSMemoryStream sink;
  EXPECT_EQ(list.Write(sink), -1);
  EXPECT_TRUE(sink.Bytes().empty());
}

TEST(BlobListWrite, EmptyListWritesNothingAndSucceeds) {
  TXLSBlobList list;
  TFailingStream sink(0);
  EXPECT_EQ(list.Write(sink), 1);
  EXPECT_EQ(sink.Calls(), 0);
}

TEST(BlobListWrite, StopsAtFirstFailingChunk) {
  TXLSBlobList list;
  list.Append(Pattern(10000));
  TFailingStream sink(5000);  // the second chunk is cut short
  EXPECT_EQ(list.Write(sink), -1);
  EXPECT_EQ(sink.Calls(), 2);
  EXPECT_EQ(sink.Size(), 5000u);  // bytes already written stay
}

TEST(BlobListAccess, PutReplacesChunkInRange) {
  TXLSBlobList list;
  list.Append(Pattern(10));
  TXLSBlob replacement(4);
  replacement.AddLong(0xCAFEF00D);
  EXPECT_EQ(list.Put(0, std::move(replacement)), 1);
  EXPECT_EQ(list.Get(0)->GetLong(0), 0xCAFEF00Du);
  EXPECT_EQ(list.Put(1, TXLSBlob(4)), -1);
}

}  // namespace
}  // namespace tabulon
