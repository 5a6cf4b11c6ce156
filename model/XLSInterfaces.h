// The nine interfaces of the object model. Callers built against these
// declarations see the same operations in the same order whatever class
// serves them: after the three counting slots of IXLSUnknown, each interface
// lists its operations in a fixed slot order, and the declaration order below
// is that order. Never reorder, insert or remove a method.
//
// Every operation that hands out an interface returns an XLSPtr, which holds
// one reference; callers never release by hand. Optional arguments are
// variants that the caller passes as OleVariant::Missing(). Interfaces of the
// workbook, its sheets, their collection and page setups stay valid only while
// the workbook lives; ranges and their companions must not outlive it either.
// Each interface has a protected destructor and no assignment, so an object is
// never destroyed or overwritten through an interface reference.
#pragma once

#include <cstdint>
#include <string>

#include "OleVariant.h"
#include "XLSObject.h"

namespace tabulon {

// Colour value, red in the low byte: 0x00BBGGRR. Host colours pass unchanged.
using TXLSColor = uint32_t;

class IXLSFont;
class IXLSInterior;
class IXLSBorders;
class IXLSBorder;
class IXLSRange;
class IXLSPageSetup;
class IXLSWorkSheet;
class IXLSWorkSheets;
class IXLSWorkBook;

// Classes handed out as themselves rather than through an interface
// (declared in XLSPageSetup.h, which the umbrella header Tabulon.h includes).
class TXLSHPageBreaks;
class TXLSVPageBreaks;

// A rectangle of cells. Row and column numbers of GetItem, GetRow and
// GetColumn count from 1; GetFirstRow .. GetLastCol count from 0.
class IXLSRange : public IXLSUnknown {
 public:
  virtual XLSPtr<IXLSRange> GetItem(uint16_t row_offset, uint16_t column_offset) = 0;
  virtual void SetValue(const OleVariant& value) = 0;
  virtual OleVariant GetValue() = 0;
  virtual XLSPtr<IXLSRange> GetEntireRow() = 0;
  virtual XLSPtr<IXLSRange> GetEntireColumn() = 0;
  virtual XLSPtr<IXLSRange> GetRows() = 0;
  virtual XLSPtr<IXLSRange> GetColumns() = 0;
  virtual int32_t GetRow() = 0;
  virtual int32_t GetColumn() = 0;
  virtual int32_t GetCount() = 0;
  virtual XLSPtr<IXLSFont> GetFont() = 0;
  virtual XLSPtr<IXLSInterior> GetInterior() = 0;
  virtual OleVariant GetColumnWidth() = 0;
  virtual void SetColumnWidth(const OleVariant& width) = 0;
  virtual OleVariant GetRowHeight() = 0;
  virtual void SetRowHeight(const OleVariant& height) = 0;
  virtual OleVariant GetHidden() = 0;
  virtual void SetHidden(const OleVariant& hidden) = 0;
  virtual OleVariant GetWrapText() = 0;
  virtual void SetWrapText(const OleVariant& wrap) = 0;
  virtual XLSPtr<IXLSBorders> GetBorders() = 0;
  virtual std::string GetNumFormat() = 0;
  virtual void SetNumFormat(const std::string& format) = 0;
  virtual int32_t GetHAlign() = 0;
  virtual void SetHAlign(int32_t alignment) = 0;
  virtual int32_t GetVAlign() = 0;
  virtual void SetVAlign(int32_t alignment) = 0;
  virtual XLSPtr<IXLSRange> GetCells() = 0;
  virtual void Merge(const OleVariant& across) = 0;
  virtual void Select() = 0;
  virtual void ClearContents() = 0;
  virtual void Clear() = 0;
  virtual OleVariant Insert(const OleVariant& shift) = 0;
  virtual OleVariant Delete(const OleVariant& shift) = 0;
  virtual uint8_t GetFirstCol() = 0;
  virtual uint8_t GetLastCol() = 0;
  virtual uint16_t GetFirstRow() = 0;
  virtual uint16_t GetLastRow() = 0;
  virtual void Unmerge() = 0;

