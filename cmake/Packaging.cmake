# The Debian package: `cpack -G DEB` in a tree configured with
# -DCMAKE_INSTALL_PREFIX=/usr (scripts/package-test.sh builds, installs and
# removes it). Its dependencies come from dpkg-shlibdeps.
set(CPACK_PACKAGE_NAME lumarq-pylon)
set(CPACK_PACKAGE_VENDOR "Lumarq Technology")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Lumarq Technology <support@lumarq.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configurator for the Lumarq LED price pylon")
set(CPACK_PACKAGE_DESCRIPTION "Lumarq Pylon edits the configuration of a Lumarq LED price pylon of a fuel
station on a picture of its face: the seven price lines with their digits,
decimal point, product name and flags, the brightness of both sides, gamma,
the light sensor and the fonts. It sends the configuration to one or many
pylons over the network or a serial line, reads it back, and saves it
to configuration files (*.lmqpyl). The interface speaks Polish,
English, Hungarian and German.

The package also holds pylon-emulator, a pylon's controller on the local
machine for trying the program without hardware, and the language-support
library liblmqt_lngs with its header and pkg-config file.")
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.lumarq.example/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
# F1 and the about window's link hand files and addresses to the desktop.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
# The ldconfig trigger Debian asks of a package with a public library.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/dist/debian/triggers)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
