// The evaluator that gives each formula its cached result when the workbook
// is saved: runs the reverse Polish tokens over the cell store, following
// references into other formula cells (each computed once per pass). What it
// cannot compute (a circular reference, a text format it does not know, a
// volatile function) is marked for the reader to recalculate.
//
// Its work is bounded for any workbook: formulas wait for the formulas they
// read on an explicit work list, not on the call stack, so a chain of any
// length is computed; blocks are walked over their stored cells only; text
// results are held to what a cell can store; wildcard criteria are matched
// without backtracking.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "XLSCellHeap.h"
#include "XLSCivilDate.h"
#include "XLSConstants.h"
#include "XLSDefinedNames.h"
#include "XLSFormula.h"
#include "XLSFormulaFunctions.h"
#include "XLSFormulaTokens.h"
#include "XLSTextCodec.h"
#include "XLSWorkSheets.h"
#include "XLSWorkbook.h"
#include "XLSWorksheet.h"

namespace tabulon {

namespace {

using TValue = TXLSFormulaValue;

// Thrown where the evaluator has no answer; the formula is then left to the
// reader.
struct TCannotCompute {};

// An operand on the evaluation stack: a value, or a block of cells.
struct TOperand {
  bool IsRef = false;
  bool Missing = false;
  TXLSWorksheet* Sheet = nullptr;
  int32_t Row1 = 0, Col1 = 0, Row2 = 0, Col2 = 0;
  TValue Value;
};

TValue Num(double v) {
  TValue value;
  if (!std::isfinite(v)) {
    value.Kind = TValue::kError;
    value.Error = xlErrNum;
    return value;
  }
  value.Kind = TValue::kNumber;
  value.Number = v;
  return value;
}
TValue Str(std::string text) {
  TValue value;
  value.Kind = TValue::kString;
  value.Text = std::move(text);
  return value;
}
TValue Bool(bool b) {
  TValue value;
  value.Kind = TValue::kBool;
  value.Number = b ? 1 : 0;
  return value;
}
TValue Err(uint8_t code) {
  TValue value;
  value.Kind = TValue::kError;
  value.Error = code;
  return value;
}

// An error value travels up unchanged through every operation.
struct TErrorValue {
  TValue Value;
};
[[noreturn]] void Raise(uint8_t code) {
  throw TErrorValue{Err(code)};
}
void RaiseIfError(const TValue& v) {
  if (v.Kind == TValue::kError) throw TErrorValue{v};
}

// The longest text a formula may produce or take as a criterion: what a BIFF5
// cell holds. Longer results are #VALUE!, as in the spreadsheet applications;
// this also bounds the memory and time of texts built by doubling.
constexpr size_t kMaxText = 255;

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// The whole text as a number, allowing surrounding spaces; false otherwise.
bool ParseNumber(const std::string& text, double& out) {
  const char* begin = text.c_str();
  while (*begin == ' ') ++begin;
  if (*begin == '\0') return false;
  char* end = nullptr;
  out = std::strtod(begin, &end);
  while (end && *end == ' ') ++end;
  return end && *end == '\0';
}

// The whole part of a number as an integer, held within +-1e12 so that the
// conversion is always defined; the functions treat larger values as out of
// range anyway.
int64_t Whole(double v) {
  return static_cast<int64_t>(std::trunc(std::max(-1e12, std::min(1e12, v))));
}

double ToNumber(const TValue& v) {
  RaiseIfError(v);
  double number = 0;
  switch (v.Kind) {
    case TValue::kNumber:
    case TValue::kBool:
      return v.Number;
    case TValue::kEmpty:
      return 0;
    case TValue::kString:
      if (ParseNumber(v.Text, number)) return number;
      Raise(xlErrValue);
    case TValue::kError:
      break;
  }
  return 0;
}

std::string GeneralText(double v) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.15g", v);
  return buffer;
}

std::string ToText(const TValue& v) {
  RaiseIfError(v);
  switch (v.Kind) {
    case TValue::kNumber:
      return GeneralText(v.Number);
    case TValue::kBool:
      return v.Number != 0 ? "TRUE" : "FALSE";
    case TValue::kString:
      return v.Text;
    default:
      return std::string();
  }
}

// Text functions count characters: in UTF-8 texts a character is one
// UTF-8 sequence (a byte that is none counts alone, as the save replaces
// it), in code page texts one byte.
size_t NextChar(const std::string& text, size_t at, bool utf8) {
  uint32_t ignored = 0;
  size_t next = at;
  if (!utf8 || !XLSDecodeUtf8(text, next, ignored)) next = at + 1;
  return next;
}

// The byte offset `count` characters after byte offset `from`, or the
// text's size when it ends first.
size_t CharOffset(const std::string& text, size_t from, int64_t count, bool utf8) {
  for (; count > 0 && from < text.size(); --count) from = NextChar(text, from, utf8);
  return std::min(from, text.size());
}

int64_t CharCount(const std::string& text, bool utf8) {
  int64_t count = 0;
  for (size_t at = 0; at < text.size(); at = NextChar(text, at, utf8)) ++count;
  return count;
}

// The length of a text as the limit counts it: characters where the
// workbook's texts are UTF-8 (each is stored as one character of the code
// page), bytes otherwise.
size_t TextLength(const std::string& text, bool utf8) {
  return utf8 ? static_cast<size_t>(CharCount(text, true)) : text.size();
}

// A text result, #VALUE! when it is longer than a cell can hold.
TValue TextResult(std::string text, bool utf8) {
  if (TextLength(text, utf8) > kMaxText) Raise(xlErrValue);
  return Str(std::move(text));
}

bool ToBool(const TValue& v) {
  RaiseIfError(v);
  if (v.Kind == TValue::kString) {
    const std::string upper = Upper(v.Text);
    if (upper == "TRUE") return true;
    if (upper == "FALSE") return false;
    Raise(xlErrValue);
  }
  return v.Kind != TValue::kEmpty && v.Number != 0;
}

// Spreadsheet ordering: numbers before text before booleans, text without
// case; an empty cell compares as 0, "" or FALSE to match the other side.
int Compare(TValue a, TValue b) {
  RaiseIfError(a);
  RaiseIfError(b);
  const auto fill = [](TValue& empty, const TValue& other) {
    if (empty.Kind != TValue::kEmpty) return;
    if (other.Kind == TValue::kString) {
      empty = Str("");
    } else if (other.Kind == TValue::kBool) {
      empty = Bool(false);
    } else {
      empty = Num(0);
    }
  };
  fill(a, b);
  fill(b, a);
  const auto rank = [](const TValue& v) {
    return v.Kind == TValue::kNumber ? 0 : v.Kind == TValue::kString ? 1 : 2;
  };
  if (rank(a) != rank(b)) return rank(a) < rank(b) ? -1 : 1;
  if (a.Kind == TValue::kString) {
    const std::string x = Upper(a.Text), y = Upper(b.Text);
    return x < y ? -1 : (x > y ? 1 : 0);
  }
  return a.Number < b.Number ? -1 : (a.Number > b.Number ? 1 : 0);
}

// The value rounded at 15 significant digits, so that 2.675 * 100 is
// 267.5 as a spreadsheet sees it, not 267.49999999999997.
double Decimal15(double v) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.15g", v);
  return std::strtod(buffer, nullptr);
}

