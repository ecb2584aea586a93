# SPDX-FileCopyrightText: 2026 Tarvio developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Cross build for 64-bit Windows with Debian's mingw-w64 (posix threads, the
# flavour Qt for Windows was built with) against a Qt for Windows in
# QT_WIN_PREFIX; moc, rcc and lrelease come from the host's Qt of the same version.
#   cmake -S . -B build/windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/MinGW-w64.cmake \
#         -DQT_WIN_PREFIX=/path/to/qt-win
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

if(NOT QT_WIN_PREFIX)
  set(QT_WIN_PREFIX $ENV{QT_WIN_PREFIX})
endif()
if(NOT QT_WIN_PREFIX OR NOT EXISTS ${QT_WIN_PREFIX}/lib/cmake/Qt6/Qt6Config.cmake)
  message(FATAL_ERROR "QT_WIN_PREFIX (\"${QT_WIN_PREFIX}\") names no Qt for Windows")
endif()
# try_compile runs in a project of its own that must see the same Qt.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES QT_WIN_PREFIX)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 ${QT_WIN_PREFIX})
set(CMAKE_PREFIX_PATH ${QT_WIN_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Qt's configuration asks for its host tools by these two.
set(QT_HOST_PATH /usr CACHE PATH "")
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake CACHE PATH "")
