#!/usr/bin/python3
"""The Python writers side by side on the workload W(N) of bench/README.md.

W(N): N rows x 10 columns, columns 0-4 the floats row*10 + col + 0.5,
columns 5-9 the short texts r<row>c<col>. Each writer runs in a process of its
own, REPEATS times; a run reports the wall time of the write alone (the frame
is made before the clock starts) and the growth of the peak resident memory
over the process's size before the write. The tabulon command's CSV export of
the same data is timed from outside when a tabulon binary is given or found
in build/ (its time includes reading the CSV).

    /usr/bin/python3 bench/python_frames.py [--rows N] [--repeats R] [--cli PATH]

Prints the best and median times, the memory, and the ratios against pandas'
xlwt engine (targets: to_excel >= 2x faster, write_frame >= 20x faster);
write_frame_biff8 is write_frame saving BIFF8 (texts as Unicode).
Not a test: nothing here decides whether the suite passes.
"""

import argparse
import json
import os
import resource
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
import warnings

WRITERS = ("xlwt", "to_excel", "write_frame", "write_frame_biff8")


def make_frame(rows):
    import numpy as np
    import pandas as pd

    row = np.arange(rows)
    data = {f"n{c}": row * 10 + c + 0.5 for c in range(5)}
    for c in range(5, 10):
        data[f"t{c}"] = [f"r{r}c{c}" for r in range(rows)]
    return pd.DataFrame(data)


def peak_kib():
    return resource.getrusage(resource.RUSAGE_SELF).ru_maxrss


def run_one(writer, rows, out):
    """One timed write in this process; prints its measurements as JSON."""
    import tabulon

    df = make_frame(rows)
    before = peak_kib()
    start = time.perf_counter()
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")  # pandas 1.5 deprecates the xlwt engine
        if writer == "xlwt":
            df.to_excel(out, engine="xlwt", index=False)
        elif writer == "to_excel":
            df.to_excel(out, engine="tabulon", index=False)
        elif writer == "write_frame":
            tabulon.write_frame(df, out, index=False)
        else:
            tabulon.write_frame(df, out, index=False, file_format="biff8")
    seconds = time.perf_counter() - start
    print(json.dumps({"seconds": seconds, "memory_kib": peak_kib() - before}))


def spawn(writer, rows, out):
    result = subprocess.run([sys.executable, __file__, "--child", writer, "--rows", str(rows),
                             "--out", out], check=True, capture_output=True, text=True)
    return json.loads(result.stdout.strip().splitlines()[-1])


def time_cli(cli, rows, folder):
    csv = os.path.join(folder, "frame.csv")
    make_frame(rows).to_csv(csv, index=False)
    out = os.path.join(folder, "cli.xls")
    start = time.perf_counter()
    process = subprocess.Popen([cli, "export", "--csv", csv, "-o", out],
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(process.pid, 0)
    seconds = time.perf_counter() - start
    process.returncode = os.waitstatus_to_exitcode(status)
    if process.returncode != 0:
        raise RuntimeError(f"{cli} export failed with {process.returncode}")
    # The whole process's peak: the command has no size before its write.
    return {"seconds": seconds, "memory_kib": usage.ru_maxrss}


def find_cli(given):
    if given:
        return given
    for candidate in ("build/tabulon", "build-run/tabulon"):
        path = os.path.join(os.path.dirname(__file__), "..", candidate)
        if os.access(path, os.X_OK):
            return path
    return shutil.which("tabulon")


def summary(name, runs):
    times = [run["seconds"] for run in runs]
    memory = max(run["memory_kib"] for run in runs)
    print(f"{name:<24} best {min(times) * 1000:9.1f} ms   median "
          f"{statistics.median(times) * 1000:9.1f} ms   peak +{memory / 1024:7.1f} MiB")
    return statistics.median(times)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--rows", type=int, default=65000)
    parser.add_argument("--repeats", type=int, default=3)
    parser.add_argument("--cli")
    parser.add_argument("--child", choices=WRITERS)
    parser.add_argument("--out")
    args = parser.parse_args()
    if args.child:
        run_one(args.child, args.rows, args.out)
        return
    print(f"W({args.rows}): {args.rows} rows x 10 columns, {args.repeats} runs each")
    with tempfile.TemporaryDirectory() as folder:
        medians = {}
        for writer in WRITERS:
            out = os.path.join(folder, f"{writer}.xls")
            medians[writer] = summary(writer, [spawn(writer, args.rows, out)
                                               for _ in range(args.repeats)])
        cli = find_cli(args.cli)
        if cli:
            medians["cli"] = summary("tabulon export (C++)",
                                     [time_cli(cli, args.rows, folder) for _ in range(args.repeats)])
    base = medians["xlwt"]
    print(f"to_excel(engine='tabulon') is {base / medians['to_excel']:.1f}x faster than xlwt "
          "(target 2x)")
    print(f"write_frame is {base / medians['write_frame']:.1f}x faster than xlwt (target 20x)")
    if "cli" in medians:
        print(f"write_frame takes {medians['write_frame'] / medians['cli']:.2f}x the time of the "
              "C++ export")


if __name__ == "__main__":
    main()
