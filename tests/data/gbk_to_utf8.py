#!/usr/bin/env python3
"""Writes the UTF-8 copy of a GBK book: the same text with LF line ends and
no byte order mark.  The build makes one for every book of this folder.

    python3 gbk_to_utf8.py xiyouji.gbk.txt OUT/xiyouji.utf8.txt
"""
import os
import sys


def main(argv):
    if len(argv) != 3:
        sys.exit('usage: gbk_to_utf8.py BOOK.gbk.txt OUT.utf8.txt')
    source, target = argv[1], argv[2]
    with open(source, 'rb') as f:
        # Strict: a byte sequence that is not GBK fails the build.
        text = f.read().decode('gbk')
    part = target + '.part'
    with open(part, 'wb') as f:
        f.write(text.replace('\r\n', '\n').encode('utf-8'))
    os.replace(part, target)


if __name__ == '__main__':
    main(sys.argv)
