#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into fuzz/corpus/<target>/: a handful of small,
valid inputs per target, from the test fixtures and the shipped data or built here by hand.
Run from anywhere: python3 fuzz/make_seeds.py. The fuzzers start from these; what they find
beyond them is not kept."""
import pathlib
import shutil
import struct

root = pathlib.Path(__file__).resolve().parent.parent
corpus = root / "fuzz" / "corpus"


def put(target, name, data):
    folder = corpus / target
    folder.mkdir(parents=True, exist_ok=True)
    (folder / name).write_bytes(data.encode("latin-1") if isinstance(data, str) else data)


def copy(target, source):
    put(target, source.name, source.read_bytes())


if corpus.exists():
    shutil.rmtree(corpus)
fixtures = root / "tests" / "fixtures"
images = fixtures / "image"

# INI files: the shipped settings file and a settings file with odd spacing, case and lines.
copy("fuzz_ini", root / "data" / "KelvaroPro.ini")
put("fuzz_ini", "settings.ini",
    "[Active]\r\nLanguage=ENGLISH.lan3\r\nTonerPercent= 50\r\nT_ORDER=WF\r\n"
    "[Stats]\r\nOption=3\r\nCMYT=CMY,11500,5%,216,A4\r\n[Directory]\r\nLast Config=/home/a/\r\n")
put("fuzz_ini", "odd.ini", "; comment\n[ active ]\nkey = value with = sign\n\n[Empty]\n[x\nnokey\n")

# Language files: the fixtures.
for name in ("deutsch.lan3", "deutsch.txt"):
    copy("fuzz_language", fixtures / "settings" / name)

# Pictures: one of each format, with and without a resolution, and one too large to load.
for name in ("dpi300.png", "nounit.png", "big4000x3000.png", "jfif_inch.jpg", "exif_mm.jpg",
             "plain.gif", "dpi200x100.tif", "dpi300.bmp", "dpi240x120.psd"):
    copy("fuzz_picture_header", images / name)
    copy("fuzz_resolution", images / name)
for name in ("quad.psd", "dpi240x120.psd"):
    copy("fuzz_psd_check", images / name)


# Recent files: six records of 501 UTF-16LE units, the digit then the path padded with blanks.
def recent(paths):
    records = []
    for number, path in enumerate(paths, start=1):
        records.append((str(number) + path.ljust(500)).encode("utf-16-le"))
    return b"".join(records)


put("fuzz_recent_files", "two.exini",
    recent(["/home/a/logo.png", "/home/a/shirt.jpg", "", "", "", "/home/a/"]))
put("fuzz_recent_files", "umlaut.exini",
    recent(["/srv/Bilder/Grüße.tif", "", "", "", "", "/srv/Bilder/"]))
put("fuzz_recent_files", "short.exini", recent(["/tmp/x.bmp"])[:300])

# Shapes: the shipped drawings, a drawing made by hand and one library record of a square.
for source in sorted((root / "data" / "shapes").glob("*.ai")):
    copy("fuzz_shapes", source)
put("fuzz_shapes", "triangle.ai",
    "%!PS-Adobe-3.0\n%%BoundingBox: 0 0 10 10\n%%EndComments\n0 0 0 1 k\n"
    "0 0 m\n10 0 l\n5 10 l\nf\n%%EOF\n")
record = bytearray(32252)
struct.pack_into("<i", record, 0, 1)
record[4:84] = b"Square".ljust(80, b" ")
struct.pack_into("<ff", record, 84, 1.0, 1.0)
square = [(0.0, 0.0), (1.0, 0.0), (1.0, 1.0), (0.0, 1.0)]
struct.pack_into("<i", record, 92, len(square))
for i, (x, y) in enumerate(square):
    struct.pack_into("<ff", record, 96 + 8 * i, x, y)
struct.pack_into("<i", record, 32172, 0)
put("fuzz_shapes", "square.shapes", bytes(record))


# Shortcuts: as the shell writes them (see tests/platform/shortcut_test.cc).
def link(base_path, relative, working_dir, arguments):
    out = struct.pack("<I", 0x4C)
    out += bytes([0x01, 0x14, 0x02, 0, 0, 0, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x46])
    out += struct.pack("<I", 0x01 | 0x02 | 0x08 | 0x10 | 0x20 | 0x80)
    out += bytes(0x4C - len(out))
    out += struct.pack("<H", 4) + b"\x02\x00\x00\x00"
    base = base_path.encode("latin-1")
    volume_at, base_at = 0x1C, 0x20
    suffix_at = base_at + len(base) + 1
    out += struct.pack("<8I", suffix_at + 1, 0x1C, 0x01, volume_at, base_at, 0, suffix_at, 0)
    out += base + b"\0\0"
    for text in (relative, working_dir, arguments):
        out += struct.pack("<H", len(text)) + text.encode("utf-16-le")
    return out


put("fuzz_shortcut", "logo.lnk", link("C:\\Art\\logo.png", "logo.png", "C:\\Art", ""))
put("fuzz_shortcut", "args.lnk", link("C:\\Art\\logo.png", "", "C:\\Art", "/x"))
put("fuzz_shortcut", "relative.lnk",
    link("D:\\Share\\art\\logo.png", ".\\art\\logo.png", "", ""))

# Tone curves: the two presets, a lowercase one, a short one and a damaged one.
put("fuzz_tone_curves", "white_last.txt", "FFFDA5A557560000FFFDA5A557560000FFFDA5A557560000")
put("fuzz_tone_curves", "white_first.txt", "FFFDFAB584610000FFFDABCD66750000FFFDA2F7607D0000")
put("fuzz_tone_curves", "lowercase.txt", "f0f0a0a050500a0af0f0a0a050500a0af0f0a0a050500a0a")
put("fuzz_tone_curves", "short.txt", "FFFDA5A5575600")
put("fuzz_tone_curves", "damaged.txt", "FFFDA5G557560000FFFD A5A557560000FFFDA5A55756000X")

# Consumable records: one line per record, in the stored order (CMYT, WhitT, IDCMY, IDWH,
# Fuser, Transfer Belt).
put("fuzz_consumable_record", "defaults.txt",
    "CMY,11500,5%,216,A4\nWhite,6000,5%,180,A4\nDrum,30000,120\nDrum W,30000,120\n"
    "Fuser,100000,150\nBelt, 50000 ,149.95\n")
put("fuzz_consumable_record", "spaced.txt", "CMY, 11500 ,5 % ,216,\n\nDrum,0,0\n")
put("fuzz_consumable_record", "damaged.txt",
    "CMY,11500,5%,216\nWhite,lots,5%,x,A3\nFuser,x100\nBelt,-100,5\n,,,,\n1e9,2.5.6,%,+3,")


# Setting files: as the program saves them, white first, partial and damaged.
def settings_file(active, curves=True):
    text = "[Active]\r\n" + "".join(f"{k}={v}\r\n" for k, v in active)
    if curves:
        text += ("[CYMW]\r\nProfile=F0F0A0A050500A0AF0F0A0A050500A0AF0F0A0A050500A0A\r\n"
                 "[WYMC]\r\nProfile=FFFDFAB584610000FFFDABCD66750000FFFDA2F7607D0000\r\n")
    return text


saved = [("White Mask %", "80%"), ("Display", " 1"), ("TonerOn", " 1"), ("TonerSave", " 0"),
         ("TonerPercent", "60%"), ("Right Margin", "1100"), ("Left Margin", "1200"),
         ("Bottom Margin", "1307"), ("Top Margin", "1296"), ("PaperSize", "A3")]
put("fuzz_settings_file", "saved.qvcfg", settings_file(saved))
put("fuzz_settings_file", "edge.qvcfg",
    settings_file(saved[:5] + [("White Edge mm", "0.35"), ("White Overlay %", "20%")]))
put("fuzz_settings_file", "no_curves.qvcfg", settings_file(saved[:3], curves=False))
put("fuzz_settings_file", "markers.qvcfg",
    settings_file([("White Mask %", "60"), ("Display", "5"), ("TonerPercent", " 50")]))
put("fuzz_settings_file", "damaged.qvcfg",
    "[active]\nRight Margin=-5\nPaperSize=A4\n[CYMW]\nProfile=FFFD\n")
