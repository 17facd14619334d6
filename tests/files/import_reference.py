#!/usr/bin/python3
"""Reference values of the recordings the import process reads, for tests/files/test_import_file.cpp,
written to tests/files/import_reference.txt: the BrainVision recording read with MNE-Python (Debian
python3-mne), the WFDB record decoded here from its header and its format 212 data. Run from anywhere:
    tests/files/import_reference.py
"""

import pathlib

import mne
import numpy as np

ROOT = pathlib.Path(__file__).resolve().parents[2]
RECORDINGS = ROOT / ".." / "shared" / "data" / "recordings"


def signal_line(index, rate, unit, values, label):
    samples = len(values)
    points = " ".join(f"{values[i]:.10g}" for i in (0, samples // 2, samples - 1))
    return f"signal {index} {rate:g} {unit} {points} {np.mean(values):.10g} {label}"


def format_212(data, signals):
    """The 12-bit samples of format 212: two samples in three bytes, interleaved signal by signal."""
    triples = np.frombuffer(data[: len(data) // 3 * 3], dtype=np.uint8).reshape(-1, 3).astype(np.int32)
    first = triples[:, 0] | (triples[:, 1] & 0x0F) << 8
    second = triples[:, 2] | (triples[:, 1] & 0xF0) << 4
    samples = np.column_stack([first, second]).ravel()
    samples = np.where(samples >= 2048, samples - 4096, samples)
    return samples[: len(samples) // signals * signals].reshape(-1, signals)


def describe_wfdb(name):
    header = (RECORDINGS / name).read_text().splitlines()
    record, signals, rate, length = header[0].split()[:4]
    signals, rate, length = int(signals), float(rate), int(length)
    lines = [f"file {name} signals {signals} samples {length}"]
    fields = [line.split() for line in header[1 : 1 + signals]]
    assert all(f[1] == "212" and f[0] == fields[0][0] for f in fields), "one format 212 file"
    digital = format_212((RECORDINGS / name).with_name(fields[0][0]).read_bytes(), signals)[:length]
    assert len(digital) == length
    for index, field in enumerate(fields):
        gain_unit, adc_zero, first, checksum, label = field[2], field[4], field[5], field[6], " ".join(field[8:])
        gain, unit = gain_unit.split("/")
        baseline = int(gain.split("(")[1].rstrip(")")) if "(" in gain else int(adc_zero)
        column = digital[:, index]
        # The header's first value and checksum (the 16-bit sum of the samples) prove the decoding.
        assert column[0] == int(first)
        assert (int(column.sum()) + 32768) % 65536 - 32768 == int(checksum)
        values = (column - baseline) / float(gain.split("(")[0])
        lines.append(signal_line(index, rate, unit, values, label))
    return lines


def header_units(path):
    """The unit of each channel as the BrainVision header writes it (Ch<n>=name,reference,resolution,unit)."""
    units = {}
    for line in path.read_text(encoding="utf-8").splitlines():
        if line.startswith("Ch") and "=" in line and line[2].isdigit():
            number, fields = line[2:].split("=", 1)
            units[int(number) - 1] = (fields.split(",") + [""] * 4)[3]
    return units


def describe_brainvision(name):
    raw = mne.io.read_raw_brainvision(RECORDINGS / name, preload=True)
    data = raw.get_data()
    units = header_units(RECORDINGS / name)
    lines = [f"file {name} signals {len(raw.ch_names)} samples {raw.n_times}"]
    for index, label in enumerate(raw.ch_names):
        # MNE turns microvolts (the default unit) and the other micro-units into their SI unit.
        in_volts = raw.info["chs"][index]["unit"] == mne.io.constants.FIFF.FIFF_UNIT_V
        scale = 1e6 if in_volts or units[index].startswith(("µ", "u")) else 1
        unit = raw._orig_units[label].replace("µ", "u")
        lines.append(signal_line(index, raw.info["sfreq"], unit, data[index] * scale, label))
    for annotation in raw.annotations:
        lines.append(f"event {annotation['onset']:.10g} {annotation['duration']:.10g} {annotation['description']}")
    return lines


def main():
    mne.set_log_level("WARNING")
    lines = [
        f"# Made by tests/files/import_reference.py with MNE-Python {mne.__version__} and its own format 212"
        " decoder; do not edit.",
        "# signal: index, rate (Hz), unit, first, middle (sample samples/2) and last value and the mean, in the"
        " file's unit, label",
        "# event: onset (s), duration (s), MNE's description (type/description)",
    ]
    lines += describe_wfdb("wfdb/v102s.hea")
    lines += describe_brainvision("brainvision/test.vhdr")
    (ROOT / "tests" / "files" / "import_reference.txt").write_text("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
