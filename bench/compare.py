"""Prints the workspace benchmarks beside Pillow's counterparts: compare.py FIRST.json REST.json PILLOW.txt"""
import json
import sys


def benchmarks(*paths):
    found = {}
    for path in paths:
        with open(path) as f:
            for b in json.load(f)["benchmarks"]:
                found[b["name"].split("/")[0]] = b
    return found


def main(first, rest, pillow_path):
    ours = benchmarks(first, rest)
    pillow = {}
    with open(pillow_path) as f:
        for line in f:
            key, value = line.split()
            pillow[key] = float(value)
    rows = [
        ("first import", "BM_FirstImport", "import", "read the sheet, cut 262,144 tiles"),
        ("cut, again", "BM_CutSheetInto8x8Tiles", None, "(ours only: the cut of an import repeated)"),
        ("save", "BM_SaveProject", "save", "build and write the strip"),
        ("load", "BM_LoadProject", "load", "read the strip, cut it"),
        ("export", "BM_ExportSheet", "export", "build the sheet, map to 3-3-2, write"),
    ]
    print(f"{'':14} {'ours ms':>9} {'ours MiB':>9} {'Pillow ms':>10} {'Pillow MiB':>11} {'Pillow/ours':>12}  Pillow does")
    for label, name, op, what in rows:
        b = ours.get(name)
        if b is None:
            continue
        ms = b["real_time"]
        mib = b.get("peak_extra_MiB", float("nan"))
        pms, pmib = pillow.get(f"pillow_{op}_ms"), pillow.get(f"pillow_{op}_peak_mib")
        if pms is None:
            print(f"{label:14} {ms:9.1f} {mib:9.1f} {'':10} {'':11} {'':12}  {what}")
            continue
        ratio = f"{pms / ms:12.1f}" if ms > 0 else f"{'':12}"
        print(f"{label:14} {ms:9.1f} {mib:9.1f} {pms:10.1f} {pmib:11.1f} {ratio}  {what}")
    if "BM_FirstImport" in ours:
        print(f"first import: the cut alone took {ours['BM_FirstImport']['cut_ms']:.1f} ms")


if __name__ == "__main__":
    main(*sys.argv[1:])
