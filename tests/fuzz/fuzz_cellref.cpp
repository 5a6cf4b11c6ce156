// Cell-address texts in every place that parses them: the parsers
// themselves, ranges, the address forms of the writers and the page setup.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "XLSCellRef.h"
#include "XLSPageSetup.h"
#include "XLSWorkSheets.h"
#include "XLSWorksheet.h"

using namespace tabulon;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const size_t half = text.find('|');
  const std::string first = text.substr(0, half);
  const std::string second = half == std::string::npos ? first : text.substr(half + 1);

  uint16_t row = 0, row2 = 0;
  uint8_t col = 0, col2 = 0;
  if (GetCellRef(first, row, col) == 1) {
    uint16_t again = 0;
    uint8_t againCol = 0;
    fuzz::Require(GetCellRef(EncodeCellRef(row, col), again, againCol) == 1 && again == row &&
                      againCol == col,
                  "a parsed cell does not read back");
  }
  GetCellRange(text, row, col, row2, col2);
  int32_t a = 0, b = 0;
  if (RowDiapasonToValues(text, a, b)) fuzz::Require(a >= 1 && a <= b && b <= 65536, "rows");
  if (ColDiapasonToValues(text, a, b)) fuzz::Require(a >= 1 && a <= b && b <= 255, "columns");
  ColNameToColIndex(text);

  TXLSWorkbook book;
  XLSPtr<IXLSWorkSheet> sheet = book.GetWorksheets()->Add();
  if (XLSPtr<IXLSRange> range = sheet->FGetRange(first, second)) {
    range->GetItem(1, 1)->SetValue(1.0);
  } else {
    fuzz::Require(!static_cast<TXLSWorksheet&>(*sheet).GetLastError().empty(),
                  "a refused address left no message");
  }
  XLSPtr<IXLSPageSetup> setup = sheet->GetPageSetup();
  setup->FSetPrintArea(text);
  setup->SetPrintTitleRows(first);
  setup->SetPrintTitleColumns(second);
  auto& impl = static_cast<TXLSWorksheet&>(*sheet);
  impl.WriteNumber(first, 1.0);
  impl.MergeWrite(text, 0);
  fuzz::CheckSaved(book);
  return 0;
}
