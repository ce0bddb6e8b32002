"""Checks for make_big.py:  python3 -m unittest test_make_big  (run in this folder)."""
import os
import re
import tempfile
import unittest

import make_big

CORPUS = os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, 'tests', 'data')


class ChineseNumerals(unittest.TestCase):
    def test_zero_and_ten_rules(self):
        cases = {10: '十', 11: '十一', 20: '二十', 101: '一百零一', 110: '一百一十',
                 1001: '一千零一', 1010: '一千零一十', 10000: '一万', 10001: '一万零一',
                 10010: '一万零一十', 12345: '一万二千三百四十五', 100010: '十万零一十'}
        for n, text in cases.items():
            self.assertEqual(make_big.cn_num(n), text, n)


class BigFile(unittest.TestCase):
    SIZE_MB = 1.6  # reaches 红楼梦 ch.5, whose body has a line starting "第四回中"

    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        cls.paths = [os.path.join(cls.tmp.name, 'big%d.txt' % i) for i in (1, 2)]
        cls.results = [make_big.build(cls.SIZE_MB, p, CORPUS) for p in cls.paths]
        with open(cls.paths[0], 'rb') as f:
            cls.raw = f.read()

    @classmethod
    def tearDownClass(cls):
        cls.tmp.cleanup()

    def test_deterministic_size_and_line_ends(self):
        with open(self.paths[1], 'rb') as f:
            self.assertEqual(f.read(), self.raw)
        n, size = self.results[0]
        self.assertEqual(size, len(self.raw))
        self.assertGreaterEqual(size, self.SIZE_MB * make_big.MIB)
        self.assertEqual(self.raw.count(b'\n'), self.raw.count(b'\r\n'))
        self.assertEqual(self.raw.count(b'\r'), self.raw.count(b'\r\n'))
        self.assertTrue(self.raw.endswith(b'\r\n'))

    def test_heading_lines_are_numbered_and_alternate(self):
        n, _ = self.results[0]
        lines = self.raw.decode('gbk').split('\r\n')
        heads = [l for l in lines if make_big.HEADING_LIKE.match(l)]
        self.assertEqual(len(heads), n)
        for i, line in enumerate(heads, 1):
            num = str(i) if i % 2 else make_big.cn_num(i)
            self.assertTrue(re.match('第%s章 \\S' % num, line), line)
