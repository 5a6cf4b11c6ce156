// The sheet substream: the cell-record writers and every other record of a
// worksheet, built while the workbook saves. Records that must precede the
// cells go to the header section, the cells and everything after them to
// the data section; WriteData writes the two in that order.
#include <algorithm>
#include <cstring>
#include <utility>

#include "XLSCellRef.h"
#include "XLSColRowInfo.h"
#include "XLSDrawing.h"
#include "XLSFormatConditions.h"
#include "XLSHyperlinks.h"
#include "XLSNotes.h"
#include "XLSPageSetup.h"
#include "XLSPanes.h"
#include "XLSPicture.h"
#include "XLSProtect.h"
#include "XLSRange.h"
#include "XLSRecordEncoder.h"
#include "XLSRecordIds.h"
#include "XLSTextEncoder.h"
#include "XLSValidations.h"
#include "XLSWorkSheets.h"
#include "XLSWorkbook.h"
#include "XLSWorksheet.h"

namespace tabulon {

namespace {

// A cell record opens with its row, column and format; data_length counts
// these six bytes and what the caller adds after them.
TXLSBlob CellRecord(uint16_t id, uint16_t data_length, uint16_t row, uint16_t col, uint16_t xf) {
  TXLSBlob record = MakeRecord(id, data_length);
  record.AddWord(row);
  record.AddWord(col);
  record.AddWord(xf);
  return record;
}

// WINDOW2 options: headings, zero values, automatic grid colour, outline
// symbols and bit 10 are always on.
constexpr uint16_t kWindow2Constant = 0x0004 | 0x0010 | 0x0020 | 0x0080 | 0x0400;
constexpr uint16_t kWindow2GridLines = 0x0002;
constexpr uint16_t kWindow2Frozen = 0x0008;
constexpr uint16_t kWindow2Selected = 0x0200;

// One drop-down per column of the filter's header. As with AUTOFILTERINFO, a
// header below the rows a name reaches has none.
std::vector<TXLSDrawingDropDown> FilterDropDowns(
    const std::optional<TXLSWorksheet::TXLSFilterArea>& filter, int32_t max_row) {
  std::vector<TXLSDrawingDropDown> dropDowns;
  if (!filter || filter->FirstRow >= max_row) return dropDowns;
  for (int32_t col = filter->FirstCol; col <= filter->LastCol; ++col) {
    dropDowns.push_back({static_cast<uint16_t>(filter->FirstRow), static_cast<uint16_t>(col)});
  }
  return dropDowns;
}

}  // namespace

// ---- Save lifecycle ---------------------------------------------------------

void TXLSWorksheet::BeginSave(TXLSSpillFile* spill) {
  const uint16_t limit = workbook_.GetRecordEncoder().RecordLimit();
  header_ = std::make_unique<TXLSRecordSection>(limit);
  data_ = std::make_unique<TXLSRecordSection>(limit);
  header_->SpillTo(spill);
  data_->SpillTo(spill);
}

int32_t TXLSWorksheet::FlushSections() {
  if (!header_ || !data_) return -1;
  return header_->Flush() == 1 ? data_->Flush() : -1;
}

void TXLSWorksheet::EndSave() {
  header_.reset();
  data_.reset();
}

int32_t TXLSWorksheet::GetStreamSize() const {
  return (header_ ? header_->Size() : 0) + (data_ ? data_->Size() : 0);
}

int32_t TXLSWorksheet::AppendTo(TXLSRecordSection* section, TXLSBlob&& record) {
  return section != nullptr ? section->Append(std::move(record)) : -1;
}

int32_t TXLSWorksheet::AppendHeader(TXLSBlob&& record) {
  return AppendTo(header_.get(), std::move(record));
}

int32_t TXLSWorksheet::AppendData(TXLSBlob&& record) {
  return AppendTo(data_.get(), std::move(record));
}

int32_t TXLSWorksheet::WriteData(TXLSStream& stream) const {
  if (!header_ || !data_) return -1;
  const int32_t status = header_->Write(stream);
  return status == 1 ? data_->Write(stream) : status;
}

// ---- Cell-record writers ----------------------------------------------------

int32_t TXLSWorksheet::CheckDimensions(uint32_t row, uint32_t col) {
  if (row > XLSMaxRow || col > XLSMaxCol) return -2;
  const auto r = static_cast<uint16_t>(row);
  const auto c = static_cast<uint8_t>(col);
  if (!dimWritten_) {
    dimFirstRow_ = dimLastRow_ = r;
    dimFirstCol_ = dimLastCol_ = c;
  } else {
    dimFirstRow_ = std::min(dimFirstRow_, r);
    dimLastRow_ = std::max(dimLastRow_, r);
    dimFirstCol_ = std::min(dimFirstCol_, c);
    dimLastCol_ = std::max(dimLastCol_, c);
  }
  dimWritten_ = true;
  return 1;
}

uint16_t TXLSWorksheet::RecordXF(int32_t xf) {
  if (xf <= 0) return 0;
  const int32_t saveIndex = workbook_.GetXFList().GetSaveIndex(xf);
  return saveIndex > 0 ? static_cast<uint16_t>(saveIndex - 1) : 0;
}

// Outside a save nothing is recorded, not even the written-area bounds.
template <class TBuild>
int32_t TXLSWorksheet::WriteCell(uint32_t row, uint32_t col, TBuild build) {
  if (row > XLSMaxRow || col > XLSMaxCol) return -2;
  if (!data_) return -1;
  CheckDimensions(row, col);
  return AppendData(build(static_cast<uint16_t>(row), static_cast<uint16_t>(col)));
}

int32_t TXLSWorksheet::Write(uint16_t row, uint16_t col, int32_t xf) {
  return WriteCell(row, col, [&](uint16_t r, uint16_t c) {
    return CellRecord(xlsrec::kBlank, 6, r, c, RecordXF(xf));
  });
}

int32_t TXLSWorksheet::WriteDouble(uint16_t row, uint16_t col, double value, int32_t xf) {
  return WriteCell(row, col, [&](uint16_t r, uint16_t c) {
    TXLSBlob record = CellRecord(xlsrec::kNumber, 14, r, c, RecordXF(xf));
    record.AddDouble(value);
    return record;
  });
}

// The value byte is 1 for TRUE, 0 for FALSE; the second byte 0 marks it a
// boolean rather than an error code.
int32_t TXLSWorksheet::WriteBoolean(uint16_t row, uint16_t col, bool value, int32_t xf) {
  return WriteCell(row, col, [&](uint16_t r, uint16_t c) {
    TXLSBlob record = CellRecord(xlsrec::kBoolErr, 8, r, c, RecordXF(xf));
    record.AddByte(value ? 1 : 0);
    record.AddByte(0);
    return record;
  });
}

int32_t TXLSWorksheet::WriteString(uint16_t row, uint16_t col, std::string_view value, int32_t xf) {
  return WriteCell(row, col, [&](uint16_t r, uint16_t c) {
    return workbook_.GetRecordEncoder().Label(r, c, RecordXF(xf), value, {name_, "cell", r, c});
  });
}

int32_t TXLSWorksheet::Write(uint16_t row, uint16_t col) {
  return Write(row, col, 0);
}

int32_t TXLSWorksheet::WriteNumber(uint16_t row, uint16_t col, double value) {
  return WriteNumber(row, col, value, 0);
}

int32_t TXLSWorksheet::WriteString(uint16_t row, uint16_t col, std::string_view value) {
  return WriteString(row, col, value, 0);
}

int32_t TXLSWorksheet::WriteDateTime(uint16_t row, uint16_t col, double value) {
  return WriteDateTime(row, col, value, 0);
}

int32_t TXLSWorksheet::WriteNumber(uint16_t row, uint16_t col, double value, int32_t xf) {
  return WriteDouble(row, col, value, xf);
}

int32_t TXLSWorksheet::WriteDateTime(uint16_t row, uint16_t col, double value, int32_t xf) {
  return WriteDouble(row, col, value, xf);
}

int32_t TXLSWorksheet::MergeCells(uint16_t row1, uint16_t col1, uint16_t row2, uint16_t col2) {
  if (row1 == row2 && col1 == col2) return -1;
  if (std::max(col1, col2) > XLSMaxCol) return -2;
  if (!data_) return -1;
  TXLSBlob record = MakeRecord(xlsrec::kMergedCells, 10);
  record.AddWord(1);
  record.AddWord(std::min(row1, row2));
  record.AddWord(std::max(row1, row2));
  record.AddWord(std::min(col1, col2));
  record.AddWord(std::max(col1, col2));
  return AppendData(std::move(record));
}

template <class TWriteFirst>
int32_t TXLSWorksheet::MergeWriteArea(uint16_t row1, uint16_t col1, uint16_t row2, uint16_t col2,
                                      int32_t xf, TWriteFirst writeFirst) {
  if (row1 == row2 && col1 == col2) return -1;
  if (row1 > row2) std::swap(row1, row2);
  if (col1 > col2) std::swap(col1, col2);
  int32_t status = writeFirst(row1, col1);
  for (uint32_t row = row1; row <= row2 && status == 1; ++row) {
    for (uint32_t col = col1; col <= col2 && status == 1; ++col) {
      if (row == row1 && col == col1) continue;
      const TXLSCellRef* cell =
          col <= XLSMaxCol ? cells_.GetValue(static_cast<uint16_t>(row), static_cast<uint8_t>(col))
                           : nullptr;
      status = Write(static_cast<uint16_t>(row), static_cast<uint16_t>(col),
                     cell != nullptr ? cell->XFIndex : xf);
    }
  }
  return status == 1 ? MergeCells(row1, col1, row2, col2) : status;
}

int32_t TXLSWorksheet::MergeWrite(uint16_t row1, uint16_t col1, uint16_t row2, uint16_t col2,
                                  int32_t xf) {
  return MergeWriteArea(row1, col1, row2, col2, xf,
                        [&](uint16_t r, uint16_t c) { return Write(r, c, xf); });
}

int32_t TXLSWorksheet::MergeWriteDouble(uint16_t row1, uint16_t col1, uint16_t row2, uint16_t col2,
                                        double value, int32_t xf) {
  return MergeWriteArea(row1, col1, row2, col2, xf,
                        [&](uint16_t r, uint16_t c) { return WriteNumber(r, c, value, xf); });
}

int32_t TXLSWorksheet::MergeWriteNumber(uint16_t row1, uint16_t col1, uint16_t row2, uint16_t col2,
                                        double value, int32_t xf) {
  return MergeWriteDouble(row1, col1, row2, col2, value, xf);
}

int32_t TXLSWorksheet::MergeWriteDateTime(uint16_t row1, uint16_t col1, uint16_t row2,
                                          uint16_t col2, double value, int32_t xf) {
  return MergeWriteDouble(row1, col1, row2, col2, value, xf);
}

int32_t TXLSWorksheet::MergeWriteString(uint16_t row1, uint16_t col1, uint16_t row2, uint16_t col2,
                                        std::string_view value, int32_t xf) {
  return MergeWriteArea(row1, col1, row2, col2, xf,
                        [&](uint16_t r, uint16_t c) { return WriteString(r, c, value, xf); });
}

// The cached result takes the record's 8-byte value field: a number as
// itself; text, a boolean or an error as a type byte (0 text, 1 boolean,
// 2 error), its value in byte 2 and 0xFFFF in the top two bytes. Text
// follows in a STRING record. Text constants and the text result are
// converted as cell texts are.
int32_t TXLSWorksheet::WriteFormula(uint16_t row, uint16_t col, const TXLSFormula& formula,
                                    int32_t xf) {
  constexpr uint16_t kAlwaysCalc = 0x0001, kCalcOnLoad = 0x0002;
  constexpr uint8_t kTextResult = 0, kBoolResult = 1, kErrorResult = 2;
  TXLSRecordEncoder& encoder = workbook_.GetRecordEncoder();
  const std::vector<uint8_t> tokens =
      EncodeFormula(formula, *this, encoder, {name_, "formula", row, col});
  const TXLSFormulaValue& result = formula.Result;
  const bool text =
      result.Kind == TXLSFormulaValue::kString || result.Kind == TXLSFormulaValue::kEmpty;
  const int32_t status = WriteCell(row, col, [&](uint16_t r, uint16_t c) {
    TXLSBlob record =
        CellRecord(xlsrec::kFormula, static_cast<uint16_t>(22 + tokens.size()), r, c, RecordXF(xf));
    if (result.Kind == TXLSFormulaValue::kNumber) {
      record.AddDouble(result.Number);
    } else {
      uint8_t kind = kTextResult, value = 0;
      if (result.Kind == TXLSFormulaValue::kError) {
        kind = kErrorResult, value = result.Error;
      } else if (result.Kind == TXLSFormulaValue::kBool) {
        kind = kBoolResult, value = result.Number != 0 ? 1 : 0;
      }
      record.AddByte(kind);
      record.AddByte(0);
      record.AddByte(value);
      record.AddByte(0);
      record.AddWord(0);
      record.AddWord(0xFFFF);
    }
    record.AddWord(formula.NeedsRecalc ? kAlwaysCalc | kCalcOnLoad : 0);
    record.AddLong(0);
    record.AddWord(static_cast<uint16_t>(tokens.size()));
    for (uint8_t byte : tokens) record.AddByte(byte);
    return record;
  });
  if (status != 1 || !text) return status;
  return AppendData(encoder.FormulaString(result.Text, {name_, "formula result", row, col}));
}

// ---- Address forms ----------------------------------------------------------

namespace {

// Runs write(row, col) on the parsed cell, or answers the parser's status
// (the sheet's GetLastError then names the text).
template <class TWrite>
int32_t AtCell(TXLSWorksheet& sheet, const std::string& cell, TWrite write) {
  uint16_t row = 0;
  uint8_t col = 0;
  const int32_t status = sheet.ParseCellText(cell, row, col);
  return status == 1 ? write(row, col) : status;
}

// Runs write(row1, col1, row2, col2) on the parsed rectangle, or answers the
// parser's status (the sheet's GetLastError then names the text).
template <class TWrite>
int32_t AtRange(TXLSWorksheet& sheet, const std::string& range, TWrite write) {
  uint16_t row1 = 0, row2 = 0;
  uint8_t col1 = 0, col2 = 0;
  const int32_t status = GetCellRange(range, row1, col1, row2, col2);
  if (status != 1) sheet.SetLastError("\"" + range + "\" is not a cell range such as A1:C4");
  return status == 1 ? write(row1, col1, row2, col2) : status;
}

}  // namespace

int32_t TXLSWorksheet::Write(const std::string& cell, int32_t xf) {
  return AtCell(*this, cell, [&](uint16_t r, uint8_t c) { return Write(r, uint16_t{c}, xf); });
}

int32_t TXLSWorksheet::WriteNumber(const std::string& cell, double value, int32_t xf) {
  return AtCell(*this, cell,
                [&](uint16_t r, uint8_t c) { return WriteNumber(r, uint16_t{c}, value, xf); });
}

int32_t TXLSWorksheet::WriteDateTime(const std::string& cell, double value, int32_t xf) {
  return AtCell(*this, cell,
                [&](uint16_t r, uint8_t c) { return WriteDateTime(r, uint16_t{c}, value, xf); });
}

int32_t TXLSWorksheet::WriteString(const std::string& cell, std::string_view value, int32_t xf) {
  return AtCell(*this, cell,
                [&](uint16_t r, uint8_t c) { return WriteString(r, uint16_t{c}, value, xf); });
}

int32_t TXLSWorksheet::MergeWrite(const std::string& range, int32_t xf) {
  return AtRange(*this, range, [&](uint16_t r1, uint8_t c1, uint16_t r2, uint8_t c2) {
    return MergeWrite(r1, c1, r2, c2, xf);
  });
}

int32_t TXLSWorksheet::MergeWriteNumber(const std::string& range, double value, int32_t xf) {
  return AtRange(*this, range, [&](uint16_t r1, uint8_t c1, uint16_t r2, uint8_t c2) {
    return MergeWriteNumber(r1, c1, r2, c2, value, xf);
  });
}

int32_t TXLSWorksheet::MergeWriteDateTime(const std::string& range, double value, int32_t xf) {
  return AtRange(*this, range, [&](uint16_t r1, uint8_t c1, uint16_t r2, uint8_t c2) {
    return MergeWriteDateTime(r1, c1, r2, c2, value, xf);
  });
}

int32_t TXLSWorksheet::MergeWriteString(const std::string& range, std::string_view value,
                                        int32_t xf) {
  return AtRange(*this, range, [&](uint16_t r1, uint8_t c1, uint16_t r2, uint8_t c2) {
    return MergeWriteString(r1, c1, r2, c2, value, xf);
  });
}

// ---- Cells ------------------------------------------------------------------

int32_t TXLSWorksheet::StoreCells() {
  cells_.ForEach([this](const TXLSCellRef& cell) { StoreCell(cell); });
  return 1;
}

// A merged area's master writes the whole area (its other cells write
// nothing of their own); an area that reaches past the sheet is cut at its
// edge, and a single-cell area is written as a plain cell.
void TXLSWorksheet::StoreCell(const TXLSCellRef& cell) {
  if (cell.Merged && !cell.IsMergeMaster()) return;
  const uint16_t row = cell.GetRow();
  const uint16_t col = cell.GetCol();
  const uint32_t lastRow =
      std::min<int64_t>(XLSMaxRow, int64_t{row} + std::max(cell.RowSpan, 1) - 1);
  const uint32_t lastCol =
      std::min<int64_t>(XLSMaxCol, int64_t{col} + std::max<int>(cell.ColSpan, 1) - 1);
  const bool mergedArea = cell.Merged && (lastRow != row || lastCol != col);
  if (const TXLSFormula* formula = formulas_.Find(row, col)) {
    const auto writeFormula = [&](uint16_t r, uint16_t c) {
      return WriteFormula(r, c, *formula, cell.XFIndex);
    };
    if (mergedArea) {
      MergeWriteArea(row, col, static_cast<uint16_t>(lastRow), static_cast<uint16_t>(lastCol),
                     cell.XFIndex, writeFormula);
    } else {
      writeFormula(row, col);
    }
    return;
  }
  if (mergedArea) {
    const auto r2 = static_cast<uint16_t>(lastRow);
    const auto c2 = static_cast<uint16_t>(lastCol);
    switch (cell.GetValueType()) {
      case xlString:
        MergeWriteString(row, col, r2, c2, cell.GetText(), cell.XFIndex);
        break;
      case xlDoubleNumber:
      case xlDateTime:
        MergeWriteNumber(row, col, r2, c2, cell.GetNumber(), cell.XFIndex);
        break;
      case xlBoolean:
        MergeWriteArea(row, col, r2, c2, cell.XFIndex, [&](uint16_t r, uint16_t c) {
          return WriteBoolean(r, c, cell.GetBoolean(), cell.XFIndex);
        });
        break;
      default:
        MergeWrite(row, col, r2, c2, cell.XFIndex);
    }
    return;
  }
  switch (cell.GetValueType()) {
    case xlString:
      WriteString(row, col, cell.GetText(), cell.XFIndex);
      break;
    case xlDoubleNumber:
    case xlDateTime:
      WriteNumber(row, col, cell.GetNumber(), cell.XFIndex);
      break;
    case xlBoolean:
      WriteBoolean(row, col, cell.GetBoolean(), cell.XFIndex);
      break;
    default:
      Write(row, col, cell.XFIndex);
  }
}

// ---- The other records ------------------------------------------------------

int32_t TXLSWorksheet::Close() {
  if (!header_ || !data_) return -1;
  int32_t status = 1;
  const auto step = [&status](auto&& store) {
    if (status == 1) status = store();
  };
  TXLSRecordEncoder& encoder = workbook_.GetRecordEncoder();
  step([&] { return AppendHeader(encoder.Bof(xlsrec::kBofWorksheet)); });
  step([&] { return columnInfo_->Store(*header_); });
  step([&] { return StoreOutlineGutters(*header_, *rowInfo_, *columnInfo_); });
  // BIFF8 readers take the ROW records for the start of the cell block, so
  // that format places them behind DIMENSIONS.
  const bool rowsAfterDimensions = encoder.RowsAfterDimensions();
  step([&] {
    return rowsAfterDimensions ? rowInfo_->StoreDefaultHeight(*header_) : rowInfo_->Store(*header_);
  });
  step([&] { return StoreExterns(encoder); });
  step([&] { return pageSetup_->StoreHeaderRecords(*header_); });
  step([&] { return hPageBreaks_->Store(*header_); });
  step([&] { return vPageBreaks_->Store(*header_); });
  step([&] { return pageSetup_->StoreSetup(*header_); });
  step([&] { return protect_->Store(*header_); });
  step([&] { return StoreAutoFilterInfo(); });
  step([&] { return StoreDimensions(); });
  if (rowsAfterDimensions) step([&] { return rowInfo_->StoreRows(*header_); });
  // The data section holds the cell records by now: notes and pictures
  // follow them.
  step([&] { return StoreDrawing(encoder); });
  step([&] { return pageSetup_->StoreMargins(*data_); });
  step([&] { return StoreWindow2(); });
  step([&] { return StoreZoom(); });
  step([&] { return panes_ ? panes_->Store(*data_, activePane_) : 1; });
  step([&] { return StoreSelection(*selection_); });
  step([&] { return StoreFormatConditions(encoder); });
  // BIFF8 only: the API refuses links and validations in a BIFF5 workbook.
  step([&] { return hyperlinks_->Store(*data_); });
  step([&] { return validations_->Store(*data_, *this, encoder); });
  step([&] { return StoreEof(); });
  return status;
}

int32_t TXLSWorksheet::StoreExterns(const TXLSRecordEncoder& encoder) {
  std::vector<std::string> names;
  for (int32_t i = 1; i <= Sheets().GetCount(); ++i)
    names.push_back(workbook_.GetRecordSheetName(i));
  return encoder.StoreSheetExterns(*header_, names, static_cast<uint16_t>(index_ - 1));
}

// An empty sheet declares no rows and all 256 columns.
int32_t TXLSWorksheet::StoreDimensions() {
  const TXLSRecordEncoder& encoder = workbook_.GetRecordEncoder();
  if (!dimWritten_) return AppendHeader(encoder.Dimensions(0, 0, 0, 0x0100));
  return AppendHeader(encoder.Dimensions(dimFirstRow_, uint32_t{dimLastRow_} + 1, dimFirstCol_,
                                         static_cast<uint16_t>(dimLastCol_ + 1)));
}

// The notes and pictures follow the cell records: BIFF5's NOTE records
// before the pictures' OBJ and IMDATA records, or the shapes of the format's
// drawing layer.
int32_t TXLSWorksheet::StoreDrawing(TXLSRecordEncoder& encoder) {
  const bool imData = encoder.PicturesAsImData();
  std::vector<TXLSDrawingDropDown> dropDowns;
  if (!imData) dropDowns = FilterDropDowns(autoFilter_, encoder.NameMaxRow());
  if (notes_->GetCount() > 0 || (!imData && (pictures_->GetCount() > 0 || !dropDowns.empty()))) {
    std::vector<TXLSDrawingPicture> pictures;
    if (!imData) pictures = pictures_->DrawingPictures();
    const int32_t status =
        encoder.StoreDrawing(*data_, static_cast<uint16_t>(index_ - 1), name_, std::move(pictures),
                             notes_->Fields(), std::move(dropDowns));
    if (status != 1) return status;
  }
  return imData ? pictures_->Store(*data_) : 1;
}

// Only a BIFF8 workbook holds conditional formats (the range refuses them
// in BIFF5, and the workbook refuses BIFF5 while a sheet has one).
int32_t TXLSWorksheet::StoreFormatConditions(const TXLSRecordEncoder& encoder) {
  return formatConditions_->Store(*data_, *this, encoder);
}

int32_t TXLSWorksheet::StoreWindow2() {
  uint16_t options = kWindow2Constant;
  if (displayGridLines_) options |= kWindow2GridLines;
  if (IsFrozen()) options |= kWindow2Frozen;
  if (selected_) options |= kWindow2Selected;
  return AppendData(workbook_.GetRecordEncoder().Window2(options));
}

int32_t TXLSWorksheet::StoreZoom() {
  if (zoom_ == kDefaultZoom) return 1;
  TXLSBlob record = MakeRecord(xlsrec::kScl, 4);
  record.AddWord(zoom_);
  record.AddWord(100);
  return AppendData(std::move(record));
}

int32_t TXLSWorksheet::StoreSelection(TXLSRange& range) {
  const uint16_t row1 = range.GetFirstRow(), row2 = range.GetLastRow();
  const uint8_t col1 = range.GetFirstCol(), col2 = range.GetLastCol();
  TXLSBlob record = MakeRecord(xlsrec::kSelection, 15);
  record.AddByte(static_cast<uint8_t>(activePane_));
  record.AddWord(row1);
  record.AddWord(col1);
  record.AddWord(0);
  record.AddWord(1);
  record.AddWord(std::min(row1, row2));
  record.AddWord(std::max(row1, row2));
  record.AddByte(std::min(col1, col2));
  record.AddByte(std::max(col1, col2));
  return AppendData(std::move(record));
}

int32_t TXLSWorksheet::StoreEof() {
  return AppendData(MakeRecord(xlsrec::kEof, 0));
}

}  // namespace tabulon
