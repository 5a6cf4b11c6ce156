// Cell notes opened by the readers, one batch per reader: "notes5.xls"
// (BIFF5) and "notes8.xls" (BIFF8) each hold notes on two sheets, a long
// note, a note beside a picture and a note that was cleared again; the BIFF8
// book adds authors, a UTF-8 note and a sheet with a picture and no note.
// tests/readers/check_notes.py knows what each reader must show; a reader
// that is not installed skips its case.
#include <gtest/gtest.h>

#include <string>

#include "BitmapFiles.h"
#include "BookTestUtil.h"
#include "ReaderTestUtil.h"
#include "Tabulon.h"
#include "XLSWorkSheets.h"
#include "XLSWorkbook.h"
#include "XLSWorksheet.h"

namespace tabulon {
namespace {

using reader_test::AddSheet;

// The texts are in check_notes.py too.
const std::string kLongNote = [] {
  std::string text;
  for (int i = 0; i < 1200; ++i) text += "note " + std::to_string(i) + "; ";
  return text;
}();
const std::string kUtf8Note = "Ünïcødé Кириллица 中文 😀\nzweite Zeile";

void Note(TXLSWorksheet& sheet, const std::string& cell, const std::string& text,
          const std::string& author) {
  EXPECT_EQ(sheet.FGetRange(cell, cell)->AddComment(text, author), 1) << sheet.GetLastError();
}

// What both books hold; BIFF8 readers also see the authors.
void BuildNotes(TXLSWorkbook& book, const std::string& bitmap) {
  TXLSWorksheet& first = AddSheet(book, "Notes");
  TXLSWorksheet& second = AddSheet(book, "Second");
  first.FGetRange("A1", "A1")->SetValue("value");
  Note(first, "A1", "First note", "Ann");
  Note(first, "C5", kLongNote, "Bob");
  Note(first, "D7", "cleared", "Ann");
  first.FGetRange("D7", "E8")->ClearComments();
  EXPECT_EQ(first.InsertBitmap(9, 1, bitmap), 1) << first.GetLastError();
  Note(first, "B10", "beside the picture", "");
  Note(second, "B2", "on the second sheet", "Cy");
}

class NoteReaders : public ::testing::TestWithParam<std::string> {
 protected:
  static void SetUpTestSuite() {
    dir_ = new std::string(reader_test::FreshScratch("notes"));
    const std::string bitmap =
        bitmap_test::Save(*dir_ + "/picture.bmp", bitmap_test::Bitmap(30, 20));
    TXLSWorkbook biff5;
    BuildNotes(biff5, bitmap);
    if (biff5.SaveAs(*dir_ + "/notes5.xls") != 1) *problems_ += biff5.GetLastError();
    TXLSWorkbook biff8;
    EXPECT_EQ(biff8.SetFileFormat(xlExcel8), 1);
    biff8.SetUtf8Texts(true);
    BuildNotes(biff8, bitmap);
    Note(*biff8.GetSheets().GetSheet(2), "C3", kUtf8Note, "Zoë");
    TXLSWorksheet& pictures = AddSheet(biff8, "Pictures");
    EXPECT_EQ(pictures.InsertBitmap(1, 1, bitmap), 1) << pictures.GetLastError();
    if (biff8.SaveAs(*dir_ + "/notes8.xls") != 1) *problems_ += biff8.GetLastError();
  }
  static void TearDownTestSuite() {
    reader_test::RemoveScratch(*dir_);
    delete dir_;
  }
  static std::string* dir_;
  static std::string* problems_;
};

std::string* NoteReaders::dir_ = nullptr;
std::string* NoteReaders::problems_ = new std::string;

TEST_P(NoteReaders, ReaderShowsEveryNote) {
  ASSERT_EQ(*problems_, "");
  reader_test::ExpectReaderShows("check_notes.py", GetParam(), *dir_);
}

INSTANTIATE_TEST_SUITE_P(Readers, NoteReaders,
                         ::testing::Values("poi", "xlrd", "libreoffice", "gnumeric"),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace tabulon
