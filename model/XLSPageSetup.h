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

// Owned by its worksheet; interface references never free it.
class TXLSPageSetup : public XLSImplements<IXLSPageSetup> {
 public:
  static constexpr double kDefaultHeaderMargin = 0.5;
  static constexpr double kDefaultFooterMargin = 0.5;
  static constexpr double kDefaultTopMargin = 1.0;
  static constexpr double kDefaultBottomMargin = 1.0;
  static constexpr double kDefaultLeftMargin = 0.75;
  static constexpr double kDefaultRightMargin = 0.75;
  static constexpr uint16_t kDefaultZoom = 100;

  explicit TXLSPageSetup(TXLSWorksheet& worksheet);

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
  // 1 portrait, 2 landscape; other values are ignored.
  void SetOrientation(int32_t orientation) override;
  // 256 (user-defined) is stored as 0; values the 16-bit field cannot hold
  // are ignored.
  void SetPaperSize(int32_t paper_size) override;
  void SetBottomMargin(double inches) override;
  void SetCenterFooter(const std::string& text) override;
  void SetCenterHeader(const std::string& text) override;
  void SetCenterHorizontally(bool center) override;
  void SetCenterVertically(bool center) override;
  // A 16- or 32-bit integer from 0 to 65535, or false for 0 (off).
  void SetFitToPagesTall(const OleVariant& pages) override;
  void SetFitToPagesWide(const OleVariant& pages) override;
  void SetFooterMargin(double inches) override;
  void SetHeaderMargin(double inches) override;
  void SetLeftFooter(const std::string& text) override;
  void SetLeftHeader(const std::string& text) override;
  void SetLeftMargin(double inches) override;
  // 'A1:C5' sets the print area, empty text clears it; other text changes
  // nothing and names itself in the sheet's GetLastError.
  void FSetPrintArea(const std::string& range) override;
  void SetPrintGridlines(bool print) override;
  void SetPrintHeadings(bool print) override;
  // '$A:$B' / '$1:$3'; unparsable text changes nothing and names itself in
  // the sheet's GetLastError.
  void SetPrintTitleColumns(const std::string& columns) override;
  void SetPrintTitleRows(const std::string& rows) override;
  void SetRightFooter(const std::string& text) override;
  void SetRightHeader(const std::string& text) override;
  void SetRightMargin(double inches) override;
  void SetTopMargin(double inches) override;
  // An integer from 10 to 400, or false for 0 (no scaling).
  void SetZoom(const OleVariant& zoom) override;
  // Zero-based corners; reversed or out-of-sheet areas are ignored.
  void SetPrintArea(uint16_t first_row, uint16_t first_col, uint16_t last_row,
                    uint16_t last_col) override;

  // Print area, zero-based; present when its first row is 0 or more.
  bool HasPrintArea() const { return printArea_.FirstRow >= 0; }
  int32_t GetPrintAreaFirstRow() const { return printArea_.FirstRow; }
  int32_t GetPrintAreaLastRow() const { return printArea_.LastRow; }
  int32_t GetPrintAreaFirstCol() const { return printArea_.FirstCol; }
  int32_t GetPrintAreaLastCol() const { return printArea_.LastCol; }
  // Print titles, one-based; absent when the first is 0 or less.
  bool HasPrintTitleRows() const { return titleRows_.First > 0; }
  int32_t GetPrintTitleFirstRow() const { return titleRows_.First; }
  int32_t GetPrintTitleLastRow() const { return titleRows_.Last; }
  bool HasPrintTitleColumns() const { return titleCols_.First > 0; }
  int32_t GetPrintTitleFirstCol() const { return titleCols_.First; }
  int32_t GetPrintTitleLastCol() const { return titleCols_.Last; }

  // PRINTHEADERS, PRINTGRIDLINES, GRIDSET and WSBOOL.
  int32_t StoreHeaderRecords(TXLSRecordSection& section) const;
  // SETUP.
  int32_t StoreSetup(TXLSRecordSection& section) const;
  // BOTTOMMARGIN, TOPMARGIN, RIGHTMARGIN, LEFTMARGIN, VCENTER, HCENTER,
  // FOOTER and HEADER.
  int32_t StoreMargins(TXLSRecordSection& section) const;

