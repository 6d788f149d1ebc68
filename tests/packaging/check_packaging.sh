#!/usr/bin/env bash
# Checks what a user installs: the desktop files validate, `cmake --install` lays down exactly the
# expected files, and the Debian package unpacks into a scratch root whose velmora-cli works and
# prints the same reading as the build tree's.
set -euo pipefail
source_dir=$1
build_dir=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

desktop-file-validate "$source_dir/packaging/velmora.desktop"
appstreamcli validate --no-net "$build_dir/packaging/io.github.velmora.Velmora.metainfo.xml"

cmake --install "$build_dir" --prefix "$scratch/prefix" >/dev/null
(cd "$scratch/prefix" && find . -type f | sort) > "$scratch/manifest"
cat > "$scratch/expected" <<'LIST'
./bin/velmora
./bin/velmora-cli
./share/applications/velmora.desktop
./share/bash-completion/completions/velmora-cli
./share/doc/velmora/changelog.Debian.gz
./share/doc/velmora/copyright
./share/doc/velmora/json.md.gz
./share/doc/velmora/velmora-chart.schema.json
./share/fish/vendor_completions.d/velmora-cli.fish
./share/icons/hicolor/256x256/apps/velmora.png
./share/icons/hicolor/48x48/apps/velmora.png
./share/icons/hicolor/scalable/apps/velmora.svg
./share/man/man1/velmora-cli.1.gz
./share/man/man1/velmora.1.gz
./share/metainfo/io.github.velmora.Velmora.metainfo.xml
./share/zsh/vendor-completions/_velmora-cli
LIST
diff -u "$scratch/expected" "$scratch/manifest"

(cd "$build_dir" && cpack --config CPackConfig.cmake >/dev/null)
deb=$(ls "$build_dir"/packages/velmora_*.deb | head -n 1)
info=$(dpkg-deb --info "$deb")
grep -q '^ Depends: .*libqt6' <<<"$info" || { echo "package lists no Qt dependency"; exit 1; }
# The package passes lintian: any error fails the check; warnings are shown.
lintian --tag-display-limit 0 "$deb" > "$scratch/lintian" 2>&1 || true
cat "$scratch/lintian"
if grep -q '^E:' "$scratch/lintian"; then echo "lintian found errors in the package"; exit 1; fi
dpkg-deb -x "$deb" "$scratch/root"
# The manual pages read without a warning, and the bash completion offers the options.
for page in velmora velmora-cli; do
  [ -z "$(MANWIDTH=80 man --warnings -l "$scratch/root/usr/share/man/man1/$page.1.gz" 2>&1 >/dev/null)" ] ||
    { echo "$page.1 has roff warnings"; exit 1; }
done
zcat "$scratch/root/usr/share/man/man1/velmora-cli.1.gz" | grep -q '^\.SH OPTIONS' ||
  { echo "velmora-cli.1 has no OPTIONS"; exit 1; }
# Its options are entries of their own, which the reader's width wraps, and its exit statuses
# are told once.
narrow=$(MANWIDTH=40 man -l "$scratch/root/usr/share/man/man1/velmora-cli.1.gz" 2>/dev/null)
wide=$(sed -n '/^OPTIONS/,/^EXIT STATUS/p' <<<"$narrow" | awk 'length > 40')
[ -z "$wide" ] || { echo "velmora-cli.1's options are wider than 40 columns at MANWIDTH=40:"; echo "$wide"; exit 1; }
[ "$(grep -ci 'exit status' <<<"$narrow")" = 1 ] || { echo "velmora-cli.1 tells its exit status twice"; exit 1; }
MANWIDTH=80 man -l "$scratch/root/usr/share/man/man1/velmora.1.gz" 2>/dev/null | grep -q 'Ctrl+B' ||
  { echo "velmora.1 says nothing of Birth Place (Ctrl+B)"; exit 1; }
