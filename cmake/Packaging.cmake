# SPDX-FileCopyrightText: 2026 Tarvio developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Installation of the desktop entry, icon, metadata, manual pages and documents,
# and the Debian package:
#   cmake --install <build> --prefix /usr      installs the programs and all of these
#   cd <build> && cpack -G DEB                 builds tarvio_<version>_<arch>.deb
# The programs themselves are installed by the top CMakeLists.txt.
include(GNUInstallDirs)

set(_tarvio_packaging ${CMAKE_CURRENT_SOURCE_DIR}/packaging)
set(_tarvio_docdir ${CMAKE_INSTALL_DATADIR}/doc/tarvio)
set(TARVIO_APPSTREAM_ID invalid.tarvio.tarvio)

# The changelog's and the metadata's newest release must be the version
# project() gives, or the package would describe another release than it holds.
file(STRINGS ${_tarvio_packaging}/changelog _tarvio_changelog_top LIMIT_COUNT 1)
if(NOT _tarvio_changelog_top MATCHES "^tarvio \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "packaging/changelog starts with \"${_tarvio_changelog_top}\", not version ${PROJECT_VERSION}")
endif()
file(STRINGS ${_tarvio_packaging}/tarvio.metainfo.xml _tarvio_releases REGEX "<release ")
list(GET _tarvio_releases 0 _tarvio_newest_release)
if(NOT _tarvio_newest_release MATCHES "version=\"${PROJECT_VERSION}\"")
  message(FATAL_ERROR "packaging/tarvio.metainfo.xml names \"${_tarvio_newest_release}\" first, not version ${PROJECT_VERSION}")
endif()

install(FILES ${_tarvio_packaging}/tarvio.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${_tarvio_packaging}/tarvio.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${_tarvio_packaging}/tarvio.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo RENAME ${TARVIO_APPSTREAM_ID}.metainfo.xml)

# Debian wants the changelog and the manual pages compressed, without a
# time stamp in the gzip header so that two builds give the same bytes.
find_program(TARVIO_GZIP gzip REQUIRED)
set(_tarvio_generated ${CMAKE_CURRENT_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${_tarvio_generated})
add_custom_command(OUTPUT ${_tarvio_generated}/changelog.gz
  COMMAND ${CMAKE_COMMAND} -E copy ${_tarvio_packaging}/changelog ${_tarvio_generated}/changelog
  COMMAND ${TARVIO_GZIP} -9nf ${_tarvio_generated}/changelog
  DEPENDS ${_tarvio_packaging}/changelog VERBATIM)
set(_tarvio_package_files ${_tarvio_generated}/changelog.gz)

# The manual pages are made from the programs' own --help and --version, so
# they cannot fall behind the options. A sanitizer build's programs may
# report at exit and fail help2man; that build does not package.
find_program(TARVIO_HELP2MAN help2man)
if(TARVIO_HELP2MAN AND NOT TARVIO_SANITIZE AND NOT CMAKE_CROSSCOMPILING)
  set(_tarvio_man_targets tarvio tarvio-run)
  if(TARGET tarvio-sim)
    list(APPEND _tarvio_man_targets tarvio-sim)
  endif()
  foreach(program ${_tarvio_man_targets})
    set(page ${_tarvio_generated}/${program}.1)
    add_custom_command(OUTPUT ${page}.gz
      COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY LC_ALL=C.UTF-8
              ${TARVIO_HELP2MAN} --no-info --section=1 --include=${_tarvio_packaging}/${program}.h2m
              --output=${page} $<TARGET_FILE:${program}>
      COMMAND ${TARVIO_GZIP} -9nf ${page}
      DEPENDS ${program} ${_tarvio_packaging}/${program}.h2m VERBATIM)
    list(APPEND _tarvio_package_files ${page}.gz)
    install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  endforeach()
else()
  message(STATUS "help2man not found (or a sanitizer build): no manual pages; install help2man for them")
endif()
add_custom_target(tarvio_package_files ALL DEPENDS ${_tarvio_package_files})

install(FILES ${_tarvio_packaging}/copyright ${_tarvio_generated}/changelog.gz DESTINATION ${_tarvio_docdir})
# The documents link their pictures by name, so they lie side by side.
file(GLOB _tarvio_pictures CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/docs/*.png)
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/docs/operator-guide.md ${CMAKE_CURRENT_SOURCE_DIR}/docs/operator-guide.en.md
              ${CMAKE_CURRENT_SOURCE_DIR}/docs/file-formats.md
              ${CMAKE_CURRENT_SOURCE_DIR}/docs/simulator.md ${_tarvio_pictures}
        DESTINATION ${_tarvio_docdir})
install(FILES ${_tarvio_packaging}/examples/tarvio-run-monitor.service DESTINATION ${_tarvio_docdir}/examples)

# Hardening Debian expects of every program it ships (lintian checks it):
# relocations read-only once they are bound, all of them at start-up. Only
# an ELF linker knows these options; a PE linker stops at them.
if(CMAKE_EXECUTABLE_FORMAT STREQUAL "ELF")
  foreach(program tarvio tarvio-run tarvio-sim)
    if(TARGET ${program})
      target_link_options(${program} PRIVATE -Wl,-z,relro -Wl,-z,now)
    endif()
  endforeach()
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarvio)
set(CPACK_PACKAGE_VENDOR "Tarvio developers")
set(CPACK_PACKAGE_CONTACT "Tarvio developers <tarvio-devel@lists.tarvio.invalid>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Test console for programmable DC power supplies over RS-232C")
set(CPACK_PACKAGE_DESCRIPTION
    "Tarvio opens a serial port to a programmable DC power supply with one or two
outputs, composes and sends its commands once or repeatedly, shows measured
voltage and current live, draws them as a trend plot and logs them to a daily
file, and runs timed output patterns, in Korean or in English. It comes with
tarvio-run, which plays patterns and monitors from a script or a service
without a window, and with tarvio-sim, a simulated supply on a pseudo-terminal
for practice without hardware.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Stripped of symbols and debug information; the build ID note stays.
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_PACKAGE_NAME tarvio)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Tarvio developers <tarvio-devel@lists.tarvio.invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)

# Qt loads its platform plugins at run time, the charts and the vector export
# come from Qt Charts and Qt SVG, Qt's own dialogs take their Korean from Qt's
# translations, and the Korean captions need a Korean font,
# so no library scan finds these.
set(_tarvio_runtime_extras
    "qt6-qpa-plugins, libqt6charts6, libqt6svg6, qt6-translations-l10n, fonts-nanum, fonts-nanum-coding, fonts-dejavu-core")
find_program(TARVIO_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(TARVIO_DPKG_SHLIBDEPS)
  # The scan names the packages of the libraries the programs link, with
  # the versions they need: libqt6core6, libqt6gui6, libqt6widgets6,
  # libqt6serialport6, libqt6network6, libqt6printsupport6, libqt6charts6,
  # libqt6svg6, libc6, libstdc++6 and so on.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "${_tarvio_runtime_extras}")
else()
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS
      "libqt6core6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6widgets6 (>= 6.4), libqt6serialport6 (>= 6.4), libqt6network6 (>= 6.4), libqt6printsupport6 (>= 6.4), libqt6charts6 (>= 6.4), libqt6svg6 (>= 6.4), ${_tarvio_runtime_extras}")
endif()

include(CPack)
