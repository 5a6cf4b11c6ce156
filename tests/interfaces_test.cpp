#include <gtest/gtest.h>

#include <string>
#include <type_traits>
#include <vector>

#include "Tabulon.h"

namespace tabulon {
namespace {

// An interface is only ever used through references: it cannot be created,
// copied, assigned or destroyed through itself.
template <class I>
constexpr bool kSealedInterface =
    std::is_base_of<IXLSUnknown, I>::value&& std::is_abstract<I>::value &&
    !std::is_destructible<I>::value && !std::is_copy_constructible<I>::value &&
    !std::is_copy_assignable<I>::value;

static_assert(kSealedInterface<IXLSWorkBook>, "IXLSWorkBook");
static_assert(kSealedInterface<IXLSWorkSheets>, "IXLSWorkSheets");
static_assert(kSealedInterface<IXLSWorkSheet>, "IXLSWorkSheet");
static_assert(kSealedInterface<IXLSRange>, "IXLSRange");
static_assert(kSealedInterface<IXLSFont>, "IXLSFont");
static_assert(kSealedInterface<IXLSInterior>, "IXLSInterior");
static_assert(kSealedInterface<IXLSBorders>, "IXLSBorders");
static_assert(kSealedInterface<IXLSBorder>, "IXLSBorder");
static_assert(kSealedInterface<IXLSPageSetup>, "IXLSPageSetup");

// Records each call by its signature and answers a default value.
template <class I>
class TRecorder : public XLSImplements<I> {
 public:
  TRecorder() : XLSImplements<I>(false) {}
  std::vector<std::string> calls;

