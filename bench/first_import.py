"""Prints the first import of a fresh process after other programs freed memory, with large blocks on huge
pages, plain pages and prefaulted pages, beside its floor and Pillow, and the repeated cut and the load in
each mode:

  first_import.py DIR

DIR holds first-MODE-N.json (BM_FirstImport), floor-N.json (BM_FirstImportFloor), pillow-N.txt (Pillow's
import) for rounds N, and rest-MODE.json (BM_CutSheetInto8x8Tiles, BM_LoadProject) for each MODE."""
import glob
import json
import os
import statistics
import sys


def bench(path, name):
    with open(path) as f:
        for b in json.load(f)["benchmarks"]:
            if b["name"].split("/")[0] == name:
                return b
    return None


def main(folder):
    modes = sorted({os.path.basename(p).split("-")[1] for p in glob.glob(os.path.join(folder, "first-*-*.json"))})
    floors = [bench(p, "BM_FirstImportFloor") for p in sorted(glob.glob(os.path.join(folder, "floor-*.json")))]
    floors = [b for b in floors if b]
    pillow = []
    for p in sorted(glob.glob(os.path.join(folder, "pillow-*.txt"))):
        with open(p) as f:
            values = dict(line.split() for line in f if line.strip())
        pillow.append(float(values["pillow_import_ms"]))
    floor_ms = statistics.median(b["real_time"] for b in floors) if floors else float("nan")
    floor_cut = statistics.median(b["cut_ms"] for b in floors) if floors else float("nan")
    pillow_ms = statistics.median(pillow) if pillow else float("nan")
    print(f"first import after 600 MiB were touched and freed, {len(floors)} fresh processes per mode, medians:")
    print(f"{'pages':11} {'import ms':>10} {'slowest':>9} {'cut ms':>8} {'floor cut':>10} {'cut/floor':>10}"
          f" {'slowest/Pillow':>15}")
    for mode in modes:
        runs = [bench(p, "BM_FirstImport") for p in sorted(glob.glob(os.path.join(folder, f"first-{mode}-*.json")))]
        runs = [b for b in runs if b]
        if not runs:
            continue
        total = statistics.median(b["real_time"] for b in runs)
        slowest = max(b["real_time"] for b in runs)
        cut = statistics.median(b["cut_ms"] for b in runs)
        print(f"{mode:11} {total:10.1f} {slowest:9.1f} {cut:8.1f} {floor_cut:10.1f} {cut / floor_cut:10.2f}"
              f" {slowest / pillow_ms:15.3f}")
    print(f"floor: plain C++ read {floor_ms:.1f} ms, of which the copy into tiles {floor_cut:.1f} ms;"
          f" Pillow reading and cropping the sheet {pillow_ms:.1f} ms")
    print()
    print(f"{'pages':11} {'cut again ms':>13} {'load ms':>9} {'load floor':>11} {'load/floor':>11}")
    for mode in modes:
        path = os.path.join(folder, f"rest-{mode}.json")
        if not os.path.exists(path):
            continue
        cut, load = bench(path, "BM_CutSheetInto8x8Tiles"), bench(path, "BM_LoadProject")
        print(f"{mode:11} {cut['real_time']:13.1f} {load['real_time']:9.1f} {load['floor_ms']:11.1f}"
              f" {load['real_time'] / load['floor_ms']:11.2f}")


if __name__ == "__main__":
    main(*sys.argv[1:])
