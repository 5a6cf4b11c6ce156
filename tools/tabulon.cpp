// The tabulon program: spreadsheet jobs from the command line. The first
// argument names the job; each job parses the rest itself.
#include <iostream>
#include <string>
#include <vector>

#include "Commands.h"

namespace tabulon {
namespace {

void PrintUsage(std::ostream& out) {
  out << "Usage: tabulon <command> [options] [arguments]\n"
         "\n"
         "Commands:\n"
         "  convert IN.csv OUT.xls   write the records of a CSV file into an .xls workbook\n"
         "  export ... -o OUT.xls    export an SQLite query or a CSV file into a formatted\n"
         "                           .xls workbook\n"
         "\n"
         "Options:\n"
         "  -h, --help               show this help\n"
         "  --version                show the version of tabulon\n"
         "\n"
         "Run 'tabulon <command> --help' for the options of a command.\n";
}

int Run(const std::vector<std::string>& args) {
  if (args.empty()) {
    PrintUsageError(std::cerr, "tabulon", "no command given (convert or export)");
    return kExitUsage;
  }
  const std::string& command = args[0];
  if (command == "-h" || command == "--help" || command == "help") {
    PrintUsage(std::cout);
    return kExitOk;
  }
  if (command == "--version") {
    std::cout << "tabulon " << TABULON_VERSION << '\n';
    return kExitOk;
  }
  const std::vector<std::string> rest(args.begin() + 1, args.end());
  if (command == "convert") return RunConvert(rest, std::cout, std::cerr);
  if (command == "export") return RunExport(rest, std::cout, std::cerr);
  PrintUsageError(std::cerr, "tabulon", "unknown command '" + command + "'");
  return kExitUsage;
}

}  // namespace

void PrintUsageError(std::ostream& err, const std::string& command, const std::string& reason) {
  err << command << ": " << reason << "\n"
      << "Try '" << command << " --help' for more information.\n";
}
}  // namespace tabulon

int main(int argc, char** argv) {
  return tabulon::Run(std::vector<std::string>(argv + 1, argv + argc));
}
