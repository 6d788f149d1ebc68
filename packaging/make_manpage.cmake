# Writes the manual page of velmora-cli around its options and examples, which the program's own
# tables give (through velmora-cli-manpage), so that the page and --help never differ.
# Usage: cmake -DPARTS=<path to velmora-cli-manpage> -DOUT=<velmora-cli.1> -DVERSION=<x.y>
#              -P make_manpage.cmake
execute_process(COMMAND "${PARTS}" OUTPUT_VARIABLE parts RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "velmora-cli-manpage failed (${rc})")
endif()
string(FIND "${parts}" "\n--\n" split_at)
if(split_at EQUAL -1)
  message(FATAL_ERROR "velmora-cli-manpage printed no examples")
endif()
string(SUBSTRING "${parts}" 0 ${split_at} options)
math(EXPR examples_start "${split_at} + 4")
string(SUBSTRING "${parts}" ${examples_start} -1 examples)
string(REGEX REPLACE "\n+$" "" examples "${examples}")

# The birth place, as a single cast and a batch both take it.
set(place_synopsis ".RB [ \\-\\-place
.I CITY
|
.B \\-\\-zone
.I ZONE
.RB [ \\-\\-longitude
.IR DEGREES ]]
.RB [ \\-\\-solar
.IR standard | mean | apparent ]
.RB [ \\-\\-dst
.IR on | off ]")

file(WRITE "${OUT}" ".TH VELMORA-CLI 1 \"\" \"Velmora ${VERSION}\" \"User Commands\"
.SH NAME
velmora-cli \\- cast a Chinese palace-and-star natal chart in a terminal
.SH SYNOPSIS
.ad l
.nh
.B velmora-cli
.RB [ \\-\\-date
.IR YYYY-MM-DD ]
.RB [ \\-\\-time
.IR HH:MM ]
.RB [ \\-\\-format
.IR text | ansi | html | json ]
.RB [ \\-\\-color
.IR auto | always | never ]
.RB [ \\-\\-chart
.IR FILE ]
${place_synopsis}
.br
.B velmora-cli \\-\\-batch
.IR FILE | \\-
.RB [ \\-\\-jobs
.IR N ]
${place_synopsis}
.br
.B velmora-cli \\-\\-places
.I QUERY
.br
.B velmora-cli \\-\\-zones
.br
.B velmora-cli
.RB [ \\-\\-help | \\-\\-version ]
.hy
.ad
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
With \\-\\-place the zone and longitude are those of a city of 15,000 people or
more, from GeoNames; \\-\\-places lists the cities a name finds, \\-\\-zones the
zone names.
.PP
With \\-\\-batch it reads one birth per line and writes one JSON object per line,
in input order, cast on one worker per core. A line may name its birth place
after the time: a zone and a longitude, 1990-01-15 12:00 Asia/Shanghai 87.6, a
zone by any name \\-\\-zone takes, 1990-01-15 12:00 Japan, or a city,
1990-01-15 12:00 Springfield, Illinois; then dst=on or dst=off for an hour the
clocks showed twice. Text after a tab is the line's identifier.
.SH OPTIONS
${options}
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
.PP
A batch stopped by SIGINT or SIGTERM writes every answer it has whole, says how
many lines it answered, and ends as that signal ends a program.
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
