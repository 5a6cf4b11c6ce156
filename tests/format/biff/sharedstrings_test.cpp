#include <gtest/gtest.h>

#include <cstdio>
#include <initializer_list>
#include <random>
#include <string>
#include <vector>

#include "RecordBytes.h"
#include "ToolRun.h"
#include "XLSRecordIds.h"
#include "XLSSharedStrings.h"
#include "XLSUnicodeText.h"

namespace tabulon {
namespace {

using testing_records::TBytes;

// A record as the bytes it is written as: id, data length, data.
TBytes Rec(uint16_t id, const TBytes& data) {
  TBytes record;
  XLSAppendLE(record, id);
  XLSAppendLE(record, static_cast<uint16_t>(data.size()));
  record.insert(record.end(), data.begin(), data.end());
  return record;
}

TBytes Text(const std::string& text) {
  return TBytes(text.begin(), text.end());
}

TBytes operator+(TBytes head, const TBytes& tail) {
  head.insert(head.end(), tail.begin(), tail.end());
  return head;
}

TBytes Counts(uint32_t total, uint32_t unique) {
  TBytes bytes;
  XLSAppendLE(bytes, total);
  XLSAppendLE(bytes, unique);
  return bytes;
}

// EXTSST with 8 strings a bucket, the buckets' first strings at these
// offsets of the SST record, which starts at sstOffset.
TBytes ExtSst(uint32_t sstOffset, std::initializer_list<uint16_t> offsets) {
  TBytes data = {8, 0};
  for (const uint16_t offset : offsets) {
    XLSAppendLE(data, sstOffset + offset);
    XLSAppendLE(data, offset);
    XLSAppendLE(data, uint16_t{0});
  }
  return Rec(xlsrec::kExtSst, data);
}

std::vector<TBytes> StoredRecords(const TXLSSharedStrings& strings, uint32_t sstOffset = 0) {
  TXLSRecordSection section(XLSBiff8RecordLimit);
  EXPECT_EQ(strings.Store(section, sstOffset), 1);
  EXPECT_EQ(static_cast<uint32_t>(section.Size()), strings.StoredSize());
  return testing_records::Records(section.List());
}

TXLSSharedStrings Table(uint16_t dataLimit, const std::vector<std::string>& texts) {
  TXLSSharedStrings strings(dataLimit);
  for (const std::string& text : texts) strings.Add(text);
  return strings;
}

TEST(SharedStrings, CountsUsesAndKeepsEachTextOnce) {
  TXLSSharedStrings strings;
  EXPECT_EQ(strings.Add("Ab"), 0u);
  EXPECT_EQ(strings.Add("\xE2\x82\xAC"), 1u);
  EXPECT_EQ(strings.Add("Ab"), 0u);
  EXPECT_EQ(strings.Add(""), 2u);
  EXPECT_EQ(strings.UniqueCount(), 3u);
  EXPECT_EQ(strings.TotalCount(), 4u);
  // Compact and UTF-16 forms, and EXTSST pointing at the first string.
  EXPECT_EQ(StoredRecords(strings, 100),
            (std::vector<TBytes>{
                Rec(xlsrec::kSst, Counts(4, 3) + TBytes{2, 0, 0, 'A', 'b', 1, 0, 1, 0xAC, 0x20} +
                                      TBytes{0, 0, 0}),
                ExtSst(100, {12})}));

  strings.Clear();
  EXPECT_EQ(strings.UniqueCount(), 0u);
  EXPECT_EQ(strings.TotalCount(), 0u);
  EXPECT_EQ(strings.Add("\xE2\x82\xAC"), 0u);

  // Once the table holds its 49,152 texts, the texts it holds are still
  // found and a new one is stored for each use.
  for (uint32_t i = 1; i < 49152; ++i) strings.Add("t" + std::to_string(i));
  EXPECT_EQ(strings.Add("\xE2\x82\xAC"), 0u);
  EXPECT_EQ(strings.Add("t7"), 7u);
  EXPECT_EQ(strings.Add("late"), 49152u);
  EXPECT_EQ(strings.Add("late"), 49153u);
  EXPECT_EQ(strings.Text(49153), "late");
}

// The data of the SST and CONTINUE records of texts stored in records of 16
// data bytes (EXTSST left off).
std::vector<TBytes> SmallRecordData(const std::vector<std::string>& texts) {
  std::vector<TBytes> data;
  for (const TBytes& record : StoredRecords(Table(16, texts)))
    data.emplace_back(record.begin() + 4, record.end());
  data.pop_back();
  return data;
}

TEST(SharedStrings, SplitsTextsWhereReadersExpectThem) {
  // The first text fills the SST exactly, the second starts the first
  // CONTINUE and goes on in the next behind a fresh flags byte.
  EXPECT_EQ(SmallRecordData({"abcde", "fghijklmnopqrs"}),
            (std::vector<TBytes>{Counts(2, 2) + TBytes{5, 0, 0} + Text("abcde"),
                                 TBytes{14, 0, 0} + Text("fghijklmnopqr"), TBytes{0} + Text("s")}));
  // After "abc" two bytes are left: "xy" moves on. After "12345" three are
  // left, room for the header of "AB" but not for a character: it moves on.
  EXPECT_EQ(SmallRecordData({"abc", "xy", "12345", "AB"}),
            (std::vector<TBytes>{Counts(4, 4) + TBytes{3, 0, 0} + Text("abc"),
                                 TBytes{2, 0, 0} + Text("xy") + TBytes{5, 0, 0} + Text("12345"),
                                 TBytes{2, 0, 0} + Text("AB")}));
  // Five bytes after the header of alpha, smiley, beta: the alpha fits, the
  // smiley's pair does not, and the odd byte stays unused.
  EXPECT_EQ(SmallRecordData({"\xCE\xB1\xF0\x9F\x98\x80\xCE\xB2"}),
            (std::vector<TBytes>{Counts(1, 1) + TBytes{4, 0, 1, 0xB1, 0x03},
                                 TBytes{1, 0x3D, 0xD8, 0x00, 0xDE, 0xB2, 0x03}}));
  // A CJK character first: the first part is UTF-16, the Latin rest compact.
  EXPECT_EQ(SmallRecordData({"\xE4\xB8\xAD"
                             "abcdefghijk"}),
            (std::vector<TBytes>{Counts(1, 1) + TBytes{12, 0, 1, 0x2D, 0x4E, 'a', 0},
                                 TBytes{0} + Text("bcdefghijk")}));
}

TEST(SharedStrings, ExtSstBucketsHoldEightStringsOrEnoughForAtMost128Buckets) {
  std::vector<std::string> texts;
  for (int i = 0; i < 20; ++i) texts.push_back("s" + std::to_string(i % 10) + "_");
  texts[10] = "ten";  // texts 0-9 and 11-19 repeat: 11 unique texts
  const auto strings = Table(8224, texts);
  const std::vector<TBytes> records = StoredRecords(strings, 1000);
  ASSERT_EQ(records.size(), 2u);
  // Bucket 0 at the first string, bucket 1 at the ninth: 8 strings of 6 bytes before it.
  EXPECT_EQ(records[1], ExtSst(1000, {12, 12 + 8 * 6}));

  TXLSSharedStrings many;
  for (int i = 0; i < 2000; ++i) many.Add(std::to_string(i));
  const TBytes last = StoredRecords(many).back();
  EXPECT_EQ(testing_records::WordAt(last, 4), 16);  // 2000 / 128, rounded up
  EXPECT_EQ(last.size(), 4u + 2 + 125 * 8);
}

TEST(SharedStrings, RefusesASectionThatWouldSplitItsRecords) {
  TXLSRecordSection biff5Section;
  EXPECT_EQ(Table(8224, {"a"}).Store(biff5Section, 0), -1);
  EXPECT_EQ(Table(2076, {"a"}).Store(biff5Section, 0), 1);
}

// --- reading the records back the way readers do ---------------------------------------

// The strings of SST and its CONTINUE records, taken apart as readers take
// them: a header never split, the characters of a string going on behind a
// flags byte of their own, a record never ending inside a character. Also
// where each string starts, to check EXTSST against.
struct TReadBack {
  std::vector<std::u16string> Strings;
  std::vector<uint32_t> Positions;  // stream position of each string
  std::vector<uint16_t> Offsets;    // its offset from its record's header
  uint32_t Total = 0;
  TBytes ExtSst;
};

class TSstReader {
 public:
  TSstReader(const std::vector<TBytes>& records, uint32_t sstOffset, uint16_t dataLimit)
      : records_(records), recordStart_(sstOffset) {
    // EXTSST, the last record, is not bound by the SST's record size.
    for (size_t i = 0; i + 1 < records.size(); ++i) EXPECT_LE(records[i].size(), 4u + dataLimit);
  }

