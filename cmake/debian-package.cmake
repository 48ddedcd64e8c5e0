# `cpack -G DEB` in a Linux build directory makes pixorale_VERSION_ARCH.deb: both programs,
# the man page, the launcher entry and the icons, installed under /usr, with the shared
# libraries' packages found by dpkg-shlibdeps.
set(CPACK_PACKAGE_NAME pixorale)
set(CPACK_PACKAGE_VENDOR "Pixorale")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Turns a 24-bit BMP picture into a Standard MIDI File")
string(CONCAT CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Pixorale walks a picture column by column and makes one melody note per column,\n"
  "with an optional chord track. It has a desktop program and a command-line\n"
  "converter for scripts and batch jobs.")
set(CPACK_PACKAGE_CONTACT "Pixorale maintainers <maintainers@pixorale.invalid>")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
include(CPack)
