#!/usr/bin/env bash
# Takes the README's screenshots of the real window under Xvfb: a corpus
# book opened through the File menu, a chapter, then the contents view.
# Needs xvfb, xdotool and imagemagick; run after a build.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
program=$(mktemp -d)
trap 'rm -rf "$program"' EXIT
cp -r "$here/build/txtreader" "$here/build/Skin" "$here/build/SImage" "$program/"
cp "$here/tests/data/hongloumeng.gbk.txt" "$program/红楼梦.txt"
cat > "$program/shoot.sh" <<SHOOT
cd "$program"
./txtreader &
sleep 3
xdotool mousemove 21 11 click 1; sleep 0.5       # 文件
xdotool mousemove 45 34 click 1; sleep 1.5       # 打开
xdotool type --delay 20 "$program/红楼梦.txt"; xdotool key Return; sleep 3
xdotool key Next; sleep 0.3; xdotool key Next; sleep 0.5
import -window root "$here/docs/reader-window.png"
xdotool key Home; sleep 0.5
import -window root "$here/docs/contents-view.png"
kill %1
SHOOT
xvfb-run -a -s "-screen 0 1600x900x24" bash "$program/shoot.sh"