double RoundDigits(double x, double digits, int mode) {
  // Held where the power of ten stays finite and non-zero.
  const double factor = std::pow(10.0, std::trunc(std::max(-308.0, std::min(308.0, digits))));
  // A number too large for that many digits has none left to round.
  if (!std::isfinite(x * factor)) return x;
  const double scaled = Decimal15(x * factor);
  double rounded = 0;
  if (mode == 0) {
    rounded = std::round(scaled);
  } else if (mode > 0) {
    rounded = scaled < 0 ? -std::ceil(-scaled) : std::ceil(scaled);
  } else {
    rounded = std::trunc(scaled);
  }
  return Decimal15(rounded / factor);
}

// Serial 1 is 1900-01-01 and serial 60 the 29 February 1900 the spreadsheet
// counts; later serials are days since 1899-12-30.
constexpr int64_t kSerialEpoch = -kXLSSerialOfUnixEpoch;
constexpr int64_t kLastSerial = 2958465;  // 9999-12-31

double DateSerial(int64_t y, int64_t m, int64_t d) {
  if (y >= 0 && y < 1900) y += 1900;
  y += (m - 1 >= 0 ? (m - 1) / 12 : (m - 12) / 12);
  m = ((m - 1) % 12 + 12) % 12 + 1;
  const int64_t days = XLSDaysFromCivil(y, m, 1) + d - 1 - kSerialEpoch;
  if (days < 1 || days > kLastSerial) Raise(xlErrNum);
  return static_cast<double>(days <= 60 ? days - 1 : days);
}

void SerialDate(double serial, int64_t& y, int64_t& m, int64_t& d) {
  if (serial < 0) Raise(xlErrNum);
  if (serial > kLastSerial) Raise(xlErrNum);
  const auto whole = static_cast<int64_t>(std::floor(serial));
  if (whole == 60) {
    y = 1900, m = 2, d = 29;
    return;
  }
  const TXLSCivilDate date = XLSCivilFromDays(kSerialEpoch + (whole < 60 ? whole + 1 : whole));
  y = date.Year, m = date.Month, d = date.Day;
}

// Text format of TEXT(): 0, 0.00, #,##0, #,##0.00 and their percent forms.
std::string FormatNumber(double v, const std::string& format) {
  std::string f = format;
  const bool percent = !f.empty() && f.back() == '%';
  if (percent) f.pop_back(), v *= 100;
  const bool grouped = f.rfind("#,##0", 0) == 0;
  if (grouped) f = f.substr(4);
  if (f.empty() || f[0] != '0') throw TCannotCompute{};
  size_t decimals = 0;
  if (f.size() > 1) {
    if (f[1] != '.' || f.find_first_not_of('0', 2) != std::string::npos) throw TCannotCompute{};
    decimals = f.size() - 2;
  }
  if (f.size() > 1 && decimals == 0) throw TCannotCompute{};
  if (decimals > kMaxText) Raise(xlErrValue);  // the result could not be stored
  const double rounded = RoundDigits(v, static_cast<double>(decimals), 0);
  const int precision = static_cast<int>(decimals);
  std::string text(
      static_cast<size_t>(std::snprintf(nullptr, 0, "%.*f", precision, std::fabs(rounded))), '\0');
  std::snprintf(&text[0], text.size() + 1, "%.*f", precision, std::fabs(rounded));
  if (grouped) {
    const size_t point = text.find('.');
    for (size_t at = point == std::string::npos ? text.size() : point; at > 3; at -= 3)
      text.insert(at - 3, ",");
  }
  if (rounded < 0) text = "-" + text;
  return percent ? text + "%" : text;
}

// Whether text holds piece (a part of a pattern without '*', where '?' is
// any one character) at position at, letter case aside.
bool PieceAt(std::string_view piece, std::string_view text, size_t at) {
  for (size_t i = 0; i < piece.size(); ++i) {
    if (piece[i] != '?' && std::toupper(static_cast<unsigned char>(piece[i])) !=
                               std::toupper(static_cast<unsigned char>(text[at + i])))
      return false;
  }
  return true;
}

// Wildcard match of criteria text: * any run, ? any one character. The part
// before the first '*' must start the text and the part after the last end
// it; each part between is taken at its first place after the one before,
// which finds a match whenever there is one, so nothing is ever tried twice:
// at most text length times pattern length steps, in a loop. A pattern
// longer than a cell's text is #VALUE!, as in the spreadsheet applications.
bool WildMatch(std::string_view pattern, std::string_view text) {
  if (pattern.size() > kMaxText) Raise(xlErrValue);
  const size_t first = pattern.find('*');
  if (first == std::string_view::npos)
    return pattern.size() == text.size() && PieceAt(pattern, text, 0);
  const size_t last = pattern.rfind('*');
  const std::string_view head = pattern.substr(0, first), tail = pattern.substr(last + 1);
  if (head.size() + tail.size() > text.size() || !PieceAt(head, text, 0) ||
      !PieceAt(tail, text, text.size() - tail.size()))
    return false;
  size_t at = head.size();
  const size_t end = text.size() - tail.size();
  for (size_t from = first + 1; from < last;) {
    const size_t star = pattern.find('*', from);
    const std::string_view piece = pattern.substr(from, star - from);
    from = star + 1;
    while (at + piece.size() <= end && !PieceAt(piece, text, at)) ++at;
    if (at + piece.size() > end) return false;
    at += piece.size();
  }
  return true;
}

