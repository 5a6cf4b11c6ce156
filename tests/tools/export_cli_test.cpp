// `tabulon export` run as its own process: SQLite and CSV input, options,
// reported losses, and the failures that must end with a clear message and a
// non-zero exit status.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "ToolRun.h"

namespace tabulon {
namespace {

using test::Contains;
using test::TRunResult;

std::string Scratch(const std::string& name) {
  return test::ScratchDir() + "/export_cli_" + name;
}

TRunResult Tabulon(std::vector<std::string> args) {
  const std::string flavour = TABULON_FLAVOUR;
  args.insert(args.begin(), std::string(TABULON_BINARY_DIR) +
                                (flavour == "7" ? "/tabulon" : "/tabulon_cli" + flavour));
  return test::Run(args);
}

std::string Database(const std::string& name, const std::string& sql) {
  const std::string path = Scratch(name + ".db");
  std::remove(path.c_str());
  test::Run({"sqlite3", path, sql});
  return path;
}

TEST(CliExport, SqliteQueryBecomesAFormattedSheet) {
  const std::string db =
      Database("orders",
               "CREATE TABLE o (n INTEGER, d DATE, amount CURRENCY, who TEXT);"
               "INSERT INTO o VALUES (1, '2024-03-01', 9.5, 'Jos\xC3\xA9'), (2, NULL, 10, 'Ann');");
  const std::string out = Scratch("orders.xls");
  const TRunResult run = Tabulon({"export",
                                  "--db",
                                  db,
                                  "--query",
                                  "SELECT * FROM o ORDER BY n",
                                  "-o",
                                  out,
                                  "--sheet",
                                  "Orders",
                                  "--start-row",
                                  "2",
                                  "--start-col=B",
                                  "--header-color",
                                  "silver",
                                  "--header-border",
                                  "thin",
                                  "--detail-border",
                                  "hair",
                                  "--detail-border-color",
                                  "#FF0000",
                                  "--header-font",
                                  "Verdana,12,bold,italic"});
  ASSERT_EQ(run.Status, 0) << run.Err;
  EXPECT_EQ(run.Out, "wrote " + out + ": 2 records, 4 fields\n");
  EXPECT_TRUE(run.Err.empty()) << "no progress line when stderr is no terminal:\n" << run.Err;
  const std::string dump = test::DumpXls(out);
  EXPECT_TRUE(Contains(dump, "sheet Orders ")) << dump;
  EXPECT_TRUE(Contains(dump, "B2 text n\nC2 text d\nD2 text amount\nE2 text who\n")) << dump;
  EXPECT_TRUE(
      Contains(dump, "B3 number 1.0\nC3 date 45352.0\nD3 number 9.5\nE3 text Jos\xC3\xA9\n"))
      << dump;
  EXPECT_FALSE(Contains(dump, "C4 ")) << "NULL leaves its cell empty\n" << dump;
}

TEST(CliExport, CsvFileWithTypedColumns) {
  const std::string csv = Scratch("in.csv");
  test::WriteFile(csv, "day,qty,name\n2024-03-01,3,x\n2024-03-02,4,\xE4\xB8\xAD\n");
  const std::string out = Scratch("csv.xls");
  const TRunResult run = Tabulon({"export", "--csv", csv, "-o", out});
  ASSERT_EQ(run.Status, 0) << run.Err;
  EXPECT_TRUE(
      Contains(run.Err, csv + ": line 3, column 14 (record 2, field 'name'): character U+4E2D"))
      << run.Err;
  const std::string dump = test::DumpXls(out);
  EXPECT_TRUE(Contains(dump, "A2 date 45352.0\nB2 number 3.0\nC2 text x\n")) << dump;
  EXPECT_TRUE(Contains(dump, "C3 text ?\n")) << dump;
}

// The same CSV input gives the same reports in both commands.
TEST(CliExport, ExportAndConvertReportCsvInputAlike) {
  const std::string csv = Scratch("alike.csv");
  test::WriteFile(csv, "id,n\xC3\xA4me\n1,\"a\nb\xE4\xB8\xAD\"\n");
  const TRunResult exported = Tabulon({"export", "--csv", csv, "-o", Scratch("alike-e.xls")});
  const TRunResult converted = Tabulon({"convert", csv, Scratch("alike-c.xls")});
  ASSERT_EQ(exported.Status, 0) << exported.Err;
  ASSERT_EQ(converted.Status, 0) << converted.Err;
  const std::string loss =
      csv + ": line 3, column 2 (record 1, field 'n\xC3\xA4me'): character U+4E2D";
  EXPECT_EQ(exported.Err.rfind(loss, 0), 0u) << exported.Err;
  EXPECT_EQ(converted.Err, exported.Err);

  const std::string empty = Scratch("empty.csv");
  test::WriteFile(empty, "\xEF\xBB\xBF");
  const TRunResult emptyExport = Tabulon({"export", "--csv", empty, "-o", Scratch("empty-e.xls")});
  const TRunResult emptyConvert = Tabulon({"convert", empty, Scratch("empty-c.xls")});
  EXPECT_EQ(emptyExport.Status, 1);
  EXPECT_EQ(emptyConvert.Status, 1);
  EXPECT_EQ(emptyExport.Err,
            "tabulon export: error: " + empty + ": no header row with the field names\n");
  EXPECT_EQ(emptyConvert.Err,
            "tabulon convert: error: " + empty + ": no header row with the field names\n");
  EXPECT_FALSE(test::FileExists(Scratch("empty-c.xls")));
}

// The semicolon file of a German spreadsheet: split at its semicolons, its
// decimal commas numbers with --decimal-comma, and a record that does not
// fit the header names the separator it was split at.
TEST(CliExport, SemicolonCsvWithDecimalCommas) {
  const std::string csv = Scratch("de.csv");
  test::WriteFile(csv, "Name;Betrag;Datum\nM\xC3\xBCller;12,5;2024-03-01\nAnn;3;2024-03-02\n");
  const std::string out = Scratch("de.xls");
  const TRunResult plain = Tabulon({"export", "--csv", csv, "-o", out});
  ASSERT_EQ(plain.Status, 0) << plain.Err;
  EXPECT_EQ(plain.Out, "wrote " + out + ": 2 records, 3 fields\n");
  EXPECT_TRUE(Contains(plain.Err, csv + ": note: fields separated by semicolons")) << plain.Err;
  EXPECT_TRUE(Contains(plain.Err, csv + ": 1 field is a number with a decimal comma (such as "
                                        "12,5), written as text; --decimal-comma reads them"))
      << plain.Err;
  const std::string dump = test::DumpXls(out);
  EXPECT_TRUE(Contains(dump,
                       "A2 text M\xC3\xBC"
                       "ller\nB2 text 12,5\nC2 date 45352.0\n"))
      << dump;

  const TRunResult comma = Tabulon({"export", "--csv", csv, "--decimal-comma", "-o", out});
  ASSERT_EQ(comma.Status, 0) << comma.Err;
  EXPECT_FALSE(Contains(comma.Err, "decimal comma")) << comma.Err;
  EXPECT_TRUE(Contains(test::DumpXls(out),
                       "B2 number 12.5\nC2 date 45352.0\nA3 text Ann\n"
                       "B3 number 3.0\n"));

  const TRunResult forced = Tabulon({"export", "--csv", csv, "--delimiter", ",", "-o", out});
  EXPECT_EQ(forced.Status, 1);
  EXPECT_TRUE(Contains(forced.Err, "tabulon export: error: " + csv +
                                       ": line 2: 2 fields "
                                       "separated by commas, but the header names 1\n"))
      << forced.Err;
}

// What stops the export is found before the input is read, and said last,
// on its own line: a file's changed texts are not reported for nothing.
TEST(CliExport, FatalErrorsComeFirstFromTheOptionsAndLastInTheOutput) {
  const std::string csv = Scratch("fatal.csv");
  std::string text = "name\n";
  for (int i = 0; i < 22; ++i) text += "\xE4\xB8\xAD\n";
  test::WriteFile(csv, text);
  const std::string out = Scratch("fatal.xls");
  std::remove(out.c_str());
  struct TCase {
    std::vector<std::string> options;
    std::string error;
  };
  for (const TCase& c : std::vector<TCase>{
           {{"--sheet", "bad/name"},
            "the sheet name 'bad/name' is not allowed in BIFF5: it needs 1 to 31 bytes, none of [ "
            "] : * ? "
            "/ \\"},
           {{"--start-row", "65536"},
            "a record finds no room on a sheet of 65536 rows below the header in row 65536"},
           {{"-o", Scratch("no/dir/out.xls")},
            "cannot write '" + Scratch("no/dir/out.xls") + "': folder '" + Scratch("no/dir") +
                "': No such file or directory"}}) {
    std::vector<std::string> args{"export", "--csv", csv, "-o", out};
    args.insert(args.end(), c.options.begin(), c.options.end());
    const TRunResult run = Tabulon(args);
    EXPECT_EQ(run.Status, 1) << run.Err;
    EXPECT_EQ(run.Err, "tabulon export: error: " + c.error + "\n");
    EXPECT_FALSE(test::FileExists(out));
  }
  // A failure the data shows comes after the losses and their count.
  std::string wide = "0";
  for (int i = 1; i < 257; ++i) wide += "," + std::to_string(i);
  test::WriteFile(csv, wide + "\n" + text.substr(5));
  const TRunResult run = Tabulon({"export", "--csv", csv, "-o", out});
  EXPECT_EQ(run.Status, 1);
  EXPECT_TRUE(test::EndsWith(run.Err, csv + ": ... and 2 more texts changed in the same way\n" +
                                          "tabulon export: error: 257 columns from column 1 do "
                                          "not fit on a sheet of 256 columns\n"))
      << run.Err;
}

TEST(CliExport, FailuresExitWithOneAndSayWhy) {
  const std::string db = Database("fail", "CREATE TABLE t (x); INSERT INTO t VALUES (1);");
  const std::string money =
      Database("money", "CREATE TABLE m (amount CURRENCY); INSERT INTO m VALUES (1), (1e300);");
  const std::string out = Scratch("fail.xls");
  const std::string notDb = Scratch("fail.txt");
  test::WriteFile(notDb, std::string(2048, 'z'));
  struct TCase {
    std::vector<std::string> args;
    std::string message;
  };
  const std::vector<TCase> cases = {
      {{"--db", Scratch("missing.db"), "--query", "SELECT 1", "-o", out},
       "cannot open the database"},
      {{"--db", notDb, "--query", "SELECT 1", "-o", out}, "file is not a database"},
      {{"--db", db, "--query", "SELECT nope FROM t", "-o", out}, "bad query: no such column"},
      {{"--csv", Scratch("missing.csv"), "-o", out}, "cannot read"},
      {{"--db", db, "--query", "SELECT x FROM t", "-o", Scratch("no/dir/out.xls")},
       "no/dir/out.xls"},
      {{"--db", db, "--query", "SELECT x FROM t", "-o", out, "--start-row", "65536"},
       "finds no room on a sheet of 65536 rows below the header in row 65536"},
      {{"--db", db, "--query", "SELECT x FROM t", "-o", out, "--title", "T", "--rows-per-sheet",
        "2"},
       "no room on a sheet of 2 rows"},
      {{"--db", db, "--query", "SELECT x FROM t; DELETE FROM t", "-o", out},
       "more than one statement"},
      {{"--db", money, "--query", "SELECT * FROM m", "-o", out}, "record 2, field 'amount'"},
      {{"--db", db, "--query", "SELECT x FROM t", "-o", out, "--sheet", "bad/name"},
       "'bad/name' is not allowed"},
      {{"--db", db, "--query", "SELECT x FROM t", "-o", out, "--sheet", std::string(51, 'n')},
       "is not allowed"},
  };
  for (const TCase& c : cases) {
    std::vector<std::string> args{"export"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    std::remove(out.c_str());
    const TRunResult run = Tabulon(args);
    EXPECT_EQ(run.Status, 1) << c.message << "\n" << run.Err;
    EXPECT_TRUE(Contains(run.Err, "tabulon export: ") && Contains(run.Err, c.message))
        << c.message << "\n"
        << run.Err;
    EXPECT_FALSE(test::FileExists(out)) << c.message;
  }
}

TEST(CliExport, StrictRefusesChangedTextsAndWritesNothing) {
  const std::string csv = Scratch("strict.csv");
  test::WriteFile(csv, "name\n\xE2\x82\xAC ok\n\xE4\xB8\xAD\n");  // the second has no cp1252 form
  const std::string out = Scratch("strict.xls");
  std::remove(out.c_str());
  const TRunResult run = Tabulon({"export", "--strict", "--csv", csv, "-o", out});
  EXPECT_EQ(run.Status, 3) << run.Err;
  EXPECT_TRUE(Contains(run.Err, "record 2, field 'name'")) << run.Err;
  EXPECT_TRUE(Contains(run.Err, "nothing written (--strict)")) << run.Err;
  EXPECT_FALSE(test::FileExists(out));
  EXPECT_EQ(Tabulon({"export", "--csv", csv, "-o", out}).Status, 0);
  EXPECT_TRUE(test::FileExists(out));
  std::remove(out.c_str());
}

// Values the export changes are reported as `convert` reports changed texts:
// the first 20 with record and field, a count of the rest, and a summary.
TEST(CliExport, ChangedValuesAreReportedAndStrictRefusesThem) {
  const std::string csv = Scratch("changed.csv");
  std::string text = "day,note\n";
  for (int i = 1; i <= 22; ++i)
    text +=
        (i == 2 ? "03/05/2024" : "2024-03-01") + std::string(",") + std::string(300, 'n') + "\n";
  test::WriteFile(csv, text);
  const std::string out = Scratch("changed.xls");
  std::remove(out.c_str());
  const TRunResult run = Tabulon({"export", "--csv", csv, "-o", out});
  EXPECT_EQ(run.Status, 0) << run.Err;
  EXPECT_TRUE(Contains(run.Err, csv + ": record 2, field 'day': '03/05/2024' is not a valid ISO "
                                      "8601 date (YYYY-MM-DD); written as text"))
      << run.Err;
  EXPECT_TRUE(Contains(run.Err, csv + ": record 1, field 'note': text of 300 characters cut to "
                                      "the 255 a BIFF5 cell holds"))
      << run.Err;
  EXPECT_TRUE(Contains(run.Err, "... and 3 more")) << run.Err;
  EXPECT_TRUE(Contains(run.Err, csv + ": 23 values are not written as the data holds them: texts "
                                      "cut to 255 characters: 22, invalid dates or times "
                                      "written as text: 1"))
      << run.Err;
  EXPECT_TRUE(test::FileExists(out));
  std::remove(out.c_str());
  const TRunResult strict = Tabulon({"export", "--strict", "--csv", csv, "-o", out});
  EXPECT_EQ(strict.Status, 3) << strict.Err;
  EXPECT_TRUE(Contains(strict.Err, "23 values cannot be kept as they are; nothing written"))
      << strict.Err;
  EXPECT_FALSE(test::FileExists(out));
}

// Titles, page headers and footers are UTF-8, converted like the data; what
// they lose is reported under the option that gave them.
TEST(CliExport, TitleAndPageTextsAreConvertedAndTheirLossesReported) {
  const std::string csv = Scratch("titles.csv");
  test::WriteFile(csv, "n\n1\n");
  const std::string out = Scratch("titles.xls");
  const TRunResult run =
      Tabulon({"export", "--csv", csv, "-o", out, "--title", std::string(300, 't'), "--subtitle",
               "M\xC3\xBCller", "--page-header", "\xCE\xA9 &P"});
  EXPECT_EQ(run.Status, 0) << run.Err;
  EXPECT_TRUE(Contains(run.Err, csv + ": --title: text of 300 characters cut to the 255 a BIFF5 "
                                      "cell holds\n"))
      << run.Err;
  EXPECT_TRUE(Contains(run.Err, csv + ": --page-header: character U+03A9 has no form in code "
                                      "page 1252 (Western European); written as '?'\n"))
      << run.Err;
  EXPECT_FALSE(Contains(run.Err, "--subtitle")) << run.Err;
  EXPECT_TRUE(Contains(run.Err, csv + ": 2 values are not written as the data holds them: texts "
                                      "cut to 255 characters: 1, characters of titles, page "
                                      "headers or footers replaced: 1"))
      << run.Err;
  std::remove(out.c_str());
}

// Every script in one workbook: the data, a field name, the sheet name and
// the title keep all their characters, and nothing is reported.
TEST(CliExport, Biff8KeepsEveryCharacter) {
  const std::string texts[] = {"Ĺůňá Žižek ß", "Привет", "Καλημέρα", "שלום",
                               "مرحبا",        "中文字", "한국어",   "😀"};
  std::string values;
  for (const std::string& text : texts)
    values += std::string(values.empty() ? "" : ",") + "('" + text + "')";
  const std::string db =
      Database("scripts", "CREATE TABLE t (\"имя\" TEXT); INSERT INTO t VALUES " + values + ";");
  const std::string out = Scratch("scripts.xls");
  const TRunResult run =
      Tabulon({"export", "--db", db, "--query", "SELECT * FROM t", "-o", out, "--format", "biff8",
               "--codepage", "1251", "--sheet", "Σελίδα 中", "--title", "Заказы 😀", "--totals"});
  ASSERT_EQ(run.Status, 0) << run.Err;
  EXPECT_TRUE(run.Err.empty()) << run.Err;
  std::string expected = "A1 text Заказы 😀\nA2 text имя\n";
  int row = 3;
  for (const std::string& text : texts)
    expected += "A" + std::to_string(row++) + " text " + text + "\n";
  const std::string dump = test::DumpXls(out);
  EXPECT_TRUE(Contains(dump, "\nsheet Σελίδα 中 ")) << dump;
  EXPECT_TRUE(Contains(dump, expected)) << dump;
}

// What xlrd reads of the formats: the number format and horizontal
// alignment (0 general, 1 left, 2 centre, 3 right) of the cells given, each
// sheet's _FilterDatabase area, and the values of the last sheet's last row.
std::string Formats(const std::string& path, const std::string& cells) {
  static const char kScript[] = R"(
import sys, xlrd
book = xlrd.open_workbook(sys.argv[1], formatting_info=True)
first, last = book.sheet_by_index(0), book.sheet_by_index(book.nsheets - 1)
for ref in sys.argv[2].split():
    row, col = int(ref[1:]) - 1, ord(ref[0]) - 65
    xf = book.xf_list[first.cell_xf_index(row, col)]
    print(ref, book.format_map[xf.format_key].format_str, xf.alignment.hor_align)
for name in book.name_obj_list:
    print("name", name.name, name.scope, name.hidden, name.area2d()[1:])
print("last", [last.cell_value(last.nrows - 1, c) for c in range(last.ncols)])
)";
  const TRunResult run = test::Run({"/usr/bin/python3", "-c", kScript, path, cells});
  return run.Status == 0 ? run.Out : "xlrd failed: " + run.Err;
}

// Five records on sheets of four rows: two on the first, one on each
// continuation sheet above its totals row, the last sheet's grand total.
TEST(CliExport, FieldFormatsGrandTotalAndAutoFilter) {
  const std::string db = Database(
      "fields",
      "CREATE TABLE t (who TEXT, n INTEGER, ratio REAL, amount CURRENCY, d DATE);"
      "INSERT INTO t VALUES ('a', 1, 0.5, 1.25, '2024-03-01'), ('b', 2, 1.5, 2, '2024-03-02'),"
      "('c', 3, 2.5, 3, '2024-03-03'), ('d', 4, 3.5, 4, '2024-03-04'), ('e', 5, 4.5, 5, NULL);");
  const std::vector<std::string> args = {"export",
                                         "--db",
                                         db,
                                         "--query",
                                         "SELECT * FROM t ORDER BY n",
                                         "--totals",
                                         "--rows-per-sheet",
                                         "4",
                                         "--format-field",
                                         "N=0000",
                                         "--align-field",
                                         "who=right",
                                         "--currency-format",
                                         "0.0"};
  const auto exportAs = [&](const std::string& name, std::vector<std::string> more) {
    std::vector<std::string> all = args;
    all.insert(all.end(), {"-o", Scratch(name)});
    all.insert(all.end(), more.begin(), more.end());
    const TRunResult run = Tabulon(all);
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_TRUE(Contains(run.Out, "5 records, 5 fields, 4 sheets")) << run.Out;
    return Formats(Scratch(name), "A2 B2 C2 D2 E2 B4 D4");
  };
  const std::string biff5 = exportAs("fields5.xls", {});
  // REAL columns get two decimals and dates align right in the command's
  // reports; no filter in BIFF5 unless asked for.
  EXPECT_TRUE(Contains(biff5,
                       "A2 General 3\nB2 0000 0\nC2 #,##0.00 0\nD2 0.0 0\n"
                       "E2 dd.mm.yyyy 3\nB4 0000 3\nD4 0.0 3\n"))
      << biff5;
  EXPECT_FALSE(Contains(biff5, "_FilterDatabase")) << biff5;
  EXPECT_TRUE(Contains(biff5, "last ['Grand total', 15.0, 12.5, 15.25, '']")) << biff5;
  const std::string biff8 = exportAs("fields8.xls", {"--format", "biff8"});
  EXPECT_TRUE(Contains(biff8, "name _FilterDatabase 0 1 (0, 3, 0, 5)\n")) << biff8;
  EXPECT_TRUE(Contains(biff8, "name _FilterDatabase 3 1 (0, 2, 0, 5)\n")) << biff8;
  const std::string asked = exportAs("fields5f.xls", {"--autofilter"});
  EXPECT_TRUE(Contains(asked, "name _FilterDatabase 1 1 (0, 2, 0, 5)\n")) << asked;
  const std::string off = exportAs("fields8n.xls", {"--format", "biff8", "--no-autofilter"});
  EXPECT_FALSE(Contains(off, "_FilterDatabase")) << off;

  const TRunResult unknown = Tabulon({"export", "--db", db, "--query", "SELECT * FROM t", "-o",
                                      Scratch("no.xls"), "--align-field", "whom=left"});
  EXPECT_EQ(unknown.Status, 1);
  EXPECT_TRUE(Contains(unknown.Err,
                       "error: --align-field: no field is named 'whom' (the fields: who, n, "
                       "ratio, amount, d)\n"))
      << unknown.Err;
}

TEST(CliExport, WrongUsageExitsWithTwo) {
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"export"},
           {"export", "--csv", "a.csv"},
           {"export", "--db", "a.db", "-o", "x.xls"},
           {"export", "--csv", "a.csv", "--db", "a.db", "--query", "q", "-o", "x.xls"},
           {"export", "--csv", "a.csv", "-o", "x.xls", "--header-color", "mauve-ish"},
           {"export", "--csv", "a.csv", "-o", "x.xls", "--detail-border", "dotted"},
           {"export", "--csv", "a.csv", "-o", "x.xls", "--start-col", "IW"},
           {"export", "--csv", "a.csv", "-o", "x.xls", "--start-row", "0"},
           {"export", "--csv", "a.csv", "-o", "x.xls", "--rows-per-sheet", "1"},
           {"export", "--csv", "a.csv", "-o", "x.xls", "--orientation", "sideways"},
           {"export", "--csv", "a.csv", "-o", "x.xls", "--paper", "a9"},
           {"export", "--csv", "a.csv", "-o", "x.xls", "--margins", "1,2"},
           {"export", "--csv", "a.csv", "-o", "x.xls", "--fit-width", "0"},
           {"export", "--csv", "a.csv", "-o"},
           {"export", "--csv", "a.csv", "-o", "x.xls", "stray"},
           {"export", "--db", "a.db", "--query", "q", "-o", "x.xls", "--decimal-comma"},
           {"export", "--csv", "a.csv", "-o", "x.xls", "--format", "xls"},
           {"export", "--csv", "a.csv", "-o", "x.xls", "--format-field", "qty"},
           {"export", "--csv", "a.csv", "-o", "x.xls", "--format-field", "=0.00"},
           {"export", "--csv", "a.csv", "-o", "x.xls", "--align-field", "qty=up"},
           {"export", "--csv", "a.csv", "-o", "x.xls", "--currency-format="}}) {
    const TRunResult run = Tabulon(args);
    EXPECT_EQ(run.Status, 2) << args.back() << "\n" << run.Err;
    EXPECT_TRUE(Contains(run.Err, "tabulon export: ")) << run.Err;
    EXPECT_TRUE(Contains(run.Err, "\nTry 'tabulon export --help' for more information.\n"))
        << run.Err;
    EXPECT_FALSE(Contains(run.Err, "Usage:")) << run.Err;
  }
  const TRunResult help = Tabulon({"export", "--help"});
  EXPECT_EQ(help.Status, 0);
  EXPECT_TRUE(Contains(help.Out, "\n  --detail-border-color C   colour of the detail lines\n"))
      << help.Out;
  EXPECT_TRUE(Contains(help.Out, "--rows-per-sheet")) << help.Out;
  EXPECT_TRUE(Contains(help.Out, "\n  --format F                file format: biff5")) << help.Out;
  EXPECT_TRUE(Contains(help.Out, "\n  --delimiter C             field separator")) << help.Out;
  EXPECT_TRUE(Contains(help.Out, "\n  -o, --output OUT.xls      the workbook to write"))
      << help.Out;
}

}  // namespace
}  // namespace tabulon
