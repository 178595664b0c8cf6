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
