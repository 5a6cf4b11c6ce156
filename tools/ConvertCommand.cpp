// `tabulon convert`: a CSV file in UTF-8 becomes a one-sheet .xls workbook.
// The whole input is converted to the workbook's code page first, so every
// character that code page lacks is reported with its place in the file;
// then the records are written cell by cell and the workbook is saved.
#include <tabulon/Tabulon.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "Commands.h"
#include "CsvSheetWriter.h"
#include "CsvText.h"
#include "Diagnostics.h"
#include "Options.h"

namespace tabulon {
namespace {

struct TConvertOptions {
  bool Strict = false;
  bool Help = false;
  uint16_t CodePage = 1252;
  int32_t FileFormat = xlExcel5;  // BIFF8 keeps the texts as UTF-8
  char Delimiter = 0;             // 0: as the header line shows
  bool DecimalComma = false;
  std::string Input;
  std::string Output;
};

TOptionTable OptionTable(TConvertOptions& options) {
  return {{"Options:",
           {OutputOption(options.Output), DelimiterOption(options.Delimiter),
            DecimalCommaOption(options.DecimalComma), CodePageOption(options.CodePage),
            FileFormatOption(options.FileFormat),
            StrictOption(options.Strict, "refuse changed texts: report them all, write nothing"),
            HelpOption(options.Help)}}};
}

// Fills options from args; throws TUsageError on bad usage.
void ParseOptions(const std::vector<std::string>& args, TConvertOptions& options) {
  const std::vector<std::string> files = ParseArguments(OptionTable(options), args);
  if (options.Help) return;
  if (!options.Output.empty()) {
    if (files.size() != 1)
      throw TUsageError("expected one input CSV file besides -o OUT.xls, got " +
                        std::to_string(files.size()) + " file names");
    options.Input = files[0];
    return;
  }
  if (files.size() != 2)
    throw TUsageError("expected an input CSV file and an output .xls file, got " +
                      std::to_string(files.size()) + " file names");
  options.Input = files[0];
  options.Output = files[1];
}

// Checks the output, reads the input and saves the workbook. kExitOk with
// the line that says so in done; otherwise the exit status, after
// diagnostics took the reason.
int WriteWorkbook(const TConvertOptions& options, TDiagnostics& diagnostics, std::string& done) {
  std::string error;
  if (!CheckOutputPath(options.Output, error)) {
    diagnostics.CommandError(error);
    return kExitFailure;
  }
  char delimiter = options.Delimiter;
  std::string utf8;
  std::string text;
  const bool utf8Texts = options.FileFormat == xlExcel8;
  if (!ReadCsvFile(options.Input, utf8, text, diagnostics, options.CodePage, delimiter, utf8Texts))
    return kExitFailure;

  TXLSWorkbook workbook;
  workbook.SetFileFormat(options.FileFormat);
  workbook.SetCodePage(options.CodePage);
  if (utf8Texts) workbook.SetUtf8Texts(true);
  XLSPtr<IXLSWorkSheet> sheet = workbook.GetWorksheets()->Add();
  TCsvSheetWriter writer(*sheet, diagnostics, options.CodePage, delimiter, options.DecimalComma,
                         utf8Texts);
  const bool written = writer.Write(text);
  SummarizeDecimalCommaTexts(writer.GetDecimalCommaTextCount(), diagnostics);
  if (!written) return kExitFailure;
  writer.FormatLayout();
  if (options.Strict && diagnostics.GetLossCount() > 0) {
    const int32_t losses = diagnostics.GetLossCount();
    diagnostics.CommandError(
        std::to_string(losses) +
        (losses == 1 ? " text cannot be kept as it is" : " texts cannot be kept as they are") +
        "; nothing written (--strict)");
    return kExitLossy;
  }
  if (workbook.SaveAs(options.Output) != 1) {
    diagnostics.CommandError(workbook.GetLastError());  // it names the file
    return kExitFailure;
  }
  done = "wrote " + options.Output + ": " + std::to_string(writer.GetRowCount()) + " rows, " +
         std::to_string(writer.GetColumnCount()) + " columns\n";
  return kExitOk;
}

int Convert(const TConvertOptions& options, std::ostream& out, std::ostream& err) {
  TDiagnostics diagnostics(err, "tabulon convert", options.Input);
  std::string done;
  const int status = WriteWorkbook(options, diagnostics, done);
  diagnostics.Finish();
  out << done;
  return status;
}

}  // namespace

void PrintConvertUsage(std::ostream& out) {
  out << "Usage: tabulon convert [options] IN.csv OUT.xls\n"
         "       tabulon convert [options] IN.csv -o OUT.xls\n"
         "\n"
         "Writes the records of the CSV file IN.csv as the rows of one worksheet of a new\n"
         "workbook OUT.xls (replaced when it exists).\n"
         "\n"
         "Input: UTF-8 text (a leading byte order mark is skipped), fields separated by\n"
         "commas, records by CRLF or LF. A field in double quotes may hold the separator,\n"
         "line breaks and quotes written twice (\"\"). A header line with more semicolons\n"
         "(or tabs) than commas makes them the separator, as a note says; --delimiter\n"
         "sets it.\n"
         "\n"
         "Cells: a field that is entirely a decimal number (-12, 3.5, 1e3) becomes a number;\n"
         "any other field becomes text, among them 007, 1.2.3 and integers of more than 15\n"
         "digits, which a number would change. With --decimal-comma, 12,5 is the number\n"
         "12.5; without it such fields stay texts, and a summary line counts them. Empty\n"
         "fields leave their cell empty.\n"
         "\n"
         "Layout: the first record is the header row, bold on a grey fill and framed by\n"
         "thin lines; each column is as wide as its longest field (8 to 60 characters).\n"
         "\n"
         "Texts are stored in the workbook's code page, 1252 (Western European) unless\n"
         "--codepage says otherwise. A character outside it is reported with its line and\n"
         "column and written as '?'; a text longer than the 255 bytes a cell holds is\n"
         "reported and cut (never inside a character). With --format biff8 (Excel\n"
         "97-2003) texts are stored in Unicode and keep every character, and a cell holds\n"
         "32767 characters.\n";
  TConvertOptions options;
  PrintOptions(OptionTable(options), out);
  out << "\n"
         "Errors: the output is checked before the input is read. The reason that stops\n"
         "the job comes last, on its own line: 'tabulon convert: error: ...'.\n"
         "\n"
         "Exit status: 0 written; 1 unreadable or malformed input, input that does not fit\n"
         "on one sheet (65536 rows, 256 columns) or output not written; 2 wrong usage;\n"
         "3 changed texts refused by --strict.\n";
}

int RunConvert(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  TConvertOptions options;
  try {
    ParseOptions(args, options);
  } catch (const TUsageError& error) {
    PrintUsageError(err, "tabulon convert", error.what());
    return kExitUsage;
  }
  if (options.Help) {
    PrintConvertUsage(out);
    return kExitOk;
  }
  return Convert(options, out, err);
}

}  // namespace tabulon
