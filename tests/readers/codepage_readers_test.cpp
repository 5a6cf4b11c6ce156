// UTF-8 texts written in each Windows code page, and `tabulon export
// --codepage`, read back by LibreOffice (one headless conversion of every
// file), xlrd and Gnumeric's ssconvert: every reader must find exactly the
// texts that went in (tests/readers/check_texts.py lists what it finds).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "BookTestUtil.h"
#include "Tabulon.h"
#include "ToolRun.h"

namespace tabulon {
namespace {

using book_test::RunCommand;
using test::ShellQuoted;

struct TSample {
  uint16_t CodePage;
  const char* Sheet;
  const char* Texts[3];  // A1, then the array written to A2:B2; the header is Texts[0]
};

const TSample kSamples[] = {
    {874, "ภาษาไทย", {"สวัสดีครับ", "ข้อมูล ๑๒๓", "ราคา ฿"}},
    {932, "日本語", {"日本語のテキスト", "ｶﾀｶﾅ カタカナ", "表示・円"}},
    {936, "简体中文", {"简体中文数据", "北京 上海", "价格￥"}},
    {949, "한국어", {"한국어 데이터", "서울 부산", "가격 원"}},
    {950, "繁體中文", {"繁體中文資料", "臺北 高雄", "價格"}},
    {1250, "Čeština", {"Příliš žluťoučký kůň", "Łódź Żółć", "Árvíztűrő"}},
    {1251, "Кириллица", {"Привет, мир", "Ёлка Москва", "Україна €"}},
    {1252, "Français", {"Crème brûlée", "Straße Müller", "€ œ Ÿ"}},
    {1253, "Ελληνικά", {"Καλημέρα κόσμε", "Αθήνα", "ΰ ΐ €"}},
    {1254, "Türkçe", {"İstanbul ığüşöç", "ĞÜŞİÖÇ", "Ankara"}},
    {1255, "עברית", {"שלום עולם", "תל אביב", "₪ מחיר"}},
    {1256, "العربية", {"مرحبا بالعالم", "القاهرة", "پ گ ک"}},
    {1257, "Lietuvių", {"Ąžuolas ėčęįšųūž", "Rīga Latviešu", "Eesti õõ"}},
    {1258, "Văn", {"Văn Đà ₫", "Đà ươ", "ăâêôơư"}},
};

std::string Repeat(const std::string& text, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += text;
  return out;
}

// 150 double-byte characters: 300 bytes in code page 932, cut to 127.
const std::string kLongText = Repeat("日", 150);

std::string SampleName(uint16_t code_page) {
  return "cp" + std::to_string(code_page);
}

void WriteSample(const TSample& sample, const std::string& path) {
  TXLSWorkbook book;
  book.SetUtf8Texts(true);
  ASSERT_EQ(book.SetCodePage(sample.CodePage), 1);
  XLSPtr<IXLSWorkSheet> sheet = book.GetWorksheets()->Add();
  sheet->SetWorkSheetName(sample.Sheet);
  sheet->FGetRange("A1", "A1")->SetValue(OleVariant(sample.Texts[0]));
  sheet->FGetRange("A2", "B2")
      ->SetValue(VarArrayOf({OleVariant(sample.Texts[1]), OleVariant(sample.Texts[2])}));
  if (sample.CodePage == 932) sheet->FGetRange("A3", "A3")->SetValue(OleVariant(kLongText));
  sheet->GetPageSetup()->SetCenterHeader(sample.Texts[0]);
  ASSERT_EQ(book.SaveAs(path), 1) << book.GetLastError();
  EXPECT_EQ(book.GetTextLosses().Count, 0u) << sample.CodePage;
}

// Gnumeric decodes code pages 1255 and 1258 with a converter that holds back
// a letter in case a combining mark follows, and never asks for it at the end
// of a text: it drops the last letter of every text that ends in one. The
// files are right (LibreOffice and xlrd read them exactly), so Gnumeric is not
// asked to read these two.
bool GnumericReadsLastLetters(uint16_t code_page) {
  return code_page != 1255 && code_page != 1258;
}

// The lines check_texts.py prints for a sample.
std::set<std::string> Expected(const TSample& sample) {
  const std::string prefix = SampleName(sample.CodePage) + " " + sample.Sheet;
  std::set<std::string> lines = {
      SampleName(sample.CodePage) + " sheet " + sample.Sheet, prefix + "!A1 " + sample.Texts[0],
      prefix + "!A2 " + sample.Texts[1], prefix + "!B2 " + sample.Texts[2],
      prefix + " header " + sample.Texts[0]};
  if (sample.CodePage == 932) lines.insert(prefix + "!A3 " + Repeat("日", 127));
  return lines;
}

const char* const kCyrillicRows[][2] = {
    {"Имя", "Город"}, {"Иван Петров", "Москва"}, {"Ёлка Щукина", "Санкт-Петербург"}};

std::set<std::string> ExpectedExport(const std::string& name) {
  std::set<std::string> lines = {name + " sheet Лист"};
  for (int row = 0; row < 3; ++row) {
    for (int col = 0; col < 2; ++col)
      lines.insert(name + " Лист!" + EncodeCellRef(static_cast<uint16_t>(row), col) + " " +
                   kCyrillicRows[row][col]);
  }
  return lines;
}

// Sheet names as readers must find them: Japanese names whose second byte is
// 0x5C ('\\' as a single byte) given as code page bytes, a name refused
// because it would be stored as another sheet's, and the euro sign in 936,
// which becomes '?' (xlrd refuses the byte 0x80 and with it the file).
struct TNamedFile {
  const char* Name;
  std::set<std::string> Lines;
};

const std::string kZhong = "中";
const std::string kLongChineseName = Repeat(kZhong, 15) + "b";  // 31 bytes in 936

std::vector<TNamedFile> WriteNameSamples(const std::string& dir) {
  TXLSWorkbook japanese;
  japanese.SetCodePage(932);
  japanese.GetWorksheets()->Add()->SetWorkSheetName("\x95\x5C");                  // 表
  japanese.GetWorksheets()->Add()->SetWorkSheetName("\x83\x5C\x83\x74\x83\x67");  // ソフト
  TXLSWorkbook western;
  western.SetUtf8Texts(true);
  western.GetWorksheets()->Add()->SetWorkSheetName("Ωa");
  western.GetWorksheets()->Add()->SetWorkSheetName("Σa");
  TXLSWorkbook chinese;
  chinese.SetUtf8Texts(true);
  chinese.SetCodePage(936);
  chinese.GetWorksheets()->Add()->FGetRange("A1", "A1")->SetValue(OleVariant("€ 5 中"));
  for (const auto& [book, name] : {std::pair<TXLSWorkbook*, const char*>{&japanese, "names932"},
                                   {&western, "names1252"},
                                   {&chinese, "euro936"}})
    EXPECT_EQ(book->SaveAs(dir + "/" + name + ".xls"), 1) << book->GetLastError();
  return {{"names932", {"names932 sheet 表", "names932 sheet ソフト"}},
          {"names1252", {"names1252 sheet _a", "names1252 sheet Sheet2"}},
          {"euro936", {"euro936 sheet Sheet1", "euro936 Sheet1!A1 ? 5 中"}}};
}

// What check_texts.py finds in the exports of kChineseRows: the header and
// three records on each sheet of --rows-per-sheet 4.
const char* const kChineseRows[] = {"名", "一", "二", "三", "四", "五"};

std::set<std::string> ExpectedChineseExport(const std::string& file,
                                            const std::vector<std::string>& sheets) {
  std::set<std::string> lines;
  for (size_t i = 0; i < sheets.size(); ++i) {
    lines.insert(file + " sheet " + sheets[i]);
    lines.insert(file + " " + sheets[i] + "!A1 " + kChineseRows[0]);
    for (size_t row = 1; row <= 3 && 3 * i + row < std::size(kChineseRows); ++row)
      lines.insert(file + " " + sheets[i] + "!A" + std::to_string(row + 1) + " " +
                   kChineseRows[3 * i + row]);
  }
  return lines;
}

class CodePageReaders : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* tool : {"soffice", "ssconvert", "sqlite3"}) {
      if (RunCommand(std::string("command -v ") + tool).status != 0)
        GTEST_SKIP() << tool << " is not installed";
    }
    dir_ = test::ScratchDir() + "/codepage_readers_" + std::to_string(getpid());
    RunCommand("rm -rf " + ShellQuoted(dir_));
    mkdir(dir_.c_str(), 0755);
  }
  void TearDown() override {
    if (!dir_.empty()) RunCommand("rm -rf " + ShellQuoted(dir_));
  }

  std::string Path(const std::string& name) const { return dir_ + "/" + name; }

  // `tabulon export --codepage 1251` of a CSV file and of an SQLite query.
  void ExportCyrillic() {
    std::string csv, sql = "CREATE TABLE t(a TEXT, b TEXT);";
    for (const auto& row : kCyrillicRows) {
      csv += std::string(row[0]) + "," + row[1] + "\n";
      if (&row != &kCyrillicRows[0])
        sql += std::string("INSERT INTO t VALUES('") + row[0] + "','" + row[1] + "');";
    }
    test::WriteFile(Path("input.csv"), csv);
    RunCommand("sqlite3 " + ShellQuoted(Path("input.db")) + " " + ShellQuoted(sql));
    const std::string tabulon = Tabulon();
    const std::string common = " --codepage 1251 --sheet Лист -o ";
    const std::string query = std::string("SELECT a AS \"") + kCyrillicRows[0][0] + "\", b AS \"" +
                              kCyrillicRows[0][1] + "\" FROM t";
    for (const std::string& command :
         {tabulon + " export --csv " + ShellQuoted(Path("input.csv")) + common +
              ShellQuoted(Path("csv1251.xls")),
          tabulon + " export --db " + ShellQuoted(Path("input.db")) + " --query " +
              ShellQuoted(query) + common + ShellQuoted(Path("sql1251.xls"))}) {
      const book_test::TRun run = RunCommand(command);
      EXPECT_EQ(run.status, 0) << run.output;
    }
  }

  // `tabulon export` of Chinese records on sheets of four rows: into 936
  // under a 31-byte name, cut before a double-byte character on the
  // continuation sheet, and into 950 under a name whose second byte is 0x5C.
  std::vector<TNamedFile> ExportChinese() {
    std::string csv;
    for (const char* row : kChineseRows) csv += std::string(row) + "\n";
    test::WriteFile(Path("chinese.csv"), csv);
    const std::string input = " --csv " + ShellQuoted(Path("chinese.csv")) + " --rows-per-sheet 4";
    for (const std::string& options :
         {" --codepage 936 --sheet " + ShellQuoted(kLongChineseName) + " -o " +
              ShellQuoted(Path("rows936.xls")),
          " --codepage 950 --sheet 許可 -o " + ShellQuoted(Path("names950.xls"))}) {
      const book_test::TRun run = RunCommand(Tabulon() + " export" + input + options);
      EXPECT_EQ(run.status, 0) << run.output;
    }
    return {{"rows936",
             ExpectedChineseExport("rows936", {kLongChineseName, Repeat(kZhong, 13) + " (2)"})},
            {"names950", ExpectedChineseExport("names950", {"許可", "許可 (2)"})}};
  }

  static std::string Tabulon() {
    return std::string(TABULON_BINARY_DIR) +
           (std::string(TABULON_FLAVOUR) == "7" ? "/tabulon" : "/tabulon_cli" TABULON_FLAVOUR);
  }

  std::set<std::string> Read(const std::string& reader, const std::vector<std::string>& files) {
    std::string command =
        "/usr/bin/python3 " TABULON_SOURCE_DIR "/tests/readers/check_texts.py " + reader;
    for (const std::string& file : files) command += " " + ShellQuoted(file);
    const book_test::TRun run = RunCommand(command);
    EXPECT_EQ(run.status, 0) << reader << ": " << run.output;
    std::set<std::string> lines;
    std::istringstream in(run.output);
    for (std::string line; std::getline(in, line);) lines.insert(line);
    return lines;
  }

  std::string dir_;
};

