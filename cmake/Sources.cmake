# The program's libraries, one per subsystem. The emulated seams are a library
# of their own: the tests use them in every build, the host build also runs on them.
add_library(kavrex_emulation STATIC
  src/platform/EmulatedRegistryApi.cpp
  src/platform/EmulatedSystemApi.cpp)
target_include_directories(kavrex_emulation PUBLIC src)

add_library(kavrex_platform STATIC
  src/platform/Exception.cpp
  src/platform/RegistryApi.cpp
  src/platform/Registry.cpp
  src/platform/ProcessPaths.cpp)
target_include_directories(kavrex_platform PUBLIC src)

if(WIN32)
  target_sources(kavrex_platform PRIVATE src/platform/WinRegistryApi.cpp
                                         src/platform/WinSystemApi.cpp)
  target_link_libraries(kavrex_platform PUBLIC shell32)
else()
  target_sources(kavrex_platform PRIVATE src/platform/HostRegistryApi.cpp
                                         src/platform/HostSystemApi.cpp)
  target_link_libraries(kavrex_platform PUBLIC kavrex_emulation)
endif()

add_library(kavrex_association STATIC
  src/association/Component.cpp
  src/association/ArchiveExtensions.cpp
  src/association/AssociationLayout.cpp
  src/association/RegArchive.cpp)
target_link_libraries(kavrex_association PUBLIC kavrex_platform)

# What the dialog decides without a window: host-tested too.
add_library(kavrex_app_core STATIC
  src/app/FormDesign.cpp
  src/app/Layout.cpp
  src/app/Outcome.cpp
  src/app/DialogKeys.cpp)
target_link_libraries(kavrex_app_core PUBLIC kavrex_association)

if(WIN32)
  enable_language(RC)
  add_library(kavrex_app STATIC
    src/app/Application.cpp
    src/app/FormMain.cpp
    src/app/WinMessageBoxApi.cpp)
  target_link_libraries(kavrex_app PUBLIC kavrex_app_core user32 gdi32 comctl32)

  add_executable(KavrexAssoc WIN32 src/app/main.cpp src/app/KavrexAssoc.rc)
  target_link_libraries(KavrexAssoc PRIVATE kavrex_app)
  if(MSVC)
    # The manifest is the resource file's own; the linker must not add another.
    target_link_options(KavrexAssoc PRIVATE /MANIFEST:NO)
  elseif(MINGW)
    target_link_options(KavrexAssoc PRIVATE -s)
  endif()
endif()
