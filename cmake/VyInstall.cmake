# Installs the host SDK (headers and libraries), the plug-in, and a package configuration so that
# another project can find_package(VyTheme3D) and link against the SDK.
include(CMakePackageConfigHelpers)

set(VY_INSTALL_TARGETS VyBase600 VyToolkit600 VyStream600 VyScene600 VyTheme3DBase600)
if(TARGET VyGeometry600)
  list(APPEND VY_INSTALL_TARGETS VyGeometry600)
endif()
# Installed side by side: each library, the plug-in included, finds its siblings next to itself.
set_target_properties(${VY_INSTALL_TARGETS} PROPERTIES INSTALL_RPATH "$ORIGIN")
install(TARGETS ${VY_INSTALL_TARGETS} EXPORT VyTheme3DTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/host/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/vyhost
  FILES_MATCHING PATTERN "*.h")
install(DIRECTORY ${PROJECT_BINARY_DIR}/include/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/vyhost
  FILES_MATCHING PATTERN "Vy*_export.h")
install(DIRECTORY ${PROJECT_BINARY_DIR}/include/Theme3DBase DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/vytheme3d)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/Src/Theme3DBase DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/vytheme3d
  FILES_MATCHING PATTERN "Kr*.h" PATTERN "KrThemeXml.h" EXCLUDE)
install(EXPORT VyTheme3DTargets NAMESPACE Vy:: DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/VyTheme3D)
# The plug-in is a runtime file: a DLL goes to bin/ on Windows, a shared object to lib/ elsewhere.
if(WIN32)
  set(VY_PLUGIN_INSTALL_DIR ${CMAKE_INSTALL_BINDIR})
else()
  set(VY_PLUGIN_INSTALL_DIR ${CMAKE_INSTALL_LIBDIR})
endif()
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/VyTheme3DConfig.cmake.in
  ${PROJECT_BINARY_DIR}/VyTheme3DConfig.cmake
  INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/VyTheme3D
  PATH_VARS CMAKE_INSTALL_LIBDIR VY_PLUGIN_INSTALL_DIR)
write_basic_package_version_file(${PROJECT_BINARY_DIR}/VyTheme3DConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/VyTheme3DConfig.cmake ${PROJECT_BINARY_DIR}/VyTheme3DConfigVersion.cmake
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/VyTheme3D)
