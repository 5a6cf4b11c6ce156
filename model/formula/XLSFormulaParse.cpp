// Formula text to reverse Polish tokens: a recursive-descent parser over the
// usual spreadsheet precedence (comparison, &, + -, * /, ^, %, unary minus),
// with A1 references, sheet-qualified references, defined names and function
// calls. It reads cell formulas and the definitions of defined names.
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <string>
#include <utility>

#include "XLSCellRef.h"
#include "XLSConstants.h"
#include "XLSDefinedNames.h"
#include "XLSFormula.h"
#include "XLSFormulaFunctions.h"
#include "XLSFormulaTokens.h"
#include "XLSRecordEncoder.h"
#include "XLSRecordSection.h"
#include "XLSTextEncoder.h"
#include "XLSWorkSheets.h"
#include "XLSWorkbook.h"
#include "XLSWorksheet.h"

namespace tabulon {

namespace {

// Functions of later file formats that a BIFF5 file cannot hold.
constexpr const char* kLaterFunctions[] = {"IFERROR",   "SUMIFS",     "COUNTIFS",
                                           "AVERAGEIF", "AVERAGEIFS", "IFS",
                                           "IFNA",      "TEXTJOIN",   "CONCAT"};

struct TParseError {
  size_t Position;  // zero-based index into the text
  std::string Message;
};

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

bool IsNameChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.' || c == '$' ||
         c == '\\';
}

class TFormulaParser {
 public:
  // A cell formula of sheet.
  TFormulaParser(const std::string& text, TXLSWorksheet& sheet)
      : text_(text), book_(sheet.GetWorkbook()), sheet_(&sheet) {}
  // The definition of a name of scope (a sheet, or null for the workbook):
  // every reference gets its sheet and loses its relative parts.
  TFormulaParser(const std::string& text, TXLSWorkbook& book, TXLSWorksheet* scope)
      : text_(text), book_(book), sheet_(scope), definition_(true) {}

  std::vector<TXLSFormulaToken> Parse() {
    if (text_.empty() || text_[0] != '=') Fail(0, "a formula starts with '='");
    pos_ = 1;
    SkipSpaces();
    if (AtEnd()) Fail(pos_, "the formula is empty");
    Comparison();
    SkipSpaces();
    if (!AtEnd()) Fail(pos_, std::string("unexpected '") + text_[pos_] + "'");
    // A name that is a reference alone stands for the cells themselves, so
    // that SUM(Name) sums them.
    if (definition_ && tokens_.size() == 1 && IsReferenceOperand(tokens_.back()))
      tokens_.back().ValueClass = false;
    return std::move(tokens_);
  }

 private:
  [[noreturn]] void Fail(size_t at, const std::string& message) { throw TParseError{at, message}; }
  static bool IsReferenceOperand(const TXLSFormulaToken& token) {
    return token.Kind == TXLSTokenKind::Ref || token.Kind == TXLSTokenKind::Area ||
           token.Kind == TXLSTokenKind::Name;
  }
  bool AtEnd() const { return pos_ >= text_.size(); }
  char Peek(size_t ahead = 0) const {
    return pos_ + ahead < text_.size() ? text_[pos_ + ahead] : '\0';
  }
  void SkipSpaces() {
    while (!AtEnd() && (text_[pos_] == ' ' || text_[pos_] == '\n' || text_[pos_] == '\r')) ++pos_;
  }
  void PushOperator(uint8_t code) {
    TXLSFormulaToken token;
    token.Kind = TXLSTokenKind::Operator;
    token.Code = code;
    tokens_.push_back(std::move(token));
  }

  // Parentheses, function arguments and signs nest by recursion; the depth
  // is bounded so that no text can exhaust the stack.
  void Nest() {
    if (++depth_ > kMaxDepth) Fail(pos_, "the formula nests deeper than 100 levels");
  }

