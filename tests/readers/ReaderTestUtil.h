// What every reader test shares: sheets added by name, the scratch directory
// its files are saved into, and the run of its python checker for one reader. The checker prints
// every fact the reader got wrong and exits with 77 when the reader is not
// installed, which skips the case.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "BookTestUtil.h"
#include "ToolRun.h"
#include "XLSWorkSheets.h"
#include "XLSWorkbook.h"
#include "XLSWorksheet.h"

namespace tabulon {
namespace reader_test {

constexpr int kMissing = 77;

// The range from..to, or the one cell from.
inline XLSPtr<IXLSRange> At(TXLSWorksheet& sheet, const std::string& from,
                            const std::string& to = "") {
  return sheet.FGetRange(from, to.empty() ? from : to);
}

// Appends a sheet with the name to the workbook.
inline TXLSWorksheet& AddSheet(TXLSWorkbook& book, const std::string& name) {
  TXLSWorkSheets& sheets = book.GetSheets();
  sheets.Add();
  TXLSWorksheet& sheet = *sheets.GetSheet(sheets.GetCount());
  sheet.SetWorkSheetName(name);
  return sheet;
}

// A fresh empty directory for the test's files, named after this process.
inline std::string FreshScratch(const std::string& name) {
  const std::string dir = test::ScratchDir() + "/" + name + "_" + std::to_string(getpid());
  book_test::RunCommand("rm -rf '" + dir + "' && mkdir -p '" + dir + "'");
  return dir;
}

// Removes the directory unless TABULON_KEEP_SCRATCH asks to keep it.
inline void RemoveScratch(const std::string& dir) {
  if (getenv("TABULON_KEEP_SCRATCH") == nullptr) book_test::RunCommand("rm -rf '" + dir + "'");
}

// Runs tests/readers/<checker> for the reader on the files in dir: the test
// fails on anything the checker prints, and skips when the reader is missing.
inline void ExpectReaderShows(const std::string& checker, const std::string& reader,
                              const std::string& dir) {
  const test::TRunResult run =
      test::Run({"/usr/bin/python3", TABULON_SOURCE_DIR "/tests/readers/" + checker, reader, dir,
                 TABULON_BINARY_DIR "/readers"});
  if (run.Status == kMissing) GTEST_SKIP() << run.Out;
  EXPECT_EQ(run.Status, 0) << run.Out << run.Err;
  EXPECT_EQ(run.Out, "");
}

}  // namespace reader_test
}  // namespace tabulon
