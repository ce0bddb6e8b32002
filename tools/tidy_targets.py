#!/usr/bin/env python3
"""Prints the files of src/ that clang-tidy must read again: each whose own
text, or a header of ours it includes, changed since the base commit (the
last commit over which the whole of src/ was tidied clean, kept in
.ci/tidy-base). Prints every file of src/ when the base is unknown, or the
checks themselves changed. Reads the includes from ninja's dependency log,
so a build must have run first.

usage: tidy_targets.py <source root> <build folder>"""
import os
import re
import subprocess
import sys

root, build = (os.path.abspath(p) for p in sys.argv[1:3])


def git(*args):
    return subprocess.run(['git', '-C', root, *args], capture_output=True, text=True)


def sources_by_object():
    """object file -> (its source, every file it read), from ninja's log."""
    log = subprocess.run(['ninja', '-C', build, '-t', 'deps'], capture_output=True, text=True, check=True).stdout
    result, current = {}, None
    for line in log.splitlines():
        if line and not line.startswith(' '):
            current = line.split(':')[0]
            result[current] = []
        elif line.strip() and current:
            result[current].append(os.path.normpath(os.path.join(build, line.strip())))
    return result


def every_source():
    return sorted(os.path.join(root, f) for f in git('ls-files', 'src/*.cpp').stdout.split())


base_file = os.path.join(root, '.ci', 'tidy-base')
base = open(base_file).read().strip() if os.path.exists(base_file) else ''
if os.environ.get('TIDY_ALL') or not base or git('cat-file', '-e', base + '^{commit}').returncode != 0:
    for source in every_source():
        print(source)
    sys.exit(0)

changed = set(git('diff', '--name-only', base, '--').stdout.split())
changed |= set(git('ls-files', '--others', '--exclude-standard').stdout.split())
if any(f in changed for f in ('.clang-tidy', 'scripts/check_style.sh')):
    for source in every_source():
        print(source)
    sys.exit(0)
changed = {os.path.join(root, f) for f in changed}

src = os.path.join(root, 'src') + os.sep
wanted = set()
for deps in sources_by_object().values():
    if not deps:
        continue
    source = deps[0]  # ninja lists the compiled file first
    if source.startswith(src) and re.search(r'\.cpp$', source) and changed.intersection(deps):
        wanted.add(source)
for source in sorted(wanted):
    print(source)
