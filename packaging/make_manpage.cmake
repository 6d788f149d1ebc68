# Writes the manual page of velmora-cli from its own --help text, so that the two never differ.
# Usage: cmake -DCLI=<path to velmora-cli> -DOUT=<velmora-cli.1> -DVERSION=<x.y> -P make_manpage.cmake
execute_process(COMMAND "${CLI}" --help OUTPUT_VARIABLE help RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "velmora-cli --help failed (${rc})")
endif()

# roff treats a leading '.' or '\'' as a request and '\' as an escape.
string(REPLACE "\\" "\\e" help "${help}")
string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" help "${help}")

string(TIMESTAMP today "%Y-%m-%d" UTC)
file(WRITE "${OUT}" ".TH VELMORA-CLI 1 \"${today}\" \"Velmora ${VERSION}\" \"User Commands\"
.SH NAME
velmora-cli \\- cast a Chinese palace-and-star natal chart in a terminal
.SH DESCRIPTION
.nf
${help}.fi
.SH SEE ALSO
The desktop program, velmora, casts the same chart in a window.
")
