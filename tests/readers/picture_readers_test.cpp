// Pictures of a saved workbook as LibreOffice and Gnumeric show them: the
// workbook is converted to .xlsx (or .gnumeric) and
// tests/readers/check_pictures.py lists every picture with its anchor cell,
// offset and size in pixels and a digest of its pixels, and the digests of
// the bitmap files the pictures were made from.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "BitmapFiles.h"
#include "BookTestUtil.h"
#include "OleVariant.h"
#include "XLSWorkSheets.h"
#include "XLSWorkbook.h"
#include "XLSWorksheet.h"

namespace tabulon {
namespace {

using namespace book_test;

struct TPictureLine {
  std::string sheet, cell;
  int dx = 0, dy = 0, width = 0, height = 0;
  std::string pixels;  // image width, height and digest
};

// A picture placed on the sample workbook and what LibreOffice must show.
struct TPlaced {
  std::string sheet, cell;
  int dx, dy, width, height;
  int bitmap;  // index of the bitmap file it was made from
};

const std::vector<TPlaced> kPlaced = {
    {"Report", "B3", 0, 0, 100, 30, 0},
    {"Report", "E2", 10, 5, 18, 42, 1},  // 37 x 21 scaled by 0.5 and 2
    {"Logo", "A1", 0, 0, 30, 15, 2},     // 10 x 5 scaled by 3
};

std::string Quote(const std::string& text) {
  return "'" + text + "'";
}

class PictureReaders : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new std::string(ScratchDir() + "/pictures_" + std::to_string(getpid()));
    RunCommand("rm -rf " + Quote(*dir_));
    mkdir(dir_->c_str(), 0755);
  }
  static void TearDownTestSuite() {
    RunCommand("rm -rf " + Quote(*dir_));
    delete dir_;
  }
  void SetUp() override {
    if (RunCommand("/usr/bin/python3 -c 'import PIL'").status != 0) {
      GTEST_SKIP() << "/usr/bin/python3 lacks PIL";
    }
  }

  static std::string Path(const std::string& name) { return *dir_ + "/" + name; }

  static std::string BitmapArguments() {
    std::string arguments;
    for (const std::string& bitmap : Bitmaps()) arguments += " " + Quote(bitmap);
    return arguments;
  }
  static std::string CheckPictures(const std::string& book) {
    return RunCommand("/usr/bin/python3 " + std::string(TABULON_SOURCE_DIR) +
                      "/tests/readers/check_pictures.py " + Quote(book) + BitmapArguments())
        .output;
  }

  // Bitmaps of 100 x 30, 37 x 21 (rows padded by 1 byte) and 10 x 5 pixels.
  static std::vector<std::string> Bitmaps() {
    return {bitmap_test::Save(Path("wide.bmp"), bitmap_test::Bitmap(100, 30)),
            bitmap_test::Save(Path("odd.bmp"), bitmap_test::Bitmap(37, 21)),
            bitmap_test::Save(Path("small.bmp"), bitmap_test::Bitmap(10, 5))};
  }

  // Two pictures on "Report", one on "Logo", and a refused file of every kind
  // tried on the way.
  static void Build(TXLSWorkbook& book, const std::vector<std::string>& bitmaps) {
    TXLSWorkSheets& sheets = book.GetSheets();
    sheets.Add();
    sheets.Add();
    TXLSWorksheet& report = *sheets.GetSheet(1);
    TXLSWorksheet& logo = *sheets.GetSheet(2);
    report.SetWorkSheetName("Report");
    logo.SetWorkSheetName("Logo");
    report.FGetRange("A1", "A1")->SetValue(OleVariant("Quarterly report"));
    ASSERT_EQ(report.InsertBitmap(2, 1, bitmaps[0]), 1) << report.GetLastError();
    ASSERT_EQ(report.InsertBitmap(1, 4, bitmaps[1], 10, 5, 0.5f, 2.0f), 1);
    ASSERT_EQ(logo.InsertBitmap(0, 0, bitmaps[2], 0, 0, 3.0f, 3.0f), 1);
    std::string spoiled = bitmap_test::Bitmap(10, 5);
    bitmap_test::SetWord(spoiled, 28, 8);
    const std::vector<std::string> bad = {
        Path("missing.bmp"), bitmap_test::Save(Path("8bit.bmp"), spoiled),
        bitmap_test::Save(Path("cut.bmp"), bitmap_test::Bitmap(10, 5).substr(0, 100))};
    for (const std::string& file : bad) EXPECT_EQ(report.InsertBitmap(5, 0, file), -1) << file;
    EXPECT_EQ(report.InsertBitmap(5, 0, bitmaps[0], 0, 0, 0.0f, 1.0f), -1);
  }

  // LibreOffice's view of each file: its picture lines, then bitmap lines.
  static std::vector<std::string> Convert(const std::vector<std::string>& books) {
    std::string files;
    for (const std::string& book : books) files += " " + Quote(book);
    RunCommand("cd " + Quote(*dir_) + " && soffice -env:UserInstallation=file://" + *dir_ +
               "/lo_profile --headless --convert-to xlsx --outdir lo" + files);
    std::vector<std::string> views;
    for (const std::string& book : books) {
      const std::string name = book.substr(book.rfind('/') + 1);
      views.push_back(CheckPictures(Path("lo/" + name.substr(0, name.size() - 4) + ".xlsx")));
    }
    return views;
  }

