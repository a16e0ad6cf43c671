# SPDX-License-Identifier: MIT
# Installed like any desktop program: the program in bin/, its component runtime and the two
# components in a private library folder that the program finds from its own location, a desktop
# entry and the icon theme's sizes. CPack makes the Debian package from the same rules.
include(GNUInstallDirs)

set(TALLY_INSTALL_PRIVATE_LIBDIR ${CMAKE_INSTALL_LIBDIR}/tallymeter)
file(RELATIVE_PATH _tally_bin_to_libs /${CMAKE_INSTALL_BINDIR} /${TALLY_INSTALL_PRIVATE_LIBDIR})
set_target_properties(tallymeter PROPERTIES INSTALL_RPATH "$ORIGIN/${_tally_bin_to_libs}")
# The component runtime is found by the components from their own folder.
set_target_properties(tally_com pelborne_library sarnick_library PROPERTIES INSTALL_RPATH "$ORIGIN")

install(TARGETS tallymeter RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS tally_com pelborne_library sarnick_library LIBRARY DESTINATION ${TALLY_INSTALL_PRIVATE_LIBDIR}
    NAMELINK_SKIP)
install(FILES ${PROJECT_SOURCE_DIR}/app/desktop/tallymeter.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(DIRECTORY ${TALLY_ICON_THEME_DIR}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)

set(CPACK_PACKAGE_NAME tallymeter)
set(CPACK_PACKAGE_VENDOR "Tallyroo")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Tallyroo, a usage meter for Quolla accounts")
set(CPACK_PACKAGE_DESCRIPTION
    "Signs in to the provider's account service on a schedule, fetches the month's volume usage and shows totals, \
averages and remaining allowances in a window and the notification area; keeps a history per account and \
exports each month to CSV and XML.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Tallyroo maintainers <maintainers@tallyroo.example>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES TRUE)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.tallyroo.example/")
# Debian's own packages: Qt 6 base (with the desktop's platform plugins) and charts, SQLite, pugixml.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt6core6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6widgets6 (>= 6.4), libqt6network6 (>= 6.4), \
libqt6dbus6 (>= 6.4), libqt6charts6 (>= 6.4), libsqlite3-0, libpugixml1v5, libstdc++6, libc6")
include(CPack)
