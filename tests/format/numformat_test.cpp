#include <gtest/gtest.h>

#include "RecordBytes.h"
#include "xlsxf.h"

namespace tabulon {
namespace {

using namespace testing_records;

class NumberFormats : public ::testing::Test {
 protected:
  NumberFormats() { XFs.CreateDefault(); }

  TXLSNumFormatList& Formats() { return XFs.NumFormats(); }

  // The FORMAT records a save writes, in index order.
  std::vector<TBytes> SavedFormats() {
    TXLSBlobList list;
    for (int32_t i = 0; i < Formats().Count(); ++i)
      EXPECT_GE(Formats().GetNumFormatBlob(i, list), 0);
    return Records(list);
  }

  std::vector<TBytes> SavedStyles() {
    XFs.CreateAllReferredList();
    TXLSBlobList list;
    for (int32_t i = 0; i < XFs.Styles().Count(); ++i) {
      EXPECT_EQ(XFs.Styles().GetStyleBlob(i, list), 1);
    }
    return Records(list);
  }

  TXLSXFList XFs;
};

TEST_F(NumberFormats, NewFormatsAreNumberedFrom163AndShared) {
  EXPECT_EQ(Formats().AddValue("#,##0.00"), 163);
  EXPECT_EQ(Formats().AddValue("#,##0.00"), 163);
  EXPECT_EQ(Formats().AddValue("0.000"), 164);
}

TEST_F(NumberFormats, BuiltinTextsAreFoundByText) {
  const int32_t count = Formats().Count();
  EXPECT_EQ(Formats().AddValue(Formats().GetItem(6)), 6);
  EXPECT_EQ(Formats().Count(), count);
  EXPECT_EQ(Formats().GetItem(200), "");
}

TEST_F(NumberFormats, NewWorkbookWritesFormatsFiveToEight) {
  const std::vector<TBytes> formats = SavedFormats();
  ASSERT_EQ(formats.size(), 4u);
  EXPECT_EQ(formats[0],
            Concat({0x1E, 0x04, 0x19, 0x00, 0x05, 0x00, 0x16}, R"(("$"#,##0_);("$"#,##0))"));
  EXPECT_EQ(formats[1],
            Concat({0x1E, 0x04, 0x1E, 0x00, 0x06, 0x00, 0x1B}, R"(("$"#,##0_);[Red]("$"#,##0))"));
  EXPECT_EQ(formats[2],
            Concat({0x1E, 0x04, 0x1F, 0x00, 0x07, 0x00, 0x1C}, R"(("$"#,##0.00_);("$"#,##0.00))"));
  EXPECT_EQ(formats[3], Concat({0x1E, 0x04, 0x24, 0x00, 0x08, 0x00, 0x21},
                               R"(("$"#,##0.00_);[Red]("$"#,##0.00))"));
}

TEST_F(NumberFormats, IndexWithoutTextYieldsNoRecord) {
  TXLSBlobList list;
  EXPECT_EQ(Formats().GetNumFormatBlob(0, list), 0);
  EXPECT_EQ(Formats().GetNumFormatBlob(-1, list), 0);
  EXPECT_EQ(Formats().GetNumFormatBlob(500, list), 0);
  EXPECT_EQ(list.GetTotal(), 0);
}

// The file numbers custom formats from 164: readers that follow the later
// applications take 163 for a built-in format.
TEST_F(NumberFormats, AddedFormatsFollowInIndexOrderNumberedFrom164) {
  Formats().AddValue("0.0");
  Formats().AddValue("0.00%");
  const std::vector<TBytes> formats = SavedFormats();
  ASSERT_EQ(formats.size(), 6u);
  EXPECT_EQ(WordAt(formats[3], 4), 8) << "built-in numbers stay";
  EXPECT_EQ(formats[4], Concat({0x1E, 0x04, 0x06, 0x00, 164, 0x00, 0x03}, "0.0"));
  EXPECT_EQ(formats[5], Concat({0x1E, 0x04, 0x08, 0x00, 165, 0x00, 0x05}, "0.00%"));
}

TEST_F(NumberFormats, LongTextsAreCutSoTheLengthByteStaysTrue) {
  Formats().AddValue(std::string(400, '0'));
  const TBytes record = SavedFormats().back();
  EXPECT_EQ(WordAt(record, 2), 3 + 255);
  EXPECT_EQ(record[6], 255);
  EXPECT_EQ(record.size(), 4u + 3 + 255);
}

TEST_F(NumberFormats, DefaultStyleRecord) {
  const std::vector<TBytes> styles = SavedStyles();
  ASSERT_EQ(styles.size(), 1u);
  EXPECT_EQ(styles[0], (TBytes{0x93, 0x02, 0x04, 0x00, 0x00, 0x80, 0x00, 0xFF}));
}

TEST_F(NumberFormats, BuiltinStyleIsReplacedByNumber) {
  EXPECT_EQ(XFs.Styles().AddBuiltinStyle(0, 15), 0);
  EXPECT_EQ(XFs.Styles().Count(), 1);
  EXPECT_EQ(XFs.Styles().GetXFIndex(0), 15);
  EXPECT_EQ(XFs.Styles().GetXFIndex(1), 0);
  EXPECT_EQ(SavedStyles()[0], (TBytes{0x93, 0x02, 0x04, 0x00, 0x0F, 0x80, 0x00, 0xFF}));
}

TEST_F(NumberFormats, UserStyleRecordCarriesItsName) {
  EXPECT_EQ(XFs.Styles().AddStyle("Money", 3), 1);
  EXPECT_EQ(XFs.Styles().AddStyle("Money", 15), 1);
  const std::vector<TBytes> styles = SavedStyles();
  ASSERT_EQ(styles.size(), 2u);
  EXPECT_EQ(styles[1], Concat({0x93, 0x02, 0x08, 0x00, 0x0F, 0x00, 0x05}, "Money"));
}

TEST_F(NumberFormats, MissingStyleYieldsNoRecord) {
  TXLSBlobList list;
  EXPECT_EQ(XFs.Styles().GetStyleBlob(1, list), 0);
  EXPECT_EQ(list.GetTotal(), 0);
}

}  // namespace
}  // namespace tabulon
