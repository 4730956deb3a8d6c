# Writes the manual page from the executable's own --help and --version text:
#   cmake -DEXE=... -DTEMPLATE=vaultra.1.in -DOUT=vaultra.1 -P gen_man.cmake
foreach(var EXE TEMPLATE OUT)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "gen_man.cmake: ${var} is not set")
  endif()
endforeach()

execute_process(COMMAND ${EXE} --help OUTPUT_VARIABLE help RESULT_VARIABLE rc_help)
execute_process(COMMAND ${EXE} --version OUTPUT_VARIABLE version RESULT_VARIABLE rc_version
                OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT rc_help EQUAL 0 OR NOT rc_version EQUAL 0)
  message(FATAL_ERROR "gen_man.cmake: ${EXE} --help/--version failed (${rc_help}, ${rc_version})")
endif()

# roff: a backslash is written \e, a hyphen \-, and a line must not start with "." or "'".
function(roff_escape text out)
  string(REPLACE "\\" "\\e" text "${text}")
  string(REPLACE "-" "\\-" text "${text}")
  string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# The help text: a "usage:" line, the command lines (indented), "exit status: ...".
if(NOT help MATCHES "^usage:\n((  [^\n]*\n)+)exit status: *([^\n]*)\n$")
  message(FATAL_ERROR "gen_man.cmake: unexpected help text:\n${help}")
endif()
set(SYNOPSIS "${CMAKE_MATCH_1}")
set(exit_status "${CMAKE_MATCH_3}")
string(REGEX REPLACE "(^|\n)  +" "\\1" SYNOPSIS "${SYNOPSIS}")
string(REGEX REPLACE "\n$" "" SYNOPSIS "${SYNOPSIS}")
roff_escape("${SYNOPSIS}" SYNOPSIS)
roff_escape("${exit_status}" EXIT_STATUS)

# "Vaultra 1.01 (Ver.2026.12.09)": the release heads the page, the date its foot.
if(NOT version MATCHES "^Vaultra ([^ ]+) \\(Ver\\.([^)]*)\\)$")
  message(FATAL_ERROR "gen_man.cmake: unexpected version text: ${version}")
endif()
set(VERSION "Vaultra ${CMAKE_MATCH_1}")
set(DATE "${CMAKE_MATCH_2}")
configure_file(${TEMPLATE} ${OUT} @ONLY)
