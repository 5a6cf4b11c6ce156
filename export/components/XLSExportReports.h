// What an export tells its caller about values it could not write as the
// data set holds them: a text longer than a cell keeps, a BLOB that no cell
// can show, a value of a date or time field that is no date or time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tabulon {

/// How an export changed or dropped one value of its data set.
enum TXLSValueChange : uint8_t {
  /// A text longer than a cell holds (255 bytes of the code page in BIFF5,
  /// 32767 characters in BIFF8); the cell keeps its start (never part of a
  /// character).
  vcTextCut = 0,
  /// A binary value (BLOB); its cell is left empty.
  vcBlobDropped = 1,
  /// A value of a date, time or date-and-time field that is no valid ISO 8601
  /// date or time (2024-02-30, 25:00:00, 03/05/2024); it is written as text.
  vcNotDateTime = 2,
  /// A character of a text the component takes itself (a title or subtitle,
  /// a part of the page header or footer, TotalsLabel) that the workbook's
  /// code page cannot hold (BIFF5; BIFF8 keeps them all when the data set's
  /// texts are UTF-8), or malformed UTF-8 in such a text; written as '?'.
  vcCharReplaced = 3,
};

/// One value the latest export changed or dropped.
struct TXLSValueReport {
  /// 1-based number of the record in the export (the detail row it went to,
  /// counted across continuation sheets); 0 for a text the component takes
  /// itself (see FieldName).
  int64_t RecNo = 0;
  /// Name of the field, in the data set's code page (UTF-8 when the data
  /// set hands out UTF-8). With RecNo 0, the
  /// member holding the text: "Title", "Subtitle", "LeftHeader",
  /// "CenterHeader", "RightHeader", "LeftFooter", "CenterFooter",
  /// "RightFooter" (of TXLSReportLayout), "TotalsLabel" or "GrandTotalLabel".
  std::string FieldName;
  /// What happened to the value.
  TXLSValueChange Change = vcTextCut;
  /// What happened, in words, e.g. "text of 300 characters cut to the 255 a
  /// BIFF5 cell holds"; the text quoted in it is in the form of FieldName.
  std::string Message;
};

/// The words for a text cut to what a cell holds, as every command and
/// component reports it.
/// @param length Length of the whole text in the format's unit (bytes of the
/// code page in BIFF5, characters in BIFF8).
/// @param limit What a cell of the format holds, in that unit.
/// @param format The format's name.
/// @return "text of LENGTH characters cut to the 255 a BIFF5 cell holds".
std::string XLSTextCutMessage(size_t length, size_t limit = 255, const char* format = "BIFF5");

}  // namespace tabulon
