// Test helpers for worksheets: a workbook with sheets, and the records a
// sheet appended to its header and data sections during a save.
#pragma once

#include <cstdint>
#include <vector>

#include "RecordBytes.h"
#include "XLSWorkSheets.h"
#include "XLSWorkbook.h"
#include "XLSWorksheet.h"

namespace tabulon {
namespace testing_records {

struct TBook {
  explicit TBook(int sheets = 1) {
    for (int i = 0; i < sheets; ++i) book.GetSheets().AddSheet(book.GetSheets().GetCount() + 1);
  }
  TXLSWorksheet& Sheet(int index = 1) { return *book.GetSheets().GetSheet(index); }

  TXLSWorkbook book;
};

inline std::vector<TBytes> HeaderRecords(TXLSWorksheet& sheet) {
  return Records(sheet.HeaderSection()->List());
}

inline std::vector<TBytes> DataRecords(TXLSWorksheet& sheet) {
  return Records(sheet.DataSection()->List());
}

inline std::vector<uint16_t> Ids(const std::vector<TBytes>& records) {
  std::vector<uint16_t> ids;
  for (const TBytes& record : records) ids.push_back(WordAt(record, 0));
  return ids;
}

// The records with the given id.
inline std::vector<TBytes> WithId(const std::vector<TBytes>& records, uint16_t id) {
  std::vector<TBytes> found;
  for (const TBytes& record : records) {
    if (WordAt(record, 0) == id) found.push_back(record);
  }
  return found;
}

}  // namespace testing_records
}  // namespace tabulon