  void Comparison() {
    Nest();
    Concat();
    for (;;) {
      SkipSpaces();
      uint8_t code = 0;
      size_t length = 1;
      const char c = Peek(), next = Peek(1);
      if (c == '=') {
        code = xlstoken::kEQ;
      } else if (c == '<' && next == '>') {
        code = xlstoken::kNE, length = 2;
      } else if (c == '<' && next == '=') {
        code = xlstoken::kLE, length = 2;
      } else if (c == '>' && next == '=') {
        code = xlstoken::kGE, length = 2;
      } else if (c == '<') {
        code = xlstoken::kLT;
      } else if (c == '>') {
        code = xlstoken::kGT;
      } else {
        break;
      }
      pos_ += length;
      Concat();
      PushOperator(code);
    }
    --depth_;
  }

  void Concat() {
    Additive();
    for (SkipSpaces(); Peek() == '&'; SkipSpaces()) {
      ++pos_;
      Additive();
      PushOperator(xlstoken::kConcat);
    }
  }

  void Additive() {
    Term();
    for (SkipSpaces(); Peek() == '+' || Peek() == '-'; SkipSpaces()) {
      const uint8_t code = Peek() == '+' ? xlstoken::kAdd : xlstoken::kSub;
      ++pos_;
      Term();
      PushOperator(code);
    }
  }

  void Term() {
    Power();
    for (SkipSpaces(); Peek() == '*' || Peek() == '/'; SkipSpaces()) {
      const uint8_t code = Peek() == '*' ? xlstoken::kMul : xlstoken::kDiv;
      ++pos_;
      Power();
      PushOperator(code);
    }
  }

  void Power() {
    Percent();
    for (SkipSpaces(); Peek() == '^'; SkipSpaces()) {
      ++pos_;
      Percent();
      PushOperator(xlstoken::kPower);
    }
  }

  void Percent() {
    Unary();
    for (SkipSpaces(); Peek() == '%'; SkipSpaces()) {
      ++pos_;
      PushOperator(xlstoken::kPercent);
    }
  }

  void Unary() {
    SkipSpaces();
    if (Peek() == '-' || Peek() == '+') {
      const uint8_t code = Peek() == '-' ? xlstoken::kUminus : xlstoken::kUplus;
      ++pos_;
      Nest();
      Unary();
      --depth_;
      PushOperator(code);
      return;
    }
    Primary();
  }

  void Primary() {
    SkipSpaces();
    if (AtEnd()) Fail(pos_, "an operand is missing at the end");
    const char c = Peek();
    if (c == '(') {
      const size_t open = pos_++;
      Comparison();
      SkipSpaces();
      if (Peek() != ')') Fail(AtEnd() ? open : pos_, "')' expected");
      ++pos_;
      TXLSFormulaToken token;
      token.Kind = TXLSTokenKind::Paren;
      tokens_.push_back(std::move(token));
    } else if (c == '"') {
      StringConstant();
    } else if (c == '#') {
      ErrorConstant();
    } else if (std::isdigit(static_cast<unsigned char>(c)) || c == '.') {
      NumberConstant();
    } else if (c == '\'') {
      QuotedSheetReference();
    } else if (IsNameChar(c)) {
      Name();
    } else {
      Fail(pos_, std::string("unexpected '") + c + "'");
    }
  }

  // Digits with an optional fraction and exponent, as the spreadsheet
  // writes numbers (no hexadecimal, no infinity).
  void NumberConstant() {
    const size_t start = pos_;
    const auto digits = [this]() {
      size_t count = 0;
      for (; std::isdigit(static_cast<unsigned char>(Peek())); ++count) ++pos_;
      return count;
    };
    size_t count = digits();
    if (Peek() == '.') {
      ++pos_;
      count += digits();
    }
    if (count == 0) Fail(start, "a number is not complete");
    if (Peek() == 'e' || Peek() == 'E') {
      const size_t mark = pos_++;
      if (Peek() == '+' || Peek() == '-') ++pos_;
      if (digits() == 0) pos_ = mark;
    }
    const double value = std::strtod(text_.substr(start, pos_ - start).c_str(), nullptr);
    if (!std::isfinite(value)) Fail(start, "the number is too large");
    if (IsNameChar(Peek())) Fail(pos_, "a number is followed by letters");
    TXLSFormulaToken token;
    token.Kind = TXLSTokenKind::Number;
    token.Number = value;
    tokens_.push_back(std::move(token));
  }

