#!/usr/bin/env bash
# The habits that keep the code as it is: formatted by .clang-format, clean
# under .clang-tidy, and no include circle between the folders of src/.
# Needs a configured build/ (for compile_commands.json).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$here"

python3 tools/check_layers.py src

mapfile -t sources < <(git ls-files -- '*.cpp' '*.h' 2>/dev/null || find src tests bench tools fuzz -name '*.cpp' -o -name '*.h')
if command -v clang-format >/dev/null; then
    clang-format --dry-run -Werror "${sources[@]}"
else
    echo "clang-format is not installed: formatting not checked"
fi

if command -v run-clang-tidy >/dev/null; then
    # The compile commands without the precompiled headers: clang-tidy reads
    # each file with its own includes only (so none goes missing unseen), and
    # never mistakes GCC's precompiled header for one of its own.
    mkdir -p build/tidy
    python3 - build/compile_commands.json build/tidy/compile_commands.json <<'EOF'
import json, re, sys
commands = json.load(open(sys.argv[1]))
for entry in commands:
    entry['command'] = re.sub(r' -Winvalid-pch| -include \S*cmake_pch\.hxx', '', entry['command'])
json.dump(commands, open(sys.argv[2], 'w'))
EOF
    # Only the files that changed since the last whole clean run, with those
    # that include a changed header (TIDY_ALL=1: every file of src/).
    mapfile -t targets < <(python3 tools/tidy_targets.py "$here" build)
    echo "clang-tidy: ${#targets[@]} files of src/ to read"
    ((${#targets[@]})) || { echo "Style checks passed."; exit 0; }
    run-clang-tidy -p build/tidy -j "$(nproc)" -quiet "${targets[@]/#/^}" >build/clang-tidy.log 2>&1 || {
        grep -E 'warning:|error:' build/clang-tidy.log
        echo "clang-tidy found problems (build/clang-tidy.log)"
        exit 1
    }
else
    echo "clang-tidy is not installed: static checks skipped"
fi
echo "Style checks passed."
