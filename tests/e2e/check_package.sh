#!/usr/bin/env bash
# Builds the Debian package from a build folder into a temporary folder and
# checks what a user installs: the program, its skins and pictures, the
# desktop entry, and a Depends line that names the Qt, ICU and OpenCC libraries.
set -euo pipefail
build="$1"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
(cd "$build" && cpack -G DEB -B "$out" >"$out/cpack.log" 2>&1) || { cat "$out/cpack.log"; exit 1; }
deb=$(find "$out" -maxdepth 1 -name 'txtreader_*.deb' | head -n 1)
[[ -n "$deb" ]] || { echo "no package made"; cat "$out/cpack.log"; exit 1; }
files=$(dpkg-deb -c "$deb")
for wanted in ./usr/bin/txtreader ./usr/share/txtreader/Skin/ ./usr/share/txtreader/SImage/ \
              ./usr/share/applications/; do
    grep -qF " $wanted" <<<"$files" || { echo "missing from the package: $wanted"; exit 1; }
done
depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6widgets6 libqt6core6 libicu libopencc; do
    grep -q "$library" <<<"$depends" || { echo "Depends does not name $library: $depends"; exit 1; }
done
echo "package ok: $(basename "$deb")"
