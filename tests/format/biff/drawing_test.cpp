#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RecordBytes.h"
#include "XLSByteOrder.h"
#include "XLSDrawing.h"
#include "XLSPng.h"
#include "XLSRecordIds.h"

namespace tabulon {
namespace {

using testing_records::Records;
using testing_records::TBytes;
using testing_records::WordAt;

constexpr uint16_t kBiff8Limit = XLSBiff8RecordDataLimit + 4;

uint32_t LongAt(const TBytes& bytes, size_t pos) {
  return XLSGetLE<uint32_t>(&bytes[pos]);
}

// One Office drawing record read back: its header and where its data start.
struct TArt {
  uint16_t Version, Instance, Type;
  uint32_t Length;
  size_t Data;
};

TArt ArtAt(const TBytes& bytes, size_t pos) {
  const uint16_t word = WordAt(bytes, pos);
  return {static_cast<uint16_t>(word & 0xF), static_cast<uint16_t>(word >> 4),
          WordAt(bytes, pos + 2), LongAt(bytes, pos + 4), pos + 8};
}

// The records a container holds; they must fill its length exactly.
std::vector<TArt> Children(const TBytes& bytes, const TArt& container) {
  EXPECT_EQ(container.Version, 0xF);
  std::vector<TArt> children;
  const size_t end = container.Data + container.Length;
  size_t pos = container.Data;
  while (pos < end) {
    children.push_back(ArtAt(bytes, pos));
    pos = children.back().Data + children.back().Length;
  }
  EXPECT_EQ(pos, end) << "children overrun their container";
  return children;
}

// The data of consecutive records, headers left out.
TBytes JoinedData(const std::vector<TBytes>& records) {
  TBytes data;
  for (const TBytes& record : records) data.insert(data.end(), record.begin() + 4, record.end());
  return data;
}

// A 24-bit bitmap whose pixel bytes differ with seed.
std::vector<uint8_t> Dib(uint32_t width, uint32_t height, uint8_t seed) {
  std::vector<uint8_t> dib(40, 0);
  XLSPutLE<uint32_t>(&dib[0], 40);
  XLSPutLE<uint32_t>(&dib[4], width);
  XLSPutLE<uint32_t>(&dib[8], height);
  XLSPutLE<uint32_t>(&dib[12], 0x00180001);
  for (size_t i = 0; i < (width * 3 + 3) / 4 * 4 * height; ++i) {
    dib.push_back(static_cast<uint8_t>(seed + i * 31));
  }
  return dib;
}

TXLSDrawingPicture Picture(std::vector<uint8_t> dib, uint16_t col, std::string name = "") {
  return {
      {col, 10, 2, 20, static_cast<uint16_t>(col + 3), 30, 7, 40}, std::move(dib), std::move(name)};
}

// Sheet 0 shows bitmap A twice and B once, sheet 2 shows A again.
class DrawingLayer : public ::testing::Test {
 protected:
  void SetUp() override {
    drawings_.SetSheetPictures(0, {Picture(Dib(5, 4, 1), 1, "Bild \xC3\xBC"),
                                   Picture(Dib(3, 2, 2), 5), Picture(Dib(5, 4, 1), 9)});
    drawings_.SetSheetPictures(2, {Picture(Dib(5, 4, 1), 0)});
  }
  std::vector<TBytes> Stored(int32_t sheet) {
    TXLSRecordSection section(kBiff8Limit);
    EXPECT_EQ(sheet < 0 ? drawings_.StoreGroup(section) : drawings_.StoreSheet(sheet, section), 1);
    return Records(section.List());
  }

