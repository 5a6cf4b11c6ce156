#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "BitmapFiles.h"
#include "ToolRun.h"

namespace tabulon {
namespace {

using test::Contains;

std::string Example() {
  return std::string(TABULON_BINARY_DIR) + "/example_logo_report" + TABULON_FLAVOUR;
}

// The OBJ anchors and IMDATA picture sizes in the file's "Book" stream.
std::string PictureRecords(const std::string& path) {
  const std::string script =
      "import olefile,struct,sys\n"
      "b=olefile.OleFileIO(sys.argv[1]).openstream('Book').read()\n"
      "p=0\n"
      "while p+4<=len(b):\n"
      "  i,n=struct.unpack_from('<HH',b,p)\n"
      "  if i==0x5D: print('obj',*struct.unpack_from('<8H',b,p+14))\n"
      "  if i==0x7F: print('imdata',struct.unpack_from('<I',b,p+8)[0])\n"
      "  p+=4+n\n";
  return test::Run({"/usr/bin/python3", "-c", script, path}).Out;
}

TEST(LogoReportExample, PlacesItsOwnLogoOverTheReport) {
  const std::string path = test::ScratchDir() + "/logo_report.xls";
  std::remove(path.c_str());
  const test::TRunResult run = test::Run({Example(), path});
  ASSERT_EQ(run.Status, 0) << run.Err;
  EXPECT_TRUE(test::FileExists(path + ".logo.bmp"));

  const std::string dump = test::DumpXls(path);
  EXPECT_TRUE(Contains(dump, "C2 text Quarterly sales report\n")) << dump;
  EXPECT_TRUE(Contains(dump, "A10 text West\nB10 number 760.8\n")) << dump;
  // 96 x 48 pixels at 0.75 from (4, 4) in A1 (14 characters: 103 pixels
  // wide, 17 high): 72 x 36 pixels, ending at pixel 75 of column A and pixel
  // 5 of row 3.
  EXPECT_EQ(PictureRecords(path), "obj 0 40 0 60 0 746 2 75\nimdata 13836\n");
}

TEST(LogoReportExample, UsesTheLogoItIsGiven) {
  const std::string logo =
      bitmap_test::Save(test::ScratchDir() + "/given_logo.bmp", bitmap_test::Bitmap(20, 10));
  const std::string path = test::ScratchDir() + "/logo_report_given.xls";
  const test::TRunResult run = test::Run({Example(), path, logo});
  ASSERT_EQ(run.Status, 0) << run.Err;
  EXPECT_TRUE(Contains(PictureRecords(path), "imdata 612\n"));  // 12 + 10 rows of 60 bytes
}

TEST(LogoReportExample, RefusedLogoIsReportedWithItsReason) {
  const std::string logo = test::ScratchDir() + "/not_a_logo.bmp";
  test::WriteFile(logo, std::string(100, 'x'));
  const test::TRunResult run =
      test::Run({Example(), test::ScratchDir() + "/logo_report_bad.xls", logo});
  EXPECT_EQ(run.Status, 1);
  EXPECT_TRUE(Contains(run.Err, "no BM signature")) << run.Err;
}

TEST(LogoReportExample, WithoutAnOutputNameItExplainsItsUse) {
  const test::TRunResult run = test::Run({Example()});
  EXPECT_EQ(run.Status, 2);
  EXPECT_TRUE(Contains(run.Err, "usage:")) << run.Err;
}

}  // namespace
}  // namespace tabulon
