// The typical request traced end to end: a workbook with one sheet whose A1
// holds a bold text writes exactly the workbook and sheet records, in order.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "BookTestUtil.h"
#include "XLSStyleTables.h"
#include "XLSWorkSheets.h"
#include "XLSWorksheet.h"

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
      {0x0809, 1},   // BOF
      {0x0042, 1},   // CODEPAGE
      {0x0016, 1},   // EXTERNCOUNT
      {0x0017, 1},   // EXTERNSHEET
      {0x003D, 1},   // WINDOW1
      {0x0022, 1},   // 1904
      {0x0031, 5},   // four fixed fonts and the bold one
      {0x041E, 4},   // the built-in currency formats 5 to 8
      {0x00E0, 17},  // sixteen fixed formats and the new one
      {0x0293, 1},   // the Normal style
      {0x0092, 1},   // PALETTE
      {0x0085, 1},   // BOUNDSHEET
      {0x000A, 1},   // EOF
  };
  EXPECT_EQ(Runs(globals), expected);
}

TEST_F(TypicalRequest, SheetRecordsComeInTheirOrder) {
  const std::vector<TRecord> sheet(records.begin() + book_test::GlobalsOf(records).size(),
                                   records.end());
  const std::vector<std::pair<uint16_t, int>> expected = {
      {0x0809, 1},  // BOF
      {0x0099, 1},  // STANDARDWIDTH
      {0x0225, 1},  // DEFAULTROWHEIGHT
      {0x0016, 1},  // EXTERNCOUNT
      {0x0017, 1},  // EXTERNSHEET
      {0x002A, 1},  // PRINTHEADERS
      {0x002B, 1},  // PRINTGRIDLINES
      {0x0082, 1},  // GRIDSET
      {0x0081, 1},  // WSBOOL
      {0x00A1, 1},  // SETUP
      {0x0000, 1},  // DIMENSIONS
      {0x0204, 1},  // LABEL for A1
      {0x0029, 1},  // BOTTOMMARGIN
      {0x0028, 1},  // TOPMARGIN
      {0x0027, 1},  // RIGHTMARGIN
      {0x0026, 1},  // LEFTMARGIN
      {0x0084, 1},  // VCENTER
      {0x0083, 1},  // HCENTER
      {0x0015, 1},  // FOOTER
      {0x0014, 1},  // HEADER
      {0x023E, 1},  // WINDOW2
      {0x001D, 1},  // SELECTION
      {0x000A, 1},  // EOF
  };
  EXPECT_EQ(Runs(sheet), expected);
}

TEST_F(TypicalRequest, LabelNamesTheBoldFormat) {
  const auto labels = book_test::WithId(records, 0x0204);
  ASSERT_EQ(labels.size(), 1u);
  const TRecord& label = labels[0];
  EXPECT_EQ(label.Word(0), 0);   // row
  EXPECT_EQ(label.Word(2), 0);   // column
  EXPECT_EQ(label.Word(4), 16);  // the seventeenth XF record
  EXPECT_EQ(label.Word(6), 5);
  EXPECT_EQ(std::string(label.data.begin() + 8, label.data.end()), "Total");

  // That XF uses the fifth font, the bold one (font number 4 is never
  // written, so the fifth record is font 5).
  const auto xfs = book_test::WithId(records, 0x00E0);
  const auto fonts = book_test::WithId(records, 0x0031);
  ASSERT_EQ(xfs.size(), 17u);
  ASSERT_EQ(fonts.size(), 5u);
  EXPECT_EQ(xfs[16].Word(0), 5);
  EXPECT_EQ(fonts[4].Word(6), 700);  // weight: bold
  EXPECT_EQ(fonts[4].Word(2), 1);    // and the bold bit
  EXPECT_EQ(fonts[0].Word(6), 400);
}

}  // namespace
}  // namespace tabulon
