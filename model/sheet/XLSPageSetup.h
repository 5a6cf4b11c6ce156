// Print settings of a worksheet (orientation, paper, scaling, margins, header
// and footer, centring, grid lines and headings, print area and print titles)
// with the print records the sheet substream carries; its page breaks are in
// XLSPageBreaks.h. The workbook reads the print area and the print titles for
// its built-in NAME records.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "OleVariant.h"
#include "XLSBlob.h"
#include "XLSInterfaces.h"
#include "XLSObject.h"
#include "XLSPageBreaks.h"
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

}  // namespace tabulon
