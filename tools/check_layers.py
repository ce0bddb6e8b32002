#!/usr/bin/env python3
"""Checks the folder layering of src/: no include circle between folders,
and nothing under src/core/ includes a widget or QtGui header or a header of
src/ui/. Prints what is wrong and exits 1; exits 0 when all is well.

    python3 tools/check_layers.py [SRC_DIR]
"""
import pathlib
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.M)
# Headers of QtGui and QtWidgets the core may not reach.
GUI_HEADERS = re.compile(r'^(QtGui|QtWidgets)/|^Q(Widget|Color|Font|Image|Pixmap|Painter|Palette|Icon|'
                         r'Application|GuiApplication|Screen|Action|Menu|Label|Dialog|MainWindow)\b')


def folder_of(path, src):
    parts = path.relative_to(src).parts
    return '/'.join(parts[:2]) if len(parts) > 2 else parts[0]


def main():
    src = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).parent.parent / 'src').resolve()
    edges = {}
    problems = []
    for path in sorted(src.rglob('*')):
        if path.suffix not in ('.h', '.cpp'):
            continue
        folder = folder_of(path, src)
        text = path.read_text(encoding='utf-8')
        for kind, name in INCLUDE.findall(text):
            if folder.startswith('core') and kind == '<' and GUI_HEADERS.search(name):
                problems.append(f'{path.relative_to(src)}: the core includes <{name}>')
            if kind != '"' or not (src / name).exists():
                continue
            target = folder_of(src / name, src)
            if folder.startswith('core') and not target.startswith('core'):
                problems.append(f'{path.relative_to(src)}: the core includes "{name}"')
            if target != folder:
                edges.setdefault(folder, set()).add(target)

    # A circle is a folder that reaches itself.
    def reaches(start):
        seen, todo = set(), list(edges.get(start, ()))
        while todo:
            folder = todo.pop()
            if folder not in seen:
                seen.add(folder)
                todo.extend(edges.get(folder, ()))
        return seen

    for folder in sorted(edges):
        if folder in reaches(folder):
            back = sorted(f for f in edges[folder] if folder in reaches(f) or f == folder)
            problems.append(f'include circle: {folder} -> {", ".join(back)} -> ... -> {folder}')

    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == '__main__':
    sys.exit(main())