  static std::string* dir_;
};

std::string* PictureReaders::dir_ = nullptr;

std::vector<TPictureLine> Pictures(const std::string& view) {
  std::vector<TPictureLine> pictures;
  std::istringstream lines(view);
  for (std::string line; std::getline(lines, line);) {
    std::istringstream words(line);
    std::string kind, width, height, digest;
    TPictureLine p;
    words >> kind;
    if (kind != "picture") continue;
    words >> p.sheet >> p.cell >> p.dx >> p.dy >> p.width >> p.height >> width >> height >> digest;
    p.pixels = width + " " + height + " " + digest;
    pictures.push_back(p);
  }
  return pictures;
}

std::string BitmapPixels(const std::string& view, int index) {
  const std::string prefix = "bitmap " + std::to_string(index) + " ";
  const size_t at = view.find(prefix);
  return at == std::string::npos
             ? ""
             : view.substr(at + prefix.size(), view.find('\n', at) - at - prefix.size());
}

// LibreOffice measures cells with its own font metrics (a default column is
// about 68 pixels to the 64 the anchor assumes), so sizes and offsets agree
// within a few percent.
void ExpectNear(int actual, int expected, const std::string& what) {
  EXPECT_LE(std::abs(actual - expected), 2 + expected * 7 / 100)
      << what << ": " << actual << " instead of " << expected;
}

void ExpectPlaced(const std::string& view) {
  const std::vector<TPictureLine> pictures = Pictures(view);
  ASSERT_EQ(pictures.size(), kPlaced.size()) << view;
  for (size_t i = 0; i < kPlaced.size(); ++i) {
    const TPlaced& want = kPlaced[i];
    const TPictureLine& got = pictures[i];
    EXPECT_EQ(got.sheet, want.sheet) << view;
    EXPECT_EQ(got.cell, want.cell) << view;
    ExpectNear(got.dx, want.dx, want.cell + " dx");
    ExpectNear(got.dy, want.dy, want.cell + " dy");
    ExpectNear(got.width, want.width, want.cell + " width");
    ExpectNear(got.height, want.height, want.cell + " height");
    EXPECT_EQ(got.pixels, BitmapPixels(view, want.bitmap)) << "pixels of " << want.cell;
  }
}

TEST_F(PictureReaders, EveryPictureSitsAtItsCellWithItsSizeAndPixels) {
  if (RunCommand("command -v soffice").status != 0) GTEST_SKIP() << "soffice is not installed";
  TXLSWorkbook book;
  Build(book, Bitmaps());
  const std::string first = Path("pictures.xls");
  const std::string second = Path("pictures_again.xls");
  ASSERT_EQ(book.SaveAs(first), 1) << book.GetLastError();
  ASSERT_EQ(book.SaveAs(second), 1) << book.GetLastError();

  const std::vector<std::string> views = Convert({first, second});
  ExpectPlaced(views[0]);
  // A second save of the same workbook carries the same pictures.
  ExpectPlaced(views[1]);
  const TRun cell = RunCommand(
      "/usr/bin/python3 -c \"import xlrd,sys; print(xlrd.open_workbook(sys.argv[1])"
      ".sheet_by_name('Report').cell_value(0, 0))\" " +
      Quote(first));
  EXPECT_EQ(cell.output, "Quarterly report\n");
}

// Gnumeric checks the picture's OBJ and IMDATA records more strictly than
// the other readers; it opens our pictures without calling the file damaged
// and keeps each one's pixels at its cell, also in the logo example's report.
TEST_F(PictureReaders, GnumericKeepsEveryPictureWithoutAWarning) {
  if (RunCommand("command -v ssconvert").status != 0) GTEST_SKIP() << "ssconvert is not installed";
  TXLSWorkbook book;
  Build(book, Bitmaps());
  const std::string xls = Path("gnumeric.xls");
  ASSERT_EQ(book.SaveAs(xls), 1) << book.GetLastError();
  const std::string logo = Path("logo_report.xls");
  const std::string example =
      std::string(TABULON_BINARY_DIR) + "/example_logo_report" + TABULON_FLAVOUR;
  ASSERT_EQ(RunCommand(Quote(example) + " " + Quote(logo)).status, 0);

  for (const std::string& file : {xls, logo}) {
    const TRun convert = RunCommand("ssconvert " + Quote(file) + " " + Quote(file + ".gnumeric"));
    EXPECT_EQ(convert.output, "") << file;
  }
  const std::string view = CheckPictures(xls + ".gnumeric");
  for (const TPlaced& placed : kPlaced) {
    const std::string line = "image " + placed.sheet + " " + placed.cell + " " +
                             BitmapPixels(view, placed.bitmap) + "\n";
    EXPECT_NE(view.find(line), std::string::npos) << line << view;
  }
  const std::string logoView = CheckPictures(logo + ".gnumeric");
  EXPECT_EQ(logoView.find("image Sales A1 96 48 "), 0u) << logoView;
}

}  // namespace
}  // namespace tabulon