  // The texts the HEADER and FOOTER records carry: "&L" left, "&C" centre,
  // "&R" right, each only when not empty.
  std::string GetHeaderText() const;
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

// One page break: the page breaks before row (horizontal) or column
// (vertical) Position, zero-based. Index is its 1-based place in its
// collection.
class TXLSPageBreak {
 public:
  TXLSPageBreak(TXLSPageBreaks& collection, int32_t position);
  virtual ~TXLSPageBreak() = default;
  TXLSPageBreak(const TXLSPageBreak&) = delete;
  TXLSPageBreak& operator=(const TXLSPageBreak&) = delete;

  int32_t GetIndex() const { return index_; }
  int32_t GetPosition() const { return position_; }
  TXLSPageBreaks& GetCollection() const { return collection_; }
  // Removes this break from its collection, which frees it: do not use the
  // break afterwards.
  void Delete();
  // The whole row or column the break stands before.
  XLSPtr<IXLSRange> GetLocation() const;

 private:
  friend class TXLSPageBreaks;
  TXLSPageBreaks& collection_;
  int32_t index_ = 0;
  int32_t position_;
};

class TXLSHPageBreak : public TXLSPageBreak {
 public:
  using TXLSPageBreak::TXLSPageBreak;
};

class TXLSVPageBreak : public TXLSPageBreak {
 public:
  using TXLSPageBreak::TXLSPageBreak;
};

// Breaks kept in ascending position order without duplicates; indexes count
// from 1.
class TXLSPageBreaks {
 public:
  // The most breaks one HBREAK or VBREAK record can carry in its 16-bit
  // length field.
  static constexpr int32_t kMaxBreaks = (0xFFFF - 2) / 2;

  TXLSPageBreaks(TXLSWorksheet& worksheet, bool vertical);
  virtual ~TXLSPageBreaks();
  TXLSPageBreaks(const TXLSPageBreaks&) = delete;
  TXLSPageBreaks& operator=(const TXLSPageBreaks&) = delete;

  // A break before the range's first row (horizontal) or first column
  // (vertical): the existing one at that position, or a new one. nullptr
  // when range is null or the collection is full (kMaxBreaks).
  TXLSPageBreak* Add(IXLSRange* range);
  TXLSPageBreak* AddPageBreak(int32_t position);
  int32_t GetCount() const { return static_cast<int32_t>(breaks_.size()); }
  // nullptr outside 1 to count.
  TXLSPageBreak* Get(int32_t index) const;
  TXLSPageBreak* GetPageBreak(int32_t index) const { return Get(index); }
  // Frees the break; the later ones move down one place.
  void Delete(int32_t index);
  void ClearAll();
  // A new range over the break's whole row (a rows range) or column (a
  // columns range); empty for a bad index.
  XLSPtr<IXLSRange> GetLocation(int32_t index) const;

  bool IsVertical() const { return vertical_; }
  TXLSWorksheet& GetWorksheet() const { return worksheet_; }
  // HBREAK or VBREAK with every position in ascending order; nothing (and 1)
  // when there are no breaks.
  int32_t Store(TXLSRecordSection& section) const;

 protected:
  virtual std::unique_ptr<TXLSPageBreak> CreatePageBreak(int32_t position) = 0;

 private:
  void Renumber(size_t from);

  TXLSWorksheet& worksheet_;
  bool vertical_;
  std::vector<std::unique_ptr<TXLSPageBreak>> breaks_;
};

// Breaks before rows.
class TXLSHPageBreaks : public TXLSPageBreaks {
 public:
  explicit TXLSHPageBreaks(TXLSWorksheet& worksheet) : TXLSPageBreaks(worksheet, false) {}

 protected:
  std::unique_ptr<TXLSPageBreak> CreatePageBreak(int32_t position) override;
};

// Breaks before columns.
class TXLSVPageBreaks : public TXLSPageBreaks {
 public:
  explicit TXLSVPageBreaks(TXLSWorksheet& worksheet) : TXLSPageBreaks(worksheet, true) {}

 protected:
  std::unique_ptr<TXLSPageBreak> CreatePageBreak(int32_t position) override;
};

}  // namespace tabulon
