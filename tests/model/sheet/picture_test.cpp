#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "BitmapFiles.h"
#include "BookTestUtil.h"
#include "OleVariant.h"
#include "SheetRecords.h"
#include "XLSByteOrder.h"
#include "XLSColRowInfo.h"
#include "XLSPicture.h"
#include "XLSRecordIds.h"

namespace tabulon {
namespace {

using namespace bitmap_test;
using testing_records::TBook;
using testing_records::TBytes;
using testing_records::WordAt;

// A bitmap file in the scratch directory, named after the test and the tag.
std::string BitmapPath(const std::string& tag) {
  const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
  return book_test::ScratchDir() + "/" + test->name() + "_" + tag + "_" + std::to_string(getpid()) +
         ".bmp";
}

std::string SavedBitmap(uint32_t width, uint32_t height, const std::string& tag = "ok") {
  return Save(BitmapPath(tag), Bitmap(width, height));
}

uint32_t LongAt(const std::string& bytes, size_t pos) {
  return XLSGetLE<uint32_t>(reinterpret_cast<const uint8_t*>(bytes.data()) + pos);
}

// ---- Reading the file -------------------------------------------------------

TEST(PictureFile, TenByFiveKeepsItsPaddedRowsBehindTheCoreHeader) {
  TXLSBitmap bitmap;
  std::string error;
  ASSERT_EQ(ProcessBitmap(SavedBitmap(10, 5), bitmap, error), 1) << error;
  EXPECT_EQ(bitmap.Width, 10);
  EXPECT_EQ(bitmap.Height, 5);
  ASSERT_EQ(bitmap.Data.size(), 172u);  // 12 + 5 rows of 32 bytes
  EXPECT_EQ(LongAt(bitmap.Data, 0), 12u);
  EXPECT_EQ(bitmap.Data.substr(4, 8), std::string("\x0A\0\x05\0\x01\0\x18\0", 8));
  EXPECT_EQ(bitmap.Data.substr(12), PixelRows(10, 5));
}

TEST(PictureFile, EveryRowPaddingIsKept) {
  for (uint32_t width : {1u, 2u, 3u, 4u, 5u, 33u}) {
    TXLSBitmap bitmap;
    std::string error;
    ASSERT_EQ(ProcessBitmap(SavedBitmap(width, 3), bitmap, error), 1) << width << error;
    EXPECT_EQ(bitmap.Data.size(), 12 + RowSize(width) * 3) << width;
    EXPECT_EQ(bitmap.Data.substr(12), PixelRows(width, 3)) << width;
  }
}

TEST(PictureFile, PixelRowsAreTakenFromTheirDeclaredOffset) {
  // A larger information header moves the pixel rows further back.
  const std::string rows = PixelRows(3, 2);
  std::string file = Bitmap(3, 2).substr(0, 54) + std::string(84, '\x7F') + rows;
  SetLong(file, 2, static_cast<uint32_t>(file.size()));
  SetLong(file, 10, 138);
  SetLong(file, 14, 124);
  TXLSBitmap bitmap;
  std::string error;
  ASSERT_EQ(ProcessBitmap(Save(BitmapPath("v5"), file), bitmap, error), 1) << error;
  EXPECT_EQ(bitmap.Data.substr(12), rows);
}

struct TBadFile {
  const char* name;
  std::string bytes;
  const char* reason;  // a part of the error text
};

std::string Spoiled(void (*spoil)(std::string&)) {
  std::string file = Bitmap(10, 5);
  spoil(file);
  return file;
}

std::vector<TBadFile> BadFiles() {
  const std::string png = std::string("\x89PNG\r\n\x1a\n", 8) + std::string(100, '\0');
  return {
      {"short", Bitmap(10, 5).substr(0, 54), "54 bytes or shorter"},
      {"png", png, "no BM signature"},
      {"truncated", Bitmap(10, 5).substr(0, 150), "declares 214 bytes but holds only 150"},
      {"size_too_large", Spoiled([](std::string& f) { SetLong(f, 2, 100000); }), "declares"},
      {"core_header", Spoiled([](std::string& f) { SetLong(f, 14, 12); }), "information header"},
      {"width_0", Spoiled([](std::string& f) { SetLong(f, 18, 0); }), "width 0"},
      {"height_0", Spoiled([](std::string& f) { SetLong(f, 22, 0); }), "height 0"},
      {"width_65536", Spoiled([](std::string& f) { SetLong(f, 18, 65536); }), "width 65536"},
      {"top_down", Spoiled([](std::string& f) { SetLong(f, 22, static_cast<uint32_t>(-5)); }),
       "negative height"},
      {"height_70000", Spoiled([](std::string& f) { SetLong(f, 22, 70000); }), "height 70000"},
      {"8_bit", Spoiled([](std::string& f) { SetWord(f, 28, 8); }), "8 bits per pixel"},
      {"planes_2", Spoiled([](std::string& f) { SetWord(f, 26, 2); }), "2 planes"},
      {"compressed", Spoiled([](std::string& f) { SetLong(f, 30, 1); }), "compressed"},
      // Declared size and file agree, but the rows of 5 x 32 bytes do not fit.
      {"rows_past_size", Spoiled([](std::string& f) { f.resize(150), SetLong(f, 2, 150); }),
       "past its declared size"},
      {"offset_inside_header", Spoiled([](std::string& f) { SetLong(f, 10, 14); }), "at offset 14"},
  };
}

TEST(PictureFile, EveryBadFileIsRefusedWithItsReason) {
  for (const TBadFile& bad : BadFiles()) {
    TXLSBitmap bitmap;
    std::string error;
    const std::string path = Save(BitmapPath(bad.name), bad.bytes);
    EXPECT_EQ(ProcessBitmap(path, bitmap, error), -1) << bad.name;
    EXPECT_NE(error.find(bad.reason), std::string::npos) << bad.name << ": " << error;
    EXPECT_NE(error.find(path), std::string::npos) << bad.name << ": " << error;
    EXPECT_TRUE(bitmap.Data.empty()) << bad.name;
  }
}

TEST(PictureFile, MissingFileCannotBeOpened) {
  TXLSBitmap bitmap;
  std::string error;
  EXPECT_EQ(ProcessBitmap(BitmapPath("missing"), bitmap, error), -1);
  EXPECT_NE(error.find("cannot open"), std::string::npos) << error;
}

// ---- Anchoring --------------------------------------------------------------

class PicturePosition : public ::testing::Test {
 protected:
  TXLSCellGeometry Geometry() {
    return TXLSCellGeometry(sheet().GetColumnInfo(), sheet().GetRowInfo());
  }
  TXLSWorksheet& sheet() { return book_.Sheet(); }
  // The anchor PositionImage gives, failing the test when it refuses.
  TXLSPictureAnchor Anchor(uint16_t col, uint16_t row, uint16_t x, uint16_t y, uint16_t width,
                           uint16_t height) {
    TXLSPictureAnchor anchor;
    std::string error;
    EXPECT_EQ(PositionImage(Geometry(), col, row, x, y, width, height, anchor, error), 1) << error;
    return anchor;
  }

