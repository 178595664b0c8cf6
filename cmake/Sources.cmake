# One library per folder of src; who may use whom is in docs/architecture.md,
# and scripts/check-includes.py keeps it.

# The registry wrapper, the seams and their real sides, and the registry tools
# the command line uses: trees read whole and their differences, the dry run's
# overlay and its store. The dialog links none of the tools' objects.
add_library(kavrex_platform STATIC
  src/platform/ChangeRecorder.cpp
  src/platform/Exception.cpp
  src/platform/FileSecurity.cpp
  src/platform/ForwardingSystemApi.cpp
  src/platform/KeyContents.cpp
  src/platform/KeyTree.cpp
  src/platform/MemoryRegistryApi.cpp
  src/platform/OverlayRegistryApi.cpp
  src/platform/RegistryApi.cpp
  src/platform/Registry.cpp
  src/platform/RegistryTree.cpp
  src/platform/ProcessPaths.cpp
  src/platform/ScopedRegistryApi.cpp)
target_sources(kavrex_platform PUBLIC FILE_SET HEADERS BASE_DIRS src FILES
  src/platform/Exception.h
  src/platform/FileSecurity.h
  src/platform/ForwardingSystemApi.h
  src/platform/KeyContents.h
  src/platform/KeyHandle.h
  src/platform/KeyTree.h
  src/platform/ProcessPaths.h
  src/platform/Registry.h
  src/platform/RegistryApi.h
  src/platform/RegistryNames.h
  src/platform/RegistryValue.h
  src/platform/ScopedRegistryApi.h
  src/platform/SystemApi.h
  src/platform/WinTypes.h)
set_target_properties(kavrex_platform PROPERTIES EXPORT_NAME platform)
if(WIN32)
  # advapi32 and shell32 are loaded when first used, not imported.
  target_sources(kavrex_platform PRIVATE src/platform/WinRegistryApi.cpp
                                         src/platform/WinSystemApi.cpp)
endif()

# The emulation of Windows, for the tests and the host build only: it uses the
# platform, and nothing in the programs uses it.
add_library(kavrex_emulation STATIC
  src/emulation/CallFaults.cpp
  src/emulation/ClassesView.cpp
  src/emulation/CodePages.cpp
  src/emulation/EmulatedRegistryApi.cpp
  src/emulation/EmulatedSystemApi.cpp
  src/emulation/RightsProfiles.cpp
  src/emulation/Wow64Table.cpp)
target_link_libraries(kavrex_emulation PUBLIC kavrex_platform)
if(NOT WIN32)
  # Away from Windows the platform's SystemRegistry() and SystemServices() are
  # the emulation's: objects linked whole into each host test program.
  add_library(kavrex_host_binding OBJECT src/emulation/HostBinding.cpp)
  target_link_libraries(kavrex_host_binding PUBLIC kavrex_emulation)
endif()

add_library(kavrex_association STATIC
  src/association/Component.cpp
  src/association/ComponentProperties.cpp
  src/association/ArchiveExtensions.cpp
  src/association/AssociationLayout.cpp
  src/association/ExtensionStatus.cpp
  src/association/Handler.cpp
  src/association/Placeholders.cpp
  src/association/KeptValue.cpp
  src/association/LayoutWriter.cpp
  src/association/RegArchive.cpp
  src/association/RegistrationJudge.cpp
  src/association/Removal.cpp
  src/association/ReplaceableHandler.cpp
  src/association/StartedProgram.cpp
  src/association/StoredValue.cpp
  src/association/TypeOwner.cpp)
target_sources(kavrex_association PUBLIC FILE_SET HEADERS BASE_DIRS src FILES
  src/association/ArchiveExtensions.h
  src/association/AssociationLayout.h
  src/association/Component.h
  src/association/ComponentProperties.h
  src/association/ExtensionStatus.h
  src/association/Handler.h
  src/association/Placeholders.h
  src/association/LayoutWriter.h
  src/association/KeptValue.h
  src/association/RegArchive.h
  src/association/RegistrationJudge.h
  src/association/Removal.h
  src/association/ReplaceableHandler.h
  src/association/StartedProgram.h
  src/association/StoredValue.h
  src/association/TypeOwner.h)
set_target_properties(kavrex_association PROPERTIES EXPORT_NAME association)
target_link_libraries(kavrex_association PUBLIC kavrex_platform)

# The dialog. What it decides without a window is host-tested too.
add_library(kavrex_app STATIC
  src/app/FormDesign.cpp
  src/app/Scaling.cpp
  src/app/Outcome.cpp
  src/app/DialogKeys.cpp)
target_link_libraries(kavrex_app PUBLIC kavrex_association)
if(WIN32)
  target_sources(kavrex_app PRIVATE
    src/app/Application.cpp
    src/app/DialogTexts.cpp
    src/app/FatalError.cpp
    src/app/FormMain.cpp
    src/app/WinMessageBoxApi.cpp)
  target_link_libraries(kavrex_app PUBLIC user32 gdi32 comctl32)
endif()

# The project's version, for the version resources, the manifests and --version.
set(KAVREX_VERSION_QUAD ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0)
set(generated ${CMAKE_CURRENT_BINARY_DIR}/generated)
configure_file(src/app/Version.h.in ${generated}/Version.h @ONLY)

# The command-line companion's commands: host-tested too. The dialog's own
# build (cmake/Dialog.cmake) has no use for them.
if(NOT KAVREX_DIALOG_ONLY)
  include(cmake/Libraries.cmake)
  add_library(kavrex_cli STATIC
    src/cli/Account.cpp
    src/cli/Arguments.cpp
    src/cli/AuditLog.cpp
    src/cli/ChangeReport.cpp
    src/cli/ChangeWording.cpp
    src/cli/Cli.cpp
    src/cli/ChangeCommands.cpp
    src/cli/DefaultAssociations.cpp
    src/cli/ExportCommand.cpp
    src/cli/ExtensionRules.cpp
    src/cli/FileWriting.cpp
    src/cli/Listing.cpp
    src/cli/Refusal.cpp
    src/cli/ReportParts.cpp
    src/cli/Scope.cpp
    src/cli/Settings.cpp
    src/cli/StatusCommand.cpp
    src/cli/StatusReport.cpp
    src/cli/Users.cpp)
  target_include_directories(kavrex_cli PUBLIC src PRIVATE ${generated})
  target_link_libraries(kavrex_cli PUBLIC kavrex_association
                                   PRIVATE CLI11::CLI11 nlohmann_json::nlohmann_json)
endif()

if(WIN32)
  enable_language(RC)
  configure_file(src/app/KavrexAssoc.manifest.in ${generated}/KavrexAssoc.manifest @ONLY)
  configure_file(src/cli/kavrex-assoc.manifest.in ${generated}/kavrex-assoc.manifest @ONLY)

  include(cmake/Dialog.cmake)

  if(NOT KAVREX_DIALOG_ONLY)
    add_executable(kavrex-assoc src/cli/main.cpp src/cli/WinConsole.cpp src/cli/kavrex-assoc.rc)
    target_include_directories(kavrex-assoc PRIVATE ${generated} src/app)
    set_source_files_properties(src/cli/kavrex-assoc.rc PROPERTIES
                                OBJECT_DEPENDS "${generated}/Version.h;${generated}/kavrex-assoc.manifest")
    target_link_libraries(kavrex-assoc PRIVATE kavrex_cli)
    if(MSVC)
      target_link_options(kavrex-assoc PRIVATE /MANIFEST:NO)
    elseif(MINGW)
      target_link_options(kavrex-assoc PRIVATE -s -municode) # wmain
    endif()
  endif()
endif()