// A SUMIF/COUNTIF criterion: an operator and a number or text.
struct TCriterion {
  std::string Op = "=";
  TValue Operand;

  explicit TCriterion(const TValue& given) {
    RaiseIfError(given);
    if (given.Kind != TValue::kString) {
      Operand = given;
      return;
    }
    std::string text = given.Text;
    for (const char* op : {"<=", ">=", "<>", "<", ">", "="}) {
      if (text.rfind(op, 0) == 0) {
        Op = op;
        text = text.substr(std::string(op).size());
        break;
      }
    }
    double number = 0;
    Operand = ParseNumber(text, number) ? Num(number) : Str(text);
  }

  bool Matches(const TValue& cell) const {
    if (cell.Kind == TValue::kError) return false;
    if (Operand.Kind == TValue::kString && (Op == "=" || Op == "<>")) {
      const bool equal = cell.Kind == TValue::kString || cell.Kind == TValue::kEmpty
                             ? WildMatch(Operand.Text, cell.Text)
                             : false;
      return (Op == "=") == equal;
    }
    // Numbers match numbers only; text compares with text.
    const bool sameKind = (Operand.Kind == TValue::kString) == (cell.Kind == TValue::kString);
    if (!sameKind || cell.Kind == TValue::kEmpty) return Op == "<>";
    const int c = Compare(cell, Operand);
    if (Op == "=") return c == 0;
    if (Op == "<>") return c != 0;
    if (Op == "<") return c < 0;
    if (Op == ">") return c > 0;
    if (Op == "<=") return c <= 0;
    return c >= 0;
  }
};

// A formula cell to compute.
struct TWork {
  TXLSWorksheet* Sheet;
  int32_t Row, Col;
  TXLSFormula* Formula;
};

// Thrown where a formula reads formula cells this pass has not computed yet:
// the formula waits for them on the work list and then runs again.
struct TPending {
  std::vector<TWork> Cells;
};

class TEvaluator {
 public:
  // Computes the formula of work unless this pass did already, and every
  // formula it reads first, on the work list: a run that meets formulas not
  // computed yet stops, they go on the list above it, and it runs again once
  // they are done. A stop on one cell starts that cell next, and a stop on a
  // block computes all of the block, so a pass has at most as many stops as
  // it has formulas and blocks read, whatever the depth of the chains.
  void Compute(const TWork& work) {
    if (memo_[work.Formula].State == kDone) return;
    Push(work);
    while (!work_.empty()) {
      const size_t at = work_.size() - 1;
      const TWork top = work_.back();
      TMemo& memo = memo_[top.Formula];
      if (memo.State == kDone || memo.Entry != at) {
        work_.pop_back();  // done, or queued again further up and done there
        continue;
      }
      if (memo.State != kStarted) {
        // A circular reference reads this evaluation's result so far, which
        // is none yet: not the last save's, so every save writes the same.
        memo.State = kStarted;
        top.Formula->NeedsRecalc = false;
        top.Formula->Result = TXLSFormulaValue{};
      }
      try {
        Finish(top, Run(top));
        memo.State = kDone;
        work_.pop_back();
      } catch (const TPending& pending) {
        // In reverse, so that they are computed rows first.
        for (auto cell = pending.Cells.rbegin(); cell != pending.Cells.rend(); ++cell) Push(*cell);
      }
    }
  }

 private:
  // Queued: on the work list, not started; started: ran at least once and
  // waits on the list (reading it again is a circular reference).
  enum TState : uint8_t { kNew, kQueued, kStarted, kDone };
  struct TMemo {
    TState State = kNew;
    size_t Entry = 0;  // its latest place on the work list
  };

  void Push(const TWork& work) {
    TMemo& memo = memo_[work.Formula];
    if (memo.State == kNew) memo.State = kQueued;
    memo.Entry = work_.size();
    work_.push_back(work);
    if (work_.size() > compactAt_) Compact();
  }

  // Drops the entries of cells queued again further up, so that the list
  // stays within twice the cells it waits for.
  void Compact() {
    size_t kept = 0;
    for (size_t i = 0; i < work_.size(); ++i) {
      TMemo& memo = memo_[work_[i].Formula];
      if (memo.State == kDone || memo.Entry != i) continue;
      memo.Entry = kept;
      work_[kept++] = work_[i];
    }
    work_.resize(kept);
    compactAt_ = std::max<size_t>(kMinCompactAt, 2 * kept);
  }

  // A formula cell read while computing another: its result once done; a
  // started one is a circular reference, left to the reader (with the result
  // it has so far); any other must be computed first.
  TValue FormulaValue(const TWork& cell) {
    TMemo& memo = memo_[cell.Formula];
    if (memo.State == kStarted) {
      cell.Formula->NeedsRecalc = true;
      unsure_ = true;
    } else if (memo.State != kDone) {
      throw TPending{{cell}};
    }
    unsure_ = unsure_ || cell.Formula->NeedsRecalc;
    return cell.Formula->Result;
  }

  // Throws TPending with every formula of the block not yet computed, so
  // that a formula reading a block waits once for all of them.
  void RequireBlock(const TOperand& ref) {
    std::vector<TWork> pending;
    ForEachStoredCell(ref, [&](int32_t row, int32_t col) {
      TXLSFormula* formula = ref.Sheet->GetFormulas().Find(row, col);
      const TState state = formula ? memo_[formula].State : kDone;
      if (state == kNew || state == kQueued) pending.push_back({ref.Sheet, row, col, formula});
      return true;
    });
    if (!pending.empty()) throw TPending{std::move(pending)};
  }

