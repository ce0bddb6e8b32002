#!/usr/bin/env bash
# Installs what is missing, builds the reader with warnings as errors and
# runs the whole test suite, then the style and static checks.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/scripts/bootstrap.sh" -DREADER_WERROR=ON
export QT_QPA_PLATFORM=offscreen
(cd "$here/build" && ctest --output-on-failure --timeout 300 -j "$(nproc)")
"$here/scripts/check_style.sh"
"$here/scripts/sanitize_and_fuzz.sh"
