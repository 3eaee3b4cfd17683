# `cpack -G DEB` in the build directory makes tessaly_<version>_<architecture>.deb of what `cmake --install`
# puts in place, under /usr. dpkg-shlibdeps (package dpkg-dev) finds the libraries it depends on. The
# desktop's caches (MIME types, desktop entries, icons) are refreshed by the triggers of the packages that
# own them, so the package needs no scripts of its own.
set(CPACK_PACKAGE_NAME tessaly)
set(CPACK_PACKAGE_VENDOR ${TESSALY_COMPANY_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "serial EEPROM programmer driven by templates")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Tessaly programs serial EEPROMs by the meaning of their contents rather than their bytes. A template\n"
    "describes a chip's memory areas and the named fields in them; Tessaly shows the fields as values to\n"
    "edit, and reads, programs and verifies the chip through programmer plug-ins. It comes with a desktop\n"
    "program, the command line tessaly-cli, a chip simulator and a plug-in for Linux i2c-dev.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Halvorn <tessaly@halvorn.example>")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

include(CPack)
