#include <gtest/gtest.h>

#include "RecordBytes.h"
#include "xlsxf.h"

namespace tabulon {
namespace {

using namespace testing_records;

constexpr uint8_t kLeft = 0x01;
constexpr uint8_t kRight = 0x02;
constexpr uint8_t kTop = 0x04;
constexpr uint8_t kBottom = 0x08;
constexpr uint8_t kAllEdges = 0x0F;

class BorderAndFill : public ::testing::Test {
 protected:
  BorderAndFill() { XFs.CreateDefault(); }

  std::string BorderBlock(int32_t xf) const { return XFs.GetKey(xf).substr(19, 16); }
  std::string BackgroundBlock(int32_t xf) const { return XFs.GetKey(xf).substr(35, 6); }

  TBytes SavedXF(int32_t xf) {
    XFs.CreateAllReferredList();
    TXLSBlobList list;
    EXPECT_EQ(XFs.GetXFBlob(XFs.GetSaveIndex(xf) - 1, list), 1);
    return ListBytes(list);
  }

  TXLSXFList XFs;
};

TEST_F(BorderAndFill, ContinuousLeftEdgeGetsTheAutomaticColour) {
  const int32_t xf = XFs.SetBorderLineStyle(15, kLeft, 1, true);
  EXPECT_EQ(BorderBlock(xf), "0040000100000000");
  EXPECT_TRUE(XFs.GetBordersDefined(xf));
  EXPECT_FALSE(XFs.GetBordersDefined(15));
  EXPECT_EQ(XFs.GetBorderLineStyle(xf, kLeft), 1);
  EXPECT_EQ(XFs.GetBorderWeight(xf, kLeft), 2);
  EXPECT_EQ(XFs.GetBorderColorIndex(xf, kLeft), -4105);
  EXPECT_EQ(XFs.GetBorderLineStyle(xf, kRight), -4142);
}

TEST_F(BorderAndFill, WeightOnAnEdgeWithoutLineGivesAContinuousLine) {
  const int32_t xf = XFs.SetBorderWeight(15, kBottom, -4138, true);
  EXPECT_EQ(XFs.GetBorderLineStyle(xf, kBottom), 1);
  EXPECT_EQ(XFs.GetBorderWeight(xf, kBottom), -4138);
  EXPECT_EQ(XFs.GetBorderColorIndex(xf, kBottom), -4105);
  EXPECT_EQ(BorderBlock(xf), "0000200000002000");
}

TEST_F(BorderAndFill, NoLineClearsCodesAndColours) {
  int32_t xf = XFs.SetBorderLineStyle(15, kAllEdges, -4115, true);
  xf = XFs.SetBorderColorIndex(xf, kAllEdges, 5, true);
  xf = XFs.SetBorderLineStyle(xf, kAllEdges, -4142, true);
  EXPECT_EQ(BorderBlock(xf), "0000000000000000");
  EXPECT_TRUE(XFs.GetBordersDefined(xf));
}

TEST_F(BorderAndFill, LineStyleKeepsTheWeight) {
  const int32_t medium = XFs.SetBorderWeight(15, kLeft, -4138, true);
  EXPECT_EQ(XFs.GetBorderLineStyle(XFs.SetBorderLineStyle(medium, kLeft, 4, false), kLeft), 4);
  EXPECT_EQ(XFs.GetBorderWeight(XFs.SetBorderLineStyle(medium, kLeft, 4, false), kLeft), -4138);
  EXPECT_EQ(XFs.GetBorderWeight(XFs.SetBorderLineStyle(15, kLeft, 4, false), kLeft), 2);
}

TEST_F(BorderAndFill, CodeMappingsRoundTrip) {
  for (uint8_t code = 1; code <= 12; ++code) {
    const int32_t style = GetLineStyleFromBorderStyle(code);
    const int32_t weight = GetWeightFromBorderStyle(code);
    EXPECT_EQ(GetXFBorderLineStyle(style, weight, true), code) << int(code);
    EXPECT_EQ(GetXFBorderLineStyle(style, weight, false), code) << int(code);
  }
  EXPECT_EQ(GetXFBorderLineStyle(13, 2, true), 12);
  EXPECT_EQ(GetLineStyleFromBorderStyle(14), -4142);
  EXPECT_EQ(GetWeightFromBorderStyle(14), 2);
}

TEST_F(BorderAndFill, ColourOnAnEdgeWithoutLineGivesAThinLine) {
  const int32_t xf = XFs.SetBorderColorIndex(15, kRight, 3, true);
  EXPECT_EQ(XFs.GetBorderLineStyle(xf, kRight), 1);
  EXPECT_EQ(XFs.GetBorderColorIndex(xf, kRight), 3);
  EXPECT_EQ(BorderBlock(xf), "0500001000000000");  // colour 10 in bits 23-29
}

TEST_F(BorderAndFill, StoredColoursReadBackAsCallerIndexes) {
  std::string key = XFs.GetKey(15);
  key.replace(19, 16, "0041000100000000");  // left colour 65
  key.replace(41, 2, "08");
  EXPECT_EQ(XFs.GetBorderColorIndex(XFs.SetKey(0, key), kLeft), 58);
}

TEST_F(BorderAndFill, RefusedColourOrMaskReturnsTheIndexItWasGiven) {
  const int32_t xf = XFs.SetBorderLineStyle(15, kAllEdges, 1, true);
  const int32_t count = XFs.Count();
  EXPECT_EQ(XFs.SetBorderColorIndex(xf, kLeft, 57, true), xf);
  EXPECT_EQ(XFs.SetBorderColorIndex(xf, kLeft, -1, true), xf);
  EXPECT_EQ(XFs.SetBorderLineStyle(xf, 0x10, 5, true), xf);
  EXPECT_EQ(XFs.Count(), count);
  EXPECT_EQ(XFs.GetItem(xf)->RefCount, 1);
  // Without ReplaceIndex the answer still gains the reference its caller keeps.
  EXPECT_EQ(XFs.SetBorderWeight(xf, 0x30, 4, false), xf);
  EXPECT_EQ(XFs.GetItem(xf)->RefCount, 2);
}

TEST_F(BorderAndFill, ClearingOneEdgeLeavesTheOthers) {
  int32_t xf = XFs.SetBorderLineStyle(15, kAllEdges, 1, true);
  xf = XFs.SetBorderColorIndex(xf, kLeft, 0, true);
  EXPECT_EQ(XFs.GetBorderLineStyle(xf, kLeft), -4142);
  EXPECT_EQ(XFs.GetBorderColorIndex(xf, kLeft), -4142);
  for (uint8_t edge : {kRight, kTop, kBottom}) {
    EXPECT_EQ(XFs.GetBorderLineStyle(xf, edge), 1);
    EXPECT_EQ(XFs.GetBorderColorIndex(xf, edge), -4105);
  }
}

TEST_F(BorderAndFill, RecordPacksEdgesAndColours) {
  int32_t xf = XFs.SetBorderLineStyle(15, kAllEdges, 1, true);
  xf = XFs.SetBorderWeight(xf, kTop, 4, true);           // top thick (5)
  xf = XFs.SetBorderLineStyle(xf, kRight, -4119, true);  // right double (6)
  xf = XFs.SetBorderColorIndex(xf, kBottom, 3, true);    // bottom colour 10
  xf = XFs.SetBorderWeight(xf, kLeft, 1, true);          // left hairline (7)
  const TBytes record = SavedXF(xf);
  EXPECT_EQ(WordAt(record, 4 + 10), (10 << 9) | (1 << 6));
  EXPECT_EQ(WordAt(record, 4 + 12), (64 << 9) | (6 << 6) | (7 << 3) | 5);
  EXPECT_EQ(WordAt(record, 4 + 14), (64 << 7) | 64);
}

TEST_F(BorderAndFill, BrokenLinesBeyondThreeBitsAreWrittenDashed) {
  int32_t xf = XFs.SetBorderLineStyle(15, kLeft | kBottom, 5, true);
  xf = XFs.SetBorderWeight(xf, kLeft | kBottom, -4138, true);  // code 12 on both
  EXPECT_EQ(BorderBlock(xf).substr(4, 4), "C00C");
  const TBytes record = SavedXF(xf);
  EXPECT_EQ(WordAt(record, 4 + 12) & 0x1FF, 3 << 3);  // top and right stay empty
  EXPECT_EQ((WordAt(record, 4 + 10) >> 6) & 7, 3);
  EXPECT_EQ(WordAt(record, 4 + 10) & 0x3F, 0);  // the pattern is untouched
}

TEST_F(BorderAndFill, SolidFillThenPatternKeepsTheVisibleColours) {
  const int32_t solid = XFs.SetInteriorColorIndex(15, 10, true);
  EXPECT_EQ(BackgroundBlock(solid), "01200A");
  EXPECT_EQ(XFs.GetInteriorColorIndex(solid), 10);
  EXPECT_EQ(XFs.GetInteriorPatternColorIndex(solid), 64);
  const int32_t patterned = XFs.SetInteriorPattern(solid, 2, true);
  EXPECT_EQ(BackgroundBlock(patterned), "020540");
  EXPECT_EQ(XFs.GetInteriorColorIndex(patterned), 10);
  EXPECT_EQ(XFs.GetInteriorPattern(patterned), 2);
  const TBytes record = SavedXF(patterned);
  EXPECT_EQ(WordAt(record, 4 + 8), 0x0540);
  EXPECT_EQ(WordAt(record, 4 + 10), 2);
}

TEST_F(BorderAndFill, PatternColourSetters) {
  int32_t xf = XFs.SetInteriorPatternColorIndex(15, 12, true);
  EXPECT_EQ(XFs.GetInteriorPattern(xf), 1);
  EXPECT_EQ(XFs.GetInteriorPatternColorIndex(xf), 12);
  EXPECT_EQ(XFs.GetInteriorColorIndex(xf), 65);
  xf = XFs.SetInteriorPattern(xf, 3, true);
  xf = XFs.SetInteriorColorIndex(xf, 20, true);
  xf = XFs.SetInteriorPatternColorIndex(xf, 30, true);
  EXPECT_EQ(XFs.GetInteriorColorIndex(xf), 20);
  EXPECT_EQ(XFs.GetInteriorPatternColorIndex(xf), 30);
}

TEST_F(BorderAndFill, PatternZeroResetsTheFill) {
  int32_t xf = XFs.SetInteriorColorIndex(15, 10, true);
  xf = XFs.SetInteriorPattern(xf, 0, true);
  EXPECT_EQ(BackgroundBlock(xf), "0020C0");
  EXPECT_EQ(XFs.GetInteriorColorIndex(xf), 0);
  EXPECT_EQ(XFs.GetInteriorPatternColorIndex(xf), 0);
}

}  // namespace
}  // namespace tabulon
