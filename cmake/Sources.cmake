# The program's libraries, one per subsystem. The emulated seams are a library
# of their own: the tests use them in every build, the host build also runs on them.
add_library(kavrex_emulation STATIC
  src/platform/EmulatedRegistryApi.cpp)
target_include_directories(kavrex_emulation PUBLIC src)

add_library(kavrex_platform STATIC
  src/platform/Exception.cpp
  src/platform/RegistryApi.cpp
  src/platform/Registry.cpp)
target_include_directories(kavrex_platform PUBLIC src)

if(WIN32)
  target_sources(kavrex_platform PRIVATE src/platform/WinRegistryApi.cpp)
else()
  target_sources(kavrex_platform PRIVATE src/platform/HostRegistryApi.cpp)
  target_link_libraries(kavrex_platform PUBLIC kavrex_emulation)
endif()
