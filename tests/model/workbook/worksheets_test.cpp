#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Tabulon.h"
#include "XLSWorkSheets.h"
#include "XLSWorkbook.h"
#include "XLSWorksheet.h"

namespace tabulon {
namespace {

class SheetsTest : public ::testing::Test {
 protected:
  TXLSWorkSheets& Sheets() { return book.GetSheets(); }
  void AddSheets(int count) {
    for (int i = 0; i < count; ++i) Sheets().Add();
  }
  // Names in tab order; also checks that every index equals its position.
  std::vector<std::string> Names() {
    std::vector<std::string> names;
    for (int32_t i = 1; i <= Sheets().GetCount(); ++i) {
      EXPECT_EQ(Sheets().GetSheet(i)->GetSheetIndex(), i);
      names.push_back(Sheets().GetSheet(i)->GetName());
    }
    return names;
  }
  void Rename(int32_t index, const char* name) { Sheets().GetSheet(index)->SetNameUnchecked(name); }

  TXLSWorkbook book;
};

using Strings = std::vector<std::string>;

TEST_F(SheetsTest, FirstAddIsSheet1ActiveAndSelectedSecondIsSheet2) {
  EXPECT_EQ(Sheets().GetCount(), 0);
  EXPECT_EQ(Sheets().GetActiveSheet(), nullptr);
  XLSPtr<IXLSWorkSheet> first = Sheets().Add();
  ASSERT_TRUE(first);
  EXPECT_EQ(first->GetWorkSheetName(), "Sheet1");
  EXPECT_EQ(Sheets().GetActiveSheet(), Sheets().GetSheet(1));
  EXPECT_TRUE(Sheets().GetSheet(1)->IsSelected());
  Sheets().Add();
  EXPECT_EQ(Names(), (Strings{"Sheet1", "Sheet2"}));
  EXPECT_FALSE(Sheets().GetSheet(2)->IsSelected());
  EXPECT_EQ(Sheets().GetActiveSheet(), Sheets().GetSheet(1));
}

TEST_F(SheetsTest, NewNamesSkipTakenNumbers) {
  AddSheets(2);
  Sheets().Delete(1);
  Sheets().Add();  // count + 1 = 2 is taken
  EXPECT_EQ(Names(), (Strings{"Sheet2", "Sheet3"}));
}

TEST_F(SheetsTest, RenamedSheetTakesTheNextNumber) {
  AddSheets(2);
  Sheets().GetSheet(2)->SetWorkSheetName("Sheet3");
  Sheets().Add();
  EXPECT_EQ(Names(), (Strings{"Sheet1", "Sheet3", "Sheet4"}));
}

TEST_F(SheetsTest, GetOutsideTheCollectionAnswersNone) {
  AddSheets(2);
  EXPECT_FALSE(Sheets().Get(0));
  EXPECT_FALSE(Sheets().Get(3));
  EXPECT_EQ(Sheets().GetSheet(-1), nullptr);
  EXPECT_TRUE(Sheets().Get(2));
}

TEST_F(SheetsTest, ReferencesNeverFreeTheCollection) {
  EXPECT_EQ(Sheets()._AddRef(), -1);
  EXPECT_EQ(Sheets()._Release(), -1);
  EXPECT_EQ(Sheets()._Release(), -1);
  AddSheets(1);  // still usable
  EXPECT_EQ(Sheets().GetCount(), 1);
}

// --- names --------------------------------------------------------------------

TEST_F(SheetsTest, CheckNameLimitsLengthTo31Bytes) {
  EXPECT_TRUE(Sheets().CheckName(0, std::string(31, 'x')));
  EXPECT_FALSE(Sheets().CheckName(0, std::string(32, 'x')));
}

TEST_F(SheetsTest, CheckNameRefusesReservedCharacters) {
  for (const char* name : {"a/b", "a]", "[a", "a:b", "a*", "a?", "a\\b"}) {
    EXPECT_FALSE(Sheets().CheckName(0, name)) << name;
  }
  EXPECT_TRUE(Sheets().CheckName(0, "Sales 2024 (net) - Q1"));
}

// Readers repair a sheet without a name (LibreOffice renames it), so the
// collection never accepts one.
TEST_F(SheetsTest, CheckNameRefusesEmptyName) {
  EXPECT_FALSE(Sheets().CheckName(0, ""));
  AddSheets(1);
  Sheets().GetSheet(1)->SetWorkSheetName("");
  EXPECT_EQ(Sheets().GetSheet(1)->GetName(), "Sheet1");
}

TEST_F(SheetsTest, CheckNameRefusesAnotherSheetsNameAndSkipsTheSheetItself) {
  AddSheets(2);
  EXPECT_FALSE(Sheets().CheckName(0, "Sheet1"));
  EXPECT_FALSE(Sheets().CheckName(2, "Sheet1"));
  EXPECT_TRUE(Sheets().CheckName(1, "Sheet1"));
  EXPECT_TRUE(Sheets().CheckName(1, "SHEET1"));
}

// Readers lose or rename a sheet whose name differs from another only in case.
TEST_F(SheetsTest, CheckNameIgnoresTheCaseOfLetters) {
  AddSheets(2);
  EXPECT_FALSE(Sheets().CheckName(0, "sheet1"));
  EXPECT_FALSE(Sheets().CheckName(2, "SHEET1"));
  EXPECT_TRUE(Sheets().CheckName(0, "Sheet1 "));
  Rename(2, "sheet3");
  Sheets().Add();
  EXPECT_EQ(Names(), (Strings{"Sheet1", "sheet3", "Sheet4"}));
}

// --- adding at positions ------------------------------------------------------------

TEST_F(SheetsTest, AddBeforeFirstSheetInsertsInOrder) {
  AddSheets(1);
  Rename(1, "Old");
  XLSPtr<IXLSWorkSheet> last = Sheets().Add(Sheets().GetSheet(1), nullptr, 2, OleVariant());
  EXPECT_EQ(Names(), (Strings{"Sheet2", "Sheet3", "Old"}));
  EXPECT_EQ(last.get(), static_cast<IXLSWorkSheet*>(Sheets().GetSheet(2)));
  EXPECT_EQ(Sheets().GetSheet(3)->GetSheetIndex(), 3);
}

TEST_F(SheetsTest, AddAfterSecondSheetInsertsAtThree) {
  AddSheets(3);
  Sheets().Add(nullptr, Sheets().GetSheet(2), 1, OleVariant());
  EXPECT_EQ(Names(), (Strings{"Sheet1", "Sheet2", "Sheet4", "Sheet3"}));
}

TEST_F(SheetsTest, AddWithoutPositionAppends) {
  AddSheets(1);
  Sheets().Add(nullptr, nullptr, 2, OleVariant());
  EXPECT_EQ(Names(), (Strings{"Sheet1", "Sheet2", "Sheet3"}));
}

TEST_F(SheetsTest, AddOfNoSheetsAddsNothing) {
  AddSheets(1);
  EXPECT_FALSE(Sheets().Add(nullptr, nullptr, 0, OleVariant()));
  EXPECT_FALSE(Sheets().Add(Sheets().GetSheet(1), nullptr, -3, OleVariant()));
  EXPECT_EQ(Sheets().GetCount(), 1);
}

TEST_F(SheetsTest, AddNextToASheetOfAnotherWorkbookIsRefused) {
  TXLSWorkbook other;
  other.GetSheets().Add();
  other.GetSheets().Add();
  AddSheets(1);
  EXPECT_FALSE(Sheets().Add(other.GetSheets().GetSheet(2), nullptr, 1, OleVariant()));
  EXPECT_FALSE(Sheets().Add(nullptr, other.GetSheets().GetSheet(2), 1, OleVariant()));
  EXPECT_EQ(Sheets().GetCount(), 1);
}

TEST_F(SheetsTest, AddSheetOutsideThePositionsIsRefused) {
  AddSheets(1);
  EXPECT_EQ(Sheets().AddSheet(0), nullptr);
  EXPECT_EQ(Sheets().AddSheet(3), nullptr);
  EXPECT_NE(Sheets().AddSheet(2), nullptr);
  EXPECT_EQ(Sheets().GetCount(), 2);
}

// --- deleting ----------------------------------------------------------------------

TEST_F(SheetsTest, DeletingTheActiveSheetActivatesTheFirst) {
  AddSheets(3);
  Sheets().GetSheet(3)->Activate();
  Sheets().Delete(3);
  ASSERT_EQ(Sheets().GetActiveSheet(), Sheets().GetSheet(1));
  EXPECT_TRUE(Sheets().GetSheet(1)->IsSelected());
}

TEST_F(SheetsTest, DeletingAnotherSheetKeepsTheActiveOne) {
  AddSheets(3);
  Sheets().GetSheet(2)->Activate();
  Sheets().Delete(1);
  EXPECT_EQ(Names(), (Strings{"Sheet2", "Sheet3"}));
  EXPECT_EQ(Sheets().GetActiveSheet(), Sheets().GetSheet(1));
}

TEST_F(SheetsTest, DeletingTheOnlySheetLeavesNoActiveSheet) {
  AddSheets(1);
  Sheets().Delete(1);
  EXPECT_EQ(Sheets().GetCount(), 0);
  EXPECT_EQ(Sheets().GetActiveSheet(), nullptr);
  EXPECT_FALSE(book.GetActiveSheet());
}

TEST_F(SheetsTest, DeleteOutsideTheCollectionDoesNothing) {
  AddSheets(2);
  Sheets().Delete(0);
  Sheets().Delete(3);
  EXPECT_EQ(Names(), (Strings{"Sheet1", "Sheet2"}));
}

// --- moving and selection ------------------------------------------------------------

class SheetsMoveTest : public SheetsTest {
 protected:
  void SetUp() override {
    AddSheets(3);
    Rename(1, "A");
    Rename(2, "B");
    Rename(3, "C");
  }
};

TEST_F(SheetsMoveTest, MoveForwardClosesTheGap) {
  Sheets().MoveSheet(1, 3);
  EXPECT_EQ(Names(), (Strings{"B", "C", "A"}));
}

TEST_F(SheetsMoveTest, MoveBackwardOpensAGap) {
  Sheets().MoveSheet(3, 1);
  EXPECT_EQ(Names(), (Strings{"C", "A", "B"}));
}

TEST_F(SheetsMoveTest, MoveToItselfOrOutsideDoesNothing) {
  Sheets().MoveSheet(2, 2);
  Sheets().MoveSheet(0, 2);
  Sheets().MoveSheet(2, 4);
  EXPECT_EQ(Names(), (Strings{"A", "B", "C"}));
}

TEST_F(SheetsMoveTest, DeselectClearsEverySheet) {
  Sheets().GetSheet(2)->Select(false);
  Sheets().Deselect();
  for (int32_t i = 1; i <= 3; ++i) EXPECT_FALSE(Sheets().GetSheet(i)->IsSelected());
}

}  // namespace
}  // namespace tabulon
