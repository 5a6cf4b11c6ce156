# The API reference: `docs` writes HTML to docs/html in the build folder;
# `docs-check` runs Doxygen with every warning an error (an undocumented
# public class, method, constant or parameter among them), which
# scripts/check-docs.sh runs.
#
# The reference covers the public headers except those that the public
# classes need only for their layout (containers, record buffers, the format
# tables and the cell store held by value inside the workbook and the
# worksheet): they install with the umbrella header but are not the API.
set(TABULON_LAYOUT_HEADERS
  xlshash.h xlslist.h xlsxf.h XLSKeyText.h XLSBlob.h XLSRecordSection.h XLSStream.h
  XLSCellHeap.h XLSLargeBlocks.h XLSByteOrder.h)

find_program(TABULON_DOXYGEN doxygen)
if(TABULON_DOXYGEN)
  set(documented "")
  foreach(header IN LISTS TABULON_PUBLIC_HEADERS)
    get_filename_component(name ${header} NAME)
    if(NOT name IN_LIST TABULON_LAYOUT_HEADERS)
      list(APPEND documented ${header})
    endif()
  endforeach()
  string(REPLACE ";" " " TABULON_DOCS_INPUT "${documented}")
  foreach(kind docs docs-check)
    set(TABULON_DOCS_OUTPUT ${CMAKE_BINARY_DIR}/${kind})
    if(kind STREQUAL "docs")
      set(TABULON_DOCS_WARN_AS_ERROR NO)
    else()
      set(TABULON_DOCS_WARN_AS_ERROR FAIL_ON_WARNINGS)
    endif()
    configure_file(${CMAKE_SOURCE_DIR}/docs/Doxyfile.in ${TABULON_DOCS_OUTPUT}/Doxyfile @ONLY)
    add_custom_target(${kind} COMMAND ${TABULON_DOXYGEN} Doxyfile
      WORKING_DIRECTORY ${TABULON_DOCS_OUTPUT}
      COMMENT "Doxygen: ${TABULON_DOCS_OUTPUT}/html" VERBATIM)
  endforeach()
endif()
