// The formatting tables of a workbook: fonts, number formats, styles and the
// cell formats (XF) that cells, rows and columns refer to. Fonts and cell
// formats are interned by a fixed-width hexadecimal key: equal formats share
// one index, a property change answers the index of the format that differs
// in that one property, and at save time only the formats in use are written,
// numbered densely.
//
// Record builders append their record to the list the caller hands in and
// answer 1 (appended), -1 (failed) or, where a table may have nothing to write
// for an index, 0 (no record).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "OleVariant.h"
#include "XLSBlob.h"
#include "XLSKeyText.h"
#include "xlslist.h"

namespace tabulon {

class TXLSRecordEncoder;
const TXLSRecordEncoder& PlainBiff5Encoder();

class TXLSXFList;

// A property setter of the cell-format table, applied cell by cell by the
// range layer: answers the index of the format equal to format XFIndex except
// for the property set from Value. One reference is counted on the answer;
// one is dropped from XFIndex when ReplaceIndex is true.
using TSetXFProperty = int32_t (TXLSXFList::*)(int32_t XFIndex, const OleVariant& Value,
                                               bool ReplaceIndex);
// The same for one property of the cell edges named by BorderMask
// (1 left, 2 right, 4 top, 8 bottom).
using TSetXFBorderProperty = int32_t (TXLSXFList::*)(int32_t XFIndex, uint8_t BorderMask,
                                                     const OleVariant& Value, bool ReplaceIndex);

// Alignment (6 digits), border (16 digits) and background (6 digits) blocks
// of a cell-format key.
using xlsAlignBlock = TXLSKeyBlock<6>;
using xlsBorderBlock = TXLSKeyBlock<16>;
using xlsBackgroundBlock = TXLSKeyBlock<6>;

// ---------------------------------------------------------------------------
// Fonts. Indexes 0 to 3 are fixed (all four the default font, 10-point
// Arial) and always saved. An index outside the list reads as the default.
class TXLSFontList : public TXLSKeyList {
 public:
  TXLSFontList();

  double GetSize(int32_t FontIndex) const;  // points
  // The palette index; the automatic colour answers -4105.
  int32_t GetColorIndex(int32_t FontIndex) const;
  bool GetBold(int32_t FontIndex) const;
  bool GetItalic(int32_t FontIndex) const;
  bool GetStrikethrough(int32_t FontIndex) const;
  bool GetOutLineFont(int32_t FontIndex) const;
  bool GetShadow(int32_t FontIndex) const;
  bool GetSubScript(int32_t FontIndex) const;
  bool GetSuperScript(int32_t FontIndex) const;
  uint8_t GetUnderLine(int32_t FontIndex) const;
  uint8_t GetFamily(int32_t FontIndex) const;
  uint8_t GetCharSet(int32_t FontIndex) const;
  std::string GetName(int32_t FontIndex) const;

  // Each setter answers the index of the font equal to FontIndex except for
  // the one property, and moves one reference to it.
  int32_t SetSize(int32_t FontIndex, float Points);
  int32_t SetColorIndex(int32_t FontIndex, int32_t ColorIndex);  // -4105: automatic
  int32_t SetBold(int32_t FontIndex, bool Value);
  int32_t SetItalic(int32_t FontIndex, bool Value);
  int32_t SetStrikethrough(int32_t FontIndex, bool Value);
  int32_t SetOutLineFont(int32_t FontIndex, bool Value);
  int32_t SetShadow(int32_t FontIndex, bool Value);
  int32_t SetSubScript(int32_t FontIndex, bool Value);
  int32_t SetSuperScript(int32_t FontIndex, bool Value);
  int32_t SetUnderLine(int32_t FontIndex, uint8_t Value);
  int32_t SetFamily(int32_t FontIndex, uint8_t Value);
  int32_t SetCharSet(int32_t FontIndex, uint8_t Value);
  int32_t SetName(int32_t FontIndex, const std::string& Name);

  // Appends the FONT record of the i-th saved font (save order, from 0).
  // With an encoder, the name is written in the workbook's code page and a
  // font left at character set 0 carries the code page's character set.
  int32_t GetFont(int32_t i, TXLSBlobList& List,
                  const TXLSRecordEncoder& encoder = PlainBiff5Encoder()) const;

