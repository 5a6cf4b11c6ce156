#include "XLSBiff5Encoder.h"

#include <algorithm>

#include "XLSFormulaTokens.h"
#include "XLSRecordFields.h"
#include "XLSRecordIds.h"
#include "XLSRecordSection.h"
#include "XLSRecordText.h"
#include "XLSTextEncoder.h"

namespace tabulon {

namespace {

constexpr uint16_t kBofVersion = 0x0500;
constexpr uint16_t kBofBuild = 0x096C;
constexpr uint16_t kBofYear = 0x07C9;

constexpr uint8_t kSelfReference = 0x02;
constexpr uint8_t kSheetInThisWorkbook = 0x03;

// Built-in names: the header before the formula, the 3-D area tokens.
constexpr uint16_t kAreaTokenSize = 21;
constexpr uint16_t kShortAreaReserved = 0x8005;
constexpr uint16_t kLongAreaReserved = 0x8008;

// A reference's row field carries the relative flags in its top bits.
constexpr uint16_t kRowRelative = 0x8000;
constexpr uint16_t kColRelative = 0x4000;

uint16_t RowField(const TXLSTokenPoint& p) {
  return static_cast<uint16_t>((p.Row & 0x3FFF) | (p.RowRel ? kRowRelative : 0) |
                               (p.ColRel ? kColRelative : 0));
}

// Writes a line break as a single CR, as cells of this format hold them.
std::string_view LineBreaksAsCR(std::string_view text, std::string& scratch) {
  if (text.find('\n') == std::string_view::npos) return text;
  scratch.clear();
  scratch.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    scratch += text[i] == '\n' ? '\r' : text[i];
  }
  return scratch;
}

// A note's text: at most this many bytes, in NOTE records of at most
// kNoteSliceBytes each.
constexpr size_t kNoteTextBytes = 32767;
constexpr size_t kNoteSliceBytes = 2048;
// The row field of a NOTE record that continues the note before it.
constexpr uint16_t kNoteContinued = 0xFFFF;

// The fields of a NAME before its name. sheet: 0 for a workbook name, else
// the 1-based sheet of a sheet-local one, in both sheet fields.
void AddNameHeader(TXLSBlob& record, uint16_t flags, uint8_t name_length, uint16_t formula_length,
                   uint16_t sheet) {
  record.AddWord(flags);
  record.AddByte(0);  // keyboard shortcut
  record.AddByte(name_length);
  record.AddWord(formula_length);
  record.AddWord(sheet);
  record.AddWord(sheet);
  record.AddLong(0);  // no menu, description, help or status bar text
}

// A 3-D area token: the sheet's negative external index, then the area.
void AddArea3d(TXLSBlob& record, uint16_t sheet, uint16_t reserved, const TXLSNameArea& area) {
  record.AddByte(xlstoken::kArea3d);
  record.AddWord(static_cast<uint16_t>(0xFFFF - sheet));
  record.AddWord(0);
  record.AddWord(0);
  record.AddWord(0x1087);
  record.AddWord(reserved);
  record.AddWord(sheet);
  record.AddWord(sheet);
  record.AddWord(area.FirstRow);
  record.AddWord(area.LastRow);
  record.AddByte(area.FirstCol);
  record.AddByte(area.LastCol);
}

TXLSBlob ExternCount(uint16_t count) {
  return MakeWordRecord(xlsrec::kExternCount, count);
}

// An EXTERNSHEET naming a sheet of this workbook, or, with an empty name, the
// sheet that carries it.
TXLSBlob ExternSheet(uint8_t kind, std::string_view name) {
  TXLSBlob record = MakeRecord(xlsrec::kExternSheet, static_cast<uint16_t>(2 + name.size()));
  record.AddByte(static_cast<uint8_t>(kind == kSelfReference ? 1 : name.size()));
  record.AddByte(kind);
  record.AddString(name);
  return record;
}

}  // namespace

const std::vector<TXLSGlobalsPart>& TXLSBiff5Encoder::GlobalsOrder() const {
  using P = TXLSGlobalsPart;
  static const std::vector<TXLSGlobalsPart> kOrder = {
      P::kCodePage, P::kExterns,    P::kNames, P::kWindow1, P::k1904,    P::kProtect,
      P::kFonts,    P::kNumFormats, P::kXFs,   P::kStyles,  P::kPalette, P::kBoundSheets};
  return kOrder;
}

