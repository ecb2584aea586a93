# SPDX-FileCopyrightText: 2026 Tarvio developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Compiles every header of the logic library on its own, with QtCore as the
# only Qt module on the include path: a window or widget header pulled into
# the logic, directly or through another header, fails the build here rather
# than in the first test that wants to run without a window.
function(tarvio_check_logic_headers target)
  get_target_property(sources ${target} SOURCES)
  set(units)
  foreach(source IN LISTS sources)
    if(NOT source MATCHES "\\.h$")
      continue()
    endif()
    file(RELATIVE_PATH header ${CMAKE_SOURCE_DIR} ${source})
    string(MAKE_C_IDENTIFIER ${header} stem)
    set(unit ${CMAKE_BINARY_DIR}/logic_header_check/${stem}.cpp)
    file(CONFIGURE OUTPUT ${unit} CONTENT "#include \"${header}\"\n")
    list(APPEND units ${unit})
  endforeach()
  add_library(${target}_header_check OBJECT ${units})
  set_target_properties(${target}_header_check PROPERTIES AUTOMOC OFF)
  target_include_directories(${target}_header_check PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(${target}_header_check PRIVATE Qt6::Core)
endfunction()