completions=$(bash -c 'source "$1"; COMP_WORDS=(velmora-cli --format ""); COMP_CWORD=2
  _velmora_cli; echo "${COMPREPLY[*]}"' _ "$scratch/root/usr/share/bash-completion/completions/velmora-cli")
[ "$completions" = "text ansi html json" ] || { echo "bash completes --format with: $completions"; exit 1; }
# bash cuts "--color=al" into three words, "--color", "=" and "al"; the values still complete.
for case in '3 --color = al:always' '2 --color =:auto always never' '3 --format = j:json'; do
  words=${case%%:*}
  completions=$(bash -c 'source "$1"; COMP_CWORD=${2%% *}; read -ra COMP_WORDS <<<"velmora-cli ${2#* }"
    _velmora_cli; echo "${COMPREPLY[*]}"' _ "$scratch/root/usr/share/bash-completion/completions/velmora-cli" "$words")
  [ "$completions" = "${case#*:}" ] || { echo "bash completes ${words#* } with: $completions"; exit 1; }
done
# --place completes with the cities velmora-cli finds, as --places labels them.
places=$(PATH="$scratch/root/usr/bin:$PATH" bash -c 'source "$1"; COMP_WORDS=(velmora-cli --place urumq)
  COMP_CWORD=2; _velmora_cli; printf "%s\n" "${COMPREPLY[@]}"' _ "$scratch/root/usr/share/bash-completion/completions/velmora-cli" 2>/dev/null)
[ "$(head -n 1 <<<"$places")" = "Ürümqi, Xinjiang Uyghur Autonomous Region, China" ] ||
  { echo "bash completes --place urumq with: $places"; exit 1; }
# The synopsis names every way to call velmora-cli.
synopsis=$(MANWIDTH=200 man -l "$scratch/root/usr/share/man/man1/velmora-cli.1.gz" 2>/dev/null | sed -n '/^SYNOPSIS/,/^DESCRIPTION/p')
for option in --place --places --zones --color --zone --batch --dst; do
  grep -q -- "$option" <<<"$synopsis" || { echo "velmora-cli.1's SYNOPSIS lacks $option"; exit 1; }
done
[ -n "$(zcat "$scratch/root/usr/share/doc/velmora/json.md.gz" | grep '^# ')" ] || { echo "json.md.gz is empty"; exit 1; }
python3 -c 'import json, sys; json.load(open(sys.argv[1]))' "$scratch/root/usr/share/doc/velmora/velmora-chart.schema.json"
# --zone completes with every name velmora-cli takes, the old ones included.
zones=$(PATH="$scratch/root/usr/bin:$PATH" bash -c 'source "$1"; COMP_WORDS=(velmora-cli --zone Asia/Calc)
  COMP_CWORD=2; _velmora_cli; echo "${COMPREPLY[*]}"' _ "$scratch/root/usr/share/bash-completion/completions/velmora-cli")
[ "$zones" = "Asia/Calcutta" ] || { echo "bash completes --zone Asia/Calc with: $zones"; exit 1; }
version=$("$build_dir/src/cli/velmora-cli" --version)
[[ $version =~ ^Velmora\ [0-9]+\.[0-9]+$ ]] || { echo "odd version line: $version"; exit 1; }
[ "$("$scratch/root/usr/bin/velmora-cli" --version)" = "$version" ]
grep -q "release version=\"${version#Velmora }\"" \
  "$scratch/root/usr/share/metainfo/io.github.velmora.Velmora.metainfo.xml"
[ "$(dpkg-deb --field "$deb" Version)" = "${version#Velmora }" ]
"$scratch/root/usr/bin/velmora-cli" --date 2000-02-04 --time 23:00 --format text > "$scratch/installed.txt"
"$build_dir/src/cli/velmora-cli" --date 2000-02-04 --time 23:00 --format text > "$scratch/built.txt"
cmp "$scratch/installed.txt" "$scratch/built.txt"
[ "$(head -n 1 "$scratch/installed.txt")" = "Place:Life" ]
echo "packaging: 1 passed, 0 failed"