std::string_view TXLSBiff5Encoder::Text(std::string_view text, size_t max_bytes,
                                        const TXLSTextPlace& place, char replacement) const {
  if (texts_ == nullptr) return text.substr(0, std::min(text.size(), max_bytes));
  return texts_->Encode(text, max_bytes, place, replacement);
}

TXLSBlob TXLSBiff5Encoder::Bof(uint16_t substream) const {
  return BofRecord(8, kBofVersion, substream, kBofBuild, kBofYear);
}

TXLSBlob TXLSBiff5Encoder::Font(const TXLSFontFields& font) const {
  const std::string_view name = ShortRecordText(font.Name, texts_, {{}, "font name"});
  TXLSBlob record = MakeRecord(xlsrec::kFont, static_cast<uint16_t>(15 + ShortTextLength(name)));
  AddFontFields(record, font, texts_ ? texts_->FontCharSet(font.CharSet) : font.CharSet);
  AddShortText(record, name);
  return record;
}

TXLSBlob TXLSBiff5Encoder::Format(uint16_t number, std::string_view text) const {
  const std::string_view bytes = ShortRecordText(text, texts_, {{}, "number format"});
  TXLSBlob record = MakeRecord(xlsrec::kFormat, static_cast<uint16_t>(3 + ShortTextLength(bytes)));
  record.AddWord(number);
  AddShortText(record, bytes);
  return record;
}

// The record holds line-style codes in 3 bits. The broken lines 8 to 13 have
// no 3-bit code; they are written as the dashed line (3), the nearest style a
// 3-bit field holds. Anything else reads as no line.
static uint16_t RecordLineStyle(uint8_t code) {
  if (code <= 7) return code;
  return code <= 13 ? 3 : 0;
}

TXLSBlob TXLSBiff5Encoder::XF(const TXLSXFFields& xf) const {
  const uint16_t alignment =
      static_cast<uint16_t>((xf.HorAlign & 7) | (xf.Wrap ? 8 : 0) | ((xf.VerAlign & 7) << 4) |
                            ((xf.Orientation & 3) << 8) | ((xf.UsedGroups & 0x3F) << 10));
  const uint16_t patternAndBottom =
      static_cast<uint16_t>((xf.Pattern & 0x3F) | (RecordLineStyle(xf.LineStyle[xfBottom]) << 6) |
                            ((xf.LineColor[xfBottom] & 0x7F) << 9));
  const uint16_t topLeftRight = static_cast<uint16_t>(
      RecordLineStyle(xf.LineStyle[xfTop]) | (RecordLineStyle(xf.LineStyle[xfLeft]) << 3) |
      (RecordLineStyle(xf.LineStyle[xfRight]) << 6) | ((xf.LineColor[xfTop] & 0x7F) << 9));
  const uint16_t sideColors =
      static_cast<uint16_t>((xf.LineColor[xfLeft] & 0x7F) | ((xf.LineColor[xfRight] & 0x7F) << 7));
  TXLSBlob record = MakeRecord(xlsrec::kXF, 16);
  record.AddWord(xf.Font);
  record.AddWord(xf.NumFormat);
  record.AddWord(XFProtectionWord(xf));
  record.AddWord(alignment);
  record.AddWord(XFColorWord(xf));
  record.AddWord(patternAndBottom);
  record.AddWord(topLeftRight);
  record.AddWord(sideColors);
  return record;
}

TXLSBlob TXLSBiff5Encoder::UserStyle(uint16_t xf_number, std::string_view name) const {
  TXLSBlob record = MakeRecord(xlsrec::kStyle, static_cast<uint16_t>(3 + ShortTextLength(name)));
  record.AddWord(xf_number);
  AddShortText(record, name);
  return record;
}

std::string TXLSBiff5Encoder::RecordSheetName(std::string_view name, size_t max_length,
                                              const TXLSTextPlace& place) const {
  return std::string(Text(name, max_length, place, '_'));
}

TXLSBlob TXLSBiff5Encoder::BoundSheet(std::string_view name, uint32_t offset) const {
  TXLSBlob record = MakeRecord(xlsrec::kBoundSheet, static_cast<uint16_t>(7 + name.size()));
  record.AddLong(offset);
  record.AddWord(0);  // a visible worksheet
  record.AddByte(static_cast<uint8_t>(name.size()));
  record.AddString(name);
  return record;
}

