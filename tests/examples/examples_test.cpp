#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "ToolRun.h"

namespace tabulon {
namespace {

using test::Contains;

std::string ExampleBinary(const std::string& name) {
  return std::string(TABULON_BINARY_DIR) + "/example_" + name + TABULON_FLAVOUR;
}

TEST(TwoSheetsExample, WritesBothSheetsWithTheirValues) {
  const std::string path = test::ScratchDir() + "/two_sheets.xls";
  std::remove(path.c_str());
  const test::TRunResult run = test::Run({ExampleBinary("two_sheets"), path});
  ASSERT_EQ(run.Status, 0) << run.Err;

  const std::string dump = test::DumpXls(path);
  EXPECT_TRUE(Contains(dump,
                       "sheet Orders frozen=1 split=1,0 zoom=100\n"
                       "A1 text Customer\nB1 text Quantity\nC1 text Amount\nD1 text Ordered on\n"
                       "A2 text Anna Schmidt\nB2 number 3.0\nC2 number 59.85\n"))
      << dump;
  // The date is its day serial, shown as a date once the cell carries a date format.
  EXPECT_TRUE(Contains(dump, "D2 number 45366.0\n") || Contains(dump, "D2 date 45366.0\n")) << dump;
  EXPECT_TRUE(Contains(dump,
                       "sheet Summary frozen=0 split=0,0 zoom=150\n"
                       "A1 text Region\nB1 text Orders\nC1 text Revenue\n"
                       "A2 text North\nB2 number 12.0\nC2 number 1234.5\n"))
      << dump;
}

TEST(TwoSheetsExample, WithoutAnOutputNameItExplainsItsUse) {
  const test::TRunResult run = test::Run({ExampleBinary("two_sheets")});
  EXPECT_EQ(run.Status, 2);
  EXPECT_TRUE(Contains(run.Err, "usage:")) << run.Err;
}

TEST(TwoSheetsExample, UnwritablePathFailsWithTheReason) {
  const std::string path = test::ScratchDir() + "/no-such-folder/two_sheets.xls";
  const test::TRunResult run = test::Run({ExampleBinary("two_sheets"), path});
  EXPECT_EQ(run.Status, 1);
  EXPECT_TRUE(Contains(run.Err, "no-such-folder")) << run.Err;
}

TEST(ReadmeProgram, WritesTheOrdersSheet) {
  const std::string path = test::ScratchDir() + "/first_workbook.xls";
  std::remove(path.c_str());
  const test::TRunResult run = test::Run({ExampleBinary("first_workbook"), path});
  ASSERT_EQ(run.Status, 0) << run.Err;
  const std::string dump = test::DumpXls(path);
  EXPECT_TRUE(Contains(dump,
                       "A1 text Customer\nB1 text Amount\nA2 text Anna Schmidt\n"
                       "B2 number 59.85\n"))
      << dump;
  EXPECT_TRUE(Contains(dump, "A4 text North\nB4 number 12.0\nA5 text South\nB5 number 7.0\n"))
      << dump;
}

// examples/install_check/app.cpp calls every interface method through the
// umbrella header alone; the install check builds it against an installed copy.
TEST(EveryMethodProgram, CallsEveryInterfaceMethodAndSaves) {
  const std::string path = test::ScratchDir() + "/every_method.xls";
  std::remove(path.c_str());
  const test::TRunResult run = test::Run({ExampleBinary("every_method"), path});
  ASSERT_EQ(run.Status, 0) << run.Err;
  EXPECT_EQ(run.Out, "C7 2 3 ok\n");
  const std::string dump = test::DumpXls(path);
  EXPECT_TRUE(Contains(dump, "B2 number 1.0\nC2 number 2.5\nD2 text three\n")) << dump;
}

}  // namespace
}  // namespace tabulon
