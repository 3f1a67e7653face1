#!/usr/bin/env python3
"""Spillover correction of a fixed-wavelength file, done the way a scientist would in NumPy.

The benchmark's yardstick for `kolvane-batch fixed`: the same job (pure matrix, background from
the blanks, control correction, one linear solve per record) written plainly with numpy.loadtxt
and one numpy.linalg.solve over all records at once. Tissue, when the file has a Tissue column,
is used as a colour. Writes one TAB-separated line per P and S record, as the results file's
record lines, with three decimals.

    reference_fixed.py DATA.fix [--blanks F.blk] [--controls F.ctl] [--matrix F.spl]
                       [--control-correction on|off] [-o RESULTS.tsv]
"""
import argparse
import sys

import numpy as np


def read_header(path):
    """Number of header lines (the header ends with the line naming the colours), number of
    colours, and whether every record carries a tube field (Auto delivery)."""
    colors, auto, count = 0, False, 0
    with open(path, newline="") as f:
        for line in f:
            count += 1
            if "Wavelengths" in line:
                colors = int(round(float(line.split("\t")[1])))
            if "Delivery" in line:
                auto = "Auto" in line
            if "Color" in line:
                return count, colors, auto
    sys.exit(f"{path}: no colour line in the header")


def read_records(path, skip, first_value, colors):
    """Labels and readings of a TAB-separated file after `skip` lines."""
    table = np.loadtxt(path, dtype=str, delimiter="\t", skiprows=skip, ndmin=2)
    labels = table[:, 0]
    values = table[:, first_value:first_value + colors].astype(float)
    return labels, values


def first_group_and_later(path, colors):
    """Median of the records numbered 1, and the later records with their numbers."""
    labels, values = read_records(path, 3, 1, colors)
    numbers = np.array([float(label[1:]) for label in labels])
    first = numbers == 1
    later = ~first
    return np.median(values[first], axis=0), numbers[later], values[later]


def in_force(start, numbers, later_values, sample_numbers):
    """Per sample, the values of the last later record numbered below the sample, else the
    first group's."""
    table = np.vstack([start, later_values])
    which = np.searchsorted(numbers, sample_numbers, side="left")
    return table[which]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("data")
    parser.add_argument("--blanks")
    parser.add_argument("--controls")
    parser.add_argument("--matrix")
    parser.add_argument("--control-correction", choices=["on", "off"], default="off")
    parser.add_argument("-o", "--output")
    args = parser.parse_args()

    skip, n, auto = read_header(args.data)
    labels, readings = read_records(args.data, skip, 2 if auto else 1, n)
    kinds = np.array([label[0] for label in labels])
    numbers = np.array([float(label[1:]) for label in labels])
    keep = (kinds == "P") | (kinds == "S")
    labels, readings, kinds, numbers = labels[keep], readings[keep], kinds[keep], numbers[keep]
    samples = kinds == "S"

    background = np.zeros((len(labels), n))
    pure_background = np.zeros(n)
    if args.blanks:
        start, later_numbers, later_values = first_group_and_later(args.blanks, n)
        pure_background = start
        background[~samples] = start
        background[samples] = in_force(start, later_numbers, later_values, numbers[samples])

    if args.matrix:
        spill = np.loadtxt(args.matrix, ndmin=2)[:n, :n] / 100.0
    else:
        spill = np.clip(readings[kinds == "P"][:n] - pure_background, 0.0, None)
    spill = spill / np.diag(spill)[:, None]

    rhs = readings - background
    if args.controls and args.control_correction == "on":
        start, later_numbers, later_values = first_group_and_later(args.controls, n)
        current = in_force(start, later_numbers, later_values, numbers[samples])
        rhs[samples] *= start / current

    results = np.linalg.solve(spill.T, rhs.T).T
    results = np.clip(results, 0.0, None)

    out = open(args.output, "w", newline="") if args.output else sys.stdout
    for label, row in zip(labels, results):
        out.write(label + "\t" + "\t".join(f"{v:.3f}" for v in row) + "\r\n")
    if args.output:
        out.close()


if __name__ == "__main__":
    main()
