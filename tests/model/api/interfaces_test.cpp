#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
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
  SLOT(bool, GetLocked, ())
  SLOT(void, SetLocked, (bool))
  SLOT(bool, GetFormulaHidden, ())
  SLOT(void, SetFormulaHidden, (bool))
  SLOT(int32_t, AutoFilter, ())
  SLOT(int32_t, AddComment, (const std::string&))
  SLOT(int32_t, AddComment, (const std::string&, const std::string&))
  SLOT(void, ClearComments, ())
  SLOT(int32_t, Group, ())
  SLOT(int32_t, Ungroup, ())
  SLOT(int32_t, SetShowDetail, (bool))
  SLOT(int32_t, AddValidation, (const TXLSValidation&))
  SLOT(void, DeleteValidation, ())
  SLOT(int32_t, AddFormatCondition, (const TXLSFormatCondition&))
  SLOT(void, DeleteFormatConditions, ())
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
  range.GetLocked();
  range.SetLocked(false);
  range.GetFormulaHidden();
  range.SetFormulaHidden(true);
  range.AutoFilter();
  range.AddComment("note");
  range.AddComment("note", "me");
  range.ClearComments();
  range.Group();
  range.Ungroup();
  range.SetShowDetail(false);
  range.AddValidation(TXLSValidation());
  range.DeleteValidation();
  range.AddFormatCondition(TXLSFormatCondition());
  range.DeleteFormatConditions();
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
                                   "GetFormula()",
                                   "GetLocked()",
                                   "SetLocked(bool)",
                                   "GetFormulaHidden()",
                                   "SetFormulaHidden(bool)",
                                   "AutoFilter()",
                                   "AddComment(const std::string&)",
                                   "AddComment(const std::string&, const std::string&)",
                                   "ClearComments()",
                                   "Group()",
                                   "Ungroup()",
                                   "SetShowDetail(bool)",
                                   "AddValidation(const TXLSValidation&)",
                                   "DeleteValidation()",
                                   "AddFormatCondition(const TXLSFormatCondition&)",
                                   "DeleteFormatConditions()"}));
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

// The slot each operation occupies in its interface's table of virtual
// functions, read from the member pointer as the Itanium C++ ABI (GCC and
// Clang on Linux) encodes it: one plus the byte offset of the slot. Slots 0
// to 2 are QueryInterface, _AddRef and _Release. A method moved, inserted or
// removed moves the slot of every method after it, which these lists catch
// even where a caller's call by name would still compile.
template <class M>
size_t SlotOf(M method) {
  static_assert(sizeof(M) == 2 * sizeof(void*), "Itanium member function pointer");
  struct {
    uintptr_t ptr;
    ptrdiff_t adjustment;
  } raw;
  std::memcpy(&raw, &method, sizeof raw);
  return raw.ptr & 1 ? (raw.ptr - 1) / sizeof(void*) : SIZE_MAX;  // SIZE_MAX: not virtual
}

#define TABULON_SLOT(I, R, Name, Params) SlotOf(static_cast<R(I::*) Params>(&I::Name))

// Slot k of an interface's list must be slot 3 + k of its table.
void ExpectSlotsInOrder(const char* name, const std::vector<size_t>& slots) {
  for (size_t k = 0; k < slots.size(); ++k) {
    EXPECT_EQ(slots[k], 3 + k) << name << ": operation " << k + 1 << " of the list";
  }
}

TEST(InterfaceSlots, UnknownSlotsComeFirst) {
  EXPECT_EQ(SlotOf(&IXLSUnknown::QueryInterface), 0u);
  EXPECT_EQ(SlotOf(&IXLSUnknown::_AddRef), 1u);
  EXPECT_EQ(SlotOf(&IXLSUnknown::_Release), 2u);
}

