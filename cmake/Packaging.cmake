# The Debian package: `cpack -G DEB` in the build folder packs what the
# install() rules install (both programs, the desktop entry and the icon)
# into pelidor7-interactive_<version>_<arch>.deb.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pelidor7-interactive)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Halvexa)
set(CPACK_PACKAGE_CONTACT "Pelidor 7 Interactive maintainers <maintainers@users.noreply.c-seed-6f7f801a.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Control panel for the Pelidor 7 fluid dispenser")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# A RelWithDebInfo build would otherwise ship its debug information.
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
# The paragraph under the summary line.
set(CPACK_PACKAGE_DESCRIPTION
    "A Qt desktop panel for the Pelidor 7 pneumatic fluid-dispenser controller on
an RS-232 line: connect to the dispenser, read and send its settings, edit and
transmit its 400-cell dispense profile, configure units, clock, alarms and
lockouts, and watch its alarms. Includes pelidor7-sim, a simulated dispenser
on a pseudo-terminal for trying the panel without one.")
# The Qt libraries the programs link become Depends, found by dpkg-shlibdeps
# (package dpkg-dev).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The history's SQLite driver is a Qt plugin, loaded at run time: no library
# links it, so dpkg-shlibdeps cannot find it. The found ones are added to this.
set(CPACK_DEBIAN_PACKAGE_DEPENDS libqt5sql5-sqlite)

include(CPack)
