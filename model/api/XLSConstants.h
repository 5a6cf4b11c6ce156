// Automation constants accepted and answered by the object-model interfaces.
// The values are those of the spreadsheet application's published automation
// model, so code written against that model passes its constants unchanged;
// the range, font, interior, border and page-setup objects translate them into
// the codes the file format stores.
#pragma once

#include <cstdint>

namespace tabulon {

///@{
/// Shared markers.
constexpr int32_t xlNone = -4142;
constexpr int32_t xlAutomatic = -4105;
///@}

///@{
/// Colour indexes of fonts, fills and borders besides the palette's 1..56.
constexpr int32_t xlColorIndexNone = xlNone;
constexpr int32_t xlColorIndexAutomatic = xlAutomatic;
///@}

///@{
/// Horizontal alignment (IXLSRange::SetHAlign / GetHAlign).
constexpr int32_t xlHAlignGeneral = 1;
constexpr int32_t xlHAlignLeft = -4131;
constexpr int32_t xlHAlignCenter = -4108;
constexpr int32_t xlHAlignRight = -4152;
constexpr int32_t xlHAlignFill = 5;
constexpr int32_t xlHAlignJustify = -4130;
constexpr int32_t xlHAlignCenterAcrossSelection = 7;
constexpr int32_t xlHAlignDistributed = -4117;
///@}

///@{
/// Vertical alignment (IXLSRange::SetVAlign / GetVAlign).
constexpr int32_t xlVAlignTop = -4160;
constexpr int32_t xlVAlignCenter = -4108;
constexpr int32_t xlVAlignBottom = -4107;
constexpr int32_t xlVAlignJustify = -4130;
constexpr int32_t xlVAlignDistributed = -4117;
///@}

///@{
/// The short alignment names of the published model; the same values as above.
constexpr int32_t xlGeneral = xlHAlignGeneral;
constexpr int32_t xlLeft = xlHAlignLeft;
constexpr int32_t xlCenter = xlHAlignCenter;
constexpr int32_t xlRight = xlHAlignRight;
constexpr int32_t xlFill = xlHAlignFill;
constexpr int32_t xlJustify = xlHAlignJustify;
constexpr int32_t xlCenterAcrossSelection = xlHAlignCenterAcrossSelection;
constexpr int32_t xlDistributed = xlHAlignDistributed;
constexpr int32_t xlTop = xlVAlignTop;
constexpr int32_t xlBottom = xlVAlignBottom;
///@}

///@{
/// Font underline (IXLSFont::SetUnderLine / GetUnderLine).
constexpr int32_t xlUnderlineStyleNone = xlNone;
constexpr int32_t xlUnderlineStyleSingle = 2;
constexpr int32_t xlUnderlineStyleDouble = -4119;
constexpr int32_t xlUnderlineStyleSingleAccounting = 4;
constexpr int32_t xlUnderlineStyleDoubleAccounting = 5;
///@}

///@{
/// Fill patterns (IXLSInterior::SetPattern / GetPattern). xlPatternAutomatic is
/// accepted on writing and stored as a solid fill.
constexpr int32_t xlPatternNone = xlNone;
constexpr int32_t xlPatternAutomatic = xlAutomatic;
constexpr int32_t xlPatternSolid = 1;
constexpr int32_t xlPatternGray50 = -4125;
constexpr int32_t xlPatternGray75 = -4126;
constexpr int32_t xlPatternGray25 = -4124;
constexpr int32_t xlPatternHorizontal = -4128;
constexpr int32_t xlPatternVertical = -4166;
constexpr int32_t xlPatternDown = -4121;
constexpr int32_t xlPatternUp = -4162;
constexpr int32_t xlPatternChecker = 9;
constexpr int32_t xlPatternSemiGray75 = 10;
constexpr int32_t xlPatternLightHorizontal = 11;
constexpr int32_t xlPatternLightVertical = 12;
constexpr int32_t xlPatternLightDown = 13;
constexpr int32_t xlPatternLightUp = 14;
constexpr int32_t xlPatternGrid = 15;
constexpr int32_t xlPatternCrissCross = 16;
constexpr int32_t xlPatternGray16 = 17;
constexpr int32_t xlPatternGray8 = 18;
///@}

///@{
/// Border line styles (IXLSBorders / IXLSBorder::SetLineStyle / GetLineStyle).
constexpr int32_t xlLineStyleNone = xlNone;
constexpr int32_t xlContinuous = 1;
constexpr int32_t xlDash = -4115;
constexpr int32_t xlDot = -4118;
constexpr int32_t xlDouble = -4119;
constexpr int32_t xlDashDot = 4;
constexpr int32_t xlDashDotDot = 5;
constexpr int32_t xlSlantDashDot = 13;
///@}

///@{
/// Border weights (IXLSBorders / IXLSBorder::SetWeight / GetWeight).
constexpr int32_t xlHairline = 1;
constexpr int32_t xlThin = 2;
constexpr int32_t xlMedium = -4138;
constexpr int32_t xlThick = 4;
///@}

///@{
/// Border indexes (IXLSBorders::GetBorder). The stored cell format has no
/// diagonal lines, so the two diagonal indexes are accepted but set nothing and
/// read as no line.
constexpr int32_t xlDiagonalDown = 5;
constexpr int32_t xlDiagonalUp = 6;
constexpr int32_t xlEdgeLeft = 7;
constexpr int32_t xlEdgeTop = 8;
constexpr int32_t xlEdgeBottom = 9;
constexpr int32_t xlEdgeRight = 10;
constexpr int32_t xlInsideVertical = 11;
constexpr int32_t xlInsideHorizontal = 12;
///@}

///@{
/// Shift directions of IXLSRange::Insert (down, right) and Delete (up, left).
constexpr int32_t xlShiftDown = -4121;
constexpr int32_t xlShiftToRight = -4161;
constexpr int32_t xlShiftUp = -4162;
constexpr int32_t xlShiftToLeft = -4159;
///@}

///@{
/// File formats a workbook saves in (TXLSWorkbook::SetFileFormat): Excel 5/95
/// (BIFF5, the default) and Excel 97-2003 (BIFF8).
constexpr int32_t xlExcel5 = 39;
constexpr int32_t xlExcel8 = 56;
///@}

///@{
/// Page orientation (IXLSPageSetup::SetOrientation / GetOrientation).
constexpr int32_t xlPortrait = 1;
constexpr int32_t xlLandscape = 2;
///@}

///@{
/// Paper sizes (IXLSPageSetup::SetPaperSize / GetPaperSize); the file format
/// stores the same numbers, except that the user-defined size is stored as 0.
constexpr int32_t xlPaperLetter = 1;
constexpr int32_t xlPaperLetterSmall = 2;
constexpr int32_t xlPaperTabloid = 3;
constexpr int32_t xlPaperLedger = 4;
constexpr int32_t xlPaperLegal = 5;
constexpr int32_t xlPaperStatement = 6;
constexpr int32_t xlPaperExecutive = 7;
constexpr int32_t xlPaperA3 = 8;
constexpr int32_t xlPaperA4 = 9;
constexpr int32_t xlPaperA4Small = 10;
constexpr int32_t xlPaperA5 = 11;
constexpr int32_t xlPaperB4 = 12;
constexpr int32_t xlPaperB5 = 13;
constexpr int32_t xlPaperFolio = 14;
constexpr int32_t xlPaperQuarto = 15;
constexpr int32_t xlPaper10x14 = 16;
constexpr int32_t xlPaper11x17 = 17;
constexpr int32_t xlPaperNote = 18;
constexpr int32_t xlPaperEnvelope9 = 19;
constexpr int32_t xlPaperEnvelope10 = 20;
constexpr int32_t xlPaperEnvelope11 = 21;
constexpr int32_t xlPaperEnvelope12 = 22;
constexpr int32_t xlPaperEnvelope14 = 23;
constexpr int32_t xlPaperCsheet = 24;
constexpr int32_t xlPaperDsheet = 25;
constexpr int32_t xlPaperEsheet = 26;
constexpr int32_t xlPaperEnvelopeDL = 27;
constexpr int32_t xlPaperEnvelopeC5 = 28;
constexpr int32_t xlPaperEnvelopeC3 = 29;
constexpr int32_t xlPaperEnvelopeC4 = 30;
constexpr int32_t xlPaperEnvelopeC6 = 31;
constexpr int32_t xlPaperEnvelopeC65 = 32;
constexpr int32_t xlPaperEnvelopeB4 = 33;
constexpr int32_t xlPaperEnvelopeB5 = 34;
constexpr int32_t xlPaperEnvelopeB6 = 35;
constexpr int32_t xlPaperEnvelopeItaly = 36;
constexpr int32_t xlPaperEnvelopeMonarch = 37;
constexpr int32_t xlPaperEnvelopePersonal = 38;
constexpr int32_t xlPaperFanfoldUS = 39;
constexpr int32_t xlPaperFanfoldStdGerman = 40;
constexpr int32_t xlPaperFanfoldLegalGerman = 41;
constexpr int32_t xlPaperUser = 256;
///@}

///@{
/// Outline summary positions (IXLSWorkSheet::SetOutlineSummary): where the
/// row or column that sums a group stands.
constexpr int32_t xlSummaryAbove = 0;
constexpr int32_t xlSummaryBelow = 1;
constexpr int32_t xlSummaryOnLeft = xlHAlignLeft;
constexpr int32_t xlSummaryOnRight = xlHAlignRight;
///@}

///@{
/// What a data validation checks (TXLSValidation::Type).
constexpr int32_t xlValidateInputOnly = 0;
constexpr int32_t xlValidateWholeNumber = 1;
constexpr int32_t xlValidateDecimal = 2;
constexpr int32_t xlValidateList = 3;
constexpr int32_t xlValidateDate = 4;
constexpr int32_t xlValidateTime = 5;
constexpr int32_t xlValidateTextLength = 6;
constexpr int32_t xlValidateCustom = 7;
///@}

///@{
/// How a reader answers a value a validation refuses (TXLSValidation::AlertStyle).
constexpr int32_t xlValidAlertStop = 1;
constexpr int32_t xlValidAlertWarning = 2;
constexpr int32_t xlValidAlertInformation = 3;
///@}

///@{
/// Comparisons of a validation or a cell-value condition (Operator members).
constexpr int32_t xlBetween = 1;
constexpr int32_t xlNotBetween = 2;
constexpr int32_t xlEqual = 3;
constexpr int32_t xlNotEqual = 4;
constexpr int32_t xlGreater = 5;
constexpr int32_t xlLess = 6;
constexpr int32_t xlGreaterEqual = 7;
constexpr int32_t xlLessEqual = 8;
///@}

///@{
/// Kinds of conditional format (TXLSFormatCondition::Type): a comparison of
/// the cell's value, or a formula that is true for the cells to highlight.
constexpr int32_t xlCellValue = 1;
constexpr int32_t xlExpression = 2;
///@}

}  // namespace tabulon
