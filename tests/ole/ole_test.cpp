#include "Ole.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "BookTestUtil.h"
#include "XLSByteOrder.h"
#include "XLSRecordIds.h"
#include "XLSStream.h"

namespace tabulon {
namespace {

constexpr uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr uint32_t kFreeSect = 0xFFFFFFFF;

// The largest stream whose file needs 109 FAT sectors: they cover 109 * 128
// sectors, of which 109 are FAT sectors and one is the directory.
constexpr uint64_t kLargestWith109FatSectors = (109 * 128 - 109 - 1) * 512;

uint32_t U16(const std::vector<uint8_t>& b, size_t at) {
  return XLSGetLE<uint16_t>(&b[at]);
}
uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
  return XLSGetLE<uint32_t>(&b[at]);
}

uint32_t Crc32(uint32_t crc, const uint8_t* data, size_t count) {
  crc = ~crc;
  for (size_t i = 0; i < count; ++i) {
    crc ^= data[i];
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
  }
  return ~crc;
}

// Keeps the header sector, counts everything and takes no more than a limit.
class TProbeSink : public TXLSStream {
 public:
  explicit TProbeSink(uint64_t limit = UINT64_MAX) : limit_(limit) {}
  size_t Write(const void* data, size_t count) override {
    const auto taken = static_cast<size_t>(std::min<uint64_t>(count, limit_ - total_));
    const auto* p = static_cast<const uint8_t*>(data);
    const size_t kept = std::min(taken, kHeadSize - std::min(kHeadSize, head_.size()));
    head_.insert(head_.end(), p, p + kept);
    total_ += taken;
    return taken;
  }
  const std::vector<uint8_t>& Head() const { return head_; }
  uint64_t Total() const { return total_; }

