# The Python package's tests: the package is built from the checkout and
# installed into the build folder (pip install --target, offline, with the
# system's setuptools and pybind11), then pytest runs tests/python on it.
# Skipped with a note when that Python lacks pybind11, pytest, numpy or pandas.
set(TABULON_PYTHON /usr/bin/python3 CACHE FILEPATH
    "The Python that builds and tests the tabulon package (Debian's, not the first on PATH)")

function(tabulon_add_python_tests)
  execute_process(
    COMMAND ${TABULON_PYTHON} -c "import pybind11, pytest, numpy, pandas, xlrd"
    RESULT_VARIABLE missing OUTPUT_QUIET ERROR_QUIET)
  if(NOT missing EQUAL 0)
    message(STATUS "Python package tests skipped: ${TABULON_PYTHON} lacks pybind11, pytest, "
                   "numpy, pandas or xlrd")
    return()
  endif()
  set(target ${CMAKE_BINARY_DIR}/python-package)
  # ccache's compiler names come first, so that a rebuild of the unchanged
  # library sources is quick.
  add_test(NAME python.install
    COMMAND ${CMAKE_COMMAND} -E env
            PATH=/usr/lib/ccache:$ENV{PATH}
            TABULON_PYTHON_BUILD_DIR=${CMAKE_BINARY_DIR}/python-build
            ${TABULON_PYTHON} -m pip install --no-build-isolation --no-deps --no-index
            --quiet --upgrade --target ${target} ${CMAKE_SOURCE_DIR})
  set_tests_properties(python.install PROPERTIES FIXTURES_SETUP tabulon_python TIMEOUT 1200)
  add_test(NAME python.tests
    COMMAND ${TABULON_PYTHON} -m pytest -q -p no:cacheprovider ${CMAKE_SOURCE_DIR}/tests/python)
  set_tests_properties(python.tests PROPERTIES
    FIXTURES_REQUIRED tabulon_python
    ENVIRONMENT "PYTHONPATH=${target};PYTHONDONTWRITEBYTECODE=1")
endfunction()