  void StringConstant() {
    const size_t start = pos_++;
    std::string value;
    for (;;) {
      if (AtEnd()) Fail(start, "the text constant has no closing '\"'");
      const char c = text_[pos_++];
      if (c == '"') {
        if (Peek() != '"') break;
        ++pos_;
      }
      value += c;
    }
    // The limit counts the bytes the file holds (UTF-8 converted first).
    if (book_.CodePageLength(value) > XLSStrMax)
      Fail(start, "a text constant is longer than 255 bytes");
    TXLSFormulaToken token;
    token.Kind = TXLSTokenKind::String;
    token.Text = std::move(value);
    tokens_.push_back(std::move(token));
  }

  void ErrorConstant() {
    static constexpr uint8_t kCodes[] = {xlErrNull, xlErrDiv0, xlErrValue, xlErrRef,
                                         xlErrName, xlErrNum,  xlErrNA};
    for (uint8_t code : kCodes) {
      const std::string name = FormulaErrorText(code);
      if (Upper(text_.substr(pos_, name.size())) == name) {
        pos_ += name.size();
        TXLSFormulaToken token;
        token.Kind = TXLSTokenKind::Error;
        token.Code = code;
        tokens_.push_back(std::move(token));
        return;
      }
    }
    Fail(pos_, "unknown error constant");
  }

  // 'Sheet name'!A1 with '' standing for a quote in the name.
  void QuotedSheetReference() {
    const size_t start = pos_++;
    std::string name;
    for (;;) {
      if (AtEnd()) Fail(start, "the sheet name has no closing quote");
      const char c = text_[pos_++];
      if (c == '\'') {
        if (Peek() != '\'') break;
        ++pos_;
      }
      name += c;
    }
    if (Peek() != '!') Fail(pos_, "'!' expected after the sheet name");
    ++pos_;
    Reference(ResolveSheet(name, start));
  }

  // The sheet a reference names; null for the formula's own sheet (a
  // definition keeps every sheet).
  TXLSWorksheet* ResolveSheet(const std::string& name, size_t at) {
    TXLSWorkSheets& sheets = book_.GetSheets();
    for (int32_t i = 1; i <= sheets.GetCount(); ++i) {
      TXLSWorksheet* candidate = sheets.GetSheet(i);
      if (Upper(candidate->GetName()) == Upper(name))
        return candidate == sheet_ && !definition_ ? nullptr : candidate;
    }
    Fail(at, "no sheet is named '" + name + "'");
  }

  std::string Word() {
    const size_t start = pos_;
    while (IsNameChar(Peek())) ++pos_;
    return text_.substr(start, pos_ - start);
  }

  void Name() {
    const size_t start = pos_;
    const std::string word = Word();
    SkipSpacesBefore('(');
    if (Peek() == '(') {
      Function(word, start);
      return;
    }
    if (Peek() == '!') {
      ++pos_;
      Reference(ResolveSheet(word, start));
      return;
    }
    const std::string upper = Upper(word);
    if (upper == "TRUE" || upper == "FALSE") {
      TXLSFormulaToken token;
      token.Kind = TXLSTokenKind::Bool;
      token.Code = upper == "TRUE" ? 1 : 0;
      tokens_.push_back(std::move(token));
      return;
    }
    if (DefinedName(word, start)) return;
    pos_ = start;
    Reference(nullptr);
  }

  // A defined name: the sheet's own name of that spelling, else the
  // workbook's. A word that could be a name but is none is refused here,
  // naming it; anything else is read as a cell reference.
  bool DefinedName(const std::string& word, size_t start) {
    const int32_t entry = book_.GetNames().Find(word, sheet_);
    if (entry < 0) {
      std::string reason;
      if (IsValidDefinedName(word, reason))
        Fail(start, "unknown name '" + word + "' (AddName defines names)");
      return false;
    }
    TXLSFormulaToken token;
    token.Kind = TXLSTokenKind::Name;
    token.NameEntry = static_cast<uint16_t>(entry);
    tokens_.push_back(std::move(token));
    return true;
  }

