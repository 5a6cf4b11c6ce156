#include "XLSDrawing.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "XLSBlob.h"
#include "XLSByteOrder.h"
#include "XLSPng.h"
#include "XLSRecordIds.h"
#include "XLSUnicodeText.h"

namespace tabulon {

namespace {

// Office drawing record types.
constexpr uint16_t kDggContainer = 0xF000;
constexpr uint16_t kBStoreContainer = 0xF001;
constexpr uint16_t kDgContainer = 0xF002;
constexpr uint16_t kSpgrContainer = 0xF003;
constexpr uint16_t kSpContainer = 0xF004;
constexpr uint16_t kFdgg = 0xF006;
constexpr uint16_t kFbse = 0xF007;
constexpr uint16_t kFdg = 0xF008;
constexpr uint16_t kFspgr = 0xF009;
constexpr uint16_t kFsp = 0xF00A;
constexpr uint16_t kFopt = 0xF00B;
constexpr uint16_t kClientAnchor = 0xF010;
constexpr uint16_t kClientTextbox = 0xF00D;
constexpr uint16_t kClientData = 0xF011;
constexpr uint16_t kBlipPng = 0xF01E;

// Record versions: containers, and the atoms whose version is not 0.
constexpr uint16_t kContainerVersion = 0xF;
constexpr uint16_t kFbseVersion = 2;
constexpr uint16_t kFspgrVersion = 1;
constexpr uint16_t kFspVersion = 2;
constexpr uint16_t kFoptVersion = 3;

// The blip store entry and its image, a PNG. The identifier is a digest of
// the image that tells entries apart; readers do not recompute it.
constexpr uint8_t kBlipTypePng = 6;
constexpr uint16_t kBlipPngOneUid = 0x6E0;
constexpr uint8_t kBlipTag = 0xFF;
constexpr uint32_t kFbseFieldsSize = 36;
constexpr uint32_t kBlipFieldsSize = 17;  // the identifier and the tag
constexpr uint32_t kHeaderSize = 8;

// Shapes: a drawing's identifiers come in clusters of 1024, the first of each
// drawing going to its group shape.
constexpr uint32_t kClusterSize = 1024;
constexpr uint16_t kShapeTypeGroup = 0;
constexpr uint16_t kShapeTypePictureFrame = 75;
constexpr uint16_t kShapeTypeTextBox = 202;
constexpr uint16_t kShapeTypeHostControl = 201;
constexpr uint32_t kShapeGroupPatriarch = 0x0005;  // a group, the drawing's top shape
constexpr uint32_t kShapeAnchoredFlags = 0x0A00;   // has an anchor and a shape type
constexpr uint16_t kAnchorMoveWithCells = 0x0002;  // moves with its cells, keeps its size

// Shape properties.
constexpr uint16_t kPropTextBooleans = 0x00BF;
constexpr uint16_t kPropBlip = 0x4104;  // the blip store entry, numbered from 1
constexpr uint16_t kPropFillColour = 0x0181;
constexpr uint16_t kPropLineColour = 0x01C0;
constexpr uint16_t kPropName = 0x8380;  // the shape's name: UTF-16, zero-terminated
constexpr uint32_t kFitShapeToText = 0x00080008;
constexpr uint32_t kSystemFillColour = 0x08000041;
constexpr uint32_t kSystemLineColour = 0x08000040;
constexpr size_t kMaxNameUnits = 255;

// A note's text box: the yellow of tool tips (the system's info background
// colour), a shadow, and hidden until the pointer rests on its cell.
constexpr uint16_t kPropTextId = 0x0080;
constexpr uint16_t kPropFillBackColour = 0x0183;
constexpr uint16_t kPropFillBooleans = 0x01BF;
constexpr uint16_t kPropShadowBooleans = 0x023F;
constexpr uint16_t kPropShapeBooleans = 0x03BF;
constexpr uint32_t kInfoBackgroundColour = 0x08000050;
constexpr uint32_t kNoFillHitTest = 0x00100010;
constexpr uint32_t kShadowed = 0x00030003;
constexpr uint32_t kHidden = 0x00020002;
// The text box takes two columns and four rows, from the column right of its
// cell and the row above it, kept inside the sheet.
constexpr uint16_t kNoteCols = 2, kNoteRows = 4;
constexpr uint16_t kNoteDx = 15, kNoteDy = 10;
constexpr uint16_t kLastCol = 255, kLastRow = 65535;

// A filter drop-down: locked against grouping, without fill or line, not
// printed, anchored to its header cell as Excel anchors its filter buttons.
constexpr uint16_t kPropProtectionBooleans = 0x007F;
constexpr uint16_t kPropLineBooleans = 0x01FF;
constexpr uint32_t kLockAgainstGrouping = 0x01040104;
constexpr uint32_t kNoFill = 0x00010000;
constexpr uint32_t kNoLine = 0x00080000;
constexpr uint32_t kNotPrinted = 0x000A0000;
constexpr uint16_t kAnchorDropDown = 0x0001;

// The OBJ record of a drop-down: common fields (a combo box flagged as a
// filter button), the scroll bar, the list of an AutoFilter drop-down, end.
constexpr uint16_t kObjDropDownDataSize = 70;
constexpr uint16_t kObjTypeComboBox = 0x14;
constexpr uint16_t kObjFilterButton = 0x2101;  // locked, a user interface object, recalculated
constexpr uint16_t kFtSbs = 0x0C;
constexpr uint16_t kFtSbsSize = 0x14;
constexpr uint16_t kFtLbsData = 0x13;
constexpr uint16_t kFtLbsContinued = 0x1FEE;
constexpr uint16_t kLbsAutoFilter = 0x0301;  // a filter list, drawn by the reader
constexpr uint16_t kDropDownStyle = 0x0002;  // a simple drop-down
constexpr uint16_t kDropDownLines = 8;
constexpr uint16_t kDropDownMinWidth = 0x40;

// The OBJ record of a picture: common fields, clipboard format, picture
// flags, end.
constexpr uint16_t kObjDataSize = 38;
constexpr uint16_t kFtCmo = 0x15;
constexpr uint16_t kFtCmoSize = 0x12;
constexpr uint16_t kFtCf = 0x07;
constexpr uint16_t kFtPioGrbit = 0x08;
constexpr uint16_t kObjTypePicture = 8;
constexpr uint16_t kObjLockedPrintable = 0x6011;  // locked, printed, automatic fill and line
constexpr uint16_t kClipboardBitmap = 0x0009;
constexpr uint16_t kPictureAutoPict = 0x0001;

// The OBJ record of a note: common fields, the note structure (an
// identifier of zeros, not shared), end.
constexpr uint16_t kObjNoteDataSize = 52;
constexpr uint16_t kFtNts = 0x0D;
constexpr uint16_t kFtNtsSize = 0x16;
constexpr uint16_t kObjTypeNote = 0x19;
constexpr uint16_t kObjNoteOptions = 0x4011;  // locked, printed, automatic line

// TXO: text aligned left and top, locked with the object; one formatting
// run in font 0 and the run that ends the text.
constexpr uint16_t kTxoDataSize = 18;
constexpr uint16_t kTxoLeftTopLocked = 0x0212;
constexpr uint16_t kTxoRunsSize = 16;

// Office drawing records built into one byte string. A record is a header
// (version and instance in one word, type, length of the data) and its data;
// a container's data are records, and its length is filled in when it closes.
class TOfficeArt {
 public:
  void Header(uint16_t version, uint16_t instance, uint16_t type, uint32_t length) {
    Word(static_cast<uint16_t>(version | instance << 4));
    Word(type);
    Long(length);
  }
  // Starts a container; Close(position) ends it.
  size_t Open(uint16_t type, uint16_t instance = 0) {
    const size_t position = bytes_.size();
    Header(kContainerVersion, instance, type, 0);
    return position;
  }
  void Close(size_t position) {
    const auto length = static_cast<uint32_t>(bytes_.size() - position - kHeaderSize);
    XLSPutLE(reinterpret_cast<uint8_t*>(&bytes_[position + 4]), length);
  }
  void Byte(uint8_t value) { bytes_.push_back(static_cast<char>(value)); }
  void Word(uint16_t value) { XLSAppendLE(bytes_, value); }
  void Long(uint32_t value) { XLSAppendLE(bytes_, value); }
  void Append(const std::string& bytes) { bytes_ += bytes; }

