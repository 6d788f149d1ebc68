# bash completion for velmora-cli
_velmora_cli() {
  local cur prev
  cur=${COMP_WORDS[COMP_CWORD]}
  prev=${COMP_WORDS[COMP_CWORD-1]}
  case $prev in
    --format) mapfile -t COMPREPLY < <(compgen -W 'text ansi html json' -- "$cur"); return ;;
    --color) mapfile -t COMPREPLY < <(compgen -W 'auto always never' -- "$cur"); return ;;
    --chart) compopt -o filenames; mapfile -t COMPREPLY < <(compgen -f -X '!*.@(png|svg|PNG|SVG)' -- "$cur"; compgen -d -- "$cur"); return ;;
    --batch) compopt -o filenames; mapfile -t COMPREPLY < <(compgen -W '-' -- "$cur"; compgen -f -- "$cur"); return ;;
    --solar) mapfile -t COMPREPLY < <(compgen -W 'standard mean apparent' -- "$cur"); return ;;
    --dst) mapfile -t COMPREPLY < <(compgen -W 'on off' -- "$cur"); return ;;
    --zone) mapfile -t COMPREPLY < <(compgen -W "$(velmora-cli --zones 2>/dev/null)" -- "$cur"); return ;;
    --date | --time | --jobs | --longitude | --place | --places) return ;;
  esac
  if [[ $cur == --color=* ]]; then
    mapfile -t COMPREPLY < <(compgen -P '--color=' -W 'auto always never' -- "${cur#--color=}")
    return
  fi
  mapfile -t COMPREPLY < <(compgen -W '--help -h --version --date --time --format --chart --batch --jobs --color --place --zone --longitude --solar --dst --places --zones' -- "$cur")
}
complete -F _velmora_cli velmora-cli
