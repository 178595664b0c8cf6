# What the Windows builds install, in two components:
#   Program      KavrexAssoc.exe and kavrex-assoc.exe with the README, the
#                LICENSE, the administrators' pages (docs/), the Intune
#                remediation pair (deploy/) and the bill of materials
#                (sbom.cdx.json): the zip package
#   Development  the libraries, their headers and a CMake package, KavrexAssoc
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

install(PROGRAMS ${KAVREX_DIALOG_FILE} DESTINATION . COMPONENT Program)
install(TARGETS kavrex-assoc RUNTIME DESTINATION . COMPONENT Program)
install(FILES README.md LICENSE DESTINATION . COMPONENT Program)
# What the README links to for administrators, and what they rely on: with the zip.
install(FILES docs/administrators.md docs/json.md docs/security.md docs/dialog.png
        DESTINATION docs COMPONENT Program)
install(FILES deploy/Detect-KavrexAssociation.ps1 deploy/Remediate-KavrexAssociation.ps1
        DESTINATION deploy COMPONENT Program)

set(config_dir ${CMAKE_INSTALL_LIBDIR}/cmake/KavrexAssoc)
install(TARGETS kavrex_platform kavrex_association EXPORT KavrexAssocTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Development
        FILE_SET HEADERS DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/KavrexAssoc
        COMPONENT Development
        INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/KavrexAssoc)
install(EXPORT KavrexAssocTargets NAMESPACE KavrexAssoc:: DESTINATION ${config_dir}
        COMPONENT Development)
configure_package_config_file(cmake/KavrexAssocConfig.cmake.in
                              ${CMAKE_CURRENT_BINARY_DIR}/KavrexAssocConfig.cmake
                              INSTALL_DESTINATION ${config_dir})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/KavrexAssocConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/KavrexAssocConfig.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/KavrexAssocConfigVersion.cmake
        DESTINATION ${config_dir} COMPONENT Development)

include(cmake/Sbom.cmake)

# The package a user downloads: the program alone, e.g. KavrexAssoc-3.1.0-win64.zip;
# -arm64 for Windows on ARM (Visual Studio's ARM64 tools).
if(CMAKE_CXX_COMPILER_ARCHITECTURE_ID STREQUAL "ARM64")
  set(package_arch arm64)
elseif(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(package_arch win64)
else()
  set(package_arch win32)
endif()
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME KavrexAssoc)
set(CPACK_PACKAGE_FILE_NAME KavrexAssoc-${PROJECT_VERSION}-${package_arch})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_COMPONENTS_ALL Program)
set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
set(CPACK_ARCHIVE_PROGRAM_FILE_NAME ${CPACK_PACKAGE_FILE_NAME})
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/SignPackage.cmake)
set(CPACK_KAVREX_SIGN_SCRIPT ${PROJECT_SOURCE_DIR}/scripts/sign.sh)
include(CPack)