int32_t TXLSBiff5Encoder::StoreGlobalExterns(TXLSRecordSection& section,
                                             const std::vector<std::string>& names) const {
  int32_t status = section.Append(ExternCount(static_cast<uint16_t>(names.size())));
  for (size_t i = 0; status == 1 && i < names.size(); ++i) {
    status = section.Append(ExternSheet(kSheetInThisWorkbook, names[i]));
  }
  return status;
}

// One area: the area token alone. Two (print titles of rows and columns): a
// union of both behind a memory-function token that gives its size.
TXLSBlob TXLSBiff5Encoder::BuiltinName(uint16_t sheet, uint8_t code,
                                       const std::vector<TXLSNameArea>& areas) const {
  const bool single = areas.size() == 1;
  const uint16_t unionSize = static_cast<uint16_t>(kAreaTokenSize * areas.size() + 1);
  const uint16_t formulaLength = single ? kAreaTokenSize : static_cast<uint16_t>(3 + unionSize);
  TXLSBlob record = MakeRecord(xlsrec::kName, static_cast<uint16_t>(15 + formulaLength));
  // A built-in name is one byte long: its code.
  AddNameHeader(record, BuiltinNameOptions(code), 1, formulaLength,
                static_cast<uint16_t>(sheet + 1));
  record.AddByte(code);
  if (single) {
    AddArea3d(record, sheet, kShortAreaReserved, areas.front());
    return record;
  }
  record.AddByte(xlstoken::kMemFunc);
  record.AddWord(unionSize);
  for (const TXLSNameArea& area : areas) AddArea3d(record, sheet, kLongAreaReserved, area);
  record.AddByte(xlstoken::kUnion);
  return record;
}

TXLSBlob TXLSBiff5Encoder::DefinedName(uint16_t sheet, std::string_view name,
                                       const std::vector<uint8_t>& formula) const {
  const auto length = static_cast<uint8_t>(std::min<size_t>(name.size(), 255));
  const auto formulaLength = static_cast<uint16_t>(formula.size());
  TXLSBlob record = MakeRecord(xlsrec::kName, static_cast<uint16_t>(14 + length + formulaLength));
  AddNameHeader(record, 0, length, formulaLength, sheet);
  record.AddString(name.substr(0, length));
  for (uint8_t byte : formula) record.AddByte(byte);
  return record;
}

// The sheet names itself with a two-byte record, every other sheet by name.
int32_t TXLSBiff5Encoder::StoreSheetExterns(TXLSRecordSection& section,
                                            const std::vector<std::string>& names,
                                            uint16_t self) const {
  int32_t status = section.Append(ExternCount(static_cast<uint16_t>(names.size())));
  for (size_t i = 0; status == 1 && i < names.size(); ++i) {
    const std::string_view name = std::string_view(names[i]).substr(0, 255);
    const bool own = names[i] == names[self];
    status = section.Append(own ? ExternSheet(kSelfReference, {})
                                : ExternSheet(kSheetInThisWorkbook, name));
  }
  return status;
}

TXLSBlob TXLSBiff5Encoder::Dimensions(uint32_t first_row, uint32_t end_row, uint16_t first_col,
                                      uint16_t end_col) const {
  TXLSBlob record = MakeRecord(xlsrec::kDimensions, 10);
  record.AddWord(static_cast<uint16_t>(first_row));
  record.AddWord(static_cast<uint16_t>(end_row));
  record.AddWord(first_col);
  record.AddWord(end_col);
  record.AddWord(0);
  return record;
}

TXLSBlob TXLSBiff5Encoder::Window2(uint16_t options) const {
  TXLSBlob record = MakeRecord(xlsrec::kWindow2, 10);
  record.AddWord(options);
  record.AddWord(0);
  record.AddWord(0);
  record.AddLong(0);
  return record;
}

TXLSBlob TXLSBiff5Encoder::HeaderFooter(uint16_t id, std::string_view text,
                                        const TXLSTextPlace& place) const {
  const std::string_view bytes = ShortRecordText(text, texts_, place);
  TXLSBlob record = MakeRecord(id, static_cast<uint16_t>(1 + ShortTextLength(bytes)));
  AddShortText(record, bytes);
  return record;
}