  TBook book_;
};

TEST_F(PicturePosition, DefaultCellsAre64By17Pixels) {
  EXPECT_EQ(Geometry().SizeCol(0), 64u);
  EXPECT_EQ(Geometry().SizeCol(255), 64u);
  EXPECT_EQ(Geometry().SizeRow(0), 17u);
  EXPECT_EQ(Geometry().SizeRow(65535), 17u);
}

TEST_F(PicturePosition, HundredByThirtyAtRow2Column1) {
  const TXLSPictureAnchor a = Anchor(1, 2, 0, 0, 100, 30);
  EXPECT_EQ(a.ColL, 1);
  EXPECT_EQ(a.DxL, 0);
  EXPECT_EQ(a.RowT, 2);
  EXPECT_EQ(a.DyT, 0);
  EXPECT_EQ(a.ColR, 2);
  EXPECT_EQ(a.DxR, 560);  // rnd(35 / 64 * 1024)
  EXPECT_EQ(a.RowB, 3);
  EXPECT_EQ(a.DyB, 181);  // rnd(12 / 17 * 256)
}

TEST_F(PicturePosition, OffsetsInsideTheCellMoveBothEdges) {
  const TXLSPictureAnchor a = Anchor(0, 0, 32, 8, 32, 9);
  EXPECT_EQ(a.DxL, 512);
  EXPECT_EQ(a.DyT, 120);  // rnd(8 / 17 * 256) = rnd(120.47)
  EXPECT_EQ(a.ColR, 0);
  EXPECT_EQ(a.DxR, 1008);  // the last pixel, 63
  EXPECT_EQ(a.RowB, 0);
  EXPECT_EQ(a.DyB, 241);  // pixel 16
}

TEST_F(PicturePosition, OffsetsNotInsideTheCellCountAsZero) {
  const TXLSPictureAnchor a = Anchor(3, 4, 70, 20, 10, 10);
  EXPECT_EQ(a.DxL, 0);
  EXPECT_EQ(a.DyT, 0);
  EXPECT_EQ(a.ColR, 3);
  EXPECT_EQ(a.DxR, 144);  // rnd(9 / 64 * 1024)
}

TEST_F(PicturePosition, WideColumnsAndHiddenRowsAreMeasured) {
  sheet().GetColumnInfo().SetWidth(1, 17.57f);  // 128 pixels
  sheet().GetRowInfo().SetHidden(1, true);
  sheet().GetRowInfo().SetHeight(2, 25.5f);  // 34 pixels
  EXPECT_EQ(Geometry().SizeCol(1), 128u);
  EXPECT_EQ(Geometry().SizeRow(1), 0u);
  EXPECT_EQ(Geometry().SizeRow(2), 34u);
  const TXLSPictureAnchor a = Anchor(1, 0, 0, 0, 100, 30);
  EXPECT_EQ(a.ColR, 1);
  EXPECT_EQ(a.DxR, 792);  // rnd(99 / 128 * 1024)
  EXPECT_EQ(a.RowB, 2);   // 17 pixels of row 0, none of row 1, 13 of row 2
  EXPECT_EQ(a.DyB, 90);   // rnd(12 / 34 * 256)
}

TEST_F(PicturePosition, AHiddenStartColumnAnchorsAtItsLeftEdge) {
  sheet().GetColumnInfo().SetHidden(2, true);
  const TXLSPictureAnchor a = Anchor(2, 0, 10, 0, 64, 17);
  EXPECT_EQ(a.DxL, 0);
  EXPECT_EQ(a.ColR, 3);
  EXPECT_EQ(a.DxR, 1008);
}

TEST_F(PicturePosition, PicturesReachingPastTheSheetAreRefused) {
  TXLSPictureAnchor anchor;
  std::string error;
  EXPECT_EQ(PositionImage(Geometry(), 255, 0, 0, 0, 65, 1, anchor, error), -1);
  EXPECT_NE(error.find("last column"), std::string::npos) << error;
  EXPECT_EQ(PositionImage(Geometry(), 0, 65535, 0, 0, 1, 18, anchor, error), -1);
  EXPECT_NE(error.find("last row"), std::string::npos) << error;
  EXPECT_EQ(PositionImage(Geometry(), 256, 0, 0, 0, 1, 1, anchor, error), -1);
  // The very last pixel of the sheet is still inside it.
  EXPECT_EQ(PositionImage(Geometry(), 255, 65535, 0, 0, 64, 17, anchor, error), 1) << error;
  EXPECT_EQ(anchor.DxR, 1008);
}

// ---- Insertion through the worksheet -----------------------------------------

class PictureInsert : public ::testing::Test {
 protected:
  TXLSWorksheet& sheet() { return book_.Sheet(); }
  TXLSPictures& pictures() { return sheet().GetPictures(); }

