// Tabulon: build spreadsheet workbooks in memory and save them as .xls files.
// This umbrella header is the library's public face.
#pragma once

#include "OleVariant.h"
#include "XLSCellRef.h"
#include "XLSConstants.h"
#include "XLSInterfaces.h"
#include "XLSObject.h"
#include "XLSWorkSheets.h"
#include "XLSWorkbook.h"