  // Calls visit(row, col) for each stored cell of a block, rows first, while
  // it answers true.
  template <class TVisit>
  static void ForEachStoredCell(const TOperand& ref, TVisit visit) {
    ref.Sheet->GetCellHeap().ForEachIn(
        ref.Row1, ref.Col1, ref.Row2, ref.Col2, [&](const TXLSCellRef& cell) {
          return visit(static_cast<int32_t>(cell.GetRow()), static_cast<int32_t>(cell.GetCol()));
        });
  }

  // Stores the result of a run; a text longer than a cell holds is #VALUE!.
  void Finish(const TWork& work, TValue result) {
    if (result.Kind == TValue::kString && TextLength(result.Text, utf8_) > kMaxText)
      result = Err(xlErrValue);
    work.Formula->Result = std::move(result);
    work.Formula->NeedsRecalc = work.Formula->NeedsRecalc || unsure_;
  }

  // One run of a formula's tokens; throws TPending when it reads formulas
  // not computed yet.
  TValue Run(const TWork& work) {
    sheet_ = work.Sheet, row_ = work.Row, col_ = work.Col, unsure_ = false;
    nameDepth_ = 0, nameExpansions_ = 0;
    utf8_ = sheet_->GetWorkbook().GetUtf8Texts();
    try {
      std::vector<TOperand> stack;
      for (const TXLSFormulaToken& token : work.Formula->Tokens) Step(token, stack);
      if (stack.size() != 1) throw TCannotCompute{};
      TValue result = Deref(stack.back());
      if (result.Kind == TValue::kEmpty) result = Num(0);
      return result;
    } catch (const TErrorValue& error) {
      return error.Value;
    } catch (const TCannotCompute&) {
      unsure_ = true;
      return Err(xlErrNA);
    }
  }

  static TOperand Operand(TValue value) {
    TOperand operand;
    operand.Value = std::move(value);
    return operand;
  }

  static TOperand Pop(std::vector<TOperand>& stack) {
    if (stack.empty()) throw TCannotCompute{};
    TOperand top = std::move(stack.back());
    stack.pop_back();
    return top;
  }

  void Step(const TXLSFormulaToken& token, std::vector<TOperand>& stack) {
    switch (token.Kind) {
      case TXLSTokenKind::Number:
        stack.push_back(Operand(Num(token.Number)));
        break;
      case TXLSTokenKind::String:
        stack.push_back(Operand(Str(token.Text)));
        break;
      case TXLSTokenKind::Bool:
        stack.push_back(Operand(Bool(token.Code != 0)));
        break;
      case TXLSTokenKind::Error:
        stack.push_back(Operand(Err(token.Code)));
        break;
      case TXLSTokenKind::Ref:
      case TXLSTokenKind::Area: {
        if (IsDeletedSheetReference(token)) {
          stack.push_back(Operand(Err(xlErrRef)));
          break;
        }
        TOperand ref;
        ref.IsRef = true;
        ref.Sheet = token.Sheet ? token.Sheet->Sheet : sheet_;
        ref.Row1 = token.First.Row, ref.Col1 = token.First.Col;
        const bool area = token.Kind == TXLSTokenKind::Area;
        ref.Row2 = area ? token.Last.Row : ref.Row1;
        ref.Col2 = area ? token.Last.Col : ref.Col1;
        stack.push_back(ref);
        break;
      }
      case TXLSTokenKind::Paren:
        break;
      case TXLSTokenKind::MissingArg: {
        TOperand missing;
        missing.Missing = true;
        stack.push_back(missing);
        break;
      }
      case TXLSTokenKind::Operator:
        stack.push_back(Operand(Guarded([&] { return ApplyOperator(token.Code, stack); })));
        break;
      case TXLSTokenKind::Name:
        stack.push_back(NameOperand(token.NameEntry));
        break;
      case TXLSTokenKind::Function: {
        std::vector<TOperand> args(token.ArgCount);
        for (size_t i = args.size(); i-- > 0;) args[i] = Pop(stack);
        TOperand result;
        try {
          result = CallFunction(token.Function, args);
        } catch (const TErrorValue& error) {
          result = Operand(error.Value);
        }
        stack.push_back(std::move(result));
        break;
      }
    }
  }

  // A name stands for what its definition gives where it is used: a block,
  // or a value. Definitions only use names defined before them, so they
  // form no cycle; a chain nested deeper than kMaxNameDepth, or a formula
  // that expands more than kMaxNameExpansions names, is left to the reader.
  TOperand NameOperand(uint16_t entry) {
    if (nameDepth_ >= kMaxNameDepth || ++nameExpansions_ > kMaxNameExpansions)
      throw TCannotCompute{};
    ++nameDepth_;
    std::vector<TOperand> stack;
    for (const TXLSFormulaToken& token :
         sheet_->GetWorkbook().GetNames().Get(entry).Definition.Tokens)
      Step(token, stack);
    --nameDepth_;
    if (stack.size() != 1) throw TCannotCompute{};
    return std::move(stack.back());
  }

  template <class TFn>
  static TValue Guarded(TFn fn) {
    try {
      return fn();
    } catch (const TErrorValue& error) {
      return error.Value;
    }
  }

  static bool IsUnary(uint8_t code) {
    return code == xlstoken::kUplus || code == xlstoken::kUminus || code == xlstoken::kPercent;
  }

  TValue ApplyOperator(uint8_t code, std::vector<TOperand>& stack) {
    const TValue right = Deref(Pop(stack));
    if (IsUnary(code)) return ApplyUnary(code, right);
    const TValue left = Deref(Pop(stack));
    return ApplyBinary(code, left, right);
  }

  static TValue ApplyUnary(uint8_t code, const TValue& operand) {
    switch (code) {
      case xlstoken::kUplus:
        RaiseIfError(operand);
        return operand;
      case xlstoken::kUminus:
        return Num(-ToNumber(operand));
      default:  // kPercent
        return Num(ToNumber(operand) / 100);
    }
  }

