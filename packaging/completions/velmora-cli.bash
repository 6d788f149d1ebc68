# bash completion for velmora-cli
_velmora_cli() {
  local cur prev option
  cur=${COMP_WORDS[COMP_CWORD]}
  prev=${COMP_WORDS[COMP_CWORD-1]}
  # bash cuts "--color=al" into "--color", "=" and "al": the option is the word before the "=".
  option=$prev
  if [[ $cur == = ]]; then
    cur=
  elif [[ $prev == = && $COMP_CWORD -ge 2 ]]; then
    option=${COMP_WORDS[COMP_CWORD-2]}
  fi
  case $option in
    --format) mapfile -t COMPREPLY < <(compgen -W 'text ansi html json' -- "$cur"); return ;;
    --color) mapfile -t COMPREPLY < <(compgen -W 'auto always never' -- "$cur"); return ;;
    --chart) compopt -o filenames; mapfile -t COMPREPLY < <(compgen -f -X '!*.@(png|svg|PNG|SVG)' -- "$cur"; compgen -d -- "$cur"); return ;;
    --batch) compopt -o filenames; mapfile -t COMPREPLY < <(compgen -W '-' -- "$cur"; compgen -f -- "$cur"); return ;;
    --solar) mapfile -t COMPREPLY < <(compgen -W 'standard mean apparent' -- "$cur"); return ;;
    --dst) mapfile -t COMPREPLY < <(compgen -W 'on off' -- "$cur"); return ;;
    --zone) mapfile -t COMPREPLY < <(compgen -W "$(velmora-cli --zones 2>/dev/null)" -- "$cur"); return ;;
    --place | --places)
      # The cities velmora-cli finds for what is typed so far, most populous first, each as
      # --places labels it; bash quotes the spaces and commas as it does a file name's.
      local typed=${cur#[\"\']}
      [[ -n $typed ]] || return
      compopt -o filenames -o nosort 2>/dev/null
      mapfile -t COMPREPLY < <(velmora-cli --places "$typed" 2>/dev/null | cut -f 1)
      return ;;
    --date | --time | --jobs | --longitude) return ;;
  esac
  mapfile -t COMPREPLY < <(compgen -W '--help -h --version --date --time --format --chart --batch --jobs --color --place --zone --longitude --solar --dst --places --zones' -- "$cur")
}
complete -F _velmora_cli velmora-cli
