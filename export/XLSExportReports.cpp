// The export components' reports of values they change or drop. The check
// runs once per exported value, so its common path is a few comparisons;
// words are only put together for a value that is reported.
#include "XLSExportReports.h"

#include <string_view>
#include <utility>

#include "XLSCellRef.h"
#include "XLSCodePage.h"
#include "XLSExportBase.h"
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
    ReportValue(field, record, vcBlobDropped,
                field.GetDropped() + " left out; the cell is left empty");
    return;
  }
  const OleVariant& value = field.GetValue();
  if (!VarIsStr(value)) return;
  const std::string_view text = value.TextView();
  if (IsDateTimeType(field.GetDataType())) {
    ReportValue(field, record, vcNotDateTime,
                Quoted(text, workbook_->GetCodePage()) + " is not a valid ISO 8601 " +
                    DateTimeForm(field.GetDataType()) + "; written as text");
  }
  if (text.size() > XLSStrMax && StoredLength(text) > XLSStrMax)
    ReportValue(field, record, vcTextCut, XLSTextCutMessage(text.size()));
}

void TXLSExportComponent::ClearValueReports() {
  valueReports_.clear();
  valueReportCount_ = 0;
}

void TXLSExportComponent::ReportValue(const TField& field, int32_t record, TXLSValueChange change,
                                      std::string message) {
  TXLSValueReport report{record, field.GetFieldName(), change, std::move(message)};
  ++valueReportCount_;
  if (OnValueReport) OnValueReport(report);
  if (valueReports_.size() < kMaxKeptValueReports) valueReports_.push_back(std::move(report));
}

}  // namespace tabulon
