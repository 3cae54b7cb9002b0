# `make package`: one Debian package with the program, the library and its
# development files, installed under /usr by the rules beside this file.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME isostep)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "photoelastic stress analysis by six-step phase stepping")
set(CPACK_PACKAGE_DESCRIPTION
  "Isostep is the workstation of a photoelastic stress analysis lab: it takes\n"
  "six phase-stepped images of a specimen in a polariscope, from a\n"
  "frame-grabber card or from bitmap files, aligns and masks them, and packs\n"
  "them into one .six bitmap for the analysis programs. Batch commands\n"
  "compose, split and mask without a display.\n"
  "\n"
  "The package also holds ZUL_Tools_VB, the card's capture library, with its\n"
  "C header, pkg-config file and CMake package, and a virtual card for\n"
  "testing without the hardware.")
string(CONCAT CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${ISOSTEP_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The shared libraries' own dependencies come from dpkg-shlibdeps; what the
# program loads as plugins, it cannot see: the SVG icons need the SVG image
# plugin, and TIFF input the extra image formats.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-image-formats-plugins")
# A shlibs file for packages built against the library, and the ldconfig
# trigger a package with a public library needs.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
# (The packaging tool also writes maintainer scripts that call ldconfig
# themselves; replacing them with empty ones only trades one warning for
# another.)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_SOURCE_DIR}/debian/triggers)
# Control files get Debian's modes, whatever the checkout's umask left.
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
