// Compiled against an installed Tabulon with the umbrella header alone: calls
// every method of the nine interfaces once, and the features the README
// shows beside them (page breaks, protection, sheets by index, the picture
// refusal reason, UTF-8 conversion, cell references, the workbook's names).
// A method that is only declared, or a type that stays incomplete, fails the
// build here.
// Usage: app OUTPUT.xls. Prints "C7 2 3 ok" when everything answered as expected.
#include <tabulon/Tabulon.h>

#include <iostream>

using namespace tabulon;

namespace {

int failures = 0;

void Expect(bool condition, const char* what) {
  if (!condition) {
    std::cerr << "unexpected: " << what << '\n';
    ++failures;
  }
}

void UseRange(IXLSWorkSheet& sheet) {
  XLSPtr<IXLSRange> range = sheet.FGetRange("B2", "D4");
  range->SetValue(VarArrayOf({1, 2.5, "three"}));
  Expect(VarIsArray(range->GetValue()), "GetValue of a block");
  Expect(range->GetItem(1, 1)->GetFirstRow() == 1, "GetItem");
  Expect(range->GetEntireRow()->GetLastCol() == XLSMaxCol, "GetEntireRow");
  Expect(range->GetEntireColumn()->GetLastRow() == XLSMaxRow, "GetEntireColumn");
  Expect(range->GetRows() && range->GetColumns() && range->GetCells(),
         "GetRows/GetColumns/GetCells");
  Expect(range->GetRow() == 2 && range->GetColumn() == 2 && range->GetCount() == 9,
         "GetRow/GetColumn/GetCount");
  range->SetColumnWidth(12.5);
  range->GetColumnWidth();
  range->SetRowHeight(18);
  range->GetRowHeight();
  range->SetHidden(false);
  range->GetHidden();
  range->SetWrapText(true);
  range->GetWrapText();
  range->SetNumFormat("0.00");
  Expect(range->GetNumFormat() == "0.00", "GetNumFormat");
  range->SetHAlign(xlHAlignCenter);
  range->SetVAlign(xlVAlignTop);
  Expect(range->GetHAlign() == xlHAlignCenter && range->GetVAlign() == xlVAlignTop, "alignment");
  range->Select();
  Expect(range->GetFirstCol() == 1 && range->GetLastCol() == 3, "GetFirstCol/GetLastCol");

  XLSPtr<IXLSRange> scratch = sheet.FGetRange("F1", "G2");
  scratch->Merge(false);
  scratch->Unmerge();
  scratch->ClearContents();
  scratch->Clear();
  scratch->Insert(xlShiftDown);
  scratch->Delete(xlShiftUp);
}

void UseFont(IXLSRange& range) {
  XLSPtr<IXLSFont> font = range.GetFont();
  font->SetName("Arial");
  font->SetSize(11);
  font->SetColorIndex(3);
  font->SetColor(0x000080);
  font->SetBold(true);
  font->SetItalic(true);
  font->SetStrikethrough(false);
  font->SetOutLineFont(false);
  font->SetShadow(false);
  font->SetUnderLine(xlUnderlineStyleSingle);
  font->SetSubScript(false);
  font->SetSuperScript(false);
  Expect(font->GetName() == "Arial" && font->GetSize() == 11 && font->GetBold(), "font getters");
  font->GetColorIndex();
  font->GetColor();
  font->GetItalic();
  font->GetStrikethrough();
  font->GetOutLineFont();
  font->GetShadow();
  font->GetUnderLine();
  font->GetSubScript();
  font->GetSuperScript();
}

void UseInterior(IXLSRange& range) {
  XLSPtr<IXLSInterior> interior = range.GetInterior();
  interior->SetColor(0x00FFFF);
  interior->SetPatternColor(0xFF0000);
  interior->SetColorIndex(6);
  interior->SetPatternColorIndex(5);
  interior->SetPattern(xlPatternSolid);
  Expect(interior->GetColorIndex() == 6 && interior->GetPattern() == xlPatternSolid, "interior");
  interior->GetColor();
  interior->GetPatternColor();
  interior->GetPatternColorIndex();
}

void UseBorders(IXLSRange& range) {
  XLSPtr<IXLSBorders> borders = range.GetBorders();
  borders->SetLineStyle(xlContinuous);
  borders->SetWeight(xlThin);
  borders->SetColor(0x808080);
  borders->SetColorIndex(16);
  borders->GetColor();
  borders->GetColorIndex();
  borders->GetLineStyle();
  borders->GetWeight();
  XLSPtr<IXLSBorder> top = borders->GetBorder(xlEdgeTop);
  top->SetWeight(xlMedium);
  Expect(top->GetWeight() == xlMedium, "border weight");
}

void UsePageSetup(IXLSWorkSheet& sheet) {
  XLSPtr<IXLSPageSetup> setup = sheet.GetPageSetup();
  setup->SetOrientation(2);
  setup->SetPaperSize(9);
  setup->SetBottomMargin(1);
  setup->SetTopMargin(1);
  setup->SetLeftMargin(0.75);
  setup->SetRightMargin(0.75);
  setup->SetHeaderMargin(0.5);
  setup->SetFooterMargin(0.5);
  setup->SetLeftHeader("left");
  setup->SetCenterHeader("centre");
  setup->SetRightHeader("right");
  setup->SetLeftFooter("left");
  setup->SetCenterFooter("&P");
  setup->SetRightFooter("right");
  setup->SetCenterHorizontally(true);
  setup->SetCenterVertically(false);
  setup->SetFitToPagesTall(false);
  setup->SetFitToPagesWide(1);
  setup->FSetPrintArea("A1:D10");
  setup->SetPrintArea(0, 0, 9, 3);
  setup->SetPrintGridlines(false);
  setup->SetPrintHeadings(false);
  setup->SetPrintTitleRows("$1:$1");
  setup->SetPrintTitleColumns("$A:$A");
  setup->SetZoom(90);
  Expect(setup->GetOrientation() == 2 && setup->GetPaperSize() == 9, "orientation and paper");
  Expect(setup->GetCenterFooter() == "&P" && setup->GetPrintTitleRows() == "$1:$1", "page texts");
  setup->GetBottomMargin();
  setup->GetTopMargin();
  setup->GetLeftMargin();
  setup->GetRightMargin();
  setup->GetHeaderMargin();
  setup->GetFooterMargin();
  setup->GetLeftHeader();
  setup->GetCenterHeader();
  setup->GetRightHeader();
  setup->GetLeftFooter();
  setup->GetRightFooter();
  setup->GetCenterHorizontally();
  setup->GetCenterVertically();
  setup->GetFitToPagesTall();
  setup->GetFitToPagesWide();
  setup->FGetPrintArea();
  setup->GetPrintGridlines();
  setup->GetPrintHeadings();
  setup->GetPrintTitleColumns();
  setup->GetZoom();
}

void UseSheet(IXLSWorkSheets& sheets, const XLSPtr<IXLSWorkSheet>& sheet) {
  sheet->SetWorkSheetName("Every method");
  Expect(sheet->GetWorkSheetName() == "Every method" && sheet->GetIndex() == 1,
         "sheet name and index");
  Expect(sheet->GetCells() && sheet->GetSelection() && sheet->GetUsedRange(), "sheet ranges");
  XLSPtr<IXLSWorkSheet> second = sheets.Add(nullptr, sheet, 1, OleVariant::Missing());
  Expect(sheet->GetNextWorkSheet() == second && second->GetPreviousWorkSheet() == sheet,
         "next/previous");

  sheet->GetHPageBreaks()->Add(sheet->FGetRange("A20", "A20"));
  sheet->GetVPageBreaks()->Add(sheet->FGetRange("E1", "E1"));
  Expect(sheet->GetHPageBreaks()->GetCount() == 1, "page break added");
  sheet->ResetAllPageBreaks();
  sheet->GetHPageBreaks()->Add(sheet->FGetRange("A20", "A20"));

  sheet->SetDisplayGridLines(false);
  Expect(!sheet->GetDisplayGridLines(), "grid lines");
  second->Move(sheet);
  second->Move(nullptr, sheet);
  second->Move(nullptr, sheet.get(), 0);
  second->Move(sheet.get(), nullptr);
  second->Move(nullptr, sheet.get());
  sheet->Select();
  sheet->Select(false);
  sheet->Select(true, 0);
  sheet->Activate();
  Expect(sheet->SetFirstSheet() == 1, "SetFirstSheet");
  Expect(sheet->ThawPanes(0, 0, 0, 0) == 1, "ThawPanes");
  Expect(sheet->FreezePanes(1, 0, 1, 0) == 1, "FreezePanes");
  sheet->RepeatRows(1, 1);
  sheet->RepeatColumns(1, 1);
  Expect(sheet->SetZoom(120) == 1, "SetZoom");
  Expect(sheet->InsertBitmap(0, 0, "missing.bmp") == -1, "InsertBitmap refuses a missing file");
  Expect(!sheet->GetLastError().empty(), "the refusal reason");
  const double numbers[] = {1.5, 2.5};
  const std::string_view texts[] = {"a", "b"};
  const uint8_t booleans[] = {1, 0};
  Expect(sheet->SetNumbers(10, 0, numbers, 2, xlRunDown) == 1, "SetNumbers");
  Expect(sheet->SetDates(10, 1, numbers, 2, xlRunDown) == 1, "SetDates");
  Expect(sheet->SetTexts(12, 0, texts, 2, xlRunRight) == 1, "SetTexts");
  Expect(sheet->SetBooleans(13, 0, booleans, 2, xlRunRight) == 1, "SetBooleans");
  sheet->InsertBitmap(0, 0, "missing.bmp", 2, 2);
  sheet->InsertBitmap(0, 0, "missing.bmp", 2, 2, 1.0f, 1.0f);
  sheet->Protect();
  sheet->UnProtect();
  sheet->Protect("secret");
  sheet->UnProtect("secret", 0);
  sheet->UnProtect("secret");
}

// The report features: protection formats, filters, notes, outline groups
// and names work in both formats; links, validations and conditional formats
// need BIFF8, so this BIFF5 workbook refuses them.
void UseReportFeatures(TXLSWorkbook& workbook, IXLSWorkSheet& sheet) {
  XLSPtr<IXLSRange> inputs = sheet.FGetRange("B20", "B22");
  inputs->SetLocked(false);
  inputs->SetFormulaHidden(true);
  Expect(!inputs->GetLocked() && inputs->GetFormulaHidden(), "SetLocked/SetFormulaHidden");
  Expect(sheet.FGetRange("A19", "C22")->AutoFilter() == 1, "AutoFilter");
  Expect(inputs->AddComment("checked") == 1 && inputs->AddComment("by", "Ann") == 1, "AddComment");
  inputs->ClearComments();
  XLSPtr<IXLSRange> rows = inputs->GetEntireRow();
  Expect(sheet.SetOutlineSummary(xlSummaryBelow, xlSummaryOnRight) == 1, "SetOutlineSummary");
  Expect(rows->Group() == 1 && rows->SetShowDetail(false) == 1 && rows->Ungroup() == 1,
         "Group/SetShowDetail/Ungroup");
  const std::string inputsArea = "='" + sheet.GetWorkSheetName() + "'!$B$20:$B$22";
  Expect(workbook.AddName("Inputs", inputsArea) == 1, "TXLSWorkbook::AddName");
  Expect(sheet.AddName("Rate", "=0.5") == 1, "AddName");
  Expect(sheet.FGetRange("C20", "C20")->SetFormula("=SUM(Inputs)*Rate").Code == 1,
         "a formula of names");
  Expect(sheet.AddHyperlink(inputs, "https://example.com", "site") == -1, "AddHyperlink");
  Expect(inputs->AddValidation(TXLSValidation()) == -1, "AddValidation");
  inputs->DeleteValidation();
  Expect(inputs->AddFormatCondition(TXLSFormatCondition()) == -1, "AddFormatCondition");
  inputs->DeleteFormatConditions();
}

// A deleted sheet leaves the workbook at once; the reference held to it stays
// valid until it is released.
void DeleteSheets(IXLSWorkSheets& sheets) {
  sheets.Add()->Delete();
  sheets.Add()->Delete(0);
  Expect(sheets.GetCount() == 2, "Delete");
}

void UseWorkbook(TXLSWorkbook& workbook) {
  XLSPtr<IXLSWorkBook> book(&workbook);
  book->SetCustomColor(1, 0, 0x123456);
  Expect(book->GetCustomColor2(1, 0) == 0x123456, "custom colour");
  Expect(book->ResetColors() == 1, "ResetColors");
  book->Protect();
  book->UnProtect();
  book->Protect("secret");
  book->UnProtect("secret", 0);
  book->UnProtect("secret");
  Expect(!workbook.GetProtect().IsProtected(), "workbook protection");
  Expect(book->GetActiveSheet() != nullptr, "GetActiveSheet");
  void* same = nullptr;
  Expect(book->QueryInterface(TGUID{}, &same) == XLS_S_OK && same == book.get(), "QueryInterface");
  if (same) static_cast<IXLSWorkBook*>(same)->_Release();
}

}  // namespace

