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
         "\n"
         "Run 'tabulon <command> --help' for the options of a command.\n";
}

int Run(const std::vector<std::string>& args) {
  if (args.empty()) {
    PrintUsage(std::cerr);
    return kExitUsage;
  }
  const std::string& command = args[0];
  if (command == "-h" || command == "--help" || command == "help") {
    PrintUsage(std::cout);
    return kExitOk;
  }
  const std::vector<std::string> rest(args.begin() + 1, args.end());
  if (command == "convert") return RunConvert(rest, std::cout, std::cerr);
  if (command == "export") return RunExport(rest, std::cout, std::cerr);
  std::cerr << "tabulon: unknown command '" << command << "'\n\n";
  PrintUsage(std::cerr);
  return kExitUsage;
}

}  // namespace
}  // namespace tabulon

int main(int argc, char** argv) {
  return tabulon::Run(std::vector<std::string>(argv + 1, argv + argc));
}
