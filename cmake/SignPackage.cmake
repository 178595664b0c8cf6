# Run by CPack before it makes the zip: signs the programs it staged when the
# maintainer names a code-signing certificate and its password file
# (KAVREX_SIGN_PFX, KAVREX_SIGN_PASSWORD_FILE; KAVREX_SIGN_TIMESTAMP names an
# RFC 3161 server); without them the package is unsigned, as it says. No secret
# is ever part of the sources.
if("$ENV{KAVREX_SIGN_PFX}" STREQUAL "" OR "$ENV{KAVREX_SIGN_PASSWORD_FILE}" STREQUAL "")
  message(STATUS "Unsigned programs: KAVREX_SIGN_PFX and KAVREX_SIGN_PASSWORD_FILE name no "
                 "certificate (scripts/sign.sh, docs/building.md: Signing a release).")
  return()
endif()
file(GLOB_RECURSE programs ${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*.exe)
set(timestamp)
if(NOT "$ENV{KAVREX_SIGN_TIMESTAMP}" STREQUAL "")
  set(timestamp --timestamp $ENV{KAVREX_SIGN_TIMESTAMP})
endif()
execute_process(COMMAND bash ${CPACK_KAVREX_SIGN_SCRIPT} --pfx $ENV{KAVREX_SIGN_PFX}
                        --password-file $ENV{KAVREX_SIGN_PASSWORD_FILE} ${timestamp} ${programs}
                RESULT_VARIABLE signing)
if(signing)
  message(FATAL_ERROR "The programs could not be signed: no package was made.")
endif()
