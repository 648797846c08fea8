"""Helpers of the art tests: where the sources are, and picture sizes read
straight from the file headers so that the basic checks need no imaging
library."""

import os
import struct
import sys
import unittest

SOURCE_DIR = os.environ.get("QUILLON_SOURCE_DIR") or os.path.abspath(
    os.path.join(os.path.dirname(__file__), "..", ".."))
SKIN_DIR = os.path.join(SOURCE_DIR, "data", "skins", "theme1")
LAYOUT = os.path.join(SOURCE_DIR, "data", "layouts", "Q400.xml")
TOOLS_DIR = os.path.join(SOURCE_DIR, "tools")
SKIP = 77  # CTest's skip code (SKIP_RETURN_CODE)


def skin_path(name):
    """Skin names may use "\\" or "//" as separators; the program folds both to "/"."""
    parts = [p for p in name.replace("\\", "/").split("/") if p]
    return os.path.join(SKIN_DIR, *parts)


def picture_size(path):
    """(width, height) of a PNG, GIF or ICO file (the largest icon of an ICO)."""
    with open(path, "rb") as f:
        head = f.read(64)
        if head[:8] == b"\x89PNG\r\n\x1a\n" and head[12:16] == b"IHDR":
            return struct.unpack(">II", head[16:24])
        if head[:6] in (b"GIF87a", b"GIF89a"):
            return struct.unpack("<HH", head[6:10])
        if head[:4] == b"\x00\x00\x01\x00":
            count = struct.unpack("<H", head[4:6])[0]
            f.seek(6)
            best = (0, 0)
            for _ in range(count):
                entry = f.read(16)
                w, h = entry[0] or 256, entry[1] or 256
                best = max(best, (w, h))
            return best
    raise ValueError("not a PNG, GIF or ICO file: %s" % path)


def imaging():
    """Pillow, or None when it is not installed (tests that need it skip)."""
    try:
        from PIL import Image
        return Image
    except ImportError:
        return None


def run(module_name):
    """Runs the tests of a module and maps "everything skipped" to CTest's skip code."""
    suite = unittest.defaultTestLoader.loadTestsFromModule(sys.modules[module_name])
    result = unittest.TextTestRunner(verbosity=2).run(suite)
    if not result.wasSuccessful():
        return 1
    if result.testsRun and len(result.skipped) == result.testsRun:
        return SKIP
    return 0
