# SPDX-License-Identifier: MIT
# Installed like any desktop program: the program in bin/, its component runtime and the two
# components in a private library folder that the program finds from its own location, a desktop
# entry and the icon theme's sizes, the manual page, the AppStream metadata and the package's
# documentation. CPack makes the Debian package from the same rules.
include(GNUInstallDirs)

# Folders 0755 and data files 0644, as Debian wants them, also under a group-writable umask; a
# stricter umask still narrows the folders, which TallyPackageModes.cmake opens up in the package.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(_tally_file_mode OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)

# Manual pages and changelogs are installed compressed; -n leaves out the name and the time, so the
# same text always gives the same bytes.
find_program(TALLY_GZIP gzip REQUIRED)
set(_tally_packaging_dir ${PROJECT_SOURCE_DIR}/packaging)
set(_tally_compressed)
foreach(_file tallymeter.1 changelog)
    set(_out ${CMAKE_CURRENT_BINARY_DIR}/packaging/${_file})
    add_custom_command(OUTPUT ${_out}.gz
        COMMAND ${CMAKE_COMMAND} -E copy ${_tally_packaging_dir}/${_file} ${_out}
        COMMAND ${TALLY_GZIP} -9nf ${_out}
        DEPENDS ${_tally_packaging_dir}/${_file}
        COMMENT "Compressing ${_file}"
        VERBATIM)
    list(APPEND _tally_compressed ${_out}.gz)
endforeach()
add_custom_target(tallymeter_docs ALL DEPENDS ${_tally_compressed})

# In the architecture's own folder where the compiler names one (Debian's multiarch): CPack's
# maintainer scripts run ldconfig for any library directly below lib/, which for private ones does
# nothing.
if(CMAKE_LIBRARY_ARCHITECTURE AND NOT CMAKE_INSTALL_LIBDIR MATCHES "${CMAKE_LIBRARY_ARCHITECTURE}")
    set(TALLY_INSTALL_PRIVATE_LIBDIR ${CMAKE_INSTALL_LIBDIR}/${CMAKE_LIBRARY_ARCHITECTURE}/tallymeter)
else()
    set(TALLY_INSTALL_PRIVATE_LIBDIR ${CMAKE_INSTALL_LIBDIR}/tallymeter)
endif()
file(RELATIVE_PATH _tally_bin_to_libs /${CMAKE_INSTALL_BINDIR} /${TALLY_INSTALL_PRIVATE_LIBDIR})
set_target_properties(tallymeter PROPERTIES INSTALL_RPATH "$ORIGIN/${_tally_bin_to_libs}")
# The component runtime and the registry are found by the components from their own folder.
set_target_properties(tally_com pelborne_library sarnick_library PROPERTIES INSTALL_RPATH "$ORIGIN")

install(TARGETS tallymeter RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS tally_registry tally_com pelborne_library sarnick_library LIBRARY DESTINATION ${TALLY_INSTALL_PRIVATE_LIBDIR}
    NAMELINK_SKIP)
install(FILES ${PROJECT_SOURCE_DIR}/app/desktop/tallymeter.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(DIRECTORY ${TALLY_ICON_THEME_DIR}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor
    FILE_PERMISSIONS ${_tally_file_mode})
install(FILES ${_tally_packaging_dir}/example.tallyroo.tallymeter.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/packaging/tallymeter.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${_tally_packaging_dir}/copyright ${CMAKE_CURRENT_BINARY_DIR}/packaging/changelog.gz
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tallymeter)
install(FILES ${_tally_packaging_dir}/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
    RENAME tallymeter)

set(CPACK_PACKAGE_NAME tallymeter)
set(CPACK_PACKAGE_VENDOR "Tallyroo")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Tallyroo, a usage meter for Quolla accounts")
# Debian shows the description as it stands, so its lines are kept within 80 columns by hand.
set(CPACK_PACKAGE_DESCRIPTION [[
On a schedule it signs in to the account service of Quolla (or one of its
sibling brands Brindle, Corvo, Dapple and Emberly), fetches the month's
volume usage and shows totals, averages and remaining allowances in a window
and the notification area.

It keeps a history per account, draws graphs of daily and monthly usage and
exports each month to CSV and XML.]])
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Tallyroo maintainers <maintainers@tallyroo.example>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES TRUE)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/TallyPackageModes.cmake)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.tallyroo.example/")
# Debian's own packages, as the binaries need them (dpkg-shlibdeps); the libraries of our own are
# found where the package puts them. Beside them the platform plugins that Qt loads at run time:
# the X one always, the Wayland one where it is to be had (without it the window opens through
# XWayland).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${TALLY_INSTALL_PRIVATE_LIBDIR})
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
include(CPack)
