// The subcommands of the tabulon program and the exit statuses they share.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace tabulon {

// Exit statuses of the tabulon program.
enum TExitStatus : int {
  kExitOk = 0,
  kExitFailure = 1,  // unreadable or malformed input, or the workbook was not written
  kExitUsage = 2,    // wrong arguments
  kExitLossy = 3,    // --strict: the input holds text a workbook cannot keep as it is
};

// A usage error: its reason on one line, then one line pointing at the help
// of command ("tabulon export").
void PrintUsageError(std::ostream& err, const std::string& command, const std::string& reason);

// `tabulon convert [options] IN.csv OUT.xls` (or IN.csv -o OUT.xls); args
// are those after "convert".
int RunConvert(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
void PrintConvertUsage(std::ostream& out);

// `tabulon export (--db FILE --query SQL | --csv FILE) -o OUT.xls [options]`.
int RunExport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
void PrintExportUsage(std::ostream& out);

// Reads the value of --codepage: one of the code pages a workbook can
// declare. False with a message in error otherwise.
bool ParseCodePageOption(const std::string& text, uint16_t& code_page, std::string& error);

// Checks, before any input is read, that a workbook can be written at path:
// its folder takes new files and an existing file there is a regular one.
// False with the reason, naming path, in error otherwise.
bool CheckOutputPath(const std::string& path, std::string& error);

}  // namespace tabulon
