# cmake --install lays out bin/ (tarvox.dll and its companion modules, the tools), lib/ (the
# import library and the CMake package) and include/tarvox/.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

install(TARGETS tarvox EXPORT TarvoxTargets
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/tarvox DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(TARGETS cfgkern_module cuixport_module RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

set(TARVOX_PACKAGE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Tarvox)
install(EXPORT TarvoxTargets NAMESPACE Tarvox:: DESTINATION ${TARVOX_PACKAGE_DIR})
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/package/TarvoxConfig.cmake.in
  ${CMAKE_BINARY_DIR}/package/TarvoxConfig.cmake INSTALL_DESTINATION ${TARVOX_PACKAGE_DIR})
write_basic_package_version_file(${CMAKE_BINARY_DIR}/package/TarvoxConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/package/TarvoxConfig.cmake ${CMAKE_BINARY_DIR}/package/TarvoxConfigVersion.cmake
  DESTINATION ${TARVOX_PACKAGE_DIR})
