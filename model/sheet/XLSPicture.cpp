#include "XLSPicture.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <utility>

#include "XLSByteOrder.h"
#include "XLSCellRef.h"
#include "XLSColRowInfo.h"
#include "XLSRecordIds.h"

namespace tabulon {

namespace {

// The 14-byte file header and the 40-byte information header.
constexpr uint32_t kBitmapHeaderSize = 54;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kCoreHeaderSize = 12;
constexpr uint32_t kMaxSide = 65535;

// Pixels of the default font's digit: column widths count in such digits.
constexpr double kDigitPixels = 7.0;
constexpr double kTwipsPerPixel = 15.0;

// Anchor offsets count 1/1024 of a column and 1/256 of a row.
constexpr double kColumnUnits = 1024.0;
constexpr double kRowUnits = 256.0;

constexpr uint16_t kObjDataSize = 60;
constexpr uint16_t kObjTypePicture = 8;
constexpr uint16_t kObjId = 1;
constexpr uint16_t kObjOptions = 0x0614;
constexpr uint8_t kObjBackColour = 9;
constexpr uint8_t kObjForeColour = 9;
constexpr uint8_t kObjLineColour = 8;
constexpr uint8_t kObjLineStyleNone = 0xFF;
constexpr uint8_t kObjLineWeight = 1;
constexpr uint32_t kClipboardBitmap = 9;
constexpr uint16_t kPictureOptions = 1;

constexpr uint16_t kImDataFields = 8;
constexpr uint16_t kImageFormatBitmap = 9;
constexpr uint16_t kImageEnvironmentWindows = 1;

template <typename T>
T FieldOf(const std::string& bytes, size_t pos) {
  return XLSGetLE<T>(reinterpret_cast<const uint8_t*>(bytes.data()) + pos);
}

// Rounds to the nearest integer, ties to even (the default rounding mode).
double Rnd(double value) {
  return std::nearbyint(value);
}

// The fields of the two bitmap headers that decide whether a file is taken.
struct TBitmapHeader {
  uint32_t FileSize, DataOffset, InfoSize, Width, Height, Compression;
  uint16_t Planes, BitsPerPixel;

  explicit TBitmapHeader(const std::string& h)
      : FileSize(FieldOf<uint32_t>(h, 2)),
        DataOffset(FieldOf<uint32_t>(h, 10)),
        InfoSize(FieldOf<uint32_t>(h, 14)),
        Width(FieldOf<uint32_t>(h, 18)),
        Height(FieldOf<uint32_t>(h, 22)),
        Compression(FieldOf<uint32_t>(h, 30)),
        Planes(FieldOf<uint16_t>(h, 26)),
        BitsPerPixel(FieldOf<uint16_t>(h, 28)) {}

