#!/usr/bin/env python3
"""Writes the skin files that ship beside the reader (data/Skin/*.ini).

Each file is written exactly as the skin manager saves one: the version line
"[Version1.0]", then one line KEY=VALUE//CAPTION for each of the sixteen skin
fields in field order, every line (the last too) ended by CR LF, in GBK.

Run from anywhere:  python3 tools/make_skins.py [DATA_DIR]
(DATA_DIR defaults to the repository's data/ folder.)
"""

import pathlib
import sys

VERSION_LINE = "[Version1.0]"

# The sixteen fields in the order of the lines of a skin file: key and caption.
FIELDS = [
    ("MainPicture", "标题图片"),
    ("MainFontName", "标题字体"),
    ("MainFontSize", "标题字体大小"),
    ("MainFontColor", "标题字体颜色"),
    ("MainLFontColor", "小标题颜色"),
    ("MainLFontSize", "小标题大小"),
    ("MainLFontName", "小标题字体"),
    ("FontName", "主题字体名称"),
    ("FontSize", "主题字体大小"),
    ("FontForeColer", "内容字体颜色"),
    ("FontBackColor", "内容背景颜色"),
    ("Backcolor", "背景颜色"),
    ("Backcolor2", "背景2颜色"),
    ("FbackColor", "封面背景"),
    ("FForecolor", "封面字符颜色"),
    ("FbackPicture", "封面图片"),
]

COLOUR_KEYS = {
    "MainFontColor", "MainLFontColor", "FontForeColer", "FontBackColor",
    "Backcolor", "Backcolor2", "FbackColor", "FForecolor",
}


def colour(r, g, b):
    """A colour as skin files store it: red + 256 * green + 65536 * blue."""
    for part in (r, g, b):
        if not 0 <= part <= 255:
            raise ValueError(f"colour part out of range: {(r, g, b)}")
    return str(r + 256 * g + 65536 * b)


