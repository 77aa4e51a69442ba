#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Writes the generated seeds of the fuzz corpora: small files whose headers lie.

Run from anywhere: python3 fuzz/make_seeds.py. The output is the same on every run, and the
files it writes all start with "gen-", so the hand-made seeds beside them stay as they are.
"""
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
CORPUS = os.path.join(HERE, "corpus")


def u16(value):
    return struct.pack("<H", value & 0xFFFF)


def u32(value):
    return struct.pack("<I", value & 0xFFFFFFFF)


def write(target, name, data):
    folder = os.path.join(CORPUS, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "gen-" + name), "wb") as out:
        out.write(data)


# ---- Pictures -------------------------------------------------------------------------------

def dib_header(width, height, bits, compression=0, colours_used=0, planes=1, size=40):
    header = u32(size) + struct.pack("<iiHHI", width, height, planes, bits, compression)
    header += u32(0) + u32(2835) + u32(2835) + u32(colours_used) + u32(0)
    return header + bytes(size - 40)


def bmp(dib, rest, offset=None, declared_size=None):
    if offset is None:
        offset = 14 + len(dib)
    body = dib + rest
    size = 14 + len(body) if declared_size is None else declared_size
    return b"BM" + u32(size) + u32(0) + u32(offset) + body


def pixels(width, height, bits, fill=0x5A):
    stride = (width * bits + 31) // 32 * 4
    return bytes([fill]) * (stride * height)


def picture_seeds():
    out = {}
    palette2 = b"\x00\x00\x00\x00\xff\xff\xff\x00"
    for bits in (1, 4, 8, 16, 24, 32):
        palette = bytes(4 << bits) if bits <= 8 else b""
        row = pixels(2, 2, bits)
        # Sides far beyond the limits, negative, zero, and the extremes of a 32-bit field.
        for tag, width, height in (("huge", 0x7FFFFFFF, 1), ("huge-height", 1, 0x7FFFFFFF),
                                   ("negative-width", -2, 2), ("top-down-min", 2, -0x80000000),
                                   ("zero", 0, 0), ("limit-edge", 16385, 1),
                                   ("area-over-limit", 16384, 4097)):
            out[f"bmp-{bits}-{tag}.bmp"] = bmp(dib_header(width, height, bits), palette + row)
        # Pixel offset past the end, inside the header, and wrapping round.
        for tag, offset in (("offset-past-end", 0x10000), ("offset-in-header", 20),
                            ("offset-max", 0xFFFFFFFF), ("offset-below-file-header", 4)):
            out[f"bmp-{bits}-{tag}.bmp"] = bmp(dib_header(2, 2, bits), palette + row, offset)
        # Rows cut short.
        out[f"bmp-{bits}-rows-short.bmp"] = bmp(dib_header(64, 64, bits), palette + row)
        # Compression fields that lie: RLE, bit fields where they do not belong, JPEG, PNG.
        for compression in (1, 2, 3, 4, 5, 6, 0xFFFFFFFF):
            masks = u32(0xF800) + u32(0x07E0) + u32(0x001F)
            out[f"bmp-{bits}-compression-{compression:x}.bmp"] = bmp(
                dib_header(2, 2, bits, compression & 0xFFFFFFFF), masks + palette + row)
    # Palettes shorter than they claim: a count beyond the depth, one the file does not hold.
    for bits in (1, 4, 8):
        row = pixels(4, 2, bits, 0xFF)
        out[f"bmp-{bits}-palette-count-huge.bmp"] = bmp(
            dib_header(4, 2, bits, colours_used=0xFFFFFFFF), palette2 + row)
        out[f"bmp-{bits}-palette-short.bmp"] = bmp(dib_header(4, 2, bits, colours_used=0),
                                                   palette2 + row)
        out[f"bmp-{bits}-palette-cut-by-offset.bmp"] = bmp(
            dib_header(4, 2, bits), palette2 + bytes(4 << bits) + row, offset=14 + 40 + 4)
        out[f"bmp-{bits}-no-palette-no-rows.bmp"] = bmp(dib_header(4, 2, bits), b"")
    # RLE8 data marked uncompressed, and marked RLE.
    rle = b"\x04\x01\x00\x00\x02\x02\x00\x01"
    out["bmp-8-rle-data-marked-rgb.bmp"] = bmp(dib_header(4, 2, 8), bytes(1024) + rle)
    out["bmp-8-rle8.bmp"] = bmp(dib_header(4, 2, 8, 1), bytes(1024) + rle)
    out["bmp-4-rle4.bmp"] = bmp(dib_header(4, 2, 4, 2), bytes(64) + rle)
    # Bit fields: overlapping, with gaps, all ones, beyond the depth, an alpha mask.
    for tag, masks in (("overlap", (0xFF00, 0x0FF0, 0x00FF)), ("gaps", (0xA5A5, 0x0101, 0x8000)),
                       ("all-ones", (0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF)),
                       ("beyond-depth", (0x1F0000, 0x3F, 0x1F)), ("zero", (0, 0, 0))):
        for bits in (16, 32):
            out[f"bmp-{bits}-bitfields-{tag}.bmp"] = bmp(
                dib_header(2, 2, bits, 3), b"".join(u32(m) for m in masks) + pixels(2, 2, bits))
    v5 = dib_header(2, 2, 32, 3, size=124)
    v5 = v5[:40] + u32(0xFF0000) + u32(0xFF00) + u32(0xFF) + u32(0xFF000000) + v5[56:]
    out["bmp-32-v5-alpha-zero.bmp"] = bmp(v5, bytes(16))
    # Header sizes: core with deep pixels, unknown, bigger than the file, planes wrong.
    core = u32(12) + u16(2) + u16(2) + u16(1) + u16(16)
    out["bmp-core-16.bmp"] = bmp(core, pixels(2, 2, 16))
    out["bmp-core-1-short-palette.bmp"] = bmp(u32(12) + u16(8) + u16(2) + u16(1) + u16(1), b"\xff")
    out["bmp-header-64.bmp"] = bmp(dib_header(2, 2, 24, size=64), pixels(2, 2, 24))
    out["bmp-header-41.bmp"] = bmp(dib_header(2, 2, 24, size=41), pixels(2, 2, 24))
    out["bmp-header-beyond-file.bmp"] = bmp(u32(124) + bytes(8), b"")
    out["bmp-planes-0.bmp"] = bmp(dib_header(2, 2, 24, planes=0), pixels(2, 2, 24))
    out["bmp-depth-2.bmp"] = bmp(dib_header(2, 2, 2), pixels(2, 2, 2))
    out["bmp-file-header-only.bmp"] = b"BM" + bytes(12)
    out["bmp-declared-size-lies.bmp"] = bmp(dib_header(2, 2, 24), pixels(2, 2, 24),
                                            declared_size=0xFFFFFFFF)

    # PCX: header fields that lie, runs that end early or run over.
    def pcx(version=5, encoding=1, bits=8, xmin=0, ymin=0, xmax=3, ymax=1, planes=1,
            bytes_per_line=4, runs=b"", trailer=b""):
        header = bytes([0x0A, version, encoding, bits]) + u16(xmin) + u16(ymin) + u16(xmax)
        header += u16(ymax) + u16(72) + u16(72) + bytes(48) + b"\x00" + bytes([planes])
        header += u16(bytes_per_line) + u16(1) + bytes(58)
        return header + runs + trailer

    palette = b"\x0c" + bytes(range(256)) * 3
    out["pcx-8-no-palette.pcx"] = pcx(runs=b"\xc8\x07")
    out["pcx-8-wrong-marker.pcx"] = pcx(runs=b"\xc8\x07", trailer=b"\x0d" + palette[1:])
    out["pcx-8-runs-short.pcx"] = pcx(runs=b"\xc2\x07", trailer=palette)
    out["pcx-8-run-at-end.pcx"] = pcx(runs=b"\x01\x02\x03\x04\xc1", trailer=palette)
    out["pcx-8-long-run-over-lines.pcx"] = pcx(runs=b"\xff\x09", trailer=palette)
    out["pcx-huge.pcx"] = pcx(xmax=0xFFFF, ymax=0xFFFF, bytes_per_line=0xFFFF, runs=b"\xff\x00")
    out["pcx-min-above-max.pcx"] = pcx(xmin=5, xmax=1, runs=b"\xc8\x07", trailer=palette)
    out["pcx-bytes-per-line-0.pcx"] = pcx(bytes_per_line=0, runs=b"\xc8\x07", trailer=palette)
    out["pcx-bytes-per-line-odd.pcx"] = pcx(bits=1, planes=4, xmax=15, bytes_per_line=1,
                                            runs=b"\xc8\x55")
    out["pcx-1-planes-5.pcx"] = pcx(bits=1, planes=5, runs=b"\xff\x55")
    out["pcx-1-planes-0.pcx"] = pcx(bits=1, planes=0, runs=b"\xff\x55")
    out["pcx-4-bits.pcx"] = pcx(bits=4, runs=b"\xff\x55")
    out["pcx-24-short.pcx"] = pcx(planes=3, runs=b"\xc5\x10")
    out["pcx-version-1.pcx"] = pcx(version=1, runs=b"\xc8\x07", trailer=palette)
    out["pcx-version-3-planar.pcx"] = pcx(version=3, bits=1, planes=4, bytes_per_line=2,
                                          runs=b"\xc8\x0f")
    out["pcx-encoding-0.pcx"] = pcx(encoding=0, runs=bytes(8), trailer=palette)
    out["pcx-header-only.pcx"] = pcx()[:128]
    out["pcx-short-header.pcx"] = b"\x0a\x05\x01\x08" + bytes(20)

    # Icons and cursors: counts and offsets that lie, PNG and icons nested inside.
    def icon_dir(entries, kind=1, count=None):
        data = u16(0) + u16(kind) + u16(len(entries) if count is None else count)
        return data + b"".join(entries)

    def entry(size, offset, width=2, height=2, bits=32):
        return bytes([width, height, 0, 0]) + u16(1) + u16(bits) + u32(size) + u32(offset)

    def icon_dib(width, height, bits, colours_used=0, with_mask=True):
        palette = bytes(4 << bits) if bits <= 8 else b""
        data = dib_header(width, height * 2, bits, colours_used=colours_used) + palette
        data += pixels(width, height, bits, 0x80)
        if with_mask:
            data += pixels(width, height, 1, 0xAA)
        return data

    def png(width, height, depth=8, colour_type=6, body=True):
        def chunk(kind, data):
            return (struct.pack(">I", len(data)) + kind + data
                    + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
        ihdr = struct.pack(">IIBBBBB", width, height, depth, colour_type, 0, 0, 0)
        data = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr)
        if body:
            raw = (b"\x00" + bytes(4 * max(width, 0))) * max(min(height, 4), 0)
            data += chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b"")
        return data

    dib = icon_dib(2, 2, 32)
    good_offset = 6 + 16
    for kind, suffix in ((1, "ico"), (2, "cur")):
        out[f"{suffix}-count-lies.{suffix}"] = icon_dir([entry(len(dib), good_offset)], kind,
                                                        count=0xFFFF) + dib
        out[f"{suffix}-count-zero.{suffix}"] = icon_dir([entry(len(dib), good_offset)], kind,
                                                        count=0) + dib
        out[f"{suffix}-offset-past-end.{suffix}"] = icon_dir([entry(len(dib), 0x7FFFFFFF)], kind)
        out[f"{suffix}-offset-wraps.{suffix}"] = icon_dir([entry(0x20, 0xFFFFFFF0)], kind) + dib
        out[f"{suffix}-size-wraps.{suffix}"] = icon_dir([entry(0xFFFFFFFF, good_offset)],
                                                        kind) + dib
        out[f"{suffix}-offset-zero.{suffix}"] = icon_dir([entry(22 + len(dib), 0)], kind) + dib
    # Entries that point into the directory itself, or at one another.
    two = [entry(len(dib), 6), entry(len(dib), 6 + 32)]
    out["ico-overlapping.ico"] = icon_dir(two) + dib
    # An icon file inside an icon.
    inner = icon_dir([entry(len(dib), good_offset)]) + dib
    out["ico-nested-icon.ico"] = icon_dir([entry(len(inner), good_offset)]) + inner
    # PNG inside: sides huge, zero, a colour type that does not exist, cut after the header.
    for tag, data in (("png-huge", png(0x7FFFFFFF, 0x7FFFFFFF, body=False)),
                      ("png-over-limit", png(16384, 4097, body=False)),
                      ("png-zero", png(0, 0)), ("png-colour-type-9", png(2, 2, 8, 9)),
                      ("png-depth-16-grey", png(2, 2, 16, 0)),
                      ("png-truncated", png(2, 2)[:30]), ("png-header-only", png(2, 2)[:24]),
                      ("png-ok", png(2, 2))):
        out[f"ico-{tag}.ico"] = icon_dir([entry(len(data), good_offset, 0, 0)]) + data
    # DIB entries whose heights lie: odd, zero, negative, one.
    for tag, height in (("odd", 5), ("zero", 0), ("negative", -4), ("one", 1)):
        data = dib_header(2, height, 32) + pixels(2, 2, 32) + pixels(2, 2, 1)
        out[f"ico-dib-height-{tag}.ico"] = icon_dir([entry(len(data), good_offset)]) + data
    # Deep entries with a colour count, which some writers fill in; without room for the mask.
    for bits in (1, 4, 8, 16, 24, 32):
        data = icon_dib(3, 3, bits, colours_used=0x100000)
        out[f"ico-dib-{bits}-colours-used-huge.ico"] = icon_dir(
            [entry(len(data), good_offset, bits=bits)]) + data
        data = icon_dib(3, 3, bits, with_mask=False)
        out[f"ico-dib-{bits}-no-mask.ico"] = icon_dir([entry(len(data), good_offset, bits=bits)]) + data
    # Many entries, the best one broken: the whole file must give nothing.
    small = icon_dib(1, 1, 24)
    broken = dib_header(64, 128, 32)  # no rows at all
    entries = [entry(len(small), 6 + 32), entry(len(broken), 6 + 32 + len(small))]
    out["ico-best-entry-broken.ico"] = icon_dir(entries) + small + broken

    # GIF: sides huge, frames beyond the screen, LZW that lies.
    def gif(width, height, frame=(0, 0, 2, 2), code_size=2, lzw=b"\x02\x44\x01", trailer=True,
            global_table=True):
        flags = 0x80 if global_table else 0x00
        data = b"GIF89a" + u16(width) + u16(height) + bytes([flags, 0, 0])
        if global_table:
            data += b"\x00\x00\x00\xff\xff\xff"
        data += b"\x2c" + u16(frame[0]) + u16(frame[1]) + u16(frame[2]) + u16(frame[3]) + b"\x00"
        data += bytes([code_size]) + bytes([len(lzw)]) + lzw + b"\x00"
        return data + (b"\x3b" if trailer else b"")

    out["gif-huge-screen.gif"] = gif(0xFFFF, 0xFFFF)
    out["gif-frame-beyond-screen.gif"] = gif(2, 2, frame=(0xFFF0, 0xFFF0, 0xFFFF, 0xFFFF))
    out["gif-zero.gif"] = gif(0, 0, frame=(0, 0, 0, 0))
    out["gif-code-size-0.gif"] = gif(2, 2, code_size=0)
    out["gif-code-size-12.gif"] = gif(2, 2, code_size=12)
    out["gif-lzw-garbage.gif"] = gif(2, 2, lzw=bytes(range(255, 0, -1)))
    out["gif-no-trailer.gif"] = gif(2, 2, trailer=False)
    out["gif-no-colour-table.gif"] = gif(2, 2, global_table=False)
    out["gif87a-header-only.gif"] = b"GIF87a" + u16(4) + u16(4)

    # JPEG: the hand-made grey seed with its frame header rewritten.
    with open(os.path.join(CORPUS, "picture", "jpeg-grey.jpg"), "rb") as source:
        grey = source.read()
    sof = grey.index(b"\xff\xc0")
    for tag, height, width in (("huge", 0xFFFF, 0xFFFF), ("zero", 0, 0),
                               ("over-limit", 16384, 4097), ("wide", 1, 16385)):
        patched = grey[:sof + 5] + struct.pack(">HH", height, width) + grey[sof + 9:]
        out[f"jpeg-{tag}.jpg"] = patched
    out["jpeg-truncated.jpg"] = grey[:sof + 12]
    out["jpeg-soi-only.jpg"] = b"\xff\xd8\xff\xd9\x00\x00"
    out["jpeg-progressive-marker.jpg"] = grey[:sof] + b"\xff\xc2" + grey[sof + 2:]
    out["jpeg-components-4.jpg"] = grey[:sof + 9] + b"\x04" + grey[sof + 10:]
    return out


# ---- Encoder call lists (see encoder_fuzz.cpp) -----------------------------------------------

SET_MESSAGE, SET_COLOUR, CONFIGURE, APPEARANCE, SET_SIZE, SAVE = 0, 1, 3, 4, 5, 6
INT_EDGES = {-2**31: 0, -2**31 + 1: 1, -65536: 2, -256: 3, -1: 4, 0: 5, 1: 6, 3: 7, 4: 8, 5: 9,
             40: 10, 41: 11, 255: 12, 256: 13, 16384: 14, 16385: 15, 65536: 16, 2**31 - 1: 17}
DOUBLE_EDGES = {"nan": 0, "inf": 1, "-inf": 2, "-0": 3, 0.0: 4, 0.2: 5, 1.0: 6}
PATHS = {"picture": 0, "null": 1, "empty": 2, "missing-folder": 3, "folder": 4,
         "trailing-slash": 5, "under-file": 6, "long": 7}


def enc_int(value):
    if value in INT_EDGES:
        return bytes([INT_EDGES[value]])
    if -46 <= value <= 63:
        return bytes([value + 64])
    return b"\x80" + struct.pack("<i", value)


def enc_double(value):
    if value in DOUBLE_EDGES:
        return bytes([DOUBLE_EDGES[value]])
    return b"\x80" + struct.pack("<d", value)


def message(text):
    return bytes([SET_MESSAGE, 9, len(text)]) + text


def colour(red, green, blue, background):
    return (bytes([SET_COLOUR]) + enc_int(red) + enc_int(green) + enc_int(blue)
            + bytes([0 if background else 1]))


def configure(version, level, quiet):
    return bytes([CONFIGURE]) + enc_int(version) + enc_int(level) + enc_int(quiet)


def appearance(contrast, whole, inverted):
    return bytes([APPEARANCE]) + enc_double(contrast) + enc_int(whole) + enc_int(inverted)


def size(width, height):
    return bytes([SET_SIZE]) + enc_int(width) + enc_int(height)


def save(path="picture"):
    return bytes([SAVE, PATHS[path]])


def encoder_seeds():
    program = (message("扫一扫 https://example.com/\r\n".encode("gb18030"))
               + colour(255, 255, 255, True) + colour(0, 0, 0, False) + configure(-1, -1, 5)
               + appearance(0.2, 1, 0) + size(500, 500) + save())
    out = {"program.bin": program}
    for path in PATHS:
        out[f"path-{path}.bin"] = program + save(path)
    out["message-null.bin"] = bytes([SET_MESSAGE, 0]) + save()
    out["message-longest-digits.bin"] = bytes([SET_MESSAGE, 2, 0]) + configure(40, 0, 4) + save()
    out["message-one-digit-too-many.bin"] = bytes([SET_MESSAGE, 2, 1]) + save()
    out["message-oversized-gbk.bin"] = bytes([SET_MESSAGE, 3, 1]) + save()
    out["message-repeated-chinese.bin"] = (bytes([SET_MESSAGE, 4, 1]) + "码".encode("gb18030")
                                           + struct.pack("<H", 3000) + configure(1, 3, 4) + save())
    out["message-invalid-gb18030.bin"] = message(b"\x80\xff\x81\x30\xfe") + save()
    out["colours-out-of-range.bin"] = (colour(-2**31, 256, 2**31 - 1, True)
                                       + colour(-1, 65536, -256, False) + save())
    out["colours-too-close.bin"] = (colour(128, 128, 128, True) + colour(120, 120, 120, False)
                                    + save())
    out["contrast-nan-inf.bin"] = (appearance("nan", 1, 0) + save() + appearance("inf", 0, 1)
                                   + save() + appearance("-inf", -1, 2**31 - 1) + save())
    out["inverted-fractional.bin"] = appearance(0.5, 0, 1) + size(333, 777) + save()
    out["configure-extremes.bin"] = (configure(-2**31, 2**31 - 1, -2**31) + save()
                                     + configure(41, 4, 2**31 - 1) + save())
    out["quiet-zone-too-wide.bin"] = configure(1, 0, 300) + size(16, 16) + save()
    out["size-extremes.bin"] = (size(0, 500) + save() + size(16385, 1) + save()
                                + size(-2**31, 2**31 - 1) + save() + size(1, 1) + save())
    out["size-largest.bin"] = size(16384, 16384) + save() + size(16384, 1) + save()
    out["size-bad-then-good.bin"] = size(-1, -1) + size(21, 21) + save()
    return out


# ---- Code page and edit box (see codepage_fuzz.cpp) ------------------------------------------

def cut(text, position, added, limit=120, raw_units=False):
    limit_byte = 0 if limit == 120 else 128 + limit
    return bytes([limit_byte, 1 if raw_units else 0]) + u16(position) + u16(added) + text


def codepage_seeds():
    out = {}
    gbk = "二维码生成器".encode("gb18030")
    four = "😀€".encode("gb18030")
    utf8 = "扫一扫\n访问😀".encode("utf-8")
    out["gbk.bin"] = cut(gbk, 0, 6)
    out["gb18030-four-byte.bin"] = cut(four, 0, 2)
    out["gb18030-invalid.bin"] = cut(b"\x80\xff\x81\x30\x81\xfe\x39", 0, 7)
    out["gb18030-truncated.bin"] = cut(gbk[:-1], 0, 1)
    out["utf8-mixed.bin"] = cut(utf8, 0, 9)
    out["utf8-malformed.bin"] = cut(b"\xed\xa0\x80\xc0\xaf\xf4\x90\x80\x80\xe4\xb8", 0, 4)
    out["utf8-bom.bin"] = cut("\ufeffA中".encode("utf-8"), 1, 2)
    out["edit-ascii-over.bin"] = cut(b"a" * 130, 0, 130)
    out["edit-odd-byte-left.bin"] = cut(b"a" * 119 + "中".encode("utf-8"), 119, 1)
    out["edit-line-breaks.bin"] = cut(b"a" * 118 + b"\nb", 118, 2)
    out["edit-emoji-at-edge.bin"] = cut(b"a" * 117 + "😀".encode("utf-8"), 117, 2)
    out["edit-whole-replaced.bin"] = cut("中".encode("utf-8") * 100, 0, 101)
    out["edit-small-limit.bin"] = cut("中a😀\n".encode("utf-8") * 4, 3, 9, limit=5)
    out["edit-limit-zero.bin"] = cut(b"abc", 0, 3, limit=0)
    surrogates = struct.pack("<8H", 0xD83D, 0xDE00, 0xD800, 0x0041, 0xDC00, 0x4E2D, 0xD83D, 0xDE00)
    out["edit-lone-surrogates.bin"] = cut(surrogates * 20, 1, 100, raw_units=True)
    out["edit-insertion-parts-pair.bin"] = cut(struct.pack("<2H", 0xD83D, 0xDE00) * 40, 1, 60,
                                               raw_units=True)
    return out


def main():
    for target, seeds in (("picture", picture_seeds()), ("encoder", encoder_seeds()),
                          ("codepage", codepage_seeds())):
        for name, data in sorted(seeds.items()):
            write(target, name, data)
        print(f"{target}: {len(seeds)} seeds")


if __name__ == "__main__":
    main()
