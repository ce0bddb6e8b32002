#!/usr/bin/env bash
# Installs what is missing, builds the reader and starts it.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/scripts/bootstrap.sh"
if [[ -x "$here/build/txtreader" ]]; then
    exec "$here/build/txtreader" "$@"
fi
# Until the window exists: the chapter table of a corpus book.
"$here/build/tools/txtchapters" "$here/tests/data/xiyouji.gbk.txt" | cut -c1-120
