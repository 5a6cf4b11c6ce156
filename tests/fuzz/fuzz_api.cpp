// Random sequences of object-model calls decoded from the input: values of
// every variant kind and arrays, formatting, merging, inserting and deleting
// both ways, whole rows and columns, widths, heights, hiding, page setup,
// notes added and cleared, and sheets added, moved, renamed and deleted
// while the harness still holds them and their ranges; outline groups,
// locked cells, filters, defined names and formulas that use them;
// hyperlinks, data validations and conditional formats (refused in BIFF5).
// The first byte picks the file format. Every sequence ends with a save that
// must be well formed.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "Tabulon.h"
#include "XLSPageSetup.h"
#include "XLSWorksheet.h"

using namespace tabulon;

namespace {

// The input read one value at a time; zeros once it is used up.
class TInput {
 public:
  TInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool More() const { return pos_ < size_; }
  uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
  uint16_t Word() { return static_cast<uint16_t>(Byte() | (Byte() << 8)); }
  int32_t Pick(int32_t count) { return count <= 0 ? 0 : Byte() % count; }
  double Number() {
    const int16_t mantissa = static_cast<int16_t>(Word());
    return mantissa / static_cast<double>(1 + Byte());
  }
  std::string Text() {
    const size_t length = Byte() % 40;
    std::string text;
    for (size_t i = 0; i < length; ++i) text += static_cast<char>(Byte());
    return text;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

// Mostly cells near the top-left corner, sometimes anywhere on the sheet,
// sometimes a text that is not a cell.
std::string CellText(TInput& in) {
  switch (in.Pick(8)) {
    case 0:
      return EncodeCellRef(in.Word(), in.Byte());
    case 1:
      return in.Text();
    default:
      return EncodeCellRef(in.Byte() % 20, in.Byte() % 10);
  }
}

OleVariant Value(TInput& in) {
  switch (in.Pick(12)) {
    case 0:
      return OleVariant::Empty();
    case 1:
      return OleVariant::Null();
    case 2:
      return OleVariant(in.Text());
    case 3:
      return OleVariant::Date(in.Number());
    case 4:
      return OleVariant::Currency(in.Number());
    case 5:
      return OleVariant(in.Pick(2) == 1);
    case 6:
      return OleVariant::Int64(static_cast<int64_t>(in.Word()) << in.Pick(48));
    case 7:
      return OleVariant::Error(in.Word());
    case 8:
      return OleVariant(std::string(in.Word() % 600, 'x'));
    case 9: {
      const int32_t rows = in.Pick(4), cols = in.Pick(4);
      OleVariant array = VarArrayCreate({0, rows, 0, cols});
      for (int32_t r = 0; r <= rows; ++r)
        for (int32_t c = 0; c <= cols; ++c)
          array.PutElement({r, c},
                           in.Pick(4) == 0 ? OleVariant(in.Pick(2) == 1) : OleVariant(in.Number()));
      return array;
    }
    case 10: {
      const int32_t count = in.Pick(5);
      OleVariant array = VarArrayCreate({0, count});
      for (int32_t i = 0; i <= count; ++i) array.PutElement({i}, OleVariant(in.Text()));
      return array;
    }
    default:
      return OleVariant(in.Number());
  }
}

class THarness {
 public:
  explicit THarness(TInput& in) : in_(in) {}
  void Run() {
    book_.SetFileFormat(in_.Pick(2) == 1 ? xlExcel8 : xlExcel5);
    sheets_.push_back(book_.GetWorksheets()->Add());
    for (int steps = 0; in_.More() && steps < 400; ++steps) Step();
    fuzz::CheckSaved(book_);
  }

 private:
  template <class T>
  T* Any(std::vector<XLSPtr<T>>& held) {
    if (held.empty()) return nullptr;
    return held[static_cast<size_t>(in_.Pick(static_cast<int32_t>(held.size())))].get();
  }
  template <class T>
  void Keep(std::vector<XLSPtr<T>>& held, XLSPtr<T> item) {
    if (!item) return;
    if (held.size() >= 16) held.erase(held.begin());
    held.push_back(std::move(item));
  }
  template <class T>
  void Drop(std::vector<XLSPtr<T>>& held) {
    if (!held.empty()) held.erase(held.begin() + in_.Pick(static_cast<int32_t>(held.size())));
  }

  void Step() {
    const int32_t op = in_.Pick(44);
    if (op < 8) return SheetStep(op);
    IXLSRange* range = Any(ranges_);
    if (range == nullptr) return Keep(ranges_, NewRange());
    RangeStep(op, *range);
  }

  XLSPtr<IXLSRange> NewRange() {
    IXLSWorkSheet* sheet = Any(sheets_);
    if (sheet == nullptr) return nullptr;
    const std::string first = CellText(in_);
    return sheet->FGetRange(first, in_.Pick(2) ? first : CellText(in_));
  }

  void SheetStep(int32_t op) {
    XLSPtr<IXLSWorkSheets> sheets = book_.GetWorksheets();
    IXLSWorkSheet* sheet = Any(sheets_);
    switch (op) {
      case 0:
        return Keep(sheets_, sheets->Add());
      case 1:
        if (sheet) sheet->Delete();
        return;
      case 2:
        if (sheet) sheet->Move(static_cast<TXLSWorksheet*>(Any(sheets_)));
        return;
      case 3:
        if (sheet) sheet->SetWorkSheetName(in_.Text());
        return;
      case 4:
        if (sheet) Keep(ranges_, in_.Pick(2) ? sheet->GetSelection() : sheet->GetUsedRange());
        return;
      case 5:
        return Drop(ranges_);
      case 6:
        if (in_.Pick(4) == 0) return Drop(sheets_);
        return Keep(sheets_, sheets->Get(in_.Pick(sheets->GetCount() + 2)));
      default:
        if (sheet) PageStep(*sheet);
        return;
    }
  }

  void PageStep(IXLSWorkSheet& sheet) {
    XLSPtr<IXLSPageSetup> setup = sheet.GetPageSetup();
    switch (in_.Pick(8)) {
      case 0:
        return setup->FSetPrintArea(CellText(in_) + ":" + CellText(in_));
      case 1:
        return setup->SetPrintTitleRows("$" + std::to_string(in_.Word()) + ":$" +
                                        std::to_string(in_.Byte()));
      case 2:
        return setup->SetPrintTitleColumns(in_.Text());
      case 3:
        return setup->SetLeftHeader(in_.Text());
      case 4:
        sheet.FreezePanes(in_.Byte(), in_.Byte(), in_.Byte(), in_.Byte());
        return;
      case 5:
        sheet.SetZoom(in_.Word() % 500);
        return;
      case 6:
        if (XLSPtr<IXLSRange> at = NewRange()) sheet.GetHPageBreaks()->Add(at.get());
        return;
      default:
        setup->SetZoom(OleVariant(static_cast<int32_t>(in_.Word() % 500)));
        return;
    }
  }

  // Operations that visit every cell of a range are limited to small ranges
  // (or, for formats, whole rows and columns, which are formatted as such),
  // so that one input cannot run for minutes.
  static size_t Area(IXLSRange& range) {
    return static_cast<size_t>(range.GetLastRow() - range.GetFirstRow() + 1) *
           static_cast<size_t>(range.GetLastCol() - range.GetFirstCol() + 1);
  }
  static bool Small(IXLSRange& range) { return Area(range) <= 4096; }
  static bool Formattable(IXLSRange& range) {
    const bool wholeColumns = range.GetFirstRow() == 0 && range.GetLastRow() == XLSMaxRow;
    const bool wholeRows = range.GetFirstCol() == 0 && range.GetLastCol() == XLSMaxCol;
    return Small(range) || ((wholeColumns || wholeRows) && Area(range) <= 4 * 65536);
  }

  void RangeStep(int32_t op, IXLSRange& range) {
    const bool cellByCell = (op >= 8 && op <= 10) || (op >= 16 && op <= 18) || op == 26;
    const bool formatting = (op >= 14 && op <= 15) || (op >= 24 && op <= 25);
    // Inserting and deleting visit the rectangle too: one whole column, or up
    // to 256 whole rows, at most.
    const bool shifting = op == 19 || op == 20;
    if ((cellByCell && !Small(range)) || (formatting && !Formattable(range)) ||
        (shifting && Area(range) > 65536))
      return;
    switch (op) {
      case 8:
      case 9:
        return range.SetValue(Value(in_));
      case 10:
        range.GetValue();
        return;
      case 11:
        return Keep(ranges_, range.GetItem(in_.Byte(), in_.Byte()));
      case 12:
        return Keep(ranges_, in_.Pick(2) ? range.GetEntireRow() : range.GetEntireColumn());
      case 13:
        return Keep(ranges_, in_.Pick(2) ? range.GetRows() : range.GetColumns());
      case 14:
        return FontStep(*range.GetFont());
      case 15: {
        XLSPtr<IXLSInterior> fill = range.GetInterior();
        fill->SetColorIndex(in_.Pick(60) - 2);
        fill->SetPattern(in_.Pick(3) ? xlPatternSolid : xlPatternGray50);
        fill->SetPatternColor(in_.Word() * 257u);
        return;
      }
      case 16: {
        XLSPtr<IXLSBorders> borders = range.GetBorders();
        XLSPtr<IXLSBorder> border = borders->GetBorder(in_.Pick(14));
        IXLSBorder& target = border ? *border : *borders;
        target.SetLineStyle(in_.Pick(14) - 1);
        target.SetWeight(in_.Pick(5) - 1);
        target.SetColorIndex(in_.Pick(60));
        return;
      }
      case 17:
        return range.Merge(OleVariant(in_.Pick(2) == 1));
      case 18:
        return range.Unmerge();
      case 19:
        range.Insert(OleVariant(in_.Pick(2) ? xlShiftDown : xlShiftToRight));
        return;
      case 20:
        range.Delete(OleVariant(in_.Pick(2) ? xlShiftUp : xlShiftToLeft));
        return;
      case 21:
        return range.SetColumnWidth(OleVariant(in_.Number()));
      case 22:
        return range.SetRowHeight(OleVariant(in_.Number()));
      case 23:
        return range.SetHidden(OleVariant(in_.Pick(2) == 1));
      case 24:
        return range.SetNumFormat(in_.Pick(2) ? "0.00" : in_.Text());
      case 25:
        range.SetHAlign(in_.Pick(2) ? xlHAlignCenter : in_.Word());
        range.SetVAlign(in_.Pick(2) ? xlVAlignTop : in_.Word());
        return range.SetWrapText(OleVariant(in_.Pick(2) == 1));
      case 26:
        return in_.Pick(2) ? range.ClearContents() : range.Clear();
      case 27:
        return range.Select();
      case 28:
        return Keep(ranges_, range.GetCells());
      case 29:
        return OutlineStep(range);
      case 30: {
        // Sometimes a text past the longest note, or an author past 255.
        const std::string text = in_.Pick(8) == 0 ? std::string(in_.Word(), 'n') : in_.Text();
        if (in_.Pick(2) == 0) {
          range.AddComment(text);
        } else {
          range.AddComment(text,
                           in_.Pick(8) == 0 ? std::string(in_.Word() % 512, 'a') : in_.Text());
        }
        return;
      }
      case 31:
        return range.ClearComments();
      case 32:
        if (IXLSWorkSheet* sheet = Any(sheets_)) sheet->AddHyperlink(&range, Address(), in_.Text());
        return;
      case 33:
        range.AddValidation(Validation());
        return;
      case 34:
        return range.DeleteValidation();
      case 35:
        range.AutoFilter();
        return;
      case 36:
        book_.AddName(NameText(), Definition());
        return;
      case 37:
        if (IXLSWorkSheet* sheet = Any(sheets_)) sheet->AddName(NameText(), Definition());
        return;
      case 38:
        if (Small(range)) range.SetFormula(NameFormula());
        return;
      case 39:
        range.AddFormatCondition(Condition());
        return;
      case 40:
        range.DeleteFormatConditions();
        // BIFF5 is refused while a sheet holds a condition; a switch that
        // is taken is undone.
        if (in_.Pick(4) == 0 && book_.GetFileFormat() == xlExcel8 &&
            book_.SetFileFormat(xlExcel5) == 1)
          book_.SetFileFormat(xlExcel8);
        return;
      default:
        return Keep(ranges_, NewRange());
    }
  }

  // Outline groups (ranges of cells are refused; a group over every row of
  // the sheet is one level byte a row) and the protection formats, on small
  // ranges: whole rows and columns take their formats through the same
  // setter as the other formats do.
  void OutlineStep(IXLSRange& range) {
    switch (in_.Pick(6)) {
      case 0:
        range.Group();
        return;
      case 1:
        range.Ungroup();
        return;
      case 2:
        range.SetShowDetail(in_.Pick(2) == 1);
        return;
      case 3:
        if (IXLSWorkSheet* sheet = Any(sheets_)) {
          const int32_t row = in_.Pick(4) ? in_.Pick(2) : in_.Word();
          const int32_t column =
              in_.Pick(4) ? (in_.Pick(2) ? xlSummaryOnLeft : xlSummaryOnRight) : in_.Word();
          sheet->SetOutlineSummary(row, column);
        }
        return;
      case 4:
        if (Small(range)) range.SetLocked(in_.Pick(2) == 1);
        return;
      default:
        if (Small(range)) range.SetFormulaHidden(in_.Pick(2) == 1);
        return;
    }
  }

  // Every kind of link address, and texts that are none.
  std::string Address() {
    static const char* const kStarts[] = {"https://", "mailto:", "#", "../", "C:\\", ""};
    return kStarts[in_.Pick(6)] + in_.Text() + (in_.Pick(8) == 0 ? std::string(1100, 'a') : "");
  }

  // A bound: a number, a date, a reference, a formula, a list or noise.
  std::string Bound() {
    switch (in_.Pick(6)) {
      case 0:
        return std::to_string(in_.Number());
      case 1:
        return "DATE(2024," + std::to_string(in_.Pick(14)) + ",1)";
      case 2:
        return "=" + CellText(in_) + ":" + CellText(in_);
      case 3:
        return "=" + CellText(in_) + ">0";
      case 4:
        return in_.Text() + "," + in_.Text();
      default:
        return in_.Text();
    }
  }

  // Types, styles and operators past their ends too, and texts past their bounds.
  TXLSValidation Validation() {
    TXLSValidation rule;
    rule.Type = in_.Pick(9);
    rule.AlertStyle = in_.Pick(5);
    rule.Operator = in_.Pick(10);
    rule.Formula1 = Bound();
    rule.Formula2 = Bound();
    rule.IgnoreBlank = in_.Pick(2) == 1;
    rule.InCellDropdown = in_.Pick(2) == 1;
    rule.ShowInput = in_.Pick(2) == 1;
    rule.ShowError = in_.Pick(2) == 1;
    rule.InputTitle = in_.Text();
    rule.ErrorTitle = in_.Text();
    rule.InputMessage = in_.Pick(4) == 0 ? std::string(in_.Word() % 300, 'm') : in_.Text();
    rule.ErrorMessage = in_.Text();
    return rule;
  }

  // Names from a few spellings (so that names meet again, in other cases
  // and scopes) or any text.
  std::string NameText() {
    static const char* const kNames[] = {"Sales", "RATE", "rate", "x.y", "_a", "\\b", "A1", "R1C1"};
    return in_.Pick(4) ? kNames[in_.Pick(8)] : in_.Text();
  }
  std::string SheetPrefix() {
    IXLSWorkSheet* sheet = Any(sheets_);
    return sheet ? "'" + sheet->GetWorkSheetName() + "'!" : std::string();
  }
  std::string Definition() {
    switch (in_.Pick(5)) {
      case 0:
        return "=" + SheetPrefix() + CellText(in_) + ":" + CellText(in_);
      case 1:
        return "=" + std::to_string(in_.Number());
      case 2:
        return "=" + NameText() + "*2+" + NameText();
      case 3:
        return "=SUM(" + SheetPrefix() + CellText(in_) + ")";
      default:
        return in_.Text();
    }
  }
  std::string NameFormula() {
    return in_.Pick(2) ? "=SUM(" + NameText() + ")" : "=" + NameText() + "+" + CellText(in_);
  }

  // Fuzzed formula texts beside well-formed ones with relative, mixed and
  // absolute references, some far from the range's top-left cell.
  std::string ConditionFormula() {
    switch (in_.Pick(5)) {
      case 0:
        return in_.Text();
      case 1:
        return "=" + CellText(in_) + (in_.Pick(2) ? ">" : "<>") + "$" + CellText(in_);
      case 2:
        return "=AND(" + CellText(in_) + ">0,$A" + std::to_string(1 + in_.Word()) + "<" +
               CellText(in_) + ":" + CellText(in_) + ")";
      case 3:
        return "=" + in_.Text() + CellText(in_);
      default:
        return std::to_string(static_cast<int16_t>(in_.Word()));
    }
  }

  TXLSFormatCondition Condition() {
    TXLSFormatCondition condition;
    condition.Type = in_.Pick(8) ? (in_.Pick(2) ? xlCellValue : xlExpression) : in_.Pick(256) - 1;
    condition.Operator = in_.Pick(11) - 1;
    condition.Formula1 = ConditionFormula();
    condition.Formula2 = ConditionFormula();
    if (in_.Pick(2)) condition.FontColor = in_.Word() * 257u;
    if (in_.Pick(2)) condition.Bold = in_.Pick(2) == 1;
    if (in_.Pick(2)) condition.Italic = in_.Pick(2) == 1;
    if (in_.Pick(2)) condition.FillColor = in_.Word() * 65537u;
    if (in_.Pick(2)) condition.BorderColor = in_.Word() * 257u;
    return condition;
  }

  void FontStep(IXLSFont& font) {
    font.SetBold(in_.Pick(2) == 1);
    font.SetItalic(in_.Pick(2) == 1);
    font.SetSize(static_cast<float>(in_.Number()));
    font.SetColorIndex(in_.Word() % 70);
    font.SetUnderLine(in_.Pick(6));
    if (in_.Pick(4) == 0) font.SetName(in_.Text());
  }

  TInput& in_;
  TXLSWorkbook book_;
  // Declared after the workbook: released before it goes.
  std::vector<XLSPtr<IXLSWorkSheet>> sheets_;
  std::vector<XLSPtr<IXLSRange>> ranges_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TInput in(data, size);
  THarness(in).Run();
  return 0;
}
