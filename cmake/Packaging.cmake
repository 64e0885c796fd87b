# The desktop entry and icon, and a Debian package of the whole installation
# (cpack -G DEB in the build folder).
install(FILES ${PROJECT_SOURCE_DIR}/assets/desktop/tavrin-manager.desktop DESTINATION /usr/share/applications)
install(FILES ${PROJECT_SOURCE_DIR}/assets/desktop/tavrin-manager.svg
        DESTINATION /usr/share/icons/hicolor/scalable/apps)

# The settings file is the user's: dpkg keeps a changed one on upgrade.
file(WRITE ${PROJECT_BINARY_DIR}/package/conffiles "${TAVRIN_INSTALL_DIR}/Bin/COM_1.INI\n")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tavrin-manager)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Tavrin")
set(CPACK_PACKAGE_CONTACT "Tavrin Manager developers <tavrin-manager@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Configuration tool for the Kordex saber sound and light board")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Reads and writes the board's parameters, uploads sounds, shows live telemetry,\n calibrates the motion sensor and updates the firmware. Includes kordex-sim,\n a simulated board on a pseudo-terminal.")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Dependencies come from the libraries the programs really link.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_BINARY_DIR}/package/conffiles)
set(CPACK_SET_DESTDIR ON)
include(CPack)