TEST(InterfaceSlots, EveryInterfaceByPosition) {
  ExpectSlotsInOrder(
      "IXLSRange",
      {
          TABULON_SLOT(IXLSRange, XLSPtr<IXLSRange>, GetItem, (uint16_t, uint16_t)),
          TABULON_SLOT(IXLSRange, void, SetValue, (const OleVariant&)),
          TABULON_SLOT(IXLSRange, OleVariant, GetValue, ()),
          TABULON_SLOT(IXLSRange, XLSPtr<IXLSRange>, GetEntireRow, ()),
          TABULON_SLOT(IXLSRange, XLSPtr<IXLSRange>, GetEntireColumn, ()),
          TABULON_SLOT(IXLSRange, XLSPtr<IXLSRange>, GetRows, ()),
          TABULON_SLOT(IXLSRange, XLSPtr<IXLSRange>, GetColumns, ()),
          TABULON_SLOT(IXLSRange, int32_t, GetRow, ()),
          TABULON_SLOT(IXLSRange, int32_t, GetColumn, ()),
          TABULON_SLOT(IXLSRange, int32_t, GetCount, ()),
          TABULON_SLOT(IXLSRange, XLSPtr<IXLSFont>, GetFont, ()),
          TABULON_SLOT(IXLSRange, XLSPtr<IXLSInterior>, GetInterior, ()),
          TABULON_SLOT(IXLSRange, OleVariant, GetColumnWidth, ()),
          TABULON_SLOT(IXLSRange, void, SetColumnWidth, (const OleVariant&)),
          TABULON_SLOT(IXLSRange, OleVariant, GetRowHeight, ()),
          TABULON_SLOT(IXLSRange, void, SetRowHeight, (const OleVariant&)),
          TABULON_SLOT(IXLSRange, OleVariant, GetHidden, ()),
          TABULON_SLOT(IXLSRange, void, SetHidden, (const OleVariant&)),
          TABULON_SLOT(IXLSRange, OleVariant, GetWrapText, ()),
          TABULON_SLOT(IXLSRange, void, SetWrapText, (const OleVariant&)),
          TABULON_SLOT(IXLSRange, XLSPtr<IXLSBorders>, GetBorders, ()),
          TABULON_SLOT(IXLSRange, std::string, GetNumFormat, ()),
          TABULON_SLOT(IXLSRange, void, SetNumFormat, (const std::string&)),
          TABULON_SLOT(IXLSRange, int32_t, GetHAlign, ()),
          TABULON_SLOT(IXLSRange, void, SetHAlign, (int32_t)),
          TABULON_SLOT(IXLSRange, int32_t, GetVAlign, ()),
          TABULON_SLOT(IXLSRange, void, SetVAlign, (int32_t)),
          TABULON_SLOT(IXLSRange, XLSPtr<IXLSRange>, GetCells, ()),
          TABULON_SLOT(IXLSRange, void, Merge, (const OleVariant&)),
          TABULON_SLOT(IXLSRange, void, Select, ()),
          TABULON_SLOT(IXLSRange, void, ClearContents, ()),
          TABULON_SLOT(IXLSRange, void, Clear, ()),
          TABULON_SLOT(IXLSRange, OleVariant, Insert, (const OleVariant&)),
          TABULON_SLOT(IXLSRange, OleVariant, Delete, (const OleVariant&)),
          TABULON_SLOT(IXLSRange, uint8_t, GetFirstCol, ()),
          TABULON_SLOT(IXLSRange, uint8_t, GetLastCol, ()),
          TABULON_SLOT(IXLSRange, uint16_t, GetFirstRow, ()),
          TABULON_SLOT(IXLSRange, uint16_t, GetLastRow, ()),
          TABULON_SLOT(IXLSRange, void, Unmerge, ()),
          TABULON_SLOT(IXLSRange, TXLSFormulaStatus, SetFormula, (const std::string&)),
          TABULON_SLOT(IXLSRange, std::string, GetFormula, ()),
          TABULON_SLOT(IXLSRange, bool, GetLocked, ()),
          TABULON_SLOT(IXLSRange, void, SetLocked, (bool)),
          TABULON_SLOT(IXLSRange, bool, GetFormulaHidden, ()),
          TABULON_SLOT(IXLSRange, void, SetFormulaHidden, (bool)),
          TABULON_SLOT(IXLSRange, int32_t, AutoFilter, ()),
          TABULON_SLOT(IXLSRange, int32_t, AddComment, (const std::string&)),
          TABULON_SLOT(IXLSRange, int32_t, AddComment, (const std::string&, const std::string&)),
          TABULON_SLOT(IXLSRange, void, ClearComments, ()),
          TABULON_SLOT(IXLSRange, int32_t, Group, ()),
          TABULON_SLOT(IXLSRange, int32_t, Ungroup, ()),
          TABULON_SLOT(IXLSRange, int32_t, SetShowDetail, (bool)),
          TABULON_SLOT(IXLSRange, int32_t, AddValidation, (const TXLSValidation&)),
          TABULON_SLOT(IXLSRange, void, DeleteValidation, ()),
          TABULON_SLOT(IXLSRange, int32_t, AddFormatCondition, (const TXLSFormatCondition&)),
          TABULON_SLOT(IXLSRange, void, DeleteFormatConditions, ()),
      });
  ExpectSlotsInOrder("IXLSFont", {
                                     TABULON_SLOT(IXLSFont, std::string, GetName, ()),
                                     TABULON_SLOT(IXLSFont, float, GetSize, ()),
                                     TABULON_SLOT(IXLSFont, uint16_t, GetColorIndex, ()),
                                     TABULON_SLOT(IXLSFont, TXLSColor, GetColor, ()),
                                     TABULON_SLOT(IXLSFont, bool, GetBold, ()),
                                     TABULON_SLOT(IXLSFont, bool, GetItalic, ()),
                                     TABULON_SLOT(IXLSFont, bool, GetStrikethrough, ()),
                                     TABULON_SLOT(IXLSFont, bool, GetOutLineFont, ()),
                                     TABULON_SLOT(IXLSFont, bool, GetShadow, ()),
                                     TABULON_SLOT(IXLSFont, int32_t, GetUnderLine, ()),
                                     TABULON_SLOT(IXLSFont, bool, GetSubScript, ()),
                                     TABULON_SLOT(IXLSFont, bool, GetSuperScript, ()),
                                     TABULON_SLOT(IXLSFont, void, SetSize, (float)),
                                     TABULON_SLOT(IXLSFont, void, SetColorIndex, (uint16_t)),
                                     TABULON_SLOT(IXLSFont, void, SetColor, (TXLSColor)),
                                     TABULON_SLOT(IXLSFont, void, SetBold, (bool)),
                                     TABULON_SLOT(IXLSFont, void, SetItalic, (bool)),
                                     TABULON_SLOT(IXLSFont, void, SetStrikethrough, (bool)),
                                     TABULON_SLOT(IXLSFont, void, SetOutLineFont, (bool)),
                                     TABULON_SLOT(IXLSFont, void, SetShadow, (bool)),
                                     TABULON_SLOT(IXLSFont, void, SetUnderLine, (int32_t)),
                                     TABULON_SLOT(IXLSFont, void, SetSubScript, (bool)),
                                     TABULON_SLOT(IXLSFont, void, SetSuperScript, (bool)),
                                     TABULON_SLOT(IXLSFont, void, SetName, (const std::string&)),
                                 });
  ExpectSlotsInOrder("IXLSInterior",
                     {
                         TABULON_SLOT(IXLSInterior, void, SetColor, (TXLSColor)),
                         TABULON_SLOT(IXLSInterior, TXLSColor, GetColor, ()),
                         TABULON_SLOT(IXLSInterior, void, SetPatternColor, (TXLSColor)),
                         TABULON_SLOT(IXLSInterior, TXLSColor, GetPatternColor, ()),
                         TABULON_SLOT(IXLSInterior, void, SetColorIndex, (int32_t)),
                         TABULON_SLOT(IXLSInterior, void, SetPatternColorIndex, (int32_t)),
                         TABULON_SLOT(IXLSInterior, void, SetPattern, (int32_t)),
                         TABULON_SLOT(IXLSInterior, int32_t, GetColorIndex, ()),
                         TABULON_SLOT(IXLSInterior, int32_t, GetPatternColorIndex, ()),
                         TABULON_SLOT(IXLSInterior, int32_t, GetPattern, ()),
                     });
  ExpectSlotsInOrder("IXLSBorder", {
                                       TABULON_SLOT(IXLSBorder, TXLSColor, GetColor, ()),
                                       TABULON_SLOT(IXLSBorder, int32_t, GetColorIndex, ()),
                                       TABULON_SLOT(IXLSBorder, int32_t, GetLineStyle, ()),
                                       TABULON_SLOT(IXLSBorder, void, SetColor, (TXLSColor)),
                                       TABULON_SLOT(IXLSBorder, void, SetColorIndex, (int32_t)),
                                       TABULON_SLOT(IXLSBorder, void, SetLineStyle, (int32_t)),
                                       TABULON_SLOT(IXLSBorder, int32_t, GetWeight, ()),
                                       TABULON_SLOT(IXLSBorder, void, SetWeight, (int32_t)),
                                   });
  ExpectSlotsInOrder("IXLSBorders",
                     {
                         TABULON_SLOT(IXLSBorders, TXLSColor, GetColor, ()),
                         TABULON_SLOT(IXLSBorders, int32_t, GetColorIndex, ()),
                         TABULON_SLOT(IXLSBorders, int32_t, GetLineStyle, ()),
                         TABULON_SLOT(IXLSBorders, void, SetColor, (TXLSColor)),
                         TABULON_SLOT(IXLSBorders, void, SetColorIndex, (int32_t)),
                         TABULON_SLOT(IXLSBorders, void, SetLineStyle, (int32_t)),
                         TABULON_SLOT(IXLSBorders, int32_t, GetWeight, ()),
                         TABULON_SLOT(IXLSBorders, void, SetWeight, (int32_t)),
                         TABULON_SLOT(IXLSBorders, XLSPtr<IXLSBorder>, GetBorder, (int32_t)),
                     });
  ExpectSlotsInOrder(
      "IXLSPageSetup",
      {
          TABULON_SLOT(IXLSPageSetup, int32_t, GetOrientation, ()),
          TABULON_SLOT(IXLSPageSetup, int32_t, GetPaperSize, ()),
          TABULON_SLOT(IXLSPageSetup, double, GetBottomMargin, ()),
          TABULON_SLOT(IXLSPageSetup, std::string, GetCenterFooter, ()),
          TABULON_SLOT(IXLSPageSetup, std::string, GetCenterHeader, ()),
          TABULON_SLOT(IXLSPageSetup, bool, GetCenterHorizontally, ()),
          TABULON_SLOT(IXLSPageSetup, bool, GetCenterVertically, ()),
          TABULON_SLOT(IXLSPageSetup, OleVariant, GetFitToPagesTall, ()),
          TABULON_SLOT(IXLSPageSetup, OleVariant, GetFitToPagesWide, ()),
          TABULON_SLOT(IXLSPageSetup, double, GetFooterMargin, ()),
          TABULON_SLOT(IXLSPageSetup, double, GetHeaderMargin, ()),
          TABULON_SLOT(IXLSPageSetup, std::string, GetLeftFooter, ()),
          TABULON_SLOT(IXLSPageSetup, std::string, GetLeftHeader, ()),
          TABULON_SLOT(IXLSPageSetup, double, GetLeftMargin, ()),
          TABULON_SLOT(IXLSPageSetup, std::string, FGetPrintArea, ()),
          TABULON_SLOT(IXLSPageSetup, bool, GetPrintGridlines, ()),
          TABULON_SLOT(IXLSPageSetup, bool, GetPrintHeadings, ()),
          TABULON_SLOT(IXLSPageSetup, std::string, GetPrintTitleColumns, ()),
          TABULON_SLOT(IXLSPageSetup, std::string, GetPrintTitleRows, ()),
          TABULON_SLOT(IXLSPageSetup, std::string, GetRightFooter, ()),
          TABULON_SLOT(IXLSPageSetup, std::string, GetRightHeader, ()),
          TABULON_SLOT(IXLSPageSetup, double, GetRightMargin, ()),
          TABULON_SLOT(IXLSPageSetup, double, GetTopMargin, ()),
          TABULON_SLOT(IXLSPageSetup, OleVariant, GetZoom, ()),
          TABULON_SLOT(IXLSPageSetup, void, SetOrientation, (int32_t)),
          TABULON_SLOT(IXLSPageSetup, void, SetPaperSize, (int32_t)),
          TABULON_SLOT(IXLSPageSetup, void, SetBottomMargin, (double)),
          TABULON_SLOT(IXLSPageSetup, void, SetCenterFooter, (const std::string&)),
          TABULON_SLOT(IXLSPageSetup, void, SetCenterHeader, (const std::string&)),
          TABULON_SLOT(IXLSPageSetup, void, SetCenterHorizontally, (bool)),
          TABULON_SLOT(IXLSPageSetup, void, SetCenterVertically, (bool)),
          TABULON_SLOT(IXLSPageSetup, void, SetFitToPagesTall, (const OleVariant&)),
          TABULON_SLOT(IXLSPageSetup, void, SetFitToPagesWide, (const OleVariant&)),
          TABULON_SLOT(IXLSPageSetup, void, SetFooterMargin, (double)),
          TABULON_SLOT(IXLSPageSetup, void, SetHeaderMargin, (double)),
          TABULON_SLOT(IXLSPageSetup, void, SetLeftFooter, (const std::string&)),
          TABULON_SLOT(IXLSPageSetup, void, SetLeftHeader, (const std::string&)),
          TABULON_SLOT(IXLSPageSetup, void, SetLeftMargin, (double)),
          TABULON_SLOT(IXLSPageSetup, void, FSetPrintArea, (const std::string&)),
          TABULON_SLOT(IXLSPageSetup, void, SetPrintGridlines, (bool)),
          TABULON_SLOT(IXLSPageSetup, void, SetPrintHeadings, (bool)),
          TABULON_SLOT(IXLSPageSetup, void, SetPrintTitleColumns, (const std::string&)),
          TABULON_SLOT(IXLSPageSetup, void, SetPrintTitleRows, (const std::string&)),
          TABULON_SLOT(IXLSPageSetup, void, SetRightFooter, (const std::string&)),
          TABULON_SLOT(IXLSPageSetup, void, SetRightHeader, (const std::string&)),
          TABULON_SLOT(IXLSPageSetup, void, SetRightMargin, (double)),
          TABULON_SLOT(IXLSPageSetup, void, SetTopMargin, (double)),
          TABULON_SLOT(IXLSPageSetup, void, SetZoom, (const OleVariant&)),
          TABULON_SLOT(IXLSPageSetup, void, SetPrintArea, (uint16_t, uint16_t, uint16_t, uint16_t)),
      });
  ExpectSlotsInOrder("IXLSWorkSheets",
                     {
                         TABULON_SLOT(IXLSWorkSheets, XLSPtr<IXLSWorkSheet>, Get, (int32_t)),
                         TABULON_SLOT(IXLSWorkSheets, int32_t, GetCount, ()),
                         TABULON_SLOT(IXLSWorkSheets, XLSPtr<IXLSWorkSheet>, Add, ()),
                         TABULON_SLOT(IXLSWorkSheets, XLSPtr<IXLSWorkSheet>, Add,
                                      (IXLSWorkSheet*, IXLSWorkSheet*, int32_t, const OleVariant&)),
                     });
  ExpectSlotsInOrder(
      "IXLSWorkSheet",
      {
          TABULON_SLOT(IXLSWorkSheet, XLSPtr<IXLSRange>, GetCells, ()),
          TABULON_SLOT(IXLSWorkSheet, XLSPtr<IXLSRange>, GetSelection, ()),
          TABULON_SLOT(IXLSWorkSheet, XLSPtr<IXLSPageSetup>, GetPageSetup, ()),
          TABULON_SLOT(IXLSWorkSheet, XLSPtr<IXLSRange>, FGetRange,
                       (const std::string&, const std::string&)),
          TABULON_SLOT(IXLSWorkSheet, XLSPtr<IXLSRange>, GetUsedRange, ()),
          TABULON_SLOT(IXLSWorkSheet, std::string, GetWorkSheetName, ()),
          TABULON_SLOT(IXLSWorkSheet, void, SetWorkSheetName, (const std::string&)),
          TABULON_SLOT(IXLSWorkSheet, uint16_t, GetIndex, ()),
          TABULON_SLOT(IXLSWorkSheet, XLSPtr<IXLSWorkSheet>, GetNextWorkSheet, ()),
          TABULON_SLOT(IXLSWorkSheet, XLSPtr<IXLSWorkSheet>, GetPreviousWorkSheet, ()),
          TABULON_SLOT(IXLSWorkSheet, TXLSHPageBreaks*, GetHPageBreaks, ()),
          TABULON_SLOT(IXLSWorkSheet, TXLSVPageBreaks*, GetVPageBreaks, ()),
          TABULON_SLOT(IXLSWorkSheet, bool, GetDisplayGridLines, ()),
          TABULON_SLOT(IXLSWorkSheet, void, SetDisplayGridLines, (bool)),
          TABULON_SLOT(IXLSWorkSheet, void, Delete, ()),
          TABULON_SLOT(IXLSWorkSheet, void, Delete, (int32_t)),
          TABULON_SLOT(IXLSWorkSheet, void, Move, (IXLSWorkSheet*, IXLSWorkSheet*, int32_t)),
          TABULON_SLOT(IXLSWorkSheet, void, Move, (IXLSWorkSheet*, IXLSWorkSheet*)),
          TABULON_SLOT(IXLSWorkSheet, void, Move, (IXLSWorkSheet*)),
          TABULON_SLOT(IXLSWorkSheet, void, Select, ()),
          TABULON_SLOT(IXLSWorkSheet, void, Select, (bool)),
          TABULON_SLOT(IXLSWorkSheet, void, Select, (bool, int32_t)),
          TABULON_SLOT(IXLSWorkSheet, void, ResetAllPageBreaks, ()),
          TABULON_SLOT(IXLSWorkSheet, void, Activate, ()),
          TABULON_SLOT(IXLSWorkSheet, int32_t, SetFirstSheet, ()),
          TABULON_SLOT(IXLSWorkSheet, int32_t, ThawPanes, (float, float, uint16_t, uint16_t)),
          TABULON_SLOT(IXLSWorkSheet, int32_t, FreezePanes,
                       (uint16_t, uint16_t, uint16_t, uint16_t)),
          TABULON_SLOT(IXLSWorkSheet, int32_t, RepeatRows, (uint16_t, uint16_t)),
          TABULON_SLOT(IXLSWorkSheet, int32_t, RepeatColumns, (uint16_t, uint16_t)),
          TABULON_SLOT(IXLSWorkSheet, int32_t, SetZoom, (uint16_t)),
          TABULON_SLOT(IXLSWorkSheet, int32_t, InsertBitmap,
                       (uint16_t, uint16_t, const std::string&, uint16_t, uint16_t, float, float)),
          TABULON_SLOT(IXLSWorkSheet, int32_t, InsertBitmap,
                       (uint16_t, uint16_t, const std::string&)),
          TABULON_SLOT(IXLSWorkSheet, int32_t, InsertBitmap,
                       (uint16_t, uint16_t, const std::string&, uint16_t, uint16_t)),
          TABULON_SLOT(IXLSWorkSheet, void, Protect, ()),
          TABULON_SLOT(IXLSWorkSheet, void, Protect, (const std::string&)),
          TABULON_SLOT(IXLSWorkSheet, void, UnProtect, ()),
          TABULON_SLOT(IXLSWorkSheet, void, UnProtect, (const std::string&)),
          TABULON_SLOT(IXLSWorkSheet, void, UnProtect, (const std::string&, int32_t)),
          TABULON_SLOT(IXLSWorkSheet, std::string, GetLastError, ()),
          TABULON_SLOT(IXLSWorkSheet, int32_t, SetNumbers,
                       (uint16_t, uint16_t, const double*, size_t, TXLSRunDirection)),
          TABULON_SLOT(IXLSWorkSheet, int32_t, SetDates,
                       (uint16_t, uint16_t, const double*, size_t, TXLSRunDirection)),
          TABULON_SLOT(IXLSWorkSheet, int32_t, SetTexts,
                       (uint16_t, uint16_t, const std::string_view*, size_t, TXLSRunDirection)),
          TABULON_SLOT(IXLSWorkSheet, int32_t, SetBooleans,
                       (uint16_t, uint16_t, const uint8_t*, size_t, TXLSRunDirection)),
          TABULON_SLOT(IXLSWorkSheet, int32_t, AddName, (const std::string&, const std::string&)),
          TABULON_SLOT(IXLSWorkSheet, int32_t, AddHyperlink,
                       (IXLSRange*, const std::string&, const std::string&)),
          TABULON_SLOT(IXLSWorkSheet, int32_t, SetOutlineSummary, (int32_t, int32_t)),
      });
  ExpectSlotsInOrder(
      "IXLSWorkBook",
      {
          TABULON_SLOT(IXLSWorkBook, TXLSColor, GetCustomColor2, (int32_t, int32_t)),
          TABULON_SLOT(IXLSWorkBook, void, SetCustomColor, (int32_t, int32_t, TXLSColor)),
          TABULON_SLOT(IXLSWorkBook, XLSPtr<IXLSWorkSheets>, GetWorksheets, ()),
          TABULON_SLOT(IXLSWorkBook, XLSPtr<IXLSWorkSheet>, GetActiveSheet, ()),
          TABULON_SLOT(IXLSWorkBook, int32_t, Close, ()),
          TABULON_SLOT(IXLSWorkBook, int32_t, ResetColors, ()),
          TABULON_SLOT(IXLSWorkBook, void, Protect, ()),
          TABULON_SLOT(IXLSWorkBook, void, Protect, (const std::string&)),
          TABULON_SLOT(IXLSWorkBook, void, UnProtect, ()),
          TABULON_SLOT(IXLSWorkBook, void, UnProtect, (const std::string&)),
          TABULON_SLOT(IXLSWorkBook, void, UnProtect, (const std::string&, int32_t)),
          TABULON_SLOT(IXLSWorkBook, int32_t, SaveAs, (const std::string&)),
      });
}

#undef TABULON_SLOT

}  // namespace
}  // namespace tabulon
