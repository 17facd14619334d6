#!/usr/bin/python3
"""MNE-Python's reading of an EDF file with every sample, the yardstick of bench_edf.

Usage: /usr/bin/python3 bench/mne_read_edf.py [file]
The file is by default the one bench_edf makes: <temp directory>/trazel_bench_large.edf.
"""

import os
import sys
import tempfile
import time

import mne


def read_seconds(path):
    start = time.perf_counter()
    mne.io.read_raw_edf(path, preload=True, verbose=False)
    return time.perf_counter() - start


def main():
    default = os.path.join(tempfile.gettempdir(), "trazel_bench_large.edf")
    path = sys.argv[1] if len(sys.argv) > 1 else default
    size = os.path.getsize(path)
    read_seconds(path)  # fills the page cache, as bench_edf's file is after writing it
    best = min(read_seconds(path) for _ in range(3))
    print(f"mne.io.read_raw_edf(preload=True), mne {mne.__version__}: {path}")
    print(f"{best * 1e3:.0f} ms, {size / best / 1e6:.0f} MB/s ({size / best / 2**20:.0f} MiB/s)")


if __name__ == "__main__":
    main()