  size_t Size() const { return bytes_.size(); }
  const std::string& Bytes() const { return bytes_; }

 private:
  std::string bytes_;
};

struct TProperty {
  uint16_t Id;
  uint32_t Value;       // for a complex property: the size of its data
  std::string Complex;  // data that follows the property table
};

void AppendProperties(TOfficeArt& art, const std::vector<TProperty>& properties) {
  uint32_t length = 0;
  for (const TProperty& property : properties) length += 6 + property.Complex.size();
  art.Header(kFoptVersion, static_cast<uint16_t>(properties.size()), kFopt, length);
  for (const TProperty& property : properties) {
    art.Word(property.Id);
    art.Long(property.Value);
  }
  for (const TProperty& property : properties) art.Append(property.Complex);
}

// The code point that starts at pos, which moves past it; a byte that does
// not start well-formed UTF-8 is U+FFFD and is skipped alone.
uint32_t NextCodePoint(std::string_view text, size_t& pos) {
  static constexpr uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  const auto lead = static_cast<uint8_t>(text[pos]);
  const size_t length = lead < 0x80   ? 1
                        : lead < 0xC2 ? 0
                        : lead < 0xE0 ? 2
                        : lead < 0xF0 ? 3
                        : lead < 0xF5 ? 4
                                      : 0;
  uint32_t code = length == 1 ? lead : lead & (0x7Fu >> length);
  bool wellFormed = length != 0 && pos + length <= text.size();
  for (size_t i = 1; wellFormed && i < length; ++i) {
    const auto next = static_cast<uint8_t>(text[pos + i]);
    wellFormed = (next & 0xC0) == 0x80;
    code = code << 6 | (next & 0x3F);
  }
  wellFormed = wellFormed && code >= kSmallest[length] && code <= 0x10FFFF &&
               (code < 0xD800 || code > 0xDFFF);
  pos += wellFormed ? length : 1;
  return wellFormed ? code : 0xFFFD;
}

// The name as UTF-16LE and its terminating zero, cut before the character
// that would pass kMaxNameUnits code units.
std::string ShapeName(std::string_view utf8) {
  std::string name;
  size_t units = 0;
  for (size_t pos = 0; pos < utf8.size();) {
    const uint32_t code = NextCodePoint(utf8, pos);
    const size_t needed = code > 0xFFFF ? 2 : 1;
    if (units + needed > kMaxNameUnits) break;
    units += needed;
    if (needed == 1) {
      XLSAppendLE(name, static_cast<uint16_t>(code));
    } else {
      XLSAppendLE(name, static_cast<uint16_t>(0xD800 + ((code - 0x10000) >> 10)));
      XLSAppendLE(name, static_cast<uint16_t>(0xDC00 + (code & 0x3FF)));
    }
  }
  XLSAppendLE(name, uint16_t{0});
  return name;
}

// Two FNV-1a digests of the image, 16 bytes.
std::string BlipUid(const std::string& image) {
  std::string uid;
  for (uint64_t hash : {0xCBF29CE484222325ull, 0x84222325CBF29CE4ull}) {
    for (char byte : image) hash = (hash ^ static_cast<uint8_t>(byte)) * 0x100000001B3ull;
    XLSAppendLE(uid, hash);
  }
  return uid;
}

void AppendBlipStoreEntry(TOfficeArt& art, const std::vector<uint8_t>& dib, uint32_t references) {
  const std::string png = MakePng(dib);
  const std::string uid = BlipUid(png);
  const auto blipSize = static_cast<uint32_t>(kHeaderSize + kBlipFieldsSize + png.size());
  art.Header(kFbseVersion, kBlipTypePng, kFbse, kFbseFieldsSize + blipSize);
  art.Byte(kBlipTypePng);  // the type for Windows readers
  art.Byte(kBlipTypePng);  // and for Macintosh readers
  art.Append(uid);
  art.Word(kBlipTag);
  art.Long(blipSize);
  art.Long(references);
  art.Long(0);  // the bitmap follows here, not in a separate stream
  art.Long(0);  // no name, unused bytes
  art.Header(0, kBlipPngOneUid, kBlipPng, kBlipFieldsSize + static_cast<uint32_t>(png.size()));
  art.Append(uid);
  art.Byte(kBlipTag);
  art.Append(png);
}

// The shape containers of a drawing: the group shape, then one per picture.
void AppendGroupShape(TOfficeArt& art, uint32_t shapeId) {
  const size_t shape = art.Open(kSpContainer);
  art.Header(kFspgrVersion, 0, kFspgr, 16);
  for (int i = 0; i < 4; ++i) art.Long(0);  // the group's own coordinates are unused
  art.Header(kFspVersion, kShapeTypeGroup, kFsp, 8);
  art.Long(shapeId);
  art.Long(kShapeGroupPatriarch);
  art.Close(shape);
}

void AppendPictureShape(TOfficeArt& art, const TXLSDrawingPicture& picture, uint32_t shapeId,
                        uint32_t blipId) {
  const size_t shape = art.Open(kSpContainer);
  art.Header(kFspVersion, kShapeTypePictureFrame, kFsp, 8);
  art.Long(shapeId);
  art.Long(kShapeAnchoredFlags);
  std::vector<TProperty> properties = {{kPropBlip, blipId, {}}};
  if (!picture.Name.empty()) {
    std::string name = ShapeName(picture.Name);
    const auto size = static_cast<uint32_t>(name.size());
    properties.push_back({kPropName, size, std::move(name)});
  }
  AppendProperties(art, properties);
  const TXLSDrawingAnchor& a = picture.Anchor;
  art.Header(0, 0, kClientAnchor, 18);
  art.Word(kAnchorMoveWithCells);
  for (uint16_t value : {a.Col1, a.Dx1, a.Row1, a.Dy1, a.Col2, a.Dx2, a.Row2, a.Dy2}) {
    art.Word(value);
  }
  art.Header(0, 0, kClientData, 0);
  art.Close(shape);
}

// The anchor of a note's text box beside its cell.
TXLSDrawingAnchor NoteAnchor(const TXLSDrawingNote& note) {
  const auto col1 = std::min<uint16_t>(note.Col + 1, kLastCol - kNoteCols);
  const auto row1 = std::min<uint16_t>(note.Row > 0 ? note.Row - 1 : 0, kLastRow - kNoteRows);
  return {col1,
          kNoteDx,
          row1,
          kNoteDy,
          static_cast<uint16_t>(col1 + kNoteCols),
          kNoteDx,
          static_cast<uint16_t>(row1 + kNoteRows),
          kNoteDy};
}

// The text box shape up to its client data; the caller appends the text box
// atom and closes the container (returned).
size_t OpenNoteShape(TOfficeArt& art, const TXLSDrawingNote& note, uint32_t shapeId) {
  const size_t shape = art.Open(kSpContainer);
  art.Header(kFspVersion, kShapeTypeTextBox, kFsp, 8);
  art.Long(shapeId);
  art.Long(kShapeAnchoredFlags);
  AppendProperties(art, {{kPropTextId, 0, {}},
                         {kPropFillColour, kInfoBackgroundColour, {}},
                         {kPropFillBackColour, kInfoBackgroundColour, {}},
                         {kPropFillBooleans, kNoFillHitTest, {}},
                         {kPropShadowBooleans, kShadowed, {}},
                         {kPropShapeBooleans, kHidden, {}}});
  const TXLSDrawingAnchor a = NoteAnchor(note);
  art.Header(0, 0, kClientAnchor, 18);
  art.Word(kAnchorMoveWithCells);
  for (uint16_t value : {a.Col1, a.Dx1, a.Row1, a.Dy1, a.Col2, a.Dx2, a.Row2, a.Dy2}) {
    art.Word(value);
  }
  art.Header(0, 0, kClientData, 0);
  return shape;
}

// An OBJ record's start: its common fields (ftCmo: the object's type, its
// identifier, its options and reserved zeros); the type's own fields follow.
TXLSBlob MakeObjRecord(uint16_t data_size, uint16_t type, uint16_t objectId, uint16_t options) {
  TXLSBlob record = MakeRecord(xlsrec::kObj, data_size);
  record.AddWord(kFtCmo);
  record.AddWord(kFtCmoSize);
  record.AddWord(type);
  record.AddWord(objectId);
  record.AddWord(options);
  for (int i = 0; i < 3; ++i) record.AddLong(0);
  return record;
}

TXLSBlob MakeObjNoteRecord(uint16_t objectId) {
  TXLSBlob record = MakeObjRecord(kObjNoteDataSize, kObjTypeNote, objectId, kObjNoteOptions);
  record.AddWord(kFtNts);
  record.AddWord(kFtNtsSize);
  for (int i = 0; i < 4; ++i) record.AddLong(0);  // the note's identifier
  record.AddWord(0);                              // not a shared note
  record.AddLong(0);
  record.AddLong(0);  // the end subrecord
  return record;
}

// The note's text as TXO and its CONTINUE records: the characters in slices
// that each open with their own flags byte (compact or UTF-16LE) and never
// end inside a surrogate pair, then the formatting runs. A note without text
// has no CONTINUE records.
std::vector<TXLSBlob> MakeTxoRecords(std::u16string_view text) {
  text = text.substr(0, XLSNoteMaxUnits);
  if (!text.empty() && XLSIsHighSurrogate(text.back())) text.remove_suffix(1);
  const auto units = static_cast<uint16_t>(text.size());
  std::vector<TXLSBlob> records;
  TXLSBlob txo = MakeRecord(xlsrec::kTxo, kTxoDataSize);
  txo.AddWord(kTxoLeftTopLocked);
  txo.AddWord(0);  // not rotated
  for (int i = 0; i < 3; ++i) txo.AddWord(0);
  txo.AddWord(units);
  txo.AddWord(units > 0 ? kTxoRunsSize : 0);
  txo.AddLong(0);
  records.push_back(std::move(txo));
  if (units == 0) return records;
  for (size_t pos = 0; pos < text.size();) {
    const bool compact = XLSFitsCompressed(text.substr(pos, XLSBiff8RecordDataLimit - 1));
    size_t count =
        std::min<size_t>(text.size() - pos, (XLSBiff8RecordDataLimit - 1) / (compact ? 1 : 2));
    if (pos + count < text.size() && XLSIsHighSurrogate(text[pos + count - 1])) --count;
    const std::u16string_view slice = text.substr(pos, count);
    TXLSBlob piece =
        MakeRecord(xlsrec::kContinue, static_cast<uint16_t>(1 + slice.size() * (compact ? 1 : 2)));
    piece.AddByte(compact ? 0 : 1);
    XLSAddCharacters(piece, slice, compact);
    records.push_back(std::move(piece));
    pos += count;
  }
  TXLSBlob runs = MakeRecord(xlsrec::kContinue, kTxoRunsSize);
  for (uint16_t start : {uint16_t{0}, units}) {
    runs.AddWord(start);
    runs.AddWord(0);  // font 0
    runs.AddLong(0);
  }
  records.push_back(std::move(runs));
  return records;
}

// NOTE: the cell, hidden, the text box's OBJ identifier and the author, with
// the padding byte that Excel writes behind it.
TXLSBlob MakeNoteRecord(const TXLSDrawingNote& note, uint16_t objectId) {
  const std::u16string_view author = note.Author;
  TXLSBlob record = MakeRecord(
      xlsrec::kNote,
      static_cast<uint16_t>(8 + XLSUnicodeStringSize(author, TXLSLengthField::k16Bit) + 1));
  record.AddWord(note.Row);
  record.AddWord(note.Col);
  record.AddWord(0);
  record.AddWord(objectId);
  XLSAddUnicodeString(record, author, TXLSLengthField::k16Bit);
  record.AddByte(0);
  return record;
}

TXLSBlob MakeObjPictureRecord(uint16_t objectId) {
  TXLSBlob record = MakeObjRecord(kObjDataSize, kObjTypePicture, objectId, kObjLockedPrintable);
  record.AddWord(kFtCf);
  record.AddWord(2);
  record.AddWord(kClipboardBitmap);
  record.AddWord(kFtPioGrbit);
  record.AddWord(2);
  record.AddWord(kPictureAutoPict);
  record.AddLong(0);  // the end subrecord
  return record;
}

void AppendDropDownShape(TOfficeArt& art, const TXLSDrawingDropDown& dropDown, uint32_t shapeId) {
  const size_t shape = art.Open(kSpContainer);
  art.Header(kFspVersion, kShapeTypeHostControl, kFsp, 8);
  art.Long(shapeId);
  art.Long(kShapeAnchoredFlags);
  AppendProperties(art, {{kPropProtectionBooleans, kLockAgainstGrouping, {}},
                         {kPropTextBooleans, kFitShapeToText, {}},
                         {kPropFillBooleans, kNoFill, {}},
                         {kPropLineBooleans, kNoLine, {}},
                         {kPropShapeBooleans, kNotPrinted, {}}});
  // Summed as int: the last row plus one does not fit the 16-bit field.
  const auto col2 = static_cast<uint16_t>(std::min(dropDown.Col + 1, int{kLastCol}));
  const auto row2 = static_cast<uint16_t>(std::min(dropDown.Row + 1, int{kLastRow}));
  art.Header(0, 0, kClientAnchor, 18);
  art.Word(kAnchorDropDown);
  for (uint16_t value : {dropDown.Col, uint16_t{0}, dropDown.Row, uint16_t{0}, col2, uint16_t{0},
                         row2, uint16_t{0}}) {
    art.Word(value);
  }
  art.Header(0, 0, kClientData, 0);
  art.Close(shape);
}

TXLSBlob MakeObjDropDownRecord(uint16_t objectId) {
  TXLSBlob record =
      MakeObjRecord(kObjDropDownDataSize, kObjTypeComboBox, objectId, kObjFilterButton);
  // The scroll bar of the list: value 0 in 0..100, steps of 1 and 10.
  record.AddWord(kFtSbs);
  record.AddWord(kFtSbsSize);
  record.AddLong(0);
  for (uint16_t value : {0, 0, 100, 1, 10, 0, 16, 1}) record.AddWord(value);
  // The list: no source range, nothing selected, filled by the reader.
  record.AddWord(kFtLbsData);
  record.AddWord(kFtLbsContinued);
  for (uint16_t value : {uint16_t{0}, uint16_t{0}, uint16_t{0}, kLbsAutoFilter, uint16_t{0},
                         kDropDownStyle, kDropDownLines, kDropDownMinWidth})
    record.AddWord(value);
  record.AddLong(0);  // the end subrecord
  return record;
}

TXLSBlob MakeDataRecord(uint16_t id, const std::string& bytes, size_t pos, size_t size) {
  TXLSBlob record = MakeRecord(id, static_cast<uint16_t>(size));
  record.AddString(bytes.substr(pos, size));
  return record;
}

uint32_t ClusterCount(uint32_t shapes) {
  return (shapes + kClusterSize - 1) / kClusterSize;
}

template <class TShapes>
uint32_t ShapeCount(const TShapes& shapes) {
  // the group shape, then the pictures, the notes and the drop-downs
  return static_cast<uint32_t>(shapes.Pictures.size() + shapes.Notes.size() +
                               shapes.DropDowns.size()) +
         1;
}

// The identifier of a drawing's shape, numbered from 0 (the group shape).
uint32_t ShapeId(uint32_t firstCluster, uint32_t shape) {
  return (firstCluster + shape / kClusterSize) * kClusterSize + shape % kClusterSize;
}

// Orders bitmaps by their bytes, so that equal ones meet.
struct TDibLess {
  bool operator()(const std::vector<uint8_t>* a, const std::vector<uint8_t>* b) const {
    return *a < *b;
  }
};

}  // namespace

void TXLSDrawings::SetSheetShapes(int32_t sheet_index, std::vector<TXLSDrawingPicture> pictures,
                                  std::vector<TXLSDrawingNote> notes,
                                  std::vector<TXLSDrawingDropDown> drop_downs) {
  if (pictures.empty() && notes.empty() && drop_downs.empty()) {
    sheets_.erase(sheet_index);
  } else {
    sheets_[sheet_index] = {std::move(pictures), std::move(notes), std::move(drop_downs)};
  }
  Rebuild();
}

void TXLSDrawings::Rebuild() {
  drawings_.clear();
  blips_.clear();
  std::map<const std::vector<uint8_t>*, uint32_t, TDibLess> blipIds;
  uint32_t cluster = 1;
  for (const auto& [sheet, shapes] : sheets_) {
    const std::vector<TXLSDrawingPicture>& pictures = shapes.Pictures;
    TDrawing drawing{static_cast<uint32_t>(drawings_.size() + 1), cluster, {}};
    cluster += ClusterCount(ShapeCount(shapes));
    for (size_t i = 0; i < pictures.size(); ++i) {
      const auto [entry, added] =
          blipIds.emplace(&pictures[i].Dib, static_cast<uint32_t>(blips_.size() + 1));
      if (added) blips_.push_back({sheet, i, 0});
      ++blips_[entry->second - 1].References;
      drawing.BlipIds.push_back(entry->second);
    }
    drawings_.emplace(sheet, std::move(drawing));
  }
}

const std::vector<uint8_t>& TXLSDrawings::BlipDib(const TBlip& blip) const {
  return sheets_.at(blip.Sheet).Pictures[blip.Picture].Dib;
}

// The drawing group: the identifier clusters of every drawing, the blip
// store (left out when no sheet has a picture) and the default properties
// of shapes.
std::string TXLSDrawings::GroupBytes() const {
  uint32_t clusters = 0, shapes = 0, lastShapeId = 0;
  for (const auto& [sheet, drawing] : drawings_) {
    const uint32_t count = ShapeCount(sheets_.at(sheet));
    clusters += ClusterCount(count);
    shapes += count;
    lastShapeId = ShapeId(drawing.FirstCluster, count - 1);
  }
  TOfficeArt art;
  const size_t group = art.Open(kDggContainer);
  art.Header(0, 0, kFdgg, 16 + 8 * clusters);
  art.Long(lastShapeId + 1);
  art.Long(clusters + 1);
  art.Long(shapes);
  art.Long(static_cast<uint32_t>(drawings_.size()));
  for (const auto& [sheet, drawing] : drawings_) {
    // Each cluster of the drawing with the number of its identifiers in use.
    for (uint32_t left = ShapeCount(sheets_.at(sheet)); left > 0;) {
      const uint32_t used = std::min(left, kClusterSize);
      art.Long(drawing.Id);
      art.Long(used);
      left -= used;
    }
  }
  if (!blips_.empty()) {
    const size_t store = art.Open(kBStoreContainer, static_cast<uint16_t>(blips_.size()));
    for (const TBlip& blip : blips_) AppendBlipStoreEntry(art, BlipDib(blip), blip.References);
    art.Close(store);
  }
  AppendProperties(art, {{kPropTextBooleans, kFitShapeToText, {}},
                         {kPropFillColour, kSystemFillColour, {}},
                         {kPropLineColour, kSystemLineColour, {}}});
  art.Close(group);
  return art.Bytes();
}

int32_t TXLSDrawings::StoreGroup(TXLSRecordSection& globals) const {
  if (Empty()) return 1;
  const std::string bytes = GroupBytes();
  uint16_t id = xlsrec::kMsoDrawingGroup;
  for (size_t pos = 0; pos < bytes.size(); pos += XLSBiff8RecordDataLimit) {
    const size_t size = std::min<size_t>(bytes.size() - pos, XLSBiff8RecordDataLimit);
    if (globals.Append(MakeDataRecord(id, bytes, pos, size)) != 1) return -1;
    id = xlsrec::kContinue;
  }
  return 1;
}

// The drawing is one run of Office drawing records, cut where an OBJ or TXO
// record must follow the shape it completes: after each picture's shape,
// after each note's client data and after its text box atom.
int32_t TXLSDrawings::StoreSheet(int32_t sheet_index, TXLSRecordSection& data) const {
  const auto found = drawings_.find(sheet_index);
  if (found == drawings_.end()) return 1;
  const TDrawing& drawing = found->second;
  const TSheetShapes& shapes = sheets_.at(sheet_index);
  const uint32_t count = ShapeCount(shapes);

  TOfficeArt art;
  const size_t container = art.Open(kDgContainer);
  art.Header(0, static_cast<uint16_t>(drawing.Id), kFdg, 8);
  art.Long(count);
  art.Long(ShapeId(drawing.FirstCluster, count - 1));
  const size_t group = art.Open(kSpgrContainer);
  AppendGroupShape(art, ShapeId(drawing.FirstCluster, 0));
  // Where each slice of the drawing ends: after each picture's shape, after
  // each note's shape up to its client data and after its text box atom.
  std::vector<size_t> ends;
  uint32_t shape = 1;
  for (size_t i = 0; i < shapes.Pictures.size(); ++i, ++shape) {
    AppendPictureShape(art, shapes.Pictures[i], ShapeId(drawing.FirstCluster, shape),
                       drawing.BlipIds[i]);
    ends.push_back(art.Size());
  }
  for (const TXLSDrawingNote& note : shapes.Notes) {
    const size_t box = OpenNoteShape(art, note, ShapeId(drawing.FirstCluster, shape++));
    ends.push_back(art.Size());
    art.Header(0, 0, kClientTextbox, 0);
    art.Close(box);
    ends.push_back(art.Size());
  }
  for (const TXLSDrawingDropDown& dropDown : shapes.DropDowns) {
    AppendDropDownShape(art, dropDown, ShapeId(drawing.FirstCluster, shape++));
    ends.push_back(art.Size());
  }
  art.Close(group);
  art.Close(container);

  // The records that follow slice i: a picture's OBJ; for note n, its OBJ
  // after its shape and its TXO records after its text box atom; a
  // drop-down's OBJ. They are
  // built as they are appended, so that the texts of many notes are never
  // all held at once.
  const size_t pictures = shapes.Pictures.size();
  const size_t noteSlices = 2 * shapes.Notes.size();
  const auto recordsAfter = [&](size_t i) {
    std::vector<TXLSBlob> records;
    if (i < pictures) {
      records.push_back(MakeObjPictureRecord(static_cast<uint16_t>(i + 1)));
    } else if (i >= pictures + noteSlices) {
      const size_t objectId = shapes.Notes.size() + i - noteSlices + 1;
      records.push_back(MakeObjDropDownRecord(static_cast<uint16_t>(objectId)));
    } else if (const size_t n = (i - pictures) / 2; (i - pictures) % 2 == 0) {
      records.push_back(MakeObjNoteRecord(static_cast<uint16_t>(pictures + n + 1)));
    } else {
      records = MakeTxoRecords(shapes.Notes[n].Text);
    }
    return records;
  };
  size_t start = 0;
  for (size_t i = 0; i < ends.size(); start = ends[i++]) {
    if (data.Append(MakeDataRecord(xlsrec::kMsoDrawing, art.Bytes(), start, ends[i] - start)) != 1)
      return -1;
    for (TXLSBlob& record : recordsAfter(i)) {
      if (data.Append(std::move(record)) != 1) return -1;
    }
  }
  auto objectId = static_cast<uint16_t>(pictures + 1);
  for (const TXLSDrawingNote& note : shapes.Notes) {
    if (data.Append(MakeNoteRecord(note, objectId++)) != 1) return -1;
  }
  return 1;
}

}  // namespace tabulon
