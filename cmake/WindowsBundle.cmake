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
  if(TARGET Qt6::${module})
    install(FILES ${_tarvio_qt_bin}/Qt6${module}.dll DESTINATION .)
  endif()
endforeach()
install(FILES ${_tarvio_qt_prefix}/plugins/platforms/qwindows.dll DESTINATION plugins/platforms)
install(FILES ${_tarvio_qt_prefix}/plugins/styles/qwindowsvistastyle.dll DESTINATION plugins/styles)
install(DIRECTORY ${_tarvio_qt_prefix}/plugins/imageformats DESTINATION plugins FILES_MATCHING PATTERN "*.dll")
install(FILES ${_tarvio_qt_prefix}/plugins/iconengines/qsvgicon.dll DESTINATION plugins/iconengines)

# The compiler's own runtime: where the posix flavour of this GCC keeps it
# on Debian, or beside the compiler in a MinGW installed on Windows.
get_filename_component(_tarvio_compiler_dir ${CMAKE_CXX_COMPILER} DIRECTORY)
set(_tarvio_runtime)
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                  OUTPUT_VARIABLE _tarvio_found OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT IS_ABSOLUTE "${_tarvio_found}" OR NOT EXISTS "${_tarvio_found}")
    unset(_tarvio_found)
    find_file(_tarvio_found ${dll} PATHS ${_tarvio_compiler_dir} /usr/x86_64-w64-mingw32/lib
              NO_DEFAULT_PATH NO_CACHE NO_CMAKE_FIND_ROOT_PATH)
  endif()
  if(NOT _tarvio_found)
    message(FATAL_ERROR "${dll}, the compiler's runtime, is nowhere to be found")
  endif()
  list(APPEND _tarvio_runtime ${_tarvio_found})
endforeach()
install(FILES ${_tarvio_runtime} DESTINATION .)

# Qt's .qm files are the same on every platform: Debian's serve when this
# Qt came without them.
find_file(TARVIO_QTBASE_KO qtbase_ko.qm PATHS ${_tarvio_qt_prefix}/translations /usr/share/qt6/translations
          NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
if(TARVIO_QTBASE_KO)
  install(FILES ${TARVIO_QTBASE_KO} DESTINATION translations)
else()
  message(WARNING "qtbase_ko.qm not found (qt6-translations-l10n): Qt's own dialogs will speak English")
endif()
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/qt.conf "[Paths]\nPrefix = .\nPlugins = plugins\nTranslations = translations\n")
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/qt.conf DESTINATION .)
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/LICENSES/GPL-3.0-or-later.txt DESTINATION . RENAME COPYING.txt)
