# `cpack -G DEB` in the build folder makes a Debian package of the installed program.
set(CPACK_PACKAGE_NAME "kelvaropro")
set(CPACK_PACKAGE_VENDOR "Kelvaro Pro")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Prints artwork with a white layer on white-toner colour page printers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Kelvaro Pro developers <kelvaro@localhost>")
set(CPACK_DEBIAN_PACKAGE_SECTION "graphics")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The libraries the programs link, from the archive's own packages.
find_program(KELVARO_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(KELVARO_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS
      "libc6, libstdc++6, libcups2, liblcms2-2, libdevil1c2, libqt6widgets6, libqt6gui6, libqt6core6, libqt6svg6")
endif()
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "cups-client")
include(CPack)
