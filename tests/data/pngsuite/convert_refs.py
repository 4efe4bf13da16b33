#!/usr/bin/env python3
"""Turns the PNG suite's JSON pixel references into the raw files the tests read.

Usage: convert_refs.py SOURCE_DIR
SOURCE_DIR holds rgba/<name>.json for each image: a flat array
[r, g, b, a, ...], rows top to bottom; 16-bit images hold 16-bit values and most
also have a <name>_to8.json converted to 8 bits.

Writes rgba/<name>.rgba beside this script: the 8-bit r, g, b, a bytes, rows top
to bottom, no header (the PNG gives the size). For a 16-bit image the _to8
reference is used, or the high byte of each value when there is none.
"""
import json
import pathlib
import sys


def main() -> int:
    if len(sys.argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    src = pathlib.Path(sys.argv[1]) / "rgba"
    out = pathlib.Path(__file__).resolve().parent / "rgba"
    out.mkdir(exist_ok=True)
    count = 0
    for path in sorted(src.glob("*.json")):
        # Names beginning with x are corrupt images, which must be refused.
        if path.stem.endswith("_to8") or path.stem.startswith("x"):
            continue
        to8 = path.with_name(path.stem + "_to8.json")
        values = json.loads((to8 if to8.exists() else path).read_text())
        if max(values, default=0) > 255:
            values = [v >> 8 for v in values]
        if len(values) % 4 or min(values, default=0) < 0 or max(values, default=0) > 255:
            print(f"{path.name}: not RGBA bytes", file=sys.stderr)
            return 1
        (out / (path.stem + ".rgba")).write_bytes(bytes(values))
        count += 1
    print(f"{count} references written to {out}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