  TValue ApplyBinary(uint8_t code, const TValue& left, const TValue& right) {
    switch (code) {
      case xlstoken::kAdd:
        return Num(ToNumber(left) + ToNumber(right));
      case xlstoken::kSub:
        return Num(ToNumber(left) - ToNumber(right));
      case xlstoken::kMul:
        return Num(ToNumber(left) * ToNumber(right));
      case xlstoken::kDiv: {
        const double a = ToNumber(left), b = ToNumber(right);
        if (b == 0) Raise(xlErrDiv0);
        return Num(a / b);
      }
      case xlstoken::kPower: {
        const double a = ToNumber(left), b = ToNumber(right);
        if (a == 0 && b == 0) Raise(xlErrNum);
        return Num(std::pow(a, b));
      }
      case xlstoken::kConcat:
        return TextResult(ToText(left) + ToText(right), utf8_);
      default:
        return Bool(ComparisonHolds(code, Compare(left, right)));
    }
  }

  // Whether a comparison operator holds where Compare answered c.
  static bool ComparisonHolds(uint8_t code, int c) {
    switch (code) {
      case xlstoken::kLT:
        return c < 0;
      case xlstoken::kLE:
        return c <= 0;
      case xlstoken::kEQ:
        return c == 0;
      case xlstoken::kGE:
        return c >= 0;
      case xlstoken::kGT:
        return c > 0;
      default:  // kNE
        return c != 0;
    }
  }

  // The value of a stored cell: a formula's result, else the cell store's.
  // Cells past the sheet's edge (where a SUMIF sum block reaches) are empty.
  TValue CellValue(TXLSWorksheet& sheet, int32_t row, int32_t col) {
    if (row > 0xFFFF || col > 0xFF) return TValue{};
    if (TXLSFormula* formula = sheet.GetFormulas().Find(row, col))
      return FormulaValue({&sheet, row, col, formula});
    const TXLSCellRef* cell =
        sheet.GetCellHeap().GetValue(static_cast<uint16_t>(row), static_cast<uint8_t>(col));
    if (cell == nullptr) return TValue{};
    if (cell->GetValueType() == xlString) return Str(std::string(cell->GetText()));
    if (cell->IsNumeric()) return Num(cell->GetNumber());
    if (cell->GetValueType() == xlBoolean) return Bool(cell->GetBoolean());
    return TValue{};
  }

  // A value from an operand; a block used as a value takes the cell in the
  // formula's own row (one column) or column (one row).
  TValue Deref(const TOperand& operand) {
    if (operand.Missing) return TValue{};
    if (!operand.IsRef) return operand.Value;
    if (operand.Row1 == operand.Row2 && operand.Col1 == operand.Col2)
      return CellValue(*operand.Sheet, operand.Row1, operand.Col1);
    if (operand.Col1 == operand.Col2 && row_ >= operand.Row1 && row_ <= operand.Row2)
      return CellValue(*operand.Sheet, row_, operand.Col1);
    if (operand.Row1 == operand.Row2 && col_ >= operand.Col1 && col_ <= operand.Col2)
      return CellValue(*operand.Sheet, operand.Row1, col_);
    return Err(xlErrValue);
  }

  // Calls visit(value) for each stored cell of a block, rows first, once
  // the block's formulas are computed.
  template <class TVisit>
  void ForEachCell(const TOperand& ref, TVisit visit) {
    RequireBlock(ref);
    ForEachStoredCell(ref, [&](int32_t row, int32_t col) {
      visit(CellValue(*ref.Sheet, row, col));
      return true;
    });
  }

  // ---- Worksheet functions ---------------------------------------------------------
  // CallFunction picks a function's computation by its number; the
  // computations follow it grouped by kind, in the order of its cases.

  using TArgs = std::vector<TOperand>;

  // Argument i as a value (empty when not given), number or text.
  TValue ValueArg(const TArgs& args, size_t i) {
    return i < args.size() ? Deref(args[i]) : TValue{};
  }
  double NumberArg(const TArgs& args, size_t i) { return ToNumber(ValueArg(args, i)); }
  std::string TextArg(const TArgs& args, size_t i) { return ToText(ValueArg(args, i)); }
  static bool Given(const TArgs& args, size_t i) { return i < args.size() && !args[i].Missing; }
  static const TOperand& RefArg(const TArgs& args, size_t i) {
    if (i >= args.size() || !args[i].IsRef) Raise(xlErrValue);
    return args[i];
  }

