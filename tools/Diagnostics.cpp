#include "Diagnostics.h"

#include <utility>

namespace tabulon {

TDiagnostics::TDiagnostics(std::ostream& err, std::string command, std::string file_name)
    : err_(err), command_(std::move(command)), fileName_(std::move(file_name)) {}

void TDiagnostics::Loss(const std::string& where, const std::string& message) {
  if (++lossCount_ <= kMaxPrintedLosses) err_ << Line(where, message);
}

void TDiagnostics::Note(const std::string& message) {
  err_ << Line("note", message);
}

void TDiagnostics::Summary(const std::string& message) {
  summaries_.push_back(Line("", message));
}

void TDiagnostics::Error(const std::string& where, const std::string& message) {
  if (error_.empty()) error_ = command_ + ": error: " + Line(where, message);
}

void TDiagnostics::CommandError(const std::string& message) {
  if (error_.empty()) error_ = command_ + ": error: " + message + '\n';
}

void TDiagnostics::Finish() {
  if (lossCount_ > kMaxPrintedLosses) {
    err_ << fileName_ << ": ... and " << lossCount_ - kMaxPrintedLosses
         << " more texts changed in the same way\n";
  }
  for (const std::string& summary : summaries_) err_ << summary;
  summaries_.clear();
  err_ << error_;
}

std::string TDiagnostics::Line(const std::string& where, const std::string& message) const {
  return fileName_ + ": " + where + (where.empty() ? "" : ": ") + message + '\n';
}

}  // namespace tabulon
