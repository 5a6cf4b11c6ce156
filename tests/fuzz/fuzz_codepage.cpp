// UTF-8 texts in every code page a workbook can declare: the first byte of
// the input picks the code page, the rest is a list of texts, each ended by a
// zero byte and led by a byte that says where it goes (a cell, an array of
// cells, a sheet name, a string literal of a formula, a header or footer
// part). The texts go in through the object model with SetUtf8Texts(true);
// the save must be well formed, hold no two equal sheet names and no text
// its code page cannot decode.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "Tabulon.h"

using namespace tabulon;

namespace {

constexpr uint16_t kCodePages[] = {874,  932,  936,  949,  950,  1250, 1251,
                                   1252, 1253, 1254, 1255, 1256, 1257, 1258};

// A string literal of a formula holding text, quotes doubled.
std::string Literal(std::string_view text) {
  std::string literal = "\"";
  for (char c : text) literal += c == '"' ? std::string("\"\"") : std::string(1, c);
  return literal + "\"";
}

class THarness {
 public:
  explicit THarness(uint16_t code_page) {
    book_.SetUtf8Texts(true);
    book_.SetCodePage(code_page);
    sheet_ = book_.GetWorksheets()->Add();
  }

  // Texts land in the cells of the first rows in turn, so that formulas can
  // refer to the texts before them.
  void Put(uint8_t kind, const std::string& text) {
    const std::string cell =
        EncodeCellRef(static_cast<uint16_t>(count_ / 8), static_cast<uint8_t>(count_ % 8));
    const std::string before = EncodeCellRef(static_cast<uint16_t>(count_ / 8), 8);
    ++count_;
    XLSPtr<IXLSPageSetup> page = sheet_->GetPageSetup();
    switch (kind % 9) {
      case 0:
        sheet_->FGetRange(cell, cell)->SetValue(OleVariant(text));
        break;
      case 1:
        sheet_->FGetRange(cell, before)
            ->SetValue(VarArrayOf({OleVariant(text), OleVariant(text + text)}));
        break;
      case 2:
        sheet_->SetWorkSheetName(text);
        break;
      case 3:
        sheet_ = book_.GetWorksheets()->Add();
        sheet_->SetWorkSheetName(text);
        break;
      case 4:
        sheet_->FGetRange(cell, cell)->SetFormula("=" + Literal(text) + "&LEFT(A1,3)");
        break;
      case 5:
        sheet_->FGetRange(cell, cell)
            ->SetFormula("=IF(LEN(" + Literal(text) + ")>2,UPPER(A1),MID(" + Literal(text) +
                         ",2,5))");
        break;
      case 6:
        page->SetCenterHeader(text);
        break;
      case 7:
        page->SetLeftFooter(text);
        break;
      default:
        page->SetRightHeader(text + "&P");
        break;
    }
  }

  void Check() {
    fuzz::CheckSaved(book_);
    TXLSMemoryStream stream;
    fuzz::Require(book_.WriteBookStream(stream) == 1, "the record stream was refused");
    fuzz::CheckStoredTexts(stream.Bytes());
  }

 private:
  TXLSWorkbook book_;
  XLSPtr<IXLSWorkSheet> sheet_;
  int32_t count_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  THarness harness(kCodePages[data[0] % (sizeof kCodePages / sizeof kCodePages[0])]);
  const std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
  // At most 64 texts, so that no input builds more than a small workbook.
  size_t start = 0;
  for (int texts = 0; start < rest.size() && texts < 64; ++texts) {
    const size_t end = std::min(rest.find('\0', start), rest.size());
    const std::string_view item = rest.substr(start, end - start);
    if (!item.empty()) harness.Put(static_cast<uint8_t>(item[0]), std::string(item.substr(1)));
    start = end + 1;
  }
  harness.Check();
  return 0;
}
