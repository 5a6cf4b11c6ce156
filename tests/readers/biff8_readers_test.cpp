// The BIFF8 readers, Apache POI (HSSF) and SheetJS, proved on a workbook
// written by xlwt: tests/readers/check_biff8_readers.py writes it, reads it
// through the reader's JSON dump (biff8_readers.py) and prints each fact the
// reader got wrong. A reader that is not installed skips its case.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "ToolRun.h"

namespace tabulon {
namespace {

// check_biff8_readers.py's exit status when the reader or xlwt is missing.
constexpr int kMissing = 77;

class Biff8Readers : public ::testing::TestWithParam<std::string> {};

TEST_P(Biff8Readers, ReadXlwtWorkbook) {
  const std::string scratch =
      test::ScratchDir() + "/biff8_" + GetParam() + "_" + std::to_string(getpid());
  const test::TRunResult run =
      test::Run({"/usr/bin/python3", TABULON_SOURCE_DIR "/tests/readers/check_biff8_readers.py",
                 GetParam(), scratch, TABULON_BINARY_DIR "/readers"});
  test::Run({"rm", "-rf", scratch});
  if (run.Status == kMissing) GTEST_SKIP() << run.Out;
  EXPECT_EQ(run.Status, 0) << run.Out << run.Err;
  EXPECT_EQ(run.Out, "");
}

INSTANTIATE_TEST_SUITE_P(Readers, Biff8Readers, ::testing::Values("poi", "sheetjs"),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace tabulon
