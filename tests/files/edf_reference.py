#!/usr/bin/python3
"""Reference values of the EDF and BDF recordings for tests/files/test_edf_file.cpp, read with MNE-Python
(Debian python3-mne) and written to tests/files/edf_reference.txt. Run from the repository root:
    tests/files/edf_reference.py
"""

import pathlib

import mne

ROOT = pathlib.Path(__file__).resolve().parents[2]
RECORDINGS = ROOT / ".." / "shared" / "data" / "recordings"
# The file, and its trigger signal: BioSemi's status word, or a clinical system's trigger pulses.
FILES = [("edf/test_edf_stim_channel.edf", "DIG DTRIG"), ("bdf/test_bdf_stim_channel.bdf", "Status")]
# MNE gives volts; every signal of both files is in microvolts.
SCALE = 1e6


def describe(name, trigger):
    path = RECORDINGS / name
    # Every signal as an EEG signal, so that MNE scales each the same way, trigger signals included.
    raw = mne.io.read_raw(path, stim_channel=None, preload=True)
    data = raw.get_data()
    samples = raw.n_times
    lines = [f"file {name} signals {len(raw.ch_names)} samples {samples} scale {SCALE:g}"]
    middle = samples // 2
    for index, label in enumerate(raw.ch_names):
        unit = raw._orig_units[label].replace("µ", "u")
        values = " ".join(f"{data[index, i] * SCALE:.10g}" for i in (0, middle, samples - 1))
        lines.append(f"signal {index} {raw.info['sfreq']:g} {unit} {values} {label}")
    # The trigger signal as MNE reads it, then every change to a non-zero value.
    raw = mne.io.read_raw(path, stim_channel=trigger, preload=True)
    events = mne.find_events(raw, stim_channel=trigger, consecutive=True, shortest_event=1)
    index = raw.ch_names.index(trigger)
    lines.append(f"events {index} " + " ".join(f"{sample}:{code}" for sample, _, code in events))
    return lines


def main():
    mne.set_log_level("WARNING")
    lines = [
        f"# Made by tests/files/edf_reference.py with MNE-Python {mne.__version__}; do not edit.",
        "# signal: index, rate (Hz), unit, first, middle (sample samples/2) and last value in the unit"
        " (MNE's value x scale), label",
        "# events: the trigger signal's index, then sample:code for each change of it to a non-zero value",
    ]
    for name, trigger in FILES:
        lines += describe(name, trigger)
    (ROOT / "tests" / "files" / "edf_reference.txt").write_text("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
