// The drawing layer of a BIFF8 workbook: the pictures and notes of every
// sheet as the Office drawing records that BIFF8 readers take them from.
//
// The workbook globals hold one MSODRAWINGGROUP record (continued in CONTINUE
// records past the record data limit) with the drawing group: the shape
// identifier clusters of every sheet's drawing, the blip store with one entry
// per distinct bitmap (stored as a PNG, see XLSPng.h) and the default shape
// properties. Each sheet with
// pictures or notes holds its drawing in MSODRAWING records, one per picture
// shape and each followed by the picture's OBJ record: the first also opens
// the drawing and its group shape, whose lengths cover the records that
// follow. A note is a text box shape after the pictures, in two MSODRAWING
// records: the shape, followed by its OBJ record, and the shape's text box
// atom, followed by the TXO record and its CONTINUE records (the text, then
// the formatting runs). The NOTE records, which tie each text box to its
// cell, follow the drawing. The drop-downs of the sheet's AutoFilter come
// last: one shape per filtered column, each followed by its OBJ record (a
// combo box flagged as a filter button). Pictures, notes and drop-downs of a
// sheet share one run of shape identifiers and of OBJ identifiers.
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

// A note (comment) of a cell: a hidden text box beside the cell.
struct TXLSDrawingNote {
  uint16_t Row = 0;
  uint16_t Col = 0;
  // Line breaks as LF; the TXO record counts at most XLSNoteMaxUnits units.
  std::u16string Text;
  // Who wrote it; empty for no one.
  std::u16string Author;
};

// The filter button of one column of an AutoFilter: a combo box over the
// column's header cell.
struct TXLSDrawingDropDown {
  uint16_t Row = 0;
  uint16_t Col = 0;
};

// The longest note text a TXO record describes, in UTF-16 units; longer
// texts are cut, never inside a surrogate pair.
constexpr size_t XLSNoteMaxUnits = 32767;

// The shapes of a whole workbook, sheet by sheet, as the BIFF8 drawing
// layer writes them. Sheets are numbered from 0; a sheet's drawing gets its
// drawing identifier from its place among the sheets with shapes, and
// pictures with identical bitmaps share one blip store entry.
class TXLSDrawings {
 public:
  // Replaces the pictures, notes and filter drop-downs of a sheet; empty
  // lists remove its drawing.
  void SetSheetShapes(int32_t sheet_index, std::vector<TXLSDrawingPicture> pictures,
                      std::vector<TXLSDrawingNote> notes = {},
                      std::vector<TXLSDrawingDropDown> drop_downs = {});
  // True when no sheet has a shape.
  bool Empty() const { return sheets_.empty(); }
  // Appends MSODRAWINGGROUP and its CONTINUE records; 1 (and nothing
  // appended) when there are no shapes, -1 when an append fails.
  int32_t StoreGroup(TXLSRecordSection& globals) const;
  // Appends MSODRAWING and OBJ for every picture of the sheet, the records of
  // its notes' text boxes and of its drop-downs, then its NOTE records; 1 (and nothing appended)
  // when it has no shapes, -1 when an append fails.
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
  struct TSheetShapes {
    std::vector<TXLSDrawingPicture> Pictures;
    std::vector<TXLSDrawingNote> Notes;
    std::vector<TXLSDrawingDropDown> DropDowns;
  };

  void Rebuild();
  const std::vector<uint8_t>& BlipDib(const TBlip& blip) const;
  std::string GroupBytes() const;

  std::map<int32_t, TSheetShapes> sheets_;  // only sheets with shapes
  std::map<int32_t, TDrawing> drawings_;
  std::vector<TBlip> blips_;
};

}  // namespace tabulon
