# Helpers that build one flavour of the library (and its tests and programs)
# from the shared source list. Every flavour compiles the sources itself, so
# libtabulon4 and libtabulon7 never link against each other.

set(TABULON_GTEST_ROOT /usr/src/googletest/googletest CACHE PATH "GoogleTest sources")

function(tabulon_collect_sources)
  set(sources "")
  set(headers "")
  foreach(dir IN LISTS TABULON_MODULE_DIRS)
    file(GLOB_RECURSE dir_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp)
    file(GLOB_RECURSE dir_headers CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.h)
    list(APPEND sources ${dir_sources})
    list(APPEND headers ${dir_headers})
  endforeach()
  # Sources include each other by bare file name: every folder that holds a
  # header is on the include path of the library, its tests and harnesses.
  set(header_dirs "")
  foreach(header IN LISTS headers)
    get_filename_component(header_dir ${header} DIRECTORY)
    list(APPEND header_dirs ${header_dir})
  endforeach()
  list(REMOVE_DUPLICATES header_dirs)
  set(TABULON_SOURCE_INCLUDE_DIRS ${header_dirs} PARENT_SCOPE)
  # The SQLite data set is a library of its own, so that a program that only
  # builds workbooks does not pull in SQLite.
  set(sqlite_sources ${CMAKE_SOURCE_DIR}/export/data/TabulonSqlite.cpp)
  list(REMOVE_ITEM sources ${sqlite_sources})
  set(TABULON_SOURCES ${sources} PARENT_SCOPE)
  set(TABULON_SQLITE_SOURCES ${sqlite_sources} PARENT_SCOPE)
endfunction()

