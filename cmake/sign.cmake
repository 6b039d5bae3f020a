# Authenticode signing of the exe and the MSI packages with osslsigncode,
# SHA-256. Off unless TALVO_SIGN_PFX names a certificate; then the exe is
# signed right after it is linked (so the packages and the tests get the signed
# one) and each package after its last table edit. cmake/sign.sh does the
# signing and verifies each signed file before it takes its place; the
# password is read at build time only, never by CMake.
set(TALVO_SIGN_PFX "" CACHE FILEPATH
    "PKCS#12 file (.pfx) to sign the exe and the MSI with; empty: nothing is signed")
set(TALVO_SIGN_PASSWORD_FILE "" CACHE FILEPATH
    "File holding the certificate's password; empty: the environment variable TALVO_SIGN_PASSWORD at build time")
set(TALVO_SIGN_TIMESTAMP_URL "" CACHE STRING
    "RFC 3161 time-stamp server to stamp the signatures; empty: no time stamp")
set(TALVO_SIGN_DESCRIPTION "TALVO Internet Office" CACHE STRING
    "Program name in the signature (shown when Windows asks for consent)")
set(TALVO_SIGN_URL "" CACHE STRING "Web address in the signature; may be empty")
set(TALVO_SIGN_CA_FILE "" CACHE FILEPATH
    "PEM file of the roots each signature and its time stamp must chain to, checked right after signing; empty: the system's roots")

if(DEFINED TALVO_SIGN_PASSWORD OR DEFINED CACHE{TALVO_SIGN_PASSWORD})
  # A -D value lands in CMakeCache.txt; take it out again before failing.
  unset(TALVO_SIGN_PASSWORD CACHE)
  unset(TALVO_SIGN_PASSWORD)
  message(FATAL_ERROR "Never give the signing password to CMake: it would be stored in the "
                      "build tree. Set the environment variable TALVO_SIGN_PASSWORD when "
                      "building, or name a file with TALVO_SIGN_PASSWORD_FILE.")
endif()

set(TALVO_SIGNING OFF)
if(WIN32 AND NOT TALVO_SIGN_PFX STREQUAL "")
  if(NOT EXISTS "${TALVO_SIGN_PFX}" OR IS_DIRECTORY "${TALVO_SIGN_PFX}")
    message(FATAL_ERROR "TALVO_SIGN_PFX names ${TALVO_SIGN_PFX}, which does not exist. "
                        "Give the path of the PKCS#12 certificate, or an empty value to build "
                        "unsigned.")
  endif()
  if(NOT TALVO_SIGN_PASSWORD_FILE STREQUAL "" AND NOT EXISTS "${TALVO_SIGN_PASSWORD_FILE}")
    message(FATAL_ERROR "TALVO_SIGN_PASSWORD_FILE names ${TALVO_SIGN_PASSWORD_FILE}, which "
                        "does not exist")
  endif()
  if(NOT TALVO_SIGN_CA_FILE STREQUAL "" AND NOT EXISTS "${TALVO_SIGN_CA_FILE}")
    message(FATAL_ERROR "TALVO_SIGN_CA_FILE names ${TALVO_SIGN_CA_FILE}, which does not exist")
  endif()
  if(CMAKE_HOST_WIN32)
    message(FATAL_ERROR "Signing runs on the Debian build host (osslsigncode and a POSIX "
                        "shell); on Windows sign with signtool after building.")
  endif()
  find_program(TALVO_OSSLSIGNCODE osslsigncode)
  if(NOT TALVO_OSSLSIGNCODE)
    message(FATAL_ERROR "TALVO_SIGN_PFX is set but osslsigncode is missing "
                        "(scripts/install-deps.sh installs it)")
  endif()
  get_filename_component(TALVO_SIGN_PFX "${TALVO_SIGN_PFX}" ABSOLUTE)
  foreach(file IN ITEMS TALVO_SIGN_PASSWORD_FILE TALVO_SIGN_CA_FILE)
    if(NOT ${file} STREQUAL "")
      get_filename_component(${file} "${${file}}" ABSOLUTE)
    endif()
  endforeach()
  set(TALVO_SIGNING ON)
  message(STATUS "Signing with ${TALVO_SIGN_PFX}")
endif()

# The command that signs in_file into out_file (they may be the same file).
function(talvo_sign_command out_var in_file out_file)
  set(${out_var}
      sh ${PROJECT_SOURCE_DIR}/cmake/sign.sh "tool=${TALVO_OSSLSIGNCODE}" "pfx=${TALVO_SIGN_PFX}"
      "password_file=${TALVO_SIGN_PASSWORD_FILE}" "timestamp_url=${TALVO_SIGN_TIMESTAMP_URL}"
      "description=${TALVO_SIGN_DESCRIPTION}" "url=${TALVO_SIGN_URL}"
      "ca_file=${TALVO_SIGN_CA_FILE}" "in=${in_file}"
      "out=${out_file}" PARENT_SCOPE)
endfunction()

# Signs an executable in place as the last step of its link. A new certificate
# links it again, and so signs it again.
function(talvo_sign_after_link target)
  if(NOT TALVO_SIGNING)
    return()
  endif()
  talvo_sign_command(sign $<TARGET_FILE:${target}> $<TARGET_FILE:${target}>)
  add_custom_command(TARGET ${target} POST_BUILD COMMAND ${sign}
                     COMMENT "Signing ${target}" VERBATIM)
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${TALVO_SIGN_PFX})
endfunction()