  TBook book_;
};

TEST_F(PictureInsert, ShortFormsUseNoOffsetAndScaleOne) {
  IXLSWorkSheet& sheet = this->sheet();
  const std::string file = SavedBitmap(100, 30);
  ASSERT_EQ(sheet.InsertBitmap(2, 1, file), 1);
  ASSERT_EQ(sheet.InsertBitmap(2, 1, file, 32, 8), 1);
  ASSERT_EQ(pictures().GetCount(), 2u);
  EXPECT_EQ(pictures().Get(0).Anchor.DxR, 560);
  EXPECT_EQ(pictures().Get(1).Anchor.DxL, 512);
  EXPECT_EQ(pictures().Get(1).Anchor.ColR, 3);  // 32 + 99 pixels from the left of column 1
  EXPECT_EQ(pictures().Get(1).Anchor.DxR, 48);  // rnd(3 / 64 * 1024)
}

TEST_F(PictureInsert, ScaleChangesTheAnchorNotTheData) {
  const std::string file = SavedBitmap(100, 30);
  ASSERT_EQ(sheet().InsertBitmap(2, 1, file, 0, 0, 0.5f, 2.0f), 1);
  const TXLSPicture& picture = pictures().Get(0);
  EXPECT_EQ(picture.Anchor.ColR, 1);
  EXPECT_EQ(picture.Anchor.DxR, 784);  // 50 pixels: rnd(49 / 64 * 1024)
  EXPECT_EQ(picture.Anchor.RowB, 5);   // 60 pixels: rows 2 to 4 hold 51
  EXPECT_EQ(picture.Anchor.DyB, 120);  // rnd(8 / 17 * 256)
  EXPECT_EQ(picture.Data.size(), 12 + RowSize(100) * 30);
}

TEST_F(PictureInsert, ScaledSizeIsRoundedHalfToEven) {
  // 5 x 7 pixels at half size: 2.5 gives 2, 3.5 gives 4.
  ASSERT_EQ(sheet().InsertBitmap(0, 0, SavedBitmap(5, 7), 0, 0, 0.5f, 0.5f), 1);
  EXPECT_EQ(pictures().Get(0).Anchor.DxR, 16);  // pixel 1
  EXPECT_EQ(pictures().Get(0).Anchor.DyB, 45);  // pixel 3
}

TEST_F(PictureInsert, ScalesGivingNoPixelsOrTooManyAreRefused) {
  const std::string file = SavedBitmap(100, 30);
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  for (auto [sx, sy] : std::vector<std::pair<float, float>>{
           {0.0f, 1.0f}, {1.0f, -1.0f}, {0.004f, 1.0f}, {656.0f, 1.0f}, {nan, 1.0f}, {1.0f, inf}}) {
    EXPECT_EQ(sheet().InsertBitmap(0, 0, file, 0, 0, sx, sy), -1) << sx << " " << sy;
    EXPECT_NE(sheet().GetLastError().find("not 1 to 65535 pixels"), std::string::npos)
        << sheet().GetLastError();
  }
  EXPECT_EQ(pictures().GetCount(), 0u);
}

TEST_F(PictureInsert, RefusalKeepsItsReasonUntilTheNextSuccess) {
  EXPECT_EQ(sheet().InsertBitmap(0, 0, BitmapPath("missing")), -1);
  EXPECT_NE(sheet().GetLastError().find("cannot open"), std::string::npos);
  EXPECT_EQ(sheet().InsertBitmap(0, 255, SavedBitmap(100, 30)), -1);
  EXPECT_NE(sheet().GetLastError().find("last column"), std::string::npos);
  EXPECT_EQ(sheet().InsertBitmap(0, 0, SavedBitmap(1, 1)), 1);
  EXPECT_EQ(sheet().GetLastError(), "");
  EXPECT_EQ(pictures().GetCount(), 1u);
}

// ---- Records ----------------------------------------------------------------

// The sheet's part of a save; the data section's records stay for inspection.
std::vector<TBytes> SavedDataRecords(TXLSWorksheet& sheet) {
  sheet.BeginSave();
  EXPECT_EQ(sheet.StoreCells(), 1);
  EXPECT_EQ(sheet.Close(), 1);
  return testing_records::DataRecords(sheet);
}

TEST_F(PictureInsert, ObjRecordCarriesTheAnchorAndFixedFields) {
  ASSERT_EQ(sheet().InsertBitmap(2, 1, SavedBitmap(100, 30)), 1);
  const std::vector<TBytes> obj = testing_records::WithId(SavedDataRecords(sheet()), xlsrec::kObj);
  ASSERT_EQ(obj.size(), 1u);
  const TBytes expected = {0x5D, 0x00, 70, 0,                   // OBJ, 60 bytes and the name
                           1, 0, 0, 0, 8, 0, 1, 0, 0x14, 0x06,  // one picture object, id 1, options
                           1, 0, 0, 0, 2, 0, 0, 0,              // column 1 + 0, row 2 + 0
                           2, 0, 0x30, 0x02, 3, 0, 181, 0,      // column 2 + 560, row 3 + 181
                           0, 0, 0, 0, 9, 0, 0, 0,              // no macro, name of 9 bytes
                           9, 9, 0, 0, 8, 0xFF, 1, 0,           // colours, fill, line none
                           0, 0, 9, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // frame, bitmap format, no
                                                                // formula
                           1, 0, 0, 0, 0, 0, 9, 'P', 'i', 'c', 't', 'u', 'r', 'e', ' ', '1'};
  EXPECT_EQ(obj[0], expected);
}

TEST_F(PictureInsert, DrawingPicturesCarryTheObjAnchorAndTheBitmapAsDib) {
  ASSERT_EQ(sheet().InsertBitmap(2, 1, SavedBitmap(10, 5)), 1);
  ASSERT_EQ(sheet().InsertBitmap(0, 0, SavedBitmap(3, 2, "second")), 1);
  const std::vector<TXLSDrawingPicture> drawing = pictures().DrawingPictures();
  ASSERT_EQ(drawing.size(), 2u);
  const TXLSPictureAnchor& a = pictures().Get(0).Anchor;
  const TXLSDrawingAnchor& d = drawing[0].Anchor;
  EXPECT_EQ((std::vector<uint16_t>{d.Col1, d.Dx1, d.Row1, d.Dy1, d.Col2, d.Dx2, d.Row2, d.Dy2}),
            (std::vector<uint16_t>{a.ColL, a.DxL, a.RowT, a.DyT, a.ColR, a.DxR, a.RowB, a.DyB}));
  EXPECT_EQ(drawing[1].Name, "Picture 2");
  // The bitmap file without its file header: the same information header
  // and rows.
  EXPECT_EQ(drawing[0].Dib, Dib(10, 5));
}

TEST_F(PictureInsert, SmallImDataIsOneRecordRightAfterItsObj) {
  sheet().FGetRange("A1", "A1")->SetValue(OleVariant("title"));
  ASSERT_EQ(sheet().InsertBitmap(0, 0, SavedBitmap(10, 5)), 1);
  const std::vector<TBytes> records = SavedDataRecords(sheet());
  ASSERT_GE(records.size(), 4u);
  EXPECT_EQ(WordAt(records[0], 0), xlsrec::kLabel);
  EXPECT_EQ(WordAt(records[1], 0), xlsrec::kObj);
  EXPECT_EQ(WordAt(records[3], 0), xlsrec::kBottomMargin);
  const TBytes& imdata = records[2];
  ASSERT_EQ(WordAt(imdata, 0), xlsrec::kImData);
  // The picture data's 172 bytes and one byte past them (see MakeImDataRecord).
  EXPECT_EQ(WordAt(imdata, 2), 181);
  EXPECT_EQ(TBytes(imdata.begin() + 4, imdata.begin() + 16),
            (TBytes{9, 0, 1, 0, 172, 0, 0, 0, 12, 0, 0, 0}));
  EXPECT_EQ(std::string(imdata.begin() + 16, imdata.end()),
            std::string("\x0A\0\x05\0\x01\0\x18\0", 8) + PixelRows(10, 5) + '\0');
}

TEST_F(PictureInsert, LargeImDataContinuesInSlicesOf2080Bytes) {
  // 200 x 100 pixels: 60000 bytes of rows, 60012 of picture data.
  ASSERT_EQ(sheet().InsertBitmap(0, 0, SavedBitmap(200, 100)), 1);
  const std::vector<TBytes> records = SavedDataRecords(sheet());
  ASSERT_EQ(WordAt(records[1], 0), xlsrec::kImData);
  EXPECT_EQ(WordAt(records[1], 2), 2076);
  std::string joined(records[1].begin() + 4, records[1].end());
  size_t continues = 0;
  for (size_t i = 2; WordAt(records[i], 0) == xlsrec::kContinue; ++i, ++continues) {
    EXPECT_LE(records[i].size(), 2084u);
    joined.append(records[i].begin() + 4, records[i].end());
  }
  EXPECT_EQ(continues, (60021u - 2076 + 2079) / 2080);
  ASSERT_EQ(joined.size(), 60021u);
  EXPECT_EQ(LongAt(joined, 4), 60012u);
  EXPECT_EQ(joined.substr(20), PixelRows(200, 100) + '\0');
}

TEST_F(PictureInsert, EverySaveCarriesEveryPicture) {
  ASSERT_EQ(sheet().InsertBitmap(0, 0, SavedBitmap(10, 5)), 1);
  ASSERT_EQ(sheet().InsertBitmap(4, 2, SavedBitmap(3, 3, "second")), 1);
  for (int save = 0; save < 2; ++save) {
    const std::vector<book_test::TRecord> records = book_test::BookRecords(book_.book);
    ASSERT_FALSE(records.empty());
    const auto objs = book_test::WithId(records, xlsrec::kObj);
    ASSERT_EQ(objs.size(), 2u) << "save " << save;
    EXPECT_EQ(objs[1].Word(14), 4);  // top row of the second picture
    EXPECT_EQ(objs[1].data.back(), '2') << "named Picture 2";
    EXPECT_EQ(book_test::WithId(records, xlsrec::kImData).size(), 2u);
  }
}

TEST_F(PictureInsert, BadFilesLeaveTheWorkbookSaving) {
  sheet().FGetRange("A1", "A1")->SetValue(OleVariant("kept"));
  for (const TBadFile& bad : BadFiles()) {
    EXPECT_EQ(sheet().InsertBitmap(0, 0, Save(BitmapPath(bad.name), bad.bytes)), -1) << bad.name;
    EXPECT_NE(sheet().GetLastError().find(bad.reason), std::string::npos) << bad.name;
  }
  EXPECT_EQ(pictures().GetCount(), 0u);
  const std::string path = BitmapPath("book") + ".xls";
  ASSERT_EQ(book_.book.SaveAs(path), 1) << book_.book.GetLastError();
  const book_test::TRun read = book_test::RunCommand(
      "/usr/bin/python3 -c \"import xlrd,sys; print(xlrd.open_workbook(sys.argv[1])"
      ".sheet_by_index(0).cell_value(0, 0))\" '" +
      path + "'");
  EXPECT_EQ(read.output, "kept\n");
}

}  // namespace
}  // namespace tabulon
