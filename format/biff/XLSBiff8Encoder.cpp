#include "XLSBiff8Encoder.h"

#include <algorithm>

#include "XLSFormulaTokens.h"
#include "XLSRecordFields.h"
#include "XLSRecordIds.h"
#include "XLSTextEncoder.h"
#include "XLSUnicodeText.h"

namespace tabulon {

namespace {

constexpr uint16_t kBofVersion = 0x0600;
constexpr uint16_t kBofBuild = 0x0DBB;
constexpr uint16_t kBofYear = 0x07CC;
constexpr uint32_t kBofHistory = 0x000000C1;
constexpr uint32_t kBofLowestVersion = 0x00000006;

constexpr uint16_t kCountryUnitedStates = 1;

// The SUPBOOK of the workbook's own sheets: the sheet count, then this marker.
constexpr uint16_t kInternalReferences = 0x0401;

constexpr uint16_t kArea3dSize = 11;

// A reference's column field carries the relative flags in its top bits.
constexpr uint16_t kRowRelative = 0x8000;
constexpr uint16_t kColRelative = 0x4000;

// WINDOW2 grid line colour: the automatic colour index.
constexpr uint16_t kAutomaticGridColor = 64;

// The longest texts of the records that hold them: header and footer, the
// formula text constant, a format text, a font or style name.
constexpr size_t kShortTextUnits = 255;
// A STRING record keeps its text in one record: as many UTF-16 units as fit
// behind its length and flags.
constexpr size_t kFormulaStringUnits = (XLSBiff8RecordLimit - 4 - 3) / 2;

// Text orientations of the XF: none, stacked, 90 degrees up, 90 degrees down.
constexpr uint8_t kRotations[4] = {0, 255, 90, 180};

uint16_t ColField(const TXLSTokenPoint& p) {
  return static_cast<uint16_t>(p.Col | (p.RowRel ? kRowRelative : 0) |
                               (p.ColRel ? kColRelative : 0));
}

// A record of the fixed fields' size plus one Unicode string behind them.
TXLSBlob RecordWithText(uint16_t id, uint16_t fixed, std::u16string_view text,
                        TXLSLengthField length) {
  return MakeRecord(id, static_cast<uint16_t>(fixed + XLSUnicodeStringSize(text, length)));
}

// A cell line break is a single LF in this format.
std::string_view LineBreaksAsLF(std::string_view text, std::string& scratch) {
  if (text.find('\r') == std::string_view::npos) return text;
  scratch.clear();
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    scratch += text[i] == '\r' ? '\n' : text[i];
  }
  return scratch;
}

// The fields of a NAME up to its name's characters, which follow in the
// compact form (names are ASCII). sheet: 0 for a workbook name, else the
// 1-based sheet of a sheet-local one.
void AddNameHeader(TXLSBlob& record, uint16_t flags, uint8_t name_length, uint16_t formula_length,
                   uint16_t sheet) {
  record.AddWord(flags);
  record.AddByte(0);  // keyboard shortcut
  record.AddByte(name_length);
  record.AddWord(formula_length);
  record.AddWord(0);
  record.AddWord(sheet);
  record.AddLong(0);  // no menu, description, help or status bar text
  record.AddByte(0);  // the name in the compact form
}

}  // namespace

const std::vector<TXLSGlobalsPart>& TXLSBiff8Encoder::GlobalsOrder() const {
  using P = TXLSGlobalsPart;
  static const std::vector<TXLSGlobalsPart> kOrder = {
      P::kCodePage,   P::kWindow1, P::k1904,         P::kProtect,      P::kFonts,
      P::kNumFormats, P::kXFs,     P::kStyles,       P::kPalette,      P::kBoundSheets,
      P::kExterns,    P::kNames,   P::kDrawingGroup, P::kSharedStrings};
  return kOrder;
}

std::u16string TXLSBiff8Encoder::Unicode(std::string_view text, size_t max_units) const {
  return XLSUtf8ToUtf16(texts_.Utf8Form(text), max_units);
}

TXLSBlob TXLSBiff8Encoder::Bof(uint16_t substream) const {
  TXLSBlob record = BofRecord(16, kBofVersion, substream, kBofBuild, kBofYear);
  record.AddLong(kBofHistory);
  record.AddLong(kBofLowestVersion);
  return record;
}

