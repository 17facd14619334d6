#!/usr/bin/python3
"""Reference values of the Axon ABF recordings for tests/files/test_abf_file.cpp, read with Neo's AxonIO
(Debian python3-neo) and written to tests/files/abf_reference.txt. Run from the repository root:
    tests/files/abf_reference.py
"""

import logging
import pathlib
import warnings

import neo
import numpy as np

ROOT = pathlib.Path(__file__).resolve().parents[2]
RECORDINGS = ROOT / ".." / "shared" / "data" / "recordings"
FILES = ["abf/130618-1-12.abf", "abf/17o05027_ic_ramp.abf", "abf/pclamp11_4ch.abf", "abf/pclamp11_4ch_abf1.abf"]


def stimulus_points(reader, length):
    """For each sweep of an ABF2 file, the first point (of the sweeps laid end to end) where any output
    waveform Neo rebuilds from the epoch table leaves its holding level."""
    if reader._axon_info["fFileVersionNumber"] < 2:
        return None
    sweeps, _, _ = reader.read_raw_protocol()
    points = []
    for index, outputs in enumerate(sweeps):
        starts = [np.flatnonzero(wave != wave[0]) for wave in outputs]
        firsts = [int(s[0]) for s in starts if s.size]
        if firsts:
            points.append(index * length + min(firsts))
    return points


def describe(name):
    reader = neo.io.AxonIO(str(RECORDINGS / name))
    block = reader.read_block()
    info = reader._axon_info
    version = info["fFileVersionNumber"]
    mode = info["nOperationMode"] if version < 2 else info["protocol"]["nOperationMode"]
    segments = block.segments
    # Each segment's signals: a points x channels array in the channels' units.
    data = np.concatenate([segment.analogsignals[0].magnitude for segment in segments])
    signal = segments[0].analogsignals[0]
    length = signal.shape[0]
    lines = [
        f"file {name} channels {signal.shape[1]} rate {float(signal.sampling_rate):.10g}"
        f" samples {data.shape[0]} sweeps {len(segments)} length {length} mode {mode}"
        f" episodes {info['lActualEpisodes']}"
    ]
    last = (len(segments) - 1) * length
    points = [0, length // 2, length - 1, last, last + length // 2, data.shape[0] - 1]
    for index in range(signal.shape[1]):
        values = " ".join(f"{p}:{data[p, index]:.10g}" for p in points)
        unit = reader.header["signal_channels"][index]["units"]
        lines.append(f"channel {index} {unit} {values} {signal.array_annotations['channel_names'][index]}")
    # Neo gives every segment all of the file's tags.
    tags = [float(t) for event in segments[0].events for t in event.times]
    lines.append("tags " + " ".join(f"{t:.10g}" for t in tags))
    stimuli = stimulus_points(reader, length)
    if stimuli is not None:
        lines.append("stimulus " + " ".join(str(p) for p in stimuli))
    return lines


def main():
    warnings.simplefilter("ignore")
    logging.getLogger("neo").setLevel(logging.ERROR)  # the 2 kB header of ABF 1.3 has no telegraph fields
    lines = [
        f"# Made by tests/files/abf_reference.py with neo {neo.__version__}; do not edit.",
        "# file: name, channels, rate (Hz), samples per channel, Neo's sweeps (segments) and their length,"
        " operation mode, lActualEpisodes",
        "# channel: index, unit, point:value at the first, middle and last point of the first and of the last"
        " sweep (points of the sweeps laid end to end), Neo's name (spaces removed)",
        "# tags: the time (s) of each tag; stimulus (ABF2): for each sweep, the first point where an output"
        " leaves its holding level",
    ]
    for name in FILES:
        lines += describe(name)
    (ROOT / "tests" / "files" / "abf_reference.txt").write_text("\n".join(line.rstrip() for line in lines) + "\n")


if __name__ == "__main__":
    main()
