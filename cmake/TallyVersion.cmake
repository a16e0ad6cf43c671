# SPDX-License-Identifier: MIT
# Version information compiled into each deliverable, readable by file path: the stand-in for
# version resources. The block's layout is documented in platform/VersionBlockFormat.h.
set(_TALLY_VERSION_TEMPLATE "${CMAKE_CURRENT_LIST_DIR}/TallyVersionBlock.cpp.in")
set(_TALLY_VERSION_FORMAT_HEADER "${CMAKE_CURRENT_LIST_DIR}/../platform/VersionBlockFormat.h")
cmake_path(NORMAL_PATH _TALLY_VERSION_FORMAT_HEADER)

# Left-pads a number with zeros to at least <width> digits.
function(_tally_zero_pad out value width)
    string(LENGTH "${value}" length)
    if(length LESS width)
        math(EXPR missing "${width} - ${length}")
        string(REPEAT "0" ${missing} zeros)
        set(value "${zeros}${value}")
    endif()
    set(${out} "${value}" PARENT_SCOPE)
endfunction()

# Escapes a text for a C++ string literal.
function(_tally_cxx_escape out text)
    string(REPLACE "\\" "\\\\" text "${text}")
    string(REPLACE "\"" "\\\"" text "${text}")
    string(REPLACE "\n" "\\n" text "${text}")
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

# tally_embed_version(<target> PRODUCT_NAME <text> VERSION <major.minor.patch[.build]>
#                     [FILE_DESCRIPTION <text>] [COMPANY_NAME <text>])
function(tally_embed_version target)
    cmake_parse_arguments(ARG "" "PRODUCT_NAME;VERSION;FILE_DESCRIPTION;COMPANY_NAME" "" ${ARGN})
    if(ARG_UNPARSED_ARGUMENTS)
        message(FATAL_ERROR "tally_embed_version: unknown arguments ${ARG_UNPARSED_ARGUMENTS}")
    endif()
    if(NOT ARG_PRODUCT_NAME)
        message(FATAL_ERROR "tally_embed_version(${target}): PRODUCT_NAME is required")
    endif()
    if(NOT ARG_VERSION MATCHES "^([0-9]+)\\.([0-9]+)\\.([0-9]+)(\\.([0-9]+))?$")
        message(FATAL_ERROR "tally_embed_version(${target}): VERSION must be major.minor.patch[.build], got '${ARG_VERSION}'")
    endif()
    set(TALLY_VERSION_MAJOR ${CMAKE_MATCH_1})
    set(TALLY_VERSION_MINOR ${CMAKE_MATCH_2})
    set(TALLY_VERSION_PATCH ${CMAKE_MATCH_3})
    set(TALLY_VERSION_BUILD 0)
    if(CMAKE_MATCH_5)
        set(TALLY_VERSION_BUILD ${CMAKE_MATCH_5})
    endif()
    if(NOT DEFINED ARG_FILE_DESCRIPTION)
        set(ARG_FILE_DESCRIPTION "${ARG_PRODUCT_NAME}")
    endif()

    # The text form the earlier releases wrote: minor as 2 digits, patch as 4 (1.3.2 -> 1.03.0002).
    _tally_zero_pad(minor_text ${TALLY_VERSION_MINOR} 2)
    _tally_zero_pad(patch_text ${TALLY_VERSION_PATCH} 4)
    set(TALLY_FILE_VERSION "${TALLY_VERSION_MAJOR}.${minor_text}.${patch_text}")

    _tally_cxx_escape(TALLY_PRODUCT_NAME "${ARG_PRODUCT_NAME}")
    _tally_cxx_escape(TALLY_FILE_DESCRIPTION "${ARG_FILE_DESCRIPTION}")
    _tally_cxx_escape(TALLY_COMPANY_NAME "${ARG_COMPANY_NAME}")
    set(TALLY_VERSION_FORMAT_HEADER "${_TALLY_VERSION_FORMAT_HEADER}")

    set(generated "${CMAKE_CURRENT_BINARY_DIR}/${target}_version_block.cpp")
    configure_file("${_TALLY_VERSION_TEMPLATE}" "${generated}" @ONLY)
    target_sources(${target} PRIVATE "${generated}")
endfunction()
