// The BIFF8 (Excel 97-2003) layout of the records that differ between the
// file formats: every text in Unicode (the compact 8-bit form where each
// character fits it), cell texts in a shared string table, sheet references
// through one EXTERNSHEET list behind the sheet list, 16-bit formula rows,
// pictures in the drawing layer.
#pragma once

#include "XLSDrawing.h"
#include "XLSRecordEncoder.h"
#include "XLSSharedStrings.h"

namespace tabulon {

class TXLSBiff8Encoder : public TXLSRecordEncoder {
 public:
  /// @param texts The save's converter, which turns stored texts into UTF-8.
  explicit TXLSBiff8Encoder(TXLSTextEncoder& texts) : texts_(texts) {}

  const char* Name() const override { return "BIFF8"; }
  int32_t FileFormat() const override { return kXLSFileFormatBiff8; }
  const char* StreamName() const override { return "Workbook"; }
  uint16_t RecordLimit() const override { return XLSBiff8RecordLimit; }
  int32_t FormulaMaxRow() const override { return 0xFFFF; }
  size_t CellTextLimit() const override { return TXLSSharedStrings::kMaxUnits; }
  const char* TextUnit() const override { return "characters"; }
  bool RowsAfterDimensions() const override { return true; }
  bool UnicodeTexts() const override { return true; }
  const std::vector<TXLSGlobalsPart>& GlobalsOrder() const override;

  TXLSBlob Bof(uint16_t substream) const override;
  uint16_t CodePageRecordValue(uint16_t) const override { return kUtf16CodePage; }
  TXLSBlob Font(const TXLSFontFields& font) const override;
  TXLSBlob Format(uint16_t number, std::string_view text) const override;
  TXLSBlob XF(const TXLSXFFields& xf) const override;
  TXLSBlob UserStyle(uint16_t xf_number, std::string_view name) const override;
  std::string RecordSheetName(std::string_view name, size_t max_length,
                              const TXLSTextPlace& place) const override;
  TXLSBlob BoundSheet(std::string_view name, uint32_t offset) const override;
  int32_t StoreGlobalExterns(TXLSRecordSection& section,
                             const std::vector<std::string>& names) const override;
  TXLSBlob BuiltinName(uint16_t sheet, uint8_t code,
                       const std::vector<TXLSNameArea>& areas) const override;
  TXLSBlob DefinedName(uint16_t sheet, std::string_view name,
                       const std::vector<uint8_t>& formula) const override;
  uint16_t NameMaxRow() const override { return 0xFFFF; }
  int32_t StoreSharedStrings(TXLSRecordSection& section, uint32_t offset) override;
  int32_t StoreDrawingGroup(TXLSRecordSection& section) override;

  int32_t StoreSheetExterns(TXLSRecordSection&, const std::vector<std::string>&,
                            uint16_t) const override {
    return 1;
  }
  TXLSBlob Dimensions(uint32_t first_row, uint32_t end_row, uint16_t first_col,
                      uint16_t end_col) const override;
  TXLSBlob Window2(uint16_t options) const override;
  TXLSBlob HeaderFooter(uint16_t id, std::string_view text,
                        const TXLSTextPlace& place) const override;
  TXLSBlob PageBreaks(bool vertical, const std::vector<uint16_t>& positions) const override;
  TXLSBlob Label(uint16_t row, uint16_t col, uint16_t xf, std::string_view text,
                 const TXLSTextPlace& place) override;
  TXLSBlob FormulaString(std::string_view text, const TXLSTextPlace& place) const override;
  int32_t StoreDrawing(TXLSRecordSection& section, uint16_t sheet, std::string_view sheet_name,
                       std::vector<TXLSDrawingPicture>&& pictures,
                       const std::vector<TXLSNoteFields>& notes,
                       std::vector<TXLSDrawingDropDown>&& drop_downs) override;
  bool PicturesAsImData() const override { return false; }

  void AddStringToken(std::vector<uint8_t>& out, std::string_view text,
                      const TXLSTextPlace& place) const override;
  void AddReferenceToken(std::vector<uint8_t>& out, const TXLSTokenRef& ref) const override;
  void AddNameToken(std::vector<uint8_t>& out, uint8_t id, uint16_t index) const override;

  /// The CODEPAGE value of a file whose texts are UTF-16.
  static constexpr uint16_t kUtf16CodePage = 1200;

 private:
  /// A stored text as UTF-16, at most max_units long.
  std::u16string Unicode(std::string_view text, size_t max_units) const;
  TXLSBlob NumberAndText(uint16_t id, uint16_t number, std::string_view text) const;

  TXLSTextEncoder& texts_;
  TXLSSharedStrings strings_;
  TXLSDrawings drawings_;
};

}  // namespace tabulon
