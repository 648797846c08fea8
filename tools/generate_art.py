#!/usr/bin/python3
"""Regenerates the product art: the skin set of theme1, the toolkit's scroll-bar
strips, the Q400 keyboard picture and its layout file.

    tools/generate_art.py                 write into the repository
    tools/generate_art.py --out DIR       write the same tree below DIR
    tools/generate_art.py --contact-sheet FILE   also draw the review sheet, and
                                          beside it FILE-page.png, a mock-up of
                                          the light page made of the pictures

The output is deterministic: the same sources give the same bytes.
"""

import argparse
import os
import sys

sys.dont_write_bytecode = True
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "skins"))
sys.path.insert(0, os.path.join(HERE, "keyboard"))

import contact_sheet  # noqa: E402
import make_keyboard  # noqa: E402
import make_skins  # noqa: E402
import preview  # noqa: E402


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=os.path.dirname(HERE),
                        help="root of the tree to write (default: the repository)")
    parser.add_argument("--contact-sheet", help="also write the review sheet to this PNG")
    args = parser.parse_args(argv)
    entries = make_skins.generate(args.out)
    entries += make_keyboard.generate(args.out)
    if args.contact_sheet:
        contact_sheet.write(entries, args.out, args.contact_sheet)
        preview.write(args.out, os.path.splitext(args.contact_sheet)[0] + "-page.png")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
