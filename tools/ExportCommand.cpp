// `tabulon export`: the records of an SQLite query or of a CSV file become a
// formatted one-sheet .xls workbook, written by the data-set export component
// with the fonts, colours and borders given on the command line.
#include <tabulon/Tabulon.h>
#include <tabulon/XLSPalette.h>
#include <tabulon/XLSTextCodec.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Commands.h"
#include "CsvText.h"
#include "Diagnostics.h"
#include "Options.h"

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
  uint16_t CodePage = 1252;
  int32_t FileFormat = xlExcel5;
  char Delimiter = 0;  // of the CSV file; 0: as its header line shows
  bool DecimalComma = false;
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
  bool Totals = false;
  TXLSReportLayout Layout = ReportLayout();
  // --format-field and --align-field: a field name (UTF-8) and its number
  // format text or xlHAlign constant, in the order given.
  std::vector<std::pair<std::string, std::string>> FieldFormats;
  std::vector<std::pair<std::string, int32_t>> FieldAlignments;

  // --autofilter or --no-autofilter; unset: on in BIFF8, whose filter
  // LibreOffice and POI keep. LibreOffice shows no drop-downs of a BIFF5
  // filter (it keeps its range as a name of its own), Gnumeric shows those
  // of BIFF5 only.
  std::optional<bool> AutoFilter;

  // The command writes reports for people: REAL columns with two decimals
  // and grouped thousands (the decimal points line up down the column, as
  // the currency columns' do; the cell keeps every digit), dates aligned
  // right like the other numbers.
  static TXLSReportLayout ReportLayout() {
    TXLSReportLayout layout;
    layout.FloatFormat = "#,##0.00";
    layout.DateAlignment = xlHAlignRight;
    return layout;
  }

  // BIFF8 keeps every character: the data's texts stay UTF-8 throughout.
  bool Utf8Texts() const { return FileFormat == xlExcel8; }
  // A text of the data (a field name, a report's words) in UTF-8.
  std::string DataTextAsUtf8(const std::string& text) const {
    return Utf8Texts() ? text : XLSCodePageToUtf8(text, CodePage);
  }
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

// "NAME=VALUE" of a repeatable field option, split at the first '='.
std::pair<std::string, std::string> ParseFieldSetting(const std::string& text,
                                                      const std::string& option,
                                                      const std::string& value_name) {
  const size_t equals = text.find('=');
  if (equals == 0 || equals == std::string::npos || equals + 1 == text.size())
    throw TUsageError(option + " needs NAME=" + value_name + ", not '" + text + "'");
  return {text.substr(0, equals), text.substr(equals + 1)};
}

int32_t ParseAlignment(const std::string& text) {
  static const std::map<std::string, int32_t> kAlignments = {
      {"left", xlHAlignLeft}, {"center", xlHAlignCenter}, {"right", xlHAlignRight}};
  const auto found = kAlignments.find(Lower(text));
  if (found == kAlignments.end())
    throw TUsageError("--align-field needs left, center or right, not '" + text + "'");
  return found->second;
}

// Sheets past this row are cut or refused by xlrd (and so pandas) and Gnumeric.
constexpr int32_t kRowsAllReadersRead = 16384;

int32_t ParseOrientation(const std::string& text) {
  const std::string lower = Lower(text);
  if (lower == "portrait") return xlPortrait;
  if (lower == "landscape") return xlLandscape;
  throw TUsageError("--orientation needs portrait or landscape, not '" + text + "'");
}

// A paper name or the paper code of the file format.
int32_t ParsePaper(const std::string& text) {
  static const std::map<std::string, int32_t> kPapers = {
      {"a3", xlPaperA3},       {"a4", xlPaperA4},           {"a5", xlPaperA5},
      {"b4", xlPaperB4},       {"b5", xlPaperB5},           {"letter", xlPaperLetter},
      {"legal", xlPaperLegal}, {"tabloid", xlPaperTabloid}, {"executive", xlPaperExecutive}};
  const auto found = kPapers.find(Lower(text));
  if (found != kPapers.end()) return found->second;
  if (!text.empty() && std::isdigit(static_cast<unsigned char>(text[0])))
    return ParseNumber(text, "--paper", 1, 255);
  throw TUsageError("unknown paper '" + text +
                    "' (a3, a4, a5, b4, b5, letter, legal, tabloid, executive, or a paper code)");
}

