# The API reference: `docs` writes HTML to docs/html in the build folder;
# `docs-check` runs Doxygen with every warning an error (an undocumented
# public class, method, constant or parameter among them), which
# scripts/check-docs.sh runs.
#
# The reference covers every public header (TABULON_PUBLIC_HEADERS): the
# classes they declare hold their internals behind pointers to internal
# types, so nothing in them is there for layout alone.

find_program(TABULON_DOXYGEN doxygen)
if(TABULON_DOXYGEN)
  string(REPLACE ";" " " TABULON_DOCS_INPUT "${TABULON_PUBLIC_HEADERS}")
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
