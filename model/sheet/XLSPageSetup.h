// Print settings of a worksheet (orientation, paper, scaling, margins, header
// and footer, centring, grid lines and headings, print area and print titles)
// and its horizontal and vertical page breaks, with the print records the
// sheet substream carries. The workbook reads the print area and the print
// titles for its built-in NAME records.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "OleVariant.h"
#include "XLSBlob.h"
#include "XLSInterfaces.h"
#include "XLSObject.h"
#include "XLSRecordSection.h"

namespace tabulon {

class TXLSWorksheet;

/// The print settings of a worksheet (IXLSPageSetup). Owned by its worksheet;
/// interface references never free it.
class TXLSPageSetup : public XLSImplements<IXLSPageSetup> {
 public:
  /// Margins of a new sheet, in inches.
  ///@{
  static constexpr double kDefaultHeaderMargin = 0.5;
  static constexpr double kDefaultFooterMargin = 0.5;
  static constexpr double kDefaultTopMargin = 1.0;
  static constexpr double kDefaultBottomMargin = 1.0;
  static constexpr double kDefaultLeftMargin = 0.75;
  static constexpr double kDefaultRightMargin = 0.75;
  ///@}
  /// Print scale of a new sheet, in percent.
  static constexpr uint16_t kDefaultZoom = 100;

  /// Made by its worksheet.
  /// @param worksheet The owning sheet.
  explicit TXLSPageSetup(TXLSWorksheet& worksheet);

  /// @return The owning sheet.
  TXLSWorksheet& GetWorksheet() const { return worksheet_; }

  // IXLSPageSetup
  int32_t GetOrientation() override;
  int32_t GetPaperSize() override;
  double GetBottomMargin() override;
  std::string GetCenterFooter() override;
  std::string GetCenterHeader() override;
  bool GetCenterHorizontally() override;
  bool GetCenterVertically() override;
  OleVariant GetFitToPagesTall() override;
  OleVariant GetFitToPagesWide() override;
  double GetFooterMargin() override;
  double GetHeaderMargin() override;
  std::string GetLeftFooter() override;
  std::string GetLeftHeader() override;
  double GetLeftMargin() override;
  std::string FGetPrintArea() override;
  bool GetPrintGridlines() override;
  bool GetPrintHeadings() override;
  std::string GetPrintTitleColumns() override;
  std::string GetPrintTitleRows() override;
  std::string GetRightFooter() override;
  std::string GetRightHeader() override;
  double GetRightMargin() override;
  double GetTopMargin() override;
  OleVariant GetZoom() override;
  /// 1 portrait, 2 landscape; other values are ignored.
  void SetOrientation(int32_t orientation) override;
  /// 256 (user-defined) is stored as 0; values the 16-bit field cannot hold
  /// are ignored.
  void SetPaperSize(int32_t paper_size) override;
  void SetBottomMargin(double inches) override;
  void SetCenterFooter(const std::string& text) override;
  void SetCenterHeader(const std::string& text) override;
  void SetCenterHorizontally(bool center) override;
  void SetCenterVertically(bool center) override;
  /// A 16- or 32-bit integer from 0 to 65535, or false for 0 (off).
  void SetFitToPagesTall(const OleVariant& pages) override;
  void SetFitToPagesWide(const OleVariant& pages) override;
  void SetFooterMargin(double inches) override;
  void SetHeaderMargin(double inches) override;
  void SetLeftFooter(const std::string& text) override;
  void SetLeftHeader(const std::string& text) override;
  void SetLeftMargin(double inches) override;
  /// 'A1:C5' sets the print area, empty text clears it; other text changes
  /// nothing and names itself in the sheet's GetLastError.
  void FSetPrintArea(const std::string& range) override;
  void SetPrintGridlines(bool print) override;
  void SetPrintHeadings(bool print) override;
  /// '$A:$B' / '$1:$3'; unparsable text changes nothing and names itself in
  /// the sheet's GetLastError.
  void SetPrintTitleColumns(const std::string& columns) override;
  void SetPrintTitleRows(const std::string& rows) override;
  void SetRightFooter(const std::string& text) override;
  void SetRightHeader(const std::string& text) override;
  void SetRightMargin(double inches) override;
  void SetTopMargin(double inches) override;
  /// An integer from 10 to 400, or false for 0 (no scaling).
  void SetZoom(const OleVariant& zoom) override;
  /// Zero-based corners; reversed or out-of-sheet areas are ignored.
  void SetPrintArea(uint16_t first_row, uint16_t first_col, uint16_t last_row,
                    uint16_t last_col) override;

