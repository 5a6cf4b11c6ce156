#include "XLSPanes.h"

#include <algorithm>
#include <cmath>

#include "XLSColRowInfo.h"

namespace tabulon {

namespace {

constexpr uint16_t kPaneId = 0x0041;
constexpr uint16_t kProtectId = 0x0012;
constexpr uint16_t kPasswordId = 0x0013;

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
  TXLSBlob record = MakeRecord(kPaneId, 10);
  record.AddWord(values.X);
  record.AddWord(values.Y);
  record.AddWord(values.TopRow);
  record.AddWord(values.LeftCol);
  record.AddWord(values.ActivePane);
  activePane = values.ActivePane;
  return section.Append(std::move(record));
}

// ---------------------------------------------------------------------------
// Protection

uint16_t TXLSProtect::EncodePassword(const std::string& password) {
  const uint16_t n = static_cast<uint16_t>(password.size());
  if (n == 0) return 0;
  uint16_t hash = 0;
  for (uint32_t i = 1; i <= n; ++i) {
    uint32_t v = uint32_t{static_cast<uint8_t>(password[i - 1])} << (i % 32);
    // Rotates the 15-bit value left by i.
    v = (v & 0x7FFF) | ((v & 0x3FFF8000) >> 15);
    hash ^= static_cast<uint16_t>(v);
  }
  hash ^= n;
  hash ^= 0xCE4B;
  return hash;
}

void TXLSProtect::Protect(const std::string& password) {
  if (hasPassword_ && EncodePassword(password) != passwordHash_) return;
  protected_ = true;
  hasPassword_ = !password.empty();
  passwordHash_ = EncodePassword(password);
}

bool TXLSProtect::UnProtect(const std::string& password, bool check) {
  if (check && protected_ && hasPassword_ && EncodePassword(password) != passwordHash_) {
    return false;
  }
  protected_ = false;
  hasPassword_ = false;
  passwordHash_ = 0;
  return true;
}

int32_t TXLSProtect::Store(TXLSRecordSection& section) const {
  if (!protected_) return 1;
  const int32_t status = section.Append(MakeWordRecord(kProtectId, 1));
  return status == 1 ? section.Append(MakeWordRecord(kPasswordId, passwordHash_)) : status;
}

}  // namespace tabulon
