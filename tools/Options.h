// The options of a command as one table: the arguments are parsed by it and
// the command's --help lists it, so the two cannot disagree. Both commands
// share the parser and the options they have in common.
#pragma once

#include <cstdint>
#include <functional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace tabulon {

// Wrong arguments; the message is the reason the usage error shows.
class TUsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct TOption {
  std::vector<std::string> Names;  // short form first: {"-o", "--output"}
  std::string Value;               // what the value is, for --help ("OUT.xls"); empty: a flag
  std::string Help;                // '\n' starts another line of it
  // Takes the value (empty for a flag); throws TUsageError when it is bad.
  std::function<void(const std::string&)> Set;
};

struct TOptionSection {
  std::string Title;  // "Options:"
  std::vector<TOption> Options;
};

using TOptionTable = std::vector<TOptionSection>;

// Applies the options of args ("--name VALUE", "--name=VALUE", "-o VALUE",
// flags; "--" ends the options, "-" is a file name) and returns the other
// arguments in their order. Throws TUsageError on an unknown option, a
// missing value, or a value given to a flag.
std::vector<std::string> ParseArguments(const TOptionTable& table,
                                        const std::vector<std::string>& args);

// The sections of table as --help shows them: a title line, then one entry
// per option with its help in a column of its own.
void PrintOptions(const TOptionTable& table, std::ostream& out);

// The options both commands take.
TOption HelpOption(bool& help);
TOption OutputOption(std::string& output);
TOption StrictOption(bool& strict, const std::string& help);
TOption CodePageOption(uint16_t& code_page);
// --format biff5|biff8: xlExcel5 or xlExcel8 into file_format.
TOption FileFormatOption(int32_t& file_format);
TOption DelimiterOption(char& delimiter);
TOption DecimalCommaOption(bool& decimal_comma);

}  // namespace tabulon
