#!/usr/bin/env python3
"""Joins the samples of the soak run's lanes (lane.sh) into soak.csv, draws
soak.png with gnuplot, prints how fast each count grows per build, and exits
non-zero when one grows beyond its tolerance.

The first sixth of each build's samples (at least one) is the warm-up: the
first run, menu and panel window load what stays loaded. The growth is the
least-squares slope of the samples after it, per hour. It is judged once
they span JUDGED_MINUTES; a shorter run only prints it.

Usage: report.py <soak folder>
"""
import csv
import pathlib
import subprocess
import sys

BUILDS = ("i686", "x86_64")
# Column, what it counts, and how much it may grow per hour.
MEASURES = (
    ("gdi_objects", "GDI objects", 0),
    ("kernel_handles", "kernel handles", 0),
    ("private_kib", "private memory, KiB", 512),
    ("settings_bytes", "TVL.ini, bytes", 0),
)
JUDGED_MINUTES = 10


def read_samples(folder):
    """{build: [row, ...]} from <build>.csv, in time order."""
    samples = {}
    for build in BUILDS:
        path = folder / f"{build}.csv"
        if path.exists():
            with path.open(newline="") as file:
                rows = list(csv.DictReader(file))
            if rows:
                samples[build] = sorted(rows, key=lambda row: int(row["seconds"]))
    return samples


def write_joined(folder, samples):
    with (folder / "soak.csv").open("w", newline="") as file:
        writer = None
        for rows in samples.values():
            for row in rows:
                if writer is None:
                    writer = csv.DictWriter(file, fieldnames=list(row))
                    writer.writeheader()
                writer.writerow(row)


def growth_per_hour(rows, column):
    """The least-squares slope of the column against time, per hour."""
    hours = [int(row["seconds"]) / 3600 for row in rows]
    values = [float(row[column]) for row in rows]
    mean_hour = sum(hours) / len(hours)
    mean_value = sum(values) / len(values)
    spread = sum((hour - mean_hour) ** 2 for hour in hours)
    return sum((hour - mean_hour) * (value - mean_value) for hour, value in zip(hours, values)) / spread


def draw(folder, samples):
    """One graph per measure against minutes, a line per build."""
    plots = []
    for column_number, (column, title, _) in enumerate(MEASURES, start=3):
        lines = ", ".join(
            f"'soak.csv' skip 1 using ($1/60):(strcol(2) eq '{build}' ? ${column_number} : NaN) "
            f"with linespoints title '{build}'"
            for build in samples)
        plots.append(f"set title '{title}'\nplot {lines}")
    script = "\n".join([
        "set terminal pngcairo size 1200,800 noenhanced",
        "set output 'soak.png'",
        "set datafile separator ','",
        "set xlabel 'minutes since the start'",
        "set key below",
        "set yrange [0:*]",
        "set multiplot layout 2,2",
        *plots,
        "unset multiplot",
    ])
    subprocess.run(["gnuplot"], input=script, text=True, cwd=folder, check=True)


def after_warm_up(rows):
    """The samples after the warm-up, and the minutes they span."""
    after = rows[max(1, len(rows) // 6):]
    minutes = (int(after[-1]["seconds"]) - int(after[0]["seconds"])) / 60 if len(after) > 1 else 0
    return after, minutes


def judge(samples):
    """Prints the growth of each count per build; returns how many grow too fast."""
    spans = {build: after_warm_up(rows) for build, rows in samples.items()}
    print(f"{'growth per hour':24}" + "".join(f"{build:>18}" for build in spans) + "   tolerance")
    growing = 0
    for column, title, tolerance in MEASURES:
        cells = ""
        for after, minutes in spans.values():
            if minutes == 0:
                cells += f"{'-':>18}"
                continue
            growth = growth_per_hour(after, column)
            too_fast = minutes >= JUDGED_MINUTES and growth > tolerance
            growing += too_fast
            cells += f"{growth:+16.1f} {'!' if too_fast else ' '}"
        print(f"{title:24}{cells}   {tolerance}")
    for build, (after, minutes) in spans.items():
        judged = "judged" if minutes >= JUDGED_MINUTES else f"not judged: under {JUDGED_MINUTES} minutes"
        print(f"{build}: {len(after)} samples over {minutes:.0f} minutes after the warm-up, {judged}")
    return growing


def main():
    folder = pathlib.Path(sys.argv[1])
    samples = read_samples(folder)
    if not samples:
        print("No samples to report", file=sys.stderr)
        return 1
    write_joined(folder, samples)
    draw(folder, samples)
    print(f"Samples in {folder / 'soak.csv'}, drawn in {folder / 'soak.png'}")
    growing = judge(samples)
    if growing:
        print(f"{growing} counts grow beyond their tolerance (marked !)")
    return 1 if growing else 0


if __name__ == "__main__":
    sys.exit(main())