TXLSBlob TXLSBiff8Encoder::Font(const TXLSFontFields& font) const {
  const std::u16string name = Unicode(font.Name, kShortTextUnits);
  TXLSBlob record = RecordWithText(xlsrec::kFont, 14, name, TXLSLengthField::k8Bit);
  AddFontFields(record, font, font.CharSet);
  XLSAddUnicodeString(record, name, TXLSLengthField::k8Bit);
  return record;
}

// FORMAT and a user STYLE: a number, then the text behind a 16-bit length.
TXLSBlob TXLSBiff8Encoder::NumberAndText(uint16_t id, uint16_t number,
                                         std::string_view text) const {
  const std::u16string unicode = Unicode(text, kShortTextUnits);
  TXLSBlob record = RecordWithText(id, 2, unicode, TXLSLengthField::k16Bit);
  record.AddWord(number);
  XLSAddUnicodeString(record, unicode, TXLSLengthField::k16Bit);
  return record;
}

TXLSBlob TXLSBiff8Encoder::Format(uint16_t number, std::string_view text) const {
  return NumberAndText(xlsrec::kFormat, number, text);
}

TXLSBlob TXLSBiff8Encoder::XF(const TXLSXFFields& xf) const {
  const uint8_t indent = static_cast<uint8_t>((xf.Indent & 0xF) | (xf.Shrink ? 0x10 : 0));
  const uint32_t lines = uint32_t{xf.LineStyle[xfLeft] & 0xFu} |
                         (uint32_t{xf.LineStyle[xfRight] & 0xFu} << 4) |
                         (uint32_t{xf.LineStyle[xfTop] & 0xFu} << 8) |
                         (uint32_t{xf.LineStyle[xfBottom] & 0xFu} << 12) |
                         (uint32_t{xf.LineColor[xfLeft] & 0x7Fu} << 16) |
                         (uint32_t{xf.LineColor[xfRight] & 0x7Fu} << 23);
  const uint32_t colorsAndPattern = uint32_t{xf.LineColor[xfTop] & 0x7Fu} |
                                    (uint32_t{xf.LineColor[xfBottom] & 0x7Fu} << 7) |
                                    (uint32_t{xf.Pattern & 0x3Fu} << 26);
  TXLSBlob record = MakeRecord(xlsrec::kXF, 20);
  record.AddWord(xf.Font);
  record.AddWord(xf.NumFormat);
  record.AddWord(XFProtectionWord(xf));
  record.AddByte(XFAlignmentBits(xf));
  record.AddByte(kRotations[xf.Orientation & 3]);
  record.AddByte(indent);
  record.AddByte(static_cast<uint8_t>((xf.UsedGroups & 0x3F) << 2));
  record.AddLong(lines);
  record.AddLong(colorsAndPattern);
  record.AddWord(XFColorWord(xf));
  return record;
}

TXLSBlob TXLSBiff8Encoder::UserStyle(uint16_t xf_number, std::string_view name) const {
  return NumberAndText(xlsrec::kStyle, xf_number, name);
}

// Every character is kept: the record form is the name in UTF-8, cut to the
// longest name in characters.
std::string TXLSBiff8Encoder::RecordSheetName(std::string_view name, size_t max_length,
                                              const TXLSTextPlace&) const {
  const std::string_view utf8 = texts_.Utf8Form(name);
  return std::string(utf8.substr(0, XLSFitUnits(utf8, max_length)));
}

TXLSBlob TXLSBiff8Encoder::BoundSheet(std::string_view name, uint32_t offset) const {
  const std::u16string text = XLSUtf8ToUtf16(name, kShortTextUnits);
  TXLSBlob record = RecordWithText(xlsrec::kBoundSheet, 6, text, TXLSLengthField::k8Bit);
  record.AddLong(offset);
  record.AddByte(0);  // visible
  record.AddByte(0);  // a worksheet
  XLSAddUnicodeString(record, text, TXLSLengthField::k8Bit);
  return record;
}

