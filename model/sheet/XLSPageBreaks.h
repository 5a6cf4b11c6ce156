// The horizontal and vertical page breaks of a worksheet, with the HBREAK and
// VBREAK records the sheet substream carries, as IXLSWorkSheet::GetHPageBreaks
// and GetVPageBreaks hand them out.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "XLSInterfaces.h"
#include "XLSObject.h"

namespace tabulon {

class TXLSRecordSection;
class TXLSPageBreaks;
class TXLSWorksheet;

/// One page break: the page breaks before row (horizontal) or column
/// (vertical) Position, zero-based. Index is its 1-based place in its
/// collection.
class TXLSPageBreak {
 public:
  /// Made by its collection (TXLSPageBreaks::Add).
  /// @param collection The owning collection.
  /// @param position Row (horizontal) or column (vertical) the page breaks before, from 0.
  TXLSPageBreak(TXLSPageBreaks& collection, int32_t position);
  virtual ~TXLSPageBreak() = default;
  TXLSPageBreak(const TXLSPageBreak&) = delete;
  TXLSPageBreak& operator=(const TXLSPageBreak&) = delete;

  /// @return The place of the break in its collection, from 1.
  int32_t GetIndex() const { return index_; }
  /// @return The row or column the page breaks before, from 0.
  int32_t GetPosition() const { return position_; }
  /// @return The collection holding the break.
  TXLSPageBreaks& GetCollection() const { return collection_; }
  /// Removes this break from its collection, which frees it: do not use the
  /// break afterwards.
  void Delete();
  /// The whole row or column the break stands before.
  XLSPtr<IXLSRange> GetLocation() const;

 private:
  friend class TXLSPageBreaks;
  TXLSPageBreaks& collection_;
  int32_t index_ = 0;
  int32_t position_;
};

/// A break before a row.
class TXLSHPageBreak : public TXLSPageBreak {
 public:
  using TXLSPageBreak::TXLSPageBreak;  ///< Made by TXLSPageBreaks::Add.
};

/// A break before a column.
class TXLSVPageBreak : public TXLSPageBreak {
 public:
  using TXLSPageBreak::TXLSPageBreak;  ///< Made by TXLSPageBreaks::Add.
};

/// Breaks kept in ascending position order without duplicates; indexes count
/// from 1.
class TXLSPageBreaks {
 public:
  /// The most breaks one HBREAK or VBREAK record can carry in its 16-bit
  /// length field.
  static constexpr int32_t kMaxBreaks = (0xFFFF - 2) / 2;

  /// Made by the worksheet.
  /// @param worksheet The owning sheet.
  /// @param vertical true for breaks before columns.
  TXLSPageBreaks(TXLSWorksheet& worksheet, bool vertical);
  virtual ~TXLSPageBreaks();
  TXLSPageBreaks(const TXLSPageBreaks&) = delete;
  TXLSPageBreaks& operator=(const TXLSPageBreaks&) = delete;

  /// A break before the range's first row (horizontal) or first column
  /// (vertical): the existing one at that position, or a new one. nullptr
  /// when range is null or the collection is full (kMaxBreaks).
  TXLSPageBreak* Add(IXLSRange* range);
  /// Add with the range as FGetRange hands it out:
  /// `sheet->GetHPageBreaks()->Add(sheet->FGetRange("A20", "A20"))`.
  /// @param range The range whose first row (or column) starts the new page.
  /// @return The break, or null when range is empty or the collection is full.
  TXLSPageBreak* Add(const XLSPtr<IXLSRange>& range) { return Add(range.get()); }
  /// A break before a row (horizontal) or column (vertical).
  /// @param position Row or column, from 0.
  /// @return The existing or new break; null when the collection is full or the
  /// position is outside the sheet.
  TXLSPageBreak* AddPageBreak(int32_t position);
  /// @return The number of breaks.
  int32_t GetCount() const { return static_cast<int32_t>(breaks_.size()); }
  /// nullptr outside 1 to count.
  TXLSPageBreak* Get(int32_t index) const;
  /// @param index 1 to GetCount().
  /// @return The break, or null outside that range.
  TXLSPageBreak* GetPageBreak(int32_t index) const { return Get(index); }
  /// Frees the break; the later ones move down one place.
  void Delete(int32_t index);
  /// Removes every break.
  void ClearAll();
  /// A new range over the break's whole row (a rows range) or column (a
  /// columns range); empty for a bad index.
  XLSPtr<IXLSRange> GetLocation(int32_t index) const;

  /// @return true for breaks before columns.
  bool IsVertical() const { return vertical_; }
  /// @return The owning sheet.
  TXLSWorksheet& GetWorksheet() const { return worksheet_; }
  /// HBREAK or VBREAK with every position in ascending order; nothing (and 1)
  /// when there are no breaks.
  int32_t Store(TXLSRecordSection& section) const;

 protected:
  /// Makes a break of the collection's kind.
  /// @param position Row or column, from 0.
  /// @return The new break.
  virtual std::unique_ptr<TXLSPageBreak> CreatePageBreak(int32_t position) = 0;

 private:
  void Renumber(size_t from);

  TXLSWorksheet& worksheet_;
  bool vertical_;
  std::vector<std::unique_ptr<TXLSPageBreak>> breaks_;
};

/// Breaks before rows.
class TXLSHPageBreaks : public TXLSPageBreaks {
 public:
  /// Made by the worksheet.
  /// @param worksheet The owning sheet.
  explicit TXLSHPageBreaks(TXLSWorksheet& worksheet) : TXLSPageBreaks(worksheet, false) {}

 protected:
  /// @param position Row, from 0.
  /// @return A new TXLSHPageBreak.
  std::unique_ptr<TXLSPageBreak> CreatePageBreak(int32_t position) override;
};

/// Breaks before columns.
class TXLSVPageBreaks : public TXLSPageBreaks {
 public:
  /// Made by the worksheet.
  /// @param worksheet The owning sheet.
  explicit TXLSVPageBreaks(TXLSWorksheet& worksheet) : TXLSPageBreaks(worksheet, true) {}

 protected:
  /// @param position Column, from 0.
  /// @return A new TXLSVPageBreak.
  std::unique_ptr<TXLSPageBreak> CreatePageBreak(int32_t position) override;
};

}  // namespace tabulon
