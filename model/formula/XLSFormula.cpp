// Formula tokens back to text and to BIFF5 token bytes, the moves of their
// references (fill, insert, delete, sheet deletion), and the per-sheet store.
#include "XLSFormula.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <utility>

#include "XLSByteOrder.h"
#include "XLSCellRef.h"
#include "XLSConstants.h"
#include "XLSFormulaFunctions.h"
#include "XLSFormulaTokens.h"
#include "XLSRecordEncoder.h"
#include "XLSWorksheet.h"

namespace tabulon {

namespace {

// Row fields of BIFF5 references carry the relative flags in their top bits.

// The binary operators' texts, in the order of their ids (kAdd to kNE).
const char* OperatorText(uint8_t code) {
  static constexpr const char* kTexts[] = {"+", "-",  "*", "/",  "^", "&",
                                           "<", "<=", "=", ">=", ">", "<>"};
  return code >= xlstoken::kAdd && code <= xlstoken::kNE ? kTexts[code - xlstoken::kAdd] : "?";
}

std::string ColumnLetters(int32_t col) {
  std::string letters;
  if (col >= 26) letters += static_cast<char>('A' + col / 26 - 1);
  letters += static_cast<char>('A' + col % 26);
  return letters;
}

std::string PointText(const TXLSRefPoint& p) {
  return (p.ColRel ? "" : "$") + ColumnLetters(p.Col) + (p.RowRel ? "" : "$") +
         std::to_string(p.Row + 1);
}

// A sheet name needs quotes unless it is a plain word.
std::string SheetPrefix(const std::string& name) {
  bool plain =
      !name.empty() && (std::isalpha(static_cast<unsigned char>(name[0])) || name[0] == '_');
  for (char c : name) plain = plain && (std::isalnum(static_cast<unsigned char>(c)) || c == '_');
  if (plain) return name + "!";
  std::string quoted = "'";
  for (char c : name) quoted += c == '\'' ? std::string("''") : std::string(1, c);
  return quoted + "'!";
}

std::string NumberText(double value) {
  char buffer[32];
  for (int digits = 15; digits <= 17; ++digits) {
    std::snprintf(buffer, sizeof buffer, "%.*g", digits, value);
    if (std::strtod(buffer, nullptr) == value) break;
  }
  return buffer;
}

void AddWord(std::vector<uint8_t>& out, uint16_t value) {
  XLSAppendLE(out, value);
}

TXLSTokenPoint TokenPoint(const TXLSRefPoint& p) {
  return {static_cast<uint16_t>(p.Row), static_cast<uint8_t>(p.Col), p.RowRel, p.ColRel};
}

// The sheet a reference names when it is not the formula's own, else null.
const TXLSWorksheet* OtherSheet(const TXLSFormulaToken& token, const TXLSWorksheet& sheet) {
  const TXLSWorksheet* named = token.Sheet ? token.Sheet->Sheet : nullptr;
  return named != &sheet ? named : nullptr;
}

// A corner whose relative parts become offsets from base (wrapping as the
// 16-bit row and 8-bit column fields of tRefN and tAreaN read them back).
TXLSTokenPoint OffsetPoint(const TXLSRefPoint& p, const TXLSRefPoint& base) {
  TXLSTokenPoint point = TokenPoint(p);
  if (p.RowRel) point.Row = static_cast<uint16_t>(p.Row - base.Row);
  if (p.ColRel) point.Col = static_cast<uint8_t>(p.Col - base.Col);
  return point;
}

bool HasRelativePart(const TXLSFormulaToken& token) {
  const bool first = token.First.RowRel || token.First.ColRel;
  return first || (token.Kind == TXLSTokenKind::Area && (token.Last.RowRel || token.Last.ColRel));
}

// base: null for a cell formula (positions on the sheet); else the cell the
// formula is read for, and a reference with a relative part is written as
// tRefN or tAreaN.
void EncodeReference(const TXLSFormulaToken& token, const TXLSWorksheet& sheet,
                     const TXLSRecordEncoder& encoder, const TXLSRefPoint* base,
                     std::vector<uint8_t>& out) {
  TXLSTokenRef ref;
  ref.Area = token.Kind == TXLSTokenKind::Area;
  const TXLSWorksheet* other = OtherSheet(token, sheet);
  const bool offsets = base != nullptr && other == nullptr && HasRelativePart(token);
  ref.Sheet3d = other != nullptr;
  if (offsets) {
    ref.Id = ref.Area ? xlstoken::kAreaN : xlstoken::kRefN;
  } else {
    ref.Id = other ? (ref.Area ? xlstoken::kArea3d : xlstoken::kRef3d)
                   : (ref.Area ? xlstoken::kArea : xlstoken::kRef);
  }
  if (token.ValueClass) ref.Id = static_cast<uint8_t>(ref.Id + xlstoken::kValueClass);
  if (other) ref.Sheet = static_cast<uint16_t>(other->GetSheetIndex() - 1);
  ref.First = offsets ? OffsetPoint(token.First, *base) : TokenPoint(token.First);
  ref.Last = offsets ? OffsetPoint(token.Last, *base) : TokenPoint(token.Last);
  encoder.AddReferenceToken(out, ref);
}

void EncodeToken(const TXLSFormulaToken& token, const TXLSWorksheet& sheet,
                 const TXLSRecordEncoder& encoder, const TXLSTextPlace& place,
                 const TXLSRefPoint* base, std::vector<uint8_t>& out) {
  if (IsDeletedSheetReference(token)) {
    out.push_back(xlstoken::kErr);
    out.push_back(xlErrRef);
    return;
  }
  switch (token.Kind) {
    case TXLSTokenKind::Number: {
      const double v = token.Number;
      if (v >= 0 && v <= 65535 && std::floor(v) == v && !std::signbit(v)) {
        out.push_back(xlstoken::kInt);
        AddWord(out, static_cast<uint16_t>(v));
      } else {
        out.push_back(xlstoken::kNum);
        XLSAppendLE(out, XLSDoubleBits(v));
      }
      break;
    }
    case TXLSTokenKind::String: {
      encoder.AddStringToken(out, token.Text, place);
      break;
    }
    case TXLSTokenKind::Bool:
      out.push_back(xlstoken::kBool);
      out.push_back(token.Code);
      break;
    case TXLSTokenKind::Error:
      out.push_back(xlstoken::kErr);
      out.push_back(token.Code);
      break;
    case TXLSTokenKind::Ref:
    case TXLSTokenKind::Area:
      EncodeReference(token, sheet, encoder, base, out);
      break;
    case TXLSTokenKind::Operator:
      out.push_back(token.Code);
      break;
    case TXLSTokenKind::Paren:
      out.push_back(xlstoken::kParen);
      break;
    case TXLSTokenKind::MissingArg:
      out.push_back(xlstoken::kMissArg);
      break;
    case TXLSTokenKind::Function: {
      const TXLSFunctionInfo* info = FindFunction(token.Function);
      if (token.Function == xlsfunc::kSum && token.ArgCount == 1) {
        // A one-argument SUM is written as the spreadsheet writes it.
        out.push_back(xlstoken::kAttr);
        out.push_back(xlstoken::kAttrSum);
        AddWord(out, 0);
      } else if (info != nullptr && info->IsVariable()) {
        out.push_back(xlstoken::kFuncVar);
        out.push_back(token.ArgCount);
        AddWord(out, token.Function);
      } else {
        out.push_back(xlstoken::kFunc);
        AddWord(out, token.Function);
      }
      break;
    }
  }
}

// Moves one coordinate across an inserted or deleted block [first, last]
// along its axis; false when a deleted block swallowed it.
bool ShiftCoordinate(int32_t& value, int32_t first, int32_t last, bool insert) {
  const int32_t count = last - first + 1;
  if (insert) {
    if (value >= first) value += count;
    return true;
  }
  if (value > last) {
    value -= count;
    return true;
  }
  return value < first;
}

// An area's edges across a deleted block: what remains of it, false when
// nothing does.
bool ShrinkEdges(int32_t& low, int32_t& high, int32_t first, int32_t last) {
  const int32_t count = last - first + 1;
  const int32_t newLow = low < first ? low : (low > last ? low - count : first);
  const int32_t newHigh = high < first ? high : (high > last ? high - count : first - 1);
  if (newLow > newHigh) return false;
  low = newLow;
  high = newHigh;
  return true;
}

void MakeRefError(TXLSFormulaToken& token) {
  token.Kind = TXLSTokenKind::Error;
  token.Code = xlErrRef;
  token.Sheet = nullptr;
}

bool IsReference(const TXLSFormulaToken& token) {
  return token.Kind == TXLSTokenKind::Ref || token.Kind == TXLSTokenKind::Area;
}

}  // namespace

bool IsDeletedSheetReference(const TXLSFormulaToken& token) {
  return IsReference(token) && token.Sheet && token.Sheet->Sheet == nullptr;
}

std::string FormulaErrorText(uint8_t code) {
  switch (code) {
    case xlErrNull:
      return "#NULL!";
    case xlErrDiv0:
      return "#DIV/0!";
    case xlErrValue:
      return "#VALUE!";
    case xlErrRef:
      return "#REF!";
    case xlErrName:
      return "#NAME?";
    case xlErrNum:
      return "#NUM!";
    case xlErrNA:
      return "#N/A";
    default:
      return std::string();
  }
}

std::string FormulaText(const TXLSFormula& formula, const TXLSWorksheet& sheet) {
  std::vector<std::string> stack;
  const auto pop = [&stack]() {
    std::string top = stack.empty() ? std::string() : std::move(stack.back());
    if (!stack.empty()) stack.pop_back();
    return top;
  };
  for (const TXLSFormulaToken& token : formula.Tokens) {
    switch (token.Kind) {
      case TXLSTokenKind::Number:
        stack.push_back(NumberText(token.Number));
        break;
      case TXLSTokenKind::String: {
        std::string text = "\"";
        for (char c : token.Text) text += c == '"' ? std::string("\"\"") : std::string(1, c);
        stack.push_back(text + "\"");
        break;
      }
      case TXLSTokenKind::Bool:
        stack.push_back(token.Code ? "TRUE" : "FALSE");
        break;
      case TXLSTokenKind::Error:
        stack.push_back(FormulaErrorText(token.Code));
        break;
      case TXLSTokenKind::Ref:
      case TXLSTokenKind::Area: {
        if (IsDeletedSheetReference(token)) {
          stack.push_back(FormulaErrorText(xlErrRef));
          break;
        }
        const TXLSWorksheet* other = OtherSheet(token, sheet);
        std::string text = other ? SheetPrefix(other->GetName()) : "";
        text += PointText(token.First);
        if (token.Kind == TXLSTokenKind::Area) text += ":" + PointText(token.Last);
        stack.push_back(text);
        break;
      }
      case TXLSTokenKind::Operator: {
        std::string right = pop();
        if (token.Code == xlstoken::kUminus || token.Code == xlstoken::kUplus) {
          stack.push_back((token.Code == xlstoken::kUminus ? "-" : "+") + right);
        } else if (token.Code == xlstoken::kPercent) {
          stack.push_back(right + "%");
        } else {
          std::string left = pop();
          stack.push_back(left + OperatorText(token.Code) + right);
        }
        break;
      }
      case TXLSTokenKind::Paren:
        stack.push_back("(" + pop() + ")");
        break;
      case TXLSTokenKind::MissingArg:
        stack.emplace_back();
        break;
      case TXLSTokenKind::Function: {
        std::vector<std::string> args(token.ArgCount);
        for (size_t i = args.size(); i-- > 0;) args[i] = pop();
        const TXLSFunctionInfo* info = FindFunction(token.Function);
        std::string text = std::string(info ? info->Name : "?") + "(";
        for (size_t i = 0; i < args.size(); ++i) text += (i ? "," : "") + args[i];
        stack.push_back(text + ")");
        break;
      }
    }
  }
  return "=" + pop();
}

std::vector<uint8_t> EncodeFormula(const TXLSFormula& formula, const TXLSWorksheet& sheet,
                                   const TXLSRecordEncoder& encoder, const TXLSTextPlace& place) {
  std::vector<uint8_t> out;
  for (const TXLSFormulaToken& token : formula.Tokens)
    EncodeToken(token, sheet, encoder, place, nullptr, out);
  return out;
}

std::vector<uint8_t> EncodeFormulaAt(const TXLSFormula& formula, const TXLSWorksheet& sheet,
                                     const TXLSRecordEncoder& encoder, const TXLSTextPlace& place,
                                     int32_t base_row, int32_t base_col) {
  const TXLSRefPoint base{base_row, base_col};
  std::vector<uint8_t> out;
  for (const TXLSFormulaToken& token : formula.Tokens)
    EncodeToken(token, sheet, encoder, place, &base, out);
  return out;
}

TXLSFillReach FormulaFillReach(const TXLSFormula& formula, int32_t max_row) {
  // A formula without relative rows (or columns) can be filled any distance.
  TXLSFillReach reach{std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::max()};
  const auto limit = [&reach, max_row](const TXLSRefPoint& p) {
    if (p.RowRel) reach.Rows = std::min(reach.Rows, max_row - p.Row);
    if (p.ColRel) reach.Cols = std::min(reach.Cols, int32_t{XLSMaxCol} - p.Col);
  };
  for (const TXLSFormulaToken& token : formula.Tokens) {
    if (!IsReference(token) || IsDeletedSheetReference(token)) continue;
    limit(token.First);
    if (token.Kind == TXLSTokenKind::Area) limit(token.Last);
  }
  return reach;
}

int32_t FormulaLastRow(const TXLSFormula& formula) {
  int32_t last = -1;
  for (const TXLSFormulaToken& token : formula.Tokens) {
    if (!IsReference(token) || IsDeletedSheetReference(token)) continue;
    last = std::max(last, token.First.Row);
    if (token.Kind == TXLSTokenKind::Area) last = std::max(last, token.Last.Row);
  }
  return last;
}

void ShiftFormula(TXLSFormula& formula, int32_t rows, int32_t cols, int32_t max_row) {
  const auto move = [rows, cols, max_row](TXLSRefPoint& p) {
    if (p.RowRel) p.Row += rows;
    if (p.ColRel) p.Col += cols;
    return p.Row >= 0 && p.Row <= max_row && p.Col >= 0 && p.Col <= XLSMaxCol;
  };
  for (TXLSFormulaToken& token : formula.Tokens) {
    if (!IsReference(token)) continue;
    bool inside = move(token.First);
    if (token.Kind == TXLSTokenKind::Area) inside = move(token.Last) && inside;
    if (!inside) MakeRefError(token);
  }
}

// ---- The store -------------------------------------------------------------------

TXLSFormula* TXLSFormulas::Find(int32_t row, int32_t col) {
  if (map_.empty()) return nullptr;
  const auto found = map_.find(Key(row, col));
  return found == map_.end() ? nullptr : &found->second;
}

void TXLSFormulas::Set(int32_t row, int32_t col, TXLSFormula&& formula) {
  map_[Key(row, col)] = std::move(formula);
}

void TXLSFormulas::Erase(int32_t row, int32_t col) {
  if (!map_.empty()) map_.erase(Key(row, col));
}

void TXLSFormulas::EraseRect(int32_t row1, int32_t col1, int32_t row2, int32_t col2) {
  if (map_.empty()) return;
  // Whichever is smaller is walked: the rectangle's cells or the store.
  const int64_t cells = (int64_t{row2} - row1 + 1) * (int64_t{col2} - col1 + 1);
  if (cells <= static_cast<int64_t>(map_.size())) {
    for (int32_t row = row1; row <= row2; ++row) {
      for (int32_t col = col1; col <= col2; ++col) map_.erase(Key(row, col));
    }
    return;
  }
  for (auto it = map_.begin(); it != map_.end();) {
    const int32_t row = static_cast<int32_t>(it->first >> 8);
    const int32_t col = static_cast<int32_t>(it->first & 0xFF);
    if (row >= row1 && row <= row2 && col >= col1 && col <= col2) {
      it = map_.erase(it);
    } else {
      ++it;
    }
  }
}

void TXLSFormulas::Move(int32_t row, int32_t col, int32_t dest_row, int32_t dest_col) {
  if (map_.empty()) return;
  const auto source = map_.find(Key(row, col));
  if (source == map_.end()) {
    map_.erase(Key(dest_row, dest_col));
    return;
  }
  TXLSFormula moved = std::move(source->second);
  map_.erase(source);
  map_[Key(dest_row, dest_col)] = std::move(moved);
}

void TXLSFormulas::AdjustForShift(const TXLSWorksheet& owner, const TXLSWorksheet& target,
                                  int32_t max_row, int32_t row1, int32_t col1, int32_t row2,
                                  int32_t col2, bool vertical, bool insert) {
  // Along the shift axis the block spans [first, last]; across it, only
  // references inside the band [bandLow, bandHigh] move.
  const int32_t first = vertical ? row1 : col1, last = vertical ? row2 : col2;
  const int32_t bandLow = vertical ? col1 : row1, bandHigh = vertical ? col2 : row2;
  const int32_t limit = vertical ? max_row : int32_t{XLSMaxCol};
  const auto along = [vertical](TXLSRefPoint& p) -> int32_t& { return vertical ? p.Row : p.Col; };
  const auto across = [vertical](const TXLSRefPoint& p) { return vertical ? p.Col : p.Row; };
  for (auto& entry : map_) {
    for (TXLSFormulaToken& token : entry.second.Tokens) {
      if (!IsReference(token)) continue;
      const TXLSWorksheet* refSheet = token.Sheet ? token.Sheet->Sheet : &owner;
      if (refSheet != &target) continue;
      const bool area = token.Kind == TXLSTokenKind::Area;
      const int32_t lowAcross = across(token.First);
      const int32_t highAcross = area ? across(token.Last) : lowAcross;
      if (lowAcross < bandLow || highAcross > bandHigh) continue;
      bool kept = true;
      if (!area) {
        kept = ShiftCoordinate(along(token.First), first, last, insert);
      } else if (insert) {
        ShiftCoordinate(along(token.First), first, last, true);
        ShiftCoordinate(along(token.Last), first, last, true);
      } else {
        kept = ShrinkEdges(along(token.First), along(token.Last), first, last);
      }
      const int32_t end = along(area ? token.Last : token.First);
      if (!kept || end > limit) MakeRefError(token);
    }
  }
}

}  // namespace tabulon
