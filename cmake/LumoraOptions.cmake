# Warnings and sanitizers shared by every Lumora target.
add_library(lumora_options INTERFACE)
target_compile_options(lumora_options INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
                                                -Wno-sign-conversion)

if(WIN32)
  # The program speaks the 8-bit (A) Win32 API throughout; Vista is the oldest
  # system whose WinHTTP and OLE it needs.
  target_compile_definitions(lumora_options INTERFACE _WIN32_WINNT=0x0600 WINVER=0x0600
                                                      WIN32_LEAN_AND_MEAN NOMINMAX)
elseif(LUMORA_SANITIZE STREQUAL "address")
  target_compile_options(lumora_options INTERFACE -fsanitize=address,undefined
                                                  -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_link_options(lumora_options INTERFACE -fsanitize=address,undefined)
elseif(LUMORA_SANITIZE STREQUAL "thread")
  target_compile_options(lumora_options INTERFACE -fsanitize=thread -fno-omit-frame-pointer)
  target_link_options(lumora_options INTERFACE -fsanitize=thread)
endif()
