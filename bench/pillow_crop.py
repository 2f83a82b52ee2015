"""Times Pillow on the benchmark's sheet: the read and the crop into 8 x 8 tiles, for comparison."""
import sys
import time

from PIL import Image


def main(path):
    t0 = time.perf_counter()
    img = Image.open(path)
    img.load()
    t1 = time.perf_counter()
    w, h = img.size
    tiles = [img.crop((x, y, x + 8, y + 8)) for y in range(0, h - 7, 8) for x in range(0, w - 7, 8)]
    for t in tiles:
        t.load()
    t2 = time.perf_counter()
    print(f"pillow_read_ms {1000 * (t1 - t0):.1f}")
    print(f"pillow_crop_ms {1000 * (t2 - t1):.1f} tiles {len(tiles)}")


if __name__ == "__main__":
    main(sys.argv[1])
