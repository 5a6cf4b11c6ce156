// Tabulon: build spreadsheet workbooks in memory and save them as .xls files.
// This umbrella header is the library's public face.
#pragma once

#include "Dataset2excel.h"
#include "Dbgrid2excel.h"
#include "OleVariant.h"
#include "TabulonSqlite.h"
#include "XLSCellRef.h"
#include "XLSConstants.h"
#include "XLSInterfaces.h"
#include "XLSMemoryDataSet.h"
#include "XLSObject.h"
#include "XLSPageBreaks.h"
#include "XLSProtect.h"
#include "XLSTextCodec.h"
#include "XLSWorkbook.h"

/**
 * @mainpage Tabulon API reference
 *
 * Include `<tabulon/Tabulon.h>` and link `tabulon7` (or `tabulon4`; add
 * `tabulon7-sqlite` for TSqliteDataSet). Construct a tabulon::TXLSWorkbook,
 * add sheets through tabulon::IXLSWorkBook::GetWorksheets, write and format
 * cells through the ranges tabulon::IXLSWorkSheet::FGetRange hands out, and
 * save with tabulon::IXLSWorkBook::SaveAs.
 *
 * Conventions:
 * - Cell text such as "B2" counts rows from 1 and names columns A to IV; the
 *   zero-based forms (GetFirstRow, FreezePanes, InsertBitmap, ...) count rows
 *   0 to 65535 (XLSMaxRow) and columns 0 to 255 (XLSMaxCol).
 * - Column widths are in characters (the width of the digit 0 in the default
 *   font), row heights and font sizes in points, margins in inches, picture
 *   offsets in pixels.
 * - Colours are values 0x00BBGGRR (red in the low byte), stored as the nearest
 *   of the workbook's 56 palette colours; colour indexes 1 to 56 name palette
 *   entries directly (GetColorIndex looks one up by name), xlColorIndexNone and
 *   xlColorIndexAutomatic mean none and automatic.
 * - Text is stored as the bytes given and read in the workbook's code page,
 *   1252 unless TXLSWorkbook::SetCodePage says otherwise; XLSUtf8ToCp1252
 *   converts UTF-8 and lists what code page 1252 cannot hold.
 * - Status codes: 1 done, -1 refused or failed (GetLastError says why where
 *   there is one), -2 cell outside the sheet.
 * - Every method that hands out an interface returns an XLSPtr, which releases
 *   it; objects must not outlive their workbook.
 *
 * The free functions (cell-address text such as GetCellRef and EncodeCellRef,
 * dates by XLSEncodeDate, colour names by ColorNameToIndex, text conversion
 * by XLSUtf8ToCp1252 and XLSUtf8ToCodePage) and the constants are listed on
 * the page of the namespace tabulon.
 */

/**
 * @namespace tabulon
 * @brief Everything the library offers: the object model, the export
 * components and their data sets, the free functions and the constants.
 */
