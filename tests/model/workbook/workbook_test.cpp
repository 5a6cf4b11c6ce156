#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <string>
#include <vector>

#include "BookTestUtil.h"
#include "Tabulon.h"
#include "XLSPageSetup.h"
#include "XLSRecordIds.h"
#include "XLSWorkSheets.h"
#include "XLSWorkbook.h"
#include "XLSWorksheet.h"

namespace tabulon {
namespace {

using namespace book_test;

// Ids with each run of a repeated id folded into one.
std::vector<uint16_t> FoldedIds(const std::vector<TRecord>& records) {
  std::vector<uint16_t> ids;
  for (const TRecord& record : records) {
    if (ids.empty() || ids.back() != record.id) ids.push_back(record.id);
  }
  return ids;
}

class WorkbookRecords : public ::testing::Test {
 protected:
  TXLSWorksheet& AddSheet() {
    book.GetSheets().Add();
    return *book.GetSheets().GetSheet(book.GetSheets().GetCount());
  }
  std::vector<TRecord> Globals() { return GlobalsOf(BookRecords(book)); }

  TXLSWorkbook book;
};

TEST_F(WorkbookRecords, OneSheetWritesTheRecordsInStreamOrder) {
  AddSheet();
  const std::vector<TRecord> globals = Globals();
  const std::vector<uint16_t> expected = {
      xlsrec::kBof,     xlsrec::kCodePage, xlsrec::kExternCount, xlsrec::kExternSheet,
      xlsrec::kWindow1, xlsrec::k1904,     xlsrec::kFont,        xlsrec::kFormat,
      xlsrec::kXF,      xlsrec::kStyle,    xlsrec::kPalette,     xlsrec::kBoundSheet,
      xlsrec::kEof};
  EXPECT_EQ(FoldedIds(globals), expected);
  EXPECT_EQ(globals[0].data, (TBytes{0x00, 0x05, 0x05, 0x00, 0x6C, 0x09, 0xC9, 0x07}));
  EXPECT_EQ(globals[1].Word(0), 1252);
  EXPECT_EQ(globals[2].Word(0), 1);
  EXPECT_EQ(globals[3].data, (TBytes{6, 3, 'S', 'h', 'e', 'e', 't', '1'}));
  EXPECT_EQ(WithId(globals, xlsrec::kXF).size(), 16u);
  EXPECT_EQ(WithId(globals, xlsrec::kPalette)[0].data.size(), 226u);
  EXPECT_EQ(WithId(globals, xlsrec::kPalette)[0].Word(0), 56);
}

TEST_F(WorkbookRecords, EmptyWorkbookGainsSheet1) {
  const std::vector<TRecord> records = BookRecords(book);
  ASSERT_EQ(book.GetSheets().GetCount(), 1);
  EXPECT_EQ(book.GetSheets().GetSheet(1)->GetName(), "Sheet1");
  const TRecord bound = WithId(GlobalsOf(records), xlsrec::kBoundSheet).at(0);
  EXPECT_EQ(bound.data.size(), 7u + 6u);
}

TEST_F(WorkbookRecords, SheetOffsetsPointAtEachSheetsBof) {
  AddSheet();
  AddSheet();
  book.GetSheets().GetSheet(1)->FGetRange("B2", "B2")->SetValue(OleVariant("text"));
  TBytes stream;
  const std::vector<TRecord> records = BookRecords(book, &stream);
  const std::vector<TRecord> bounds = WithId(GlobalsOf(records), xlsrec::kBoundSheet);
  ASSERT_EQ(bounds.size(), 2u);
  const size_t paletteEnd = bounds[0].offset;  // S: the records up to the palette
  const uint32_t first = bounds[0].Long(0);
  EXPECT_EQ(first, paletteEnd + 17 + 17 + 4);
  // The second sheet starts right after the first sheet's EOF.
  size_t firstEof = first;
  for (const TRecord& record : SplitRecords(TBytes(stream.begin() + first, stream.end()))) {
    firstEof += 4 + record.data.size();
    if (record.id == xlsrec::kEof) break;
  }
  EXPECT_EQ(bounds[1].Long(0), firstEof);
  for (const TRecord& bound : bounds) {
    const TRecord bof = SplitRecords(TBytes(stream.begin() + bound.Long(0), stream.end())).at(0);
    EXPECT_EQ(bof.id, xlsrec::kBof);
    EXPECT_EQ(bof.Word(2), xlsrec::kBofWorksheet);
  }
}

TEST_F(WorkbookRecords, SelectedCountIsTheSameOnEverySave) {
  AddSheet();
  AddSheet().Select(false);
  const uint16_t first = WithId(Globals(), xlsrec::kWindow1).at(0).Word(14);
  const uint16_t second = WithId(Globals(), xlsrec::kWindow1).at(0).Word(14);
  EXPECT_EQ(first, 2);
  EXPECT_EQ(second, 2);
}

TEST_F(WorkbookRecords, Window1NamesTheActiveSheetAndFirstTab) {
  AddSheet();
  AddSheet();
  AddSheet().Activate();
  book.GetSheets().GetSheet(2)->SetFirstSheet();
  const TRecord window = WithId(Globals(), xlsrec::kWindow1).at(0);
  EXPECT_EQ(window.data,
            (TBytes{0, 0, 0, 0, 0xBC, 0x25, 0x72, 0x15, 0x38, 0, 2, 0, 1, 0, 1, 0, 0x58, 0x02}));
}

TEST_F(WorkbookRecords, FirstTabOfADeletedSheetFallsBackToTheFirst) {
  AddSheet();
  AddSheet().SetFirstSheet();
  book.GetSheets().Delete(2);
  EXPECT_EQ(WithId(Globals(), xlsrec::kWindow1).at(0).Word(12), 0);
}

TEST_F(WorkbookRecords, ProtectedWithoutPasswordWritesPassword0) {
  AddSheet();
  book.Protect();
  const std::vector<TRecord> globals = Globals();
  const std::vector<TRecord> protect = WithId(globals, xlsrec::kProtect);
  const std::vector<TRecord> password = WithId(globals, xlsrec::kPassword);
  ASSERT_EQ(protect.size(), 1u);
  ASSERT_EQ(password.size(), 1u);
  EXPECT_EQ(protect[0].Word(0), 1);
  EXPECT_EQ(password[0].Word(0), 0);
  // Right after 1904, before the fonts.
  EXPECT_EQ(WithId(globals, xlsrec::k1904)[0].offset + 6, protect[0].offset);
  EXPECT_EQ(protect[0].offset + 6, password[0].offset);
}

TEST_F(WorkbookRecords, PasswordHashAndUnprotect) {
  AddSheet();
  book.Protect("a");
  EXPECT_EQ(WithId(Globals(), xlsrec::kPassword).at(0).Word(0), ((0x61 * 2) ^ 1 ^ 0xCE4B) & 0xFFFF);
  book.UnProtect("wrong");
  EXPECT_EQ(WithId(Globals(), xlsrec::kProtect).size(), 1u);
  book.UnProtect("a", 7);
  EXPECT_TRUE(WithId(Globals(), xlsrec::kProtect).empty());
  EXPECT_TRUE(WithId(Globals(), xlsrec::kPassword).empty());
}

TEST_F(WorkbookRecords, LongestNameGivesLengths33And38) {
  AddSheet().SetWorkSheetName(std::string(31, 'n'));
  const std::vector<TRecord> globals = Globals();
  EXPECT_EQ(WithId(globals, xlsrec::kExternSheet).at(0).data.size(), 33u);
  EXPECT_EQ(WithId(globals, xlsrec::kBoundSheet).at(0).data.size(), 38u);
}

TEST_F(WorkbookRecords, CodePageIsWrittenAsSet) {
  AddSheet();
  EXPECT_EQ(book.SetCodePage(1251), 1);
  EXPECT_EQ(WithId(Globals(), xlsrec::kCodePage).at(0).Word(0), 1251);
}

TEST_F(WorkbookRecords, CustomColourReachesThePaletteUntilReset) {
  AddSheet();
  book.SetCustomColor(3, 0, 0x00123456);
  EXPECT_EQ(book.GetCustomColor2(3, 0), 0x00123456u);
  // Entry 3 is the third colour, after the count word.
  EXPECT_EQ(WithId(Globals(), xlsrec::kPalette).at(0).Long(2 + 4 * 2), 0x00123456u);
  EXPECT_EQ(book.ResetColors(), 1);
  EXPECT_NE(book.GetCustomColor2(3, 0), 0x00123456u);
}

TEST_F(WorkbookRecords, CloseAndTempDirAnswerTheirFixedResults) {
  EXPECT_EQ(book.Close(), 1);
  EXPECT_EQ(book.SetTempDir("/tmp"), -1);
  EXPECT_EQ(book._AddRef(), -1);
  EXPECT_EQ(book._Release(), -1);
}

// --- NAME records ----------------------------------------------------------------

class WorkbookNames : public WorkbookRecords {
 protected:
  void SetUp() override {
    for (int i = 0; i < 3; ++i) AddSheet();
  }
  XLSPtr<IXLSPageSetup> PageSetupOf(int32_t index) {
    return book.GetSheets().GetSheet(index)->GetPageSetup();
  }
  std::vector<TRecord> Names() { return WithId(Globals(), xlsrec::kName); }
};

const TBytes kAreaWords = {0, 0, 0, 0, 0x87, 0x10};

TEST_F(WorkbookNames, NoPrintSettingsNoNames) {
  EXPECT_TRUE(Names().empty());
}

TEST_F(WorkbookNames, TitleRowsOnlyGiveTheShortForm) {
  PageSetupOf(3)->SetPrintTitleRows("1:2");
  const std::vector<TRecord> names = Names();
  ASSERT_EQ(names.size(), 1u);
  const TBytes expected = {0x20, 0,    0,    1,    21,   0,    3, 0, 3, 0, 0,    0,
                           0,    0,    0x07, 0x3B, 0xFD, 0xFF, 0, 0, 0, 0, 0x87, 0x10,
                           0x05, 0x80, 2,    0,    2,    0,    0, 0, 1, 0, 0,    0xFF};
  EXPECT_EQ(names[0].data, expected);
}

TEST_F(WorkbookNames, TitleColumnsOnlyCoverAllRows) {
  PageSetupOf(1)->SetPrintTitleColumns("B:C");
  const TRecord name = Names().at(0);
  ASSERT_EQ(name.data.size(), 36u);
  EXPECT_EQ(name.Word(30), 0);
  EXPECT_EQ(name.Word(32), 0x3FFF);
  EXPECT_EQ(name.data[34], 1);
  EXPECT_EQ(name.data[35], 2);
}

TEST_F(WorkbookNames, TitleRowsAndColumnsGiveTheLongForm) {
  PageSetupOf(1)->SetPrintTitleRows("1:1");
  PageSetupOf(1)->SetPrintTitleColumns("A:B");
  const TRecord name = Names().at(0);
  ASSERT_EQ(name.data.size(), 61u);
  EXPECT_EQ(name.Word(4), 46);
  EXPECT_EQ(name.data[14], 0x07);
  EXPECT_EQ(name.data[15], 0x29);
  EXPECT_EQ(name.Word(16), 43);
  // Columns area: rows 0 to 0x3FFF, columns 0 to 1.
  EXPECT_EQ(name.data[18], 0x3B);
  EXPECT_EQ(name.Word(19), 0xFFFF);
  EXPECT_EQ(name.Word(27), 0x8008);
  EXPECT_EQ(name.Word(33), 0);
  EXPECT_EQ(name.Word(35), 0x3FFF);
  EXPECT_EQ(name.data[37], 0);
  EXPECT_EQ(name.data[38], 1);
  // Rows area: rows 0 to 0, columns 0 to 0xFF; then the union.
  EXPECT_EQ(name.data[39], 0x3B);
  EXPECT_EQ(name.Word(54), 0);
  EXPECT_EQ(name.Word(56), 0);
  EXPECT_EQ(name.data[58], 0);
  EXPECT_EQ(name.data[59], 0xFF);
  EXPECT_EQ(name.data[60], 0x10);
}

TEST_F(WorkbookNames, PrintAreasComeBeforeAllTitles) {
  PageSetupOf(1)->SetPrintTitleRows("1:1");
  PageSetupOf(2)->SetPrintArea(1, 2, 10, 4);
  const std::vector<TRecord> names = Names();
  ASSERT_EQ(names.size(), 2u);
  EXPECT_EQ(names[0].data[14], 0x06);
  EXPECT_EQ(names[0].Word(6), 2);
  EXPECT_EQ(names[0].Word(16), 0xFFFE);
  EXPECT_EQ(names[0].Word(30), 1);
  EXPECT_EQ(names[0].Word(32), 10);
  EXPECT_EQ(names[0].data[34], 2);
  EXPECT_EQ(names[0].data[35], 4);
  EXPECT_EQ(names[1].data[14], 0x07);
}

// The filter list is the sheet's hidden built-in name 0x0D beside the
// sheet's AUTOFILTERINFO (its column count) in front of DIMENSIONS, in both
// formats; a new filter replaces the old, Insert and Delete move it.
TEST_F(WorkbookNames, AutoFilterWritesAHiddenFilterDatabaseNameAndItsColumnCount) {
  TXLSWorksheet& sheet = *book.GetSheets().GetSheet(2);
  EXPECT_EQ(sheet.FGetRange("A1", "D1")->AutoFilter(), -1);  // a header without rows
  EXPECT_EQ(sheet.GetLastError(),
            "AutoFilter A1:D1: the list needs a header row and at least one row below it");
  EXPECT_EQ(sheet.FGetRange("A1", "D9")->AutoFilter(), 1);
  EXPECT_EQ(sheet.FGetRange("B3", "C20000")->AutoFilter(), 1);
  std::vector<TRecord> records = BookRecords(book);
  std::vector<TRecord> names = WithId(GlobalsOf(records), xlsrec::kName);
  ASSERT_EQ(names.size(), 1u);
  EXPECT_EQ(names[0].Word(0), 0x21);  // built-in and hidden
  EXPECT_EQ(names[0].Word(6), 2);     // local to the second sheet
  EXPECT_EQ(names[0].data[14], 0x0D);
  EXPECT_EQ(names[0].Word(30), 2);       // rows 3 to 16384, BIFF5 names reaching no further
  EXPECT_EQ(names[0].Word(32), 0x3FFF);  // NameMaxRow
  EXPECT_EQ(names[0].data[34], 1);
  EXPECT_EQ(names[0].data[35], 2);
  const std::vector<TRecord> infos = WithId(records, xlsrec::kAutoFilterInfo);
  ASSERT_EQ(infos.size(), 1u);
  EXPECT_EQ(infos[0].data, (TBytes{2, 0}));
  const auto info = std::find_if(records.begin(), records.end(),
                                 [](const TRecord& r) { return r.id == xlsrec::kAutoFilterInfo; });
  EXPECT_EQ((info + 1)->id, xlsrec::kDimensions);

  // Two rows inserted above it move it down, a column inserted inside it
  // widens it, deleting its rows removes it.
  sheet.FGetRange("A1", "A2")->GetEntireRow()->Insert(OleVariant(xlShiftDown));
  sheet.FGetRange("C1", "C1")->GetEntireColumn()->Insert(OleVariant(xlShiftToRight));
  const auto& filter = sheet.GetAutoFilter();
  ASSERT_TRUE(filter.has_value());
  EXPECT_EQ(filter->FirstRow, 4);
  EXPECT_EQ(filter->LastRow, 20001);
  EXPECT_EQ(filter->FirstCol, 1);
  EXPECT_EQ(filter->LastCol, 3);
  sheet.FGetRange("A5", "A6")->GetEntireRow()->Delete(OleVariant(xlShiftUp));
  EXPECT_EQ(sheet.GetAutoFilter()->FirstRow, 4);  // the row below became the header
  EXPECT_EQ(sheet.GetAutoFilter()->LastRow, 19999);
  sheet.FGetRange("A1", "A30000")->GetEntireRow()->Delete(OleVariant(xlShiftUp));
  EXPECT_FALSE(sheet.GetAutoFilter().has_value());

  ASSERT_EQ(book.SetFileFormat(xlExcel8), 1);
  sheet.FGetRange("A1", "C65536")->AutoFilter();
  records = BookRecords(book);
  names = WithId(GlobalsOf(records), xlsrec::kName);
  ASSERT_EQ(names.size(), 1u);
  EXPECT_EQ(names[0].Word(0), 0x21);
  EXPECT_EQ(names[0].Word(8), 2);  // the sheet, from 1
  EXPECT_EQ(names[0].data[15], 0x0D);
  EXPECT_EQ(names[0].Word(19), 0);
  EXPECT_EQ(names[0].Word(21), 65535);  // BIFF8 names reach every row
  EXPECT_EQ(WithId(records, xlsrec::kAutoFilterInfo).at(0).data, (TBytes{3, 0}));
}

// --- saving to files -----------------------------------------------------------------

class WorkbookSave : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = ScratchDir() + "/book_save_" +
          ::testing::UnitTest::GetInstance()->current_test_info()->name();
    RunCommand("rm -rf '" + dir + "'");
    ASSERT_EQ(mkdir(dir.c_str(), 0755), 0);
    book.GetSheets().Add();
    book.GetSheets().GetSheet(1)->FGetRange("A1", "A1")->SetValue(OleVariant("kept"));
  }
  void TearDown() override { RunCommand("rm -rf '" + dir + "'"); }