 private:
  int32_t SetFlag(int32_t FontIndex, size_t Pos, bool Value);
  int32_t SetField(int32_t FontIndex, size_t Pos, size_t Width, uint32_t Value);
};

// ---------------------------------------------------------------------------
// Number formats by format index. Indexes 0 to 162 stand for the file
// format's built-in formats; formats added by text are numbered from 163.
class TXLSNumFormatList : public TXLSStringList {
 public:
  static constexpr int32_t kFirstCustomFormat = 163;

  TXLSNumFormatList() : TXLSStringList(kFirstCustomFormat) {}

  // The number that FORMAT and XF records give format index i. Readers that
  // follow the later applications keep 163 for a built-in format and take
  // custom formats from 164, so the custom formats are written one higher.
  static uint16_t RecordNumber(int32_t i) {
    return static_cast<uint16_t>(i < kFirstCustomFormat ? i : i + 1);
  }

  // Appends the FORMAT record of index i; 0 when index i has no text. With
  // an encoder, the text is written in the workbook's code page.
  int32_t GetNumFormatBlob(int32_t i, TXLSBlobList& List,
                           const TXLSRecordEncoder& encoder = PlainBiff5Encoder()) const;
};

// One style: its name (two hexadecimal digits of the built-in style number,
// or "XX" + the name of a user-defined style) and the XF index it uses.
class TXLSStyleEntry : public TXLSObjEntry {
 public:
  TXLSStyleEntry(std::string StyleName, int32_t StyleXFIndex)
      : TXLSObjEntry(std::move(StyleName)), XFIndex(StyleXFIndex) {}

  int32_t XFIndex;
};

// Styles by index from 0. The back reference to the cell-format table turns
// a style's XF index into the number its STYLE record names.
class TXLSStyles : public TXLSObjList {
 public:
  explicit TXLSStyles(const TXLSXFList& Owner);

  // Add the style, or replace the one of the same name; answer its index.
  int32_t AddBuiltinStyle(uint8_t Number, int32_t XFIndex);
  int32_t AddStyle(const std::string& Name, int32_t XFIndex);
  // The XF index of style i, or 0 when there is no style i.
  int32_t GetXFIndex(int32_t i) const;
  // Appends the STYLE record of style i; 0 when there is no style i.
  int32_t GetStyleBlob(int32_t i, TXLSBlobList& List,
                       const TXLSRecordEncoder& encoder = PlainBiff5Encoder()) const;

 private:
  const TXLSXFList& xfList_;
};

// ---------------------------------------------------------------------------
// Line styles and weights of the caller-facing border model for a stored
// line-style code 0 to 13 (a larger code reads as no line, thin).
int32_t GetLineStyleFromBorderStyle(uint8_t Code);
int32_t GetWeightFromBorderStyle(uint8_t Code);
// The stored code for a line style L and weight W: FromLineStyle tells that
// L is being set (and W kept), otherwise W is being set (and L kept).
uint8_t GetXFBorderLineStyle(int32_t L, int32_t W, bool FromLineStyle);

// ---------------------------------------------------------------------------
// Cell formats. Indexes 0 to 15 are fixed: 0 the Normal style, 1 to 14
// further style formats, 15 the default cell format. Every operation reads
// an XF index of 0, and any index outside the table, as 15.
class TXLSXFList : public TXLSKeyList {
 public:
  static constexpr int32_t kDefaultXF = 15;
  static constexpr int32_t kKeyLength = 43;

  TXLSXFList();

  TXLSStyles& Styles() { return styles_; }
  const TXLSStyles& Styles() const { return styles_; }
  TXLSNumFormatList& NumFormats() { return numFormats_; }
  const TXLSNumFormatList& NumFormats() const { return numFormats_; }
  TXLSFontList& Fonts() { return fonts_; }
  const TXLSFontList& Fonts() const { return fonts_; }

  // Lays down the fixed fonts, formats, styles and cell formats; called once.
  void CreateDefault();

  // Typed setters: replace one field of the key.
  int32_t SetFontIndex(int32_t XFIndex, int32_t FontIndex, bool ReplaceIndex);
  int32_t SetNumFormatIndex(int32_t XFIndex, int32_t FormatIndex, bool ReplaceIndex);
  int32_t SetProtection(int32_t XFIndex, uint8_t Protection, bool ReplaceIndex);
  int32_t SetAlignBlock(int32_t XFIndex, const xlsAlignBlock& Block, bool ReplaceIndex);
  int32_t SetBorderBlock(int32_t XFIndex, const xlsBorderBlock& Block, bool ReplaceIndex);
  int32_t SetBackgroundBlock(int32_t XFIndex, const xlsBackgroundBlock& Block, bool ReplaceIndex);

