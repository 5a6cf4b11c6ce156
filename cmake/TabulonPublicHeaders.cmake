# The public headers: the only ones installed to include/tabulon/ and
# forwarded into the build's include tree, so that programs built against the
# library (the tabulon command, the examples, the benchmarks) see what users
# see. Every other header is internal: the library, its tests and its fuzz
# harnesses reach them through TABULON_SOURCE_INCLUDE_DIRS. A public header
# includes public headers only; scripts/check-install.sh checks that against
# public-headers.txt in the build folder.
set(TABULON_PUBLIC_HEADERS
  # The umbrella header, all a program includes.
  model/api/Tabulon.h
  # The object model: the interfaces with their slot order, the counted
  # references, the constants, the variant values, the cell-address
  # functions, what SetFormula answers and the validation and conditional
  # format rules a range takes.
  model/api/XLSInterfaces.h
  model/api/XLSObject.h
  model/api/XLSConstants.h
  model/api/XLSCellRef.h
  model/api/XLSFormulaStatus.h
  model/api/XLSRangeRules.h
  containers/variant/OleVariant.h
  # The workbook users construct, the palette and protection it hands out,
  # the report of replaced characters and the page breaks a sheet hands out
  # as themselves.
  model/workbook/XLSWorkbook.h
  model/workbook/XLSPalette.h
  model/sheet/XLSProtect.h
  model/sheet/XLSPageBreaks.h
  format/text/XLSTextLoss.h
  # Code pages and text conversion: SetCodePage and SetUtf8Texts take their
  # names and forms.
  format/text/XLSCodePage.h
  export/data/XLSTextCodec.h
  # The export components, their layout, reports and host types, and the
  # data sets they read (TSqliteDataSet from the tabulon-sqlite library).
  export/components/Dataset2excel.h
  export/components/Dbgrid2excel.h
  export/components/XLSExportBase.h
  export/components/XLSExportReports.h
  export/components/XLSReportLayout.h
  export/host/XLSComponent.h
  export/host/XLSDBGrid.h
  export/host/XLSHostFont.h
  export/data/XLSDataSet.h
  export/data/XLSMemoryDataSet.h
  export/data/TabulonSqlite.h)
list(TRANSFORM TABULON_PUBLIC_HEADERS PREPEND ${CMAKE_SOURCE_DIR}/)

# public-headers.txt: the file names, one a line, for the install check.
function(tabulon_write_public_header_list)
  set(names "")
  foreach(header IN LISTS TABULON_PUBLIC_HEADERS)
    if(NOT EXISTS ${header})
      message(FATAL_ERROR "public header ${header} does not exist")
    endif()
    get_filename_component(name ${header} NAME)
    string(APPEND names "${name}\n")
  endforeach()
  file(WRITE ${CMAKE_BINARY_DIR}/public-headers.txt "${names}")
endfunction()
