// The BIFF5 (Excel 5/95) layout of the records that differ between the file
// formats: texts in the workbook's code page behind one-byte or two-byte
// lengths, cell texts in LABEL records, sheet references through EXTERNSHEET
// records that name the sheets, formula rows of 14 bits.
#pragma once

#include "XLSRecordEncoder.h"

namespace tabulon {

class TXLSBiff5Encoder : public TXLSRecordEncoder {
 public:
  /// @param texts The save's converter; null writes stored texts as they are.
  explicit TXLSBiff5Encoder(TXLSTextEncoder* texts) : texts_(texts) {}

  const char* Name() const override { return "BIFF5"; }
  int32_t FileFormat() const override { return kXLSFileFormatBiff5; }
  const char* StreamName() const override { return "Book"; }
  uint16_t RecordLimit() const override { return 2080; }
  int32_t FormulaMaxRow() const override { return 0x3FFF; }
  size_t CellTextLimit() const override { return 255; }
  const char* TextUnit() const override { return "bytes"; }
  bool RowsAfterDimensions() const override { return false; }
  bool UnicodeTexts() const override { return false; }
  const std::vector<TXLSGlobalsPart>& GlobalsOrder() const override;

  TXLSBlob Bof(uint16_t substream) const override;
  uint16_t CodePageRecordValue(uint16_t code_page) const override { return code_page; }
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
  uint16_t NameMaxRow() const override { return 0x3FFF; }
  int32_t StoreSharedStrings(TXLSRecordSection&, uint32_t) override { return 1; }
  int32_t StoreDrawingGroup(TXLSRecordSection&) override { return 1; }

  int32_t StoreSheetExterns(TXLSRecordSection& section, const std::vector<std::string>& names,
                            uint16_t self) const override;
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
  bool PicturesAsImData() const override { return true; }

  void AddStringToken(std::vector<uint8_t>& out, std::string_view text,
                      const TXLSTextPlace& place) const override;
  void AddReferenceToken(std::vector<uint8_t>& out, const TXLSTokenRef& ref) const override;
  void AddNameToken(std::vector<uint8_t>& out, uint8_t id, uint16_t index) const override;

 private:
  /// A stored text in the code page, cut to max_bytes on a character boundary.
  std::string_view Text(std::string_view text, size_t max_bytes, const TXLSTextPlace& place,
                        char replacement = '?') const;

  TXLSTextEncoder* texts_;
};

}  // namespace tabulon