  // Spaces between a function name and its '(' are allowed.
  void SkipSpacesBefore(char wanted) {
    size_t ahead = pos_;
    while (ahead < text_.size() && text_[ahead] == ' ') ++ahead;
    if (ahead < text_.size() && text_[ahead] == wanted) pos_ = ahead;
  }

  // $A$1 style: the parts, and a refusal naming the position when the cell
  // is outside what a BIFF5 formula can address.
  TXLSRefPoint CellPoint() {
    const size_t start = pos_;
    TXLSRefPoint point;
    point.ColRel = Peek() != '$';
    if (!point.ColRel) ++pos_;
    std::string letters;
    while (std::isalpha(static_cast<unsigned char>(Peek()))) letters += text_[pos_++];
    point.RowRel = Peek() != '$';
    if (!point.RowRel) ++pos_;
    std::string digits;
    while (std::isdigit(static_cast<unsigned char>(Peek()))) digits += text_[pos_++];
    if (letters.empty() || digits.empty() || IsNameChar(Peek())) {
      while (IsNameChar(Peek())) ++pos_;
      Fail(start,
           "'" + text_.substr(start, pos_ - start) + "' is not a cell reference or a known name");
    }
    const int32_t col = letters.size() <= 3 ? ColNameToColIndex(Upper(letters)) - 1 : -1;
    if (col < 0 || col > XLSMaxCol)
      Fail(start, "column " + letters + " is outside the sheet (A to IV)");
    const long row = digits.size() <= 6 ? std::strtol(digits.c_str(), nullptr, 10) : 0;
    const TXLSRecordEncoder& format = book_.GetRecordEncoder();
    if (row < 1 || row > format.FormulaMaxRow() + 1)
      Fail(start, "row " + digits + " is outside the rows a " + format.Name() +
                      " formula can address (1 to " + std::to_string(format.FormulaMaxRow() + 1) +
                      ")");
    point.Row = static_cast<int32_t>(row - 1);
    point.Col = col;
    return point;
  }

  void Reference(TXLSWorksheet* sheet) {
    const size_t start = pos_;
    TXLSFormulaToken token;
    token.Kind = TXLSTokenKind::Ref;
    if (sheet != nullptr) token.Sheet = sheet->GetLink();
    token.First = CellPoint();
    if (Peek() == ':') {
      ++pos_;
      token.Kind = TXLSTokenKind::Area;
      token.Last = CellPoint();
      // Corners in any order name the same block.
      if (token.Last.Row < token.First.Row) std::swap(token.First.Row, token.Last.Row);
      if (token.Last.Col < token.First.Col) std::swap(token.First.Col, token.Last.Col);
    }
    if (definition_) DefinitionReference(token, start);
    tokens_.push_back(std::move(token));
  }

  // A name stands for the same cells wherever it is used: its references
  // are absolute, and a workbook name's name their sheet.
  void DefinitionReference(TXLSFormulaToken& token, size_t start) {
    if (!token.Sheet) {
      if (sheet_ == nullptr)
        Fail(start, "a reference in a workbook name names its sheet (Sheet1!$A$1)");
      token.Sheet = sheet_->GetLink();
    }
    token.First.RowRel = token.First.ColRel = false;
    token.Last.RowRel = token.Last.ColRel = false;
  }

