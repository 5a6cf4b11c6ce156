// `tabulon export`: the records of an SQLite query or of a CSV file become a
// formatted one-sheet .xls workbook, written by the data-set export component
// with the fonts, colours and borders given on the command line.
#include <tabulon/Tabulon.h>
#include <tabulon/XLSPalette.h>
#include <tabulon/XLSTextCodec.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <iostream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "Commands.h"
#include "Diagnostics.h"

namespace tabulon {
namespace {

struct TExportOptions {
  bool Help = false;
  bool Strict = false;  // changed texts refuse the export
  std::string Database;
  std::string Query;
  std::string Csv;
  std::string Output;
  std::string Sheet;
  int32_t StartRow = 0;  // zero-based
  int32_t StartCol = 0;
  TFont HeaderFont{"Arial", 10, fsBold, clNone};
  TFont DetailFont{"Arial", 10, 0, clNone};
  TColor HeaderColor = clNone;
  TColor DetailColor = clNone;
  TBorderStyle HeaderBorder = BorderStyleNone;
  TBorderStyle DetailBorder = BorderStyleNone;
  TColor HeaderBorderColor = clNone;
  TColor DetailBorderColor = clNone;
};

class TUsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// "none", "#RRGGBB" or a colour name of the palette ("red", "silver").
TColor ParseColor(const std::string& text) {
  const std::string lower = Lower(text);
  if (lower == "none") return clNone;
  if (lower.size() == 7 && lower[0] == '#' &&
      lower.find_first_not_of("0123456789abcdef", 1) == std::string::npos) {
    const uint32_t rgb = static_cast<uint32_t>(std::stoul(lower.substr(1), nullptr, 16));
    // #RRGGBB to the host's 0x00BBGGRR.
    return static_cast<TColor>(((rgb & 0xFF) << 16) | (rgb & 0xFF00) | (rgb >> 16));
  }
  const uint16_t index = GetColorIndex(text);
  if (index == XLSAutomaticColorIndex)
    throw TUsageError("unknown colour '" + text +
                      "' (use a colour name such as red, navy or silver, #RRGGBB, or none)");
  return static_cast<TColor>(TXLSPalette().GetCustomColor(index - XLSFirstFileColor + 1));
}

TBorderStyle ParseBorder(const std::string& text) {
  static const std::map<std::string, TBorderStyle> kStyles = {{"none", BorderStyleNone},
                                                              {"hair", BorderStyleSingleHair},
                                                              {"thin", BorderStyleSingleThin},
                                                              {"thick", BorderStyleSingleThick},
                                                              {"double", BorderStyleDouble}};
  const auto found = kStyles.find(Lower(text));
  if (found == kStyles.end())
    throw TUsageError("unknown border style '" + text + "' (none, hair, thin, thick, double)");
  return found->second;
}

int32_t ParseNumber(const std::string& text, const std::string& option, int32_t low, int32_t high) {
  size_t used = 0;
  int32_t value = 0;
  try {
    value = std::stoi(text, &used);
  } catch (const std::exception&) {
    used = 0;
  }
  if (used == 0 || used != text.size() || value < low || value > high)
    throw TUsageError(option + " needs a whole number from " + std::to_string(low) + " to " +
                      std::to_string(high) + ", not '" + text + "'");
  return value;
}

// "NAME[,SIZE][,bold][,italic][,underline][,strikeout]" onto font.
void ParseFont(const std::string& text, TFont& font) {
  std::vector<std::string> pieces;
  size_t start = 0;
  for (size_t comma; (comma = text.find(',', start)) != std::string::npos; start = comma + 1)
    pieces.push_back(text.substr(start, comma - start));
  pieces.push_back(text.substr(start));
  if (!pieces[0].empty()) font.Name = pieces[0];
  font.Style = 0;
  for (size_t i = 1; i < pieces.size(); ++i) {
    const std::string piece = Lower(pieces[i]);
    if (piece == "bold") {
      font.Style |= fsBold;
    } else if (piece == "italic") {
      font.Style |= fsItalic;
    } else if (piece == "underline") {
      font.Style |= fsUnderline;
    } else if (piece == "strikeout") {
      font.Style |= fsStrikeOut;
    } else {
      font.Size = ParseNumber(pieces[i], "the font size", 1, 409);
    }
  }
}

// A 1-based column as a number or as letters ("3" or "C"), zero-based.
int32_t ParseColumn(const std::string& text) {
  if (!text.empty() && std::isalpha(static_cast<unsigned char>(text[0]))) {
    const int32_t col = ColNameToColIndex(text);
    if (text.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") ==
            std::string::npos &&
        col >= 1 && col <= XLSMaxCol + 1)
      return col - 1;
    throw TUsageError("--start-col needs a column from A to IV or 1 to 256, not '" + text + "'");
  }
  return ParseNumber(text, "--start-col", 1, XLSMaxCol + 1) - 1;
}

void ParseOptions(const std::vector<std::string>& args, TExportOptions& options) {
  using TSetter = void (*)(TExportOptions&, const std::string&);
  static const std::map<std::string, TSetter> kValued = {
      {"--db", [](TExportOptions& o, const std::string& v) { o.Database = v; }},
      {"--query", [](TExportOptions& o, const std::string& v) { o.Query = v; }},
      {"--csv", [](TExportOptions& o, const std::string& v) { o.Csv = v; }},
      {"-o", [](TExportOptions& o, const std::string& v) { o.Output = v; }},
      {"--output", [](TExportOptions& o, const std::string& v) { o.Output = v; }},
      {"--sheet", [](TExportOptions& o, const std::string& v) { o.Sheet = v; }},
      {"--start-row",
       [](TExportOptions& o, const std::string& v) {
         o.StartRow = ParseNumber(v, "--start-row", 1, XLSMaxRow + 1) - 1;
       }},
      {"--start-col", [](TExportOptions& o, const std::string& v) { o.StartCol = ParseColumn(v); }},
      {"--header-font",
       [](TExportOptions& o, const std::string& v) { ParseFont(v, o.HeaderFont); }},
      {"--detail-font",
       [](TExportOptions& o, const std::string& v) { ParseFont(v, o.DetailFont); }},
      {"--header-font-color",
       [](TExportOptions& o, const std::string& v) { o.HeaderFont.Color = ParseColor(v); }},
      {"--detail-font-color",
       [](TExportOptions& o, const std::string& v) { o.DetailFont.Color = ParseColor(v); }},
      {"--header-color",
       [](TExportOptions& o, const std::string& v) { o.HeaderColor = ParseColor(v); }},
      {"--detail-color",
       [](TExportOptions& o, const std::string& v) { o.DetailColor = ParseColor(v); }},
      {"--header-border",
       [](TExportOptions& o, const std::string& v) { o.HeaderBorder = ParseBorder(v); }},
      {"--detail-border",
       [](TExportOptions& o, const std::string& v) { o.DetailBorder = ParseBorder(v); }},
      {"--header-border-color",
       [](TExportOptions& o, const std::string& v) { o.HeaderBorderColor = ParseColor(v); }},
      {"--detail-border-color",
       [](TExportOptions& o, const std::string& v) { o.DetailBorderColor = ParseColor(v); }},
  };
  for (size_t i = 0; i < args.size(); ++i) {
    std::string name = args[i];
    if (name == "-h" || name == "--help") {
      options.Help = true;
      return;
    }
    if (name == "--strict") {
      options.Strict = true;
      continue;
    }
    std::string value;
    bool hasValue = false;
    const size_t equals = name.find('=');
    if (name.compare(0, 2, "--") == 0 && equals != std::string::npos) {
      value = name.substr(equals + 1);
      name = name.substr(0, equals);
      hasValue = true;
    }
    const auto setter = kValued.find(name);
    if (setter == kValued.end()) throw TUsageError("unknown argument '" + args[i] + "'");
    if (!hasValue) {
      if (++i == args.size()) throw TUsageError(name + " needs a value");
      value = args[i];
    }
    setter->second(options, value);
  }
  if (options.Database.empty() == options.Csv.empty())
    throw TUsageError("give either --db FILE --query SQL or --csv FILE");
  if (!options.Database.empty() && options.Query.empty())
    throw TUsageError("--db needs --query SQL");
  if (!options.Csv.empty() && !options.Query.empty())
    throw TUsageError("--query goes with --db, not with --csv");
  if (options.Output.empty()) throw TUsageError("give the output file with -o OUT.xls");
}

// Records done and records per second, redrawn on one terminal line at
// most ten times a second.
class TProgress {
 public:
  explicit TProgress(std::ostream& err) : err_(err), start_(Clock::now()), shown_(start_) {}

