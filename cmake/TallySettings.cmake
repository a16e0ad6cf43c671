# SPDX-License-Identifier: MIT
# One INTERFACE target carries the compile settings every target of the project links.
add_library(tally_settings INTERFACE)
target_compile_features(tally_settings INTERFACE cxx_std_20)
set(CMAKE_CXX_EXTENSIONS OFF)
target_compile_options(tally_settings INTERFACE -Wall -Wextra -Wpedantic)
target_compile_definitions(tally_settings INTERFACE QT_NO_CAST_FROM_ASCII QT_USE_QSTRINGBUILDER)

if(TALLY_SANITIZE)
    target_compile_options(tally_settings INTERFACE
        -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(tally_settings INTERFACE -fsanitize=address,undefined -fno-sanitize-recover=all)
endif()
