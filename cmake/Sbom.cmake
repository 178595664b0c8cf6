# The package's software bill of materials (CycloneDX 1.5, JSON): what is
# linked into the two programs, with the versions this build found: the
# compiler's runtime, and the header-only libraries of the command line.
# Written when the build is configured; the package carries it as sbom.cdx.json.
set(kavrex_sbom_components "")
function(kavrex_sbom_component name version programs)
  set(component "    {\"type\": \"library\", \"name\": \"${name}\", \"version\": \"${version}\",
     \"properties\": [{\"name\": \"kavrex:linkedInto\", \"value\": \"${programs}\"}]}")
  if(kavrex_sbom_components)
    set(component "${kavrex_sbom_components},\n${component}")
  endif()
  set(kavrex_sbom_components "${component}" PARENT_SCOPE)
endfunction()

set(both "KavrexAssoc.exe kavrex-assoc.exe")
if(MINGW)
  # The MinGW-w64 runtime's version, as its own header states it.
  file(WRITE ${CMAKE_BINARY_DIR}/sbom-mingw.cpp "#include <_mingw.h>\n")
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -dM -E ${CMAKE_BINARY_DIR}/sbom-mingw.cpp
                  OUTPUT_VARIABLE macros)
  foreach(part MAJOR MINOR BUGFIX)
    string(REGEX MATCH "__MINGW64_VERSION_${part} ([0-9]+)" found "${macros}")
    list(APPEND mingw_version ${CMAKE_MATCH_1})
  endforeach()
  list(JOIN mingw_version "." mingw_version)
  # Linked statically; the dialog uses the win32 thread model, without winpthreads.
  kavrex_sbom_component(winpthreads ${mingw_version} kavrex-assoc.exe)
  kavrex_sbom_component(mingw-w64-crt ${mingw_version} "${both}")
  kavrex_sbom_component(libgcc ${CMAKE_CXX_COMPILER_VERSION} "${both}")
  kavrex_sbom_component(libstdc++ ${CMAKE_CXX_COMPILER_VERSION} "${both}")
elseif(MSVC)
  kavrex_sbom_component("Microsoft C/C++ runtime" ${CMAKE_CXX_COMPILER_VERSION} "${both}")
endif()
kavrex_sbom_component(nlohmann-json ${KAVREX_JSON_VERSION} kavrex-assoc.exe)
kavrex_sbom_component(CLI11 ${KAVREX_CLI11_VERSION} kavrex-assoc.exe)

string(UUID serial NAMESPACE 6ba7b811-9dad-11d1-80b4-00c04fd430c8
       NAME "KavrexAssoc ${PROJECT_VERSION} ${CMAKE_SYSTEM_PROCESSOR} ${kavrex_sbom_components}"
       TYPE SHA1)
file(WRITE ${CMAKE_BINARY_DIR}/sbom.cdx.json "{
  \"bomFormat\": \"CycloneDX\",
  \"specVersion\": \"1.5\",
  \"serialNumber\": \"urn:uuid:${serial}\",
  \"version\": 1,
  \"metadata\": {
    \"component\": {\"type\": \"application\", \"name\": \"KavrexAssoc\",
                  \"version\": \"${PROJECT_VERSION}\"},
    \"properties\": [{\"name\": \"kavrex:compiler\",
                    \"value\": \"${CMAKE_CXX_COMPILER_ID} ${CMAKE_CXX_COMPILER_VERSION}\"}]
  },
  \"components\": [
${kavrex_sbom_components}
  ]
}
")
install(FILES ${CMAKE_BINARY_DIR}/sbom.cdx.json DESTINATION . COMPONENT Program)