  // Files in the folder other than the named ones.
  std::vector<std::string> Entries() {
    std::vector<std::string> names;
    DIR* folder = opendir(dir.c_str());
    while (dirent* entry = readdir(folder)) {
      const std::string name = entry->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    closedir(folder);
    return names;
  }

  std::string dir;
  TXLSWorkbook book;
};

TEST_F(WorkbookSave, WritesACompoundDocument) {
  const std::string path = dir + "/book.xls";
  ASSERT_EQ(book.SaveAs(path), 1) << book.GetLastError();
  EXPECT_TRUE(book.GetLastError().empty());
  const std::string bytes = ReadFile(path);
  ASSERT_GE(bytes.size(), 512u);
  EXPECT_EQ(bytes.substr(0, 8), std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8));
  EXPECT_EQ(Entries(), std::vector<std::string>{"book.xls"});
}

TEST_F(WorkbookSave, BlankFileNameWritesNothing) {
  for (const char* name : {"", "   ", "\t "}) {
    EXPECT_EQ(book.SaveAs(name), -1);
    EXPECT_NE(book.GetLastError().find("blank"), std::string::npos) << book.GetLastError();
  }
  EXPECT_TRUE(Entries().empty());
}

TEST_F(WorkbookSave, ReplacesAnExistingFileAndKeepsItsPermissions) {
  const std::string path = dir + "/book.xls";
  WriteFile(path, "old content");
  ASSERT_EQ(chmod(path.c_str(), 0640), 0);
  ASSERT_EQ(book.SaveAs(path), 1) << book.GetLastError();
  struct stat info;
  ASSERT_EQ(stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
  EXPECT_GT(info.st_size, 512);
  EXPECT_EQ(Entries(), std::vector<std::string>{"book.xls"});
}

TEST_F(WorkbookSave, NewFileGetsTheUsualPermissions) {
  const std::string path = dir + "/new.xls";
  const mode_t mask = umask(022);
  ASSERT_EQ(book.SaveAs(path), 1) << book.GetLastError();
  umask(mask);
  struct stat info;
  ASSERT_EQ(stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0644u);
}

TEST_F(WorkbookSave, SavingThroughASymbolicLinkReplacesTheLinkedFile) {
  const std::string target = dir + "/real.xls";
  const std::string link = dir + "/link.xls";
  WriteFile(target, "old");
  ASSERT_EQ(symlink("real.xls", link.c_str()), 0);
  ASSERT_EQ(book.SaveAs(link), 1) << book.GetLastError();
  struct stat info;
  ASSERT_EQ(lstat(link.c_str(), &info), 0);
  EXPECT_TRUE(S_ISLNK(info.st_mode));
  EXPECT_GT(ReadFile(target).size(), 512u);
}

TEST_F(WorkbookSave, MissingFolderIsReportedWithThePath) {
  const std::string path = dir + "/no/such/folder/book.xls";
  EXPECT_EQ(book.SaveAs(path), -1);
  const std::string& error = book.GetLastError();
  EXPECT_NE(error.find(path), std::string::npos) << error;
  EXPECT_NE(error.find("No such file or directory"), std::string::npos) << error;
}

TEST_F(WorkbookSave, FolderInTheWayIsNotReplaced) {
  const std::string path = dir + "/taken";
  ASSERT_EQ(mkdir(path.c_str(), 0755), 0);
  EXPECT_EQ(book.SaveAs(path), -1);
  EXPECT_NE(book.GetLastError().find("not a regular file"), std::string::npos)
      << book.GetLastError();
  struct stat info;
  ASSERT_EQ(stat(path.c_str(), &info), 0);
  EXPECT_TRUE(S_ISDIR(info.st_mode));
  EXPECT_EQ(Entries(), std::vector<std::string>{"taken"});
}

TEST_F(WorkbookSave, UnwritableFolderIsReportedAsPermissionDenied) {
  if (geteuid() == 0) GTEST_SKIP() << "running as root: folder permissions do not apply";
  ASSERT_EQ(chmod(dir.c_str(), 0555), 0);
  EXPECT_EQ(book.SaveAs(dir + "/book.xls"), -1);
  chmod(dir.c_str(), 0755);
  EXPECT_NE(book.GetLastError().find("Permission denied"), std::string::npos)
      << book.GetLastError();
}

// A file size limit makes the writes fail part-way, as a full disk does.
class WorkbookFullDisk : public WorkbookSave {
 protected:
  int32_t SaveUnderFileSizeLimit(const std::string& path, rlim_t limit) {
    rlimit old;
    EXPECT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    // SIGXFSZ keeps its default action, which would end the process: the
    // save keeps it from arriving.
    void (*oldHandler)(int) = std::signal(SIGXFSZ, SIG_DFL);
    rlimit small = old;
    small.rlim_cur = limit;
    EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const int32_t status = book.SaveAs(path);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    sigset_t pending;
    EXPECT_EQ(sigpending(&pending), 0);
    EXPECT_EQ(sigismember(&pending, SIGXFSZ), 0);
    return status;
  }
  void ExpectOldFileKept(const std::string& path) {
    EXPECT_NE(book.GetLastError().find(path), std::string::npos) << book.GetLastError();
    EXPECT_NE(book.GetLastError().find("File too large"), std::string::npos) << book.GetLastError();
    EXPECT_EQ(ReadFile(path), "the user's previous work");
    EXPECT_EQ(Entries(), std::vector<std::string>{"book.xls"});
    // The limit gone, the same workbook saves.
    EXPECT_EQ(book.SaveAs(path), 1) << book.GetLastError();
  }
};

TEST_F(WorkbookFullDisk, FailedWriteLeavesTheOldFileAndNoTemporaryFile) {
  const std::string path = dir + "/book.xls";
  WriteFile(path, "the user's previous work");
  for (int i = 0; i < 300; ++i) {
    book.GetSheets()
        .GetSheet(1)
        ->FGetRange("B" + std::to_string(i + 1), "B" + std::to_string(i + 1))
        ->SetValue(OleVariant(std::string(200, 'x')));
  }
  EXPECT_EQ(SaveUnderFileSizeLimit(path, 8192), -1);
  ExpectOldFileKept(path);
}

// Two sheets of 1.3 MB each: their records pass through the scratch file.
void FillLargeSheets(TXLSWorkbook& book) {
  book.GetSheets().Add();
  for (int32_t sheet = 1; sheet <= 2; ++sheet) {
    XLSPtr<IXLSRange> block = book.GetSheets().GetSheet(sheet)->FGetRange("A1", "J7000");
    block->SetValue(OleVariant(sheet + 0.5));
  }
}

TEST_F(WorkbookFullDisk, ScratchSpaceThatFillsUpFailsTheSave) {
  const std::string path = dir + "/book.xls";
  WriteFile(path, "the user's previous work");
  FillLargeSheets(book);
  EXPECT_EQ(SaveUnderFileSizeLimit(path, 512 * 1024), -1);
  EXPECT_NE(book.GetLastError().find("scratch file"), std::string::npos) << book.GetLastError();
  ExpectOldFileKept(path);
}

// Large sheets spill their records while the stream is built; the file holds
// exactly the bytes of a document built wholly in memory.
TEST_F(WorkbookSave, LargeSheetsSpillAndSaveTheSameBytes) {
  FillLargeSheets(book);
  TXLSMemoryStream memory;
  ASSERT_EQ(book.WriteDocument(memory), 1) << book.GetLastError();
  const std::string path = dir + "/book.xls";
  ASSERT_EQ(book.SaveAs(path), 1) << book.GetLastError();
  const std::string saved = ReadFile(path);
  ASSERT_GT(saved.size(), 2u * TXLSRecordSection::kSpillSize);
  EXPECT_TRUE(saved == std::string(memory.Bytes().begin(), memory.Bytes().end()));
  EXPECT_EQ(Entries(), std::vector<std::string>{"book.xls"});
}

// Waits until process pid holds a file of at least `size` bytes open in
// folder; false when it does not within about 20 seconds.
bool WaitForOpenFile(pid_t pid, const std::string& folder, off_t size) {
  char* resolved = realpath(folder.c_str(), nullptr);
  const std::string prefix = std::string(resolved ? resolved : folder.c_str()) + "/";
  std::free(resolved);
  const std::string fds = "/proc/" + std::to_string(pid) + "/fd";
  for (int attempt = 0; attempt < 200000; ++attempt) {
    bool found = false;
    if (DIR* list = opendir(fds.c_str())) {
      while (dirent* entry = readdir(list)) {
        const std::string fd = fds + "/" + entry->d_name;
        char target[PATH_MAX];
        const ssize_t length = readlink(fd.c_str(), target, sizeof target);
        struct stat info;
        found = found || (length > 0 && std::string(target, length).rfind(prefix, 0) == 0 &&
                          stat(fd.c_str(), &info) == 0 && info.st_size >= size);
      }
      closedir(list);
    }
    if (found) return true;
    usleep(100);
  }
  return false;
}

// The new file has no name until it is complete: a save killed as it starts
// or while it writes leaves the old file and nothing else.
TEST_F(WorkbookSave, KilledSaveLeavesOnlyTheOldFile) {
  const std::string path = dir + "/book.xls";
  WriteFile(path, "the user's previous work");
  FillLargeSheets(book);
  for (const off_t written : {off_t{0}, off_t{1} << 20}) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      book.SaveAs(path);
      _exit(0);
    }
    const bool saving = WaitForOpenFile(child, dir, written);
    kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(saving) << written;
    EXPECT_TRUE(WIFSIGNALED(status)) << "the save ended before the kill; " << written;
    EXPECT_EQ(Entries(), std::vector<std::string>{"book.xls"}) << written;
    EXPECT_EQ(ReadFile(path), "the user's previous work");
  }
  EXPECT_EQ(book.SaveAs(path), 1) << book.GetLastError();
  EXPECT_EQ(Entries(), std::vector<std::string>{"book.xls"});
}