 protected:
  ~IXLSRange() = default;
};

// The font of a range: getters first, then the setters in their own order.
class IXLSFont : public IXLSUnknown {
 public:
  virtual std::string GetName() = 0;
  virtual float GetSize() = 0;
  virtual uint16_t GetColorIndex() = 0;
  virtual TXLSColor GetColor() = 0;
  virtual bool GetBold() = 0;
  virtual bool GetItalic() = 0;
  virtual bool GetStrikethrough() = 0;
  virtual bool GetOutLineFont() = 0;
  virtual bool GetShadow() = 0;
  virtual int32_t GetUnderLine() = 0;
  virtual bool GetSubScript() = 0;
  virtual bool GetSuperScript() = 0;
  virtual void SetSize(float points) = 0;
  virtual void SetColorIndex(uint16_t index) = 0;
  virtual void SetColor(TXLSColor color) = 0;
  virtual void SetBold(bool bold) = 0;
  virtual void SetItalic(bool italic) = 0;
  virtual void SetStrikethrough(bool strikethrough) = 0;
  virtual void SetOutLineFont(bool outline) = 0;
  virtual void SetShadow(bool shadow) = 0;
  virtual void SetUnderLine(int32_t underline) = 0;
  virtual void SetSubScript(bool subscript) = 0;
  virtual void SetSuperScript(bool superscript) = 0;
  virtual void SetName(const std::string& name) = 0;

 protected:
  ~IXLSFont() = default;
};

// The fill of a range.
class IXLSInterior : public IXLSUnknown {
 public:
  virtual void SetColor(TXLSColor color) = 0;
  virtual TXLSColor GetColor() = 0;
  virtual void SetPatternColor(TXLSColor color) = 0;
  virtual TXLSColor GetPatternColor() = 0;
  virtual void SetColorIndex(int32_t index) = 0;
  virtual void SetPatternColorIndex(int32_t index) = 0;
  virtual void SetPattern(int32_t pattern) = 0;
  virtual int32_t GetColorIndex() = 0;
  virtual int32_t GetPatternColorIndex() = 0;
  virtual int32_t GetPattern() = 0;

 protected:
  ~IXLSInterior() = default;
};

// One border of a range.
class IXLSBorder : public IXLSUnknown {
 public:
  virtual TXLSColor GetColor() = 0;
  virtual int32_t GetColorIndex() = 0;
  virtual int32_t GetLineStyle() = 0;
  virtual void SetColor(TXLSColor color) = 0;
  virtual void SetColorIndex(int32_t index) = 0;
  virtual void SetLineStyle(int32_t line_style) = 0;
  virtual int32_t GetWeight() = 0;
  virtual void SetWeight(int32_t weight) = 0;

 protected:
  ~IXLSBorder() = default;
};

// All borders of a range at once: the same operations as one border, in the
// same slots, followed by GetBorder, which picks one border by its index.
class IXLSBorders : public IXLSBorder {
 public:
  virtual XLSPtr<IXLSBorder> GetBorder(int32_t border_index) = 0;

