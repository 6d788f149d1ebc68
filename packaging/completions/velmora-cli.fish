# fish completion for velmora-cli
complete -c velmora-cli -f
complete -c velmora-cli -s h -l help -d 'Show the help and exit'
complete -c velmora-cli -l version -d 'Print the name and version and exit'
complete -c velmora-cli -l date -x -d 'Birth date, YYYY-MM-DD'
complete -c velmora-cli -l time -x -d 'Birth time, HH:MM on the 24-hour local clock'
complete -c velmora-cli -l format -x -a 'text ansi html json' -d 'What to print'
complete -c velmora-cli -l chart -r -F -a '(__fish_complete_suffix .png .svg)' -d 'Also draw the board into a PNG or SVG file'
complete -c velmora-cli -l batch -r -F -a '-' -d 'Cast one birth per line of a file (- for standard input)'
complete -c velmora-cli -l jobs -x -d 'Workers for --batch'
complete -c velmora-cli -l color -x -a 'auto always never' -d 'When to colour the reading'