  TReadBack Read() {
    TReadBack out;
    EXPECT_EQ(testing_records::WordAt(Record(), 0), xlsrec::kSst);
    out.Total = Long();
    const uint32_t unique = Long();
    for (uint32_t i = 0; i < unique; ++i) {
      if (Left() == 0) Next();
      EXPECT_GE(Left(), 3u) << "string " << i << " header split";
      out.Positions.push_back(recordStart_ + static_cast<uint32_t>(pos_));
      out.Offsets.push_back(static_cast<uint16_t>(pos_));
      out.Strings.push_back(ReadString());
    }
    EXPECT_EQ(Left(), 0u);
    EXPECT_EQ(index_ + 2, records_.size());
    out.ExtSst = records_.back();
    return out;
  }

 private:
  const TBytes& Record() const { return records_.at(index_); }
  size_t Left() const { return Record().size() - pos_; }
  uint16_t Word() {
    pos_ += 2;
    return testing_records::WordAt(Record(), pos_ - 2);
  }
  uint32_t Long() {
    const uint32_t low = Word();
    return low | static_cast<uint32_t>(Word()) << 16;
  }
  void Next() {
    recordStart_ += static_cast<uint32_t>(Record().size());
    ++index_;
    EXPECT_EQ(testing_records::WordAt(Record(), 0), xlsrec::kContinue);
    pos_ = 4;
  }
  std::u16string ReadString() {
    const uint16_t length = Word();
    std::u16string text;
    for (;;) {
      const bool wide = Record()[pos_++] & 1;
      while (text.size() < length && Left() >= (wide ? 2u : 1u)) {
        text += wide ? static_cast<char16_t>(Word()) : static_cast<char16_t>(Record()[pos_++]);
      }
      if (text.size() == length) return text;
      EXPECT_EQ(Left(), 0u) << "bytes left behind";
      EXPECT_FALSE(!text.empty() && XLSIsHighSurrogate(text.back())) << "pair split";
      Next();
    }
  }

