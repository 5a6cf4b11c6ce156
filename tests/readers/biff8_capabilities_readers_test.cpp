// Two BIFF8 workbooks opened by every reader there is, one batch per reader:
// "capabilities.xls" holds each feature of the library once, "scripts.xls"
// texts of every script in every place a text goes, a sheet of 65,536 rows
// and cell texts of 32,767 characters. tests/readers/check_biff8_capabilities.py
// knows what each reader must show and prints every fact it got wrong; a
// reader that is not installed skips its case.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "BitmapFiles.h"
#include "BookTestUtil.h"
#include "ReaderTestUtil.h"
#include "Tabulon.h"
#include "XLSFormula.h"
#include "XLSWorkSheets.h"
#include "XLSWorkbook.h"
#include "XLSWorksheet.h"

namespace tabulon {
namespace {

using reader_test::AddSheet;
using reader_test::At;

constexpr int32_t kTealIndex = 20;     // a palette entry the workbook redefines
constexpr TXLSColor kTeal = 0x7B9A12;  // red in the low byte
constexpr int kTallRows = 65536;
constexpr size_t kLongUnits = 32767;

void SetFormula(TXLSWorksheet& sheet, const std::string& cell, const std::string& text) {
  const TXLSFormulaStatus status = At(sheet, cell)->SetFormula(text);
  EXPECT_EQ(status.Code, 1) << cell << " " << text << ": " << status.Message;
}

void BuildValues(TXLSWorksheet& data) {
  At(data, "A1")->SetValue("Text");
  At(data, "B1")->SetValue(int32_t{42});
  At(data, "C1")->SetValue(3.25);
  At(data, "D1")->SetValue(OleVariant::Date(45352.5));  // 2024-03-01 12:00
  At(data, "D1")->SetNumFormat("yyyy-mm-dd hh:mm");
  At(data, "E1")->SetValue(true);
  At(data, "F1")->SetValue(false);
  At(data, "G1")->SetValue(-1234567.125);
  At(data, "H1")->SetValue("00123");
  OleVariant array = VarArrayCreate({1, 2, 1, 3});
  for (int32_t r = 1; r <= 2; ++r) {
    for (int32_t c = 1; c <= 3; ++c) array.PutElement({r, c}, OleVariant(r * 10 + c));
  }
  At(data, "A2", "C3")->SetValue(array);
  At(data, "A20000")->SetValue(41);
  At(data, "B60000")->SetValue("deep");
}

void BuildFormats(TXLSWorkbook& book, TXLSWorksheet& data) {
  XLSPtr<IXLSFont> font = At(data, "A1")->GetFont();
  font->SetName("Courier New");
  font->SetSize(14);
  font->SetBold(true);
  font->SetItalic(true);
  font->SetUnderLine(xlUnderlineStyleSingle);
  font->SetColorIndex(3);  // red
  At(data, "A4")->SetValue("filled");
  At(data, "A4")->GetInterior()->SetColorIndex(6);  // yellow
  book.SetCustomColor(kTealIndex, 0, kTeal);
  At(data, "B4")->SetValue("teal");
  At(data, "B4")->GetInterior()->SetColorIndex(kTealIndex);
  At(data, "A5")->SetValue("framed");
  XLSPtr<IXLSBorders> borders = At(data, "A5")->GetBorders();
  borders->GetBorder(xlEdgeLeft)->SetLineStyle(xlContinuous);
  borders->GetBorder(xlEdgeLeft)->SetColorIndex(3);
  borders->GetBorder(xlEdgeRight)->SetWeight(xlMedium);
  borders->GetBorder(xlEdgeTop)->SetLineStyle(xlDouble);
  borders->GetBorder(xlEdgeBottom)->SetLineStyle(xlDash);
  borders->GetBorder(xlEdgeBottom)->SetColorIndex(5);  // blue
  At(data, "A6", "B6")->SetValue("aligned text that wraps");
  At(data, "A6")->SetHAlign(xlHAlignCenter);
  At(data, "A6")->SetVAlign(xlVAlignTop);
  At(data, "A6")->SetWrapText(true);
  At(data, "B6")->SetHAlign(xlHAlignRight);
  At(data, "B6")->SetVAlign(xlVAlignCenter);
  At(data, "A7")->SetValue(1234.5);
  At(data, "A7")->SetNumFormat("0.00");
  At(data, "B7")->SetValue(-9876.5);
  At(data, "B7")->SetNumFormat("#,##0.00;[Red]-#,##0.00");
  At(data, "C9", "E10")->Merge(OleVariant::Missing());
  At(data, "C9")->SetValue("merged");
}

void BuildLayout(TXLSWorkbook& book, TXLSWorksheet& data, const std::string& bitmap) {
  At(data, "B1")->GetEntireColumn()->SetColumnWidth(20);
  At(data, "F1")->GetEntireColumn()->SetHidden(true);
  At(data, "A12")->SetRowHeight(30);
  At(data, "A13")->GetEntireRow()->SetHidden(true);
  XLSPtr<IXLSPageSetup> setup = data.GetPageSetup();
  setup->SetCenterHeader("Top");
  setup->SetRightFooter("Page &P");
  setup->SetOrientation(xlLandscape);
  setup->SetPaperSize(xlPaperA4);
  setup->SetTopMargin(1.5);
  setup->SetPrintArea(0, 0, 12, 7);
  setup->SetPrintTitleRows("1:1");
  setup->SetPrintTitleColumns("A:A");
  data.GetHPageBreaks()->Add(At(data, "A4").get());
  data.GetVPageBreaks()->Add(At(data, "C1").get());
  data.FreezePanes(1, 1, 1, 1);
  data.SetZoom(75);
  EXPECT_EQ(data.InsertBitmap(14, 1, bitmap), 1) << data.GetLastError();
  data.Protect("secret");
  book.Protect();
}

void BuildFormulas(TXLSWorksheet& data, TXLSWorksheet& second) {
  At(second, "A1")->SetValue(5);
  At(second, "A300")->SetValue(7);
  SetFormula(data, "I1", "=B1*2");
  SetFormula(data, "I2", "=SUM(A2:C3)");
  SetFormula(data, "I3", "=Second!A1*3");
  SetFormula(data, "I4", "=\"ab\"&\"cd\"");
  SetFormula(data, "I5", "=SUM(Second!A1:A300)");
  SetFormula(data, "I6", "=A20000+1");  // a row no BIFF5 formula reaches
  SetFormula(data, "I7", "=$B$1+B$1+$B1");
}

// A picture on two sheets: the drawing layer numbers the sheets' shapes apart.
void BuildCapabilities(TXLSWorkbook& book, const std::string& bitmap, const std::string& small) {
  ASSERT_EQ(book.SetFileFormat(xlExcel8), 1);
  TXLSWorksheet& data = AddSheet(book, "Data");
  TXLSWorksheet& second = AddSheet(book, "Second");
  TXLSWorksheet& split = AddSheet(book, "Split");
  BuildValues(data);
  BuildFormats(book, data);
  BuildLayout(book, data, bitmap);
  BuildFormulas(data, second);
  EXPECT_EQ(second.InsertBitmap(2, 0, small), 1) << second.GetLastError();
  At(split, "A1")->SetValue("split");
  split.ThawPanes(30, 10, 2, 2);
}

// --- every script ---------------------------------------------------------------------
// The same texts are in check_biff8_capabilities.py.

const std::vector<std::string> kScripts = {"Ünïcødé Żółć ñ", "Кириллица", "Ελληνικά",
                                           "עברית",          "العربية",   "中文字符",
                                           "日本語かな",     "한국어",    "emoji 😀"};
const std::vector<std::string> kSheetNames = {"Ünïcødé Ελληνικά", "Кириллица עברית العربية",
                                              "中文 日本語 한국어 😀", "Tall"};
const std::string kFontName = "ＭＳ Ｐゴシック";
const std::string kNumFormat = "#,##0.00\" ₽ руб. ΔΣ 円 원\"";
const std::string kHeader = "&CЗаголовок Ελλ עב عر 中文 日本 한국";
const std::string kFooter = "&RÜnï 😀 &P";
// The long cell texts: each pattern repeated to 32,767 UTF-16 units.
const std::vector<std::string> kLongPatterns = {"x", "Жж", "abc中", "Ωж😀a"};

size_t Utf16Units(const std::string& utf8) {
  size_t units = 0;
  for (size_t i = 0; i < utf8.size(); ++i) {
    const auto byte = static_cast<uint8_t>(utf8[i]);
    if ((byte & 0xC0) != 0x80) units += byte >= 0xF0 ? 2 : 1;
  }
  return units;
}

std::string LongText(const std::string& pattern) {
  std::string text;
  size_t units = 0;
  for (size_t i = 0;; i = (i + 1) % pattern.size()) {
    size_t end = i + 1;
    while (end < pattern.size() && (static_cast<uint8_t>(pattern[end]) & 0xC0) == 0x80) ++end;
    const std::string character = pattern.substr(i, end - i);
    if (units + Utf16Units(character) > kLongUnits) return text;
    units += Utf16Units(character);
    text += character;
    i = end - 1;
  }
}

// Every row of the tall sheet has a text of its own: a shared string table
// of 65,536 strings, some in the compact form and some in UTF-16.
std::string TallText(int row) {
  return (row % 7 == 0 ? "ж" : "r") + std::to_string(row);
}

void BuildScripts(TXLSWorkbook& book) {
  ASSERT_EQ(book.SetFileFormat(xlExcel8), 1);
  book.SetUtf8Texts(true);
  std::vector<TXLSWorksheet*> sheets;
  for (const std::string& name : kSheetNames) sheets.push_back(&AddSheet(book, name));
  TXLSWorksheet& texts = *sheets[0];
  for (size_t i = 0; i < kScripts.size(); ++i) {
    At(texts, "A" + std::to_string(i + 1))->SetValue(kScripts[i]);
  }
  At(texts, "B1")->GetFont()->SetName(kFontName);
  At(texts, "B1")->SetValue(1234.5);
  At(texts, "B1")->SetNumFormat(kNumFormat);
  SetFormula(texts, "C1", "=\"Кир \"&\"中文\"");
  for (size_t i = 0; i < kLongPatterns.size(); ++i) {
    At(*sheets[1], "A" + std::to_string(i + 1))->SetValue(LongText(kLongPatterns[i]));
  }
  At(*sheets[2], "A1")->SetValue(kScripts.back());
  texts.GetPageSetup()->SetCenterHeader(kHeader.substr(2));
  texts.GetPageSetup()->SetRightFooter(kFooter.substr(2));
  for (int row = 0; row < kTallRows; ++row) {
    sheets[3]->GetCells()->GetItem(row + 1, 1)->SetValue(row + 1);
    sheets[3]->GetCells()->GetItem(row + 1, 2)->SetValue(TallText(row));
  }
}

class Biff8Capabilities : public ::testing::TestWithParam<std::string> {
 protected:
  static void SetUpTestSuite() {
    dir_ = new std::string(reader_test::FreshScratch("biff8caps"));
    const std::string bitmap =
        bitmap_test::Save(*dir_ + "/picture.bmp", bitmap_test::Bitmap(37, 21));
    const std::string small = bitmap_test::Save(*dir_ + "/small.bmp", bitmap_test::Bitmap(10, 5));
    TXLSWorkbook capabilities;
    BuildCapabilities(capabilities, bitmap, small);
    if (capabilities.SaveAs(*dir_ + "/capabilities.xls") != 1) {
      *problems_ += capabilities.GetLastError();
    }
    TXLSWorkbook scripts;
    BuildScripts(scripts);
    if (scripts.SaveAs(*dir_ + "/scripts.xls") != 1) *problems_ += scripts.GetLastError();
  }
  static void TearDownTestSuite() {
    reader_test::RemoveScratch(*dir_);
    delete dir_;
  }
  static std::string* dir_;
  static std::string* problems_;
};

std::string* Biff8Capabilities::dir_ = nullptr;
std::string* Biff8Capabilities::problems_ = new std::string;

TEST_P(Biff8Capabilities, ReaderShowsEveryFact) {
  ASSERT_EQ(*problems_, "");
  reader_test::ExpectReaderShows("check_biff8_capabilities.py", GetParam(), *dir_);
}

INSTANTIATE_TEST_SUITE_P(Readers, Biff8Capabilities,
                         ::testing::Values("poi", "sheetjs", "xlrd", "libreoffice", "gnumeric",
                                           "readxl", "olefile"),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace tabulon
