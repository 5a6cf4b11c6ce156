// The font and the fill of a range as the caller sees them: companions that
// translate the published model's constants into the codes the cell formats
// store, and forward every operation to their range.
#pragma once

#include <cstdint>
#include <string>

#include "XLSInterfaces.h"
#include "XLSObject.h"

namespace tabulon {

class TXLSRange;

// Each companion keeps its range alive (TXLSRange::KeepAlive), so a
// companion taken from a temporary range (FGetRange(...)->GetFont()) stays
// usable; the range itself must not outlive its workbook.
class TXLSFont : public XLSImplements<IXLSFont> {
 public:
  explicit TXLSFont(TXLSRange& range);

  std::string GetName() override;
  float GetSize() override;
  // Palette indexes 8 to 63 read as 1 to 56; lower stored values as they are.
  uint16_t GetColorIndex() override;
  TXLSColor GetColor() override;
  bool GetBold() override;
  bool GetItalic() override;
  bool GetStrikethrough() override;
  bool GetOutLineFont() override;
  bool GetShadow() override;
  // xlUnderlineStyle* constants; xlUnderlineStyleNone for unknown codes.
  int32_t GetUnderLine() override;
  bool GetSubScript() override;
  bool GetSuperScript() override;
  void SetSize(float points) override;
  // 1 to 56 name the palette entries; 0 stays 0.
  void SetColorIndex(uint16_t index) override;
  // The nearest palette colour.
  void SetColor(TXLSColor color) override;
  void SetBold(bool bold) override;
  void SetItalic(bool italic) override;
  void SetStrikethrough(bool strikethrough) override;
  void SetOutLineFont(bool outline) override;
  void SetShadow(bool shadow) override;
  // Ignores constants other than the xlUnderlineStyle* ones.
  void SetUnderLine(int32_t underline) override;
  void SetSubScript(bool subscript) override;
  void SetSuperScript(bool superscript) override;
  void SetName(const std::string& name) override;

 private:
  XLSPtr<IXLSRange> keep_;
  TXLSRange& range_;
};

class TXLSInterior : public XLSImplements<IXLSInterior> {
 public:
  explicit TXLSInterior(TXLSRange& range);

  void SetColor(TXLSColor color) override;
  TXLSColor GetColor() override;
  void SetPatternColor(TXLSColor color) override;
  TXLSColor GetPatternColor() override;
  // 1 to 56, xlColorIndexNone (or 0) and xlColorIndexAutomatic; anything
  // else is ignored.
  void SetColorIndex(int32_t index) override;
  void SetPatternColorIndex(int32_t index) override;
  // xlPattern* constants (and 9 to 18); anything else removes the fill.
  void SetPattern(int32_t pattern) override;
  int32_t GetColorIndex() override;
  int32_t GetPatternColorIndex() override;
  int32_t GetPattern() override;

 private:
  XLSPtr<IXLSRange> keep_;
  TXLSRange& range_;
};

}  // namespace tabulon