  TOperand CallFunction(uint16_t index, const TArgs& args) {
    switch (index) {
      // Counts and sums
      case xlsfunc::kCount:
        return Operand(Num(Count(args)));
      case xlsfunc::kCountA:
        return Operand(Num(CountA(args)));
      case xlsfunc::kSum:
        return Operand(Num(Sum(args)));
      case xlsfunc::kAverage:
        return Operand(Num(Average(args)));
      case xlsfunc::kMin:
        return Operand(Num(Extreme(args, false)));
      case xlsfunc::kMax:
        return Operand(Num(Extreme(args, true)));
      case xlsfunc::kSumIf:
        return Operand(Num(ConditionalSum(args, false)));
      case xlsfunc::kCountIf:
        return Operand(Num(ConditionalSum(args, true)));
      // Logic
      case xlsfunc::kIf:
        return If(args);
      case xlsfunc::kAnd:
        return Operand(Bool(Combine(args, true)));
      case xlsfunc::kOr:
        return Operand(Bool(Combine(args, false)));
      case xlsfunc::kNot:
        return Operand(Bool(!ToBool(ValueArg(args, 0))));
      // Math
      case xlsfunc::kRound:
        return Operand(Num(Round(args, 0)));
      case xlsfunc::kRoundUp:
        return Operand(Num(Round(args, 1)));
      case xlsfunc::kRoundDown:
        return Operand(Num(Round(args, -1)));
      case xlsfunc::kInt:
        return Operand(Num(std::floor(NumberArg(args, 0))));
      case xlsfunc::kAbs:
        return Operand(Num(std::fabs(NumberArg(args, 0))));
      case xlsfunc::kMod:
        return Operand(Num(Mod(args)));
      case xlsfunc::kSqrt:
        return Operand(Num(Sqrt(args)));
      // Text
      case xlsfunc::kLen:
        return Operand(Num(static_cast<double>(CharCount(TextArg(args, 0), utf8_))));
      case xlsfunc::kLeft:
        return Operand(Left(args));
      case xlsfunc::kRight:
        return Operand(Right(args));
      case xlsfunc::kMid:
        return Operand(Mid(args));
      case xlsfunc::kUpper:
        return Operand(ChangeCase(args, true));
      case xlsfunc::kLower:
        return Operand(ChangeCase(args, false));
      case xlsfunc::kTrim:
        return Operand(Trim(args));
      case xlsfunc::kConcatenate:
        return Operand(Concatenate(args));
      case xlsfunc::kText:
        return Operand(TextResult(FormatNumber(NumberArg(args, 0), TextArg(args, 1)), utf8_));
      case xlsfunc::kValue:
        return Operand(Value(args));
      // Dates
      case xlsfunc::kDate:
        return Operand(Num(DateSerial(Whole(NumberArg(args, 0)), Whole(NumberArg(args, 1)),
                                      Whole(NumberArg(args, 2)))));
      case xlsfunc::kYear:
        return Operand(Num(static_cast<double>(DateArg(args).Year)));
      case xlsfunc::kMonth:
        return Operand(Num(static_cast<double>(DateArg(args).Month)));
      case xlsfunc::kDay:
        return Operand(Num(static_cast<double>(DateArg(args).Day)));
      case xlsfunc::kToday:
        return Operand(Num(CurrentSerial(false)));
      case xlsfunc::kNow:
        return Operand(Num(CurrentSerial(true)));
      // Information
      case xlsfunc::kIsBlank:
        return Operand(IsKind(args, TValue::kEmpty));
      case xlsfunc::kIsNumber:
        return Operand(IsKind(args, TValue::kNumber));
      case xlsfunc::kIsText:
        return Operand(IsKind(args, TValue::kString));
      case xlsfunc::kIsError:
        return Operand(IsKind(args, TValue::kError));
      case xlsfunc::kIsNa:
        return Operand(IsNa(args));
      case xlsfunc::kNa:
        return Operand(Err(xlErrNA));
      // Lookup
      case xlsfunc::kVLookup:
        return Lookup(args);
      case xlsfunc::kMatch:
        return Operand(Num(Match(args)));
      case xlsfunc::kIndex:
        return Index(args);
      default:
        throw TCannotCompute{};
    }
  }

  // -- Counts and sums

  // Every value the arguments of an aggregate give: cells of references
  // (numbers only) and plain values converted.
  template <class TVisit>
  void ForEachNumber(const TArgs& args, TVisit visit) {
    for (const TOperand& arg : args) {
      if (arg.Missing) continue;
      if (arg.IsRef) {
        ForEachCell(arg, [&](const TValue& v) {
          RaiseIfError(v);
          if (v.Kind == TValue::kNumber) visit(v.Number);
        });
      } else {
        visit(ToNumber(arg.Value));
      }
    }
  }

  // COUNT: numbers in blocks; given values that are or read as numbers.
  double Count(const TArgs& args) {
    double count = 0;
    for (const TOperand& arg : args) {
      if (arg.IsRef) {
        ForEachCell(arg, [&](const TValue& v) { count += v.Kind == TValue::kNumber; });
      } else if (!arg.Missing) {
        double ignored = 0;
        count += arg.Value.Kind == TValue::kNumber || arg.Value.Kind == TValue::kBool ||
                 (arg.Value.Kind == TValue::kString && ParseNumber(arg.Value.Text, ignored));
      }
    }
    return count;
  }

  // COUNTA: cells that are not empty; every given value.
  double CountA(const TArgs& args) {
    double count = 0;
    for (const TOperand& arg : args) {
      if (arg.IsRef) {
        ForEachCell(arg, [&](const TValue& v) { count += v.Kind != TValue::kEmpty; });
      } else {
        count += !arg.Missing;
      }
    }
    return count;
  }

  double Sum(const TArgs& args) {
    double sum = 0;
    ForEachNumber(args, [&](double v) { sum += v; });
    return sum;
  }

  double Average(const TArgs& args) {
    double sum = 0, count = 0;
    ForEachNumber(args, [&](double v) { sum += v, ++count; });
    if (count == 0) Raise(xlErrDiv0);
    return sum / count;
  }

  // MIN and MAX (largest): 0 when there is no number.
  double Extreme(const TArgs& args, bool largest) {
    bool any = false;
    double best = 0;
    ForEachNumber(args, [&](double v) {
      if (!any || (largest ? v > best : v < best)) best = v;
      any = true;
    });
    return best;
  }
  // SUMIF and COUNTIF over the stored cells of the blocks; the empty cells
  // are counted, not visited, and where the criterion takes an empty cell the
  // sum block's stored cells beside empty ones are added.
  double ConditionalSum(const TArgs& args, bool count) {
    const TOperand& range = RefArg(args, 0);
    const TCriterion criterion(Deref(args[1]));
    TOperand sums = !count && args.size() > 2 && !args[2].Missing ? RefArg(args, 2) : range;
    sums.Row2 = sums.Row1 + range.Row2 - range.Row1;
    sums.Col2 = sums.Col1 + range.Col2 - range.Col1;
    RequireBlock(range);
    if (!count) RequireBlock(sums);
    double total = 0, filled = 0;
    const auto add = [&](int32_t row, int32_t col) {
      const TValue v = CellValue(*sums.Sheet, row, col);
      RaiseIfError(v);
      if (v.Kind == TValue::kNumber) total += v.Number;
    };
    ForEachStoredCell(range, [&](int32_t row, int32_t col) {
      const TValue cell = CellValue(*range.Sheet, row, col);
      if (cell.Kind == TValue::kEmpty) return true;
      ++filled;
      if (!criterion.Matches(cell)) return true;
      if (count) {
        ++total;
      } else {
        add(sums.Row1 + row - range.Row1, sums.Col1 + col - range.Col1);
      }
      return true;
    });
    if (!criterion.Matches(TValue{})) return total;
    if (count) {
      const double cells = (range.Row2 - range.Row1 + 1.0) * (range.Col2 - range.Col1 + 1.0);
      return total + cells - filled;
    }
    ForEachStoredCell(sums, [&](int32_t row, int32_t col) {
      const TValue cell =
          CellValue(*range.Sheet, range.Row1 + row - sums.Row1, range.Col1 + col - sums.Col1);
      if (cell.Kind == TValue::kEmpty) add(row, col);
      return true;
    });
    return total;
  }

