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
#include "XLSPageSetup.h"
#include "XLSPanes.h"
#include "XLSTextCodec.h"
#include "XLSWorkSheets.h"
#include "XLSWorkbook.h"
#include "XLSWorksheet.h"
