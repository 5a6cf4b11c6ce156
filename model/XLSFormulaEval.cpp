// The evaluator that gives each formula its cached result when the workbook
// is saved: runs the reverse Polish tokens over the cell store, following
// references into other formula cells (each computed once per pass). What it
// cannot compute (a circular reference, a text format it does not know, a
// volatile function) is marked for the reader to recalculate.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <unordered_map>
#include <vector>

#include "XLSCellHeap.h"
#include "XLSConstants.h"
#include "XLSFormula.h"
#include "XLSFormulaFunctions.h"
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
  const double factor = std::pow(10.0, std::trunc(digits));
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

// Days since 1970-01-01 of a proleptic Gregorian date, and back.
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}
void CivilFromDays(int64_t z, int64_t& y, int64_t& m, int64_t& d) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp + (mp < 10 ? 3 : -9);
  y = yoe + era * 400 + (m <= 2);
}

// Serial 1 is 1900-01-01 and serial 60 the 29 February 1900 the spreadsheet
// counts; later serials are days since 1899-12-30.
const int64_t kSerialEpoch = DaysFromCivil(1899, 12, 30);
constexpr int64_t kLastSerial = 2958465;  // 9999-12-31

double DateSerial(int64_t y, int64_t m, int64_t d) {
  if (y >= 0 && y < 1900) y += 1900;
  y += (m - 1 >= 0 ? (m - 1) / 12 : (m - 12) / 12);
  m = ((m - 1) % 12 + 12) % 12 + 1;
  const int64_t days = DaysFromCivil(y, m, 1) + d - 1 - kSerialEpoch;
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
  CivilFromDays(kSerialEpoch + (whole < 60 ? whole + 1 : whole), y, m, d);
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
  const double rounded = RoundDigits(v, static_cast<double>(decimals), 0);
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*f", static_cast<int>(decimals), std::fabs(rounded));
  std::string text = buffer;
  if (grouped) {
    const size_t point = text.find('.');
    for (size_t at = point == std::string::npos ? text.size() : point; at > 3; at -= 3)
      text.insert(at - 3, ",");
  }
  if (rounded < 0) text = "-" + text;
  return percent ? text + "%" : text;
}