# The title pictures lie in the program folder, so they are written relative to
# it, beginning with "\". The cover picture is left empty in every skin: the
# cover then keeps its built-in picture with the book's name drawn on it, and
# each skin gives the cover its own background colour and title colour instead.
SKINS = {
    # The default skin: peach blossom on pale blue, in the reader's own teal frame.
    "言情": {
        "MainPicture": "\\SImage\\2.jpg",
        "MainFontName": "隶书",
        "MainFontSize": "36",
        "MainFontColor": colour(214, 24, 64),
        "MainLFontColor": colour(52, 36, 44),
        "MainLFontSize": "26",
        "MainLFontName": "隶书",
        "FontName": "宋体",
        "FontSize": "14",
        "FontForeColer": colour(30, 30, 30),
        "FontBackColor": colour(192, 240, 249),
        "Backcolor": colour(3, 60, 72),
        "Backcolor2": colour(5, 85, 100),
        "FbackColor": colour(21, 95, 120),
        "FForecolor": colour(178, 34, 74),
        "FbackPicture": "",
    },
    # Ink wash: rice paper, grey ink mountains, vermilion title, regular script.
    "水墨": {
        "MainPicture": "\\SImage\\ink.jpg",
        "MainFontName": "楷体",
        "MainFontSize": "36",
        "MainFontColor": colour(170, 40, 30),
        "MainLFontColor": colour(38, 38, 40),
        "MainLFontSize": "26",
        "MainLFontName": "楷体",
        "FontName": "楷体",
        "FontSize": "16",
        "FontForeColer": colour(36, 36, 36),
        "FontBackColor": colour(244, 241, 232),
        "Backcolor": colour(58, 58, 56),
        "Backcolor2": colour(96, 96, 92),
        "FbackColor": colour(72, 72, 70),
        "FForecolor": colour(30, 30, 30),
        "FbackPicture": "",
    },
    # Night reading: light text on a dark ground, moonlit title, plain sans type.
    "夜读": {
        "MainPicture": "\\SImage\\night.jpg",
        "MainFontName": "黑体",
        "MainFontSize": "32",
        "MainFontColor": colour(236, 196, 110),
        "MainLFontColor": colour(200, 204, 216),
        "MainLFontSize": "24",
        "MainLFontName": "黑体",
        "FontName": "黑体",
        "FontSize": "15",
        "FontForeColer": colour(200, 196, 184),
        "FontBackColor": colour(28, 31, 42),
        "Backcolor": colour(10, 12, 18),
        "Backcolor2": colour(20, 23, 32),
        "FbackColor": colour(14, 18, 30),
        "FForecolor": colour(28, 40, 86),
        "FbackPicture": "",
    },
    # Green bamboo: pale green paper, dark green clerical title.
    "青竹": {
        "MainPicture": "\\SImage\\bamboo.jpg",
        "MainFontName": "隶书",
        "MainFontSize": "36",
        "MainFontColor": colour(30, 100, 50),
        "MainLFontColor": colour(70, 60, 30),
        "MainLFontSize": "26",
        "MainLFontName": "楷体",
        "FontName": "宋体",
        "FontSize": "15",
        "FontForeColer": colour(30, 50, 30),
        "FontBackColor": colour(232, 244, 224),
        "Backcolor": colour(36, 72, 44),
        "Backcolor2": colour(64, 112, 72),
        "FbackColor": colour(48, 96, 60),
        "FForecolor": colour(36, 110, 50),
        "FbackPicture": "",
    },
    # Old scroll: parchment, wooden roller and brocade, brown ink.
    "古卷": {
        "MainPicture": "\\SImage\\scroll.jpg",
        "MainFontName": "隶书",
        "MainFontSize": "36",
        "MainFontColor": colour(140, 36, 20),
        "MainLFontColor": colour(72, 46, 24),
        "MainLFontSize": "26",
        "MainLFontName": "楷体",
        "FontName": "楷体",
        "FontSize": "15",
        "FontForeColer": colour(62, 40, 22),
        "FontBackColor": colour(245, 232, 200),
        "Backcolor": colour(70, 44, 26),
        "Backcolor2": colour(112, 74, 42),
        "FbackColor": colour(88, 58, 34),
        "FForecolor": colour(130, 50, 20),
        "FbackPicture": "",
    },
}


def relative_luminance(value):
    n = int(value)
    channels = [(n & 0xFF) / 255, ((n >> 8) & 0xFF) / 255, ((n >> 16) & 0xFF) / 255]
    lin = [c / 12.92 if c <= 0.03928 else ((c + 0.055) / 1.055) ** 2.4 for c in channels]
    return 0.2126 * lin[0] + 0.7152 * lin[1] + 0.0722 * lin[2]


def contrast(a, b):
    la, lb = sorted((relative_luminance(a), relative_luminance(b)), reverse=True)
    return (la + 0.05) / (lb + 0.05)


def skin_text(settings):
    keys = [key for key, _ in FIELDS]
    if sorted(settings) != sorted(keys):
        raise ValueError(f"a skin must set exactly the sixteen fields: {sorted(set(keys) ^ set(settings))}")
    for key in COLOUR_KEYS:
        int(settings[key])
    # Body text must stay easy to read for hours.
    if contrast(settings["FontForeColer"], settings["FontBackColor"]) < 7.0:
        raise ValueError("reading text and its background are too close in brightness")
    lines = [VERSION_LINE]
    lines += [f"{key}={settings[key]}//{caption}" for key, caption in FIELDS]
    return "".join(line + "\r\n" for line in lines)


def main(argv):
    root = pathlib.Path(__file__).resolve().parent.parent
    data = pathlib.Path(argv[1]) if len(argv) > 1 else root / "data"
    skin_dir = data / "Skin"
    skin_dir.mkdir(parents=True, exist_ok=True)
    for name, settings in SKINS.items():
        raw = skin_text(settings).encode("gbk")
        path = skin_dir / f"{name}.ini"
        path.write_bytes(raw)
        line_count = raw.count(b"\r\n")
        print(f"{path}  {line_count} lines, {len(raw)} bytes")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
