// Reports from `tabulon export` in real readers: LibreOffice (one headless
// run to .xlsx read with openpyxl, one to PDF read with pdftotext) shows the
// title, the frozen and repeated header, fitted widths (the totals row's
// included) and the page setup; xlrd reads the UTF-8 titles, page header and
// footer as given, in code page 1252 and in 1251; 150,000 records continue on three sheets, each
// record once and in order; with --rows-per-sheet 16384 xlrd and Gnumeric read every record too.
// One test does it all, so that LibreOffice starts only twice.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "ToolRun.h"

namespace tabulon {
namespace {

using test::ShellQuoted;
using test::TRunResult;

TRunResult Tabulon(std::vector<std::string> args) {
  const std::string flavour = TABULON_FLAVOUR;
  args.insert(args.begin(), std::string(TABULON_BINARY_DIR) +
                                (flavour == "7" ? "/tabulon" : "/tabulon_cli" + flavour));
  return test::Run(args);
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

size_t Count(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

class ReportReaders : public ::testing::Test {
 protected:
  void SetUp() override {
    if (test::Run({"sh", "-c",
                   "command -v soffice && command -v sqlite3 && command -v ssconvert && "
                   "command -v pdftotext"})
                .Status != 0 ||
        test::Run({"/usr/bin/python3", "-c", "import openpyxl, xlrd"}).Status != 0) {
      GTEST_SKIP() << "soffice, sqlite3, ssconvert, pdftotext, openpyxl or xlrd is missing";
    }
    dir_ = test::ScratchDir() + "/report_readers_" + std::to_string(getpid());
    test::Run({"rm", "-rf", dir_});
    mkdir(dir_.c_str(), 0755);
    ExportReport();
    ExportCyrillic();
    ExportRecords();
    const auto soffice = [this](const std::string& format, const std::string& files) {
      test::Run({"sh", "-c",
                 "cd " + ShellQuoted(dir_) + " && soffice -env:UserInstallation=file://" + dir_ +
                     "/profile --headless --convert-to " + format + " --outdir lo " + files});
    };
    soffice("xlsx", "report.xls big.xls");
    soffice("pdf", "report.xls");
    test::Run({"sh", "-c", "cd " + ShellQuoted(dir_) + " && ssconvert -S big16k.xls g%n.csv"});
  }
  void TearDown() override {
    if (!dir_.empty()) test::Run({"rm", "-rf", dir_});
  }

  // 300 orders of the sample book with every layout option of the command.
  void ExportReport() {
    const std::string db = dir_ + "/orders.db";
    test::Run({"sh", "-c",
               "sqlite3 " + ShellQuoted(db) + " < " +
                   ShellQuoted(TABULON_SOURCE_DIR "/examples/orders.sql")});
    report_ = Tabulon(
        {"export",
         "--db",
         db,
         "--query",
         "SELECT order_no AS \"Order\", order_date AS \"Date\", order_time AS \"Time\", "
         "customer AS \"Customer\", product AS \"Product\", amount AS \"Amount\" FROM orders "
         "WHERE order_no <= 100300 ORDER BY order_no",
         "-o",
         dir_ + "/report.xls",
         "--sheet",
         "Orders",
         "--title",
         kTitle,
         "--subtitle",
         kSubtitle,
         "--totals",
         "--orientation",
         "landscape",
         "--paper",
         "a4",
         "--fit-width",
         "1",
         "--margins",
         "0.5,0.4,0.6,0.3",
         "--page-header",
         kPageHeader,
         "--page-footer",
         "Seite &P von &N"});
  }

  // A title and a page footer in Cyrillic, in code page 1251.
  void ExportCyrillic() {
    const std::string csv = dir_ + "/cyrillic.csv";
    test::WriteFile(csv, "n\n1\n");
    cyrillic_ = Tabulon({"export", "--csv", csv, "-o", dir_ + "/cyrillic.xls", "--codepage", "1251",
                         "--title", kCyrillicTitle, "--page-footer", kCyrillicFooter});
  }

  // 150,000 numbered records, on sheets of 65,536 rows and of 16,384.
  void ExportRecords() {
    const std::string csv = dir_ + "/big.csv";
    test::Run({"sh", "-c", "seq 0 150000 | sed '1s/.*/n/' > " + ShellQuoted(csv)});
    big_ = Tabulon({"export", "--csv", csv, "-o", dir_ + "/big.xls", "--sheet", "Orders"});
    big16k_ = Tabulon({"export", "--csv", csv, "-o", dir_ + "/big16k.xls", "--sheet", "Orders",
                       "--rows-per-sheet", "16384"});
  }

  std::string Check(const std::vector<std::string>& args) const {
    std::vector<std::string> argv{"/usr/bin/python3",
                                  TABULON_SOURCE_DIR "/tests/readers/check_report.py"};
    argv.insert(argv.end(), args.begin(), args.end());
    const TRunResult run = test::Run(argv);
    return run.Status == 0 ? run.Out : "reader failed: " + run.Err;
  }
  static void ExpectLines(const std::string& view, const std::vector<std::string>& lines) {
    const std::vector<std::string> have = Lines(view);
    for (const std::string& line : lines)
      EXPECT_TRUE(std::find(have.begin(), have.end(), line) != have.end())
          << "missing: " << line << "\n"
          << view;
  }

  static constexpr const char* kTitle = "Bestellungen 2024 – Müller & Söhne";
  static constexpr const char* kSubtitle = "Die ersten 300 – Übersicht";
  static constexpr const char* kPageHeader = "&A – Bestellübersicht";
  static constexpr const char* kCyrillicTitle = "Отчёт 2024";
  static constexpr const char* kCyrillicFooter = "Страница &P";

  void CheckLayout();
  void CheckTexts();
  void CheckPrint();
  void CheckLongSheets();
  void CheckShortSheets();

  std::string dir_;
  TRunResult report_, cyrillic_, big_, big16k_;
};

TEST_F(ReportReaders, LayoutPrintAndSheetsOfRecordsInEveryReader) {
  {
    SCOPED_TRACE("report in LibreOffice");
    CheckLayout();
  }
  {
    SCOPED_TRACE("titles, page header and footer in xlrd");
    CheckTexts();
  }
  {
    SCOPED_TRACE("report printed by LibreOffice");
    CheckPrint();
  }
  {
    SCOPED_TRACE("150,000 records in LibreOffice");
    CheckLongSheets();
  }
  {
    SCOPED_TRACE("150,000 records on sheets of 16,384 rows in xlrd and Gnumeric");
    CheckShortSheets();
  }
}

void ReportReaders::CheckLayout() {
  ASSERT_EQ(report_.Status, 0) << report_.Err;
  EXPECT_EQ(report_.Err, "") << "300 records need no note about long sheets";
  // Widths: the longest shown value and two characters, plus LibreOffice's
  // own cell padding of 0.7: "100001", "dd.mm.yyyy", "hh:mm:ss", a customer
  // of 19 characters, the total "87,035.50" in bold (9.9). The title lines,
  // merged across the columns, widen none.
  ExpectLines(Check({"layout", dir_ + "/lo/report.xlsx"}),
              {"sheet Orders", "freeze A4", "titles $3:$3", "merged A1:F1 A2:F2",
               "font A1 '" + std::string(kTitle) + "' Arial,14,bold",
               "font A2 '" + std::string(kSubtitle) + "' Arial,11,bold",
               "font A3 'Order' Arial,10,bold", "width A 8.7", "width B 12.7", "width C 10.7",
               "width D 21.7", "width F 12.7", "page landscape paper=9 fit=1,0 fitToPage=True",
               "margins top=0.5 right=0.4 bottom=0.6 left=0.3",
               "header '" + std::string(kPageHeader) + "'", "footer 'Seite &P von &N'"});
}

void ReportReaders::CheckTexts() {
  ASSERT_EQ(cyrillic_.Status, 0) << cyrillic_.Err;
  EXPECT_EQ(cyrillic_.Err, "");
  ExpectLines(
      Check({"texts", dir_ + "/report.xls", dir_ + "/cyrillic.xls"}),
      {"cell A1 " + std::string(kTitle), "cell A2 " + std::string(kSubtitle),
       "header &C" + std::string(kPageHeader), "footer &CSeite &P von &N",
       "cell A1 " + std::string(kCyrillicTitle), "footer &C" + std::string(kCyrillicFooter)});
}

void ReportReaders::CheckPrint() {
  const TRunResult pdf = test::Run({"pdftotext", "-layout", dir_ + "/lo/report.pdf", "-"});
  ASSERT_EQ(pdf.Status, 0) << pdf.Err;
  std::vector<std::string> pages;
  std::istringstream in(pdf.Out);
  for (std::string page; std::getline(in, page, '\f');)
    if (page.find_first_not_of(" \n") != std::string::npos) pages.push_back(page);
  ASSERT_GE(pages.size(), 3u) << pdf.Out;
  const std::string total = std::to_string(pages.size());
  for (size_t i = 0; i < pages.size(); ++i) {
    const std::string& page = pages[i];
    EXPECT_TRUE(test::Contains(page, "Order") && test::Contains(page, "Customer") &&
                test::Contains(page, "Amount"))
        << "page " << i + 1 << " has no header:\n"
        << page;
    EXPECT_TRUE(test::Contains(page, "Seite " + std::to_string(i + 1) + " von " + total)) << page;
    EXPECT_EQ(test::Contains(page, kSubtitle), i == 0) << "the title on page 1 only";
  }
  EXPECT_TRUE(test::Contains(pages.back(), "87,035.50")) << pages.back();
  EXPECT_FALSE(test::Contains(pdf.Out, "###")) << "a value wider than its column";
}

void ReportReaders::CheckLongSheets() {
  ASSERT_EQ(big_.Status, 0) << big_.Err;
  EXPECT_TRUE(test::Contains(big_.Out, ": 150000 records, 1 fields, 3 sheets\n")) << big_.Out;
  EXPECT_EQ(Count(big_.Err, "--rows-per-sheet 16384 keeps the file readable"), 1u) << big_.Err;
  EXPECT_TRUE(test::Contains(big_.Err, "xlrd, pandas and Gnumeric read only the first 16384"))
      << big_.Err;
  ExpectLines(Check({"records", dir_ + "/lo/big.xlsx"}),
              {"sheet Orders 65536", "sheet Orders (2) 65536", "sheet Orders (3) 18931",
               "records 150000", "in order"});
}

void ReportReaders::CheckShortSheets() {
  ASSERT_EQ(big16k_.Status, 0) << big16k_.Err;
  EXPECT_EQ(big16k_.Err, "");
  const std::string xlrd = Check({"records", dir_ + "/big16k.xls"});
  ExpectLines(xlrd, {"sheet Orders 16384", "sheet Orders (9) 16384", "sheet Orders (10) 2554",
                     "records 150000", "in order"});
  std::vector<std::string> csvs{"records"};
  for (int i = 0; i < 10; ++i) csvs.push_back(dir_ + "/g" + std::to_string(i) + ".csv");
  ExpectLines(Check(csvs), {"records 150000", "in order"});
}

}  // namespace
}  // namespace tabulon