// COUNTRY, where readers that add sheet references of their own insert them;
// then one SUPBOOK for the workbook's own sheets and one EXTERNSHEET entry
// per sheet, in order: a 3-D token's index is its sheet's number from 0.
int32_t TXLSBiff8Encoder::StoreGlobalExterns(TXLSRecordSection& section,
                                             const std::vector<std::string>& names) const {
  TXLSBlob country = MakeRecord(xlsrec::kCountry, 4);
  country.AddWord(kCountryUnitedStates);
  country.AddWord(kCountryUnitedStates);
  if (section.Append(std::move(country)) != 1) return -1;
  const auto count = static_cast<uint16_t>(names.size());
  TXLSBlob book = MakeRecord(xlsrec::kSupBook, 4);
  book.AddWord(count);
  book.AddWord(kInternalReferences);
  TXLSBlob sheets = MakeRecord(xlsrec::kExternSheet, static_cast<uint16_t>(2 + 6 * count));
  sheets.AddWord(count);
  for (uint16_t i = 0; i < count; ++i) {
    sheets.AddWord(0);  // the SUPBOOK above
    sheets.AddWord(i);
    sheets.AddWord(i);
  }
  const int32_t status = section.Append(std::move(book));
  return status == 1 ? section.Append(std::move(sheets)) : status;
}

TXLSBlob TXLSBiff8Encoder::BuiltinName(uint16_t sheet, uint8_t code,
                                       const std::vector<TXLSNameArea>& areas) const {
  const bool single = areas.size() == 1;
  const auto unionSize = static_cast<uint16_t>(kArea3dSize * areas.size() + 1);
  const uint16_t formulaLength = single ? kArea3dSize : static_cast<uint16_t>(3 + unionSize);
  TXLSBlob record = MakeRecord(xlsrec::kName, static_cast<uint16_t>(16 + formulaLength));
  // A built-in name is one character long: its code.
  AddNameHeader(record, BuiltinNameOptions(code), 1, formulaLength,
                static_cast<uint16_t>(sheet + 1));
  record.AddByte(code);
  if (!single) {
    record.AddByte(xlstoken::kMemFunc);
    record.AddWord(unionSize);
  }
  for (const TXLSNameArea& area : areas) {
    record.AddByte(xlstoken::kArea3d);
    record.AddWord(sheet);
    record.AddWord(area.FirstRow);
    record.AddWord(area.LastRow);
    record.AddWord(area.FirstCol);
    record.AddWord(area.LastCol);
  }
  if (!single) record.AddByte(xlstoken::kUnion);
  return record;
}

TXLSBlob TXLSBiff8Encoder::DefinedName(uint16_t sheet, std::string_view name,
                                       const std::vector<uint8_t>& formula) const {
  const auto length = static_cast<uint8_t>(std::min<size_t>(name.size(), 255));
  const auto formulaLength = static_cast<uint16_t>(formula.size());
  TXLSBlob record = MakeRecord(xlsrec::kName, static_cast<uint16_t>(15 + length + formulaLength));
  AddNameHeader(record, 0, length, formulaLength, sheet);
  record.AddString(name.substr(0, length));
  for (uint8_t byte : formula) record.AddByte(byte);
  return record;
}

int32_t TXLSBiff8Encoder::StoreSharedStrings(TXLSRecordSection& section, uint32_t offset) {
  return strings_.Store(section, offset);
}

int32_t TXLSBiff8Encoder::StoreDrawingGroup(TXLSRecordSection& section) {
  return drawings_.StoreGroup(section);
}

TXLSBlob TXLSBiff8Encoder::Dimensions(uint32_t first_row, uint32_t end_row, uint16_t first_col,
                                      uint16_t end_col) const {
  TXLSBlob record = MakeRecord(xlsrec::kDimensions32, 14);
  record.AddLong(first_row);
  record.AddLong(end_row);
  record.AddWord(first_col);
  record.AddWord(end_col);
  record.AddWord(0);
  return record;
}

TXLSBlob TXLSBiff8Encoder::Window2(uint16_t options) const {
  TXLSBlob record = MakeRecord(xlsrec::kWindow2, 18);
  record.AddWord(options);
  record.AddWord(0);  // first visible row
  record.AddWord(0);  // first visible column
  record.AddWord(kAutomaticGridColor);
  record.AddWord(0);
  record.AddWord(0);  // page break preview zoom: the default
  record.AddWord(0);  // normal view zoom: the default (SCL gives it)
  record.AddLong(0);
  return record;
}

// An empty header or footer is a record without data.
TXLSBlob TXLSBiff8Encoder::HeaderFooter(uint16_t id, std::string_view text,
                                        const TXLSTextPlace&) const {
  if (text.empty()) return MakeRecord(id, 0);
  const std::u16string unicode = Unicode(text, kShortTextUnits);
  TXLSBlob record = RecordWithText(id, 0, unicode, TXLSLengthField::k16Bit);
  XLSAddUnicodeString(record, unicode, TXLSLengthField::k16Bit);
  return record;
}

