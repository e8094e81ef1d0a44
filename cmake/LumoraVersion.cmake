# Lumora's version has one source: the file VERSION at the top of the tree,
# "MAJOR.MINOR" or "MAJOR.MINOR.PATCH". The version resource, the about
# panel and scripts/package.sh (package names, the MSI's ProductVersion) all
# take it from there; LumoraVersion.h carries it into the program.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/VERSION)
file(STRINGS ${PROJECT_SOURCE_DIR}/VERSION LUMORA_VERSION LIMIT_COUNT 1)
string(STRIP "${LUMORA_VERSION}" LUMORA_VERSION)
if(NOT LUMORA_VERSION MATCHES "^([0-9]+)\\.([0-9]+)(\\.([0-9]+))?$")
  message(FATAL_ERROR "VERSION holds '${LUMORA_VERSION}', not MAJOR.MINOR[.PATCH]")
endif()
set(LUMORA_VERSION_MAJOR ${CMAKE_MATCH_1})
set(LUMORA_VERSION_MINOR ${CMAKE_MATCH_2})
set(LUMORA_VERSION_PATCH 0)
if(CMAKE_MATCH_4)
  set(LUMORA_VERSION_PATCH ${CMAKE_MATCH_4})
endif()
set(LUMORA_VERSION_DIR ${CMAKE_BINARY_DIR}/generated)
file(CONFIGURE OUTPUT ${LUMORA_VERSION_DIR}/LumoraVersion.h CONTENT
"#pragma once
// Written by cmake/LumoraVersion.cmake from the file VERSION; do not edit.
#define LUMORA_VERSION_TEXT \"@LUMORA_VERSION@\"
#define LUMORA_VERSION_FILE \"@LUMORA_VERSION_MAJOR@.@LUMORA_VERSION_MINOR@.@LUMORA_VERSION_PATCH@.0\"
#define LUMORA_VERSION_NUMBERS @LUMORA_VERSION_MAJOR@, @LUMORA_VERSION_MINOR@, @LUMORA_VERSION_PATCH@, 0
")
