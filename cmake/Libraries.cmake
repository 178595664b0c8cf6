# The command-line companion's header-only libraries: CLI11 (arguments) and
# nlohmann/json (JSON). The installed packages where there are (Debian's on the
# host). A cross build names the prefix that holds Debian's in
# KAVREX_HEADER_ONLY_PREFIX: their package files and headers are staged on
# their own, so that no other header of that prefix reaches the cross compiler.
# Elsewhere (Visual Studio) they are fetched.
set(KAVREX_HEADER_ONLY_PREFIX "" CACHE PATH "Prefix with CLI11 and nlohmann/json for a cross build")
if(KAVREX_HEADER_ONLY_PREFIX)
  set(stage ${CMAKE_BINARY_DIR}/header-only)
  foreach(item share/cmake/CLI11 include/CLI share/cmake/nlohmann_json include/nlohmann)
    get_filename_component(parent ${stage}/${item} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    file(CREATE_LINK ${KAVREX_HEADER_ONLY_PREFIX}/${item} ${stage}/${item} SYMBOLIC)
  endforeach()
  set(CLI11_DIR ${stage}/share/cmake/CLI11)
  set(nlohmann_json_DIR ${stage}/share/cmake/nlohmann_json)
endif()

find_package(CLI11 2.1 CONFIG QUIET)
find_package(nlohmann_json 3.11 CONFIG QUIET)
include(FetchContent)
# The versions linked, as the bill of materials names them (cmake/Sbom.cmake).
set(KAVREX_CLI11_VERSION ${CLI11_VERSION})
set(KAVREX_JSON_VERSION ${nlohmann_json_VERSION})
if(NOT CLI11_FOUND)
  set(KAVREX_CLI11_VERSION 2.1.2)
  FetchContent_Declare(cli11 GIT_REPOSITORY https://github.com/CLIUtils/CLI11.git
                             GIT_TAG v${KAVREX_CLI11_VERSION})
  FetchContent_MakeAvailable(cli11)
endif()
if(NOT nlohmann_json_FOUND)
  set(KAVREX_JSON_VERSION 3.11.2)
  FetchContent_Declare(json GIT_REPOSITORY https://github.com/nlohmann/json.git
                            GIT_TAG v${KAVREX_JSON_VERSION})
  FetchContent_MakeAvailable(json)
endif()