TXLSBlob TXLSBiff5Encoder::PageBreaks(bool vertical, const std::vector<uint16_t>& positions) const {
  const auto count = static_cast<uint16_t>(positions.size());
  TXLSBlob record =
      MakeRecord(vertical ? xlsrec::kVerticalPageBreaks : xlsrec::kHorizontalPageBreaks,
                 static_cast<uint16_t>(2 + 2 * count));
  record.AddWord(count);
  for (uint16_t position : positions) record.AddWord(position);
  return record;
}

TXLSBlob TXLSBiff5Encoder::Label(uint16_t row, uint16_t col, uint16_t xf, std::string_view text,
                                 const TXLSTextPlace& place) {
  std::string scratch;
  const std::string_view bytes = Text(LineBreaksAsCR(text, scratch), CellTextLimit(), place);
  const auto length = static_cast<uint16_t>(bytes.size());
  TXLSBlob record = MakeRecord(xlsrec::kLabel, static_cast<uint16_t>(8 + length));
  record.AddWord(row);
  record.AddWord(col);
  record.AddWord(xf);
  record.AddWord(length);
  record.AddString(bytes);
  return record;
}

TXLSBlob TXLSBiff5Encoder::FormulaString(std::string_view text, const TXLSTextPlace& place) const {
  const std::string_view bytes = Text(text, CellTextLimit(), place);
  TXLSBlob record = MakeRecord(xlsrec::kString, static_cast<uint16_t>(2 + bytes.size()));
  record.AddWord(static_cast<uint16_t>(bytes.size()));
  record.AddString(bytes);
  return record;
}

// The first NOTE record names the cell and the whole text's length; the
// records that continue it carry row 0xFFFF, column 0 and their slice's
// length. The notes have no author in this format.
int32_t TXLSBiff5Encoder::StoreDrawing(TXLSRecordSection& section, uint16_t,
                                       std::string_view sheet_name,
                                       std::vector<TXLSDrawingPicture>&&,
                                       const std::vector<TXLSNoteFields>& notes,
                                       std::vector<TXLSDrawingDropDown>&&) {
  for (const TXLSNoteFields& note : notes) {
    const std::string text(
        Text(note.Text, kNoteTextBytes, {sheet_name, "note", note.Row, note.Col}));
    for (size_t pos = 0; pos == 0 || pos < text.size(); pos += kNoteSliceBytes) {
      const std::string_view slice = std::string_view(text).substr(pos, kNoteSliceBytes);
      TXLSBlob record = MakeRecord(xlsrec::kNote, static_cast<uint16_t>(6 + slice.size()));
      record.AddWord(pos == 0 ? note.Row : kNoteContinued);
      record.AddWord(pos == 0 ? note.Col : 0);
      record.AddWord(static_cast<uint16_t>(pos == 0 ? text.size() : slice.size()));
      record.AddString(slice);
      if (section.Append(std::move(record)) != 1) return -1;
    }
  }
  return 1;
}

void TXLSBiff5Encoder::AddStringToken(std::vector<uint8_t>& out, std::string_view text,
                                      const TXLSTextPlace& place) const {
  const std::string_view bytes = Text(text, CellTextLimit(), place);
  out.push_back(xlstoken::kStr);
  out.push_back(static_cast<uint8_t>(bytes.size()));
  out.insert(out.end(), bytes.begin(), bytes.end());
}

// A 3-D token names the sheet through the sheet's own EXTERNSHEET list,
// which names every sheet in order: the negative one-based index and the
// sheet range both point at it.
void TXLSBiff5Encoder::AddReferenceToken(std::vector<uint8_t>& out, const TXLSTokenRef& ref) const {
  out.push_back(ref.Id);
  if (ref.Sheet3d) {
    XLSAppendLE(out, static_cast<uint16_t>(0xFFFF - ref.Sheet));
    out.insert(out.end(), 8, 0);
    XLSAppendLE(out, ref.Sheet);
    XLSAppendLE(out, ref.Sheet);
  }
  XLSAppendLE(out, RowField(ref.First));
  if (ref.Area) XLSAppendLE(out, RowField(ref.Last));
  out.push_back(ref.First.Col);
  if (ref.Area) out.push_back(ref.Last.Col);
}

// The index is followed by twelve bytes the format leaves unused.
void TXLSBiff5Encoder::AddNameToken(std::vector<uint8_t>& out, uint8_t id, uint16_t index) const {
  out.push_back(id);
  XLSAppendLE(out, index);
  out.insert(out.end(), 12, 0);
}

}  // namespace tabulon
