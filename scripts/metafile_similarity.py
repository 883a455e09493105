"""The figures of compare-metafiles.sh: how closely the helper's drawing of
each metafile matches LibreOffice's.

Usage: metafile_similarity.py FILES_TSV LO_CACHE OURS_FOLDER [PAIRS_FOLDER]
FILES_TSV: checksum, name, the helper's exit code, its start and end time.
"""
import os
import statistics
import struct
import sys
import xml.etree.ElementTree as ET
import zipfile

import numpy as np
from PIL import Image

SIDE = 256      # the long side both drawings are compared at
REACH = 2       # pixels within which ink counts as matched
LOW = 0.8
SLOW = 1.0      # seconds
STYLE = "{urn:oasis:names:tc:opendocument:xmlns:style:1.0}"
DRAW = "{urn:oasis:names:tc:opendocument:xmlns:drawing:1.0}"
FO = "{urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0}"
SVG = "{urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0}"


def ink(rgb):
    """Pixels visibly darker or more coloured than white."""
    return (255 - rgb.min(axis=2)) > 32


def length(text):
    """An ODF length in centimetres."""
    units = {"cm": 1.0, "mm": 0.1, "in": 2.54, "pt": 2.54 / 72, "pc": 2.54 / 6}
    for unit, factor in units.items():
        if text.endswith(unit):
            return float(text[:-len(unit)]) * factor
    raise ValueError(text)


def drawing_box(odg):
    """Where the drawing lies on LibreOffice's page, as shares of the page."""
    with zipfile.ZipFile(odg) as document:
        layout = ET.fromstring(document.read("styles.xml")).find(f".//{STYLE}page-layout-properties")
        frame = ET.fromstring(document.read("content.xml")).find(f".//{DRAW}frame")
    if layout is None or frame is None:
        return None
    page_w, page_h = length(layout.get(f"{FO}page-width")), length(layout.get(f"{FO}page-height"))
    x, y = length(frame.get(f"{SVG}x", "0cm")), length(frame.get(f"{SVG}y", "0cm"))
    w, h = length(frame.get(f"{SVG}width")), length(frame.get(f"{SVG}height"))
    return x / page_w, y / page_h, (x + w) / page_w, (y + h) / page_h


def lo_drawing(base):
    image = Image.open(base + ".png").convert("RGBA")
    page = Image.new("RGBA", image.size, (255, 255, 255, 255))
    image = Image.alpha_composite(page, image).convert("RGB")
    box = drawing_box(base + ".odg")
    w, h = image.size
    if box:
        left, top = max(0, round(box[0] * w)), max(0, round(box[1] * h))
        right, bottom = min(w, round(box[2] * w)), min(h, round(box[3] * h))
        if right > left and bottom > top:
            image = image.crop((left, top, right, bottom))
    return np.asarray(image)


def our_drawing(path):
    """The helper's output: "PXMF", drawn and natural sizes, 0xffRRGGBB words."""
    data = open(path, "rb").read()
    if len(data) < 20 or data[:4] != b"PXMF":
        return None
    width, height = struct.unpack_from("<II", data, 4)
    words = np.frombuffer(data, dtype="<u4", count=width * height, offset=20).reshape(height, width)
    return np.stack([(words >> 16) & 255, (words >> 8) & 255, words & 255], axis=2).astype(np.uint8)


def scaled_ink(rgb):
    """The ink mask with its long side SIDE: a pixel is ink when any pixel
    it stands for is, so that thin lines survive the shrinking."""
    mask = Image.fromarray(ink(rgb).astype(np.uint8) * 255)
    scale = SIDE / max(mask.size)
    size = (max(1, round(mask.size[0] * scale)), max(1, round(mask.size[1] * scale)))
    return np.asarray(mask.resize(size, Image.BOX)) > 0


def grown(mask):
    out = np.zeros((mask.shape[0] + 2 * REACH, mask.shape[1] + 2 * REACH), dtype=bool)
    for dy in range(2 * REACH + 1):
        for dx in range(2 * REACH + 1):
            out[dy:dy + mask.shape[0], dx:dx + mask.shape[1]] |= mask
    return out[REACH:-REACH, REACH:-REACH]


def similarity(a, b):
    """Share of the ink of both within REACH pixels of ink in the other, the
    two masks laid on one page from the top left corner."""
    h, w = max(a.shape[0], b.shape[0]), max(a.shape[1], b.shape[1])
    pa, pb = np.zeros((h, w), bool), np.zeros((h, w), bool)
    pa[:a.shape[0], :a.shape[1]] = a
    pb[:b.shape[0], :b.shape[1]] = b
    total = pa.sum() + pb.sum()
    if total == 0:
        return 1.0
    return float((pa & grown(pb)).sum() + (pb & grown(pa)).sum()) / total


def save_pair(folder, name, lo, ours):
    height = max(lo.shape[0], ours.shape[0] if ours is not None else 0)
    sheet = Image.new("RGB", (2 * SIDE + 8, height), (128, 128, 128))
    sheet.paste(Image.fromarray(lo), (0, 0))
    if ours is not None:
        sheet.paste(Image.fromarray(ours), (SIDE + 8, 0))
    sheet.save(os.path.join(folder, name + ".png"))


def shrunk(rgb):
    image = Image.fromarray(rgb)
    scale = SIDE / max(image.size)
    return np.asarray(image.resize((max(1, round(image.size[0] * scale)), max(1, round(image.size[1] * scale))),
                                   Image.LANCZOS))


def main(files, cache, ours, pairs=""):
    scores, below, corrupted, crashes, slow, times = [], 0, 0, 0, 0, []
    for line in open(files, encoding="utf-8"):
        checksum, name, code, start, end = line.rstrip("\n").split("\t")
        code, seconds = int(code), float(end) - float(start)
        times.append((seconds, name))
        if seconds > SLOW:
            slow += 1
        if code >= 124:  # timed out or ended by a signal
            crashes += 1
            print(f"{name}: the helper failed (exit {code})")
        if os.path.exists(f"{cache}/{checksum}.unread"):
            corrupted += 1
            continue
        lo = lo_drawing(f"{cache}/{checksum}")
        drawn = our_drawing(f"{ours}/{checksum}.pxmf") if code == 0 else None
        score = similarity(scaled_ink(lo), scaled_ink(drawn)) if drawn is not None else 0.0
        scores.append(score)
        if pairs:
            save_pair(pairs, f"{score:.2f}_{name}", shrunk(lo), shrunk(drawn) if drawn is not None else None)
        if score < LOW:
            below += 1
            why = "" if drawn is not None else ": refused, " + "".join(open(f"{ours}/{checksum}.why").read().strip().splitlines()[-1:])
            print(f"{name}: {score:.2f}{why}")
    n = len(scores)
    median = statistics.median(scores) if scores else 0
    share = 100 * below / n if n else 0
    slowest = max(times) if times else (0, "")
    print(f"slowest: {slowest[1]} {slowest[0]:.2f} s")
    print(f"files {n}, corrupted {corrupted}, median similarity {median:.2f}, below {LOW}: {below} ({share:.0f} %), "
          f"crashes {crashes}, over time {slow}")


if __name__ == "__main__":
    main(*sys.argv[1:])
