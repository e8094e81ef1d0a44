# nlohmann/json, header-only, for the command-line tools' JSON output. The
# Windows build must not search the host's /usr/include as a whole (its C
# library headers would shadow MinGW's), so the one folder it needs is copied
# into the build tree and only that is put on the include path.
find_path(LUMORA_NLOHMANN_JSON_DIR nlohmann/json.hpp PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH
          REQUIRED)
set(_lumora_json_include ${PROJECT_BINARY_DIR}/third_party/include)
file(COPY ${LUMORA_NLOHMANN_JSON_DIR}/nlohmann DESTINATION ${_lumora_json_include})
add_library(lumora_json INTERFACE)
target_include_directories(lumora_json SYSTEM INTERFACE ${_lumora_json_include})