 private:
  static constexpr size_t kHeadSize = 512;
  uint64_t limit_;
  uint64_t total_ = 0;
  std::vector<uint8_t> head_;
};

// Writes size pseudo-random bytes through the writer in record-list sized
// chunks; returns their CRC-32.
uint32_t WriteContent(TOleDocWriter& writer, uint64_t size) {
  std::mt19937 random(static_cast<uint32_t>(size));
  std::vector<uint8_t> chunk(4048);
  uint32_t crc = 0;
  for (uint64_t done = 0; done < size;) {
    const auto count = static_cast<size_t>(std::min<uint64_t>(chunk.size(), size - done));
    for (size_t i = 0; i < count; ++i) chunk[i] = static_cast<uint8_t>(random());
    EXPECT_EQ(writer.Stream().Write(chunk.data(), count), count);
    crc = Crc32(crc, chunk.data(), count);
    done += count;
  }
  return crc;
}

std::vector<uint8_t> WriteToMemory(const std::vector<uint8_t>& content) {
  TXLSMemoryStream out;
  TOleDocWriter writer;
  EXPECT_EQ(writer.Begin(out, "Book", content.size()), 1) << writer.LastError();
  EXPECT_EQ(writer.Stream().Write(content.data(), content.size()), content.size());
  EXPECT_EQ(writer.Finish(), 1) << writer.LastError();
  return out.Bytes();
}

std::string OutputPath(const std::string& name) {
  return book_test::ScratchDir() + "/" + name;
}

book_test::TRun RunPython(const std::string& args) {
  return book_test::RunCommand("/usr/bin/python3 " + args);
}

bool PythonHas(const std::string& module) {
  return RunPython("-c 'import " + module + "'").status == 0;
}

std::string Checker() {
  return std::string(TABULON_SOURCE_DIR) + "/tests/readers/check_ole.py";
}

// ---------------------------------------------------------------------------

TEST(OleHeader, HoldsVersion3FieldsAndOneFatSector) {
  const std::vector<uint8_t> file = WriteToMemory(std::vector<uint8_t>(5000, 0xAB));
  const std::vector<uint8_t> signature = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
  ASSERT_EQ(file.size(), 512u * (1 + 1 + 1 + 10));  // header, FAT, directory, 10 content sectors
  EXPECT_TRUE(std::equal(signature.begin(), signature.end(), file.begin()));
  EXPECT_TRUE(std::all_of(file.begin() + 8, file.begin() + 24, [](uint8_t b) { return b == 0; }));
  EXPECT_EQ(U16(file, 0x18), 0x3Eu);
  EXPECT_EQ(U16(file, 0x1A), 3u);
  EXPECT_EQ(U16(file, 0x1C), 0xFFFEu);
  EXPECT_EQ(U16(file, 0x1E), 9u);
  EXPECT_EQ(U16(file, 0x20), 6u);
  EXPECT_TRUE(std::all_of(file.begin() + 0x22, file.begin() + 0x2C, [](uint8_t b) { return !b; }));
  EXPECT_EQ(U32(file, 0x2C), 1u);  // FAT sectors
  EXPECT_EQ(U32(file, 0x30), 1u);  // directory sector
  EXPECT_EQ(U32(file, 0x34), 0u);  // transaction signature
  EXPECT_EQ(U32(file, 0x38), 4096u);
  EXPECT_EQ(U32(file, 0x3C), kEndOfChain);  // no MiniFAT
  EXPECT_EQ(U32(file, 0x40), 0u);
  EXPECT_EQ(U32(file, 0x44), kEndOfChain);  // no DIFAT
  EXPECT_EQ(U32(file, 0x48), 0u);
  EXPECT_EQ(U32(file, 0x4C), 0u);  // the FAT sector
  for (size_t slot = 1; slot < 109; ++slot) EXPECT_EQ(U32(file, 0x4C + 4 * slot), kFreeSect);
}

TEST(OleHeader, SmallStreamLivesInTheMiniStream) {
  const std::vector<uint8_t> file = WriteToMemory(std::vector<uint8_t>(100, 7));
  // header, FAT, directory, MiniFAT, one sector of mini stream
  ASSERT_EQ(file.size(), 512u * 5);
  EXPECT_EQ(U32(file, 0x3C), 2u);
  EXPECT_EQ(U32(file, 0x40), 1u);
  const size_t root = 512 * 2, book = root + 128;
  EXPECT_EQ(U32(file, root + 0x74), 3u);    // mini stream's first sector
  EXPECT_EQ(U32(file, root + 0x78), 128u);  // two mini sectors
  EXPECT_EQ(U32(file, book + 0x74), 0u);    // first mini sector
  EXPECT_EQ(U32(file, book + 0x78), 100u);
  EXPECT_EQ(U32(file, 512 * 3), 1u);  // MiniFAT: 0 -> 1 -> end
  EXPECT_EQ(U32(file, 512 * 3 + 4), kEndOfChain);
  EXPECT_EQ(U32(file, 512 * 3 + 8), kFreeSect);
  EXPECT_EQ(file[512 * 4 + 99], 7);
  EXPECT_EQ(file[512 * 4 + 100], 0);
}

TEST(OleHeader, StreamOfExactlyTheCutoffUsesRegularSectors) {
  const std::vector<uint8_t> file = WriteToMemory(std::vector<uint8_t>(4096, 1));
  ASSERT_EQ(file.size(), 512u * (3 + 8));
  EXPECT_EQ(U32(file, 0x3C), kEndOfChain);
  EXPECT_EQ(U32(file, 0x40), 0u);
  const size_t root = 512 * 2, book = root + 128;
  EXPECT_EQ(U32(file, root + 0x74), kEndOfChain);
  EXPECT_EQ(U32(file, root + 0x78), 0u);
  EXPECT_EQ(U32(file, book + 0x74), 2u);
  EXPECT_EQ(U32(file, book + 0x78), 4096u);
}

TEST(OleHeader, EmptyStreamOwnsNoSector) {
  const std::vector<uint8_t> file = WriteToMemory({});
  ASSERT_EQ(file.size(), 512u * 3);
  const size_t book = 512 * 2 + 128;
  EXPECT_EQ(U32(file, book + 0x74), kEndOfChain);
  EXPECT_EQ(U32(file, book + 0x78), 0u);
  EXPECT_EQ(U32(file, 512 + 8), kFreeSect);  // FAT: only itself and the directory
}

TEST(OleHeader, DifatStartsOnlyBeyond109FatSectors) {
  for (const uint64_t size : {kLargestWith109FatSectors, kLargestWith109FatSectors + 1}) {
    TProbeSink sink;
    TOleDocWriter writer;
    ASSERT_EQ(writer.Begin(sink, "Book", size), 1);
    WriteContent(writer, size);
    ASSERT_EQ(writer.Finish(), 1) << writer.LastError();
    const std::vector<uint8_t>& head = sink.Head();
    const bool beyond = size > kLargestWith109FatSectors;
    SCOPED_TRACE(size);
    EXPECT_EQ(U32(head, 0x2C), beyond ? 110u : 109u);
    EXPECT_EQ(U32(head, 0x44), beyond ? 110u : kEndOfChain);
    EXPECT_EQ(U32(head, 0x48), beyond ? 1u : 0u);
    EXPECT_EQ(U32(head, 0x4C + 4 * 108), 108u);  // every header slot used
    EXPECT_EQ(sink.Total() % 512, 0u);
    EXPECT_EQ(U32(head, 0x30), beyond ? 111u : 109u);  // directory after FAT and DIFAT
  }
}

// ---------------------------------------------------------------------------

TEST(OleFailure, ShortOutputDuringTheTablesFailsBegin) {
  TProbeSink sink(100);
  TOleDocWriter writer;
  EXPECT_EQ(writer.Begin(sink, "Book", 10), -1);
  EXPECT_NE(writer.LastError().find("took only 100 of"), std::string::npos) << writer.LastError();
  EXPECT_EQ(writer.Stream().Write("0123456789", 10), 0u);
  EXPECT_EQ(writer.Finish(), -1);
}

TEST(OleFailure, ShortOutputDuringTheContentFailsFinishAndStopsWriting) {
  TProbeSink sink(512 * 3 + 1000);  // room for the tables and 1000 content bytes
  TOleDocWriter writer;
  ASSERT_EQ(writer.Begin(sink, "Book", 5000), 1);
  const std::vector<uint8_t> content(4000, 1);
  EXPECT_EQ(writer.Stream().Write(content.data(), content.size()), 1000u);
  EXPECT_EQ(writer.Stream().Write(content.data(), 1000), 0u);
  EXPECT_EQ(writer.Finish(), -1);
  EXPECT_NE(writer.LastError().find("stream content"), std::string::npos) << writer.LastError();
  EXPECT_EQ(sink.Total(), 512u * 3 + 1000);
}

TEST(OleFailure, ShortOutputForTheLastSectorFailsFinish) {
  TProbeSink sink(512 * 3 + 5000);
  TOleDocWriter writer;
  ASSERT_EQ(writer.Begin(sink, "Book", 5000), 1);
  WriteContent(writer, 5000);
  EXPECT_EQ(writer.Finish(), -1);
  EXPECT_NE(writer.LastError().find("last sector"), std::string::npos) << writer.LastError();
}

TEST(OleFailure, LessContentThanAnnouncedFailsFinish) {
  TXLSMemoryStream out;
  TOleDocWriter writer;
  ASSERT_EQ(writer.Begin(out, "Book", 20), 1);
  EXPECT_EQ(writer.Stream().Write("0123456789", 10), 10u);
  EXPECT_EQ(writer.Finish(), -1);
  EXPECT_NE(writer.LastError().find("has 10 bytes, 20 were announced"), std::string::npos)
      << writer.LastError();
}

TEST(OleFailure, MoreContentThanAnnouncedIsRefused) {
  TXLSMemoryStream out;
  TOleDocWriter writer;
  ASSERT_EQ(writer.Begin(out, "Book", 15), 1);
  EXPECT_EQ(writer.Stream().Write("0123456789", 10), 10u);
  EXPECT_EQ(writer.Stream().Write("0123456789", 10), 5u);
  EXPECT_EQ(writer.Finish(), -1);
  EXPECT_NE(writer.LastError().find("exceeds the announced 15"), std::string::npos);
  EXPECT_EQ(out.Bytes().size(), 512u * 4 + 15);  // nothing beyond the announced bytes
}

TEST(OleFailure, InvalidArgumentsFailBeginWithoutWriting) {
  TXLSMemoryStream out;
  TOleDocWriter writer;
  for (const std::string& name :
       std::vector<std::string>{"", "a/b", "Bang!", std::string(32, 'x')}) {
    EXPECT_EQ(writer.Begin(out, name, 1), -1) << name;
    EXPECT_NE(writer.LastError().find("invalid stream name"), std::string::npos);
  }
  EXPECT_EQ(writer.Begin(out, "Book", TOleDocWriter::kMaxStreamSize + 1), -1);
  EXPECT_EQ(writer.Finish(), -1);
  EXPECT_TRUE(out.Bytes().empty());
}

TEST(OleFailure, FinishWithoutBeginFailsAndWriterIsReusable) {
  TXLSMemoryStream out;
  TOleDocWriter writer;
  EXPECT_EQ(writer.Finish(), -1);
  EXPECT_FALSE(writer.LastError().empty());
  ASSERT_EQ(writer.Begin(out, "Book", 3), 1);
  EXPECT_TRUE(writer.LastError().empty());
  EXPECT_EQ(writer.Stream().Write("abc", 3), 3u);
  EXPECT_EQ(writer.Finish(), 1);
  EXPECT_EQ(writer.Finish(), -1);  // the document is complete
}

// ---------------------------------------------------------------------------

class OleReadBack : public testing::TestWithParam<uint64_t> {};

TEST_P(OleReadBack, StrictOlefileReadsTheStreamBack) {
  if (!PythonHas("olefile")) GTEST_SKIP() << "/usr/bin/python3 has no olefile module";
  const uint64_t size = GetParam();
  const std::string path = OutputPath("ole_" + std::to_string(size) + ".cfb");
  TXLSFileStream file;
  ASSERT_TRUE(file.Open(path)) << file.LastError();
  TOleDocWriter writer;
  ASSERT_EQ(writer.Begin(file, "Book", size), 1) << writer.LastError();
  const uint32_t crc = WriteContent(writer, size);
  ASSERT_EQ(writer.Finish(), 1) << writer.LastError();
  ASSERT_TRUE(file.Close()) << file.LastError();
  const book_test::TRun run = RunPython(Checker() + " ole '" + path + "' Book " +
                                        std::to_string(size) + " " + std::to_string(crc));
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(run.output, "ok\n");
  if (!HasFailure()) std::remove(path.c_str());  // a failing file stays to be examined
}

// Around the mini stream cut-off, at the first DIFAT sector, and 40 MB, whose
// 616 FAT sectors need a chain of 4 DIFAT sectors.
INSTANTIATE_TEST_SUITE_P(Sizes, OleReadBack,
                         testing::Values(0, 1, 4095, 4096, 4097, 1 << 20, kLargestWith109FatSectors,
                                         kLargestWith109FatSectors + 1, 40000000));

// ---------------------------------------------------------------------------

void Put16(std::vector<uint8_t>& b, uint32_t v) {
  XLSAppendLE(b, static_cast<uint16_t>(v));
}

void Put32(std::vector<uint8_t>& b, uint32_t v) {
  XLSAppendLE(b, v);
}

void PutRecord(std::vector<uint8_t>& b, uint16_t id, const std::vector<uint8_t>& data) {
  Put16(b, id);
  Put16(b, static_cast<uint32_t>(data.size()));
  b.insert(b.end(), data.begin(), data.end());
}

std::vector<uint8_t> Bof(uint16_t type) {
  std::vector<uint8_t> d;
  for (uint32_t v : {0x0500u, uint32_t(type), 0u, 0u}) Put16(d, v);
  return d;
}

std::vector<uint8_t> Cell(uint16_t row, uint16_t col) {
  std::vector<uint8_t> d;
  for (uint32_t v : {uint32_t(row), uint32_t(col), 0u}) Put16(d, v);  // cell format 0
  return d;
}

void PutNumber(std::vector<uint8_t>& b, uint16_t row, uint16_t col, double value) {
  std::vector<uint8_t> d = Cell(row, col);
  XLSAppendLE(d, XLSDoubleBits(value));
  PutRecord(b, xlsrec::kNumber, d);
}

// A BIFF5 workbook with one sheet "Data": A1 = 3.25, B1 = "Tabulon", and
// rows 2 onwards holding r and 2r (r = zero-based row).
std::vector<uint8_t> MinimalWorkbook(uint16_t rows) {
  const std::string sheetName = "Data", label = "Tabulon";
  std::vector<uint8_t> sheet;
  PutRecord(sheet, xlsrec::kBof, Bof(xlsrec::kBofWorksheet));
  std::vector<uint8_t> dims;
  for (uint32_t v : {0u, uint32_t(rows), 0u, 2u, 0u}) Put16(dims, v);
  PutRecord(sheet, xlsrec::kDimensions, dims);
  PutNumber(sheet, 0, 0, 3.25);
  std::vector<uint8_t> text = Cell(0, 1);
  Put16(text, static_cast<uint32_t>(label.size()));
  text.insert(text.end(), label.begin(), label.end());
  PutRecord(sheet, xlsrec::kLabel, text);
  for (uint16_t r = 1; r < rows; ++r) {
    PutNumber(sheet, r, 0, r);
    PutNumber(sheet, r, 1, 2.0 * r);
  }
  PutRecord(sheet, xlsrec::kEof, {});

  std::vector<uint8_t> book;
  PutRecord(book, xlsrec::kBof, Bof(xlsrec::kBofGlobals));
  PutRecord(book, xlsrec::kCodePage, {0xE4, 0x04});           // code page 1252
  PutRecord(book, xlsrec::kXF, std::vector<uint8_t>(16, 0));  // cell format 0: general
  const size_t boundSheetSize = 4 + 6 + 1 + sheetName.size(), eofSize = 4;
  std::vector<uint8_t> bound;
  Put32(bound, static_cast<uint32_t>(book.size() + boundSheetSize + eofSize));
  bound.insert(bound.end(), {0, 0, static_cast<uint8_t>(sheetName.size())});
  bound.insert(bound.end(), sheetName.begin(), sheetName.end());
  PutRecord(book, xlsrec::kBoundSheet, bound);
  PutRecord(book, xlsrec::kEof, {});
  book.insert(book.end(), sheet.begin(), sheet.end());
  return book;
}

class OleXlrd : public testing::TestWithParam<uint16_t> {};

TEST_P(OleXlrd, XlrdReadsTheWorkbookStream) {
  if (!PythonHas("xlrd")) GTEST_SKIP() << "/usr/bin/python3 has no xlrd module";
  const uint16_t rows = GetParam();
  const std::vector<uint8_t> book = MinimalWorkbook(rows);
  const std::string path = OutputPath("ole_biff5_" + std::to_string(book.size()) + ".xls");
  TXLSFileStream file;
  ASSERT_TRUE(file.Open(path)) << file.LastError();
  TOleDocWriter writer;
  ASSERT_EQ(writer.Begin(file, "Book", book.size()), 1) << writer.LastError();
  ASSERT_EQ(writer.Stream().Write(book.data(), book.size()), book.size());
  ASSERT_EQ(writer.Finish(), 1) << writer.LastError();
  ASSERT_TRUE(file.Close()) << file.LastError();
  const book_test::TRun run = RunPython(Checker() + " xls '" + path + "'");
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(run.output, "Data " + std::to_string(rows) + "x2 3.25 'Tabulon' " +
                            std::to_string(2 * (rows - 1)) + ".0\n");
}

// 3 rows stay in the mini stream; 200 rows (over 7000 bytes) do not.
INSTANTIATE_TEST_SUITE_P(StreamSizes, OleXlrd, testing::Values(3, 200));

}  // namespace
}  // namespace tabulon
