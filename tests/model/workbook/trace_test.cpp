// The typical request traced end to end: a workbook with one sheet whose A1
// holds a bold text writes exactly the workbook and sheet records, in order.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "BookTestUtil.h"
#include "XLSRecordIds.h"
#include "XLSWorkSheets.h"
#include "XLSWorksheet.h"
#include "xlsxf.h"

namespace tabulon {
namespace {

using book_test::TRecord;

// Consecutive records of one id folded into (id, how many).
std::vector<std::pair<uint16_t, int>> Runs(const std::vector<TRecord>& records) {
  std::vector<std::pair<uint16_t, int>> runs;
  for (const TRecord& record : records) {
    if (!runs.empty() && runs.back().first == record.id) {
      ++runs.back().second;
    } else {
      runs.emplace_back(record.id, 1);
    }
  }
  return runs;
}

class TypicalRequest : public ::testing::Test {
 protected:
  void SetUp() override {
    XLSPtr<IXLSWorkSheet> sheet = book.GetWorksheets()->Add();
    XLSPtr<IXLSRange> a1 = sheet->FGetRange("A1", "A1");
    a1->SetValue("Total");
    // Bold through the XF table's setter, as the range font will do it.
    TXLSCellRef* cell = book.GetSheets().GetSheet(1)->GetCellHeap().GetValue(0, 0);
    ASSERT_NE(cell, nullptr);
    cell->XFIndex = book.GetXFList().SetFontBold(cell->XFIndex, true, true);
    records = book_test::BookRecords(book);
    ASSERT_FALSE(records.empty());
  }

  TXLSWorkbook book;
  std::vector<TRecord> records;
};

TEST_F(TypicalRequest, WorkbookRecordsComeInTheirOrder) {
  const auto globals = book_test::GlobalsOf(records);
  const std::vector<std::pair<uint16_t, int>> expected = {
      {xlsrec::kBof, 1},         {xlsrec::kCodePage, 1},   {xlsrec::kExternCount, 1},
      {xlsrec::kExternSheet, 1}, {xlsrec::kWindow1, 1},    {xlsrec::k1904, 1},
      {xlsrec::kFont, 5},    // four fixed fonts and the bold one
      {xlsrec::kFormat, 4},  // the built-in currency formats 5 to 8
      {xlsrec::kXF, 17},     // sixteen fixed formats and the new one
      {xlsrec::kStyle, 1},   // the Normal style
      {xlsrec::kPalette, 1},     {xlsrec::kBoundSheet, 1}, {xlsrec::kEof, 1},
  };
  EXPECT_EQ(Runs(globals), expected);
}

TEST_F(TypicalRequest, SheetRecordsComeInTheirOrder) {
  const std::vector<TRecord> sheet(records.begin() + book_test::GlobalsOf(records).size(),
                                   records.end());
  const std::vector<std::pair<uint16_t, int>> expected = {
      {xlsrec::kBof, 1},
      {xlsrec::kStandardWidth, 1},
      {xlsrec::kDefaultRowHeight, 1},
      {xlsrec::kExternCount, 1},
      {xlsrec::kExternSheet, 1},
      {xlsrec::kPrintHeaders, 1},
      {xlsrec::kPrintGridLines, 1},
      {xlsrec::kGridSet, 1},
      {xlsrec::kWsBool, 1},
      {xlsrec::kSetup, 1},
      {xlsrec::kDimensions, 1},
      {xlsrec::kLabel, 1},  // LABEL for A1
      {xlsrec::kBottomMargin, 1},
      {xlsrec::kTopMargin, 1},
      {xlsrec::kRightMargin, 1},
      {xlsrec::kLeftMargin, 1},
      {xlsrec::kVCenter, 1},
      {xlsrec::kHCenter, 1},
      {xlsrec::kFooter, 1},
      {xlsrec::kHeader, 1},
      {xlsrec::kWindow2, 1},
      {xlsrec::kSelection, 1},
      {xlsrec::kEof, 1},
  };
  EXPECT_EQ(Runs(sheet), expected);
}

TEST_F(TypicalRequest, LabelNamesTheBoldFormat) {
  const auto labels = book_test::WithId(records, xlsrec::kLabel);
  ASSERT_EQ(labels.size(), 1u);
  const TRecord& label = labels[0];
  EXPECT_EQ(label.Word(0), 0);   // row
  EXPECT_EQ(label.Word(2), 0);   // column
  EXPECT_EQ(label.Word(4), 16);  // the seventeenth XF record
  EXPECT_EQ(label.Word(6), 5);
  EXPECT_EQ(std::string(label.data.begin() + 8, label.data.end()), "Total");

  // That XF uses the fifth font, the bold one (font number 4 is never
  // written, so the fifth record is font 5).
  const auto xfs = book_test::WithId(records, xlsrec::kXF);
  const auto fonts = book_test::WithId(records, xlsrec::kFont);
  ASSERT_EQ(xfs.size(), 17u);
  ASSERT_EQ(fonts.size(), 5u);
  EXPECT_EQ(xfs[16].Word(0), 5);
  EXPECT_EQ(fonts[4].Word(6), 700);  // weight: bold
  EXPECT_EQ(fonts[4].Word(2), 1);    // and the bold bit
  EXPECT_EQ(fonts[0].Word(6), 400);
}

}  // namespace
}  // namespace tabulon