 protected:
  template <class R>
  R Record(const char* signature) {
    calls.push_back(signature);
    return R();
  }
};

#define SLOT(R, Name, Params)        \
  R Name Params override {           \
    return Record<R>(#Name #Params); \
  }

class TRangeRecorder : public TRecorder<IXLSRange> {
  SLOT(XLSPtr<IXLSRange>, GetItem, (uint16_t, uint16_t))
  SLOT(void, SetValue, (const OleVariant&))
  SLOT(OleVariant, GetValue, ())
  SLOT(XLSPtr<IXLSRange>, GetEntireRow, ())
  SLOT(XLSPtr<IXLSRange>, GetEntireColumn, ())
  SLOT(XLSPtr<IXLSRange>, GetRows, ())
  SLOT(XLSPtr<IXLSRange>, GetColumns, ())
  SLOT(int32_t, GetRow, ())
  SLOT(int32_t, GetColumn, ())
  SLOT(int32_t, GetCount, ())
  SLOT(XLSPtr<IXLSFont>, GetFont, ())
  SLOT(XLSPtr<IXLSInterior>, GetInterior, ())
  SLOT(OleVariant, GetColumnWidth, ())
  SLOT(void, SetColumnWidth, (const OleVariant&))
  SLOT(OleVariant, GetRowHeight, ())
  SLOT(void, SetRowHeight, (const OleVariant&))
  SLOT(OleVariant, GetHidden, ())
  SLOT(void, SetHidden, (const OleVariant&))
  SLOT(OleVariant, GetWrapText, ())
  SLOT(void, SetWrapText, (const OleVariant&))
  SLOT(XLSPtr<IXLSBorders>, GetBorders, ())
  SLOT(std::string, GetNumFormat, ())
  SLOT(void, SetNumFormat, (const std::string&))
  SLOT(int32_t, GetHAlign, ())
  SLOT(void, SetHAlign, (int32_t))
  SLOT(int32_t, GetVAlign, ())
  SLOT(void, SetVAlign, (int32_t))
  SLOT(XLSPtr<IXLSRange>, GetCells, ())
  SLOT(void, Merge, (const OleVariant&))
  SLOT(void, Select, ())
  SLOT(void, ClearContents, ())
  SLOT(void, Clear, ())
  SLOT(OleVariant, Insert, (const OleVariant&))
  SLOT(OleVariant, Delete, (const OleVariant&))
  SLOT(uint8_t, GetFirstCol, ())
  SLOT(uint8_t, GetLastCol, ())
  SLOT(uint16_t, GetFirstRow, ())
  SLOT(uint16_t, GetLastRow, ())
  SLOT(void, Unmerge, ())
  SLOT(TXLSFormulaStatus, SetFormula, (const std::string&))
  SLOT(std::string, GetFormula, ())
};

class TFontRecorder : public TRecorder<IXLSFont> {
  SLOT(std::string, GetName, ())
  SLOT(float, GetSize, ())
  SLOT(uint16_t, GetColorIndex, ())
  SLOT(TXLSColor, GetColor, ())
  SLOT(bool, GetBold, ())
  SLOT(bool, GetItalic, ())
  SLOT(bool, GetStrikethrough, ())
  SLOT(bool, GetOutLineFont, ())
  SLOT(bool, GetShadow, ())
  SLOT(int32_t, GetUnderLine, ())
  SLOT(bool, GetSubScript, ())
  SLOT(bool, GetSuperScript, ())
  SLOT(void, SetSize, (float))
  SLOT(void, SetColorIndex, (uint16_t))
  SLOT(void, SetColor, (TXLSColor))
  SLOT(void, SetBold, (bool))
  SLOT(void, SetItalic, (bool))
  SLOT(void, SetStrikethrough, (bool))
  SLOT(void, SetOutLineFont, (bool))
  SLOT(void, SetShadow, (bool))
  SLOT(void, SetUnderLine, (int32_t))
  SLOT(void, SetSubScript, (bool))
  SLOT(void, SetSuperScript, (bool))
  SLOT(void, SetName, (const std::string&))
};

class TBordersRecorder : public TRecorder<IXLSBorders> {
  SLOT(TXLSColor, GetColor, ())
  SLOT(int32_t, GetColorIndex, ())
  SLOT(int32_t, GetLineStyle, ())
  SLOT(void, SetColor, (TXLSColor))
  SLOT(void, SetColorIndex, (int32_t))
  SLOT(void, SetLineStyle, (int32_t))
  SLOT(int32_t, GetWeight, ())
  SLOT(void, SetWeight, (int32_t))
  SLOT(XLSPtr<IXLSBorder>, GetBorder, (int32_t))
};

class TWorkBookRecorder : public TRecorder<IXLSWorkBook> {
  SLOT(TXLSColor, GetCustomColor2, (int32_t, int32_t))
  SLOT(void, SetCustomColor, (int32_t, int32_t, TXLSColor))
  SLOT(XLSPtr<IXLSWorkSheets>, GetWorksheets, ())
  SLOT(XLSPtr<IXLSWorkSheet>, GetActiveSheet, ())
  SLOT(int32_t, Close, ())
  SLOT(int32_t, ResetColors, ())
  SLOT(void, Protect, ())
  SLOT(void, Protect, (const std::string&))
  SLOT(void, UnProtect, ())
  SLOT(void, UnProtect, (const std::string&))
  SLOT(void, UnProtect, (const std::string&, int32_t))
  SLOT(int32_t, SaveAs, (const std::string&))
};

#undef SLOT

using Calls = std::vector<std::string>;

// Each test calls every operation through the interface in slot order; the
// recorded signatures must come back in that order.
TEST(InterfaceOperations, RangeInSlotOrder) {
  TRangeRecorder recorder;
  IXLSRange& range = recorder;
  const OleVariant value;
  range.GetItem(1, 1);
  range.SetValue(value);
  range.GetValue();
  range.GetEntireRow();
  range.GetEntireColumn();
  range.GetRows();
  range.GetColumns();
  range.GetRow();
  range.GetColumn();
  range.GetCount();
  range.GetFont();
  range.GetInterior();
  range.GetColumnWidth();
  range.SetColumnWidth(value);
  range.GetRowHeight();
  range.SetRowHeight(value);
  range.GetHidden();
  range.SetHidden(value);
  range.GetWrapText();
  range.SetWrapText(value);
  range.GetBorders();
  range.GetNumFormat();
  range.SetNumFormat("0.00");
  range.GetHAlign();
  range.SetHAlign(xlHAlignCenter);
  range.GetVAlign();
  range.SetVAlign(xlVAlignTop);
  range.GetCells();
  range.Merge(value);
  range.Select();
  range.ClearContents();
  range.Clear();
  range.Insert(value);
  range.Delete(value);
  range.GetFirstCol();
  range.GetLastCol();
  range.GetFirstRow();
  range.GetLastRow();
  range.Unmerge();
  range.SetFormula("=1");
  range.GetFormula();
  EXPECT_EQ(recorder.calls, (Calls{"GetItem(uint16_t, uint16_t)",
                                   "SetValue(const OleVariant&)",
                                   "GetValue()",
                                   "GetEntireRow()",
                                   "GetEntireColumn()",
                                   "GetRows()",
                                   "GetColumns()",
                                   "GetRow()",
                                   "GetColumn()",
                                   "GetCount()",
                                   "GetFont()",
                                   "GetInterior()",
                                   "GetColumnWidth()",
                                   "SetColumnWidth(const OleVariant&)",
                                   "GetRowHeight()",
                                   "SetRowHeight(const OleVariant&)",
                                   "GetHidden()",
                                   "SetHidden(const OleVariant&)",
                                   "GetWrapText()",
                                   "SetWrapText(const OleVariant&)",
                                   "GetBorders()",
                                   "GetNumFormat()",
                                   "SetNumFormat(const std::string&)",
                                   "GetHAlign()",
                                   "SetHAlign(int32_t)",
                                   "GetVAlign()",
                                   "SetVAlign(int32_t)",
                                   "GetCells()",
                                   "Merge(const OleVariant&)",
                                   "Select()",
                                   "ClearContents()",
                                   "Clear()",
                                   "Insert(const OleVariant&)",
                                   "Delete(const OleVariant&)",
                                   "GetFirstCol()",
                                   "GetLastCol()",
                                   "GetFirstRow()",
                                   "GetLastRow()",
                                   "Unmerge()",
                                   "SetFormula(const std::string&)",
                                   "GetFormula()"}));
}

TEST(InterfaceOperations, FontGettersThenSettersInSlotOrder) {
  TFontRecorder recorder;
  IXLSFont& font = recorder;
  font.GetName();
  font.GetSize();
  font.GetColorIndex();
  font.GetColor();
  font.GetBold();
  font.GetItalic();
  font.GetStrikethrough();
  font.GetOutLineFont();
  font.GetShadow();
  font.GetUnderLine();
  font.GetSubScript();
  font.GetSuperScript();
  font.SetSize(10.0f);
  font.SetColorIndex(3);
  font.SetColor(0x0000FF);
  font.SetBold(true);
  font.SetItalic(true);
  font.SetStrikethrough(true);
  font.SetOutLineFont(true);
  font.SetShadow(true);
  font.SetUnderLine(xlUnderlineStyleDouble);
  font.SetSubScript(true);
  font.SetSuperScript(false);
  font.SetName("Arial");
  EXPECT_EQ(recorder.calls, (Calls{"GetName()",
                                   "GetSize()",
                                   "GetColorIndex()",
                                   "GetColor()",
                                   "GetBold()",
                                   "GetItalic()",
                                   "GetStrikethrough()",
                                   "GetOutLineFont()",
                                   "GetShadow()",
                                   "GetUnderLine()",
                                   "GetSubScript()",
                                   "GetSuperScript()",
                                   "SetSize(float)",
                                   "SetColorIndex(uint16_t)",
                                   "SetColor(TXLSColor)",
                                   "SetBold(bool)",
                                   "SetItalic(bool)",
                                   "SetStrikethrough(bool)",
                                   "SetOutLineFont(bool)",
                                   "SetShadow(bool)",
                                   "SetUnderLine(int32_t)",
                                   "SetSubScript(bool)",
                                   "SetSuperScript(bool)",
                                   "SetName(const std::string&)"}));
}

TEST(InterfaceOperations, BordersInSlotOrder) {
  TBordersRecorder recorder;
  IXLSBorders& borders = recorder;
  borders.GetColor();
  borders.GetColorIndex();
  borders.GetLineStyle();
  borders.SetColor(0);
  borders.SetColorIndex(xlColorIndexAutomatic);
  borders.SetLineStyle(xlContinuous);
  borders.GetWeight();
  borders.SetWeight(xlMedium);
  EXPECT_FALSE(borders.GetBorder(xlEdgeLeft));
  EXPECT_EQ(recorder.calls,
            (Calls{"GetColor()", "GetColorIndex()", "GetLineStyle()", "SetColor(TXLSColor)",
                   "SetColorIndex(int32_t)", "SetLineStyle(int32_t)", "GetWeight()",
                   "SetWeight(int32_t)", "GetBorder(int32_t)"}));
}

TEST(InterfaceOperations, WorkBookOverloadsKeepTheirSlots) {
  TWorkBookRecorder recorder;
  IXLSWorkBook& book = recorder;
  book.GetCustomColor2(5, 0);
  book.SetCustomColor(5, 0, 0x123456);
  book.GetWorksheets();
  book.GetActiveSheet();
  book.Close();
  book.ResetColors();
  book.Protect();
  book.Protect("secret");
  book.UnProtect();
  book.UnProtect("secret");
  book.UnProtect("secret", 0);
  book.SaveAs("book.xls");
  EXPECT_EQ(
      recorder.calls,
      (Calls{"GetCustomColor2(int32_t, int32_t)", "SetCustomColor(int32_t, int32_t, TXLSColor)",
             "GetWorksheets()", "GetActiveSheet()", "Close()", "ResetColors()", "Protect()",
             "Protect(const std::string&)", "UnProtect()", "UnProtect(const std::string&)",
             "UnProtect(const std::string&, int32_t)", "SaveAs(const std::string&)"}));
}

}  // namespace
}  // namespace tabulon
