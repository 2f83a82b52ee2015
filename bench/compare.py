"""Prints the workspace benchmarks beside their floors and Pillow's counterparts:

  compare.py FIRST.json REST.json PILLOW.txt [BASELINE.json]

BASELINE.json, when given, holds the load benchmark of an earlier build, run in the same session."""
import json
import sys


def benchmarks(*paths):
    found = {}
    for path in paths:
        with open(path) as f:
            for b in json.load(f)["benchmarks"]:
                found[b["name"].split("/")[0]] = b
    return found


def main(first, rest, pillow_path, baseline=None):
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

    # Each figure beside its floor, measured in the same run.
    print()
    print(f"{'':22} {'ours ms':>9} {'ours MiB':>9} {'floor ms':>9} {'floor MiB':>10} {'ours/floor':>11}  floor")

    def row(label, ms, mib, floor_ms, floor_mib, what):
        ratio = f"{ms / floor_ms:11.2f}" if floor_ms and floor_ms > 0 else f"{'':11}"
        fmib = f"{floor_mib:10.1f}" if floor_mib is not None else f"{'':10}"
        print(f"{label:22} {ms:9.1f} {mib:9.1f} {floor_ms:9.1f} {fmib} {ratio}  {what}")

    load = ours.get("BM_LoadProject")
    if load and "floor_ms" in load:
        row("load", load["real_time"], load.get("peak_extra_MiB", float("nan")), load["floor_ms"],
            load.get("floor_peak_extra_MiB"), "plain C++: read the strip, cut it into fresh memory")
    first, again = ours.get("BM_FirstImport"), ours.get("BM_CutSheetInto8x8Tiles")
    if first and again:
        row("first cut", first["cut_ms"], first.get("peak_extra_MiB", float("nan")), again["real_time"],
            again.get("peak_extra_MiB"), "the cut of an import repeated")
    dialog, decode = ours.get("BM_OpenImportDialog"), ours.get("BM_DecodeSheet")
    if dialog and decode:
        row("import dialog opening", dialog["real_time"], dialog.get("peak_extra_MiB", float("nan")),
            decode["real_time"], None, "reading the sheet's file (the goal: the opening under 20 ms)")
    if baseline:
        with open(baseline) as f:
            for b in json.load(f)["benchmarks"]:
                if b["name"].split("/")[0] == "BM_LoadProject" and load:
                    print(f"{'load, earlier build':22} {b['real_time']:9.1f} {'':9} {'':9} {'':10} "
                          f"{b['real_time'] / load['real_time']:11.2f}  (its time over ours, same session)")


if __name__ == "__main__":
    main(*sys.argv[1:])
