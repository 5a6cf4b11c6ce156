# Installation: flat public headers under include/tabulon/ (the list in
# cmake/TabulonPublicHeaders.cmake; internal headers are not installed), the core
# library and its SQLite data set library per flavour, one pkg-config file per
# library and a CMake package with a target for each.
include(CMakePackageConfigHelpers)

install(FILES ${TABULON_PUBLIC_HEADERS} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/tabulon)

# The pkg-config files locate the prefix relative to themselves, so an
# installed tree can be moved or unpacked anywhere.
file(RELATIVE_PATH TABULON_PC_UP "/prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "/prefix")

foreach(flavour IN LISTS TABULON_FLAVOURS)
  install(TARGETS tabulon${flavour} tabulon${flavour}-sqlite EXPORT TabulonTargets
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
    INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
  tabulon_abi_define(${flavour} TABULON_PC_ABI)
  set(TABULON_PC_FLAVOUR ${flavour})
  foreach(pc tabulon tabulon-sqlite)
    string(REPLACE "tabulon" "tabulon${flavour}" pc_name ${pc})
    configure_file(${CMAKE_SOURCE_DIR}/cmake/${pc}.pc.in ${CMAKE_BINARY_DIR}/${pc_name}.pc @ONLY)
    install(FILES ${CMAKE_BINARY_DIR}/${pc_name}.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
  endforeach()
endforeach()

if(TARGET tabulon_cli7)
  install(TARGETS tabulon_cli7 RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

install(EXPORT TabulonTargets NAMESPACE Tabulon::
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Tabulon)
configure_package_config_file(${CMAKE_SOURCE_DIR}/cmake/TabulonConfig.cmake.in
  ${CMAKE_BINARY_DIR}/TabulonConfig.cmake
  INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Tabulon)
write_basic_package_version_file(${CMAKE_BINARY_DIR}/TabulonConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/TabulonConfig.cmake ${CMAKE_BINARY_DIR}/TabulonConfigVersion.cmake
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Tabulon)