  void Function(const std::string& name, size_t start) {
    const std::string upper = Upper(name);
    for (const char* later : kLaterFunctions) {
      if (upper == later)
        Fail(start,
             upper + " does not exist in the BIFF5 file format" +
                 (upper == "IFERROR" ? std::string("; write IF(ISERROR(x),fallback,x)") : ""));
    }
    const TXLSFunctionInfo* info = FindFunction(name);
    if (info == nullptr) Fail(start, "unknown function " + upper);
    ++pos_;  // '('
    int count = 0;
    SkipSpaces();
    if (Peek() == ')') {
      ++pos_;
    } else {
      for (;;) {
        SkipSpaces();
        const size_t argStart = pos_;
        if (count == info->MaxArgs)
          Fail(argStart, upper + " takes at most " + std::to_string(info->MaxArgs) + " argument" +
                             (info->MaxArgs == 1 ? "" : "s"));
        const size_t before = tokens_.size();
        if (Peek() == ',' || Peek() == ')') {
          TXLSFormulaToken missing;
          missing.Kind = TXLSTokenKind::MissingArg;
          tokens_.push_back(std::move(missing));
        } else {
          Comparison();
        }
        // A reference given alone is passed as a reference where the
        // function takes one, else as a value.
        if (tokens_.size() == before + 1 && IsReferenceOperand(tokens_.back()))
          tokens_.back().ValueClass = !info->TakesReference(count);
        ++count;
        SkipSpaces();
        if (Peek() == ',') {
          ++pos_;
          continue;
        }
        if (Peek() == ')') {
          ++pos_;
          break;
        }
        Fail(AtEnd() ? start : pos_, "',' or ')' expected in the arguments of " + upper);
      }
    }
    if (count < info->MinArgs)
      Fail(start, upper + " takes at least " + std::to_string(info->MinArgs) + " argument" +
                      (info->MinArgs == 1 ? "" : "s"));
    TXLSFormulaToken token;
    token.Kind = TXLSTokenKind::Function;
    token.Function = info->Index;
    token.ArgCount = static_cast<uint8_t>(count);
    tokens_.push_back(std::move(token));
  }

  const std::string& text_;
  TXLSWorkbook& book_;
  // The formula's sheet, or a name's scope (null for a workbook name).
  TXLSWorksheet* sheet_;
  bool definition_ = false;
  static constexpr int kMaxDepth = 100;
  size_t pos_ = 0;
  int depth_ = 0;
  std::vector<TXLSFormulaToken> tokens_;
};

TXLSFormulaStatus Refusal(const TParseError& error) {
  TXLSFormulaStatus status;
  status.Code = -1;
  status.Position = static_cast<int32_t>(error.Position) + 1;
  status.Message = "position " + std::to_string(status.Position) + ": " + error.Message;
  return status;
}

}  // namespace

TXLSFormulaStatus ParseFormula(const std::string& text, TXLSWorksheet& sheet,
                               TXLSFormula& formula) {
  TXLSFormulaStatus status;
  try {
    TXLSFormula parsed;
    parsed.Tokens = TFormulaParser(text, sheet).Parse();
    // A FORMULA record holds its tokens in one record of at most 2080 bytes.
    // The texts are measured as a save converts them, with a converter of
    // their own so that the workbook's report of losses stays the last
    // save's.
    constexpr size_t kMaxTokenBytes = XLSRecordDataLimit - 22;
    TXLSWorkbook& book = sheet.GetWorkbook();
    TXLSTextEncoder measure(book.GetCodePage(), book.GetUtf8Texts());
    const std::unique_ptr<TXLSRecordEncoder> encoder =
        MakeRecordEncoder(book.GetFileFormat(), &measure);
    if (EncodeFormula(parsed, sheet, *encoder, TXLSTextPlace{}).size() > kMaxTokenBytes)
      throw TParseError{0, "the formula is too long for a FORMULA record"};
    formula = std::move(parsed);
  } catch (const TParseError& error) {
    status = Refusal(error);
  }
  return status;
}

TXLSFormulaStatus ParseNameDefinition(const std::string& text, TXLSWorkbook& book,
                                      TXLSWorksheet* scope, TXLSFormula& formula) {
  try {
    formula.Tokens = TFormulaParser(text, book, scope).Parse();
  } catch (const TParseError& error) {
    return Refusal(error);
  }
  return TXLSFormulaStatus{};
}

}  // namespace tabulon
