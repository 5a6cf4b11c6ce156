// Workbooks saved at the same time from several threads into one folder: each
// gets its own temporary file, and new files get the mode the umask gives
// without anything reading (and so briefly changing) the umask.
#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "BookTestUtil.h"
#include "XLSWorkSheets.h"
#include "XLSWorkbook.h"
#include "XLSWorksheet.h"

namespace tabulon {
namespace {

using book_test::RunCommand;
using book_test::ScratchDir;

class ConcurrentSave : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = ScratchDir() + "/concurrent_save_" +
          ::testing::UnitTest::GetInstance()->current_test_info()->name();
    RunCommand("rm -rf '" + dir + "'");
    ASSERT_EQ(mkdir(dir.c_str(), 0755), 0);
    mask = umask(027);
  }
  void TearDown() override {
    umask(mask);
    RunCommand("rm -rf '" + dir + "'");
  }
  size_t EntryCount() const {
    size_t count = 0;
    DIR* folder = opendir(dir.c_str());
    while (dirent* entry = readdir(folder)) count += entry->d_name[0] != '.';
    closedir(folder);
    return count;
  }

  std::string dir;
  mode_t mask = 0;
};

TEST_F(ConcurrentSave, ThreadsSavingIntoOneFolderEachGetTheirFile) {
  constexpr int kThreads = 4;
  constexpr int kSavesEach = 5;
  std::vector<int32_t> results(kThreads * kSavesEach, 0);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      auto book = std::make_unique<TXLSWorkbook>();
      book->GetSheets().Add()->FGetRange("B2", "B2")->SetValue(OleVariant(t * 1.0));
      for (int i = 0; i < kSavesEach; ++i) {
        // Every thread also replaces one shared file, racing for it.
        const std::string own = dir + "/book" + std::to_string(t * kSavesEach + i) + ".xls";
        results[t * kSavesEach + i] = book->SaveAs(own) == 1 && book->SaveAs(dir + "/shared.xls");
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (int32_t result : results) EXPECT_EQ(result, 1);
  // No temporary file is left behind.
  EXPECT_EQ(EntryCount(), static_cast<size_t>(kThreads * kSavesEach + 1));
  struct stat info;
  ASSERT_EQ(stat((dir + "/book0.xls").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
}

TEST_F(ConcurrentSave, UmaskIsLeftAsItWas) {
  TXLSWorkbook book;
  book.GetSheets().Add();
  ASSERT_EQ(book.SaveAs(dir + "/one.xls"), 1) << book.GetLastError();
  const mode_t now = umask(0);
  umask(now);
  EXPECT_EQ(now, 027u);
}

}  // namespace
}  // namespace tabulon