 protected:
  ~IXLSBorders() = default;
};

// The print settings of a worksheet: all getters, then all setters.
class IXLSPageSetup : public IXLSUnknown {
 public:
  virtual int32_t GetOrientation() = 0;
  virtual int32_t GetPaperSize() = 0;
  virtual double GetBottomMargin() = 0;
  virtual std::string GetCenterFooter() = 0;
  virtual std::string GetCenterHeader() = 0;
  virtual bool GetCenterHorizontally() = 0;
  virtual bool GetCenterVertically() = 0;
  virtual OleVariant GetFitToPagesTall() = 0;
  virtual OleVariant GetFitToPagesWide() = 0;
  virtual double GetFooterMargin() = 0;
  virtual double GetHeaderMargin() = 0;
  virtual std::string GetLeftFooter() = 0;
  virtual std::string GetLeftHeader() = 0;
  virtual double GetLeftMargin() = 0;
  virtual std::string FGetPrintArea() = 0;
  virtual bool GetPrintGridlines() = 0;
  virtual bool GetPrintHeadings() = 0;
  virtual std::string GetPrintTitleColumns() = 0;
  virtual std::string GetPrintTitleRows() = 0;
  virtual std::string GetRightFooter() = 0;
  virtual std::string GetRightHeader() = 0;
  virtual double GetRightMargin() = 0;
  virtual double GetTopMargin() = 0;
  virtual OleVariant GetZoom() = 0;
  virtual void SetOrientation(int32_t orientation) = 0;
  virtual void SetPaperSize(int32_t paper_size) = 0;
  virtual void SetBottomMargin(double inches) = 0;
  virtual void SetCenterFooter(const std::string& text) = 0;
  virtual void SetCenterHeader(const std::string& text) = 0;
  virtual void SetCenterHorizontally(bool center) = 0;
  virtual void SetCenterVertically(bool center) = 0;
  virtual void SetFitToPagesTall(const OleVariant& pages) = 0;
  virtual void SetFitToPagesWide(const OleVariant& pages) = 0;
  virtual void SetFooterMargin(double inches) = 0;
  virtual void SetHeaderMargin(double inches) = 0;
  virtual void SetLeftFooter(const std::string& text) = 0;
  virtual void SetLeftHeader(const std::string& text) = 0;
  virtual void SetLeftMargin(double inches) = 0;
  virtual void FSetPrintArea(const std::string& range) = 0;
  virtual void SetPrintGridlines(bool print) = 0;
  virtual void SetPrintHeadings(bool print) = 0;
  virtual void SetPrintTitleColumns(const std::string& columns) = 0;
  virtual void SetPrintTitleRows(const std::string& rows) = 0;
  virtual void SetRightFooter(const std::string& text) = 0;
  virtual void SetRightHeader(const std::string& text) = 0;
  virtual void SetRightMargin(double inches) = 0;
  virtual void SetTopMargin(double inches) = 0;
  virtual void SetZoom(const OleVariant& zoom) = 0;
  // Zero-based corners.
  virtual void SetPrintArea(uint16_t first_row, uint16_t first_col, uint16_t last_row,
                            uint16_t last_col) = 0;

 protected:
  ~IXLSPageSetup() = default;
};

// The ordered collection of a workbook's worksheets; indexes count from 1.
class IXLSWorkSheets : public IXLSUnknown {
 public:
  virtual XLSPtr<IXLSWorkSheet> Get(int32_t index) = 0;
  virtual int32_t GetCount() = 0;
  virtual XLSPtr<IXLSWorkSheet> Add() = 0;
  // before and after are borrowed (may be null); type is not used.
  virtual XLSPtr<IXLSWorkSheet> Add(IXLSWorkSheet* before, IXLSWorkSheet* after, int32_t count,
                                    const OleVariant& type) = 0;

  XLSPtr<IXLSWorkSheet> Add(const XLSPtr<IXLSWorkSheet>& before,
                            const XLSPtr<IXLSWorkSheet>& after, int32_t count,
                            const OleVariant& type) {
    return Add(before.get(), after.get(), count, type);
  }