  const std::vector<TBytes>& records_;
  size_t index_ = 0;
  size_t pos_ = 4;
  uint32_t recordStart_;
};

// Texts of every kind and length: ASCII, Latin-1, CJK, pairs, bad bytes,
// empty, and texts longer than a record or than a string may be.
std::vector<std::string> MixedTexts() {
  const std::vector<std::string> pieces = {
      "a", "Zz9", "\xC3\xA9", "\xE4\xB8\xAD", "\xF0\x9F\x98\x80", "\xFF", " "};
  std::mt19937 random(7);
  std::vector<std::string> texts = {"", std::string(20000, 'x'),
                                    std::string(40000, 'y') + "\xCE\xB1"};
  for (int i = 0; i < 6000; ++i) {
    std::string text;
    const int length = static_cast<int>(random() % (i % 50 == 0 ? 3000 : 40));
    const size_t kinds = random() % 3 == 0 ? 2 : pieces.size();  // some texts compact
    for (int k = 0; k < length; ++k) text += pieces[random() % kinds];
    texts.push_back(text);
  }
  return texts;
}

// What tests/readers/check_sst.py says of the records, read with xlrd's SST parser.
std::string XlrdReads(const std::vector<TBytes>& records, const std::string& expected) {
  const std::string path = test::ScratchDir() + "/sst" + std::to_string(getpid());
  std::string bytes;
  for (const TBytes& record : records) bytes.append(record.begin(), record.end());
  test::WriteFile(path + ".records", bytes);
  test::WriteFile(path + ".expected", expected);
  const test::TRunResult result =
      test::Run({"/usr/bin/python3", TABULON_SOURCE_DIR "/tests/readers/check_sst.py",
                 path + ".records", path + ".expected"});
  std::remove((path + ".records").c_str());
  std::remove((path + ".expected").c_str());
  return result.Out + result.Err;
}

TEST(SharedStrings, ReadersGetEveryTextBackFromAnyRecordSize) {
  const std::vector<std::string> texts = MixedTexts();
  for (const uint16_t limit : {uint16_t{8224}, uint16_t{37}}) {
    TXLSSharedStrings strings(limit);
    for (const std::string& text : texts) strings.Add(text);
    for (const std::string& text : texts) strings.Add(text);
    const uint32_t sstOffset = 5000;
    const std::vector<TBytes> records = StoredRecords(strings, sstOffset);
    const TReadBack back = TSstReader(records, sstOffset, limit).Read();

    EXPECT_EQ(back.Total, 2 * texts.size());
    ASSERT_EQ(back.Strings.size(), strings.UniqueCount());
    std::string expected;  // for xlrd: each string's unit count and units
    for (uint32_t i = 0; i < strings.UniqueCount(); ++i) {
      const std::u16string text = XLSUtf8ToUtf16(strings.Text(i), TXLSSharedStrings::kMaxUnits);
      EXPECT_EQ(back.Strings[i], text);
      XLSAppendLE(expected, static_cast<uint32_t>(text.size()));
      for (const char16_t unit : text) XLSAppendLE(expected, static_cast<uint16_t>(unit));
    }
    EXPECT_EQ(back.Strings[2].size(), TXLSSharedStrings::kMaxUnits);
    EXPECT_EQ(XlrdReads(records, expected), "ok " + std::to_string(strings.UniqueCount()) + "\n");

    const uint16_t bucketSize = testing_records::WordAt(back.ExtSst, 4);
    for (size_t at = 6, i = 0; at < back.ExtSst.size(); at += 8, i += bucketSize) {
      EXPECT_EQ(XLSGetLE<uint32_t>(&back.ExtSst[at]), back.Positions[i]);
      EXPECT_EQ(testing_records::WordAt(back.ExtSst, at + 4), back.Offsets[i]);
    }
  }
}

}  // namespace
}  // namespace tabulon