// A workbook whose stream limit a test lowers, standing for one over 2 GiB.
class TLimitedWorkbook : public TXLSWorkbook {
 public:
  void SetMaxBookSize(uint64_t size) { maxBookSize_ = size; }
};

TEST_F(WorkbookSave, StreamOverTheSizeLimitIsRefusedAndKeepsTheOldFile) {
  TLimitedWorkbook limited;
  limited.GetSheets().Add();
  limited.GetSheets().GetSheet(1)->FGetRange("A1", "C100")->SetValue(OleVariant(1.5));
  TXLSMemoryStream stream;
  ASSERT_EQ(limited.WriteBookStream(stream), 1) << limited.GetLastError();
  const uint64_t size = stream.Bytes().size();
  const std::string path = dir + "/book.xls";
  WriteFile(path, "the user's previous work");
  limited.SetMaxBookSize(size - 1);
  EXPECT_EQ(limited.SaveAs(path), -1);
  EXPECT_NE(
      limited.GetLastError().find("cannot save '" + path + "': the workbook needs " +
                                  std::to_string(size) + " bytes, more than one file can hold"),
      std::string::npos)
      << limited.GetLastError();
  EXPECT_EQ(ReadFile(path), "the user's previous work");
  EXPECT_EQ(Entries(), std::vector<std::string>{"book.xls"});
  limited.SetMaxBookSize(size);
  EXPECT_EQ(limited.SaveAs(path), 1) << limited.GetLastError();
}

// A sink that takes only so many bytes, like a disk that fills up.
class TFullSink : public TXLSStream {
 public:
  explicit TFullSink(size_t room) : room_(room) {}
  size_t Write(const void*, size_t count) override {
    const size_t taken = count < room_ ? count : room_;
    room_ -= taken;
    return taken;
  }

 private:
  size_t room_;
};

TEST_F(WorkbookSave, ShortSinkFailsTheDocument) {
  for (size_t room : {size_t{0}, size_t{100}, size_t{1500}}) {
    TFullSink sink(room);
    EXPECT_EQ(book.WriteDocument(sink), -1) << room;
    EXPECT_FALSE(book.GetLastError().empty());
  }
  TXLSMemoryStream memory;
  EXPECT_EQ(book.WriteDocument(memory), 1) << book.GetLastError();
  EXPECT_TRUE(book.GetLastError().empty());
}

}  // namespace
}  // namespace tabulon
