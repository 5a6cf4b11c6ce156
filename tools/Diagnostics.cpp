#include "Diagnostics.h"

#include <utility>

namespace tabulon {

TDiagnostics::TDiagnostics(std::ostream& err, std::string command, std::string file_name)
    : err_(err), command_(std::move(command)), fileName_(std::move(file_name)) {}

void TDiagnostics::Loss(const std::string& where, const std::string& message) {
  if (++lossCount_ <= kMaxPrintedLosses) Print(where, message);
}

void TDiagnostics::Error(const std::string& where, const std::string& message) {
  err_ << command_ << ": ";
  Print(where, message);
}

void TDiagnostics::CommandError(const std::string& message) {
  err_ << command_ << ": " << message << '\n';
}

void TDiagnostics::Finish() {
  if (lossCount_ > kMaxPrintedLosses) {
    err_ << fileName_ << ": ... and " << lossCount_ - kMaxPrintedLosses
         << " more texts changed in the same way\n";
  }
}

void TDiagnostics::Print(const std::string& where, const std::string& message) {
  err_ << fileName_ << ": " << where << (where.empty() ? "" : ": ") << message << '\n';
}

}  // namespace tabulon
