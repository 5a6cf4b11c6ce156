// Formula texts set on cells and blocks of two sheets, then read back and
// saved: the parser, the fill, the evaluator and the FORMULA records. The
// input is lines of "TARGET CONTENT": TARGET a cell or block ("B2",
// "A2:A300", "Data!C1"), CONTENT a formula ("=A1&A1") or a value. Lines
// can build cycles, long chains, counts over the whole sheet and texts that
// double from cell to cell; the save must be well formed and, like every
// other call, finish within the fuzzer's time limit.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "FuzzCheck.h"
#include "Tabulon.h"
#include "XLSCellRef.h"
#include "XLSWorksheet.h"

using namespace tabulon;

namespace {

// Bounds on the cells one input fills, so that a unit stays within the time
// limit by the evaluator's cost, not by the number of cells: each formula
// may read every stored cell, which no evaluator can avoid.
constexpr size_t kMaxLines = 12;
constexpr int64_t kMaxCells = 400;

// The sheet a target names ("Data!" or none) and the rest of it.
IXLSWorkSheet& SheetOf(TXLSWorkbook& book, std::string& target) {
  const std::string prefix = "Data!";
  if (target.rfind(prefix, 0) != 0) return *book.GetSheets().GetSheet(1);
  target.erase(0, prefix.size());
  return *book.GetSheets().GetSheet(2);
}

// The block of a target, or null when it is not one or would take the cells
// beyond budget (which it then reduces).
XLSPtr<IXLSRange> Block(IXLSWorkSheet& sheet, const std::string& target, int64_t& budget) {
  uint16_t row1 = 0, row2 = 0;
  uint8_t col1 = 0, col2 = 0;
  const bool parsed = target.find(':') == std::string::npos
                          ? GetCellRef(target, row1, col1) == 1
                          : GetCellRange(target, row1, col1, row2, col2) == 1;
  if (!parsed) return nullptr;
  if (target.find(':') == std::string::npos) row2 = row1, col2 = col1;
  if (row2 < row1 || col2 < col1) return nullptr;
  const int64_t cells = (int64_t{row2} - row1 + 1) * (int64_t{col2} - col1 + 1);
  if (cells > budget) return nullptr;
  budget -= cells;
  return sheet.FGetRange(EncodeCellRef(row1, col1), EncodeCellRef(row2, col2));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TXLSWorkbook book;
  book.GetSheets().Add();
  book.GetSheets().Add()->SetWorkSheetName("Data");
  std::istringstream lines(std::string(reinterpret_cast<const char*>(data), size));
  XLSPtr<IXLSRange> last;
  size_t count = 0;
  int64_t budget = kMaxCells;
  for (std::string line; count < kMaxLines && std::getline(lines, line); ++count) {
    const size_t space = line.find(' ');
    if (space == std::string::npos) continue;
    std::string target = line.substr(0, space);
    const std::string content = line.substr(space + 1);
    IXLSWorkSheet& sheet = SheetOf(book, target);
    XLSPtr<IXLSRange> block = Block(sheet, target, budget);
    if (!block) continue;
    if (!content.empty() && content[0] == '=') {
      const TXLSFormulaStatus status = block->SetFormula(content);
      fuzz::Require(status.Ok() || (status.Code == -1 && !status.Message.empty()),
                    "a refused formula left no message");
      if (status.Ok()) block->GetFormula();
    } else {
      block->SetValue(OleVariant(content));
    }
    last = block;
  }
  if (last) last->GetValue();
  fuzz::CheckSaved(book);
  return 0;
}
