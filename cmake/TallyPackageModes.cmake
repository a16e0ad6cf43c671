# SPDX-License-Identifier: MIT
# Run by CPack on the staged files before it packs them. Directories are made under the packager's
# umask, which install() cannot widen: made under 027 or 077 they would go into the package, and
# onto every system that installs it, closed to other users.
file(GLOB_RECURSE _entries LIST_DIRECTORIES true "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*")
set(_folders "${CPACK_TEMPORARY_INSTALL_DIRECTORY}")
foreach(_entry IN LISTS _entries)
    if(IS_DIRECTORY "${_entry}" AND NOT IS_SYMLINK "${_entry}")
        list(APPEND _folders "${_entry}")
    endif()
endforeach()
file(CHMOD ${_folders} DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
