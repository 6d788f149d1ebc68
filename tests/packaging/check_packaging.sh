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
./share/doc/velmora/copyright
./share/icons/hicolor/256x256/apps/velmora.png
./share/icons/hicolor/48x48/apps/velmora.png
./share/icons/hicolor/scalable/apps/velmora.svg
./share/man/man1/velmora-cli.1
./share/metainfo/io.github.velmora.Velmora.metainfo.xml
LIST
diff -u "$scratch/expected" "$scratch/manifest"

(cd "$build_dir" && cpack --config CPackConfig.cmake >/dev/null)
deb=$(ls "$build_dir"/packages/velmora_*.deb | head -n 1)
info=$(dpkg-deb --info "$deb")
grep -q '^ Depends: .*libqt6' <<<"$info" || { echo "package lists no Qt dependency"; exit 1; }
dpkg-deb -x "$deb" "$scratch/root"
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
