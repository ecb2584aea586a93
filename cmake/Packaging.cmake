# Installation of the desktop entry and icon, and the Debian package:
#   cmake --install <build> --prefix /usr      installs the programs, the entry and the icon
#   cd <build> && cpack -G DEB                 builds tarvio_<version>_<arch>.deb
# The programs themselves are installed by the top CMakeLists.txt.
include(GNUInstallDirs)

install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/packaging/tarvio.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/packaging/tarvio.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarvio)
set(CPACK_PACKAGE_VENDOR "Tarvio developers")
set(CPACK_PACKAGE_CONTACT "Tarvio developers <tarvio@localhost>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Test console for programmable DC power supplies over RS-232C")
set(CPACK_PACKAGE_DESCRIPTION
    "Tarvio opens a serial port to a programmable DC power supply with one or two
outputs, composes and sends its commands once or repeatedly, shows measured
voltage and current live and logs them to a daily file, and runs timed output
patterns. The Korean user interface comes with tarvio-sim, a simulated supply
on a pseudo-terminal for practice without hardware.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_PACKAGE_NAME tarvio)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Tarvio developers <tarvio@localhost>")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)

# Qt loads its platform plugins at run time and the Korean captions need a
# Korean font, so no library scan finds these.
set(_tarvio_runtime_extras "qt6-qpa-plugins, fonts-nanum, fonts-nanum-coding, fonts-dejavu-core")
find_program(TARVIO_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(TARVIO_DPKG_SHLIBDEPS)
  # The scan names the packages of the libraries the programs link, with
  # the versions they need: libqt6core6, libqt6gui6, libqt6widgets6,
  # libqt6serialport6, libqt6printsupport6, libqt6charts6, libqt6svg6,
  # libc6, libstdc++6 and so on.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "${_tarvio_runtime_extras}")
else()
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS
      "libqt6core6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6widgets6 (>= 6.4), libqt6serialport6 (>= 6.4), libqt6printsupport6 (>= 6.4), libqt6charts6 (>= 6.4), libqt6svg6 (>= 6.4), ${_tarvio_runtime_extras}")
endif()

include(CPack)
