# SPDX-FileCopyrightText: 2026 Tarvio developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The runnable folder of a Windows build, everything the two programs need
# beside them:
#   cmake --install build/windows --prefix build/windows/Tarvio
# Qt's DLLs and the plugins the console loads at run time (the windows
# platform, the Vista style, image formats, the SVG icon engine), the MinGW
# runtime, Qt's Korean texts, and a qt.conf that tells Qt where they lie.
get_target_property(_tarvio_qtcore_dll Qt6::Core IMPORTED_LOCATION_RELEASE)
get_filename_component(_tarvio_qt_bin ${_tarvio_qtcore_dll} DIRECTORY)
get_filename_component(_tarvio_qt_prefix ${_tarvio_qt_bin} DIRECTORY)

foreach(module Core Gui Widgets SerialPort PrintSupport Charts Svg Network)
  if(EXISTS ${_tarvio_qt_bin}/Qt6${module}.dll)
    install(FILES ${_tarvio_qt_bin}/Qt6${module}.dll DESTINATION .)
  endif()
endforeach()
install(FILES ${_tarvio_qt_prefix}/plugins/platforms/qwindows.dll DESTINATION plugins/platforms)
install(FILES ${_tarvio_qt_prefix}/plugins/styles/qwindowsvistastyle.dll DESTINATION plugins/styles)
install(DIRECTORY ${_tarvio_qt_prefix}/plugins/imageformats DESTINATION plugins FILES_MATCHING PATTERN "*.dll")
install(FILES ${_tarvio_qt_prefix}/plugins/iconengines/qsvgicon.dll DESTINATION plugins/iconengines)

# The compiler's own runtime: where the posix flavour of this GCC keeps it.
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libstdc++-6.dll
                OUTPUT_VARIABLE _tarvio_libstdcxx OUTPUT_STRIP_TRAILING_WHITESPACE)
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libgcc_s_seh-1.dll
                OUTPUT_VARIABLE _tarvio_libgcc OUTPUT_STRIP_TRAILING_WHITESPACE)
find_file(TARVIO_WINPTHREAD_DLL libwinpthread-1.dll PATHS /usr/x86_64-w64-mingw32/lib
          NO_CMAKE_FIND_ROOT_PATH REQUIRED)
foreach(dll ${_tarvio_libstdcxx} ${_tarvio_libgcc})
  if(NOT IS_ABSOLUTE ${dll} OR NOT EXISTS ${dll})
    message(FATAL_ERROR "The compiler does not say where its runtime ${dll} is")
  endif()
endforeach()
install(FILES ${_tarvio_libstdcxx} ${_tarvio_libgcc} ${TARVIO_WINPTHREAD_DLL} DESTINATION .)

# Qt's .qm files are the same on every platform; Debian's serve.
find_file(TARVIO_QTBASE_KO qtbase_ko.qm PATHS /usr/share/qt6/translations NO_CMAKE_FIND_ROOT_PATH)
if(TARVIO_QTBASE_KO)
  install(FILES ${TARVIO_QTBASE_KO} DESTINATION translations)
else()
  message(WARNING "qtbase_ko.qm not found (qt6-translations-l10n): Qt's own dialogs will speak English")
endif()
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/qt.conf "[Paths]\nPrefix = .\nPlugins = plugins\nTranslations = translations\n")
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/qt.conf DESTINATION .)
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/LICENSES/GPL-3.0-or-later.txt DESTINATION . RENAME COPYING.txt)
