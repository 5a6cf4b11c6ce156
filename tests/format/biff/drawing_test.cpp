#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "BitmapFiles.h"
#include "RecordBytes.h"
#include "XLSByteOrder.h"
#include "XLSDrawing.h"
#include "XLSPng.h"
#include "XLSRecordIds.h"

namespace tabulon {
namespace {

using bitmap_test::Dib;
using testing_records::Records;
using testing_records::TBytes;
using testing_records::WordAt;
using TLongs = std::vector<uint32_t>;

constexpr uint16_t kBiff8Limit = XLSBiff8RecordLimit;

// count 32-bit fields from pos.
TLongs Longs(const TBytes& bytes, size_t pos, size_t count) {
  TLongs values;
  for (size_t i = 0; i < count; ++i) values.push_back(XLSGetLE<uint32_t>(&bytes[pos + 4 * i]));
  return values;
}

// One Office drawing record read back: its header and where its data start.
struct TArt {
  uint16_t Instance, Type;
  uint32_t Length;
  size_t Data;
};

TArt ArtAt(const TBytes& bytes, size_t pos) {
  return {static_cast<uint16_t>(WordAt(bytes, pos) >> 4), WordAt(bytes, pos + 2),
          Longs(bytes, pos + 4, 1)[0], pos + 8};
}

// The records a container holds; they must fill its length exactly.
std::vector<TArt> Children(const TBytes& bytes, const TArt& container) {
  std::vector<TArt> children;
  size_t pos = container.Data;
  while (pos < container.Data + container.Length) {
    children.push_back(ArtAt(bytes, pos));
    pos = children.back().Data + children.back().Length;
  }
  EXPECT_EQ(pos, container.Data + container.Length) << "children overrun their container";
  return children;
}

// The data of the records, headers left out, as one run.
TBytes JoinedData(const std::vector<TBytes>& records) {
  TBytes data;
  for (const TBytes& record : records) data.insert(data.end(), record.begin() + 4, record.end());
  return data;
}

TXLSDrawingPicture Picture(std::vector<uint8_t> dib, uint16_t col, std::string name = "") {
  return {
      {col, 10, 2, 20, static_cast<uint16_t>(col + 3), 30, 7, 40}, std::move(dib), std::move(name)};
}

std::vector<TBytes> StoredGroup(const TXLSDrawings& drawings) {
  TXLSRecordSection section(kBiff8Limit);
  EXPECT_EQ(drawings.StoreGroup(section), 1);
  return Records(section.List());
}

std::vector<TBytes> StoredSheet(const TXLSDrawings& drawings, int32_t sheet) {
  TXLSRecordSection section(kBiff8Limit);
  EXPECT_EQ(drawings.StoreSheet(sheet, section), 1);
  return Records(section.List());
}

// Sheet 0 shows bitmap A twice and B once, sheet 2 shows A again.
class DrawingLayer : public ::testing::Test {
 protected:
  void SetUp() override {
    drawings_.SetSheetShapes(
        0, {Picture(Dib(5, 4), 1, "Bild \xC3\xBC"), Picture(Dib(3, 2), 5), Picture(Dib(5, 4), 9)});
    drawings_.SetSheetShapes(2, {Picture(Dib(5, 4), 0)});
  }
  TXLSDrawings drawings_;
};

TEST_F(DrawingLayer, GroupCountsEveryDrawingAndSharesEqualBitmaps) {
  const std::vector<TBytes> records = StoredGroup(drawings_);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(WordAt(records[0], 0), xlsrec::kMsoDrawingGroup);
  const TBytes data = JoinedData(records);
  const TArt group = ArtAt(data, 0);
  EXPECT_EQ(group.Data + group.Length, data.size());
  const std::vector<TArt> parts = Children(data, group);
  ASSERT_EQ(parts.size(), 3u);
  // Next shape identifier, clusters + 1, shapes, drawings; then each cluster's
  // drawing and identifiers used: shapes 1024-1027 and 2048-2049.
  EXPECT_EQ(Longs(data, parts[0].Data, 8), (TLongs{2050, 3, 6, 2, 1, 4, 2, 2}));

  EXPECT_EQ(parts[1].Instance, 2);
  const std::vector<TArt> entries = Children(data, parts[1]);
  ASSERT_EQ(entries.size(), 2u);
  const std::string images[] = {MakePng(Dib(5, 4)), MakePng(Dib(3, 2))};
  const uint32_t references[] = {3, 1};
  for (size_t i = 0; i < 2; ++i) {
    const TArt& entry = entries[i];
    const TArt blip = ArtAt(data, entry.Data + 36);
    EXPECT_EQ(entry.Instance, 6);  // a PNG
    EXPECT_EQ(blip.Type, 0xF01E);
    EXPECT_EQ(entry.Length, 36 + 8 + blip.Length);
    EXPECT_EQ(Longs(data, entry.Data + 20, 2), (TLongs{8 + blip.Length, references[i]}));
    // Entry and blip carry the same identifier; the image follows the tag.
    EXPECT_TRUE(std::equal(data.begin() + entry.Data + 2, data.begin() + entry.Data + 18,
                           data.begin() + blip.Data));
    EXPECT_EQ(std::string(data.begin() + blip.Data + 17, data.begin() + blip.Data + blip.Length),
              images[i]);
  }
}

TEST_F(DrawingLayer, SheetDrawingAlternatesShapesAndObjects) {
  const std::vector<TBytes> records = StoredSheet(drawings_, 0);
  ASSERT_EQ(records.size(), 6u);
  std::vector<TBytes> drawing;
  for (size_t i = 0; i < records.size(); i += 2) {
    EXPECT_EQ(WordAt(records[i], 0), xlsrec::kMsoDrawing);
    drawing.push_back(records[i]);
    // OBJ: common data of picture i + 1, clipboard format, picture flags, end.
    const TBytes& obj = records[i + 1];
    ASSERT_EQ(obj.size(), 42u);
    EXPECT_EQ((std::vector<uint16_t>{WordAt(obj, 0), WordAt(obj, 4), WordAt(obj, 8),
                                     WordAt(obj, 10), WordAt(obj, 26), WordAt(obj, 32)}),
              (std::vector<uint16_t>{xlsrec::kObj, 0x15, 8, uint16_t(i / 2 + 1), 7, 8}));
  }
  // The container opened in the first record spans them all.
  const TBytes data = JoinedData(drawing);
  const TArt container = ArtAt(data, 0);
  EXPECT_EQ(container.Data + container.Length, data.size());
  const std::vector<TArt> parts = Children(data, container);
  ASSERT_EQ(parts.size(), 2u);
  EXPECT_EQ(parts[0].Instance, 1);  // drawing 1 of 4 shapes, the last 1027
  EXPECT_EQ(Longs(data, parts[0].Data, 2), (TLongs{4, 1027}));
  const std::vector<TArt> shapes = Children(data, parts[1]);
  ASSERT_EQ(shapes.size(), 4u);
  EXPECT_EQ(Longs(data, Children(data, shapes[0])[1].Data, 2), (TLongs{1024, 5}));
  const uint32_t blipIds[] = {1, 2, 1};
  for (uint32_t i = 1; i < shapes.size(); ++i) {
    // Each record after the first holds exactly one picture's shape.
    if (i > 1) {
      EXPECT_EQ(drawing[i - 1].size() - 4, 8 + shapes[i].Length);
    }
    const std::vector<TArt> fields = Children(data, shapes[i]);
    ASSERT_EQ(fields.size(), 4u);
    EXPECT_EQ(fields[0].Instance, 75);  // a picture frame
    EXPECT_EQ(Longs(data, fields[0].Data, 1), (TLongs{1024 + i}));
    EXPECT_EQ(WordAt(data, fields[1].Data), 0x4104);
    EXPECT_EQ(Longs(data, fields[1].Data + 2, 1), (TLongs{blipIds[i - 1]}));
    const uint8_t col = 1 + 4 * (i - 1);
    EXPECT_EQ(TBytes(data.begin() + fields[2].Data, data.begin() + fields[2].Data + 18),
              (TBytes{2, 0, col, 0, 10, 0, 2, 0, 20, 0, uint8_t(col + 3), 0, 30, 0, 7, 0, 40, 0}));
    EXPECT_EQ(fields[3].Type, 0xF011);
  }
  // The first picture's name, UTF-16 with its terminator after the table.
  const TArt options = Children(data, shapes[1])[1];
  ASSERT_EQ(options.Instance, 2);
  EXPECT_EQ(WordAt(data, options.Data + 6), 0x8380);
  EXPECT_EQ(TBytes(data.begin() + options.Data + 8, data.begin() + options.Data + 26),
            (TBytes{14, 0, 0, 0, 'B', 0, 'i', 0, 'l', 0, 'd', 0, ' ', 0, 0xFC, 0, 0, 0}));
}

TEST_F(DrawingLayer, SecondSheetTakesTheNextClusterAndEmptyOnesWriteNothing) {
  const std::vector<TBytes> records = StoredSheet(drawings_, 2);
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(ArtAt(records[0], 12).Instance, 2);
  EXPECT_EQ(Longs(records[0], 20, 2), (TLongs{2, 2049}));
  EXPECT_TRUE(StoredSheet(drawings_, 1).empty());
  drawings_.SetSheetShapes(0, {});
  drawings_.SetSheetShapes(2, {});
  EXPECT_TRUE(drawings_.Empty());
  EXPECT_TRUE(StoredGroup(drawings_).empty());
  EXPECT_TRUE(StoredSheet(drawings_, 2).empty());
}

TEST(DrawingLayerSize, BigImageContinuesInPlainSlices) {
  TXLSDrawings drawings;
  drawings.SetSheetShapes(0, {Picture(Dib(80, 80), 0)});  // about 19 KB
  const std::vector<TBytes> records = StoredGroup(drawings);
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(
      (std::vector<uint16_t>{WordAt(records[0], 0), WordAt(records[1], 0), WordAt(records[2], 0)}),
      (std::vector<uint16_t>{xlsrec::kMsoDrawingGroup, xlsrec::kContinue, xlsrec::kContinue}));
  EXPECT_EQ(records[0].size(), kBiff8Limit);
  EXPECT_EQ(records[1].size(), kBiff8Limit);
  const TBytes data = JoinedData(records);
  EXPECT_EQ(ArtAt(data, 0).Length + 8, data.size());
}

TEST(DrawingLayerSize, ThousandsOfPicturesSpanClusters) {
  TXLSDrawings drawings;
  drawings.SetSheetShapes(0, std::vector<TXLSDrawingPicture>(1100, Picture(Dib(1, 1), 0)));
  const TBytes group = JoinedData(StoredGroup(drawings));
  // 1101 shapes from 1024: a full cluster and 77 identifiers of the next.
  EXPECT_EQ(Longs(group, 8 + 8, 8), (TLongs{2048 + 77, 3, 1101, 1, 1, 1024, 1, 77}));
  const std::vector<TBytes> records = StoredSheet(drawings, 0);
  ASSERT_EQ(records.size(), 2200u);
  EXPECT_EQ(Longs(records[2198], 4 + 16, 1), (TLongs{2048 + 76}));  // the last shape
  EXPECT_EQ(WordAt(records[2199], 10), 1100);
}

// Notes beside a picture: sheet 0 shows one picture, then a note on D3 by
// Ann and a long UTF-16 note on A1 without author.
class DrawingNotes : public ::testing::Test {
 protected:
  void SetUp() override {
    drawings_.SetSheetShapes(0, {Picture(Dib(2, 2), 1)},
                             {{2, 3, u"Hi", u"Ann"}, {0, 0, std::u16string(5000, u'\u20AC'), u""}});
    drawings_.SetSheetShapes(1, {}, {{0, 255, u"edge", u""}});
  }
  TXLSDrawings drawings_;
};

TEST_F(DrawingNotes, TextBoxesFollowThePicturesWithObjTxoAndNoteRecords) {
  const std::vector<TBytes> records = StoredSheet(drawings_, 0);
  const std::vector<uint16_t> kIds = {xlsrec::kMsoDrawing, xlsrec::kObj,        xlsrec::kMsoDrawing,
                                      xlsrec::kObj,        xlsrec::kMsoDrawing, xlsrec::kTxo,
                                      xlsrec::kContinue,   xlsrec::kContinue,   xlsrec::kMsoDrawing,
                                      xlsrec::kObj,        xlsrec::kMsoDrawing, xlsrec::kTxo,
                                      xlsrec::kContinue,   xlsrec::kContinue,   xlsrec::kContinue,
                                      xlsrec::kNote,       xlsrec::kNote};
  std::vector<uint16_t> ids;
  for (const TBytes& record : records) ids.push_back(WordAt(record, 0));
  ASSERT_EQ(ids, kIds);
  // The note's OBJ: a note object (0x19) of identifier 2, its note
  // structure, end.
  TBytes obj = {0x5D, 0, 52, 0, 0x15, 0, 0x12, 0, 0x19, 0, 2, 0, 0x11, 0x40};
  obj.resize(4 + 22, 0);
  obj.insert(obj.end(), {0x0D, 0, 0x16, 0});
  obj.resize(4 + 52, 0);
  EXPECT_EQ(records[3], obj);
  // The text box atom alone, then TXO: left, top, locked; 2 characters,
  // 16 bytes of runs.
  EXPECT_EQ(records[4], (TBytes{0xEC, 0, 8, 0, 0, 0, 0x0D, 0xF0, 0, 0, 0, 0}));
  EXPECT_EQ(records[5], (TBytes{0xB6, 0x01, 18, 0, 0x12, 0x02, 0, 0, 0, 0, 0,
                                0,    0,    0,  2, 0,    16,   0, 0, 0, 0, 0}));
  EXPECT_EQ(records[6], (TBytes{0x3C, 0, 3, 0, 0, 'H', 'i'}));
  EXPECT_EQ(records[7], (TBytes{0x3C, 0, 16, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0}));
  // 5000 UTF-16 characters: 4111 fill a record behind the flags byte.
  EXPECT_EQ(WordAt(records[11], 14), 5000);
  EXPECT_EQ(records[12].size(), 4u + 1 + 2 * 4111);
  EXPECT_EQ(records[12][4], 1);
  EXPECT_EQ(records[13].size(), 4u + 1 + 2 * 889);
  // NOTE: cell, hidden, object identifier, author and the padding byte.
  EXPECT_EQ(records[15],
            (TBytes{0x1C, 0, 15, 0, 2, 0, 3, 0, 0, 0, 2, 0, 3, 0, 0, 'A', 'n', 'n', 0}));
  EXPECT_EQ(records[16], (TBytes{0x1C, 0, 12, 0, 0, 0, 0, 0, 0, 0, 3, 0, 0, 0, 0, 0}));

  // One drawing of four shapes: the group, the picture, the two text boxes.
  TBytes data;
  for (size_t i : {0, 2, 4, 8, 10})
    data.insert(data.end(), records[i].begin() + 4, records[i].end());
  const std::vector<TArt> parts = Children(data, ArtAt(data, 0));
  EXPECT_EQ(Longs(data, parts[0].Data, 2), (TLongs{4, 1027}));
  const std::vector<TArt> shapes = Children(data, parts[1]);
  ASSERT_EQ(shapes.size(), 4u);
  const std::vector<TArt> box = Children(data, shapes[2]);
  ASSERT_EQ(box.size(), 5u);
  EXPECT_EQ(box[0].Instance, 202);  // a text box
  EXPECT_EQ(Longs(data, box[0].Data, 1), (TLongs{1026}));
  // Beside D3: columns E to G, rows 2 to 6.
  EXPECT_EQ(TBytes(data.begin() + box[2].Data, data.begin() + box[2].Data + 18),
            (TBytes{2, 0, 4, 0, 15, 0, 1, 0, 10, 0, 6, 0, 15, 0, 5, 0, 10, 0}));
  EXPECT_EQ(box[4].Type, 0xF00D);
}

TEST_F(DrawingNotes, GroupCountsNotesAndABoxAtTheEdgeStaysOnTheSheet) {
  const TBytes group = JoinedData(StoredGroup(drawings_));
  // Shapes 1024-1027 and 2048-2049; one blip store entry.
  EXPECT_EQ(Longs(group, 8 + 8, 8), (TLongs{2050, 3, 6, 2, 1, 4, 2, 2}));
  const std::vector<TBytes> edge = StoredSheet(drawings_, 1);
  ASSERT_EQ(edge.size(), 7u);
  const TBytes& shape = edge[0];
  // The anchor is the last 18 bytes before the client data atom.
  const size_t anchor = shape.size() - 8 - 18;
  EXPECT_EQ(TBytes(shape.begin() + anchor + 2, shape.begin() + anchor + 6),
            (TBytes{253, 0, 15, 0}));
  // Notes alone: the drawing group has no blip store.
  TXLSDrawings notesOnly;
  notesOnly.SetSheetShapes(0, {}, {{0, 0, u"", u""}});
  const TBytes bare = JoinedData(StoredGroup(notesOnly));
  const std::vector<TArt> parts = Children(bare, ArtAt(bare, 0));
  ASSERT_EQ(parts.size(), 2u);
  EXPECT_EQ(parts[1].Type, 0xF00B);
  const std::vector<TBytes> empty = StoredSheet(notesOnly, 0);
  ASSERT_EQ(empty.size(), 5u);  // no CONTINUE after the TXO of an empty text
  EXPECT_EQ(WordAt(empty[3], 0), xlsrec::kTxo);
  EXPECT_EQ(WordAt(empty[3], 14), 0);
  EXPECT_EQ(WordAt(empty[4], 0), xlsrec::kNote);
}

// The drop-downs of an AutoFilter on A1:B and on the last two columns follow
// a picture and a note, in the same runs of shape and OBJ identifiers.
TEST(DrawingDropDowns, ComboBoxesFollowPicturesAndNotesAndTheGroupCountsThem) {
  TXLSDrawings drawings;
  drawings.SetSheetShapes(0, {Picture(Dib(2, 2), 1)}, {{2, 3, u"Hi", u"Ann"}}, {{0, 0}, {0, 1}});
  drawings.SetSheetShapes(1, {}, {}, {{65535, 254}, {65535, 255}});
  // Shapes 1024-1028 and 2048-2050.
  const TBytes group = JoinedData(StoredGroup(drawings));
  EXPECT_EQ(Longs(group, 8 + 8, 8), (TLongs{2051, 3, 8, 2, 1, 5, 2, 3}));

  const std::vector<TBytes> records = StoredSheet(drawings, 0);
  const std::vector<uint16_t> kIds = {xlsrec::kMsoDrawing, xlsrec::kObj,        xlsrec::kMsoDrawing,
                                      xlsrec::kObj,        xlsrec::kMsoDrawing, xlsrec::kTxo,
                                      xlsrec::kContinue,   xlsrec::kContinue,   xlsrec::kMsoDrawing,
                                      xlsrec::kObj,        xlsrec::kMsoDrawing, xlsrec::kObj,
                                      xlsrec::kNote};
  std::vector<uint16_t> ids;
  for (const TBytes& record : records) ids.push_back(WordAt(record, 0));
  ASSERT_EQ(ids, kIds);
  // OBJ: a combo box (0x14) of identifier 3 flagged as a filter button, its
  // scroll bar, the list of a filter drop-down, end.
  TBytes obj = {0x5D, 0, 70, 0, 0x15, 0, 0x12, 0, 0x14, 0, 3, 0, 0x01, 0x21};
  obj.resize(4 + 22, 0);
  obj.insert(obj.end(),
             {0x0C, 0, 0x14, 0, 0, 0, 0, 0, 0, 0, 0, 0, 100, 0, 1, 0, 10, 0, 0, 0, 16, 0, 1, 0});
  obj.insert(obj.end(), {0x13, 0, 0xEE, 0x1F, 0, 0, 0,    0, 0, 0, 0x01, 0x03,
                         0,    0, 2,    0,    8, 0, 0x40, 0, 0, 0, 0,    0});
  EXPECT_EQ(records[9], obj);
  EXPECT_EQ(WordAt(records[11], 10), 4);
  // The NOTE keeps the note's object identifier, 2.
  EXPECT_EQ(WordAt(records[12], 10), 2);

  // The second drop-down: a host control of shape 1028 over B1.
  const TBytes& shape = records[10];
  const std::vector<TArt> parts = Children(shape, ArtAt(shape, 4));
  ASSERT_EQ(parts.size(), 4u);
  EXPECT_EQ(parts[0].Instance, 201);
  EXPECT_EQ(Longs(shape, parts[0].Data, 1), (TLongs{1028}));
  EXPECT_EQ(TBytes(shape.begin() + parts[2].Data, shape.begin() + parts[2].Data + 18),
            (TBytes{1, 0, 1, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0}));
  // On the sheet's last row and column the button keeps inside the sheet.
  const TBytes last = StoredSheet(drawings, 1)[2];
  const size_t anchor = last.size() - 8 - 18;
  EXPECT_EQ(TBytes(last.begin() + anchor + 2, last.begin() + anchor + 18),
            (TBytes{255, 0, 0, 0, 255, 255, 0, 0, 255, 0, 0, 0, 255, 255, 0, 0}));
}

}  // namespace
}  // namespace tabulon