  /// Print area, zero-based; present when its first row is 0 or more.
  bool HasPrintArea() const { return printArea_.FirstRow >= 0; }
  /// @return First row of the print area, from 0; -1 when none.
  int32_t GetPrintAreaFirstRow() const { return printArea_.FirstRow; }
  /// @return Last row of the print area, from 0; -1 when none.
  int32_t GetPrintAreaLastRow() const { return printArea_.LastRow; }
  /// @return First column of the print area, from 0; -1 when none.
  int32_t GetPrintAreaFirstCol() const { return printArea_.FirstCol; }
  /// @return Last column of the print area, from 0; -1 when none.
  int32_t GetPrintAreaLastCol() const { return printArea_.LastCol; }
  /// Print titles, one-based; absent when the first is 0 or less.
  bool HasPrintTitleRows() const { return titleRows_.First > 0; }
  /// @return First repeated row, from 1; 0 when none.
  int32_t GetPrintTitleFirstRow() const { return titleRows_.First; }
  /// @return Last repeated row, from 1.
  int32_t GetPrintTitleLastRow() const { return titleRows_.Last; }
  /// @return Whether columns repeat on every page.
  bool HasPrintTitleColumns() const { return titleCols_.First > 0; }
  /// @return First repeated column, from 1; 0 when none.
  int32_t GetPrintTitleFirstCol() const { return titleCols_.First; }
  /// @return Last repeated column, from 1.
  int32_t GetPrintTitleLastCol() const { return titleCols_.Last; }

  /// PRINTHEADERS, PRINTGRIDLINES, GRIDSET and WSBOOL.
  int32_t StoreHeaderRecords(TXLSRecordSection& section) const;
  /// SETUP.
  int32_t StoreSetup(TXLSRecordSection& section) const;
  /// BOTTOMMARGIN, TOPMARGIN, RIGHTMARGIN, LEFTMARGIN, VCENTER, HCENTER,
  /// FOOTER and HEADER.
  int32_t StoreMargins(TXLSRecordSection& section) const;

  /// The texts the HEADER and FOOTER records carry: "&L" left, "&C" centre,
  /// "&R" right, each only when not empty.
  std::string GetHeaderText() const;
  /// @return The FOOTER record's text, built as GetHeaderText builds the header's.
  std::string GetFooterText() const;

 private:
  struct TArea {
    int32_t FirstRow = -1;
    int32_t LastRow = -1;
    int32_t FirstCol = -1;
    int32_t LastCol = -1;
  };
  struct TPair {
    int32_t First = 0;
    int32_t Last = 0;
  };
  struct TThreeParts {
    std::string Left;
    std::string Center;
    std::string Right;
  };

  static std::string JoinParts(const TThreeParts& parts);
  uint16_t WsboolFlags() const;

  TXLSWorksheet& worksheet_;
  TArea printArea_;
  bool portrait_ = true;
  uint16_t paperSize_ = 0;
  bool printGridLines_ = true;
  bool centerHorizontally_ = false;
  bool centerVertically_ = false;
  bool printHeadings_ = false;
  double headerMargin_ = kDefaultHeaderMargin;
  double footerMargin_ = kDefaultFooterMargin;
  double bottomMargin_ = kDefaultBottomMargin;
  double rightMargin_ = kDefaultRightMargin;
  double leftMargin_ = kDefaultLeftMargin;
  double topMargin_ = kDefaultTopMargin;
  std::string printAreaText_;
  TThreeParts header_;
  TThreeParts footer_;
  TPair titleCols_;
  TPair titleRows_;
  uint16_t fitToPagesWide_ = 0;
  uint16_t zoom_ = kDefaultZoom;
  uint16_t fitToPagesTall_ = 0;
};

class TXLSPageBreaks;

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