// Each break spans the whole sheet across: all columns for a row break, all
// rows for a column break.
TXLSBlob TXLSBiff8Encoder::PageBreaks(bool vertical, const std::vector<uint16_t>& positions) const {
  const auto count = static_cast<uint16_t>(positions.size());
  TXLSBlob record =
      MakeRecord(vertical ? xlsrec::kVerticalPageBreaks : xlsrec::kHorizontalPageBreaks,
                 static_cast<uint16_t>(2 + 6 * count));
  record.AddWord(count);
  for (uint16_t position : positions) {
    record.AddWord(position);
    record.AddWord(0);
    record.AddWord(vertical ? 0xFFFF : 0xFF);
  }
  return record;
}

TXLSBlob TXLSBiff8Encoder::Label(uint16_t row, uint16_t col, uint16_t xf, std::string_view text,
                                 const TXLSTextPlace&) {
  std::string scratch;
  const uint32_t index = strings_.Add(LineBreaksAsLF(texts_.Utf8Form(text), scratch));
  TXLSBlob record = MakeRecord(xlsrec::kLabelSst, 10);
  record.AddWord(row);
  record.AddWord(col);
  record.AddWord(xf);
  record.AddLong(index);
  return record;
}

TXLSBlob TXLSBiff8Encoder::FormulaString(std::string_view text, const TXLSTextPlace&) const {
  const std::u16string unicode = Unicode(text, kFormulaStringUnits);
  TXLSBlob record = RecordWithText(xlsrec::kString, 0, unicode, TXLSLengthField::k16Bit);
  XLSAddUnicodeString(record, unicode, TXLSLengthField::k16Bit);
  return record;
}

// Note texts are converted as cell texts are, line breaks as LF.
int32_t TXLSBiff8Encoder::StoreDrawing(TXLSRecordSection& section, uint16_t sheet, std::string_view,
                                       std::vector<TXLSDrawingPicture>&& pictures,
                                       const std::vector<TXLSNoteFields>& notes,
                                       std::vector<TXLSDrawingDropDown>&& drop_downs) {
  std::vector<TXLSDrawingNote> drawingNotes;
  std::string scratch;
  for (const TXLSNoteFields& note : notes) {
    drawingNotes.push_back(
        {note.Row, note.Col,
         XLSUtf8ToUtf16(LineBreaksAsLF(texts_.Utf8Form(note.Text), scratch), XLSNoteMaxUnits),
         Unicode(note.Author, kShortTextUnits)});
  }
  drawings_.SetSheetShapes(sheet, std::move(pictures), std::move(drawingNotes),
                           std::move(drop_downs));
  return drawings_.StoreSheet(sheet, section);
}

void TXLSBiff8Encoder::AddStringToken(std::vector<uint8_t>& out, std::string_view text,
                                      const TXLSTextPlace&) const {
  const std::u16string unicode = Unicode(text, kShortTextUnits);
  TXLSBlob constant(XLSUnicodeStringSize(unicode, TXLSLengthField::k8Bit));
  XLSAddUnicodeString(constant, unicode, TXLSLengthField::k8Bit);
  out.push_back(xlstoken::kStr);
  out.insert(out.end(), constant.GetBuff(), constant.GetBuff() + constant.GetDataSize());
}

void TXLSBiff8Encoder::AddReferenceToken(std::vector<uint8_t>& out, const TXLSTokenRef& ref) const {
  out.push_back(ref.Id);
  if (ref.Sheet3d) XLSAppendLE(out, ref.Sheet);
  XLSAppendLE(out, ref.First.Row);
  if (ref.Area) XLSAppendLE(out, ref.Last.Row);
  XLSAppendLE(out, ColField(ref.First));
  if (ref.Area) XLSAppendLE(out, ColField(ref.Last));
}

// The index is followed by two bytes the format leaves unused.
void TXLSBiff8Encoder::AddNameToken(std::vector<uint8_t>& out, uint8_t id, uint16_t index) const {
  out.push_back(id);
  XLSAppendLE(out, index);
  XLSAppendLE(out, uint16_t{0});
}

}  // namespace tabulon
