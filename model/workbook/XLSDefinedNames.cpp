#include "XLSDefinedNames.h"

#include <cctype>

#include "XLSRecordEncoder.h"
#include "XLSRecordSection.h"
#include "XLSTextEncoder.h"
#include "XLSWorkbook.h"
#include "XLSWorksheet.h"

namespace tabulon {

namespace {

constexpr size_t kMaxNameLength = 255;

bool IsLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

bool SameName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(a[i])) !=
        std::toupper(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

// Moves pos past the characters that take accepts; returns how many.
template <class TTake>
size_t SkipWhile(const std::string& text, size_t& pos, TTake take) {
  const size_t start = pos;
  while (pos < text.size() && take(text[pos])) ++pos;
  return pos - start;
}

// One to three letters and then digits: a cell in A1 form in some
// spreadsheet (the later formats reach column XFD and row 1048576), so a
// reader would take the name for that cell.
bool IsA1Form(const std::string& text) {
  size_t pos = 0;
  const size_t letters = SkipWhile(text, pos, IsLetter);
  const size_t digits = SkipWhile(text, pos, IsDigit);
  return letters >= 1 && letters <= 3 && digits >= 1 && pos == text.size();
}

// R, C, R<n>, C<n>, R<n>C<n> and their mixes (RC, R1C, RC1): a cell, row
// or column in R1C1 form.
bool IsR1C1Form(const std::string& text) {
  size_t pos = 0;
  if (pos < text.size() && (text[pos] == 'R' || text[pos] == 'r')) {
    ++pos;
    SkipWhile(text, pos, IsDigit);
  }
  if (pos < text.size() && (text[pos] == 'C' || text[pos] == 'c')) {
    ++pos;
    SkipWhile(text, pos, IsDigit);
  }
  return pos > 0 && pos == text.size();
}

}  // namespace

bool IsValidDefinedName(const std::string& text, std::string& reason) {
  if (text.empty()) {
    reason = "a name cannot be empty";
    return false;
  }
  if (text.size() > kMaxNameLength) {
    reason = "a name has at most 255 characters";
    return false;
  }
  if (!IsLetter(text[0]) && text[0] != '_' && text[0] != '\\') {
    reason = "a name starts with a letter, '_' or '\\'";
    return false;
  }
  for (char c : text) {
    if (!IsLetter(c) && !IsDigit(c) && c != '_' && c != '.' && c != '\\') {
      reason = std::string("a name holds letters, digits, '_', '.' and '\\' only, not '") + c + "'";
      return false;
    }
  }
  if (IsA1Form(text) || IsR1C1Form(text)) {
    reason = "a name cannot be a cell reference";
    return false;
  }
  if (SameName(text, "TRUE") || SameName(text, "FALSE")) {
    reason = "a name cannot be TRUE or FALSE";
    return false;
  }
  return true;
}

int32_t TXLSDefinedNames::Add(TXLSWorkbook& book, TXLSWorksheet* scope, const std::string& name,
                              const std::string& refers_to, std::string& error) {
  const std::string where =
      "AddName '" + name + "'" + (scope ? " of sheet '" + scope->GetName() + "'" : "");
  std::string reason;
  if (!IsValidDefinedName(name, reason)) {
    error = where + ": " + reason;
    return -1;
  }
  if (IsTaken(scope, name)) {
    error = where + ": the name is taken" + (scope ? " on this sheet" : " in the workbook");
    return -1;
  }
  if (names_.size() >= kMaxNames) {
    error = where + ": a workbook holds at most " + std::to_string(kMaxNames) + " names";
    return -1;
  }
  TXLSDefinedName added;
  added.Name = name;
  if (scope) added.Scope = scope->GetLink();
  const TXLSFormulaStatus status = ParseNameDefinition(refers_to, book, scope, added.Definition);
  if (status.Code != 1) {
    error = where + ": " + status.Message;
    return -1;
  }
  const char* tooLong = FormatTooSmall(book, added);
  if (tooLong != nullptr) {
    error = where + ": the definition is too long for a " + tooLong + " NAME record";
    return -1;
  }
  added.RecordIndex = static_cast<uint16_t>(names_.size() + 1);
  names_.push_back(std::move(added));
  return 1;
}

bool TXLSDefinedNames::IsTaken(const TXLSWorksheet* scope, const std::string& name) const {
  for (const TXLSDefinedName& other : names_) {
    const bool sameScope =
        other.Scope ? scope != nullptr && other.Scope->Sheet == scope : scope == nullptr;
    if (sameScope && SameName(other.Name, name)) return true;
  }
  return false;
}

// The NAME record must hold the definition in either file format, so that
// the format can still be chosen; its texts are measured with a converter of
// their own, as a formula's are.
const char* TXLSDefinedNames::FormatTooSmall(const TXLSWorkbook& book,
                                             const TXLSDefinedName& name) {
  TXLSTextEncoder measure(book.GetCodePage(), book.GetUtf8Texts());
  for (int32_t format : {kXLSFileFormatBiff5, kXLSFileFormatBiff8}) {
    const std::unique_ptr<TXLSRecordEncoder> encoder = MakeRecordEncoder(format, &measure);
    const size_t size =
        16 + name.Name.size() + EncodeNameDefinition(name.Definition, book, *encoder, {}).size();
    if (size > size_t{encoder->RecordLimit()} - 4) return encoder->Name();
  }
  return nullptr;
}

int32_t TXLSDefinedNames::Find(const std::string& text, const TXLSWorksheet* sheet) const {
  int32_t workbookName = -1;
  for (size_t i = 0; i < names_.size(); ++i) {
    if (!SameName(names_[i].Name, text)) continue;
    if (names_[i].Scope == nullptr) {
      workbookName = static_cast<int32_t>(i);
    } else if (sheet != nullptr && names_[i].Scope->Sheet == sheet) {
      return static_cast<int32_t>(i);
    }
  }
  return workbookName;
}

bool TXLSDefinedNames::IsWritten(const TXLSDefinedName& name) {
  return name.Scope == nullptr || name.Scope->Sheet != nullptr;
}

void TXLSDefinedNames::NumberRecords() {
  uint16_t next = 1;
  for (TXLSDefinedName& name : names_) {
    if (IsWritten(name)) name.RecordIndex = next++;
  }
}

std::string TXLSDefinedNames::NameBeyondRow(int32_t max_row) const {
  for (const TXLSDefinedName& name : names_) {
    if (IsWritten(name) && FormulaLastRow(name.Definition) > max_row) return name.Name;
  }
  return std::string();
}

void TXLSDefinedNames::AdjustForShift(const TXLSWorksheet& target, int32_t max_row, int32_t row1,
                                      int32_t col1, int32_t row2, int32_t col2, bool vertical,
                                      bool insert) {
  for (TXLSDefinedName& name : names_)
    AdjustFormulaForShift(name.Definition, nullptr, target, max_row, row1, col1, row2, col2,
                          vertical, insert);
}

int32_t TXLSDefinedNames::Store(TXLSRecordSection& section, const TXLSWorkbook& book,
                                const TXLSRecordEncoder& encoder) const {
  int32_t status = 1;
  for (size_t i = 0; status == 1 && i < names_.size(); ++i) {
    const TXLSDefinedName& name = names_[i];
    if (!IsWritten(name)) continue;
    const TXLSWorksheet* scope = name.Scope ? name.Scope->Sheet : nullptr;
    const TXLSTextPlace place{scope ? std::string_view(scope->GetName()) : std::string_view(),
                              "defined name"};
    const std::vector<uint8_t> formula =
        EncodeNameDefinition(name.Definition, book, encoder, place);
    status =
        section.Append(encoder.DefinedName(scope ? scope->GetSheetIndex() : 0, name.Name, formula));
  }
  return status;
}

}  // namespace tabulon