# Installed headers live flat in include/tabulon/ and include each other by
# bare name. In the build tree the same layout is made of forwarding headers
# to the public headers alone (a forwarding header left by an earlier
# configure for a header no longer public is removed), so tools, examples and
# benchmarks include <tabulon/Tabulon.h> exactly as users do.
function(tabulon_make_build_include_tree)
  set(tree ${CMAKE_BINARY_DIR}/include/tabulon)
  file(MAKE_DIRECTORY ${tree})
  set(names "")
  foreach(header IN LISTS TABULON_PUBLIC_HEADERS)
    get_filename_component(name ${header} NAME)
    list(APPEND names ${name})
    set(content "#include \"${header}\"\n")
    if(EXISTS ${tree}/${name})
      file(READ ${tree}/${name} old)
    else()
      set(old "")
    endif()
    if(NOT old STREQUAL content)
      file(WRITE ${tree}/${name} "${content}")
    endif()
  endforeach()
  file(GLOB forwarded RELATIVE ${tree} ${tree}/*)
  foreach(name IN LISTS forwarded)
    if(NOT name IN_LIST names)
      file(REMOVE ${tree}/${name})
    endif()
  endforeach()
endfunction()

function(tabulon_abi_define flavour out)
  if(flavour STREQUAL "4")
    set(${out} _GLIBCXX_USE_CXX11_ABI=0 PARENT_SCOPE)
  else()
    set(${out} _GLIBCXX_USE_CXX11_ABI=1 PARENT_SCOPE)
  endif()
endfunction()

function(tabulon_add_library flavour)
  set(target tabulon${flavour})
  tabulon_abi_define(${flavour} abi)
  add_library(${target} SHARED ${TABULON_SOURCES})
  target_compile_definitions(${target} PUBLIC ${abi})
  # A requirement, not a flag: users may build with a later standard.
  target_compile_features(${target} PUBLIC cxx_std_17)
  # Calls between the library's own exported functions may be inlined: no
  # host replaces them at load time, and the per-cell write path gains from it.
  target_compile_options(${target} PRIVATE -fno-semantic-interposition)
  set(build_dirs ${TABULON_SOURCE_INCLUDE_DIRS})
  target_include_directories(${target}
    PRIVATE ${build_dirs}
    PUBLIC $<BUILD_INTERFACE:${CMAKE_BINARY_DIR}/include>
           $<BUILD_INTERFACE:${CMAKE_BINARY_DIR}/include/tabulon>
           $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
  set_target_properties(${target} PROPERTIES
    VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR}
    EXPORT_NAME ${target})
  add_library(Tabulon::${target} ALIAS ${target})
  tabulon_add_sqlite_library(${flavour} "${build_dirs}")
endfunction()

# tabulon<flavour>-sqlite: the SQLite data set on top of the core library.
function(tabulon_add_sqlite_library flavour build_dirs)
  set(target tabulon${flavour}-sqlite)
  find_package(SQLite3 REQUIRED)
  add_library(${target} SHARED ${TABULON_SQLITE_SOURCES})
  target_include_directories(${target} PRIVATE ${build_dirs})
  target_compile_options(${target} PRIVATE -fno-semantic-interposition)
  target_link_libraries(${target} PUBLIC tabulon${flavour} PRIVATE SQLite::SQLite3)
  set_target_properties(${target} PROPERTIES
    VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR}
    EXPORT_NAME ${target})
  add_library(Tabulon::${target} ALIAS ${target})
endfunction()

function(tabulon_add_programs flavour)
  file(GLOB tool_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/*.cpp)
  if(tool_sources)
    add_executable(tabulon_cli${flavour} ${tool_sources})
    target_link_libraries(tabulon_cli${flavour} PRIVATE tabulon${flavour}-sqlite)
    # The command reads CSV with the library's own reader, which is not
    # public: its folder is on the command's include path alone.
    target_include_directories(tabulon_cli${flavour}
      PRIVATE ${CMAKE_SOURCE_DIR}/tools ${CMAKE_SOURCE_DIR}/export/data)
    target_compile_definitions(tabulon_cli${flavour} PRIVATE TABULON_VERSION="${PROJECT_VERSION}")
    # Installed, the command finds its libraries beside itself from any prefix.
    set_target_properties(tabulon_cli${flavour} PROPERTIES
      INSTALL_RPATH "$ORIGIN/../${CMAKE_INSTALL_LIBDIR}")
    if(flavour STREQUAL "7")
      set_target_properties(tabulon_cli${flavour} PROPERTIES OUTPUT_NAME tabulon)
    endif()
  endif()
  file(GLOB example_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/examples/*.cpp)
  foreach(example IN LISTS example_sources)
    get_filename_component(name ${example} NAME_WE)
    add_executable(example_${name}${flavour} ${example})
    target_link_libraries(example_${name}${flavour} PRIVATE tabulon${flavour})
  endforeach()
  # The install check's program, also built here so that the tests see at
  # once when a method stops being usable through the umbrella header.
  add_executable(example_every_method${flavour} ${CMAKE_SOURCE_DIR}/examples/install_check/app.cpp)
  target_link_libraries(example_every_method${flavour} PRIVATE tabulon${flavour})
endfunction()

function(tabulon_add_gtest flavour)
  tabulon_abi_define(${flavour} abi)
  add_library(gtest${flavour} STATIC
    ${TABULON_GTEST_ROOT}/src/gtest-all.cc ${TABULON_GTEST_ROOT}/src/gtest_main.cc)
  target_include_directories(gtest${flavour} SYSTEM
    PUBLIC ${TABULON_GTEST_ROOT}/include PRIVATE ${TABULON_GTEST_ROOT})
  target_compile_definitions(gtest${flavour} PUBLIC ${abi})
  find_package(Threads REQUIRED)
  target_link_libraries(gtest${flavour} PUBLIC Threads::Threads)
endfunction()

function(tabulon_add_tests flavour)
  tabulon_add_gtest(${flavour})
  file(GLOB_RECURSE test_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/*_test.cpp)
  set(target tabulon_tests${flavour})
  add_executable(${target} ${test_sources})
  target_link_libraries(${target} PRIVATE tabulon${flavour}-sqlite gtest${flavour})
  target_include_directories(${target} PRIVATE ${TABULON_SOURCE_INCLUDE_DIRS} ${CMAKE_SOURCE_DIR}/tests)
  target_compile_definitions(${target} PRIVATE
    TABULON_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    TABULON_BINARY_DIR="${CMAKE_BINARY_DIR}"
    TABULON_FLAVOUR="${flavour}")
  gtest_discover_tests(${target} TEST_PREFIX "tabulon${flavour}." DISCOVERY_TIMEOUT 120
    PROPERTIES ENVIRONMENT "TABULON_TMP=${CMAKE_BINARY_DIR}/test-output${flavour}")
  file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/test-output${flavour})
endfunction()
