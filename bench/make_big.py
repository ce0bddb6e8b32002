#!/usr/bin/env python3
"""Build a large synthetic web-novel-style GBK text file for performance tests.

The chapters of the test corpus in tests/data (split with headings.tsv) are
repeated in a fixed order under new headings "第N章 <original title>".
Odd N are written with Arabic digits (第1章), even N with Chinese numerals
(第二章).  Output is GBK with CRLF line ends, whole chapters only, and it is
byte-for-byte deterministic for a given size and corpus.

    python3 make_big.py 10 big10.txt      # >= 10 MiB (10 * 1048576 bytes)

Body lines that themselves look like a heading (e.g. a paragraph starting
with "第四回中……") are dropped, so the file holds exactly as many heading
lines as the script reports.  Dependency-free (standard library only).
"""
import argparse
import os
import re
import sys
import time

MIB = 1024 * 1024
_DIGITS = '零一二三四五六七八九'
_BIG_UNITS = ('', '万', '亿', '万亿')
_TITLE_LABEL = re.compile(r'^[\s\u3000]*(第[一二三四五六七八九十百零〇两]+回|楔子|附录)[\s\u3000]*')
HEADING_LIKE = re.compile(
    r'^[\s\u3000]*(第[0-9０-９一二三四五六七八九十百千万零〇两]+[章回节卷集部篇]'
    r'|卷[一二三四五六七八九十百千0-9]+|楔子|序章|引子|尾声|番外)')
INDENT = '\u3000\u3000'


def _section(n):
    """Chinese numeral for 0 < n < 10000, always with the leading 一 (一十)."""
    out, pending_zero = '', False
    for unit, value in (('千', 1000), ('百', 100), ('十', 10), ('', 1)):
        d = n // value % 10
        if d:
            if pending_zero:
                out += '零'
                pending_zero = False
            out += _DIGITS[d] + unit
        elif out:
            pending_zero = True
    return out


def cn_num(n):
    """Conventional Chinese numeral: 10 十, 110 一百一十, 1001 一千零一, 10010 一万零一十."""
    if not 0 < n < 10 ** 16:
        raise ValueError('chapter number out of range: %r' % (n,))
    sections = []
    while n:
        sections.append(n % 10000)
        n //= 10000
    out, gap = '', False
    for i in range(len(sections) - 1, -1, -1):
        s = sections[i]
        if s == 0:
            gap = bool(out)
            continue
        if out and (gap or s < 1000):
            out += '零'
        out += _section(s) + _BIG_UNITS[i]
        gap = False
    return out[1:] if out.startswith('一十') else out


def heading(n, title):
    num = str(n) if n % 2 else cn_num(n)
    return '第%s章 %s' % (num, title)


def load_chapters(corpus_dir):
    """Return [(title, [paragraph, ...]), ...] in headings.tsv order."""
    by_file = {}
    order = []
    with open(os.path.join(corpus_dir, 'headings.tsv'), encoding='utf-8') as f:
        next(f)  # header row
        for row in f:
            name, line, _text = row.rstrip('\n').split('\t', 2)
            if name not in by_file:
                by_file[name] = []
                order.append(name)
            by_file[name].append(int(line))
    chapters = []
    for name in order:
        with open(os.path.join(corpus_dir, name), 'rb') as f:
            lines = f.read().decode('gbk').split('\r\n')
        starts = by_file[name]
        for k, start in enumerate(starts):
            end = starts[k + 1] - 1 if k + 1 < len(starts) else len(lines)
            title = _TITLE_LABEL.sub('', lines[start - 1])
            title = re.sub(r'[\s\u3000]+', ' ', title).strip()
            body = []
            for raw in lines[start:end]:
                text = raw.strip(' \t\u3000')
                if text and not HEADING_LIKE.match(text):
                    body.append(INDENT + text)
            chapters.append((title, body))
    return chapters


def build(size_mb, out_path, corpus_dir):
    """Write the file; return (chapters_written, bytes_written)."""
    if size_mb <= 0:
        raise ValueError('size must be positive')
    target = int(size_mb * MIB)
    chapters = load_chapters(corpus_dir)
    written = 0
    n = 0
    with open(out_path, 'wb') as out:
        head = '《合成长篇测试小说》\r\n作者：佚名（古典小说章节重排，测试数据）\r\n\r\n'.encode('gbk')
        out.write(head)
        written += len(head)
        while written < target:
            title, body = chapters[n % len(chapters)]
            n += 1
            block = '\r\n'.join([heading(n, title), ''] + body + ['', '']).encode('gbk')
            out.write(block)
            written += len(block)
    return n, written


def main(argv=None):
    corpus = os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, 'tests', 'data')
    ap = argparse.ArgumentParser(description=__doc__.split('\n\n')[0])
    ap.add_argument('size_mb', type=float, help='minimum size in MiB (whole chapters are written)')
    ap.add_argument('output', help='path of the GBK file to write')
    ap.add_argument('--corpus', default=os.path.normpath(corpus), help='folder holding headings.tsv and the *.gbk.txt books')
    args = ap.parse_args(argv)
    t0 = time.perf_counter()
    n, size = build(args.size_mb, args.output, args.corpus)
    print('%s: %d chapters, %d bytes, %.2f s' % (args.output, n, size, time.perf_counter() - t0))
    return 0


if __name__ == '__main__':
    sys.exit(main())