  // -- Logic

  // The argument IF chose is passed on as given, so that a reference stays
  // one; an empty one is 0.
  TOperand If(const TArgs& args) {
    if (ToBool(ValueArg(args, 0))) return args[1].Missing ? Operand(Num(0)) : args[1];
    if (args.size() < 3) return Operand(Bool(false));
    return args[2].Missing ? Operand(Num(0)) : args[2];
  }

  // AND (all true) and OR (any true) over the numbers and booleans of blocks
  // and the given values; #VALUE! when there is none.
  bool Combine(const TArgs& args, bool all) {
    bool any = false, result = all;
    const auto take = [&](bool b) {
      any = true;
      result = all ? (result && b) : (result || b);
    };
    for (const TOperand& arg : args) {
      if (arg.IsRef) {
        ForEachCell(arg, [&](const TValue& v) {
          RaiseIfError(v);
          if (v.Kind == TValue::kNumber || v.Kind == TValue::kBool) take(v.Number != 0);
        });
      } else if (!arg.Missing) {
        take(ToBool(arg.Value));
      }
    }
    if (!any) Raise(xlErrValue);
    return result;
  }

  // -- Math

  // ROUND (mode 0), ROUNDUP (1, away from zero) and ROUNDDOWN (-1).
  double Round(const TArgs& args, int mode) {
    return RoundDigits(NumberArg(args, 0), NumberArg(args, 1), mode);
  }

  // The remainder with the sign of the divisor.
  double Mod(const TArgs& args) {
    const double a = NumberArg(args, 0), b = NumberArg(args, 1);
    if (b == 0) Raise(xlErrDiv0);
    return a - b * std::floor(a / b);
  }

  double Sqrt(const TArgs& args) {
    const double a = NumberArg(args, 0);
    if (a < 0) Raise(xlErrNum);
    return std::sqrt(a);
  }

  // -- Text

  // The characters LEFT and RIGHT take: 1 when not given.
  double TakenChars(const TArgs& args) {
    const double n = Given(args, 1) ? NumberArg(args, 1) : 1;
    if (n < 0) Raise(xlErrValue);
    return n;
  }

  TValue Left(const TArgs& args) {
    const std::string t = TextArg(args, 0);
    const double n = TakenChars(args);
    return TextResult(t.substr(0, CharOffset(t, 0, Whole(n), utf8_)), utf8_);
  }

  TValue Right(const TArgs& args) {
    const std::string t = TextArg(args, 0);
    const double n = TakenChars(args);
    const int64_t skipped = std::max<int64_t>(0, CharCount(t, utf8_) - Whole(n));
    return TextResult(t.substr(CharOffset(t, 0, skipped, utf8_)), utf8_);
  }

  TValue Mid(const TArgs& args) {
    const std::string t = TextArg(args, 0);
    const double start = NumberArg(args, 1), count = NumberArg(args, 2);
    if (start < 1 || count < 0) Raise(xlErrValue);
    const size_t from = CharOffset(t, 0, Whole(start) - 1, utf8_);
    return TextResult(t.substr(from, CharOffset(t, from, Whole(count), utf8_) - from), utf8_);
  }

  // UPPER and LOWER, on the ASCII letters.
  TValue ChangeCase(const TArgs& args, bool upper) {
    std::string t = TextArg(args, 0);
    for (char& c : t)
      c = static_cast<char>(upper ? std::toupper(static_cast<unsigned char>(c))
                                  : std::tolower(static_cast<unsigned char>(c)));
    return TextResult(t, utf8_);
  }

  // TRIM: no spaces at the ends, single spaces between words.
  TValue Trim(const TArgs& args) {
    std::string out;
    for (char c : TextArg(args, 0)) {
      if (c == ' ' && (out.empty() || out.back() == ' ')) continue;
      out += c;
    }
    if (!out.empty() && out.back() == ' ') out.pop_back();
    return TextResult(out, utf8_);
  }

  TValue Concatenate(const TArgs& args) {
    std::string out;
    for (size_t i = 0; i < args.size(); ++i) out += TextArg(args, i);
    return TextResult(out, utf8_);
  }

  // VALUE: a number, or a text that reads as one.
  TValue Value(const TArgs& args) {
    const TValue v = ValueArg(args, 0);
    if (v.Kind == TValue::kNumber) return v;
    double n = 0;
    if (v.Kind != TValue::kString || !ParseNumber(v.Text, n)) Raise(xlErrValue);
    return Num(n);
  }

  // -- Dates

  struct TDate {
    int64_t Year = 0, Month = 0, Day = 0;
  };

  // The date of the serial in the first argument.
  TDate DateArg(const TArgs& args) {
    TDate date;
    SerialDate(NumberArg(args, 0), date.Year, date.Month, date.Day);
    return date;
  }

