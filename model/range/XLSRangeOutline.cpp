// Outline groups of the range's rows or columns. Rows and columns keep their
// outline level, and the summary row or column of a collapsed group its
// collapsed mark, in the sheet's row and column information; the walks
// below read both lists alike.
#include <algorithm>
#include <string>

#include "XLSColRowInfo.h"
#include "XLSRange.h"
#include "XLSWorksheet.h"

namespace tabulon {

namespace {

// The rows or columns a range's outline call works on.
template <class TLines>
struct TOutlineSpan {
  TLines& Lines;
  int32_t First;
  int32_t Last;
  int32_t Count;      // rows or columns of a sheet
  bool SummaryAfter;  // below the rows, right of the columns
  const char* Noun;   // "row" or "column", for messages
};

template <class TLines>
int32_t DeepestLevel(const TOutlineSpan<TLines>& span, int32_t& at) {
  int32_t deepest = 0;
  for (int32_t line = span.First; line <= span.Last; ++line) {
    if (span.Lines.GetOutlineLevel(line) > deepest) {
      deepest = span.Lines.GetOutlineLevel(line);
      at = line;
    }
  }
  return deepest;
}

template <class TLines>
int32_t ShallowestLevel(const TOutlineSpan<TLines>& span) {
  int32_t shallowest = kMaxOutlineLevel;
  for (int32_t line = span.First; line <= span.Last; ++line)
    shallowest = std::min(shallowest, span.Lines.GetOutlineLevel(line));
  return shallowest;
}

template <class TLines>
void ShiftLevels(const TOutlineSpan<TLines>& span, int32_t step) {
  for (int32_t line = span.First; line <= span.Last; ++line)
    span.Lines.SetOutlineLevel(line, span.Lines.GetOutlineLevel(line) + step);
}

// The detail of a group is the run of neighbours at the group's level or
// deeper; its summary is the line after the run (or before it). Collapsing
// hides the run and marks the summary; expanding shows the whole run,
// nested groups included, and clears their marks.
template <class TLines>
void ShowGroup(TOutlineSpan<TLines> span, int32_t level, bool show) {
  TLines& lines = span.Lines;
  while (span.First > 0 && lines.GetOutlineLevel(span.First - 1) >= level) --span.First;
  while (span.Last + 1 < span.Count && lines.GetOutlineLevel(span.Last + 1) >= level) ++span.Last;
  for (int32_t line = span.First; line <= span.Last; ++line) {
    lines.SetHidden(line, !show);
    if (show) lines.SetCollapsed(line, false);
  }
  const int32_t summary = span.SummaryAfter ? span.Last + 1 : span.First - 1;
  if (summary >= 0 && summary < span.Count) lines.SetCollapsed(summary, !show);
}

template <class TLines>
std::string Lines(const TOutlineSpan<TLines>& span) {
  const std::string noun = span.Noun;
  if (span.First == span.Last) return noun + " " + std::to_string(span.First + 1);
  return noun + "s " + std::to_string(span.First + 1) + " to " + std::to_string(span.Last + 1);
}

// Runs operation on the range's rows or columns; a range of cells has
// neither, and the call refuses it.
template <class TOperation>
int32_t OnOutlineLines(TXLSRange& range, const char* call, TOperation operation) {
  TXLSWorksheet& sheet = range.GetWorksheet();
  switch (range.RangeType) {
    case xlRangeRows: {
      TXLSRowInfoList& rows = sheet.GetRowInfo();
      return operation(TOutlineSpan<TXLSRowInfoList>{rows, range.GetFirstRow(), range.GetLastRow(),
                                                     TXLSRowInfoList::kRowCount,
                                                     rows.GetSummaryBelow(), "row"});
    }
    case xlRangeColumns: {
      TXLSColumnInfoList& columns = sheet.GetColumnInfo();
      return operation(TOutlineSpan<TXLSColumnInfoList>{
          columns, range.GetFirstCol(), range.GetLastCol(), TXLSColumnInfoList::kColumnCount,
          columns.GetSummaryRight(), "column"});
    }
    case xlRangeCells:
      break;
  }
  sheet.SetLastError(std::string(call) + ": " + range.GetFirstCellText() + ":" +
                     range.GetLastCellText() +
                     " is a range of cells; outlines group rows (GetEntireRow, GetRows) "
                     "or columns (GetEntireColumn, GetColumns)");
  return -1;
}

}  // namespace

int32_t TXLSRange::Group() {
  return OnOutlineLines(*this, "Group", [this](auto span) {
    int32_t at = span.First;
    if (DeepestLevel(span, at) >= kMaxOutlineLevel) {
      Worksheet.SetLastError("Group: " + std::string(span.Noun) + " " + std::to_string(at + 1) +
                             " is at outline level " + std::to_string(kMaxOutlineLevel) +
                             " already, the deepest there is");
      return -1;
    }
    ShiftLevels(span, 1);
    return 1;
  });
}

int32_t TXLSRange::Ungroup() {
  return OnOutlineLines(*this, "Ungroup", [](auto span) {
    ShiftLevels(span, -1);
    return 1;
  });
}

int32_t TXLSRange::SetShowDetail(bool show) {
  return OnOutlineLines(*this, "SetShowDetail", [this, show](auto span) {
    const int32_t level = ShallowestLevel(span);
    if (level == 0) {
      Worksheet.SetLastError("SetShowDetail: no outline group holds all of " + Lines(span));
      return -1;
    }
    ShowGroup(span, level, show);
    return 1;
  });
}

}  // namespace tabulon
