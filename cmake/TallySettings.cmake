# SPDX-License-Identifier: MIT
# One INTERFACE target carries the compile settings every target of the project links.
add_library(tally_settings INTERFACE)
target_compile_features(tally_settings INTERFACE cxx_std_20)
set(CMAKE_CXX_EXTENSIONS OFF)
target_compile_options(tally_settings INTERFACE -Wall -Wextra -Wpedantic)
target_compile_definitions(tally_settings INTERFACE QT_NO_CAST_FROM_ASCII QT_USE_QSTRINGBUILDER)

# Debian's hardening (dpkg-buildflags with hardening=+all) in the builds that are installed: a
# stack protector, format checks, the checked string and memory functions (which need the
# optimiser), read-only relocations bound at start.
set(_tally_installed_build $<CONFIG:Release,RelWithDebInfo,MinSizeRel>)
target_compile_options(tally_settings INTERFACE
    "$<${_tally_installed_build}:-fstack-protector-strong;-Wformat;-Werror=format-security;-D_FORTIFY_SOURCE=2>")
target_link_options(tally_settings INTERFACE "$<${_tally_installed_build}:-Wl,-z,relro,-z,now>")

if(TALLY_SANITIZE)
    target_compile_options(tally_settings INTERFACE
        -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(tally_settings INTERFACE -fsanitize=address,undefined -fno-sanitize-recover=all)
endif()

# Coverage for libFuzzer and the same sanitizers on every target; only the fuzz targets link
# libFuzzer's main.
if(TALLY_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        message(FATAL_ERROR "TALLY_FUZZ needs clang: libFuzzer comes with it")
    endif()
    target_compile_options(tally_settings INTERFACE
        -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(tally_settings INTERFACE -fsanitize=address,undefined)
endif()
