// The edges of the public API a caller may step onto: a sheet deleted while
// the caller still holds it or its parts, and cell texts that name no cell.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "BookTestUtil.h"
#include "Tabulon.h"
#include "XLSCellHeap.h"
#include "XLSLargeBlocks.h"
#include "XLSPageSetup.h"
#include "XLSRecordIds.h"
#include "XLSSanitizer.h"
#include "XLSWorkSheets.h"
#include "XLSWorkbook.h"
#include "XLSWorksheet.h"

namespace tabulon {
namespace {

using book_test::BookRecords;
using book_test::WithId;

// Everything a caller can hold of a sheet outlives its deletion; the
// workbook forgets the sheet at once, and the held parts answer harmlessly.
TEST(DeletedSheetTest, HeldSheetAndPartsStayValidUntilReleased) {
  TXLSWorkbook book;
  XLSPtr<IXLSWorkSheets> sheets = book.GetWorksheets();
  XLSPtr<IXLSWorkSheet> keep = sheets->Add();
  XLSPtr<IXLSWorkSheet> doomed = sheets->Add();
  doomed->SetWorkSheetName("Doomed");
  XLSPtr<IXLSRange> range = doomed->FGetRange("B2", "C3");
  XLSPtr<IXLSRange> selection = doomed->GetSelection();
  XLSPtr<IXLSRange> cells = doomed->GetCells();
  XLSPtr<IXLSPageSetup> setup = doomed->GetPageSetup();
  XLSPtr<IXLSFont> font = doomed->FGetRange("A1", "A1")->GetFont();
  XLSPtr<IXLSInterior> interior = range->GetInterior();
  XLSPtr<IXLSBorders> borders = range->GetBorders();
  XLSPtr<IXLSBorder> border = borders->GetBorder(xlEdgeTop);

  doomed->Delete();
  EXPECT_EQ(sheets->GetCount(), 1);
  EXPECT_EQ(doomed->GetIndex(), 0);
  EXPECT_FALSE(doomed->GetNextWorkSheet());
  EXPECT_FALSE(doomed->GetPreviousWorkSheet());
  EXPECT_EQ(doomed->SetFirstSheet(), -1);
  EXPECT_EQ(doomed->FreezePanes(1, 1, 1, 1), -1);
  EXPECT_EQ(doomed->SetZoom(50), -1);
  EXPECT_EQ(doomed->InsertBitmap(0, 0, "none.bmp"), -1);
  doomed->Select();
  doomed->Activate();
  doomed->Delete();
  EXPECT_EQ(book.GetActiveSheet().get(), keep.get());
  keep->SetWorkSheetName("Doomed");  // the name is free again
  EXPECT_EQ(keep->GetWorkSheetName(), "Doomed");

  // The held parts still work on the deleted sheet's own cells and formats.
  range->SetValue(7.0);
  EXPECT_EQ(range->GetItem(1, 1)->GetValue().ToDouble(), 7.0);
  selection->SetValue("kept");
  font->SetBold(true);
  EXPECT_TRUE(font->GetBold());
  interior->SetColorIndex(6);
  border->SetLineStyle(xlContinuous);
  setup->SetPrintGridlines(true);
  EXPECT_TRUE(setup->GetPrintGridlines());
  EXPECT_EQ(cells->GetCount(), 256 * 65536);

  // Only the remaining sheet is saved.
  const auto sheetsSaved = WithId(BookRecords(book), xlsrec::kBoundSheet);
  EXPECT_EQ(sheetsSaved.size(), 1u);

  // Released in an order that frees the sheet with the last part (ASan
  // reports any access after that).
  doomed.reset();
  range.reset();
  selection.reset();
  font.reset();
  interior.reset();
  borders.reset();
  cells.reset();
  border.reset();
  setup.reset();
}

// A deleted sheet nothing holds is freed at once; deleting through the
// collection while the caller holds the sheet keeps it too.
TEST(DeletedSheetTest, CollectionDeleteKeepsAHeldSheet) {
  TXLSWorkbook book;
  TXLSWorkSheets& sheets = book.GetSheets();
  sheets.Add();
  XLSPtr<IXLSWorkSheet> held = sheets.Add();
  sheets.Add();
  sheets.Delete(3);
  sheets.Delete(2);
  EXPECT_EQ(held->GetWorkSheetName(), "Sheet2");
  held->SetWorkSheetName("Other");
  EXPECT_EQ(held->GetWorkSheetName(), "Sheet2");  // renaming needs the workbook
  EXPECT_EQ(sheets.GetCount(), 1);
  EXPECT_FALSE(book.GetWorksheets()->Add(held.get(), nullptr, 1, OleVariant::Missing()));
}

// Texts the cell grammar refuses, or cells beyond IV65536, give no range,
// write nothing, and leave a message that names the text.
TEST(CellTextTest, BadAddressesGiveNoRangeAndNameTheText) {
  TXLSWorkbook book;
  XLSPtr<IXLSWorkSheet> sheet = book.GetWorksheets()->Add();
  auto& impl = static_cast<TXLSWorksheet&>(*sheet);
  const std::vector<std::pair<std::string, std::string>> bad = {
      {"IW1", "IW1"}, {"A65537", "A65537"}, {"A0", "A0"},  {"nonsense", "A1"},
      {"", ""},       {"C3", ""},           {"C3", "$D$4"}};
  for (const auto& [first, second] : bad) {
    impl.SetLastError("");
    EXPECT_FALSE(sheet->FGetRange(first, second)) << first << ", " << second;
    const std::string& culprit =
        impl.GetLastError().find('"' + first + '"') != std::string::npos ? first : second;
    EXPECT_NE(impl.GetLastError().find('"' + culprit + '"'), std::string::npos)
        << impl.GetLastError();
  }
  EXPECT_EQ(sheet->GetUsedRange()->GetCount(), 1);
  EXPECT_TRUE(sheet->FGetRange("IV65536", "A1"));
  EXPECT_EQ(impl.GetCellHeap().GetRowCount(), 0);  // nothing was written

  // The page setup and the address forms of the writers report the same way.
  XLSPtr<IXLSPageSetup> setup = sheet->GetPageSetup();
  setup->FSetPrintArea("B2:C3");
  setup->FSetPrintArea("B2:IW3");
  EXPECT_EQ(setup->FGetPrintArea(), "B2:C3");
  EXPECT_NE(impl.GetLastError().find("\"B2:IW3\""), std::string::npos);
  setup->SetPrintTitleRows("$0:$2");
  EXPECT_NE(impl.GetLastError().find("\"$0:$2\""), std::string::npos);
  setup->SetPrintTitleColumns("$A:$IW");
  EXPECT_NE(impl.GetLastError().find("\"$A:$IW\""), std::string::npos);
  EXPECT_EQ(impl.WriteNumber("ZZ9", 1.0), -1);
  EXPECT_NE(impl.GetLastError().find("\"ZZ9\""), std::string::npos);
  EXPECT_EQ(impl.MergeWrite("A1-B2", 0), -1);
  EXPECT_NE(impl.GetLastError().find("\"A1-B2\""), std::string::npos);
}

// A colour name reaches the same colour through every colour setter
// (colour values are 0x00BBGGRR); the readers' view is in
// formatting_readers_test.
TEST(ColourNameTest, OneIndexServesEverySetter) {
  TXLSWorkbook book;
  XLSPtr<IXLSRange> cell = book.GetWorksheets()->Add()->FGetRange("B2", "B2");
  cell->GetInterior()->SetColorIndex(ColorNameToIndex("yellow"));
  cell->GetInterior()->SetPatternColorIndex(ColorNameToIndex(" Navy "));
  cell->GetFont()->SetColorIndex(static_cast<uint16_t>(ColorNameToIndex("red")));
  cell->GetBorders()->GetBorder(xlEdgeTop)->SetColorIndex(ColorNameToIndex("blue"));
  EXPECT_EQ(cell->GetInterior()->GetColor(), 0x00FFFFu);
  EXPECT_EQ(cell->GetInterior()->GetPatternColor(), 0x800000u);
  EXPECT_EQ(cell->GetFont()->GetColor(), 0x0000FFu);
  EXPECT_EQ(cell->GetBorders()->GetBorder(xlEdgeTop)->GetColor(), 0xFF0000u);
  EXPECT_EQ(ColorNameToIndex("orange"), GetColorIndex("orange") - XLSFirstFileColor + 1);
  EXPECT_EQ(ColorNameToIndex("chartreuse"), 0);
}

// Under AddressSanitizer (GCC or Clang builds) the library's own memory
// management stays visible: a range used after its last release, a released
// pooled text and the unused rest of a mapped block are all reported.
TEST(SanitizerTest, OwnMemoryManagementIsSeenByAddressSanitizer) {
  if (!XLSAddressSanitizer) GTEST_SKIP() << "not an AddressSanitizer build";
  ::testing::FLAGS_gtest_death_test_style = "threadsafe";
  EXPECT_DEATH(
      {
        TXLSWorkbook book;
        XLSPtr<IXLSWorkSheet> sheet = book.GetWorksheets()->Add();
        IXLSRange* range = sheet->FGetRange("A1", "A1").get();  // released here
        sheet->FGetRange("B1", "B1");                           // would reuse recycled storage
        range->GetCount();
      },
      "use-after-free");
  EXPECT_DEATH(
      {
        TXLSTextPool pool;
        char* text = pool.Store("released text");
        pool.Release(text);
        volatile char c = text[6];
        (void)c;
      },
      "use-after-poison");
  EXPECT_DEATH(
      {
        TXLSLargeBlocks blocks;
        char* bytes = static_cast<char*>(blocks.Allocate(16));
        volatile char c = bytes[16];
        (void)c;
      },
      "use-after-poison");
}

}  // namespace
}  // namespace tabulon
