#include "XLSTextEncoder.h"

#include <algorithm>

#include "XLSCellRef.h"

namespace tabulon {
namespace {

bool IsAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace

TXLSTextEncoder::TXLSTextEncoder(uint16_t code_page, bool utf8)
    : codePage_(code_page),
      utf8_(utf8),
      converter_(utf8 ? std::make_unique<TXLSCodePageConverter>(code_page) : nullptr) {}

TXLSTextEncoder::~TXLSTextEncoder() = default;

std::string_view TXLSTextEncoder::Encode(std::string_view text, size_t max_bytes,
                                         const TXLSTextPlace& place, char replacement) {
  // Every code page keeps ASCII as it is, so most texts need no conversion.
  if (utf8_ && !IsAscii(text)) {
    scratchLosses_.clear();
    converted_ = converter_->FromUtf8(text, &scratchLosses_, replacement);
    if (!scratchLosses_.empty()) Record(scratchLosses_, place);
    text = converted_;
  }
  return text.substr(0, XLSFitBytes(text, max_bytes, codePage_));
}

size_t TXLSTextEncoder::CodePageLength(std::string_view text) {
  if (!utf8_ || IsAscii(text)) return text.size();
  return converter_->FromUtf8(text, nullptr).size();
}

std::string TXLSTextEncoder::CodePageForm(std::string_view text, char replacement) {
  if (!utf8_ || IsAscii(text)) return std::string(text);
  return converter_->FromUtf8(text, nullptr, replacement);
}

std::string_view TXLSTextEncoder::Utf8Form(std::string_view text) {
  if (utf8_ || IsAscii(text)) return text;
  if (!converter_) converter_ = std::make_unique<TXLSCodePageConverter>(codePage_);
  converted_ = converter_->ToUtf8(text);
  return converted_;
}

uint8_t TXLSTextEncoder::FontCharSet(uint8_t font_char_set) const {
  return font_char_set != 0 ? font_char_set : XLSCodePageCharSet(codePage_);
}

void TXLSTextEncoder::Record(const std::vector<TXLSCodePageLoss>& losses,
                             const TXLSTextPlace& place) {
  losses_.Count += losses.size();
  for (const TXLSCodePageLoss& loss : losses) {
    if (losses_.First.size() >= TXLSTextLossReport::kKeptLosses) return;
    TXLSTextLoss kept;
    kept.Sheet = std::string(place.Sheet);
    kept.Item = place.Item;
    if (place.Row >= 0 && place.Col >= 0)
      kept.Cell = EncodeCellRef(static_cast<uint16_t>(place.Row), static_cast<uint8_t>(place.Col));
    kept.CodePoint = loss.CodePoint;
    losses_.First.push_back(std::move(kept));
  }
}

}  // namespace tabulon
