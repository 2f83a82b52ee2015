"""Pillow's counterparts of the workspace benchmarks, on the same files, one operation per process:

  import SHEET        read the sheet and crop it into 8 x 8 tiles
  save SHEET OUT      paste those tiles side by side into an RGB strip and write it as BMP
  load STRIP          read a tile strip and crop it into 8 x 8 tiles
  export SHEET OUT    paste the tiles into an RGB sheet, map it to the 3-3-2 palette without dithering and
                      write it as BMP

Prints "pillow_OP_ms TIME" and "pillow_OP_peak_mib EXTRA", EXTRA being the memory the operation took above
what the process held before it.
"""
import sys
import time

from PIL import Image


def status_kib(key):
    with open("/proc/self/status") as f:
        for line in f:
            if line.startswith(key + ":"):
                return int(line.split()[1])
    return 0


class Peak:
    def __enter__(self):
        with open("/proc/self/clear_refs", "w") as f:
            f.write("5")
        self.before = status_kib("VmRSS")
        self.start = time.perf_counter()
        return self

    def __exit__(self, *exc):
        self.ms = 1000 * (time.perf_counter() - self.start)
        self.mib = (status_kib("VmHWM") - self.before) / 1024


def tiles_of(img):
    w, h = img.size
    tiles = [img.crop((x, y, x + 8, y + 8)) for y in range(0, h - 7, 8) for x in range(0, w - 7, 8)]
    for t in tiles:
        t.load()
    return tiles


def rgb_tiles(path):
    img = Image.open(path).convert("RGB")
    return img.size, tiles_of(img)


def palette332():
    levels, blue = [0, 36, 72, 108, 144, 180, 216, 255], [0, 85, 170, 255]
    pal = Image.new("P", (1, 1))
    pal.putpalette([c for i in range(256) for c in (levels[i % 8], levels[(i // 8) % 8], blue[i // 64])])
    return pal


def main(op, *paths):
    if op in ("import", "load"):
        with Peak() as p:
            img = Image.open(paths[0])
            img.load()
            tiles = tiles_of(img)
    elif op == "save":
        _, tiles = rgb_tiles(paths[0])
        with Peak() as p:
            strip = Image.new("RGB", (8 * len(tiles), 8), "white")
            for i, t in enumerate(tiles):
                strip.paste(t, (8 * i, 0))
            strip.save(paths[1], "BMP")
            del strip
    elif op == "export":
        (w, h), tiles = rgb_tiles(paths[0])
        pal = palette332()
        with Peak() as p:
            sheet = Image.new("RGB", (w, h), "white")
            across = w // 8
            for i, t in enumerate(tiles):
                sheet.paste(t, (8 * (i % across), 8 * (i // across)))
            sheet.quantize(palette=pal, dither=Image.Dither.NONE).save(paths[1], "BMP")
            del sheet
    else:
        raise SystemExit(__doc__)
    print(f"pillow_{op}_ms {p.ms:.1f}")
    print(f"pillow_{op}_peak_mib {p.mib:.1f}")


if __name__ == "__main__":
    main(*sys.argv[1:])
