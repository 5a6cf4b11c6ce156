// `tabulon convert`: a CSV file in UTF-8 becomes a one-sheet .xls workbook.
// The whole input is converted to the workbook's code page first, so every
// character that code page lacks is reported with its place in the file;
// then the records are written cell by cell and the workbook is saved.
#include <tabulon/Tabulon.h>
#include <tabulon/XLSTextCodec.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "Commands.h"
#include "CsvSheetWriter.h"
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

constexpr char kUtf8ByteOrderMark[] = "\xEF\xBB\xBF";

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

// Reads the whole file; false with the system's reason in error.
bool ReadWholeFile(const std::string& path, std::string& content, std::string& error) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                       &std::fclose);
  if (!file) {
    error = std::strerror(errno);
    return false;
  }
  char buffer[1 << 16];
  size_t count;
  while ((count = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
    content.append(buffer, count);
  }
  if (std::ferror(file.get())) {
    error = std::strerror(errno);
    return false;
  }
  return true;
}

std::string Position(const TXLSTextPosition& at) {
  return "line " + std::to_string(at.Line) + ", column " + std::to_string(at.Column);
}

// The character of code_point as it appeared in the file, for the report.
std::string Shown(uint32_t code_point) {
  std::string text;
  if (code_point >= 0x20 && code_point != 0x7F && (code_point < 0x80 || code_point >= 0xA0)) {
    text = " '";
    XLSAppendUtf8(code_point, text);
    text += '\'';
  }
  return text;
}

// Converts UTF-8 input to the code page, reporting each character that is
// replaced. False, after reporting where, when the input is not UTF-8.
bool ToCodePage(const std::string& utf8, uint16_t code_page, std::string& converted_text,
                TDiagnostics& diagnostics) {
  TXLSCp1252Text converted = XLSUtf8ToCodePage(utf8, code_page);
  if (!converted.Valid) {
    char byte[8];
    std::snprintf(byte, sizeof byte, "0x%02X",
                  static_cast<unsigned char>(utf8[converted.InvalidAt.Offset]));
    diagnostics.Error(Position(converted.InvalidAt),
                      std::string("invalid UTF-8 (byte ") + byte +
                          "); the input must be UTF-8 text. A file saved in Windows-1252 or "
                          "Latin-1 can be converted with: iconv -f WINDOWS-1252 -t UTF-8");
    return false;
  }
  for (const TXLSUnmappedChar& unmapped : converted.Unmapped) {
    diagnostics.Loss(Position(unmapped.Position),
                     "character " + XLSCodePointName(unmapped.CodePoint) +
                         Shown(unmapped.CodePoint) + " has no form in " +
                         XLSCodePageDescription(code_page) + "; written as '?'");
  }
  converted_text = std::move(converted.Text);
  return true;
}

int Convert(const TConvertOptions& options, std::ostream& out, std::ostream& err) {
  std::string utf8;
  std::string error;
  if (!ReadWholeFile(options.Input, utf8, error)) {
    err << "tabulon: cannot read '" << options.Input << "': " << error << '\n';
    return kExitFailure;
  }
  if (utf8.compare(0, 3, kUtf8ByteOrderMark) == 0) utf8.erase(0, 3);

  TDiagnostics diagnostics(err, options.Input);
  std::string text;
  if (!ToCodePage(utf8, options.CodePage, text, diagnostics)) return kExitFailure;

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
    err << "tabulon: " << losses
        << (losses == 1 ? " text cannot be kept as it is" : " texts cannot be kept as they are")
        << "; nothing written (--strict)\n";
    return kExitLossy;
  }
  if (workbook.SaveAs(options.Output) != 1) {
    // The workbook's reason names the file already.
    const std::string& reason = workbook.GetLastError();
    err << "tabulon: " << (reason.empty() ? "cannot write '" + options.Output + "'" : reason)
        << '\n';
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
    err << "tabulon convert: " << error << "\n\n";
    PrintConvertUsage(err);
    return kExitUsage;
  }
  if (options.Help) {
    PrintConvertUsage(out);
    return kExitOk;
  }
  return Convert(options, out, err);
}

}  // namespace tabulon
