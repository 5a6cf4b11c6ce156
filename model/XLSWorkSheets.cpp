#include "XLSWorkSheets.h"

#include <algorithm>

#include "XLSWorkbook.h"
#include "XLSWorksheet.h"

namespace tabulon {

namespace {

// Characters that sheet references in formulas and file names would misread.
constexpr char kForbiddenNameChars[] = "[]:*?/\\";

// Sheet names are compared as readers compare them: ASCII letters without
// case (Gnumeric drops, LibreOffice renames a sheet whose name differs from
// another's only in case).
bool SameSheetName(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
           return lower(x) == lower(y);
         });
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

bool TXLSWorkSheets::IsAllowedName(const std::string& name) {
  // Readers rename a sheet without a name, so one is required.
  if (name.empty() || name.size() > XLSMaxSheetNameLength) return false;
  return name.find_first_of(kForbiddenNameChars) == std::string::npos;
}

// The length limit counts bytes of the workbook's code page, which a UTF-8
// name may exceed before conversion.
bool TXLSWorkSheets::CheckName(int32_t index, const std::string& name) const {
  if (name.empty() || workbook_.CodePageLength(name) > XLSMaxSheetNameLength) return false;
  if (name.find_first_of(kForbiddenNameChars) != std::string::npos) return false;
  for (int32_t i = 1; i <= GetCount(); ++i) {
    if (i != index && SameSheetName(GetSheet(i)->GetName(), name)) return false;
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
