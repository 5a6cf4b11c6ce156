// Bitmap pictures placed on a worksheet. A 24-bit uncompressed Windows
// bitmap file is read and checked, turned into the picture data of the file
// format (a 12-byte core header followed by the pixel rows, bottom-up as the
// file stores them) and anchored to the cells it covers. The worksheet keeps
// its pictures and every save appends, for each, an OBJ record (the picture
// object with its anchor) and an IMDATA record (the bitmap) after the cell
// records of the sheet. A BIFF8 save takes them instead as drawing pictures
// (DrawingPictures) for the drawing layer.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "XLSBlob.h"
#include "XLSDrawing.h"
#include "XLSRecordSection.h"

namespace tabulon {

class TXLSColumnInfoList;
class TXLSRowInfoList;

// A checked bitmap file in the form the IMDATA record carries it.
struct TXLSBitmap {
  uint16_t Width = 0;   // pixels
  uint16_t Height = 0;  // pixels
  // The picture data: the 12-byte core header (size 12, width, height,
  // planes 1, 24 bits per pixel), then the padded pixel rows of the file.
  std::string Data;
};

// Reads and checks a bitmap file and builds its picture data: 1, or -1 with
// the reason in error (the file cannot be opened, is not a 24-bit
// uncompressed bitmap, or is shorter than its header says). The file is never
// read past its end.
int32_t ProcessBitmap(const std::string& file_name, TXLSBitmap& bitmap, std::string& error);

// Where a picture sits: its top-left and bottom-right cells, each with an
// offset inside the cell in 1/1024 of the column width and 1/256 of the row
// height.
struct TXLSPictureAnchor {
  uint16_t ColL = 0, DxL = 0, RowT = 0, DyT = 0;
  uint16_t ColR = 0, DxR = 0, RowB = 0, DyB = 0;
};

// Pixel sizes of the sheet's columns and rows, from its column and row
// information: a hidden column or row is 0 pixels wide or high.
class TXLSCellGeometry {
 public:
  TXLSCellGeometry(const TXLSColumnInfoList& columns, const TXLSRowInfoList& rows)
      : columns_(columns), rows_(rows) {}
  // The default column (2340 units, 8.43 characters) is 64 pixels wide.
  uint32_t SizeCol(uint32_t col) const;
  // The default row (255 twips, 12.75 points) is 17 pixels high.
  uint32_t SizeRow(uint32_t row) const;

 private:
  const TXLSColumnInfoList& columns_;
  const TXLSRowInfoList& rows_;
};

// The anchor of a picture of width x height pixels whose top-left corner lies
// x, y pixels inside the cell (row, col); an offset not inside the cell is
// taken as 0. 1, or -1 with the reason in error when the picture would reach
// past the last column or row of the sheet.
int32_t PositionImage(const TXLSCellGeometry& geometry, uint16_t col, uint16_t row, uint16_t x,
                      uint16_t y, uint16_t width, uint16_t height, TXLSPictureAnchor& anchor,
                      std::string& error);

// The OBJ record of a picture object: 60 bytes of fields, then the object's
// name (at most 255 bytes kept).
TXLSBlob MakeObjPictureRecord(const TXLSPictureAnchor& anchor, std::string_view name);
// The IMDATA record of the picture data, whole, and one byte after it that
// its declared length leaves out: longer than the record data limit, it is
// split into CONTINUE records when it is appended.
TXLSBlob MakeImDataRecord(const std::string& picture);
// The picture data as a device-independent bitmap: the core header becomes
// the 40-byte information header (24 bits per pixel, uncompressed), the pixel
// rows stay as they are.
std::vector<uint8_t> MakeDib(const std::string& picture);

struct TXLSPicture {
  TXLSPictureAnchor Anchor;
  std::string Data;  // the picture data of TXLSBitmap
};

// The pictures of one worksheet, in the order they were inserted.
class TXLSPictures {
 public:
  // Reads the file and anchors its picture scaled by scale_x, scale_y at the
  // cell (row, col) plus the pixel offset (x, y). 1 when the picture is kept;
  // -1 with the reason in GetLastError when the file is refused, the column
  // lies outside the sheet, the scaled size is not 1 to 65535 pixels, or the
  // picture would reach past the sheet.
  int32_t Insert(const TXLSCellGeometry& geometry, uint16_t row, uint16_t col,
                 const std::string& file_name, uint16_t x, uint16_t y, float scale_x,
                 float scale_y);
  // OBJ and IMDATA of every picture; stops at the first failing append and
  // returns its status.
  int32_t Store(TXLSRecordSection& section) const;
  // Every picture as the drawing layer takes it: the anchor of its OBJ
  // record, its bitmap as a DIB and the name Store gives it.
  std::vector<TXLSDrawingPicture> DrawingPictures() const;

  size_t GetCount() const { return pictures_.size(); }
  const TXLSPicture& Get(size_t index) const { return pictures_.at(index); }
  // Why the last Insert was refused; empty after one that succeeded.
  const std::string& GetLastError() const { return lastError_; }

 private:
  int32_t Refuse(std::string reason);

  std::vector<TXLSPicture> pictures_;
  std::string lastError_;
};

}  // namespace tabulon
