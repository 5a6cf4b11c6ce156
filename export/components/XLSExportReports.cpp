// The export components' reports of values they change or drop. The check
// runs once per exported value, so its common path is a few comparisons;
// words are only put together for a value that is reported.
#include "XLSExportReports.h"

#include <string_view>
#include <utility>

#include "XLSCellRef.h"
#include "XLSCodePage.h"
#include "XLSExportBase.h"
#include "XLSRecordEncoder.h"
#include "XLSTextCodec.h"
#include "XLSWorkbook.h"

namespace tabulon {
namespace {

// Longest piece of a value quoted in a report, in bytes.
constexpr size_t kMaxQuoted = 40;

bool IsDateTimeType(TFieldType type) {
  return type == ftDate || type == ftTime || type == ftDateTime;
}

const char* DateTimeForm(TFieldType type) {
  switch (type) {
    case ftDate:
      return "date (YYYY-MM-DD)";
    case ftTime:
      return "time (HH:MM:SS)";
    default:
      return "date and time (YYYY-MM-DD HH:MM:SS)";
  }
}

// The bytes of the longest start of UTF-8 text (longer than max_bytes) that
// ends on a character boundary within max_bytes.
size_t Utf8Cut(std::string_view text, size_t max_bytes) {
  size_t end = max_bytes;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  return end;
}

// text is UTF-8 (utf8) or in code_page.
std::string Quoted(std::string_view text, uint16_t code_page, bool utf8) {
  if (text.size() <= kMaxQuoted) return "'" + std::string(text) + "'";
  const size_t quoted = utf8 ? Utf8Cut(text, kMaxQuoted) : XLSFitBytes(text, kMaxQuoted, code_page);
  return "'" + std::string(text.substr(0, quoted)) + "...'";
}

size_t LineBreakCount(std::string_view text) {
  size_t count = 0;
  for (size_t pos = text.find("\r\n"); pos != std::string_view::npos;
       pos = text.find("\r\n", pos + 2))
    ++count;
  return count;
}

}  // namespace

std::string XLSTextCutMessage(size_t length, size_t limit, const char* format) {
  return "text of " + std::to_string(length) + " characters cut to the " + std::to_string(limit) +
         " a " + format + " cell holds";
}

// A CR LF line break is kept as one character.
size_t TXLSExportComponent::StoredLength(std::string_view text) const {
  const size_t length = IsBiff8() ? XLSUtf16Length(TextAsUtf8(text)) : text.size();
  return length - LineBreakCount(text);
}

// A text no longer than the limit in bytes fits in any unit: the common
// path is one comparison.
void TXLSExportComponent::NoteTextCut(int64_t record, const std::string& name,
                                      std::string_view text) {
  const size_t limit = workbook_->GetRecordEncoder().CellTextLimit();
  if (text.size() <= limit) return;
  const size_t length = StoredLength(text);
  if (length > limit)
    ReportValue(record, name, vcTextCut, XLSTextCutMessage(length, limit, FormatName()));
}

void TXLSExportComponent::NoteValueReport(const TField& field, int32_t record) {
  if (!field.GetDropped().empty()) {
    ReportValue(record, field.GetFieldName(), vcBlobDropped,
                field.GetDropped() + " left out; the cell is left empty");
    return;
  }
  const OleVariant& value = field.GetValue();
  if (!VarIsStr(value)) return;
  const std::string_view text = value.TextView();
  if (IsDateTimeType(field.GetDataType())) {
    ReportValue(record, field.GetFieldName(), vcNotDateTime,
                Quoted(text, workbook_->GetCodePage(), workbook_->GetUtf8Texts()) +
                    " is not a valid ISO 8601 " + DateTimeForm(field.GetDataType()) +
                    "; written as text");
  }
  NoteTextCut(record, field.GetFieldName(), text);
}

void TXLSExportComponent::ClearValueReports() {
  valueReports_.clear();
  valueReportCount_ = 0;
}

void TXLSExportComponent::ReportValue(int64_t record, std::string field_name,
                                      TXLSValueChange change, std::string message) {
  TXLSValueReport report{record, std::move(field_name), change, std::move(message)};
  ++valueReportCount_;
  if (OnValueReport) OnValueReport(report);
  if (valueReports_.size() < kMaxKeptValueReports) valueReports_.push_back(std::move(report));
}

void TXLSExportComponent::ConvertOwnTexts() {
  ownTexts_.Title = ConvertOwnText(Layout.Title, "Title", true);
  ownTexts_.Subtitle = ConvertOwnText(Layout.Subtitle, "Subtitle", true);
  ownTexts_.Header[0] = ConvertOwnText(Layout.LeftHeader, "LeftHeader", false);
  ownTexts_.Header[1] = ConvertOwnText(Layout.CenterHeader, "CenterHeader", false);
  ownTexts_.Header[2] = ConvertOwnText(Layout.RightHeader, "RightHeader", false);
  ownTexts_.Footer[0] = ConvertOwnText(Layout.LeftFooter, "LeftFooter", false);
  ownTexts_.Footer[1] = ConvertOwnText(Layout.CenterFooter, "CenterFooter", false);
  ownTexts_.Footer[2] = ConvertOwnText(Layout.RightFooter, "RightFooter", false);
  ownTexts_.TotalsLabel = Totals ? ConvertOwnText(TotalsLabel, "TotalsLabel", true) : "";
  ownTexts_.GrandTotalLabel =
      Totals ? ConvertOwnText(GrandTotalLabel, "GrandTotalLabel", true) : "";
}

// A text written into a cell is cut to what a cell holds; the page header
// and footer are cut by the page setup, which joins their parts.
std::string TXLSExportComponent::ConvertOwnText(const std::string& utf8, const char* name,
                                                bool cell_text) {
  const uint16_t codePage = workbook_->GetCodePage();
  TXLSCp1252Text converted =
      workbook_->GetUtf8Texts() ? XLSCheckUtf8(utf8) : XLSUtf8ToCodePage(utf8, codePage);
  for (const TXLSUnmappedChar& unmapped : converted.Unmapped) {
    ReportValue(0, name, vcCharReplaced,
                "character " + XLSCodePointName(unmapped.CodePoint) + " has no form in " +
                    XLSCodePageDescription(codePage) + "; written as '?'");
  }
  if (!converted.Valid) {
    ReportValue(0, name, vcCharReplaced,
                "text is not valid UTF-8; the rest of it is written as '?'");
    converted.Text += '?';
  }
  if (cell_text) NoteTextCut(0, name, converted.Text);
  return std::move(converted.Text);
}

}  // namespace tabulon