  // TODAY and NOW (with the time of day): right at the save, recalculated by
  // the reader.
  double CurrentSerial(bool with_time) {
    unsure_ = true;
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    const double day = DateSerial(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    const double time = (local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec) / 86400.0;
    return with_time ? day + time : day;
  }

  // -- Information

  // ISBLANK, ISNUMBER, ISTEXT and ISERROR: whether the value is of that kind.
  TValue IsKind(const TArgs& args, TValue::TKind kind) {
    return Bool(ValueArg(args, 0).Kind == kind);
  }

  TValue IsNa(const TArgs& args) {
    const TValue v = ValueArg(args, 0);
    return Bool(v.Kind == TValue::kError && v.Error == xlErrNA);
  }

  // -- Lookup
  // The position (0-based) of wanted along a row or column, by MATCH's type.
  // line is one row or one column; its stored cells are visited in order.
  int32_t Find(const TValue& wanted, const TOperand& line, int type) {
    RequireBlock(line);
    int32_t found = -1;
    ForEachStoredCell(line, [&](int32_t row, int32_t col) {
      const TValue v = CellValue(*line.Sheet, row, col);
      if (v.Kind == TValue::kEmpty || v.Kind == TValue::kError) return true;
      if ((v.Kind == TValue::kString) != (wanted.Kind == TValue::kString)) return true;
      const int32_t at = row - line.Row1 + col - line.Col1;
      const int c = Compare(v, wanted);
      if (type == 0) {
        if (!(wanted.Kind == TValue::kString ? WildMatch(wanted.Text, v.Text) : c == 0))
          return true;
        found = at;
        return false;
      }
      if (type > 0 ? c > 0 : c < 0) return false;  // sorted data: nothing further can match
      found = at;
      return true;
    });
    return found;
  }

  TOperand Lookup(const TArgs& args) {
    const TValue wanted = Deref(args[0]);
    RaiseIfError(wanted);
    const TOperand& table = RefArg(args, 1);
    const double column = ToNumber(Deref(args[2]));
    const bool approximate = args.size() < 4 || args[3].Missing || ToBool(Deref(args[3]));
    if (column < 1) Raise(xlErrValue);
    if (column > table.Col2 - table.Col1 + 1) Raise(xlErrRef);
    TOperand keys = table;
    keys.Col2 = keys.Col1;
    const int32_t at = Find(wanted, keys, approximate ? 1 : 0);
    if (at < 0) Raise(xlErrNA);
    return Operand(
        CellValue(*table.Sheet, table.Row1 + at, table.Col1 + static_cast<int32_t>(column) - 1));
  }

  double Match(const TArgs& args) {
    const TValue wanted = Deref(args[0]);
    RaiseIfError(wanted);
    const TOperand& range = RefArg(args, 1);
    const int64_t type = args.size() > 2 && !args[2].Missing ? Whole(ToNumber(Deref(args[2]))) : 1;
    const bool down = range.Col1 == range.Col2;
    if (!down && range.Row1 != range.Row2) Raise(xlErrNA);
    const int32_t at = Find(wanted, range, type > 0 ? 1 : type < 0 ? -1 : 0);
    if (at < 0) Raise(xlErrNA);
    return at + 1;
  }

  TOperand Index(const TArgs& args) {
    if (args.size() > 3) throw TCannotCompute{};  // area number of a multi-area reference
    TOperand ref = RefArg(args, 0);
    const int32_t rows = ref.Row2 - ref.Row1 + 1, cols = ref.Col2 - ref.Col1 + 1;
    int64_t row = Whole(ToNumber(Deref(args[1])));
    int64_t col = args.size() > 2 && !args[2].Missing ? Whole(ToNumber(Deref(args[2]))) : 0;
    // A single row or column is indexed by its one dimension.
    if (rows == 1 && args.size() < 3) std::swap(row, col);
    if (row < 0 || col < 0 || row > rows || col > cols) Raise(xlErrRef);
    if (row > 0) ref.Row1 = ref.Row2 = ref.Row1 + static_cast<int32_t>(row) - 1;
    if (col > 0) ref.Col1 = ref.Col2 = ref.Col1 + static_cast<int32_t>(col) - 1;
    if (cols == 1 && col == 0 && row > 0) ref.Col2 = ref.Col1;
    return ref;
  }

  static constexpr size_t kMinCompactAt = 4096;
  static constexpr int kMaxNameDepth = 32;
  static constexpr int kMaxNameExpansions = 1000;

  std::unordered_map<const TXLSFormula*, TMemo> memo_;
  std::vector<TWork> work_;
  size_t compactAt_ = kMinCompactAt;
  TXLSWorksheet* sheet_ = nullptr;
  int32_t row_ = 0, col_ = 0;
  bool unsure_ = false;
  int nameDepth_ = 0;       // names being expanded in the current run
  int nameExpansions_ = 0;  // names expanded in the current run
  bool utf8_ = false;       // the workbook's texts are UTF-8: limits count characters
};

}  // namespace

void EvaluateWorkbookFormulas(TXLSWorksheet& sheet) {
  TXLSWorkSheets& sheets = sheet.GetWorkbook().GetSheets();
  TEvaluator evaluator;
  for (int32_t i = 1; i <= sheets.GetCount(); ++i) {
    TXLSWorksheet& each = *sheets.GetSheet(i);
    // Row by row, so that the usual chains (each row built on the one
    // above) are computed from their start, each formula in one run.
    std::vector<std::pair<uint32_t, TXLSFormula*>> order;
    each.GetFormulas().ForEach([&](int32_t row, int32_t col, TXLSFormula& formula) {
      order.emplace_back((static_cast<uint32_t>(row) << 8) | static_cast<uint32_t>(col), &formula);
    });
    std::sort(order.begin(), order.end());
    for (const auto& [key, formula] : order)
      evaluator.Compute(
          {&each, static_cast<int32_t>(key >> 8), static_cast<int32_t>(key & 0xFF), formula});
  }
}

void EvaluateFormulasIn(TXLSWorksheet& sheet, int32_t row1, int32_t col1, int32_t row2,
                        int32_t col2) {
  TXLSFormulas& formulas = sheet.GetFormulas();
  if (formulas.Empty()) return;
  TEvaluator evaluator;
  sheet.GetCellHeap().ForEachIn(row1, col1, row2, col2, [&](const TXLSCellRef& cell) {
    const int32_t row = cell.GetRow(), col = cell.GetCol();
    if (TXLSFormula* formula = formulas.Find(row, col))
      evaluator.Compute({&sheet, row, col, formula});
    return true;
  });
}

}  // namespace tabulon
