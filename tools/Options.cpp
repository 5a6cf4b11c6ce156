#include "Options.h"

#include <tabulon/XLSConstants.h>

#include <map>

#include "Commands.h"

namespace tabulon {
namespace {

// Help texts start in this column; a longer entry puts them on the next line.
constexpr size_t kHelpColumn = 28;

const TOption* FindOption(const TOptionTable& table, const std::string& name) {
  for (const TOptionSection& section : table)
    for (const TOption& option : section.Options)
      for (const std::string& known : option.Names)
        if (known == name) return &option;
  return nullptr;
}

bool IsOption(const std::string& arg) {
  return arg.size() > 1 && arg[0] == '-';
}

void PrintOption(const TOption& option, std::ostream& out) {
  std::string entry = "  ";
  for (const std::string& name : option.Names) entry += (entry.size() > 2 ? ", " : "") + name;
  if (!option.Value.empty()) entry += " " + option.Value;
  if (entry.size() >= kHelpColumn) {
    out << entry << '\n';
    entry.clear();
  }
  size_t start = 0;
  for (size_t end; start <= option.Help.size(); start = end + 1) {
    end = option.Help.find('\n', start);
    if (end == std::string::npos) end = option.Help.size();
    entry.resize(kHelpColumn, ' ');
    out << entry << option.Help.substr(start, end - start) << '\n';
    entry.clear();
  }
}

}  // namespace

std::vector<std::string> ParseArguments(const TOptionTable& table,
                                        const std::vector<std::string>& args) {
  std::vector<std::string> operands;
  bool optionsEnded = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || !IsOption(arg)) {
      operands.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    const size_t equals = arg.compare(0, 2, "--") == 0 ? arg.find('=') : std::string::npos;
    const std::string name = arg.substr(0, equals);
    const TOption* option = FindOption(table, name);
    if (!option) throw TUsageError("unknown option '" + arg + "'");
    if (option->Value.empty()) {
      if (equals != std::string::npos) throw TUsageError(name + " takes no value");
      option->Set("");
    } else if (equals != std::string::npos) {
      option->Set(arg.substr(equals + 1));
    } else if (++i < args.size()) {
      option->Set(args[i]);
    } else {
      throw TUsageError(name + " needs a value");
    }
  }
  return operands;
}

void PrintOptions(const TOptionTable& table, std::ostream& out) {
  for (const TOptionSection& section : table) {
    out << '\n' << section.Title << '\n';
    for (const TOption& option : section.Options) PrintOption(option, out);
  }
}

TOption HelpOption(bool& help) {
  return {{"-h", "--help"}, "", "show this help", [&help](const std::string&) { help = true; }};
}

TOption OutputOption(std::string& output) {
  return {{"-o", "--output"},
          "OUT.xls",
          "the workbook to write (replaced when it exists)",
          [&output](const std::string& value) { output = value; }};
}

TOption StrictOption(bool& strict, const std::string& help) {
  return {{"--strict"}, "", help, [&strict](const std::string&) { strict = true; }};
}

TOption CodePageOption(uint16_t& code_page) {
  return {{"--codepage"},
          "N",
          "code page of the texts: 874 Thai, 932 Japanese,\n"
          "936 Simplified Chinese, 949 Korean, 950 Traditional\n"
          "Chinese, 1250 Central European, 1251 Cyrillic,\n"
          "1252 Western European (default), 1253 Greek,\n"
          "1254 Turkish, 1255 Hebrew, 1256 Arabic, 1257 Baltic,\n"
          "1258 Vietnamese; with --format biff8 every text\n"
          "keeps all its characters, and the code page only\n"
          "names the fonts' character set",
          [&code_page](const std::string& value) {
            std::string error;
            if (!ParseCodePageOption(value, code_page, error)) throw TUsageError(error);
          }};
}

TOption FileFormatOption(int32_t& file_format) {
  return {{"--format"},
          "F",
          "file format: biff5 (Excel 5/95, the default) or\n"
          "biff8 (Excel 97-2003): Unicode texts that keep\n"
          "every character, cells of 32767 characters, sheets\n"
          "that every reader reads to row 65536",
          [&file_format](const std::string& value) {
            static const std::map<std::string, int32_t> kFormats = {{"biff5", xlExcel5},
                                                                    {"biff8", xlExcel8}};
            const auto found = kFormats.find(value);
            if (found == kFormats.end())
              throw TUsageError("--format needs biff5 or biff8, not '" + value + "'");
            file_format = found->second;
          }};
}

TOption DelimiterOption(char& delimiter) {
  return {{"--delimiter"},
          "C",
          "field separator of the CSV file: , ; | or tab;\n"
          "without it a header line with more semicolons\n"
          "(or tabs) than commas chooses that, else ,",
          [&delimiter](const std::string& value) {
            static const std::map<std::string, char> kDelimiters = {
                {",", ','}, {";", ';'}, {"|", '|'}, {"tab", '\t'}, {"\t", '\t'}};
            const auto found = kDelimiters.find(value);
            if (found == kDelimiters.end())
              throw TUsageError("--delimiter needs one of , ; | tab, not '" + value + "'");
            delimiter = found->second;
          }};
}

TOption DecimalCommaOption(bool& decimal_comma) {
  return {{"--decimal-comma"},
          "",
          "numbers in the CSV file have a decimal comma:\n"
          "12,5 is 12.5 (and 12.5 stays text)",
          [&decimal_comma](const std::string&) { decimal_comma = true; }};
}

}  // namespace tabulon