  // TSetXFProperty setters.
  int32_t SetFontBold(int32_t XFIndex, const OleVariant& Value, bool ReplaceIndex);
  int32_t SetFontItalic(int32_t XFIndex, const OleVariant& Value, bool ReplaceIndex);
  int32_t SetFontStrikethrough(int32_t XFIndex, const OleVariant& Value, bool ReplaceIndex);
  int32_t SetFontOutLineFont(int32_t XFIndex, const OleVariant& Value, bool ReplaceIndex);
  int32_t SetFontShadow(int32_t XFIndex, const OleVariant& Value, bool ReplaceIndex);
  int32_t SetFontSubScript(int32_t XFIndex, const OleVariant& Value, bool ReplaceIndex);
  int32_t SetFontSuperScript(int32_t XFIndex, const OleVariant& Value, bool ReplaceIndex);
  int32_t SetFontUnderLine(int32_t XFIndex, const OleVariant& Value, bool ReplaceIndex);
  int32_t SetFontFamily(int32_t XFIndex, const OleVariant& Value, bool ReplaceIndex);
  int32_t SetFontCharSet(int32_t XFIndex, const OleVariant& Value, bool ReplaceIndex);
  int32_t SetFontColorIndex(int32_t XFIndex, const OleVariant& Value, bool ReplaceIndex);
  int32_t SetFontSize(int32_t XFIndex, const OleVariant& Value, bool ReplaceIndex);
  int32_t SetFontName(int32_t XFIndex, const OleVariant& Value, bool ReplaceIndex);
  int32_t SetNumFormat(int32_t XFIndex, const OleVariant& Value, bool ReplaceIndex);
  int32_t SetLocked(int32_t XFIndex, const OleVariant& Value, bool ReplaceIndex);
  int32_t SetHidden(int32_t XFIndex, const OleVariant& Value, bool ReplaceIndex);
  int32_t SetHorAlign(int32_t XFIndex, const OleVariant& Value, bool ReplaceIndex);
  int32_t SetVerAlign(int32_t XFIndex, const OleVariant& Value, bool ReplaceIndex);
  int32_t SetWrap(int32_t XFIndex, const OleVariant& Value, bool ReplaceIndex);
  int32_t SetOrientation(int32_t XFIndex, const OleVariant& Value, bool ReplaceIndex);
  int32_t SetShrinkToFit(int32_t XFIndex, const OleVariant& Value, bool ReplaceIndex);
  int32_t SetIndentLevel(int32_t XFIndex, const OleVariant& Value, bool ReplaceIndex);
  int32_t SetInteriorPattern(int32_t XFIndex, const OleVariant& Value, bool ReplaceIndex);
  int32_t SetInteriorColorIndex(int32_t XFIndex, const OleVariant& Value, bool ReplaceIndex);
  int32_t SetInteriorPatternColorIndex(int32_t XFIndex, const OleVariant& Value, bool ReplaceIndex);

  // TSetXFBorderProperty setters.
  int32_t SetBorderLineStyle(int32_t XFIndex, uint8_t BorderMask, const OleVariant& Value,
                             bool ReplaceIndex);
  int32_t SetBorderWeight(int32_t XFIndex, uint8_t BorderMask, const OleVariant& Value,
                          bool ReplaceIndex);
  int32_t SetBorderColorIndex(int32_t XFIndex, uint8_t BorderMask, const OleVariant& Value,
                              bool ReplaceIndex);

  // Fields as the format shows them: a format that does not define an
  // attribute group itself takes it from its parent style.
  int32_t GetFontIndex(int32_t XFIndex) const;
  int32_t GetNumFormatIndex(int32_t XFIndex) const;
  uint8_t GetProtection(int32_t XFIndex) const;
  xlsAlignBlock GetAlignBlock(int32_t XFIndex) const;
  xlsBorderBlock GetBorderBlock(int32_t XFIndex) const;
  xlsBackgroundBlock GetBackgroundBlock(int32_t XFIndex) const;

