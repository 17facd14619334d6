#!/usr/bin/env python3
"""Checks the recording of tools/soak on its own terms, without the program's code.

It decodes the recorded file from the layout as the README and src/files/bin_format.h describe it: a
128-byte header ("Version 1.00", the channel count and the three trace channels, the block flag, points
per sweep, the stimulus fields and the sample interval in microseconds, little-endian), then one record
per point of a 16-bit sample per recorded trace and a 16-bit marker word (0, 100 marker on, 200 stimulus).
It compares the file with the presses the soak made and the memory it sampled, prints a report and exits
1 when a check fails.
"""

import argparse
import array
import math
import statistics
import struct
import sys

HEADER_SIZE = 128
RATE_HZ = 1000
MARKER_ON = 100
STIMULUS = 200
SAMPLE_LIMIT = 75  # the simulated source stays within -75..75
POINTS_TOLERANCE = 0.001
# The time of a mark in the file (its point over the rate) less the time of its press (both from the moment
# the save dialog was answered) is the clicks' delivery less the time from that moment to the first point:
# about constant. Points lost or taken late would make it drift.
DELAY_SPREAD_MS = 500
DELAY_LIMIT_MS = 1500
# The program's memory may settle during the first minute; after it, it must stay within this growth.
RSS_GROWTH_LIMIT_KB = 3 * 1024
END_MARGIN_S = 5


class Report:
    def __init__(self):
        self.failed = 0
        self.count = 0

    def check(self, name, ok, text):
        self.count += 1
        self.failed += 0 if ok else 1
        print(f"  {name:<15} {'ok  ' if ok else 'FAIL'}  {text}")


def read_recording(path):
    with open(path, "rb") as f:
        data = f.read()
    if len(data) < HEADER_SIZE:
        raise ValueError(f"{len(data)} bytes: shorter than the header")
    version = data[:12]
    channels, ch1, ch2, ch3, block = struct.unpack_from("<5h", data, 12)
    interval_us = struct.unpack_from("<i", data, 32)[0]
    words = array.array("h")
    body = data[HEADER_SIZE:]
    words.frombytes(body[: len(body) - len(body) % 2])
    if sys.byteorder == "big":
        words.byteswap()
    return {
        "version": version,
        "channels": channels,
        "trace_channels": (ch1, ch2, ch3),
        "block": block,
        "interval_us": interval_us,
        "data_bytes": len(body),
        "words": words,
    }


def marks(markers):
    """Marker runs as (first point, last point) and the points of every stimulus word, and the words that
    are neither 0, 100 nor 200."""
    runs, stimuli, strange = [], [], 0
    run_start = None
    for i, word in enumerate(markers):
        if word == STIMULUS:
            stimuli.append(i)
        elif word not in (0, MARKER_ON):
            strange += 1
        # A stimulus inside a run marks its point with 200 and the run goes on.
        on = word == MARKER_ON or (word == STIMULUS and run_start is not None)
        if on and run_start is None:
            run_start = i
        elif not on and run_start is not None:
            runs.append((run_start, i - 1))
            run_start = None
    if run_start is not None:
        runs.append((run_start, len(markers) - 1))
    return runs, stimuli, strange


def read_presses(path):
    presses = {"stim": [], "marker_on": [], "marker_off": []}
    with open(path) as f:
        for line in f:
            ms, kind = line.split()
            presses[kind].append(int(ms))
    return presses


def read_rss(path):
    with open(path) as f:
        return [tuple(int(v) for v in line.split()) for line in f if len(line.split()) == 2]


