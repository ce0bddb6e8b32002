#!/usr/bin/env bash
# Installs what is missing, builds the reader and runs the whole test suite.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/scripts/bootstrap.sh"
export QT_QPA_PLATFORM=offscreen
cd "$here/build"
ctest --output-on-failure --timeout 300 -j "$(nproc)"