TUsageError MarginsError(const std::string& text) {
  return TUsageError(
      "--margins needs inches from 0 to 10: one value for all sides, or "
      "TOP,RIGHT,BOTTOM,LEFT; not '" +
      text + "'");
}

// One margin of --margins (all of whose text is given for the message).
double ParseInches(const std::string& piece, const std::string& text) {
  size_t used = 0;
  double value = -1;
  try {
    value = std::stod(piece, &used);
  } catch (const std::exception&) {
    used = 0;
  }
  if (used == 0 || used != piece.size() || !(value >= 0 && value <= 10)) throw MarginsError(text);
  return value;
}

// "ALL" or "TOP,RIGHT,BOTTOM,LEFT", in inches.
void ParseMargins(const std::string& text, TXLSReportLayout& layout) {
  std::vector<double> inches;
  for (size_t start = 0;;) {
    const size_t comma = text.find(',', start);
    inches.push_back(ParseInches(text.substr(start, comma - start), text));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  if (inches.size() == 1) inches.assign(4, inches[0]);
  if (inches.size() != 4) throw MarginsError(text);
  layout.TopMargin = inches[0];
  layout.RightMargin = inches[1];
  layout.BottomMargin = inches[2];
  layout.LeftMargin = inches[3];
}

// Takes a value into options; the table's entries are built from these.
using TValueSetter = std::function<void(TExportOptions&, const std::string&)>;

TOption Valued(TExportOptions& options, const std::string& name, const std::string& value,
               const std::string& help, const TValueSetter& set) {
  return {{name}, value, help, [&options, set](const std::string& v) { set(options, v); }};
}

TOption Flag(TExportOptions& options, const std::string& name, const std::string& help,
             void (*set)(TExportOptions&)) {
  return {{name}, "", help, [&options, set](const std::string&) { set(options); }};
}

TOptionTable OptionTable(TExportOptions& o) {
  using S = const std::string&;
  return {
      {"Options:",
       {
           Valued(o, "--db", "FILE", "SQLite database, opened read-only",
                  [](TExportOptions& t, S v) { t.Database = v; }),
           Valued(o, "--query", "SQL", "the query whose rows are exported",
                  [](TExportOptions& t, S v) { t.Query = v; }),
           Valued(o, "--csv", "FILE", "CSV file in UTF-8 (instead of --db)",
                  [](TExportOptions& t, S v) { t.Csv = v; }),
           DelimiterOption(o.Delimiter),
           DecimalCommaOption(o.DecimalComma),
           OutputOption(o.Output),
           Valued(o, "--sheet", "NAME", "worksheet name (default Sheet1)",
                  [](TExportOptions& t, S v) { t.Sheet = v; }),
           CodePageOption(o.CodePage),
           FileFormatOption(o.FileFormat),
           Valued(o, "--start-row", "N", "row of the header, from 1 (default 1)",
                  [](TExportOptions& t, S v) {
                    t.StartRow = ParseNumber(v, "--start-row", 1, XLSMaxRow + 1) - 1;
                  }),
           Valued(o, "--start-col", "C", "column of the first field, 1 or A (default A)",
                  [](TExportOptions& t, S v) { t.StartCol = ParseColumn(v); }),
           Valued(o, "--header-font", "FONT",
                  "NAME[,SIZE][,bold][,italic][,underline][,strikeout]\n"
                  "(default Arial,10,bold)",
                  [](TExportOptions& t, S v) { ParseFont(v, t.HeaderFont); }),
           Valued(o, "--detail-font", "FONT", "the same for detail cells (default Arial,10)",
                  [](TExportOptions& t, S v) { ParseFont(v, t.DetailFont); }),
           Valued(o, "--header-font-color", "C",
                  "colour of the header texts: a name (black, white,\n"
                  "red, green, blue, navy, yellow, orange, silver,\n"
                  "grey, aqua, ...), #RRGGBB, or none (the default)",
                  [](TExportOptions& t, S v) { t.HeaderFont.Color = ParseColor(v); }),
           Valued(o, "--detail-font-color", "C", "colour of the detail texts",
                  [](TExportOptions& t, S v) { t.DetailFont.Color = ParseColor(v); }),
           Valued(o, "--header-color", "C", "fill of the header cells",
                  [](TExportOptions& t, S v) { t.HeaderColor = ParseColor(v); }),
           Valued(o, "--detail-color", "C", "fill of the detail cells",
                  [](TExportOptions& t, S v) { t.DetailColor = ParseColor(v); }),
           Valued(o, "--header-border", "STYLE",
                  "lines around the header cells: none (default),\nhair, thin, thick or double",
                  [](TExportOptions& t, S v) { t.HeaderBorder = ParseBorder(v); }),
           Valued(o, "--detail-border", "STYLE", "lines around the detail cells",
                  [](TExportOptions& t, S v) { t.DetailBorder = ParseBorder(v); }),
           Valued(o, "--header-border-color", "C", "colour of the header lines",
                  [](TExportOptions& t, S v) { t.HeaderBorderColor = ParseColor(v); }),
           Valued(o, "--detail-border-color", "C", "colour of the detail lines",
                  [](TExportOptions& t, S v) { t.DetailBorderColor = ParseColor(v); }),
           StrictOption(o.Strict, "refuse changed values: report them, write nothing"),
           Flag(o, "--totals",
                "add a totals row under the records: SUM formulas\n"
                "under the numeric and currency fields, \"Total\" in\n"
                "the first column, formatted like the header; over\n"
                "several sheets the last adds a \"Grand total\" row",
                [](TExportOptions& t) { t.Totals = true; }),
           HelpOption(o.Help),
       }},
      {"Report layout (every sheet):",
       {
           Valued(o, "--title", "TEXT", "title line above the header, bold, 14 points",
                  [](TExportOptions& t, S v) { t.Layout.Title = v; }),
           Valued(o, "--subtitle", "TEXT", "line below the title, bold, 11 points",
                  [](TExportOptions& t, S v) { t.Layout.Subtitle = v; }),
           Flag(o, "--no-freeze", "do not freeze the rows down to the header",
                [](TExportOptions& t) { t.Layout.FreezeHeader = false; }),
           Flag(o, "--no-repeat-header", "do not print the header on every page",
                [](TExportOptions& t) { t.Layout.RepeatHeader = false; }),
           Flag(o, "--keep-widths", "keep the fields' display widths instead of fitting",
                [](TExportOptions& t) { t.Layout.FitColumns = false; }),
           Valued(o, "--rows-per-sheet", "N",
                  "rows a sheet uses at most, title and header\n"
                  "included (2 to 65536; default 65536); 16384 keeps\n"
                  "the file readable by xlrd, pandas and Gnumeric",
                  [](TExportOptions& t, S v) {
                    t.Layout.RowsPerSheet = ParseNumber(v, "--rows-per-sheet", 2, XLSMaxRow + 1);
                  }),
           Valued(o, "--orientation", "O", "portrait (default) or landscape",
                  [](TExportOptions& t, S v) { t.Layout.Orientation = ParseOrientation(v); }),
           Valued(o, "--paper", "P",
                  "a4, a3, a5, letter, legal, ... or a paper code\n(default: the printer's)",
                  [](TExportOptions& t, S v) { t.Layout.PaperSize = ParsePaper(v); }),
           Valued(o, "--fit-width", "N", "scale the print to N pages wide",
                  [](TExportOptions& t, S v) {
                    t.Layout.FitToPagesWide = ParseNumber(v, "--fit-width", 1, 255);
                  }),
           Valued(o, "--margins", "INCHES",
                  "one value, or TOP,RIGHT,BOTTOM,LEFT\n(default 1,0.75,1,0.75)",
                  [](TExportOptions& t, S v) { ParseMargins(v, t.Layout); }),
           Valued(o, "--format-field", "NAME=FMT",
                  "number format of a field's cells, such as\n"
                  "price=0.000 or day=yyyy-mm-dd (repeatable)",
                  [](TExportOptions& t, S v) {
                    t.FieldFormats.push_back(ParseFieldSetting(v, "--format-field", "FORMAT"));
                  }),
           Valued(o, "--align-field", "NAME=A",
                  "alignment of a field's cells: left, center or\n"
                  "right (repeatable)",
                  [](TExportOptions& t, S v) {
                    const auto setting = ParseFieldSetting(v, "--align-field", "left|center|right");
                    t.FieldAlignments.emplace_back(setting.first, ParseAlignment(setting.second));
                  }),
           Valued(o, "--currency-format", "FMT",
                  "number format of the currency fields\n(default #,##0.00)",
                  [](TExportOptions& t, S v) {
                    if (v.empty()) throw TUsageError("--currency-format needs a number format");
                    t.Layout.CurrencyFormat = v;
                  }),
           Flag(o, "--autofilter",
                "filter drop-downs on each sheet's header (default\n"
                "with --format biff8; LibreOffice shows them in\n"
                "BIFF8 files, Gnumeric in BIFF5 files)",
                [](TExportOptions& t) { t.AutoFilter = true; }),
           Flag(o, "--no-autofilter", "no filter drop-downs",
                [](TExportOptions& t) { t.AutoFilter = false; }),
           Valued(o, "--page-header", "TEXT", "printed at the top of every page, centred",
                  [](TExportOptions& t, S v) { t.Layout.CenterHeader = v; }),
           Valued(o, "--page-footer", "TEXT",
                  "printed at the bottom of every page, centred; in\n"
                  "both, &P is the page number, &N the number of\n"
                  "pages, &D the date, &A the sheet name; &L and &R\n"
                  "start a left and a right part",
                  [](TExportOptions& t, S v) { t.Layout.CenterFooter = v; }),
       }},
  };
}

void ParseOptions(const std::vector<std::string>& args, TExportOptions& options) {
  const std::vector<std::string> operands = ParseArguments(OptionTable(options), args);
  if (options.Help) return;
  if (!operands.empty()) throw TUsageError("unexpected argument '" + operands[0] + "'");
  if (options.Database.empty() == options.Csv.empty())
    throw TUsageError("give either --db FILE --query SQL or --csv FILE");
  if (!options.Database.empty() && options.Query.empty())
    throw TUsageError("--db needs --query SQL");
  if (!options.Csv.empty() && !options.Query.empty())
    throw TUsageError("--query goes with --db, not with --csv");
  if (options.Csv.empty() && (options.Delimiter != 0 || options.DecimalComma))
    throw TUsageError("--delimiter and --decimal-comma go with --csv");
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

std::string LossPlace(const TTextLoss& loss, const TExportOptions& options) {
  if (loss.RecNo == 0) return "field names";
  return "record " + std::to_string(loss.RecNo) + ", field '" +
         options.DataTextAsUtf8(loss.FieldName) + "'";
}

std::string LossMessage(const TTextLoss& loss, uint16_t code_page) {
  if (loss.InvalidUtf8) return "text is not valid UTF-8; the rest of it is written as '?'";
  std::string shown;
  if (loss.CodePoint >= 0xA0) {
    shown = " '";
    XLSAppendUtf8(loss.CodePoint, shown);
    shown += "'";
  }
  return "character " + XLSCodePointName(loss.CodePoint) + shown + " has no form in " +
         XLSCodePageDescription(code_page) + "; written as '?'";
}

// Opens the data set the options name; throws EDatabaseError. A CSV file is
// checked as `tabulon convert` checks it, so both report its texts alike;
// nullptr when that check fails (it has said why).
std::unique_ptr<TDataSet> OpenDataSet(const TExportOptions& options, TDiagnostics& diagnostics) {
  const uint16_t codePage = options.CodePage;
  const auto report = [&diagnostics, &options](const TTextLoss& loss) {
    diagnostics.Loss(LossPlace(loss, options), LossMessage(loss, options.CodePage));
  };
  if (!options.Csv.empty()) {
    std::string utf8;
    std::string converted;
    char delimiter = options.Delimiter;
    if (!ReadCsvFile(options.Csv, utf8, converted, diagnostics, codePage, delimiter,
                     options.Utf8Texts()))
      return nullptr;
    auto csv = std::make_unique<TCsvDataSet>(nullptr);
    csv->SetCodePage(codePage);
    csv->SetUtf8Texts(options.Utf8Texts());
    csv->SetDelimiter(delimiter);
    csv->SetDecimalComma(options.DecimalComma);
    csv->LoadFromText(utf8, options.Csv);
    return csv;
  }
  auto sqlite = std::make_unique<TSqliteDataSet>(nullptr);
  sqlite->OnTextLoss = report;
  sqlite->SetCodePage(codePage);
  sqlite->SetUtf8Texts(options.Utf8Texts());
  sqlite->Open(options.Database, options.Query);
  return sqlite;
}

// A number format given in UTF-8 as the workbook takes its texts.
std::string FormatText(const TExportOptions& options, const std::string& format) {
  return options.Utf8Texts() ? format : XLSUtf8ToCodePage(format, options.CodePage).Text;
}

// The field a --format-field or --align-field names (without case); throws
// naming the fields there are.
TField& NamedField(const TDataSet& data_set, const TExportOptions& options, const std::string& name,
                   const char* option) {
  std::string known;
  for (int32_t i = 0; i < data_set.GetFieldCount(); ++i) {
    TField& field = data_set.GetField(i);
    const std::string fieldName = options.DataTextAsUtf8(field.GetFieldName());
    if (Lower(fieldName) == Lower(name)) return field;
    known += (known.empty() ? "" : ", ") + fieldName;
  }
  throw std::runtime_error(std::string(option) + ": no field is named '" + name +
                           "' (the fields: " + known + ")");
}

void ApplyFieldOptions(const TExportOptions& options, TDataSet& data_set) {
  for (const auto& [name, format] : options.FieldFormats)
    NamedField(data_set, options, name, "--format-field")
        .SetDisplayFormat(FormatText(options, format));
  for (const auto& [name, alignment] : options.FieldAlignments)
    NamedField(data_set, options, name, "--align-field").SetAlignment(alignment);
}

// The sheet name, given in UTF-8, in the workbook's code page; a character
// the code page lacks is reported and written as '_'. BIFF8 keeps it as it is.
std::string SheetName(const TExportOptions& options, TDiagnostics& diagnostics) {
  if (options.Utf8Texts()) return options.Sheet;
  TXLSCp1252Text name = XLSUtf8ToCodePage(options.Sheet, options.CodePage, '_');
  for (const TXLSUnmappedChar& unmapped : name.Unmapped) {
    diagnostics.Loss("--sheet", "character " + XLSCodePointName(unmapped.CodePoint) +
                                    " has no form in " + XLSCodePageDescription(options.CodePage) +
                                    "; written as '_'");
  }
  return name.Valid ? std::move(name.Text) : options.Sheet;
}

void Configure(TDataset2Excel& exporter, const TExportOptions& options, TDiagnostics& diagnostics) {
  exporter.FileFormat = options.FileFormat;
  exporter.WorksheetName = SheetName(options, diagnostics);
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
  exporter.Totals = options.Totals;
  exporter.Layout = options.Layout;
  exporter.Layout.CurrencyFormat = FormatText(options, options.Layout.CurrencyFormat);
  exporter.Layout.AutoFilter = options.AutoFilter.value_or(options.FileFormat == xlExcel8);
}

// Said once: which readers lose rows of the BIFF5 workbook just written
// (BIFF8 sheets are read whole).
void WarnAboutLongSheets(const TDataset2Excel& exporter, std::ostream& err) {
  if (exporter.FileFormat != xlExcel5 || exporter.GetMostSheetRows() <= kRowsAllReadersRead) return;
  err << "tabulon export: note: a sheet uses " << exporter.GetMostSheetRows()
      << " rows; xlrd, pandas and Gnumeric read only the first " << kRowsAllReadersRead
      << " rows of a BIFF5 sheet (LibreOffice reads them all); --rows-per-sheet "
      << kRowsAllReadersRead << " keeps the file readable by all of them\n";
}

// --strict: true (after saying why, as the reason that stops the job) when
// the export changed any value.
bool RefusedAsLossy(TDiagnostics& diagnostics) {
  const int32_t losses = diagnostics.GetLossCount();
  if (losses == 0) return false;
  diagnostics.CommandError(
      std::to_string(losses) +
      (losses == 1 ? " value cannot be kept as it is" : " values cannot be kept as they are") +
      "; nothing written (--strict)");
  return true;
}

// What can stop the export is checked before any input is read: the output
// path, the sheet name and the room below the header. False after saying why.
bool CheckBeforeReading(const TDataset2Excel& exporter, const TExportOptions& options,
                        TDiagnostics& diagnostics) {
  std::string error;
  if (!CheckOutputPath(options.Output, error)) {
    diagnostics.CommandError(error);
    return false;
  }
  try {
    exporter.CheckLayout(options.CodePage, options.Utf8Texts());
  } catch (const EXLSExportError& layout) {
    diagnostics.CommandError(layout.what());
    return false;
  }
  return true;
}

// The component's reports of values it changed or dropped go out as the
// text losses do, and are counted by kind for the summary line.
class TValueReportSummary {
 public:
  TValueReportSummary(TDataset2Excel& exporter, TDiagnostics& diagnostics,
                      const TExportOptions& options)
      : diagnostics_(diagnostics), cellLimit_(options.Utf8Texts() ? "32767" : "255") {
    exporter.OnValueReport = [this, &options](const TXLSValueReport& report) {
      ++counts_[report.Change];
      diagnostics_.Loss(Place(report, options), options.DataTextAsUtf8(report.Message));
    };
  }

  // A record's field, or the option that gave one of the component's own
  // texts (record 0).
  static std::string Place(const TXLSValueReport& report, const TExportOptions& options) {
    static const std::map<std::string, std::string> kOptions = {{"Title", "--title"},
                                                                {"Subtitle", "--subtitle"},
                                                                {"CenterHeader", "--page-header"},
                                                                {"CenterFooter", "--page-footer"}};
    if (report.RecNo == 0) {
      const auto option = kOptions.find(report.FieldName);
      return option == kOptions.end() ? report.FieldName : option->second;
    }
    return "record " + std::to_string(report.RecNo) + ", field '" +
           options.DataTextAsUtf8(report.FieldName) + "'";
  }

  // "IN: 3 values are not written as the data holds them: texts cut: 2, ...".
  void Summarize() const {
    const std::string kinds[kKindCount] = {
        "texts cut to " + cellLimit_ + " characters", "BLOBs left out",
        "invalid dates or times written as text",
        "characters of titles, page headers or footers replaced"};
    int64_t total = 0;
    std::string parts;
    for (size_t kind = 0; kind < kKindCount; ++kind) {
      if (counts_[kind] == 0) continue;
      total += counts_[kind];
      parts += (parts.empty() ? "" : ", ") + kinds[kind] + ": " + std::to_string(counts_[kind]);
    }
    if (total == 0) return;
    diagnostics_.Summary(std::to_string(total) +
                         (total == 1 ? " value is not written as the data holds it: "
                                     : " values are not written as the data holds them: ") +
                         parts);
  }

 private:
  static constexpr size_t kKindCount = vcCharReplaced + 1;
  TDiagnostics& diagnostics_;
  std::string cellLimit_;  // what a cell of the file format holds, in characters
  int64_t counts_[kKindCount] = {};
};

// Reads the input and exports it; false when that stopped (diagnostics
// holds why).
bool ExportInput(const TExportOptions& options, TDataset2Excel& exporter,
                 std::unique_ptr<TDataSet>& data_set, TDiagnostics& diagnostics,
                 TProgress* progress) {
  try {
    data_set = OpenDataSet(options, diagnostics);
    if (!data_set) return false;
    ApplyFieldOptions(options, *data_set);
    exporter.SetDataset(data_set.get());
    exporter.ExportDataset();
  } catch (const std::exception& error) {
    if (progress) diagnostics.Stream() << '\n';
    diagnostics.CommandError(error.what());
    return false;
  }
  if (progress) progress->Finish(exporter.GetDetailCount());
  return true;
}

// Checks what it can before reading, exports the input and saves the
// workbook: kExitOk when it was written, otherwise the exit status after
// diagnostics took the reason.
int ExportAndSave(const TExportOptions& options, TDataset2Excel& exporter,
                  std::unique_ptr<TDataSet>& data_set, TDiagnostics& diagnostics,
                  std::ostream& err) {
  Configure(exporter, options, diagnostics);
  if (!CheckBeforeReading(exporter, options, diagnostics)) return kExitFailure;
  const TValueReportSummary valueReports(exporter, diagnostics, options);
  std::unique_ptr<TProgress> progress;
  if (&err == &std::cerr && isatty(STDERR_FILENO)) {
    progress = std::make_unique<TProgress>(err);
    exporter.AfterDetailRow = [&progress](TDataset2Excel&, IXLSRange&, int32_t count) {
      progress->Update(count);
    };
  }
  const bool exported = ExportInput(options, exporter, data_set, diagnostics, progress.get());
  valueReports.Summarize();
  if (const auto* csv = dynamic_cast<const TCsvDataSet*>(data_set.get()))
    SummarizeDecimalCommaTexts(csv->GetDecimalCommaTextCount(), diagnostics);
  if (!exported) return kExitFailure;
  if (options.Strict && RefusedAsLossy(diagnostics)) return kExitLossy;
  if (exporter.SaveAs(options.Output) != 1) {
    diagnostics.CommandError(exporter.GetLastError());
    return kExitFailure;
  }
  return kExitOk;
}

int Export(const TExportOptions& options, std::ostream& out, std::ostream& err) {
  TDiagnostics diagnostics(err, "tabulon export",
                           options.Csv.empty() ? options.Database : options.Csv);
  TDataset2Excel exporter(nullptr);
  std::unique_ptr<TDataSet> dataSet;
  const int status = ExportAndSave(options, exporter, dataSet, diagnostics, err);
  diagnostics.Finish();
  if (status != kExitOk) return status;
  out << "wrote " << options.Output << ": " << exporter.GetDetailCount() << " records, "
      << dataSet->GetFieldCount() << " fields";
  if (exporter.GetSheetCount() > 1) out << ", " << exporter.GetSheetCount() << " sheets";
  out << '\n';
  WarnAboutLongSheets(exporter, err);
  return kExitOk;
}

}  // namespace

void PrintExportUsage(std::ostream& out) {
  out << "Usage: tabulon export --db FILE --query SQL -o OUT.xls [options]\n"
         "       tabulon export --csv FILE -o OUT.xls [options]\n"
         "\n"
         "Writes the records of an SQLite query, or of a CSV file whose first line names\n"
         "the fields, into a worksheet of a new workbook OUT.xls (replaced when it\n"
         "exists): a header row with the field names, then one row per record. The\n"
         "header stays in view when scrolling and is printed on every page; columns\n"
         "are as wide as their longest value. Records beyond a sheet (65,536 rows, or\n"
         "--rows-per-sheet) continue on sheets named NAME (2), NAME (3), ...\n"
         "\n"
         "Values keep their types: numbers, texts, and dates and times (SQLite columns\n"
         "declared DATE, TIME, DATETIME or TIMESTAMP; ISO 8601 texts in CSV files) shown\n"
         "as dd.mm.yyyy, hh:mm:ss or both and aligned right; columns declared REAL,\n"
         "CURRENCY, MONEY or DECIMAL get two decimals and grouped thousands. Texts are stored in "
         "code page 1252 (Western European) or the\n"
         "one --codepage names; a character outside it is reported and written as '?'.\n"
         "With --format biff8 (Excel 97-2003) every text is stored in Unicode and keeps\n"
         "all its characters, a cell holds 32767 characters instead of 255 bytes, a sheet\n"
         "name 31 characters, and every reader reads all 65,536 rows of a sheet.\n"
         "A value a cell cannot hold as it is, is reported with its record and field:\n"
         "a text longer than a cell holds is cut, a BLOB is left out, and a value of a\n"
         "date or time column that is no valid ISO 8601 date or time (2024-02-30,\n"
         "25:00:00, 03/05/2024) is written as text; the first 20 cases are shown, then a\n"
         "count.\n"
         "A CSV column stays a date or time column when at least half of its values are\n"
         "dates or times.\n"
         "\n"
         "A CSV file's fields are separated by commas, or by what --delimiter sets; a\n"
         "header line with more semicolons (or tabs) than commas makes them the\n"
         "separator, as a note says. With --decimal-comma, 12,5 is the number 12.5;\n"
         "without it such values stay texts, and a summary line counts them.\n";
  TExportOptions options;
  PrintOptions(OptionTable(options), out);
  out << "\n"
         "A progress line (records done, records per second) is shown on the terminal.\n"
         "\n"
         "Errors: the options, the sheet name, the room below the header and the output\n"
         "are checked before the input is read. The reason that stops the export comes\n"
         "last, after the reports and their summary, on its own line:\n"
         "'tabulon export: error: ...'.\n"
         "\n"
         "Exit status: 0 written; 1 unreadable database or CSV file, bad query, more\n"
         "fields than a sheet holds, no room for records below the header, a sheet\n"
         "name a sheet may not have, a --format-field or --align-field naming no\n"
         "field, or output not written; 2 wrong usage; 3 changed values refused by\n"
         "--strict.\n";
}

int RunExport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  TExportOptions options;
  try {
    ParseOptions(args, options);
  } catch (const TUsageError& error) {
    PrintUsageError(err, "tabulon export", error.what());
    return kExitUsage;
  }
  if (options.Help) {
    PrintExportUsage(out);
    return kExitOk;
  }
  return Export(options, out, err);
}

}  // namespace tabulon