  void Update(int32_t records) {
    if (records % 256 != 0) return;
    const Clock::time_point now = Clock::now();
    if (now - shown_ < std::chrono::milliseconds(100)) return;
    shown_ = now;
    Show(records, now);
  }
  void Finish(int32_t records) {
    Show(records, Clock::now());
    err_ << '\n';
  }

 private:
  using Clock = std::chrono::steady_clock;

  void Show(int32_t records, Clock::time_point now) {
    const double seconds = std::chrono::duration<double>(now - start_).count();
    const long rate = seconds > 0 ? static_cast<long>(records / seconds) : 0;
    err_ << "\rexporting: " << records << " records, " << rate << " records/s   " << std::flush;
  }

  std::ostream& err_;
  Clock::time_point start_;
  Clock::time_point shown_;
};

std::string LossPlace(const TTextLoss& loss) {
  if (loss.RecNo == 0) return "field names";
  return "record " + std::to_string(loss.RecNo) + ", field '" + XLSCp1252ToUtf8(loss.FieldName) +
         "'";
}

std::string LossMessage(const TTextLoss& loss) {
  if (loss.InvalidUtf8) return "text is not valid UTF-8; the rest of it is written as '?'";
  std::string shown;
  if (loss.CodePoint >= 0xA0) {
    shown = " '";
    XLSAppendUtf8(loss.CodePoint, shown);
    shown += "'";
  }
  return "character " + XLSCodePointName(loss.CodePoint) + shown +
         " has no form in code page 1252 (Western European); written as '?'";
}

// Opens the data set the options name; throws EDatabaseError.
std::unique_ptr<TDataSet> OpenDataSet(const TExportOptions& options, TDiagnostics& diagnostics) {
  const auto report = [&diagnostics](const TTextLoss& loss) {
    diagnostics.Loss(LossPlace(loss), LossMessage(loss));
  };
  if (!options.Csv.empty()) {
    auto csv = std::make_unique<TCsvDataSet>(nullptr);
    csv->OnTextLoss = report;
    csv->LoadFromFile(options.Csv);
    return csv;
  }
  auto sqlite = std::make_unique<TSqliteDataSet>(nullptr);
  sqlite->OnTextLoss = report;
  sqlite->Open(options.Database, options.Query);
  return sqlite;
}

void Configure(TDataset2Excel& exporter, const TExportOptions& options) {
  exporter.WorksheetName = options.Sheet;
  exporter.StartRow = static_cast<uint16_t>(options.StartRow);
  exporter.StartCol = static_cast<uint16_t>(options.StartCol);
  exporter.SetHeaderFont(options.HeaderFont);
  exporter.SetDetailFont(options.DetailFont);
  exporter.HeaderColor = options.HeaderColor;
  exporter.DetailColor = options.DetailColor;
  exporter.HeaderBorderStyle = options.HeaderBorder;
  exporter.DetailBorderStyle = options.DetailBorder;
  exporter.HeaderBorderColor = options.HeaderBorderColor;
  exporter.DetailBorderColor = options.DetailBorderColor;
}

// --strict: true (after saying so) when the export changed any text.
bool RefusedAsLossy(const TDiagnostics& diagnostics, std::ostream& err) {
  const int32_t losses = diagnostics.GetLossCount();
  if (losses == 0) return false;
  err << "tabulon export: " << losses
      << (losses == 1 ? " text cannot be kept as it is" : " texts cannot be kept as they are")
      << "; nothing written (--strict)\n";
  return true;
}

int Export(const TExportOptions& options, std::ostream& out, std::ostream& err) {
  const std::string input = options.Csv.empty() ? options.Database : options.Csv;
  TDiagnostics diagnostics(err, input);
  TDataset2Excel exporter(nullptr);
  Configure(exporter, options);
  std::unique_ptr<TProgress> progress;
  if (&err == &std::cerr && isatty(STDERR_FILENO)) {
    progress = std::make_unique<TProgress>(err);
    exporter.AfterDetailRow = [&progress](TDataset2Excel&, IXLSRange&, int32_t count) {
      progress->Update(count);
    };
  }
  std::unique_ptr<TDataSet> dataSet;
  try {
    dataSet = OpenDataSet(options, diagnostics);
    exporter.SetDataset(dataSet.get());
    exporter.ExportDataset();
  } catch (const std::exception& error) {
    if (progress) err << '\n';
    err << "tabulon export: " << error.what() << '\n';
    return kExitFailure;
  }
  if (progress) progress->Finish(exporter.GetDetailCount());
  diagnostics.Finish();
  if (options.Strict && RefusedAsLossy(diagnostics, err)) return kExitLossy;
  if (exporter.SaveAs(options.Output) != 1) {
    err << "tabulon export: " << exporter.GetLastError() << '\n';
    return kExitFailure;
  }
  out << "wrote " << options.Output << ": " << exporter.GetDetailCount() << " records, "
      << dataSet->GetFieldCount() << " fields\n";
  return kExitOk;
}

}  // namespace

void PrintExportUsage(std::ostream& out) {
  out << "Usage: tabulon export --db FILE --query SQL -o OUT.xls [options]\n"
         "       tabulon export --csv FILE -o OUT.xls [options]\n"
         "\n"
         "Writes the records of an SQLite query, or of a CSV file whose first line names\n"
         "the fields, into one worksheet of a new workbook OUT.xls (replaced when it\n"
         "exists): a header row with the field names, then one row per record.\n"
         "\n"
         "Values keep their types: numbers, texts, and dates and times (SQLite columns\n"
         "declared DATE, TIME, DATETIME or TIMESTAMP; ISO 8601 texts in CSV files) shown\n"
         "as dd.mm.yyyy, hh:mm:ss or both; columns declared CURRENCY, MONEY or DECIMAL\n"
         "get two decimals. Texts are stored in code page 1252 (Western European); a\n"
         "character outside it is reported and written as '?'.\n"
         "\n"
         "Options:\n"
         "  --db FILE                 SQLite database, opened read-only\n"
         "  --query SQL               the query whose rows are exported\n"
         "  --csv FILE                CSV file in UTF-8 (instead of --db)\n"
         "  -o, --output OUT.xls      the workbook to write\n"
         "  --sheet NAME              worksheet name (default Sheet1)\n"
         "  --start-row N             row of the header, from 1 (default 1)\n"
         "  --start-col C             column of the first field, 1 or A (default A)\n"
         "  --header-font FONT        NAME[,SIZE][,bold][,italic][,underline][,strikeout]\n"
         "  --detail-font FONT        (defaults: Arial,10,bold and Arial,10)\n"
         "  --header-font-color C     colours: a name (black, white, red, green, blue, navy,\n"
         "                            yellow, orange, silver, grey, aqua, ...), #RRGGBB,\n"
         "  --detail-font-color C     or none (the default)\n"
         "  --header-color C          fill of the header cells\n"
         "  --detail-color C          fill of the detail cells\n"
         "  --header-border STYLE     none, hair, thin, thick or double (default none)\n"
         "  --detail-border STYLE\n"
         "  --header-border-color C\n"
         "  --detail-border-color C\n"
         "  --strict                  refuse changed texts: report them and write nothing\n"
         "  -h, --help                show this help\n"
         "\n"
         "A progress line (records done, records per second) is shown on the terminal.\n"
         "\n"
         "Exit status: 0 written; 1 unreadable database or CSV file, bad query, more\n"
         "records or fields than a sheet holds, a sheet name a sheet may not have, or\n"
         "output not written; 2 wrong usage; 3 changed texts refused by --strict.\n";
}

int RunExport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  TExportOptions options;
  try {
    ParseOptions(args, options);
  } catch (const TUsageError& error) {
    err << "tabulon export: " << error.what() << "\n\n";
    PrintExportUsage(err);
    return kExitUsage;
  }
  if (options.Help) {
    PrintExportUsage(out);
    return kExitOk;
  }
  return Export(options, out, err);
}

}  // namespace tabulon
