# The Debian package: cpack -G DEB (bash scripts/package.sh) makes veltrix_<version>-1_amd64.deb
# of everything `cmake --install` puts in place: veltrix, veltrix-cli, their man pages, the
# completion of veltrix-cli, the desktop entry, the AppStream metainfo, the .syx file type, the
# icons, the copyright and the changelog. packaging/README.md tells what lintian says of it.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME veltrix)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
# The Debian revision: the package carries a Debian changelog (packaging/changelog), whose
# latest entry names this version, so Debian sees it as a packaging of the release.
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "librarian for the Korg MS2000 synthesizer")
# Debian wants the lines of the long description under 80 characters.
string(CONCAT CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Veltrix lists the programs of Korg MS2000 System Exclusive dump files (.syx)\n"
    "in one grid, sorts and marks them, finds duplicates, auditions a program on\n"
    "the synthesizer over ALSA MIDI and puts together random programs from the\n"
    "library. It builds banks of 128 programs and receives and sends dumps.\n"
    "veltrix-cli lists ports and dumps, receives dumps from the synthesizer and\n"
    "sends them to it from the command line.")
# A placeholder address until the project has a home of its own (packaging/README.md).
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Veltrix developers <developers@veltrix.example.org>")
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
# The copyright, the changelog and the lintian overrides go into the package only.
set(CPACK_VELTRIX_SOURCE_DIR ${CMAKE_SOURCE_DIR})
set(CPACK_INSTALL_SCRIPTS ${CMAKE_SOURCE_DIR}/packaging/DebianFiles.cmake)
include(CPack)
