#!/usr/bin/env bash
# Start-up time to a visible window, under Xvfb: the median of N starts of
# a portable copy of build/, each until its window is mapped (xdotool), with
# no argument (the help document or the built-in help) and with a book on
# the command line. Needs xvfb and xdotool; run after a build.
#   tools/startup_time.sh [RUNS] [BOOK]
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
runs="${1:-10}"
book="${2:-$here/tests/data/xiyouji.gbk.txt}"
program=$(mktemp -d)
trap 'rm -rf "$program"' EXIT
cp -r "$here/build/txtreader" "$here/build/Skin" "$here/build/SImage" "$program/"
cat > "$program/measure.sh" <<'MEASURE'
set -euo pipefail
program="$1"; runs="$2"; shift 2
times=()
for ((i = 0; i < runs; i++)); do
    start=$(date +%s%N)
    "$program/txtreader" "$@" 2>/dev/null &
    reader=$!
    # Our own poll, every 20 ms: xdotool's --sync looks only every half
    # second, which measured its own interval. Much faster polls crowd the
    # X server until a start cannot connect.
    until xdotool search --onlyvisible --class txtreader >/dev/null 2>&1; do
        sleep 0.02
    done
    times+=($(( ($(date +%s%N) - start) / 1000000 )))
    kill -TERM "$reader"; wait "$reader" || true
done
printf '%s\n' "${times[@]}" | sort -n | tr '\n' ' '
echo "-> median $(printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {print (NR%2 ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2)}') ms"
MEASURE
echo "no argument:"
xvfb-run -a -s "-screen 0 1600x900x24" bash "$program/measure.sh" "$program" "$runs"
echo "with $(basename "$book"):"
xvfb-run -a -s "-screen 0 1600x900x24" bash "$program/measure.sh" "$program" "$runs" "$book"
