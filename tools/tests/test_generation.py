"""The committed art is what the generator makes: regenerating into a
temporary folder gives the same files, byte for byte, and two runs agree."""

import filecmp
import importlib.util
import os
import subprocess
import sys
import tempfile
import unittest

import art_support as support

GENERATOR = os.path.join(support.TOOLS_DIR, "generate_art.py")
# Folders the generator owns completely, and single files it writes.
OWNED_FOLDERS = [os.path.join("data", "skins", "theme1")]
OWNED_FILES = [os.path.join("data", "layouts", "Q400.xml"),
               os.path.join("toolkit", "resources", "scroll_v.png"),
               os.path.join("toolkit", "resources", "scroll_h.png")]


def generator_available():
    return all(importlib.util.find_spec(m) is not None for m in ("cairo", "PIL"))


def generate(out):
    subprocess.run([sys.executable, GENERATOR, "--out", out], check=True)


def tree(root):
    files = {f for f in OWNED_FILES if os.path.exists(os.path.join(root, f))}
    for folder in OWNED_FOLDERS:
        for dirpath, _, names in os.walk(os.path.join(root, folder)):
            for n in names:
                files.add(os.path.relpath(os.path.join(dirpath, n), root))
    return files


@unittest.skipUnless(generator_available(), "pycairo or Pillow is not installed")
class Regeneration(unittest.TestCase):
    def test_committed_files_are_the_generated_ones(self):
        with tempfile.TemporaryDirectory() as out:
            generate(out)
            made = tree(out)
            self.assertEqual(made, tree(support.SOURCE_DIR),
                             "the committed art and the generator's output list other files")
            differing = [f for f in sorted(made)
                         if not filecmp.cmp(os.path.join(out, f),
                                            os.path.join(support.SOURCE_DIR, f), shallow=False)]
            self.assertEqual(differing, [], "regenerate with tools/generate_art.py")

    def test_two_runs_give_the_same_bytes(self):
        with tempfile.TemporaryDirectory() as a, tempfile.TemporaryDirectory() as b:
            generate(a)
            generate(b)
            match, mismatch, errors = filecmp.cmpfiles(a, b, sorted(tree(a)), shallow=False)
            self.assertEqual((mismatch, errors), ([], []))


if __name__ == "__main__":
    sys.exit(support.run(__name__))