  TXLSDrawings drawings_;
};

TEST_F(DrawingLayer, GroupCountsEveryDrawingAndSharesEqualBitmaps) {
  const std::vector<TBytes> records = Stored(-1);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(WordAt(records[0], 0), xlsrec::kMsoDrawingGroup);
  const TBytes data = JoinedData(records);
  const TArt group = ArtAt(data, 0);
  EXPECT_EQ(group.Type, 0xF000);
  EXPECT_EQ(group.Data + group.Length, data.size());
  const std::vector<TArt> parts = Children(data, group);
  ASSERT_EQ(parts.size(), 3u);

  // Two drawings of one cluster each: shapes 1024-1027 and 2048-2049.
  const TArt& fdgg = parts[0];
  EXPECT_EQ(fdgg.Type, 0xF006);
  ASSERT_EQ(fdgg.Length, 32u);
  EXPECT_EQ(LongAt(data, fdgg.Data), 2050u);    // the next free shape identifier
  EXPECT_EQ(LongAt(data, fdgg.Data + 4), 3u);   // clusters + 1
  EXPECT_EQ(LongAt(data, fdgg.Data + 8), 6u);   // shapes, group shapes included
  EXPECT_EQ(LongAt(data, fdgg.Data + 12), 2u);  // drawings
  EXPECT_EQ(LongAt(data, fdgg.Data + 16), 1u);  // cluster 1: drawing 1,
  EXPECT_EQ(LongAt(data, fdgg.Data + 20), 4u);  // 4 identifiers used
  EXPECT_EQ(LongAt(data, fdgg.Data + 24), 2u);  // cluster 2: drawing 2,
  EXPECT_EQ(LongAt(data, fdgg.Data + 28), 2u);

  const TArt& store = parts[1];
  EXPECT_EQ(store.Type, 0xF001);
  EXPECT_EQ(store.Instance, 2);
  const std::vector<TArt> entries = Children(data, store);
  ASSERT_EQ(entries.size(), 2u);
  const uint32_t references[] = {3, 1};
  for (size_t i = 0; i < 2; ++i) {
    const TArt& entry = entries[i];
    EXPECT_EQ(entry.Type, 0xF007);
    EXPECT_EQ(entry.Version, 2);
    EXPECT_EQ(entry.Instance, 6);  // a PNG
    EXPECT_EQ(data[entry.Data], 6);
    const TArt blip = ArtAt(data, entry.Data + 36);
    EXPECT_EQ(blip.Type, 0xF01E);
    EXPECT_EQ(blip.Instance, 0x6E0);
    EXPECT_EQ(LongAt(data, entry.Data + 20), 8 + blip.Length);  // the blip's size
    EXPECT_EQ(entry.Length, 36 + 8 + blip.Length);
    EXPECT_EQ(LongAt(data, entry.Data + 24), references[i]);
    // Entry and blip carry the same identifier; the image follows the tag.
    EXPECT_EQ(TBytes(data.begin() + entry.Data + 2, data.begin() + entry.Data + 18),
              TBytes(data.begin() + blip.Data, data.begin() + blip.Data + 16));
    EXPECT_EQ(data[blip.Data + 16], 0xFF);
    const std::string png = i == 0 ? MakePng(Dib(5, 4, 1)) : MakePng(Dib(3, 2, 2));
    EXPECT_EQ(std::string(data.begin() + blip.Data + 17, data.begin() + blip.Data + blip.Length),
              png);
  }
  EXPECT_EQ(parts[2].Type, 0xF00B);
  EXPECT_EQ(parts[2].Instance, 3);
}

TEST_F(DrawingLayer, SheetDrawingAlternatesShapesAndObjects) {
  const std::vector<TBytes> records = Stored(0);
  ASSERT_EQ(records.size(), 6u);
  std::vector<TBytes> drawing;
  for (size_t i = 0; i < records.size(); i += 2) {
    EXPECT_EQ(WordAt(records[i], 0), xlsrec::kMsoDrawing);
    drawing.push_back(records[i]);
    const TBytes& obj = records[i + 1];
    ASSERT_EQ(obj.size(), 42u);
    EXPECT_EQ(WordAt(obj, 0), xlsrec::kObj);
    EXPECT_EQ(WordAt(obj, 4), 0x15);  // common object data first,
    EXPECT_EQ(WordAt(obj, 8), 8);     // a picture
    EXPECT_EQ(WordAt(obj, 10), i / 2 + 1);
    EXPECT_EQ(WordAt(obj, 26), 0x07);  // clipboard format, picture flags, end
    EXPECT_EQ(WordAt(obj, 32), 0x08);
    EXPECT_EQ(LongAt(obj, 38), 0u);
  }
  // The container opened in the first record spans them all.
  const TBytes data = JoinedData(drawing);
  const TArt container = ArtAt(data, 0);
  EXPECT_EQ(container.Type, 0xF002);
  EXPECT_EQ(container.Data + container.Length, data.size());
  const std::vector<TArt> parts = Children(data, container);
  ASSERT_EQ(parts.size(), 2u);
  EXPECT_EQ(parts[0].Type, 0xF008);
  EXPECT_EQ(parts[0].Instance, 1);                    // drawing 1
  EXPECT_EQ(LongAt(data, parts[0].Data), 4u);         // shapes
  EXPECT_EQ(LongAt(data, parts[0].Data + 4), 1027u);  // the last one
  const std::vector<TArt> shapes = Children(data, parts[1]);
  ASSERT_EQ(shapes.size(), 4u);

  const std::vector<TArt> group = Children(data, shapes[0]);
  ASSERT_EQ(group.size(), 2u);
  EXPECT_EQ(LongAt(data, group[1].Data), 1024u);
  EXPECT_EQ(LongAt(data, group[1].Data + 4), 0x5u);
  const uint32_t blipIds[] = {1, 2, 1};
  for (size_t i = 1; i < shapes.size(); ++i) {
    // Each record after the first holds exactly one picture's shape.
    if (i > 1) {
      EXPECT_EQ(drawing[i - 1].size() - 4, 8 + shapes[i].Length);
    }
    const std::vector<TArt> fields = Children(data, shapes[i]);
    ASSERT_EQ(fields.size(), 4u);
    EXPECT_EQ(fields[0].Instance, 75);  // a picture frame
    EXPECT_EQ(LongAt(data, fields[0].Data), 1024 + i);
    const TArt& options = fields[1];
    EXPECT_EQ(WordAt(data, options.Data), 0x4104);
    EXPECT_EQ(LongAt(data, options.Data + 2), blipIds[i - 1]);
    EXPECT_EQ(fields[2].Type, 0xF010);
    EXPECT_EQ(TBytes(data.begin() + fields[2].Data, data.begin() + fields[2].Data + 18),
              (TBytes{2, 0, uint8_t(1 + 4 * (i - 1)), 0, 10, 0, 2, 0, 20, 0,
                      uint8_t(4 + 4 * (i - 1)), 0, 30, 0, 7, 0, 40, 0}));
    EXPECT_EQ(fields[3].Type, 0xF011);
  }
  // The first picture's name, UTF-16 with its terminator after the table.
  const TArt options = Children(data, shapes[1])[1];
  ASSERT_EQ(options.Instance, 2);
  EXPECT_EQ(WordAt(data, options.Data + 6), 0x8380);
  EXPECT_EQ(LongAt(data, options.Data + 8), 14u);
  EXPECT_EQ(TBytes(data.begin() + options.Data + 12, data.begin() + options.Data + 26),
            (TBytes{'B', 0, 'i', 0, 'l', 0, 'd', 0, ' ', 0, 0xFC, 0, 0, 0}));
}

TEST_F(DrawingLayer, SecondSheetTakesTheNextClusterAndEmptyOnesWriteNothing) {
  const std::vector<TBytes> records = Stored(2);
  ASSERT_EQ(records.size(), 2u);
  const TArt fdg = ArtAt(records[0], 4 + 8);
  EXPECT_EQ(fdg.Instance, 2);
  EXPECT_EQ(LongAt(records[0], fdg.Data + 4), 2049u);
  EXPECT_TRUE(Stored(1).empty());

  drawings_.SetSheetPictures(0, {});
  drawings_.SetSheetPictures(2, {});
  EXPECT_TRUE(drawings_.Empty());
  EXPECT_TRUE(Stored(-1).empty());
  EXPECT_TRUE(Stored(2).empty());
}

TEST(DrawingLayerSize, BigBitmapContinuesInPlainSlices) {
  TXLSDrawings drawings;
  drawings.SetSheetPictures(0, {Picture(Dib(80, 80, 3), 0)});
  TXLSRecordSection section(kBiff8Limit);
  ASSERT_EQ(drawings.StoreGroup(section), 1);
  const std::vector<TBytes> records = Records(section.List());
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(WordAt(records[0], 0), xlsrec::kMsoDrawingGroup);
  EXPECT_EQ(records[0].size(), kBiff8Limit);
  EXPECT_EQ(WordAt(records[1], 0), xlsrec::kContinue);
  EXPECT_EQ(records[1].size(), kBiff8Limit);
  EXPECT_EQ(WordAt(records[2], 0), xlsrec::kContinue);
  const TBytes data = JoinedData(records);
  EXPECT_EQ(ArtAt(data, 0).Length + 8, data.size());
  EXPECT_EQ(section.Size(), static_cast<int32_t>(data.size() + 12));
}

TEST(DrawingLayerSize, ThousandsOfPicturesSpanClusters) {
  TXLSDrawings drawings;
  drawings.SetSheetPictures(0, std::vector<TXLSDrawingPicture>(1100, Picture(Dib(1, 1, 0), 0)));
  TXLSRecordSection group(kBiff8Limit), sheet(kBiff8Limit);
  ASSERT_EQ(drawings.StoreGroup(group), 1);
  ASSERT_EQ(drawings.StoreSheet(0, sheet), 1);
  const TBytes data = JoinedData(Records(group.List()));
  const TArt fdgg = Children(data, ArtAt(data, 0))[0];
  EXPECT_EQ(LongAt(data, fdgg.Data), 2048u + 77);  // 1101 shapes from 1024
  EXPECT_EQ(LongAt(data, fdgg.Data + 4), 3u);
  EXPECT_EQ(LongAt(data, fdgg.Data + 20), 1024u);
  EXPECT_EQ(LongAt(data, fdgg.Data + 28), 77u);
  const std::vector<TBytes> records = Records(sheet.List());
  ASSERT_EQ(records.size(), 2200u);
  const TBytes& last = records[2198];
  EXPECT_EQ(LongAt(last, 4 + 16), 2048u + 76);  // the last picture's shape
  EXPECT_EQ(WordAt(records[2199], 10), 1100);
}

}  // namespace
}  // namespace tabulon