  bool GetFontBold(int32_t XFIndex) const;
  bool GetFontItalic(int32_t XFIndex) const;
  bool GetFontStrikethrough(int32_t XFIndex) const;
  bool GetFontOutLineFont(int32_t XFIndex) const;
  bool GetFontShadow(int32_t XFIndex) const;
  bool GetFontSubScript(int32_t XFIndex) const;
  bool GetFontSuperScript(int32_t XFIndex) const;
  uint8_t GetFontUnderLine(int32_t XFIndex) const;
  uint8_t GetFontFamily(int32_t XFIndex) const;
  uint8_t GetFontCharSet(int32_t XFIndex) const;
  int32_t GetFontColorIndex(int32_t XFIndex) const;
  double GetFontSize(int32_t XFIndex) const;
  std::string GetFontName(int32_t XFIndex) const;
  // The format text; empty for a built-in format without text.
  std::string GetNumFormat(int32_t XFIndex) const;
  bool GetLocked(int32_t XFIndex) const;
  bool GetHidden(int32_t XFIndex) const;
  uint8_t GetHorAlign(int32_t XFIndex) const;
  uint8_t GetVerAlign(int32_t XFIndex) const;
  bool GetWrap(int32_t XFIndex) const;
  uint8_t GetOrientation(int32_t XFIndex) const;
  bool GetShrinkToFit(int32_t XFIndex) const;
  uint8_t GetIndentLevel(int32_t XFIndex) const;
  // Whether the format itself defines borders (no inheritance).
  bool GetBordersDefined(int32_t XFIndex) const;

  // Line style, weight and colour index of the first edge named by the mask
  // (left, right, top, bottom), in the caller-facing constants.
  int32_t GetBorderLineStyle(int32_t XFIndex, uint8_t BorderMask) const;
  int32_t GetBorderWeight(int32_t XFIndex, uint8_t BorderMask) const;
  int32_t GetBorderColorIndex(int32_t XFIndex, uint8_t BorderMask) const;
  // Fill pattern and the raw palette indexes of cell and pattern colour.
  uint8_t GetInteriorPattern(int32_t XFIndex) const;
  uint8_t GetInteriorColorIndex(int32_t XFIndex) const;
  uint8_t GetInteriorPatternColorIndex(int32_t XFIndex) const;

  // At the start of each save: numbers the formats in use, recounts and
  // numbers the fonts they use.
  void CreateAllReferredList();
  // Appends the XF record of the i-th saved format (save order, from 0).
  int32_t GetXFBlob(int32_t i, TXLSBlobList& List,
                    const TXLSRecordEncoder& encoder = PlainBiff5Encoder()) const;

 private:
  template <typename TSetter, typename TValue>
  int32_t ChangeFont(int32_t XFIndex, TSetter Setter, const TValue& Value, bool ReplaceIndex);
  int32_t ChangeKeyField(int32_t XFIndex, size_t Pos, std::string_view Text, uint8_t Group,
                         bool ReplaceIndex);
  int32_t ChangeProtectionBit(int32_t XFIndex, uint8_t Bit, bool Value, bool ReplaceIndex);
  int32_t ChangeAlignDigit(int32_t XFIndex, size_t Pos, size_t Width, uint32_t Mask, uint32_t Value,
                           bool ReplaceIndex);
  template <typename TEdit>
  int32_t ChangeBorders(int32_t XFIndex, uint8_t BorderMask, bool ReplaceIndex, TEdit Edit);
  template <typename TEdit>
  int32_t ChangeFill(int32_t XFIndex, bool ReplaceIndex, TEdit Edit);
  // The answer of a setter that changes nothing: XFIndex, with the reference
  // that every setter counts on its answer.
  int32_t Unchanged(int32_t XFIndex, bool ReplaceIndex);

  // An index inside the table, with 0 and any index outside read as 15.
  int32_t Resolve(int32_t XFIndex) const;
  const std::string& OwnKey(int32_t XFIndex) const { return GetKey(Resolve(XFIndex)); }
  const std::string& ParentKey(const std::string& Key) const;
  // The key that holds the attribute group as format XFIndex shows it.
  const std::string& SourceKey(int32_t XFIndex, uint8_t Group) const;
  // Reads `Width` inherited digits of the attribute group at `Pos`.
  uint32_t InheritedField(int32_t XFIndex, uint8_t Group, size_t Pos, size_t Width) const;

  TXLSStyles styles_;
  TXLSNumFormatList numFormats_;
  TXLSFontList fonts_;
};

}  // namespace tabulon
