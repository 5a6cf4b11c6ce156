#include "XLSPanes.h"

#include <algorithm>
#include <cmath>

#include "XLSColRowInfo.h"
#include "XLSRecordIds.h"

namespace tabulon {

namespace {

// Twips of a split: the top pane is 20 twips per point plus the column
// heading; the left pane 113.879 twips per character plus the row heading.
constexpr double kTwipsPerPoint = 20;
constexpr double kColumnHeadingTwips = 255;
constexpr double kTwipsPerCharacter = 113.879;
constexpr double kRowHeadingTwips = 390;

// v brought to the nearest integer (ties to even) and held inside 0..65535.
uint16_t RoundToWord(double v) {
  return static_cast<uint16_t>(std::nearbyint(std::clamp(v, 0.0, 65535.0)));
}

uint16_t ActivePaneOf(uint16_t x, uint16_t y) {
  if (x != 0 && y != 0) return XLSPaneBottomRight;
  if (x != 0) return XLSPaneTopRight;
  if (y != 0) return XLSPaneBottomLeft;
  return XLSPaneTopLeft;
}

}  // namespace

// ---------------------------------------------------------------------------
// Panes

void TXLSPanes::SetTopLeft(uint16_t topRow, uint16_t leftCol) {
  rowTop_ = topRow;
  const int16_t col = static_cast<int16_t>(leftCol);
  if (col >= -1 && col <= 255) colLeft_ = col;
}

void TXLSPanes::Freeze(uint16_t row, uint16_t col, uint16_t topRow, uint16_t leftCol) {
  y_ = row;
  x_ = col;
  SetTopLeft(topRow, leftCol);
  frozen_ = true;
}

void TXLSPanes::Thaw(float y, float x, uint16_t topRow, uint16_t leftCol) {
  // Written as "not negative" so that a NaN size is refused too.
  if (y >= 0) y_ = y;
  if (x >= 0) x_ = x;
  SetTopLeft(topRow, leftCol);
  frozen_ = false;
}

TXLSPaneRecordValues TXLSPanes::GetRecordValues() const {
  TXLSPaneRecordValues values;
  if (frozen_) {
    values.X = RoundToWord(x_);
    values.Y = RoundToWord(y_);
    values.TopRow = rowTop_ >= 0 ? static_cast<uint16_t>(rowTop_) : values.Y;
    values.LeftCol = colLeft_ >= 0 ? static_cast<uint16_t>(colLeft_) : values.X;
  } else {
    values.TopRow = rowTop_ >= 0 ? static_cast<uint16_t>(rowTop_) : 0;
    values.LeftCol = colLeft_ >= 0 ? static_cast<uint16_t>(colLeft_) : 0;
    if (y_ > 0 || x_ > 0) {
      values.Y = RoundToWord(kTwipsPerPoint * double{y_} + kColumnHeadingTwips);
      values.X = RoundToWord(kTwipsPerCharacter * double{x_} + kRowHeadingTwips);
    }
  }
  values.ActivePane = ActivePaneOf(values.X, values.Y);
  return values;
}

int32_t TXLSPanes::Store(TXLSRecordSection& section, uint16_t& activePane) const {
  const TXLSPaneRecordValues values = GetRecordValues();
  TXLSBlob record = MakeRecord(xlsrec::kPane, 10);
  record.AddWord(values.X);
  record.AddWord(values.Y);
  record.AddWord(values.TopRow);
  record.AddWord(values.LeftCol);
  record.AddWord(values.ActivePane);
  activePane = values.ActivePane;
  return section.Append(std::move(record));
}

}  // namespace tabulon
