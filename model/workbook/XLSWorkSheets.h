// The ordered collection of a workbook's worksheets. It creates sheets with
// generated names, inserts, deletes and moves them, keeps every sheet's index
// equal to its 1-based position, validates sheet names and remembers the
// active sheet. It owns its sheets: references handed out never free them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "XLSInterfaces.h"
#include "XLSObject.h"

namespace tabulon {

class TXLSWorkbook;
class TXLSWorksheet;

/// Longest sheet name the file format accepts, in bytes of the code page.
constexpr size_t XLSMaxSheetNameLength = 31;

/// The worksheets of a workbook, in tab order (indexes from 1). It owns the
/// sheets: references handed out never free them.
class TXLSWorkSheets : public XLSImplements<IXLSWorkSheets> {
 public:
  /// Made by the workbook.
  /// @param workbook The owning workbook.
  explicit TXLSWorkSheets(TXLSWorkbook& workbook);
  ~TXLSWorkSheets() override;

  // IXLSWorkSheets
  /// The sheet at index 1 to count, or none.
  XLSPtr<IXLSWorkSheet> Get(int32_t index) override;
  int32_t GetCount() override;
  /// Appends a sheet with a new name.
  XLSPtr<IXLSWorkSheet> Add() override;
  /// Inserts count sheets before `before`, else after `after`, else at the
  /// end; answers the last one added, or none when count <= 0 or a given
  /// sheet does not belong to this collection. type is not used.
  XLSPtr<IXLSWorkSheet> Add(IXLSWorkSheet* before, IXLSWorkSheet* after, int32_t count,
                            const OleVariant& type) override;

  /// @return The number of sheets.
  int32_t GetCount() const { return static_cast<int32_t>(sheets_.size()); }
  /// The sheet at index 1 to count, or nullptr.
  TXLSWorksheet* GetSheet(int32_t index) const;
  /// Creates a sheet with a new name at position 1 to count + 1 (other
  /// positions are refused with nullptr); the first sheet becomes active.
  TXLSWorksheet* AddSheet(int32_t position);
  /// True when name may be given to the sheet at index (0: a new sheet): as
  /// the workbook will store it (StoredSheetName), 1 to 31 bytes (BIFF8: 31
  /// characters), none of
  /// [ ] : * ? / \, and no other sheet's stored name equal to it, ASCII
  /// letters compared without case.
  bool CheckName(int32_t index, const std::string& name) const;
  /// "Sheet" followed by the lowest number from count + 1 up that is free.
  std::string GetNewName() const;
  /// True when name may name a sheet regardless of the other sheets: 1 to 31
  /// bytes and none of [ ] : * ? / \ among its characters (a trail byte of a
  /// double-byte character is no such character).
  /// @param name the proposed sheet name, in code page bytes.
  /// @param code_page The code page of name.
  /// @param length Its length as the file format counts it; npos: its bytes.
  static bool IsAllowedName(const std::string& name, uint16_t code_page = 1252,
                            size_t length = std::string::npos);
  /// The form in which readers compare sheet names.
  /// @param stored A sheet name in code page bytes.
  /// @param code_page The code page of stored.
  /// @return stored with its ASCII letters in lower case; the bytes of
  /// double-byte characters are kept.
  static std::string NameKey(const std::string& stored, uint16_t code_page);
  /// Removes the sheet at index from the workbook and hands it to
  /// TXLSWorksheet::Detach, which frees it once nothing holds it (outside 1
  /// to count: nothing happens). When it
  /// was active, the first remaining sheet is activated.
  void Delete(int32_t index);
  /// Moves the sheet at from to position to (both 1 to count, else nothing).
  void MoveSheet(int32_t from, int32_t to);
  /// Clears the selected flag of every sheet.
  void Deselect();
  /// @return The sheet a reader opens on, or null.
  TXLSWorksheet* GetActiveSheet() const { return active_; }
  /// @param sheet The sheet a reader opens on (one of this collection).
  void SetActiveSheet(TXLSWorksheet* sheet) { active_ = sheet; }
  /// The 1-based position of sheet in this collection, or 0 when it is not
  /// one of its sheets.
  int32_t IndexOf(const IXLSWorkSheet* sheet) const;

 private:
  /// Gives every sheet from position first on its position as index.
  void Renumber(size_t first);

  TXLSWorkbook& workbook_;
  std::vector<std::unique_ptr<TXLSWorksheet>> sheets_;
  TXLSWorksheet* active_ = nullptr;
};

}  // namespace tabulon
