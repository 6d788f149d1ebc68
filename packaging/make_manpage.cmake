# Writes the manual page of velmora-cli around its own --help text: the options (and the
# examples) are taken from --help, so that the page and the program never differ.
# Usage: cmake -DCLI=<path to velmora-cli> -DOUT=<velmora-cli.1> -DVERSION=<x.y> -P make_manpage.cmake
execute_process(COMMAND "${CLI}" --help OUTPUT_VARIABLE help RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "velmora-cli --help failed (${rc})")
endif()

# roff treats a leading '.' or '\'' as a request and '\' as an escape.
string(REPLACE "\\" "\\e" help "${help}")
string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" help "${help}")

# The help's blocks: the text before "Options:", the options, and the examples after them.
string(FIND "${help}" "\nOptions:\n" options_at)
string(FIND "${help}" "\nExamples:\n" examples_at)
if(options_at EQUAL -1 OR examples_at EQUAL -1)
  message(FATAL_ERROR "velmora-cli --help has no Options: or Examples: block")
endif()
math(EXPR options_start "${options_at} + 10")
math(EXPR options_length "${examples_at} - ${options_start}")
math(EXPR examples_start "${examples_at} + 11")
string(SUBSTRING "${help}" ${options_start} ${options_length} options)
string(SUBSTRING "${help}" ${examples_start} -1 examples)
# Each block keeps its indentation and loses only the blank lines at its end.
string(REGEX REPLACE "\n+$" "" options "${options}")
string(REGEX REPLACE "\n+$" "" examples "${examples}")

file(WRITE "${OUT}" ".TH VELMORA-CLI 1 \"\" \"Velmora ${VERSION}\" \"User Commands\"
.SH NAME
velmora-cli \\- cast a Chinese palace-and-star natal chart in a terminal
.SH SYNOPSIS
.B velmora-cli
.RB [ \\-\\-date
.IR YYYY-MM-DD ]
.RB [ \\-\\-time
.IR HH:MM ]
.RB [ \\-\\-format
.IR FORMAT ]
.RB [ \\-\\-chart
.IR FILE ]
.RB [ \\-\\-zone
.IR ZONE
.RB [ \\-\\-longitude
.IR DEGREES
.RB [ \\-\\-solar
.IR mean | apparent ]]
.RB [ \\-\\-dst
.IR on | off ]]
.br
.B velmora-cli \\-\\-batch
.IR FILE | \\-
.RB [ \\-\\-jobs
.IR N ]
.SH DESCRIPTION
.B velmora-cli
casts a Chinese palace-and-star natal chart from a birth date and a local clock
time and prints its reading: the same chart, reading and board as the Velmora
window. It accepts births from 31 December 1901 23:00 to 31 December 2051 22:59,
local clock time. Without \\-\\-date and \\-\\-time it casts the present moment.
.PP
With \\-\\-zone the clock time is read in a time zone of the system's database
and the chart is cast from standard time, daylight saving time taken off; with
\\-\\-longitude too, from local mean solar time (4 minutes to the degree from the
zone's meridian), and with \\-\\-solar apparent from the sun's own time. Every
output then says which moment the chart was cast from.
.PP
With \\-\\-batch it reads one birth per line and writes one JSON object per line,
in input order, cast on one worker per core. A line may name its zone and
longitude after the time: 1990-01-15 12:00 Asia/Shanghai 87.6.
.SH OPTIONS
.nf
${options}
.fi
.SH EXIT STATUS
.TP
.B 0
Success.
.TP
.B 1
Done only in part: a batch held bad lines (each answered by an error object in
its place), or standard output was closed or could not be written.
.TP
.B 2
Nothing was cast: bad input, or a file that cannot be read or written; standard
output and the \\-\\-chart file are left untouched.
.SH ENVIRONMENT
.TP
.B NO_COLOR
When set to a non-empty value, the reading is not coloured unless
\\-\\-color=always asks for it; on a terminal it is still wrapped between words.
.TP
.B COLORTERM
When it is truecolor or 24bit, the reading shows its exact red, blue and maroon;
otherwise the nearest fixed colours of the 256-colour palette. Either way it
stands on a white paper of its own, so that it reads the same on dark and light
terminals.
.TP
.B TERM
On the Linux console (linux) the reading takes the 16 basic colours instead.
.SH EXAMPLES
.nf
${examples}
.fi
.SH SEE ALSO
.BR velmora (1)
casts the same chart in a window.
")
