// The rules a range carries in BIFF8 files: a data validation that checks
// what a user types, and conditional formats that highlight cells.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "XLSConstants.h"

namespace tabulon {

/// A colour as 0x00BBGGRR (the same type as in XLSInterfaces.h).
using TXLSColor = uint32_t;

/// A data validation of a range (IXLSRange::AddValidation). Formulas are
/// texts as SetFormula takes them, with or without the leading '='; relative
/// references are read for the range's top-left cell, as a user types them.
struct TXLSValidation {
  /// What is checked: xlValidateInputOnly (only the input message),
  /// xlValidateWholeNumber, xlValidateDecimal, xlValidateList,
  /// xlValidateDate, xlValidateTime, xlValidateTextLength or xlValidateCustom.
  int32_t Type = xlValidateInputOnly;
  /// xlValidAlertStop (refuse the value), xlValidAlertWarning or
  /// xlValidAlertInformation (let the user keep it).
  int32_t AlertStyle = xlValidAlertStop;
  /// The comparison for numbers, dates, times and text lengths (xlBetween to
  /// xlLessEqual); not used by lists and custom formulas.
  int32_t Operator = xlBetween;
  /// The first bound; for a list the items ("North,South,East") or a
  /// reference ("=$A$1:$A$9"); for xlValidateCustom a formula true for the
  /// values allowed.
  std::string Formula1;
  /// The second bound of xlBetween and xlNotBetween; empty otherwise.
  std::string Formula2;
  /// Accept an empty cell.
  bool IgnoreBlank = true;
  /// Show a list's items in a drop-down in the cell.
  bool InCellDropdown = true;
  /// Show the input message when the cell is selected.
  bool ShowInput = true;
  /// Show the error message when a value is refused.
  bool ShowError = true;
  /// Title of the input message (at most 32 characters).
  std::string InputTitle;
  /// The input message (at most 255 characters).
  std::string InputMessage;
  /// Title of the error message (at most 32 characters).
  std::string ErrorTitle;
  /// The error message (at most 255 characters).
  std::string ErrorMessage;
};

/// A conditional format of a range (IXLSRange::AddFormatCondition): when the
/// condition holds for a cell, the cell shows the format given here over its
/// own. Members left empty keep the cell's own format.
struct TXLSFormatCondition {
  /// xlCellValue: the cell's value compared by Operator with Formula1 (and
  /// Formula2); xlExpression: Formula1 is a formula true for the cells to
  /// highlight, its relative references read for the range's top-left cell.
  int32_t Type = xlCellValue;
  /// xlBetween to xlLessEqual, for xlCellValue.
  int32_t Operator = xlGreater;
  /// The first bound or the formula ("100", "=$B$1", "=A1>B1").
  std::string Formula1;
  /// The second bound of xlBetween and xlNotBetween.
  std::string Formula2;
  /// Font colour.
  std::optional<TXLSColor> FontColor;
  /// Bold or not. Bold and italic are one setting of the file (the font
  /// style): giving one of them sets the other to regular.
  std::optional<bool> Bold;
  /// Italic or not.
  std::optional<bool> Italic;
  /// Solid fill colour.
  std::optional<TXLSColor> FillColor;
  /// Colour of a thin border around each cell.
  std::optional<TXLSColor> BorderColor;
};

}  // namespace tabulon
