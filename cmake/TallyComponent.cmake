# SPDX-License-Identifier: MIT
# The feed components are shared libraries that register their classes with the component runtime
# as they load; callers create the objects by name or class identifier and never refer to a symbol
# of the library. A linker that drops unreferenced libraries (--as-needed, Debian's default for
# GCC) would drop them, so whatever links a component keeps it, through a link feature of its own.
set(CMAKE_LINK_LIBRARY_USING_TALLY_COMPONENT
    "LINKER:--push-state,--no-as-needed" "<LINK_ITEM>" "LINKER:--pop-state")
set(CMAKE_LINK_LIBRARY_USING_TALLY_COMPONENT_SUPPORTED TRUE)

# tally_add_component(<name> VERSION <x.y.z> PRODUCT_NAME <text> FILE_DESCRIPTION <text>
#                     SOURCES ... PUBLIC_LIBS ... PRIVATE_LIBS ...)
# Makes the shared library <name>_library (file lib<name>.so) exporting only the entries of
# <name>.map, and the target <name> that callers link.
function(tally_add_component name)
    cmake_parse_arguments(ARG "" "VERSION;PRODUCT_NAME;FILE_DESCRIPTION" "SOURCES;PUBLIC_LIBS;PRIVATE_LIBS" ${ARGN})
    set(library ${name}_library)
    set(map ${CMAKE_CURRENT_SOURCE_DIR}/${name}.map)
    add_library(${library} SHARED ${ARG_SOURCES})
    set_target_properties(${library} PROPERTIES
        OUTPUT_NAME ${name}
        CXX_VISIBILITY_PRESET hidden
        VISIBILITY_INLINES_HIDDEN ON
        LINK_DEPENDS ${map})
    target_compile_definitions(${library} PRIVATE TALLY_COMPONENT_VERSION="${ARG_VERSION}")
    target_link_libraries(${library} PUBLIC ${ARG_PUBLIC_LIBS} PRIVATE ${ARG_PRIVATE_LIBS})
    target_link_options(${library} PRIVATE
        -Wl,--version-script=${map} -Wl,--exclude-libs,ALL -Wl,--no-undefined)
    tally_embed_version(${library} PRODUCT_NAME "${ARG_PRODUCT_NAME}" VERSION ${ARG_VERSION}
        FILE_DESCRIPTION "${ARG_FILE_DESCRIPTION}")

    add_library(${name} INTERFACE)
    target_link_libraries(${name} INTERFACE "$<LINK_LIBRARY:TALLY_COMPONENT,${library}>")
endfunction()
