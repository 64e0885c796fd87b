# The desktop entry and icon, and a Debian package of the whole installation
# (cpack -G DEB in the build folder).
install(FILES ${PROJECT_SOURCE_DIR}/assets/desktop/tavrin-manager.desktop DESTINATION /usr/share/applications)
install(FILES ${PROJECT_SOURCE_DIR}/assets/desktop/tavrin-manager.svg
        DESTINATION /usr/share/icons/hicolor/scalable/apps)

# The settings file is the user's, outside /etc, so it is no conffile: the
# package ships a default copy, and its scripts put it in place when missing and
# leave it alone on upgrade (see the install rule of COM_1.INI beside the programs).
set(TAVRIN_SHARE_DIR /usr/share/tavrin-manager)
set(TAVRIN_MAINTAINER "Tavrin Manager developers <maintainers@tavrin-manager.org>")
install(FILES ${PROJECT_SOURCE_DIR}/assets/COM_1.INI DESTINATION ${TAVRIN_SHARE_DIR})
set(TAVRIN_DEBIAN_DIR ${PROJECT_BINARY_DIR}/package)
foreach(script postinst postrm)
    configure_file(${PROJECT_SOURCE_DIR}/assets/debian/${script} ${TAVRIN_DEBIAN_DIR}/${script}
                   @ONLY FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                   WORLD_READ WORLD_EXECUTE)
endforeach()

# On the PATH: the programs stay in the fixed installation folder, linked from /usr/bin.
file(MAKE_DIRECTORY ${TAVRIN_DEBIAN_DIR}/bin)
foreach(program tavrin-manager tavrin-cli)
    file(CREATE_LINK ${TAVRIN_INSTALL_DIR}/Bin/${program} ${TAVRIN_DEBIAN_DIR}/bin/${program} SYMBOLIC)
    install(FILES ${TAVRIN_DEBIAN_DIR}/bin/${program} DESTINATION /usr/bin)
endforeach()

# What Debian asks of every package: its copyright and its changelog.
set(TAVRIN_PACKAGE_DOC /usr/share/doc/tavrin-manager)
configure_file(${PROJECT_SOURCE_DIR}/assets/debian/copyright ${TAVRIN_DEBIAN_DIR}/copyright @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/assets/debian/changelog.in ${TAVRIN_DEBIAN_DIR}/changelog @ONLY)
find_program(TAVRIN_GZIP gzip REQUIRED)
add_custom_command(OUTPUT ${TAVRIN_DEBIAN_DIR}/changelog.gz
    COMMAND ${TAVRIN_GZIP} -9 -n -c ${TAVRIN_DEBIAN_DIR}/changelog > ${TAVRIN_DEBIAN_DIR}/changelog.gz
    DEPENDS ${TAVRIN_DEBIAN_DIR}/changelog)
add_custom_command(OUTPUT ${TAVRIN_DEBIAN_DIR}/tavrin-manager.1.gz
    COMMAND ${TAVRIN_GZIP} -9 -n -c ${PROJECT_SOURCE_DIR}/assets/debian/tavrin-manager.1 > ${TAVRIN_DEBIAN_DIR}/tavrin-manager.1.gz
    DEPENDS ${PROJECT_SOURCE_DIR}/assets/debian/tavrin-manager.1)
add_custom_target(tavrin-package-docs ALL
    DEPENDS ${TAVRIN_DEBIAN_DIR}/changelog.gz ${TAVRIN_DEBIAN_DIR}/tavrin-manager.1.gz)
install(FILES ${TAVRIN_DEBIAN_DIR}/tavrin-manager.1.gz DESTINATION /usr/share/man/man1)
install(FILES ${TAVRIN_DEBIAN_DIR}/copyright ${TAVRIN_DEBIAN_DIR}/changelog.gz DESTINATION ${TAVRIN_PACKAGE_DOC})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tavrin-manager)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Tavrin")
set(CPACK_PACKAGE_CONTACT "${TAVRIN_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Configuration tool for the Kordex saber sound and light board")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Reads and writes the board's parameters, uploads sounds, shows live telemetry,\ncalibrates the motion sensor and updates the firmware. Includes kordex-sim,\na simulated board on a pseudo-terminal.")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Dependencies come from the libraries the programs really link.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${TAVRIN_DEBIAN_DIR}/postinst ${TAVRIN_DEBIAN_DIR}/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
# The package holds what every installation holds, except the settings file,
# which its scripts create (the install rule of COM_1.INI has a component of its own).
set(CPACK_INSTALL_CMAKE_PROJECTS "${PROJECT_BINARY_DIR};${PROJECT_NAME};Unspecified;/")
set(CPACK_SET_DESTDIR ON)
# Every destination is absolute; the prefix only names the folder the package
# holds anyway, instead of an empty /usr/local.
set(CPACK_INSTALL_PREFIX ${TAVRIN_INSTALL_DIR})
include(CPack)
