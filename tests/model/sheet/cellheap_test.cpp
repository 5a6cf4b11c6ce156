#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "XLSCellHeap.h"

namespace tabulon {
namespace {

TXLSValueType TypeAfter(const OleVariant& value) {
  TXLSCellRef cell(0, 0);
  cell.SetValue(value);
  return cell.GetValueType();
}

TEST(CellSetValue, CanonicalIntegerTextBecomesNumber) {
  for (const char* text : {"42", "0", "-7", "2147483647", "-2147483648"}) {
    TXLSCellRef cell(0, 0);
    cell.SetValue(OleVariant(text));
    EXPECT_EQ(cell.GetValueType(), xlDoubleNumber) << text;
    EXPECT_EQ(cell.GetNumber(), std::stod(text)) << text;
  }
}

TEST(CellSetValue, OtherTextStaysText) {
  for (const char* text : {"042", " 42", "42 ", "4.2", "+5", "-0", "12a", "", "2147483648",
                           "-2147483649", "99999999999999"}) {
    TXLSCellRef cell(0, 0);
    cell.SetValue(OleVariant(text));
    EXPECT_EQ(cell.GetValueType(), xlString) << text;
    EXPECT_EQ(cell.GetText(), text);
  }
}

TEST(CellSetValue, ByteStringFollowsTheSameRule) {
  EXPECT_EQ(TypeAfter(OleVariant::ByteString("17")), xlDoubleNumber);
  EXPECT_EQ(TypeAfter(OleVariant::ByteString("017")), xlString);
}

TEST(CellSetValue, NumericTypesBecomeNumbersAndDatesDateTimes) {
  EXPECT_EQ(TypeAfter(OleVariant::Smallint(3)), xlDoubleNumber);
  EXPECT_EQ(TypeAfter(OleVariant::Currency(1.25)), xlDoubleNumber);
  EXPECT_EQ(TypeAfter(OleVariant::Byte(7)), xlDoubleNumber);
  EXPECT_EQ(TypeAfter(OleVariant::Int64(int64_t{1} << 40)), xlDoubleNumber);
  TXLSCellRef cell(0, 0);
  cell.SetValue(OleVariant::Date(45000.5));
  EXPECT_EQ(cell.GetValueType(), xlDateTime);
  EXPECT_EQ(cell.GetNumber(), 45000.5);
  EXPECT_EQ(cell.GetValue().VarType(), varDate);
}

TEST(CellSetValue, BooleanIsKeptAndReadBackAsABoolean) {
  TXLSCellRef cell(0, 0);
  for (bool value : {true, false}) {
    cell.SetValue(OleVariant("text"));
    cell.SetValue(OleVariant(value));
    EXPECT_EQ(cell.GetValueType(), xlBoolean);
    EXPECT_EQ(cell.GetBoolean(), value);
    EXPECT_TRUE(cell.GetText().empty());
    EXPECT_EQ(cell.GetValue().VarType(), varBoolean);
    EXPECT_EQ(cell.GetValue().ToBool(), value);
  }
}

TEST(CellSetValue, ErrorLeavesTheCellAsItWas) {
  TXLSCellRef cell(0, 0);
  cell.SetValue(OleVariant("text"));
  cell.SetValue(OleVariant::Missing());
  EXPECT_EQ(cell.GetValueType(), xlString);
  EXPECT_EQ(cell.GetText(), "text");
}

TEST(CellSetValue, EmptyAndNullEmptyTheCellButKeepItsFormat) {
  TXLSCellRef cell(0, 0);
  cell.XFIndex = 21;
  cell.SetValue(OleVariant("text"));
  cell.SetValue(OleVariant::Null());
  EXPECT_EQ(cell.GetValueType(), xlEmpty);
  EXPECT_TRUE(cell.GetText().empty());
  EXPECT_EQ(cell.XFIndex, 21);
}

TEST(CellGetValue, EmptyCellReadsNullNotEmptyText) {
  TXLSCellRef cell(0, 0);
  EXPECT_EQ(cell.GetValue().VarType(), varNull);
}

TEST(CellMerge, NonMasterIgnoresValuesAndReadsNull) {
  TXLSCellRef master(0, 0);
  TXLSCellRef other(0, 1);
  other.SetValue(OleVariant("before"));
  master.Merged = other.Merged = true;
  master.MergeMaster = other.MergeMaster = &master;
  EXPECT_EQ(other.GetValue().VarType(), varNull);
  other.SetValue(OleVariant(5));
  EXPECT_EQ(other.GetText(), "before");
  master.SetValue(OleVariant(5));
  EXPECT_EQ(master.GetValue(), OleVariant(5.0));
  other.ClearMerge();
  EXPECT_EQ(other.GetValue(), OleVariant("before"));
}

TEST(CellValue, CopyAndOverwriteKeepTextsApart) {
  TXLSCellRef a(0, 0);
  TXLSCellRef b(0, 1);
  a.SetString(std::string(300, 'x'));
  b.CopyValueFrom(a);
  a.SetNumber(2.5);
  EXPECT_EQ(b.GetText(), std::string(300, 'x'));
  EXPECT_EQ(a.GetNumber(), 2.5);
  b.CopyValueFrom(b);
  EXPECT_EQ(b.GetText().size(), 300u);
}

TEST(CellHeap, RectangleGrowsToIncludeEveryCreatedCell) {
  TXLSCellHeap heap;
  EXPECT_EQ(heap.GetRowCount(), 0);
  EXPECT_EQ(heap.GetColCount(), 0);
  heap.GetOrCreateValue(5, 3);
  EXPECT_EQ(heap.GetFirstRow(), 5);
  EXPECT_EQ(heap.GetRowCount(), 1);
  heap.GetOrCreateValue(2, 10);
  EXPECT_EQ(heap.GetFirstRow(), 2);
  EXPECT_EQ(heap.GetLastRow(), 5);
  EXPECT_EQ(heap.GetFirstCol(), 3);
  EXPECT_EQ(heap.GetLastCol(), 10);
  EXPECT_EQ(heap.GetRowCount(), 4);
  EXPECT_EQ(heap.GetColCount(), 8);
}

TEST(CellHeap, CellsKeepTheirPositionAndIdentity) {
  TXLSCellHeap heap;
  TXLSCellRef* corner = heap.GetOrCreateValue(65535, 255);
  EXPECT_EQ(corner->GetRow(), 65535);
  EXPECT_EQ(corner->GetCol(), 255);
  EXPECT_EQ(heap.GetOrCreateValue(65535, 255), corner);
  EXPECT_EQ(heap.GetValue(65535, 255), corner);
  EXPECT_EQ(heap.GetCellCount(), 1u);
}

TEST(CellHeap, LookupOfUntouchedAddressCreatesNothing) {
  TXLSCellHeap heap;
  EXPECT_EQ(heap.GetValue(7, 7), nullptr);
  heap.GetOrCreateValue(7, 8);
  EXPECT_EQ(heap.GetValue(7, 7), nullptr);
  EXPECT_EQ(heap.GetCellCount(), 1u);
  EXPECT_EQ(heap.GetRowCount(), 1);
}

TEST(CellHeap, FormatOnlyCellStaysAfterItsFormatIsCleared) {
  TXLSCellHeap heap;
  heap.GetOrCreateValue(3, 3)->XFIndex = 20;
  heap.GetValue(3, 3)->XFIndex = 0;
  ASSERT_NE(heap.GetValue(3, 3), nullptr);
  EXPECT_EQ(heap.GetRowCount(), 1);
}

TEST(CellHeap, WalkIsRowMajorWhateverTheCreationOrder) {
  TXLSCellHeap heap;
  const std::vector<std::pair<int, int>> created = {{1, 1},   {0, 0},   {1, 0},    {300, 200},
                                                    {0, 255}, {300, 3}, {65535, 0}};
  for (const auto& rc : created) heap.GetOrCreateValue(rc.first, rc.second);
  std::vector<std::pair<int, int>> walked;
  heap.ForEach([&](TXLSCellRef& c) { walked.emplace_back(c.GetRow(), c.GetCol()); });
  const std::vector<std::pair<int, int>> expected = {{0, 0},   {0, 255},   {1, 0},    {1, 1},
                                                     {300, 3}, {300, 200}, {65535, 0}};
  EXPECT_EQ(walked, expected);
}

// 150,000 cells in 30,000 rows fill several blocks of cells and of column
// groups; a long text (its own heap block) in every thousandth row must be
// freed with the heap.
TEST(CellHeap, ManyCellsAcrossArenaBlocksStayDistinct) {
  TXLSCellHeap heap;
  const std::string longText(TXLSTextPool::kMaxPooledLength + 1, 'L');
  for (int row = 0; row < 30000; ++row) {
    for (int col = 0; col < 5; ++col) heap.GetOrCreateValue(row, col)->SetNumber(row * 10 + col);
    if (row % 1000 == 0) heap.GetOrCreateValue(row, 7)->SetString(longText, heap.Texts());
  }
  EXPECT_EQ(heap.GetCellCount(), 150030u);
  for (int row = 0; row < 30000; row += 7) {
    for (int col = 0; col < 5; ++col)
      ASSERT_EQ(heap.GetValue(row, col)->GetNumber(), row * 10 + col);
  }
  EXPECT_EQ(heap.GetValue(29000, 7)->GetText(), longText);
  EXPECT_EQ(heap.GetValue(29001, 7), nullptr);
}

std::string TextOfLength(size_t length, int seed) {
  std::string text(length, 'a');
  for (size_t i = 0; i < length; ++i) text[i] = static_cast<char>('a' + (seed + i) % 26);
  return text;
}

TEST(CellTexts, PooledAndLongTextsReadBackAcrossManyChunks) {
  TXLSCellHeap heap;
  const size_t longest = TXLSTextPool::kMaxPooledLength + 100;
  constexpr int kRows = 20000;  // about 6 MB of text: several blocks
  for (int row = 0; row < kRows; ++row) {
    heap.GetOrCreateValue(row, 0)->SetValue(OleVariant(TextOfLength(row % longest, row)),
                                            heap.Texts());
  }
  EXPECT_GT(heap.Texts()->GetReservedBytes(), 2 * TXLSLargeBlocks::kBlockSize);
  for (int row = 0; row < kRows; ++row) {
    ASSERT_EQ(heap.GetValue(row, 0)->GetText(), TextOfLength(row % longest, row)) << row;
  }
}

TEST(CellTexts, RewritingCellsReusesTheirBlocks) {
  TXLSCellHeap heap;
  for (int round = 0; round < 20000; ++round) {
    for (int col = 0; col < 4; ++col) {
      TXLSCellRef* cell = heap.GetOrCreateValue(0, col);
      const size_t length = static_cast<size_t>((round * 7 + col * 13) % 300);
      if (round % 5 == 4) {
        cell->SetValue(OleVariant(1.5), heap.Texts());
      } else {
        cell->SetValue(OleVariant(TextOfLength(length, round)), heap.Texts());
        ASSERT_EQ(cell->GetText(), TextOfLength(length, round));
      }
    }
  }
  // The few texts alive at a time stay in the small first block, recycled.
  EXPECT_EQ(heap.Texts()->GetReservedBytes(), TXLSLargeBlocks::kFirstBlockSize);
}

TEST(CellTexts, CopiesBetweenPooledHeapAndStandaloneCellsStayApart) {
  TXLSCellHeap heap;
  TXLSCellRef* pooled = heap.GetOrCreateValue(0, 0);
  pooled->SetValue(OleVariant("pooled"), heap.Texts());
  TXLSCellRef standalone(5, 5);
  standalone.CopyValueFrom(*pooled);
  pooled->CopyValueFrom(standalone, heap.Texts());
  pooled->SetValue(OleVariant("changed"), heap.Texts());
  EXPECT_EQ(standalone.GetText(), "pooled");
  // Replaced without its pool: the old block is left unused, nothing is freed twice.
  pooled->SetValue(OleVariant(std::string(600, 'x')));
  pooled->ClearValue(heap.Texts());
  pooled->SetValue(OleVariant("again"), heap.Texts());
  EXPECT_EQ(pooled->GetText(), "again");
  heap.GetOrCreateValue(0, 1)->CopyValueFrom(*pooled, heap.Texts());
  pooled->ClearValue(heap.Texts());
  EXPECT_EQ(heap.GetValue(0, 1)->GetText(), "again");
}

}  // namespace
}  // namespace tabulon
