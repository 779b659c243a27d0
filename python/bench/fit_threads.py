"""Benchmark: fitting copies of the bundled example from Python threads.

Fits N copies (default 8) of the Oude Korendijk project one after another on
one thread, then from 1, 2, 4 and N threads at once, each copy in a folder of
its own, and prints the wall-clock time of each, the speed-up over the
serial run and the cores the process kept busy on average (CPU time over
wall-clock time: on a machine shared with other work the wall-clock figures
say less than this one). Every report must equal the serial one.

    /usr/bin/python3 python/bench/fit_threads.py [N] [REPEATS]
"""

import os
import shutil
import sys
import tempfile
import threading
import time
from pathlib import Path

import wellfit

EXAMPLE = Path(__file__).resolve().parents[2] / "examples" / "oude-korendijk"


def copies(root, n):
    paths = []
    for i in range(n):
        folder = Path(root) / f"copy{i}"
        folder.mkdir()
        for name in ("OKORENDIJK.wft", "OKORENDIJK.DAT"):
            shutil.copy(EXAMPLE / name, folder / name)
        paths.append(folder / "OKORENDIJK.wft")
    return paths


def fit_all(paths, threads):
    reports = [None] * len(paths)

    def work(indices):
        for i in indices:
            reports[i] = wellfit.Project.open(paths[i]).fit().report

    groups = [list(range(k, len(paths), threads)) for k in range(threads)]
    workers = [threading.Thread(target=work, args=(g,)) for g in groups]
    start, cpu = time.perf_counter(), time.process_time()
    for w in workers:
        w.start()
    for w in workers:
        w.join()
    wall = time.perf_counter() - start
    return wall, reports, (time.process_time() - cpu) / wall


def main():
    n = int(sys.argv[1]) if len(sys.argv) > 1 else 8
    repeats = int(sys.argv[2]) if len(sys.argv) > 2 else 3
    print(f"{n} fits of the example; {os.cpu_count()} cores; per-run folders: {wellfit.parallel_runs}")
    with tempfile.TemporaryDirectory() as root:
        paths = copies(root, n)
        serial, expected, busy = min((fit_all(paths, 1) for _ in range(repeats)), key=lambda r: r[0])
        print(f"  1 thread : {serial:6.3f} s  cores busy {busy:4.2f}")
        for threads in sorted({2, 4, n}):
            best, reports, busy = min((fit_all(paths, threads) for _ in range(repeats)), key=lambda r: r[0])
            same = all(r == expected[0] for r in reports)
            print(f"  {threads} threads: {best:6.3f} s  speed-up {serial / best:4.2f}  cores busy {busy:4.2f}  "
                  f"reports equal: {same}")
            if not same:
                raise SystemExit("the threaded fits gave other reports")


if __name__ == "__main__":
    main()
