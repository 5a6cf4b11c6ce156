// Problem reports about one input file, written to the error stream with the
// file name in front. Losses (text a workbook cannot keep as it is) are
// counted so that --strict can refuse the file; only the first few of them
// are printed, so a file full of foreign script does not flood the terminal.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>

namespace tabulon {

class TDiagnostics {
 public:
  static constexpr int32_t kMaxPrintedLosses = 20;

  // command ("tabulon convert") leads every error line, as it leads the
  // command's other errors.
  TDiagnostics(std::ostream& err, std::string command, std::string file_name);

  // Reports text that is written differently from the input.
  void Loss(const std::string& where, const std::string& message);
  // Reports a problem that stops the job.
  void Error(const std::string& where, const std::string& message);
  // Reports a problem that stops the job and names the file itself.
  void CommandError(const std::string& message);
  // Prints how many losses were not shown (when any).
  void Finish();

  int32_t GetLossCount() const { return lossCount_; }
  std::ostream& Stream() { return err_; }

 private:
  void Print(const std::string& where, const std::string& message);

  std::ostream& err_;
  std::string command_;
  std::string fileName_;
  int32_t lossCount_ = 0;
};

}  // namespace tabulon