def delays(press_ms, point_indexes):
    """The time from each press to its mark in the file, pairing them in order."""
    return [i * 1000 // RATE_HZ - p for p, i in zip(press_ms, point_indexes)]


def check_marks(report, name, press_ms, point_indexes):
    found = len(point_indexes)
    counted = f"{len(press_ms)} presses, {found} in the file"
    if found != len(press_ms) or not press_ms:
        report.check(name, found == len(press_ms), counted)
        return []
    d = delays(press_ms, point_indexes)
    ok = max(d) - min(d) <= DELAY_SPREAD_MS and max(abs(v) for v in d) <= DELAY_LIMIT_MS
    report.check(
        name,
        ok,
        f"{counted}; mark - press {min(d):+}..{max(d):+} ms (spread {max(d) - min(d)} ms, "
        f"median {statistics.median(d):+.0f})",
    )
    return d


def check_recording(report, rec, args, presses):
    header_ok = (
        rec["version"] == b"Version 1.00"
        and rec["channels"] == 3
        and rec["trace_channels"] == (1, 2, 3)
        and rec["block"] == 0
        and rec["interval_us"] == 1000000 // RATE_HZ
    )
    report.check(
        "header",
        header_ok,
        f"{rec['version'].decode('latin-1')!r}, {rec['channels']} channels {rec['trace_channels']}, "
        f"block flag {rec['block']}, {rec['interval_us']} us",
    )
    stride = rec["channels"] + 1
    words = rec["words"]
    points = len(words) // stride if stride > 0 else 0
    expected = args.minutes * 60 * RATE_HZ
    whole = rec["data_bytes"] % (2 * stride) == 0 if stride > 0 else False
    off = abs(points - expected) / expected
    report.check(
        "points",
        whole and off <= POINTS_TOLERANCE,
        f"{points} recorded, {expected} expected ({100 * off:.3f} %)"
        + ("" if whole else f", {rec['data_bytes'] % (2 * stride)} bytes of a partial record"),
    )
    if points == 0:
        return
    traces = [words[t : points * stride : stride] for t in range(stride - 1)]
    if args.tone:
        check_tone(report, traces, *args.tone)
    else:
        in_range = all(-SAMPLE_LIMIT <= min(t) and max(t) <= SAMPLE_LIMIT for t in traces)
        varies = all(min(t) != max(t) for t in traces)
        report.check(
            "samples",
            in_range and varies,
            ", ".join(f"trace {n + 1} {min(t)}..{max(t)}" for n, t in enumerate(traces)),
        )
    runs, stimuli, strange = marks(words[stride - 1 : points * stride : stride])
    report.check("marker words", strange == 0, f"{strange} words other than 0, 100 and 200")
    check_marks(report, "marker on", presses["marker_on"], [r[0] for r in runs])
    check_marks(report, "marker off", presses["marker_off"], [r[1] + 1 for r in runs])
    check_marks(report, "stimuli", presses["stim"], stimuli)


def check_tone(report, traces, amplitude, hz):
    """A tone played into the sound card's input: in every trace with its amplitude, and one unbroken phase
    a second after a second, which a lost, repeated or invented point would shift by 360 * hz / RATE_HZ
    degrees."""
    worst_amplitude, worst_phase = 0.0, 0.0
    cos = [math.cos(2 * math.pi * hz * n / RATE_HZ) for n in range(RATE_HZ)]
    sin = [math.sin(2 * math.pi * hz * n / RATE_HZ) for n in range(RATE_HZ)]
    for trace in traces:
        first = None
        for start in range(RATE_HZ, len(trace) - RATE_HZ + 1, RATE_HZ):
            block = trace[start : start + RATE_HZ]
            i = sum(map(lambda v, c: v * c, block, cos)) * 2 / RATE_HZ
            q = sum(map(lambda v, s: v * s, block, sin)) * 2 / RATE_HZ
            worst_amplitude = max(worst_amplitude, abs(math.hypot(i, q) / amplitude - 1))
            phase = math.degrees(math.atan2(i, q)) - 360 * hz * start / RATE_HZ
            first = phase if first is None else first
            worst_phase = max(worst_phase, abs((phase - first + 180) % 360 - 180))
    step = 360 * hz / RATE_HZ
    report.check(
        "tone",
        worst_amplitude <= 0.001 and worst_phase < step / 4,
        f"amplitude within {100 * worst_amplitude:.3f} % of {amplitude}, phase within {worst_phase:.2f} deg "
        f"(a point is {step:.0f} deg) in every second of every trace",
    )


def check_end(report, args):
    ok = 0 <= args.ended_ms <= (args.minutes * 60 + END_MARGIN_S) * 1000
    text = f"by itself after {args.ended_ms / 1000:.1f} s" if args.ended_ms >= 0 else "did not end by itself"
    report.check("end", ok, f"{text} (file length {args.minutes * 60} s)")


def check_memory(report, rss, ended_ms):
    during = [(ms, kb) for ms, kb in rss if ms <= ended_ms] if ended_ms >= 0 else rss
    later = [(ms, kb) for ms, kb in during if ms >= 60000]
    if not later:
        report.check("memory", False, "no sample after the first minute")
        return
    base, end = later[0][1], later[-1][1]
    growth = max(kb for _, kb in later) - base
    report.check(
        "memory",
        growth <= RSS_GROWTH_LIMIT_KB,
        f"RSS {base / 1024:.1f} MiB at {later[0][0] / 1000:.0f} s, {end / 1024:.1f} MiB at "
        f"{later[-1][0] / 1000:.0f} s, at most {growth / 1024:+.1f} MiB over the first "
        f"(limit {RSS_GROWTH_LIMIT_KB / 1024:.0f} MiB), {len(during)} samples",
    )


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--minutes", type=int, required=True)
    parser.add_argument("--seed", type=int, required=True)
    parser.add_argument("--ended-ms", type=int, required=True, help="-1: the recording did not end")
    parser.add_argument("--tone", type=int, nargs=2, metavar=("AMPLITUDE", "HZ"),
                        help="a tone was played into the input: check it instead of the simulated values")
    parser.add_argument("recording")
    parser.add_argument("presses")
    parser.add_argument("rss")
    args = parser.parse_args()

    print(f"Soak of {args.minutes} min at {RATE_HZ} points/s, seed {args.seed}: {args.recording}")
    report = Report()
    try:
        rec = read_recording(args.recording)
    except (OSError, ValueError) as error:
        report.check("file", False, str(error))
    else:
        check_recording(report, rec, args, read_presses(args.presses))
    check_end(report, args)
    check_memory(report, read_rss(args.rss), args.ended_ms)
    if report.failed:
        print(f"FAILED: {report.failed} of {report.count} checks")
        return 1
    print(f"Passed: all {report.count} checks")
    return 0


if __name__ == "__main__":
    sys.exit(main())
