#include <gtest/gtest.h>

#include <string>

#include "BookTestUtil.h"
#include "RangeFormatTestUtil.h"
#include "XLSConstants.h"
#include "XLSNotes.h"
#include "XLSRecordIds.h"

namespace tabulon {
namespace {

using book_test::BookRecords;
using book_test::TRecord;
using book_test::WithId;

class Notes : public range_test::RangeFixture {
 protected:
  // The text of the cell's note, or "-" when it has none.
  std::string NoteAt(const std::string& text) {
    uint16_t row = 0;
    uint8_t col = 0;
    GetCellRef(text, row, col);
    const TXLSNote* note = sheet->GetNotes().Find(row, col);
    return note != nullptr ? note->Text : "-";
  }
};

TEST_F(Notes, BelongToTheTopLeftCellAndClearByRange) {
  EXPECT_EQ(Range("B2", "C3")->AddComment("first"), 1);
  EXPECT_EQ(Range("B2")->AddComment("second", "Ann"), 1);
  EXPECT_EQ(Range("D4")->AddComment(""), 1);
  EXPECT_EQ(NoteAt("B2"), "second");
  EXPECT_EQ(sheet->GetNotes().Find(1, 1)->Author, "Ann");
  EXPECT_EQ(NoteAt("C3"), "-");
  EXPECT_EQ(sheet->GetNotes().GetCount(), 2u);
  Range("A1", "C4")->ClearComments();
  EXPECT_EQ(NoteAt("B2"), "-");
  EXPECT_EQ(NoteAt("D4"), "");
}

TEST_F(Notes, RefuseTextsPastTheirLimitsCountedAsTheFormatsCount) {
  EXPECT_EQ(Range("C5")->AddComment(std::string(32767, 'x')), 1);
  EXPECT_EQ(Range("C5")->AddComment(std::string(32768, 'x')), -1);
  EXPECT_EQ(sheet->GetLastError(),
            "AddComment: the note of Sheet1!C5 is refused: the text has 32768 characters; a note "
            "holds at most 32767");
  EXPECT_EQ(Range("C5")->AddComment("t", std::string(256, 'a')), -1);
  EXPECT_NE(sheet->GetLastError().find("author's name has 256 characters"), std::string::npos);
  EXPECT_EQ(NoteAt("C5"), std::string(32767, 'x'));
  // A UTF-8 text counts UTF-16 units: 32767 three-byte characters fit.
  book.SetUtf8Texts(true);
  std::string wide;
  for (int i = 0; i < 32767; ++i) wide += "\xE2\x82\xAC";
  EXPECT_EQ(Range("C6")->AddComment(wide, "\xE2\x82\xAC"), 1);
}

TEST_F(Notes, MoveWithInsertedAndDeletedCellsAndNeverLeaveTheSheet) {
  for (const char* cell : {"B3", "C5", "A9", "E2"}) Range(cell)->AddComment(cell);
  Range("A2", "B2")->Insert(OleVariant(xlShiftDown));
  EXPECT_EQ(NoteAt("B4"), "B3");
  EXPECT_EQ(NoteAt("A10"), "A9");
  EXPECT_EQ(NoteAt("C5"), "C5");
  Range("B4")->Delete(OleVariant(xlShiftUp));  // removes the note of B4
  EXPECT_EQ(NoteAt("B4"), "-");
  Range("A1", "C1")->GetEntireColumn()->Delete(OleVariant::Missing());
  EXPECT_EQ(NoteAt("B2"), "E2");
  EXPECT_EQ(sheet->GetNotes().GetCount(), 1u);
  Range("IV65536")->AddComment("corner");
  EXPECT_EQ(Range("A1")->GetEntireRow()->Insert(OleVariant::Missing()), OleVariant(false));
  EXPECT_EQ(Range("A1")->GetEntireColumn()->Insert(OleVariant::Missing()), OleVariant(false));
  EXPECT_EQ(NoteAt("IV65536"), "corner");
}

// BIFF5: one NOTE per note after the cell records, text past 2048 bytes in
// NOTE records of row 0xFFFF; the author is not written.
TEST_F(Notes, Biff5WritesNoteRecordsAfterTheCells) {
  Range("A1")->SetValue(OleVariant(1.0));
  Range("A1")->AddComment("Hi", "Ann");
  Range("C2")->AddComment(std::string(2048, 'a') + std::string(952, 'b'));
  const std::vector<TRecord> records = BookRecords(book);
  const std::vector<TRecord> notes = WithId(records, xlsrec::kNote);
  ASSERT_EQ(notes.size(), 3u);
  EXPECT_EQ(notes[0].data, (book_test::TBytes{0, 0, 0, 0, 2, 0, 'H', 'i'}));
  EXPECT_EQ(notes[1].data.size(), 6u + 2048);
  EXPECT_EQ((std::vector<uint16_t>{notes[1].Word(0), notes[1].Word(2), notes[1].Word(4)}),
            (std::vector<uint16_t>{1, 2, 3000}));
  EXPECT_EQ((std::vector<uint16_t>{notes[2].Word(0), notes[2].Word(2), notes[2].Word(4)}),
            (std::vector<uint16_t>{0xFFFF, 0, 952}));
  EXPECT_EQ(notes[2].data.back(), 'b');
  size_t number = 0, note = 0, window2 = 0;
  for (size_t i = 0; i < records.size(); ++i) {
    if (records[i].id == xlsrec::kNumber) number = i;
    if (records[i].id == xlsrec::kNote && note == 0) note = i;
    if (records[i].id == xlsrec::kWindow2) window2 = i;
  }
  EXPECT_LT(number, note);
  EXPECT_LT(note, window2);
}

}  // namespace
}  // namespace tabulon