 protected:
  ~IXLSWorkSheets() = default;
};

// One worksheet. The operations from SetFirstSheet to the seven-argument
// InsertBitmap return the status of the worksheet's own operation: 1 done,
// -1 refused.
class IXLSWorkSheet : public IXLSUnknown {
 public:
  virtual XLSPtr<IXLSRange> GetCells() = 0;
  virtual XLSPtr<IXLSRange> GetSelection() = 0;
  virtual XLSPtr<IXLSPageSetup> GetPageSetup() = 0;
  virtual XLSPtr<IXLSRange> FGetRange(const std::string& cell1, const std::string& cell2) = 0;
  virtual XLSPtr<IXLSRange> GetUsedRange() = 0;
  virtual std::string GetWorkSheetName() = 0;
  virtual void SetWorkSheetName(const std::string& name) = 0;
  virtual uint16_t GetIndex() = 0;
  virtual XLSPtr<IXLSWorkSheet> GetNextWorkSheet() = 0;
  virtual XLSPtr<IXLSWorkSheet> GetPreviousWorkSheet() = 0;
  virtual TXLSHPageBreaks* GetHPageBreaks() = 0;
  virtual TXLSVPageBreaks* GetVPageBreaks() = 0;
  virtual bool GetDisplayGridLines() = 0;
  virtual void SetDisplayGridLines(bool display) = 0;
  virtual void Delete() = 0;
  virtual void Delete(int32_t unused) = 0;
  virtual void Move(IXLSWorkSheet* before, IXLSWorkSheet* after, int32_t unused) = 0;
  virtual void Move(IXLSWorkSheet* before, IXLSWorkSheet* after) = 0;
  virtual void Move(IXLSWorkSheet* before) = 0;
  virtual void Select() = 0;
  virtual void Select(bool replace) = 0;
  virtual void Select(bool replace, int32_t unused) = 0;
  virtual void ResetAllPageBreaks() = 0;
  virtual void Activate() = 0;
  virtual int32_t SetFirstSheet() = 0;
  virtual int32_t ThawPanes(float y, float x, uint16_t top_row, uint16_t left_col) = 0;
  virtual int32_t FreezePanes(uint16_t row, uint16_t col, uint16_t top_row, uint16_t left_col) = 0;
  virtual int32_t RepeatRows(uint16_t first, uint16_t last) = 0;
  virtual int32_t RepeatColumns(uint16_t first, uint16_t last) = 0;
  virtual int32_t SetZoom(uint16_t zoom) = 0;
  virtual int32_t InsertBitmap(uint16_t row, uint16_t col, const std::string& file_name, uint16_t x,
                               uint16_t y, float scale_x, float scale_y) = 0;
  virtual int32_t InsertBitmap(uint16_t row, uint16_t col, const std::string& file_name) = 0;
  virtual int32_t InsertBitmap(uint16_t row, uint16_t col, const std::string& file_name, uint16_t x,
                               uint16_t y) = 0;
  virtual void Protect() = 0;
  virtual void Protect(const std::string& password) = 0;
  virtual void UnProtect() = 0;
  virtual void UnProtect(const std::string& password) = 0;
  virtual void UnProtect(const std::string& password, int32_t unused) = 0;
  virtual std::string GetLastError() = 0;

  void Move(const XLSPtr<IXLSWorkSheet>& before, const XLSPtr<IXLSWorkSheet>& after = nullptr) {
    Move(before.get(), after.get());
  }

 protected:
  ~IXLSWorkSheet() = default;
};

// The workbook. Custom colour indexes run from 1 to 56; the second integer of
// the custom colour pair is not used.
class IXLSWorkBook : public IXLSUnknown {
 public:
  virtual TXLSColor GetCustomColor2(int32_t index, int32_t unused) = 0;
  virtual void SetCustomColor(int32_t index, int32_t unused, TXLSColor color) = 0;
  virtual XLSPtr<IXLSWorkSheets> GetWorksheets() = 0;
  virtual XLSPtr<IXLSWorkSheet> GetActiveSheet() = 0;
  // Returns 1.
  virtual int32_t Close() = 0;
  // Loads the default palette again; returns 1.
  virtual int32_t ResetColors() = 0;
  virtual void Protect() = 0;
  virtual void Protect(const std::string& password) = 0;
  virtual void UnProtect() = 0;
  virtual void UnProtect(const std::string& password) = 0;
  virtual void UnProtect(const std::string& password, int32_t unused) = 0;
  // Writes the workbook as an .xls file: 1 when written, -1 when not.
  virtual int32_t SaveAs(const std::string& file_name) = 0;

 protected:
  ~IXLSWorkBook() = default;
};

}  // namespace tabulon
