// The drawing layer of a BIFF8 workbook: the pictures of every sheet as the
// Office drawing records that BIFF8 readers take them from.
//
// The workbook globals hold one MSODRAWINGGROUP record (continued in CONTINUE
// records past the record data limit) with the drawing group: the shape
// identifier clusters of every sheet's drawing, the blip store with one entry
// per distinct bitmap (stored as a PNG, see XLSPng.h) and the default shape
// properties. Each sheet with
// pictures holds its drawing in MSODRAWING records, one per picture shape and
// each followed by the picture's OBJ record: the first also opens the drawing
// and its group shape, whose lengths cover the records that follow.
//
// In the stream, MSODRAWINGGROUP follows the BOUNDSHEET records of the
// globals (before SST), and a sheet's drawing follows its cell records
// (before WINDOW2).
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "XLSRecordSection.h"

namespace tabulon {

// The most data bytes a BIFF8 record carries. The drawing records are cut to
// it, so a section made with the limit XLSBiff8RecordLimit (which counts the
// record header) passes them on unchanged.
constexpr uint16_t XLSBiff8RecordDataLimit = XLSBiff8RecordLimit - 4;

// The cells a picture covers: its top-left and bottom-right cells, each with
// an offset inside the cell in 1/1024 of the column width (Dx) and 1/256 of
// the row height (Dy).
struct TXLSDrawingAnchor {
  uint16_t Col1 = 0, Dx1 = 0, Row1 = 0, Dy1 = 0;
  uint16_t Col2 = 0, Dx2 = 0, Row2 = 0, Dy2 = 0;
};

struct TXLSDrawingPicture {
  TXLSDrawingAnchor Anchor;
  // A device-independent bitmap: the 40-byte information header (24 bits per
  // pixel, uncompressed), then the pixel rows bottom-up (no file header).
  std::vector<uint8_t> Dib;
  // The shape's name, UTF-8; empty for none. At most 255 UTF-16 code units
  // are kept.
  std::string Name;
};

// The pictures of a whole workbook, sheet by sheet, as the BIFF8 drawing
// layer writes them. Sheets are numbered from 0; a sheet's drawing gets its
// drawing identifier from its place among the sheets with pictures, and
// pictures with identical bitmaps share one blip store entry.
class TXLSDrawings {
 public:
  // Replaces the pictures of a sheet; an empty list removes its drawing.
  void SetSheetPictures(int32_t sheet_index, std::vector<TXLSDrawingPicture> pictures);
  // True when no sheet has a picture.
  bool Empty() const { return sheets_.empty(); }
  // Appends MSODRAWINGGROUP and its CONTINUE records; 1 (and nothing
  // appended) when there are no pictures, -1 when an append fails.
  int32_t StoreGroup(TXLSRecordSection& globals) const;
  // Appends MSODRAWING and OBJ for every picture of the sheet; 1 (and nothing
  // appended) when it has none, -1 when an append fails.
  int32_t StoreSheet(int32_t sheet_index, TXLSRecordSection& data) const;

 private:
  // Where the bitmap of a blip store entry is first used, and how many
  // pictures show it.
  struct TBlip {
    int32_t Sheet;
    size_t Picture;
    uint32_t References;
  };
  // A sheet's drawing: its identifier, the first of its consecutive shape
  // identifier clusters (numbered from 1) and the blip of each picture
  // (numbered from 1).
  struct TDrawing {
    uint32_t Id;
    uint32_t FirstCluster;
    std::vector<uint32_t> BlipIds;
  };

  void Rebuild();
  const std::vector<uint8_t>& BlipDib(const TBlip& blip) const;
  std::string GroupBytes() const;

  std::map<int32_t, std::vector<TXLSDrawingPicture>> sheets_;  // only sheets with pictures
  std::map<int32_t, TDrawing> drawings_;
  std::vector<TBlip> blips_;
};

}  // namespace tabulon
