// Notes (comments) on the range's cells: the sheet keeps them (TXLSNotes),
// each on the cell it was given to; a note belongs to the range's top-left
// cell.
#include <string>

#include "XLSCellRef.h"
#include "XLSNotes.h"
#include "XLSRange.h"
#include "XLSUnicodeText.h"
#include "XLSWorkbook.h"
#include "XLSWorksheet.h"

namespace tabulon {

namespace {

// The longest texts a note keeps, in characters as the file formats count
// them: the note's text (a TXO record's 16-bit count, BIFF5's NOTE total
// length) and its author's name.
constexpr size_t kNoteTextLimit = 32767;
constexpr size_t kAuthorLimit = 255;

}  // namespace

int32_t TXLSRange::AddComment(const std::string& text) {
  return AddComment(text, std::string());
}

// Texts are counted as the formats count them: UTF-16 units of UTF-8 texts,
// bytes of code page texts.
int32_t TXLSRange::AddComment(const std::string& text, const std::string& author) {
  const std::string cell = Worksheet.GetName() + "!" + EncodeCellRef(FirstRow, FirstCol);
  const bool utf8 = Worksheet.GetWorkbook().GetUtf8Texts();
  const auto length = [utf8](const std::string& s) { return utf8 ? XLSUtf16Units(s) : s.size(); };
  std::string refusal;
  if (Worksheet.IsDetached()) {
    refusal = "the sheet has been deleted";
  } else if (length(text) > kNoteTextLimit) {
    refusal =
        "the text has " + std::to_string(length(text)) + " characters; a note holds at most 32767";
  } else if (length(author) > kAuthorLimit) {
    refusal = "the author's name has " + std::to_string(length(author)) +
              " characters; it may have at most 255";
  } else if (!Worksheet.GetNotes().Set(FirstRow, FirstCol, {text, author})) {
    refusal = "the sheet holds 32767 notes, the most it can";
  }
  if (refusal.empty()) return 1;
  Worksheet.SetLastError("AddComment: the note of " + cell + " is refused: " + refusal);
  return -1;
}

void TXLSRange::ClearComments() {
  Worksheet.GetNotes().EraseRect(FirstRow, FirstCol, LastRow, LastCol);
}

}  // namespace tabulon
