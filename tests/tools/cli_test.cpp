#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "ToolRun.h"

namespace tabulon {
namespace {

using test::Contains;
using test::TRunResult;

std::string TabulonBinary() {
  const std::string flavour = TABULON_FLAVOUR;
  return std::string(TABULON_BINARY_DIR) + (flavour == "7" ? "/tabulon" : "/tabulon_cli" + flavour);
}

TRunResult Tabulon(const std::vector<std::string>& args) {
  std::vector<std::string> argv{TabulonBinary()};
  argv.insert(argv.end(), args.begin(), args.end());
  return test::Run(argv);
}

std::string Scratch(const std::string& name) {
  return test::ScratchDir() + "/cli_" + name;
}

// Converts csv (written to a scratch file) and returns the run; the output
// workbook is left at Scratch(name + ".xls"), removed first.
TRunResult Convert(const std::string& name, const std::string& csv,
                   const std::vector<std::string>& options = {}) {
  const std::string in = Scratch(name + ".csv");
  const std::string out = Scratch(name + ".xls");
  test::WriteFile(in, csv);
  std::remove(out.c_str());
  std::vector<std::string> args{"convert"};
  args.insert(args.end(), options.begin(), options.end());
  args.push_back(in);
  args.push_back(out);
  return Tabulon(args);
}

std::string Dump(const std::string& name) {
  return test::DumpXls(Scratch(name + ".xls"));
}

TEST(CliUsage, HelpListsTheCommands) {
  const TRunResult run = Tabulon({"--help"});
  EXPECT_EQ(run.Status, 0);
  EXPECT_TRUE(Contains(run.Out, "Usage: tabulon <command>")) << run.Out;
  EXPECT_TRUE(Contains(run.Out, "convert IN.csv OUT.xls")) << run.Out;
}

TEST(CliUsage, ConvertHelpDescribesTheInputAndExitStatuses) {
  const TRunResult run = Tabulon({"convert", "--help"});
  EXPECT_EQ(run.Status, 0);
  EXPECT_TRUE(Contains(run.Out,
                       "Usage: tabulon convert [options] IN.csv OUT.xls\n"
                       "       tabulon convert [options] IN.csv -o OUT.xls\n"))
      << run.Out;
  EXPECT_TRUE(Contains(run.Out, "Exit status")) << run.Out;
  // The option list is the table the arguments are parsed by.
  EXPECT_TRUE(Contains(run.Out, "\n  -o, --output OUT.xls      the workbook to write")) << run.Out;
  EXPECT_TRUE(Contains(run.Out, "\n  --delimiter C             field separator")) << run.Out;
  EXPECT_TRUE(Contains(run.Out, "\n  --decimal-comma           numbers in the CSV")) << run.Out;
}

TEST(CliUsage, WrongUsageGivesTheReasonThenPointsAtHelp) {
  struct TCase {
    std::vector<std::string> args;
    std::string reason;
    std::string help;
  };
  for (const TCase& c : std::vector<TCase>{
           {{}, "tabulon: no command given", "tabulon --help"},
           {{"frobnicate"}, "tabulon: unknown command 'frobnicate'", "tabulon --help"},
           {{"convert", "only-one.csv"},
            "tabulon convert: expected an input",
            "tabulon convert --help"},
           {{"convert", "--fast", "a.csv", "b.xls"},
            "tabulon convert: unknown option '--fast'",
            "tabulon convert --help"},
           {{"convert", "-o", "b.xls", "a.csv", "c.xls"},
            "tabulon convert: expected one input CSV file besides -o OUT.xls, got 2",
            "tabulon convert --help"},
           {{"convert", "--delimiter", ":", "a.csv", "b.xls"},
            "tabulon convert: --delimiter needs one of , ; | tab, not ':'",
            "tabulon convert --help"},
           {{"convert", "--format", "biff7", "a.csv", "b.xls"},
            "tabulon convert: --format needs biff5 or biff8, not 'biff7'",
            "tabulon convert --help"},
           {{"convert", "--strict=yes", "a.csv", "b.xls"},
            "tabulon convert: --strict takes no value",
            "tabulon convert --help"}}) {
    const TRunResult run = Tabulon(c.args);
    EXPECT_EQ(run.Status, 2) << c.reason;
    EXPECT_EQ(run.Err.rfind(c.reason, 0), 0u) << run.Err;
    EXPECT_EQ(std::count(run.Err.begin(), run.Err.end(), '\n'), 2) << run.Err;
    EXPECT_TRUE(Contains(run.Err, "\nTry '" + c.help + "' for more information.\n")) << run.Err;
    EXPECT_TRUE(run.Out.empty()) << run.Out;
  }
  const TRunResult version = Tabulon({"--version"});
  EXPECT_EQ(version.Status, 0);
  EXPECT_EQ(version.Out.rfind("tabulon ", 0), 0u) << version.Out;
}

TEST(CliConvert, QuotedFieldsAndCrLfLineEnds) {
  const TRunResult run = Convert(
      "quoting", "name,note\r\n\"Smith, John\",\"said \"\"hi\"\"\"\r\nx,\"two\nlines\"\r\n");
  ASSERT_EQ(run.Status, 0) << run.Err;
  EXPECT_TRUE(run.Err.empty()) << run.Err;
  EXPECT_TRUE(Contains(run.Out, "3 rows, 2 columns")) << run.Out;
  const std::string dump = Dump("quoting");
  EXPECT_TRUE(Contains(dump,
                       "A1 text name\nB1 text note\nA2 text Smith, John\n"
                       "B2 text said \"hi\"\nA3 text x\n"))
      << dump;
  EXPECT_TRUE(Contains(dump, "B3 text two\\rlines\n") || Contains(dump, "B3 text two\\nlines\n"))
      << dump;
}

TEST(CliConvert, DecimalNumbersBecomeNumbersOtherFieldsText) {
  const TRunResult run =
      Convert("numbers", "-12,3.5,1e3,\"42\",0\n007,1.2.3,12a,,1234567890123456\n");
  ASSERT_EQ(run.Status, 0) << run.Err;
  const std::string dump = Dump("numbers");
  EXPECT_TRUE(Contains(dump,
                       "A1 number -12.0\nB1 number 3.5\nC1 number 1000.0\nD1 number 42.0\n"
                       "E1 number 0.0\nA2 text 007\nB2 text 1.2.3\nC2 text 12a\n"
                       "E2 text 1234567890123456\n"))
      << dump;
  EXPECT_FALSE(Contains(dump, "D2 ")) << "an empty field leaves its cell empty\n" << dump;
}

// A semicolon file is split at its semicolons, not at its decimal commas;
// those are numbers only when --decimal-comma says so.
TEST(CliConvert, SemicolonFileWithDecimalCommas) {
  const std::string csv = "Name;Betrag;Datum\nM\xC3\xBCller;12,5;2024-03-01\nAnn;7;x\n";
  const TRunResult plain = Convert("semicolon", csv);
  ASSERT_EQ(plain.Status, 0) << plain.Err;
  const std::string in = Scratch("semicolon.csv");
  EXPECT_EQ(plain.Err, in +
                           ": note: fields separated by semicolons, as the header line shows "
                           "(--delimiter sets the separator)\n" +
                           in +
                           ": 1 field is a number with a decimal comma (such as 12,5), written "
                           "as text; --decimal-comma reads them as numbers\n");
  EXPECT_TRUE(Contains(plain.Out, "3 rows, 3 columns")) << plain.Out;
  EXPECT_TRUE(Contains(Dump("semicolon"),
                       "A2 text M\xC3\xBCller\nB2 text 12,5\nC2 text 2024-03-01\nA3 text Ann\n"
                       "B3 number 7.0\n"));

  const TRunResult comma = Convert("decimal_comma", csv, {"--decimal-comma"});
  ASSERT_EQ(comma.Status, 0) << comma.Err;
  EXPECT_FALSE(Contains(comma.Err, "decimal comma")) << comma.Err;
  EXPECT_TRUE(Contains(Dump("decimal_comma"), "B2 number 12.5\n"));

  // --delimiter overrides what the header line shows; -o names the output.
  const std::string tabs = Scratch("tabs.csv");
  test::WriteFile(tabs, "a;b;c\tn\n1;2\t3,5\n");
  const TRunResult tab = Tabulon(
      {"convert", "--delimiter", "tab", "--decimal-comma", tabs, "-o", Scratch("tabs.xls")});
  ASSERT_EQ(tab.Status, 0) << tab.Err;
  EXPECT_TRUE(tab.Err.empty()) << tab.Err;
  EXPECT_TRUE(Contains(Dump("tabs"), "A1 text a;b;c\nB1 text n\nA2 text 1;2\nB2 number 3.5\n"));
}

TEST(CliConvert, AccentsAreStoredInCodePage1252AndReadBack) {
  const TRunResult run = Convert("accents",
                                 "M\xC3\xBCller,Jos\xC3\xA9,\xC3\x85ngstr\xC3\xB6m\n\xE2\x82\xAC 5,"
                                 "\xE2\x80\x9Cquoted\xE2\x80\x9D,Fran\xC3\xA7ois\n");
  ASSERT_EQ(run.Status, 0) << run.Err;
  EXPECT_TRUE(run.Err.empty()) << run.Err;
  const std::string dump = Dump("accents");
  EXPECT_TRUE(Contains(dump, "codepage 1252\n")) << dump;
  EXPECT_TRUE(Contains(dump,
                       "A1 text M\xC3\xBCller\nB1 text Jos\xC3\xA9\n"
                       "C1 text \xC3\x85ngstr\xC3\xB6m\nA2 text \xE2\x82\xAC 5\n"
                       "B2 text \xE2\x80\x9Cquoted\xE2\x80\x9D\nC2 text Fran\xC3\xA7ois\n"))
      << dump;
}

TEST(CliConvert, Biff8KeepsEveryCharacterAndLongTexts) {
  const std::string scripts = "Ĺůňá,Привет,Καλημέρα,שלום,مرحبا,中文字,한국어,😀";
  const std::string longText(300, 'x');
  const TRunResult run = Convert("biff8", scripts + "\n" + longText + "\n", {"--format", "biff8"});
  ASSERT_EQ(run.Status, 0) << run.Err;
  EXPECT_TRUE(run.Err.empty()) << run.Err;
  EXPECT_TRUE(Contains(Dump("biff8"),
                       "A1 text Ĺůňá\nB1 text Привет\nC1 text Καλημέρα\nD1 text "
                       "שלום\nE1 text مرحبا\nF1 text 中文字\nG1 text 한국어\nH1 "
                       "text 😀\nA2 text " +
                           longText + "\n"))
      << Dump("biff8");
}

TEST(CliConvert, ByteOrderMarkIsSkipped) {
  ASSERT_EQ(Convert("bom",
                    "\xEF\xBB\xBF"
                    "a,1\n")
                .Status,
            0);
  EXPECT_TRUE(Contains(Dump("bom"), "A1 text a\nB1 number 1.0\n"));
}

TEST(CliConvert, TheSampleShippedWithTheExamplesConvertsCleanly) {
  const std::string out = Scratch("sample.xls");
  const TRunResult run = Tabulon({"convert", TABULON_SOURCE_DIR "/examples/sample.csv", out});
  ASSERT_EQ(run.Status, 0) << run.Err;
  EXPECT_TRUE(run.Err.empty()) << run.Err;
  EXPECT_TRUE(Contains(run.Out, "51 rows, 10 columns")) << run.Out;
  const std::string dump = test::DumpXls(out);
  EXPECT_TRUE(Contains(dump, "A2 text A-1001\nB2 text 2024-01-01\nC2 text Anna M\xC3\xBCller\n"))
      << dump;
  EXPECT_TRUE(Contains(dump, "C10 text Smith, John\n")) << dump;
  EXPECT_TRUE(Contains(dump, "E7 text 01067\n")) << dump;
  EXPECT_TRUE(Contains(dump, "I2 number 189.0\n")) << dump;
}

TEST(CliUnmappable, CharacterOutsideTheCodePageIsReportedAndReplaced) {
  const TRunResult run = Convert("unmappable",
                                 "a,b\nx,ab\xE4\xB8\xAD"
                                 "c\n");
  ASSERT_EQ(run.Status, 0) << run.Err;
  EXPECT_TRUE(Contains(run.Err, "line 2, column 5")) << run.Err;
  EXPECT_TRUE(Contains(run.Err, "U+4E2D")) << run.Err;
  EXPECT_TRUE(Contains(Dump("unmappable"), "B2 text ab?c\n"));
}

TEST(CliUnmappable, StrictRefusesWithItsOwnStatusAndWritesNothing) {
  const TRunResult run = Convert("strict", "ab\xE4\xB8\xAD\n", {"--strict"});
  EXPECT_EQ(run.Status, 3);
  EXPECT_TRUE(Contains(run.Err, "U+4E2D")) << run.Err;
  EXPECT_TRUE(Contains(run.Err, "nothing written")) << run.Err;
  EXPECT_FALSE(test::FileExists(Scratch("strict.xls")));
}

TEST(CliUnmappable, ManyReportsAreCappedWithACount) {
  std::string csv;
  for (int i = 0; i < 30; ++i) csv += "\xE4\xB8\xAD\n";
  const TRunResult run = Convert("many", csv);
  ASSERT_EQ(run.Status, 0);
  EXPECT_TRUE(Contains(run.Err, "line 20, column 1")) << run.Err;
  EXPECT_FALSE(Contains(run.Err, "line 21, column 1")) << run.Err;
  EXPECT_TRUE(Contains(run.Err, "and 10 more")) << run.Err;
}

TEST(CliLongText, TextBeyondWhatACellHoldsIsReportedAndCut) {
  const TRunResult run = Convert("long", "x," + std::string(300, 'a') + "\n");
  ASSERT_EQ(run.Status, 0) << run.Err;
  EXPECT_TRUE(Contains(run.Err, "line 1 (field names), cell B1")) << run.Err;
  EXPECT_TRUE(Contains(Dump("long"), "B1 text " + std::string(255, 'a') + "\n"));
  EXPECT_EQ(Convert("long_strict", "x," + std::string(300, 'a') + "\n", {"--strict"}).Status, 3);
}

TEST(CliRefusedInput, InvalidUtf8IsRefusedWithItsPlace) {
  const TRunResult run = Convert("latin1", "name\nJos\xE9,1\n");
  EXPECT_EQ(run.Status, 1);
  EXPECT_TRUE(Contains(run.Err, "line 2, column 4")) << run.Err;
  EXPECT_TRUE(Contains(run.Err, "invalid UTF-8 (byte 0xE9)")) << run.Err;
  EXPECT_FALSE(test::FileExists(Scratch("latin1.xls")));
}

TEST(CliRefusedInput, UnclosedQuoteIsRefused) {
  const TRunResult run = Convert("unclosed", "a\n\"never closed,1\n2\n");
  EXPECT_EQ(run.Status, 1);
  EXPECT_TRUE(Contains(run.Err, "opened on line 2, column 1 is never closed")) << run.Err;
  EXPECT_FALSE(test::FileExists(Scratch("unclosed.xls")));
}

// The reason that stops the job comes last, after the count of the changed
// texts not shown.
TEST(CliRefusedInput, MoreColumnsThanASheetHoldsIsRefused) {
  std::string wide = "0";
  for (int i = 1; i < 257; ++i) wide += "," + std::to_string(i);
  std::string csv = "a\n";
  for (int i = 0; i < 22; ++i) csv += "\xE4\xB8\xAD\n";
  const TRunResult run = Convert("wide", csv + wide + "\n");
  EXPECT_EQ(run.Status, 1);
  const std::string in = Scratch("wide.csv");
  const std::string tail = in + ": ... and 2 more texts changed in the same way\n" +
                           "tabulon convert: error: " + in + ": line 24: 257 fields; an .xls " +
                           "sheet holds at most 256 columns\n";
  EXPECT_TRUE(test::EndsWith(run.Err, tail)) << run.Err;
}

TEST(CliFiles, MissingInputFileIsNamedWithTheReason) {
  const std::string missing = Scratch("does-not-exist.csv");
  const TRunResult run = Tabulon({"convert", missing, Scratch("missing.xls")});
  EXPECT_EQ(run.Status, 1);
  EXPECT_TRUE(Contains(run.Err, "cannot read '" + missing + "': No such file or directory"))
      << run.Err;
}

// The output is checked before the input is read: its texts are not reported
// when nothing can be written anyway.
TEST(CliFiles, OutputInAMissingFolderIsReportedBeforeTheInputIsRead) {
  const std::string in = Scratch("ok.csv");
  test::WriteFile(in, "a,\xE4\xB8\xAD\n");
  const std::string out = Scratch("no-such-folder/out.xls");
  const TRunResult run = Tabulon({"convert", in, out});
  EXPECT_EQ(run.Status, 1);
  EXPECT_EQ(run.Err, "tabulon convert: error: cannot write '" + out + "': folder '" +
                         Scratch("no-such-folder") + "': No such file or directory\n");
  EXPECT_TRUE(run.Out.empty()) << run.Out;
}

}  // namespace
}  // namespace tabulon