// Wildcard match of criteria text: * any run, ? any one character.
bool WildMatch(const char* pattern, const char* text) {
  if (*pattern == '\0') return *text == '\0';
  if (*pattern == '*')
    return WildMatch(pattern + 1, text) || (*text && WildMatch(pattern, text + 1));
  if (*text == '\0') return false;
  if (*pattern != '?' && std::toupper(static_cast<unsigned char>(*pattern)) !=
                             std::toupper(static_cast<unsigned char>(*text)))
    return false;
  return WildMatch(pattern + 1, text + 1);
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
                             ? WildMatch(Operand.Text.c_str(), cell.Text.c_str())
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

class TEvaluator {
 public:
  // Computes formula (cell (row, col) of sheet) unless this pass did already.
  void Compute(TXLSWorksheet& sheet, int32_t row, int32_t col, TXLSFormula& formula) {
    uint8_t& state = State_[&formula];
    if (state == kDone) return;
    if (state == kBusy) {
      // A circular reference: the reader iterates or reports it.
      formula.NeedsRecalc = true;
      Unsure_ = true;
      return;
    }
    // Each level of a chain of formulas takes stack; a chain deeper than
    // this is left to the reader.
    if (Depth_ >= kMaxDepth) {
      DepthExceeded_ = true;
      throw TCannotCompute{};
    }
    state = kBusy;
    ++Depth_;
    TXLSWorksheet* outerSheet = Sheet_;
    const int32_t outerRow = Row_, outerCol = Col_;
    const bool outerUnsure = Unsure_;
    Sheet_ = &sheet, Row_ = row, Col_ = col, Unsure_ = false;
    try {
      formula.Result = Run(formula);
    } catch (const TErrorValue& error) {
      formula.Result = error.Value;
    } catch (const TCannotCompute&) {
      formula.Result = Err(xlErrNA);
      Unsure_ = true;
    }
    formula.NeedsRecalc = Unsure_ || formula.NeedsRecalc;
    State_[&formula] = kDone;
    --Depth_;
    Sheet_ = outerSheet, Row_ = outerRow, Col_ = outerCol;
    Unsure_ = outerUnsure || formula.NeedsRecalc;
  }

 private:
  static constexpr uint8_t kBusy = 1, kDone = 2;
  static constexpr int kMaxDepth = 400;

  TValue Run(TXLSFormula& formula) {
    formula.NeedsRecalc = false;
    std::vector<TOperand> stack;
    for (const TXLSFormulaToken& token : formula.Tokens) Step(token, stack);
    if (stack.size() != 1) throw TCannotCompute{};
    TValue result = Deref(stack.back());
    if (result.Kind == TValue::kEmpty) result = Num(0);
    return result;
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
        ref.Sheet = token.Sheet ? token.Sheet->Sheet : Sheet_;
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

  template <class TFn>
  static TValue Guarded(TFn fn) {
    try {
      return fn();
    } catch (const TErrorValue& error) {
      return error.Value;
    }
  }

  TValue ApplyOperator(uint8_t code, std::vector<TOperand>& stack) {
    const TValue right = Deref(Pop(stack));
    switch (code) {
      case 0x12:
        RaiseIfError(right);
        return right;
      case 0x13:
        return Num(-ToNumber(right));
      case 0x14:
        return Num(ToNumber(right) / 100);
      default:
        break;
    }
    const TValue left = Deref(Pop(stack));
    switch (code) {
      case 0x03:
        return Num(ToNumber(left) + ToNumber(right));
      case 0x04:
        return Num(ToNumber(left) - ToNumber(right));
      case 0x05:
        return Num(ToNumber(left) * ToNumber(right));
      case 0x06: {
        const double a = ToNumber(left), b = ToNumber(right);
        if (b == 0) Raise(xlErrDiv0);
        return Num(a / b);
      }
      case 0x07: {
        const double a = ToNumber(left), b = ToNumber(right);
        if (a == 0 && b == 0) Raise(xlErrNum);
        return Num(std::pow(a, b));
      }
      case 0x08:
        return Str(ToText(left) + ToText(right));
      default: {
        const int c = Compare(left, right);
        switch (code) {
          case 0x09:
            return Bool(c < 0);
          case 0x0A:
            return Bool(c <= 0);
          case 0x0B:
            return Bool(c == 0);
          case 0x0C:
            return Bool(c >= 0);
          case 0x0D:
            return Bool(c > 0);
          default:
            return Bool(c != 0);
        }
      }
    }
  }

  // The value of a stored cell: a formula's result, else the cell store's.
  TValue CellValue(TXLSWorksheet& sheet, int32_t row, int32_t col) {
    if (TXLSFormula* formula = sheet.GetFormulas().Find(row, col)) {
      Compute(sheet, row, col, *formula);
      Unsure_ = Unsure_ || formula->NeedsRecalc;
      return formula->Result;
    }
    const TXLSCellRef* cell =
        sheet.GetCellHeap().GetValue(static_cast<uint16_t>(row), static_cast<uint8_t>(col));
    if (cell == nullptr) return TValue{};
    if (cell->GetValueType() == xlString) return Str(std::string(cell->GetText()));
    if (cell->IsNumeric()) return Num(cell->GetNumber());
    return TValue{};
  }

  // A value from an operand; a block used as a value takes the cell in the
  // formula's own row (one column) or column (one row).
  TValue Deref(const TOperand& operand) {
    if (operand.Missing) return TValue{};
    if (!operand.IsRef) return operand.Value;
    if (operand.Row1 == operand.Row2 && operand.Col1 == operand.Col2)
      return CellValue(*operand.Sheet, operand.Row1, operand.Col1);
    if (operand.Col1 == operand.Col2 && Row_ >= operand.Row1 && Row_ <= operand.Row2)
      return CellValue(*operand.Sheet, Row_, operand.Col1);
    if (operand.Row1 == operand.Row2 && Col_ >= operand.Col1 && Col_ <= operand.Col2)
      return CellValue(*operand.Sheet, operand.Row1, Col_);
    return Err(xlErrValue);
  }

  // Calls visit(value) for each stored cell of a block, rows first.
  template <class TVisit>
  void ForEachCell(const TOperand& ref, TVisit visit) {
    const TXLSCellHeap& heap = ref.Sheet->GetCellHeap();
    if (heap.GetRowCount() == 0) return;
    const int32_t r1 = std::max(ref.Row1, heap.GetFirstRow()),
                  r2 = std::min(ref.Row2, heap.GetLastRow());
    const int32_t c1 = std::max(ref.Col1, heap.GetFirstCol()),
                  c2 = std::min(ref.Col2, heap.GetLastCol());
    for (int32_t r = r1; r <= r2; ++r) {
      for (int32_t c = c1; c <= c2; ++c) visit(CellValue(*ref.Sheet, r, c));
    }
  }

  // Every value the arguments of an aggregate give: cells of references
  // (numbers only unless all_cells) and plain values converted.
  template <class TVisit>
  void ForEachNumber(const std::vector<TOperand>& args, TVisit visit) {
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

  TOperand CallFunction(uint16_t index, std::vector<TOperand>& args) {
    const auto value = [&](size_t i) { return i < args.size() ? Deref(args[i]) : TValue{}; };
    const auto number = [&](size_t i) { return ToNumber(value(i)); };
    const auto text = [&](size_t i) { return ToText(value(i)); };
    const auto given = [&](size_t i) { return i < args.size() && !args[i].Missing; };
    const bool utf8 = Sheet_->GetWorkbook().GetUtf8Texts();
    switch (index) {
      case 0: {  // COUNT
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
        return Operand(Num(count));
      }
      case 169: {  // COUNTA
        double count = 0;
        for (const TOperand& arg : args) {
          if (arg.IsRef) {
            ForEachCell(arg, [&](const TValue& v) { count += v.Kind != TValue::kEmpty; });
          } else {
            count += !arg.Missing;
          }
        }
        return Operand(Num(count));
      }
      case 4: {  // SUM
        double sum = 0;
        ForEachNumber(args, [&](double v) { sum += v; });
        return Operand(Num(sum));
      }
      case 5: {  // AVERAGE
        double sum = 0, count = 0;
        ForEachNumber(args, [&](double v) { sum += v, ++count; });
        if (count == 0) Raise(xlErrDiv0);
        return Operand(Num(sum / count));
      }
      case 6:
      case 7: {  // MIN, MAX
        bool any = false;
        double best = 0;
        ForEachNumber(args, [&](double v) {
          if (!any || (index == 6 ? v < best : v > best)) best = v;
          any = true;
        });
        return Operand(Num(best));
      }
      case 1: {  // IF
        if (ToBool(value(0))) return args[1].Missing ? Operand(Num(0)) : args[1];
        if (args.size() < 3) return Operand(Bool(false));
        return args[2].Missing ? Operand(Num(0)) : args[2];
      }
      case 36:
      case 37: {  // AND, OR
        bool any = false, result = index == 36;
        const auto take = [&](bool b) {
          any = true;
          result = index == 36 ? (result && b) : (result || b);
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
        return Operand(Bool(result));
      }
      case 38:
        return Operand(Bool(!ToBool(value(0))));
      case 27:
        return Operand(Num(RoundDigits(number(0), number(1), 0)));
      case 212:
        return Operand(Num(RoundDigits(number(0), number(1), 1)));
      case 213:
        return Operand(Num(RoundDigits(number(0), number(1), -1)));
      case 25:
        return Operand(Num(std::floor(number(0))));
      case 24:
        return Operand(Num(std::fabs(number(0))));
      case 39: {  // MOD
        const double a = number(0), b = number(1);
        if (b == 0) Raise(xlErrDiv0);
        return Operand(Num(a - b * std::floor(a / b)));
      }
      case 20: {
        const double a = number(0);
        if (a < 0) Raise(xlErrNum);
        return Operand(Num(std::sqrt(a)));
      }
      case 32:
        return Operand(Num(static_cast<double>(CharCount(text(0), utf8))));
      case 115:
      case 116: {  // LEFT, RIGHT
        const std::string t = text(0);
        const double n = given(1) ? number(1) : 1;
        if (n < 0) Raise(xlErrValue);
        if (index == 115) return Operand(Str(t.substr(0, CharOffset(t, 0, Whole(n), utf8))));
        const int64_t skipped = std::max<int64_t>(0, CharCount(t, utf8) - Whole(n));
        return Operand(Str(t.substr(CharOffset(t, 0, skipped, utf8))));
      }
      case 31: {  // MID
        const std::string t = text(0);
        const double start = number(1), count = number(2);
        if (start < 1 || count < 0) Raise(xlErrValue);
        const size_t from = CharOffset(t, 0, Whole(start) - 1, utf8);
        return Operand(Str(t.substr(from, CharOffset(t, from, Whole(count), utf8) - from)));
      }
      case 113:
      case 112: {  // UPPER, LOWER
        std::string t = text(0);
        for (char& c : t)
          c = static_cast<char>(index == 113 ? std::toupper(static_cast<unsigned char>(c))
                                             : std::tolower(static_cast<unsigned char>(c)));
        return Operand(Str(t));
      }
      case 118: {  // TRIM
        std::string out;
        for (char c : text(0)) {
          if (c == ' ' && (out.empty() || out.back() == ' ')) continue;
          out += c;
        }
        if (!out.empty() && out.back() == ' ') out.pop_back();
        return Operand(Str(out));
      }
      case 336: {  // CONCATENATE
        std::string out;
        for (size_t i = 0; i < args.size(); ++i) out += text(i);
        return Operand(Str(out));
      }
      case 48:
        return Operand(Str(FormatNumber(number(0), text(1))));
      case 33: {  // VALUE
        const TValue v = value(0);
        if (v.Kind == TValue::kNumber) return Operand(v);
        double n = 0;
        if (v.Kind != TValue::kString || !ParseNumber(v.Text, n)) Raise(xlErrValue);
        return Operand(Num(n));
      }
      case 65:
        return Operand(Num(DateSerial(Whole(number(0)), Whole(number(1)), Whole(number(2)))));
      case 69:
      case 68:
      case 67: {  // YEAR, MONTH, DAY
        int64_t y = 0, m = 0, d = 0;
        SerialDate(number(0), y, m, d);
        return Operand(Num(static_cast<double>(index == 69 ? y : index == 68 ? m : d)));
      }
      case 221:
      case 74: {  // TODAY, NOW: right at the save, recalculated by the reader
        Unsure_ = true;
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        const double day = DateSerial(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
        const double time = (local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec) / 86400.0;
        return Operand(Num(index == 74 ? day + time : day));
      }
      case 129:  // ISBLANK
        return Operand(Bool(value(0).Kind == TValue::kEmpty));
      case 128:
        return Operand(Bool(value(0).Kind == TValue::kNumber));
      case 127:
        return Operand(Bool(value(0).Kind == TValue::kString));
      case 3:
        return Operand(Bool(value(0).Kind == TValue::kError));
      case 2: {
        const TValue v = value(0);
        return Operand(Bool(v.Kind == TValue::kError && v.Error == xlErrNA));
      }
      case 10:
        return Operand(Err(xlErrNA));
      case 345:
      case 346:
        return Operand(Num(ConditionalSum(args, index == 346)));
      case 102:
        return Lookup(args);
      case 64:
        return Operand(Num(Match(args)));
      case 29:
        return Index(args);
      default:
        throw TCannotCompute{};
    }
  }

  static const TOperand& RefArg(const std::vector<TOperand>& args, size_t i) {
    if (i >= args.size() || !args[i].IsRef) Raise(xlErrValue);
    return args[i];
  }

  double ConditionalSum(const std::vector<TOperand>& args, bool count) {
    const TOperand& range = RefArg(args, 0);
    const TCriterion criterion(Deref(args[1]));
    const TOperand* sumRange =
        !count && args.size() > 2 && !args[2].Missing ? &RefArg(args, 2) : &range;
    double total = 0;
    for (int32_t r = range.Row1; r <= range.Row2; ++r) {
      for (int32_t c = range.Col1; c <= range.Col2; ++c) {
        if (!criterion.Matches(CellValue(*range.Sheet, r, c))) continue;
        if (count) {
          ++total;
          continue;
        }
        const TValue v = CellValue(*sumRange->Sheet, sumRange->Row1 + r - range.Row1,
                                   sumRange->Col1 + c - range.Col1);
        RaiseIfError(v);
        if (v.Kind == TValue::kNumber) total += v.Number;
      }
    }
    return total;
  }

  // The position (0-based) of wanted along a row or column, by MATCH's type.
  int32_t Find(const TValue& wanted, TXLSWorksheet& sheet, int32_t row, int32_t col, int32_t length,
               bool down, int type) {
    int32_t found = -1;
    for (int32_t i = 0; i < length; ++i) {
      const TValue v = CellValue(sheet, down ? row + i : row, down ? col : col + i);
      if (v.Kind == TValue::kEmpty || v.Kind == TValue::kError) continue;
      if ((v.Kind == TValue::kString) != (wanted.Kind == TValue::kString)) continue;
      const int c = Compare(v, wanted);
      if (type == 0) {
        if (wanted.Kind == TValue::kString ? WildMatch(wanted.Text.c_str(), v.Text.c_str())
                                           : c == 0)
          return i;
      } else if (type > 0 ? c <= 0 : c >= 0) {
        found = i;
      } else {
        break;  // sorted data: nothing further can match
      }
    }
    return found;
  }

  TOperand Lookup(const std::vector<TOperand>& args) {
    const TValue wanted = Deref(args[0]);
    RaiseIfError(wanted);
    const TOperand& table = RefArg(args, 1);
    const double column = ToNumber(Deref(args[2]));
    const bool approximate = args.size() < 4 || args[3].Missing || ToBool(Deref(args[3]));
    if (column < 1) Raise(xlErrValue);
    if (column > table.Col2 - table.Col1 + 1) Raise(xlErrRef);
    const int32_t at = Find(wanted, *table.Sheet, table.Row1, table.Col1,
                            table.Row2 - table.Row1 + 1, true, approximate ? 1 : 0);
    if (at < 0) Raise(xlErrNA);
    return Operand(
        CellValue(*table.Sheet, table.Row1 + at, table.Col1 + static_cast<int32_t>(column) - 1));
  }

  double Match(const std::vector<TOperand>& args) {
    const TValue wanted = Deref(args[0]);
    RaiseIfError(wanted);
    const TOperand& range = RefArg(args, 1);
    const int64_t type = args.size() > 2 && !args[2].Missing ? Whole(ToNumber(Deref(args[2]))) : 1;
    const bool down = range.Col1 == range.Col2;
    if (!down && range.Row1 != range.Row2) Raise(xlErrNA);
    const int32_t length = down ? range.Row2 - range.Row1 + 1 : range.Col2 - range.Col1 + 1;
    const int32_t at = Find(wanted, *range.Sheet, range.Row1, range.Col1, length, down,
                            type > 0   ? 1
                            : type < 0 ? -1
                                       : 0);
    if (at < 0) Raise(xlErrNA);
    return at + 1;
  }

  TOperand Index(const std::vector<TOperand>& args) {
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

  std::unordered_map<const TXLSFormula*, uint8_t> State_;
  TXLSWorksheet* Sheet_ = nullptr;
  int32_t Row_ = 0, Col_ = 0;
  bool Unsure_ = false;
  int Depth_ = 0;

 public:
  // True when a chain of formulas was too deep to follow.
  bool DepthExceeded_ = false;
};

}  // namespace

void EvaluateWorkbookFormulas(TXLSWorksheet& sheet) {
  TXLSWorkSheets& sheets = sheet.GetWorkbook().GetSheets();
  TEvaluator evaluator;
  for (int32_t i = 1; i <= sheets.GetCount(); ++i) {
    TXLSWorksheet& each = *sheets.GetSheet(i);
    // Row by row, so that the usual chains (each row built on the one
    // above) are computed from their start without deep recursion.
    std::vector<std::pair<uint32_t, TXLSFormula*>> order;
    each.GetFormulas().ForEach([&](int32_t row, int32_t col, TXLSFormula& formula) {
      order.emplace_back((static_cast<uint32_t>(row) << 8) | static_cast<uint32_t>(col), &formula);
    });
    std::sort(order.begin(), order.end());
    for (const auto& [key, formula] : order)
      evaluator.Compute(each, static_cast<int32_t>(key >> 8), static_cast<int32_t>(key & 0xFF),
                        *formula);
  }
}

TXLSFormulaValue EvaluateCellFormula(TXLSWorksheet& sheet, int32_t row, int32_t col) {
  TXLSFormula* formula = sheet.GetFormulas().Find(row, col);
  if (formula == nullptr) return TXLSFormulaValue{};
  TEvaluator evaluator;
  evaluator.Compute(sheet, row, col, *formula);
  // A long chain is computed from its start, row by row, as a save does.
  if (evaluator.DepthExceeded_) EvaluateWorkbookFormulas(sheet);
  return formula->Result;
}

}  // namespace tabulon