// What one reader is given and must find.
struct TReaderCheck {
  const char* Reader;
  std::string Extension;
  std::vector<std::string> Files;
  std::set<std::string> Expected;

  void Add(const std::string& path_stem, const std::set<std::string>& lines) {
    Files.push_back(path_stem + Extension);
    Expected.insert(lines.begin(), lines.end());
  }
};

TEST_F(CodePageReaders, EveryReaderReadsTheTextsOfEveryCodePage) {
  TReaderCheck xlrd{"xlrd", ".xls", {}, {}}, libreOffice{"openpyxl", ".xlsx", {}, {}},
      gnumeric{"gnumeric", ".gnumeric", {}, {}};
  std::string xlsFiles, gnumericFiles;
  const auto add = [&](const std::string& name, const std::set<std::string>& lines,
                       bool for_gnumeric) {
    xlrd.Add(Path(name), lines);
    libreOffice.Add(Path("lo/" + name), lines);
    xlsFiles += " " + name + ".xls";
    if (!for_gnumeric) return;
    gnumeric.Add(Path(name), lines);
    gnumericFiles += " " + name;
  };
  for (const TSample& sample : kSamples) {
    const std::string name = SampleName(sample.CodePage);
    WriteSample(sample, Path(name + ".xls"));
    add(name, Expected(sample), GnumericReadsLastLetters(sample.CodePage));
  }
  ExportCyrillic();
  for (const char* name : {"csv1251", "sql1251"}) add(name, ExpectedExport(name), true);
  for (const std::vector<TNamedFile>& files : {WriteNameSamples(dir_), ExportChinese()}) {
    for (const TNamedFile& file : files) add(file.Name, file.Lines, true);
  }

  RunCommand("cd " + ShellQuoted(dir_) + " && soffice -env:UserInstallation=file://" + dir_ +
             "/profile --headless --convert-to xlsx --outdir lo" + xlsFiles);
  RunCommand("cd " + ShellQuoted(dir_) + " && for f in" + gnumericFiles +
             "; do ssconvert $f.xls $f.gnumeric; done");

  for (const TReaderCheck& check : {xlrd, libreOffice, gnumeric}) {
    const std::set<std::string> found = Read(check.Reader, check.Files);
    std::string report;
    for (const std::string& line : check.Expected) {
      if (!found.count(line)) report += "  missing:    " + line + "\n";
    }
    for (const std::string& line : found) {
      if (!check.Expected.count(line)) report += "  unexpected: " + line + "\n";
    }
    EXPECT_TRUE(report.empty()) << check.Reader << " read:\n" << report;
  }
}

}  // namespace
}  // namespace tabulon
