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

namespace tabulon {
namespace {

struct TConvertOptions {
  bool Strict = false;
  bool Help = false;
  uint16_t CodePage = 1252;
  std::string Input;
  std::string Output;
};

// Fills options from args; false with a message in error on bad usage.
bool ParseOptions(const std::vector<std::string>& args, TConvertOptions& options,
                  std::string& error) {
  std::vector<std::string> operands;
  bool optionsEnded = false;
  bool codePageNext = false;
  for (const std::string& arg : args) {
    if (codePageNext) {
      codePageNext = false;
      if (!ParseCodePageOption(arg, options.CodePage, error)) return false;
    } else if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
      operands.push_back(arg);
    } else if (arg == "--") {
      optionsEnded = true;
    } else if (arg == "--strict") {
      options.Strict = true;
    } else if (arg == "--codepage" || arg.compare(0, 11, "--codepage=") == 0) {
      codePageNext = arg == "--codepage";
      if (!codePageNext && !ParseCodePageOption(arg.substr(11), options.CodePage, error))
        return false;
    } else if (arg == "-h" || arg == "--help") {
      options.Help = true;
    } else {
      error = "unknown option '" + arg + "'";
      return false;
    }
  }
  if (options.Help) return true;
  if (codePageNext) {
    error = "--codepage needs a value";
    return false;
  }
  if (operands.size() != 2) {
    error = "expected an input CSV file and an output .xls file, got " +
            std::to_string(operands.size()) + " file names";
    return false;
  }
  options.Input = operands[0];
  options.Output = operands[1];
  return true;
}

int Convert(const TConvertOptions& options, std::ostream& out, std::ostream& err) {
  TDiagnostics diagnostics(err, "tabulon convert", options.Input);
  std::string utf8;
  std::string text;
  if (!ReadCsvFile(options.Input, utf8, text, diagnostics, options.CodePage)) return kExitFailure;

  TXLSWorkbook workbook;
  workbook.SetCodePage(options.CodePage);
  XLSPtr<IXLSWorkSheet> sheet = workbook.GetWorksheets()->Add();
  TCsvSheetWriter writer(*sheet, diagnostics, options.CodePage);
  const bool written = writer.Write(text);
  if (written) writer.FormatLayout();
  diagnostics.Finish();
  if (!written) return kExitFailure;
  if (options.Strict && diagnostics.GetLossCount() > 0) {
    const int32_t losses = diagnostics.GetLossCount();
    err << "tabulon convert: " << losses
        << (losses == 1 ? " text cannot be kept as it is" : " texts cannot be kept as they are")
        << "; nothing written (--strict)\n";
    return kExitLossy;
  }
  if (workbook.SaveAs(options.Output) != 1) {
    // The workbook's reason names the file already.
    const std::string& reason = workbook.GetLastError();
    err << "tabulon convert: "
        << (reason.empty() ? "cannot write '" + options.Output + "'" : reason) << '\n';
    return kExitFailure;
  }
  out << "wrote " << options.Output << ": " << writer.GetRowCount() << " rows, "
      << writer.GetColumnCount() << " columns\n";
  return kExitOk;
}

}  // namespace

void PrintConvertUsage(std::ostream& out) {
  out << "Usage: tabulon convert [--strict] [--codepage N] IN.csv OUT.xls\n"
         "\n"
         "Writes the records of the CSV file IN.csv as the rows of one worksheet of a new\n"
         "workbook OUT.xls (replaced when it exists).\n"
         "\n"
         "Input: UTF-8 text (a leading byte order mark is skipped), fields separated by\n"
         "commas, records by CRLF or LF. A field in double quotes may hold commas, line\n"
         "breaks and quotes written twice (\"\").\n"
         "\n"
         "Cells: a field that is entirely a decimal number (-12, 3.5, 1e3) becomes a number;\n"
         "any other field becomes text, among them 007, 1.2.3 and integers of more than 15\n"
         "digits, which a number would change. Empty fields leave their cell empty.\n"
         "\n"
         "Layout: the first record is the header row, bold on a grey fill and framed by\n"
         "thin lines; each column is as wide as its longest field (8 to 60 characters).\n"
         "\n"
         "Texts are stored in the workbook's code page, 1252 (Western European) unless\n"
         "--codepage says otherwise. A character outside it is reported with its line and\n"
         "column and written as '?'; a text longer than the 255 bytes a cell holds is\n"
         "reported and cut (never inside a character).\n"
         "\n"
         "Options:\n"
         "  --strict     refuse such changes: report them all and write nothing\n"
         "  --codepage N code page of the workbook: 874 Thai, 932 Japanese, 936 Simplified\n"
         "               Chinese, 949 Korean, 950 Traditional Chinese, 1250 Central\n"
         "               European, 1251 Cyrillic, 1252 Western European (default),\n"
         "               1253 Greek, 1254 Turkish, 1255 Hebrew, 1256 Arabic, 1257 Baltic,\n"
         "               1258 Vietnamese\n"
         "  -h, --help   show this help\n"
         "\n"
         "Exit status: 0 written; 1 unreadable or malformed input, input that does not fit\n"
         "on one sheet (65536 rows, 256 columns) or output not written; 2 wrong usage;\n"
         "3 changed texts refused by --strict.\n";
}

int RunConvert(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  TConvertOptions options;
  std::string error;
  if (!ParseOptions(args, options, error)) {
    PrintUsageError(err, "tabulon convert", error);
    return kExitUsage;
  }
  if (options.Help) {
    PrintConvertUsage(out);
    return kExitOk;
  }
  return Convert(options, out, err);
}

}  // namespace tabulon