  // Bytes of one pixel row, padded to a multiple of 4.
  uint64_t RowSize() const { return (uint64_t{Width} * 3 + 3) / 4 * 4; }
  uint64_t PixelSize() const { return RowSize() * Height; }
};

// Why the header is not one of an accepted bitmap, or empty when it is. The
// height is read unsigned, so a top-down bitmap (negative height) is refused.
std::string HeaderFault(const TBitmapHeader& header, uint64_t fileLength) {
  if (header.FileSize > fileLength) {
    return "declares " + std::to_string(header.FileSize) + " bytes but holds only " +
           std::to_string(fileLength);
  }
  if (header.InfoSize < kInfoHeaderSize) {
    return "has an information header of " + std::to_string(header.InfoSize) +
           " bytes, not at least 40";
  }
  if (header.Width == 0 || header.Width > kMaxSide) {
    return "has width " + std::to_string(header.Width) + ", not 1 to 65535";
  }
  if (static_cast<int32_t>(header.Height) < 0) {
    return "has a negative height: its rows run top-down, not bottom-up";
  }
  if (header.Height == 0 || header.Height > kMaxSide) {
    return "has height " + std::to_string(header.Height) + ", not 1 to 65535";
  }
  if (header.BitsPerPixel != 24) {
    return "has " + std::to_string(header.BitsPerPixel) + " bits per pixel, not 24";
  }
  if (header.Planes != 1) return "has " + std::to_string(header.Planes) + " planes, not 1";
  if (header.Compression != 0) {
    return "is compressed (method " + std::to_string(header.Compression) + ")";
  }
  if (header.DataOffset < kBitmapHeaderSize ||
      header.DataOffset + header.PixelSize() > header.FileSize) {
    return "has " + std::to_string(header.PixelSize()) + " bytes of pixel rows at offset " +
           std::to_string(header.DataOffset) + ", past its declared size " +
           std::to_string(header.FileSize);
  }
  return "";
}

// The picture data's core header.
std::string CoreHeader(const TBitmapHeader& header) {
  std::string data;
  XLSAppendLE<uint32_t>(data, kCoreHeaderSize);
  XLSAppendLE<uint16_t>(data, header.Width);
  XLSAppendLE<uint16_t>(data, header.Height);
  XLSAppendLE<uint16_t>(data, 1);
  XLSAppendLE<uint16_t>(data, 24);
  return data;
}

// The name a picture is saved under, numbered from 1 in insertion order.
std::string PictureName(size_t number) {
  return "Picture " + std::to_string(number);
}

// The cell edge that lies offset pixels past the start of cell first: the
// cell it falls in and the pixels left inside it, skipping cells 0 pixels
// wide. False when it lies past cell last.
template <class TSize>
bool Walk(uint32_t first, uint32_t last, uint32_t offset, TSize size, uint32_t& cell,
          uint32_t& inside) {
  cell = first;
  inside = offset;
  while (inside >= size(cell)) {
    inside -= size(cell);
    if (++cell > last) return false;
  }
  return true;
}

// An offset of pixels inside a cell of size pixels in units of the anchor,
// at most units - 1 (the far edge belongs to the next cell).
uint16_t AnchorOffset(uint32_t pixels, uint32_t size, double units) {
  if (size == 0) return 0;
  return static_cast<uint16_t>(std::min(Rnd(pixels / double(size) * units), units - 1));
}

// A side of the picture scaled to whole pixels, or 0 when the result is not
// 1 to 65535.
uint16_t ScaledSide(uint16_t side, float scale) {
  const double scaled = Rnd(side * double{scale});
  return scaled >= 1 && scaled <= kMaxSide ? static_cast<uint16_t>(scaled) : 0;
}

}  // namespace

// ---- Reading the file ---------------------------------------------------------

int32_t ProcessBitmap(const std::string& file_name, TXLSBitmap& bitmap, std::string& error) {
  std::ifstream file(file_name, std::ios::binary | std::ios::ate);
  if (!file) {
    error = "cannot open " + file_name;
    return -1;
  }
  const auto length = static_cast<uint64_t>(std::max<std::streamoff>(0, file.tellg()));
  const auto fail = [&](const std::string& reason) {
    error = file_name + " " + reason;
    return -1;
  };
  if (length <= kBitmapHeaderSize) return fail("is not a bitmap file: 54 bytes or shorter");
  std::string head(kBitmapHeaderSize, '\0');
  file.seekg(0);
  if (!file.read(&head[0], kBitmapHeaderSize)) return fail("cannot be read");
  if (head.compare(0, 2, "BM") != 0) return fail("is not a bitmap file: no BM signature");
  const TBitmapHeader header(head);
  const std::string fault = HeaderFault(header, length);
  if (!fault.empty()) return fail(fault);

  std::string data = CoreHeader(header);
  const size_t headerSize = data.size();
  data.resize(headerSize + header.PixelSize());
  file.seekg(header.DataOffset);
  if (!file.read(&data[headerSize], static_cast<std::streamsize>(header.PixelSize()))) {
    return fail("cannot be read");
  }
  bitmap.Width = static_cast<uint16_t>(header.Width);
  bitmap.Height = static_cast<uint16_t>(header.Height);
  bitmap.Data = std::move(data);
  return 1;
}

// ---- Anchoring ----------------------------------------------------------------

uint32_t TXLSCellGeometry::SizeCol(uint32_t col) const {
  const TXLSColumnInfo* info = columns_.GetColumnInfo(static_cast<int32_t>(col));
  const TXLSColumnInfo& used = info != nullptr ? *info : columns_.GetDefaultInfo();
  if (used.Hidden) return 0;
  return static_cast<uint32_t>(Rnd(used.Width * kDigitPixels / 256.0));
}

uint32_t TXLSCellGeometry::SizeRow(uint32_t row) const {
  const TXLSRowInfo* info = rows_.GetRowInfo(static_cast<int32_t>(row));
  const TXLSRowInfo& used = info != nullptr ? *info : rows_.GetDefaultInfo();
  if (used.Hidden) return 0;
  return static_cast<uint32_t>(Rnd(std::max<int16_t>(used.Height, 0) / kTwipsPerPixel));
}

int32_t PositionImage(const TXLSCellGeometry& geometry, uint16_t col, uint16_t row, uint16_t x,
                      uint16_t y, uint16_t width, uint16_t height, TXLSPictureAnchor& anchor,
                      std::string& error) {
  const auto cw = [&geometry](uint32_t c) { return geometry.SizeCol(c); };
  const auto rh = [&geometry](uint32_t r) { return geometry.SizeRow(r); };
  if (col > XLSMaxCol) {
    error = "column " + std::to_string(col) + " lies outside the sheet";
    return -1;
  }
  if (width == 0 || height == 0) {
    error = "picture has no area";
    return -1;
  }
  if (x >= cw(col)) x = 0;
  if (y >= rh(row)) y = 0;
  uint32_t colR = 0, dxR = 0, rowB = 0, dyB = 0;
  if (!Walk(col, XLSMaxCol, uint32_t{x} + width - 1, cw, colR, dxR)) {
    error = "picture reaches past the last column";
    return -1;
  }
  if (!Walk(row, XLSMaxRow, uint32_t{y} + height - 1, rh, rowB, dyB)) {
    error = "picture reaches past the last row";
    return -1;
  }
  anchor.ColL = col;
  anchor.DxL = AnchorOffset(x, cw(col), kColumnUnits);
  anchor.RowT = row;
  anchor.DyT = AnchorOffset(y, rh(row), kRowUnits);
  anchor.ColR = static_cast<uint16_t>(colR);
  anchor.DxR = AnchorOffset(dxR, cw(colR), kColumnUnits);
  anchor.RowB = static_cast<uint16_t>(rowB);
  anchor.DyB = AnchorOffset(dyB, rh(rowB), kRowUnits);
  return 1;
}

// ---- Records ------------------------------------------------------------------

// The object's name follows the fixed fields as a length byte and the
// characters, padded to an even record length; offset 30 repeats the length.
// Gnumeric warns of a damaged file when nothing follows the fixed fields.
TXLSBlob MakeObjPictureRecord(const TXLSPictureAnchor& anchor, std::string_view name) {
  const auto nameLength = static_cast<uint8_t>(std::min<size_t>(name.size(), 255));
  const uint16_t nameSize = static_cast<uint16_t>((1 + nameLength + 1) / 2 * 2);
  TXLSBlob record = MakeRecord(xlsrec::kObj, static_cast<uint16_t>(kObjDataSize + nameSize));
  record.AddLong(1);  // one object
  record.AddWord(kObjTypePicture);
  record.AddWord(kObjId);
  record.AddWord(kObjOptions);
  for (uint16_t value : {anchor.ColL, anchor.DxL, anchor.RowT, anchor.DyT, anchor.ColR, anchor.DxR,
                         anchor.RowB, anchor.DyB}) {
    record.AddWord(value);
  }
  record.AddWord(0);  // no macro formula
  record.AddWord(0);
  record.AddWord(nameLength);
  record.AddWord(0);
  record.AddByte(kObjBackColour);
  record.AddByte(kObjForeColour);
  record.AddByte(0);  // no fill pattern
  record.AddByte(0);  // automatic fill off
  record.AddByte(kObjLineColour);
  record.AddByte(kObjLineStyleNone);
  record.AddByte(kObjLineWeight);
  record.AddByte(0);  // automatic border off
  record.AddWord(0);  // frame style
  record.AddLong(kClipboardBitmap);
  record.AddWord(0);
  record.AddWord(0);  // no picture formula
  record.AddWord(0);
  record.AddWord(kPictureOptions);
  record.AddLong(0);
  record.AddByte(nameLength);
  record.AddString(std::string(name.substr(0, nameLength)));
  if ((1 + nameLength) % 2 != 0) record.AddByte(0);
  return record;
}

TXLSBlob MakeImDataRecord(const std::string& picture) {
  const auto size = static_cast<uint32_t>(picture.size());
  // Gnumeric takes the picture data for damaged unless the record holds more
  // than the length it declares: one zero byte after the pixel rows, outside
  // that length, satisfies it. LibreOffice's bitmap reader stops after the
  // pixel rows, and xlrd skips the record.
  const uint32_t dataSize = kImDataFields + size + 1;
  TXLSBlob record(4 + dataSize);
  record.AddWord(xlsrec::kImData);
  // A record longer than the data limit gets its length from the split.
  record.AddWord(static_cast<uint16_t>(std::min<uint32_t>(dataSize, 0xFFFF)));
  record.AddWord(kImageFormatBitmap);
  record.AddWord(kImageEnvironmentWindows);
  record.AddLong(size);
  record.AddString(picture);
  record.AddByte(0);  // the byte past the declared length
  return record;
}

std::vector<uint8_t> MakeDib(const std::string& picture) {
  std::vector<uint8_t> dib;
  XLSAppendLE<uint32_t>(dib, kInfoHeaderSize);
  XLSAppendLE<uint32_t>(dib, FieldOf<uint16_t>(picture, 4));  // width
  XLSAppendLE<uint32_t>(dib, FieldOf<uint16_t>(picture, 6));  // height, rows bottom-up
  XLSAppendLE<uint16_t>(dib, 1);                              // planes
  XLSAppendLE<uint16_t>(dib, 24);                             // bits per pixel
  XLSAppendLE<uint32_t>(dib, 0);                              // uncompressed
  XLSAppendLE<uint32_t>(dib, static_cast<uint32_t>(picture.size() - kCoreHeaderSize));
  for (int i = 0; i < 4; ++i) XLSAppendLE<uint32_t>(dib, 0);  // no resolution, no palette
  dib.insert(dib.end(), picture.begin() + kCoreHeaderSize, picture.end());
  return dib;
}

// ---- The sheet's pictures -----------------------------------------------------

int32_t TXLSPictures::Refuse(std::string reason) {
  lastError_ = std::move(reason);
  return -1;
}

int32_t TXLSPictures::Insert(const TXLSCellGeometry& geometry, uint16_t row, uint16_t col,
                             const std::string& file_name, uint16_t x, uint16_t y, float scale_x,
                             float scale_y) {
  std::string error;
  TXLSBitmap bitmap;
  if (ProcessBitmap(file_name, bitmap, error) != 1) return Refuse(error);
  const uint16_t width = ScaledSide(bitmap.Width, scale_x);
  const uint16_t height = ScaledSide(bitmap.Height, scale_y);
  if (width == 0 || height == 0) {
    return Refuse(file_name + " scaled by " + std::to_string(scale_x) + " x " +
                  std::to_string(scale_y) + " is not 1 to 65535 pixels wide and high");
  }
  TXLSPicture picture;
  if (PositionImage(geometry, col, row, x, y, width, height, picture.Anchor, error) != 1) {
    return Refuse(file_name + ": " + error);
  }
  picture.Data = std::move(bitmap.Data);
  pictures_.push_back(std::move(picture));
  lastError_.clear();
  return 1;
}

int32_t TXLSPictures::Store(TXLSRecordSection& section) const {
  int32_t status = 1;
  size_t number = 0;
  for (const TXLSPicture& picture : pictures_) {
    status = section.Append(MakeObjPictureRecord(picture.Anchor, PictureName(++number)));
    if (status == 1) status = section.Append(MakeImDataRecord(picture.Data));
    if (status != 1) break;
  }
  return status;
}

std::vector<TXLSDrawingPicture> TXLSPictures::DrawingPictures() const {
  std::vector<TXLSDrawingPicture> drawing;
  size_t number = 0;
  for (const TXLSPicture& picture : pictures_) {
    const TXLSPictureAnchor& a = picture.Anchor;
    drawing.push_back({{a.ColL, a.DxL, a.RowT, a.DyT, a.ColR, a.DxR, a.RowB, a.DyB},
                       MakeDib(picture.Data),
                       PictureName(++number)});
  }
  return drawing;
}

}  // namespace tabulon
