# KavrexAssoc.exe. A MinGW build makes it in a build of its own, below this
# one, with the toolchain's win32 thread model: the dialog is single-threaded,
# and without winpthreads and the posix runtime it stays within 200 KB (the
# tests need the posix model, for std::mutex). KAVREX_DIALOG_FILE names the
# program either way.
if(MINGW AND NOT KAVREX_DIALOG_ONLY)
  include(ExternalProject)
  ExternalProject_Add(KavrexAssoc
    SOURCE_DIR ${PROJECT_SOURCE_DIR}
    BINARY_DIR ${CMAKE_BINARY_DIR}/dialog
    CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE} -DKAVREX_MINGW_THREADS=win32
               -DKAVREX_DIALOG_ONLY=ON -DKAVREX_TESTS=OFF -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE}
               -DCMAKE_UNITY_BUILD=${CMAKE_UNITY_BUILD}
               -DCMAKE_RUNTIME_OUTPUT_DIRECTORY=${CMAKE_BINARY_DIR}
    BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> --target KavrexAssoc
    BUILD_ALWAYS ON
    INSTALL_COMMAND ""
    BUILD_BYPRODUCTS ${CMAKE_BINARY_DIR}/KavrexAssoc.exe)
  set(KAVREX_DIALOG_FILE ${CMAKE_BINARY_DIR}/KavrexAssoc.exe)
  return()
endif()

# The dialog is compiled from the same sources as the libraries, but into
# objects of its own that the linker optimises as one program: that keeps it
# within 200 KB with the standard library as it is. The libraries stay plain
# objects, which their users' compilers can link.
set(dialog_sources)
foreach(library kavrex_app kavrex_association kavrex_platform)
  get_target_property(sources ${library} SOURCES)
  list(FILTER sources INCLUDE REGEX "\\.cpp$")
  # The registry tools are the command line's: whole trees, the dry run's
  # overlay and store. Compiled in, they would cost the dialog some 26 KB.
  list(FILTER sources EXCLUDE REGEX "/(ChangeRecorder|KeyTree|MemoryRegistryApi|OverlayRegistryApi|RegistryTree)\\.cpp$")
  list(APPEND dialog_sources ${sources})
endforeach()
add_executable(KavrexAssoc WIN32 src/app/main.cpp src/app/LibraryErrors.cpp ${dialog_sources}
                           src/app/KavrexAssoc.rc src/app/Languages.rc)
target_include_directories(KavrexAssoc PRIVATE ${generated} src src/app)
set_source_files_properties(src/app/KavrexAssoc.rc PROPERTIES
                            OBJECT_DEPENDS "${generated}/Version.h;${generated}/KavrexAssoc.manifest")
# windres names no files it includes: each language's table rebuilds the texts.
file(GLOB language_tables CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/app/languages/*.rc)
set_source_files_properties(src/app/Languages.rc PROPERTIES
                            OBJECT_DEPENDS "${language_tables};${PROJECT_SOURCE_DIR}/src/app/TextIds.h")
target_link_libraries(KavrexAssoc PRIVATE user32 gdi32 comctl32)
include(CheckIPOSupported)
check_ipo_supported(RESULT ipo_supported OUTPUT ipo_output LANGUAGES CXX)
if(NOT ipo_supported)
  message(FATAL_ERROR "KavrexAssoc.exe needs link-time optimisation: ${ipo_output}")
endif()
set_target_properties(KavrexAssoc PROPERTIES INTERPROCEDURAL_OPTIMIZATION ON)
if(MSVC)
  # The manifest is the resource file's own; the linker must not add another.
  target_link_options(KavrexAssoc PRIVATE /MANIFEST:NO)
elseif(MINGW)
  # One partition: MinGW's GCC 12 stops with an internal error in
  # binds_to_current_def_p when a program this small is split across several.
  target_link_options(KavrexAssoc PRIVATE -s -flto-partition=one)
endif()
set(KAVREX_DIALOG_FILE $<TARGET_FILE:KavrexAssoc>)
