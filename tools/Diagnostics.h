// Problem reports about one input file, written to the error stream with the
// file name in front. Losses (text a workbook cannot keep as it is) are
// counted so that --strict can refuse the file; only the first few of them
// are printed, so a file full of foreign script does not flood the terminal.
// The reason that stops the job is kept for the end: Finish prints it after
// the count of losses not shown and the summaries, last and on its own line.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace tabulon {

class TDiagnostics {
 public:
  static constexpr int32_t kMaxPrintedLosses = 20;

  // command ("tabulon convert") leads every error line, as it leads the
  // command's other errors.
  TDiagnostics(std::ostream& err, std::string command, std::string file_name);

  // Reports text that is written differently from the input.
  void Loss(const std::string& where, const std::string& message);
  // Says at once how the input is read ("fields separated by semicolons").
  void Note(const std::string& message);
  // A line about the whole input, printed by Finish after the losses.
  void Summary(const std::string& message);
  // The problem that stops the job, at a place in the file. Only the first
  // one is kept.
  void Error(const std::string& where, const std::string& message);
  // The problem that stops the job, its message naming the file itself.
  void CommandError(const std::string& message);
  // Prints how many losses were not shown (when any), the summaries, and
  // the problem that stopped the job (when there was one).
  void Finish();

  int32_t GetLossCount() const { return lossCount_; }
  bool Failed() const { return !error_.empty(); }
  std::ostream& Stream() { return err_; }

 private:
  std::string Line(const std::string& where, const std::string& message) const;

  std::ostream& err_;
  std::string command_;
  std::string fileName_;
  int32_t lossCount_ = 0;
  std::vector<std::string> summaries_;
  std::string error_;
};

}  // namespace tabulon