int main(int argc, char** argv) {
  const std::string path = argc > 1 ? argv[1] : "every_method.xls";
  TXLSWorkbook workbook;
  XLSPtr<IXLSWorkSheets> sheets = workbook.GetWorksheets();
  XLSPtr<IXLSWorkSheet> sheet = sheets->Add();
  Expect(sheets->GetCount() == 1 && sheets->Get(1) == sheet, "Get/GetCount");
  Expect(sheet->GetWorkSheetName() == "Sheet1", "the new sheet's name");

  UseRange(*sheet);
  XLSPtr<IXLSRange> header = sheet->FGetRange("A1", "D1");
  UseFont(*header);
  UseInterior(*header);
  UseBorders(*header);
  UsePageSetup(*sheet);
  UseSheet(*sheets, sheet);
  UseWorkbook(workbook);
  UseReportFeatures(workbook, *sheet);
  DeleteSheets(*sheets);

  const TXLSCp1252Text text = XLSUtf8ToCp1252("Gr\u00FC\u00DFe");  // UTF-8 in the source
  Expect(text.Valid && text.Text == std::string("Gr\xFC\xDF") + 'e', "XLSUtf8ToCp1252");
  sheet->FGetRange("A1", "A1")->SetValue(text.Text);

  IXLSWorkBook& book = workbook;
  Expect(book.SaveAs(path) == 1, "SaveAs");
  Expect(book.Close() == 1, "Close");

  uint16_t row = 0;
  uint8_t col = 0;
  Expect(GetCellRef("c4", row, col) == 1, "GetCellRef");
  OleVariant values = VarArrayOf({1, 2.5, "three"});
  if (failures > 0) return 1;
  std::cout << EncodeCellRef(6, col) << ' ' << static_cast<int>(col) << ' '
            << values.HighBound(1) + 1 << " ok\n";
  return 0;
}
