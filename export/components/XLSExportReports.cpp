// The export components' reports of values they change or drop. The check
// runs once per exported value, so its common path is a few comparisons;
// words are only put together for a value that is reported.
#include "XLSExportReports.h"

#include <string_view>
#include <utility>

#include "XLSCellRef.h"
#include "XLSCodePage.h"
#include "XLSExportBase.h"
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

std::string Quoted(std::string_view text, uint16_t code_page) {
  if (text.size() <= kMaxQuoted) return "'" + std::string(text) + "'";
  return "'" + std::string(text.substr(0, XLSFitBytes(text, kMaxQuoted, code_page))) + "...'";
}

// Bytes a cell stores of text: a CR LF line break is kept as one CR.
size_t StoredLength(std::string_view text) {
  size_t length = text.size();
  for (size_t pos = text.find("\r\n"); pos != std::string_view::npos;
       pos = text.find("\r\n", pos + 2))
    --length;
  return length;
}

}  // namespace

std::string XLSTextCutMessage(size_t length) {
  return "text of " + std::to_string(length) + " characters cut to the " +
         std::to_string(XLSStrMax) + " a cell holds";
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
                Quoted(text, workbook_->GetCodePage()) + " is not a valid ISO 8601 " +
                    DateTimeForm(field.GetDataType()) + "; written as text");
  }
  if (text.size() > XLSStrMax && StoredLength(text) > XLSStrMax)
    ReportValue(record, field.GetFieldName(), vcTextCut, XLSTextCutMessage(text.size()));
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
}

// A text written into a cell is cut to what a cell holds; the page header
// and footer are cut by the page setup, which joins their parts.
std::string TXLSExportComponent::ConvertOwnText(const std::string& utf8, const char* name,
                                                bool cell_text) {
  const uint16_t codePage = workbook_->GetCodePage();
  TXLSCp1252Text converted = XLSUtf8ToCodePage(utf8, codePage);
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
  if (cell_text && StoredLength(converted.Text) > XLSStrMax)
    ReportValue(0, name, vcTextCut, XLSTextCutMessage(converted.Text.size()));
  return std::move(converted.Text);
}

}  // namespace tabulon
