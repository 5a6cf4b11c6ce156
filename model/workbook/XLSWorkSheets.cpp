#include "XLSWorkSheets.h"

#include <algorithm>
#include <string_view>

#include "XLSCodePage.h"
#include "XLSWorkbook.h"
#include "XLSWorksheet.h"

namespace tabulon {

namespace {

// Characters that sheet references in formulas and file names would misread.
constexpr std::string_view kForbiddenNameChars = "[]:*?/\\";

// Calls visit(position) for each single-byte character of a code page text;
// the bytes of a double-byte character, whose trail byte may be a letter or
// '\', are skipped.
template <class TVisit>
void ForEachSingleByteChar(std::string_view text, uint16_t code_page, TVisit visit) {
  for (size_t pos = 0; pos < text.size();) {
    const size_t length = XLSCharBytes(text.substr(pos), code_page);
    if (length == 1) visit(pos);
    pos += length;
  }
}

}  // namespace

TXLSWorkSheets::TXLSWorkSheets(TXLSWorkbook& workbook)
    : XLSImplements<IXLSWorkSheets>(false), workbook_(workbook) {}

TXLSWorkSheets::~TXLSWorkSheets() = default;

XLSPtr<IXLSWorkSheet> TXLSWorkSheets::Get(int32_t index) {
  return XLSPtr<IXLSWorkSheet>(GetSheet(index));
}

int32_t TXLSWorkSheets::GetCount() {
  return static_cast<const TXLSWorkSheets&>(*this).GetCount();
}

XLSPtr<IXLSWorkSheet> TXLSWorkSheets::Add() {
  return XLSPtr<IXLSWorkSheet>(AddSheet(GetCount() + 1));
}

XLSPtr<IXLSWorkSheet> TXLSWorkSheets::Add(IXLSWorkSheet* before, IXLSWorkSheet* after,
                                          int32_t count, const OleVariant& /*type*/) {
  int32_t position = GetCount() + 1;
  if (before != nullptr) {
    position = IndexOf(before);
  } else if (after != nullptr) {
    const int32_t afterIndex = IndexOf(after);
    position = afterIndex == 0 ? 0 : afterIndex + 1;
  }
  // A sheet of another workbook gives no position here.
  if (count <= 0 || position == 0) return nullptr;
  TXLSWorksheet* last = nullptr;
  for (int32_t i = 0; i < count; ++i) last = AddSheet(position + i);
  return XLSPtr<IXLSWorkSheet>(last);
}

TXLSWorksheet* TXLSWorkSheets::GetSheet(int32_t index) const {
  if (index < 1 || index > GetCount()) return nullptr;
  return sheets_[static_cast<size_t>(index - 1)].get();
}

TXLSWorksheet* TXLSWorkSheets::AddSheet(int32_t position) {
  if (position < 1 || position > GetCount() + 1) return nullptr;
  auto sheet = std::make_unique<TXLSWorksheet>(workbook_);
  sheet->SetNameUnchecked(GetNewName());
  TXLSWorksheet* added = sheet.get();
  const size_t at = static_cast<size_t>(position - 1);
  sheets_.insert(sheets_.begin() + static_cast<std::ptrdiff_t>(at), std::move(sheet));
  Renumber(at);
  if (GetCount() == 1) added->Activate();
  return added;
}

bool TXLSWorkSheets::IsAllowedName(const std::string& name, uint16_t code_page, size_t length) {
  // Readers rename a sheet without a name, so one is required.
  if (length == std::string::npos) length = name.size();
  if (name.empty() || length > XLSMaxSheetNameLength) return false;
  bool allowed = true;
  ForEachSingleByteChar(name, code_page, [&](size_t pos) {
    if (kForbiddenNameChars.find(name[pos]) != std::string_view::npos) allowed = false;
  });
  return allowed;
}

// Sheet names are compared as readers compare them: ASCII letters without
// case (Gnumeric drops, LibreOffice renames a sheet whose name differs from
// another's only in case).
std::string TXLSWorkSheets::NameKey(const std::string& stored, uint16_t code_page) {
  std::string key = stored;
  ForEachSingleByteChar(key, code_page, [&key](size_t pos) {
    if (key[pos] >= 'A' && key[pos] <= 'Z') key[pos] = static_cast<char>(key[pos] - 'A' + 'a');
  });
  return key;
}

// Names are checked as the file will hold them: converted to the code page
// in UTF-8 mode, where "Ωa" and "Σa" both become "_a" in 1252.
bool TXLSWorkSheets::CheckName(int32_t index, const std::string& name) const {
  const uint16_t codePage = workbook_.SheetNameCodePage();
  const std::string stored = workbook_.StoredSheetName(name);
  if (!IsAllowedName(stored, codePage, workbook_.SheetNameLength(stored))) return false;
  const std::string key = NameKey(stored, codePage);
  for (int32_t i = 1; i <= GetCount(); ++i) {
    if (i != index && NameKey(workbook_.StoredSheetName(GetSheet(i)->GetName()), codePage) == key)
      return false;
  }
  return true;
}

std::string TXLSWorkSheets::GetNewName() const {
  int32_t number = GetCount() + 1;
  std::string name = workbook_.GetDefaultSheetPrefix() + std::to_string(number);
  while (!CheckName(0, name)) name = workbook_.GetDefaultSheetPrefix() + std::to_string(++number);
  return name;
}

void TXLSWorkSheets::Delete(int32_t index) {
  TXLSWorksheet* sheet = GetSheet(index);
  if (sheet == nullptr) return;
  const bool wasActive = sheet == active_;
  const size_t at = static_cast<size_t>(index - 1);
  std::unique_ptr<TXLSWorksheet> removed = std::move(sheets_[at]);
  sheets_.erase(sheets_.begin() + static_cast<std::ptrdiff_t>(at));
  Renumber(at);
  TXLSWorksheet::Detach(std::move(removed));
  if (!wasActive) return;
  active_ = nullptr;
  if (GetCount() > 0) GetSheet(1)->Activate();
}

void TXLSWorkSheets::MoveSheet(int32_t from, int32_t to) {
  if (from == to || GetSheet(from) == nullptr || GetSheet(to) == nullptr) return;
  const auto first = sheets_.begin() + std::min(from, to) - 1;
  const auto last = sheets_.begin() + std::max(from, to);
  // One rotation moves the sheet and closes the gap in either direction.
  if (from < to) {
    std::rotate(first, first + 1, last);
  } else {
    std::rotate(first, last - 1, last);
  }
  Renumber(static_cast<size_t>(std::min(from, to) - 1));
}

void TXLSWorkSheets::Deselect() {
  for (const auto& sheet : sheets_) sheet->SetSelected(false);
}

int32_t TXLSWorkSheets::IndexOf(const IXLSWorkSheet* sheet) const {
  for (size_t i = 0; i < sheets_.size(); ++i) {
    if (static_cast<const IXLSWorkSheet*>(sheets_[i].get()) == sheet) {
      return static_cast<int32_t>(i + 1);
    }
  }
  return 0;
}

void TXLSWorkSheets::Renumber(size_t first) {
  for (size_t i = first; i < sheets_.size(); ++i) {
    sheets_[i]->SetSheetIndex(static_cast<uint16_t>(i + 1));
  }
}

}  // namespace tabulon
