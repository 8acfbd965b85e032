# The Debian package: cpack -G DEB (bash scripts/package.sh) makes veltrix_<version>_amd64.deb
# of everything `cmake --install` puts in place: veltrix, veltrix-cli, the desktop entry, the
# .syx file type and the icons.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME veltrix)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "librarian for the Korg MS2000 synthesizer")
string(CONCAT CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Veltrix lists the programs of Korg MS2000 System Exclusive dump files (.syx) in one grid,\n"
    "sorts and marks them, finds duplicates, auditions a program on the synthesizer over ALSA MIDI\n"
    "and puts together random programs from the library. veltrix-cli lists ports and dumps,\n"
    "receives dumps from the synthesizer and sends them to it from the command line.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Veltrix developers <veltrix@localhost>")
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# The libraries the programs link against, with their versions, as dpkg-shlibdeps finds them
# (Qt 6 Widgets, ALSA, the C and C++ run-times). Qt's platform plugins are a package of their
# own that libqt6gui6 only recommends; without them the window cannot open.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_STRIP_FILES ON)
# gzip packs the few megabytes quickest; the package is built in every CI run.
set(CPACK_DEBIAN_COMPRESSION_TYPE gzip)
include(CPack)
