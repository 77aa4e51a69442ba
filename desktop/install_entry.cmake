# SPDX-License-Identifier: MIT
# Writes the desktop entry with the paths of this installation. Runs inside
# `cmake --install`, after the variables qrgen_* have been set for it.

# A value as the desktop entry format reads it: backslash, newline, tab and carriage
# return escaped.
function(qrgen_entry_string out value)
  string(REPLACE "\\" "\\\\" value "${value}")
  string(REPLACE "\n" "\\n" value "${value}")
  string(REPLACE "\t" "\\t" value "${value}")
  string(REPLACE "\r" "\\r" value "${value}")
  set(${out} "${value}" PARENT_SCOPE)
endfunction()

# One argument of an Exec line: quoted, with the characters special inside quotes escaped,
# a literal percent sign doubled, and then escaped as any string value.
function(qrgen_entry_argument out value)
  string(REPLACE "\\" "\\\\" value "${value}")
  foreach(special "\"" "`" "$")
    string(REPLACE "${special}" "\\${special}" value "${value}")
  endforeach()
  string(REPLACE "%" "%%" value "${value}")
  qrgen_entry_string(value "\"${value}\"")
  set(${out} "${value}" PARENT_SCOPE)
endfunction()

if(IS_ABSOLUTE "${CMAKE_INSTALL_PREFIX}")
  set(prefix "${CMAKE_INSTALL_PREFIX}")
else()
  # A relative prefix is taken from where cmake --install runs; the entry needs it whole.
  get_filename_component(prefix "${CMAKE_INSTALL_PREFIX}" ABSOLUTE)
endif()
if(prefix MATCHES "[\n\r]")
  message(FATAL_ERROR "A desktop entry cannot name a prefix with a line break: ${prefix}")
endif()

qrgen_entry_argument(QRGEN_EXEC "${prefix}/${qrgen_program}")
qrgen_entry_string(QRGEN_TRY_EXEC "${prefix}/${qrgen_program}")
qrgen_entry_string(QRGEN_ICON "${prefix}/${qrgen_icon}")
set(QRGEN_WINDOW_CLASS "${qrgen_window_class}")
set(entry "${qrgen_entry_staging}/${qrgen_desktop_id}.desktop")
configure_file("${qrgen_entry_template}" "${entry}" @ONLY)
file(INSTALL DESTINATION "${prefix}/${qrgen_entry_folder}" TYPE FILE FILES "${entry}")
