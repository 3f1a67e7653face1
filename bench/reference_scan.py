#!/usr/bin/env python3
"""Least-squares unmixing of a synchronous-scan file, done the way a scientist would in NumPy.

The benchmark's yardstick for `kolvane-batch scan`: the same job as the program's run (blank
subtraction, the pures' peak and flank points, the 5n x n fit matrix, residual sum of squares,
R^2, the reading at 350 nm, the Hi-Lo flag) written plainly: the whole body parsed at once, one
numpy.linalg.lstsq over all records. Writes one TAB-separated line per analysed record, as the
results file's record lines.

    reference_scan.py DATA.syn [--blanks F.slk] [-o RESULTS.tsv]
"""
import argparse
import sys

import numpy as np

# The colour table's slots 2..14 and their nominal synchronous peaks (nm).
NOMINAL = {2: 380, 3: 440, 4: 470, 5: 493, 6: 510, 7: 537, 8: 554, 9: 578, 10: 591,
           11: 617, 12: 640, 13: 656, 14: 682}


def read_header(text):
    """The header's values and the text after its "Date/Time" line."""
    values = {}
    lines = text.split("\n")
    for i, line in enumerate(lines):
        for key in ("Pures", "Scan lower", "Scan upper", "Scan data interval"):
            if key in line:
                values[key] = float(line.split("\t")[1])
        if "Date/Time" in line:
            return values, "\n".join(lines[i + 1:])
    sys.exit("no Date/Time item in the header")


def read_records(body, points):
    """Labels and spectra of every record: a label, then `points` numbers, over any lines."""
    tokens = np.array(body.replace(",", " ").split()).reshape(-1, points + 1)
    return tokens[:, 0], tokens[:, 1:].astype(float)


def flank_points(spectrum):
    """The pure's five fit points: the half- and three-quarter-height points on the left, the
    peak, the three-quarter- and half-height points on the right."""
    peak = int(np.argmax(spectrum))
    top, bottom = spectrum[peak], spectrum.min()
    half, quarter = bottom + 0.5 * (top - bottom), bottom + 0.75 * (top - bottom)
    points = [0, 0, peak, len(spectrum) - 1, len(spectrum) - 1]
    seen = False
    for j in range(peak, -1, -1):
        if spectrum[j] < quarter and not seen:
            points[1], seen = j + 1, True
        if spectrum[j] < half:
            points[0] = j + 1
            break
    seen = False
    for j in range(peak, len(spectrum)):
        if spectrum[j] < quarter and not seen:
            points[3], seen = j - 1, True
        if spectrum[j] < half:
            points[4] = j - 1
            break
    return points


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("data")
    parser.add_argument("--blanks")
    parser.add_argument("-o", "--output")
    args = parser.parse_args()

    with open(args.data) as f:
        header, body = read_header(f.read())
    n = int(round(header["Pures"]))
    lower, step = header["Scan lower"], header["Scan data interval"]
    points = int(round((header["Scan upper"] - lower) / step))
    wavelengths = lower + step * np.arange(points)
    labels, spectra = read_records(body, points)
    kinds = np.array([next((c for c in reversed(label) if c in "BPS"), "") for label in labels])

    # The blank in force for each record: the initial blanks' median, replaced by every blank
    # record of the data file from there on.
    blank = np.zeros(points)
    background = args.blanks is not None
    if background:
        with open(args.blanks) as f:
            blank_text = "\n".join(f.read().split("\n")[3:])
        blank_labels, blank_spectra = read_records(blank_text, points)
        numbers = np.array([float(label[1:]) for label in blank_labels])
        if np.any(numbers == 1):
            blank = np.median(blank_spectra[numbers == 1], axis=0)
        last_blank = np.where(kinds == "B", np.arange(len(kinds)), -1)
        last_blank = np.maximum.accumulate(last_blank)
        blanks = np.where((last_blank >= 0)[:, None], spectra[np.maximum(last_blank, 0)], blank)
        analysed = kinds != "B"
        spectra = (spectra - blanks)[analysed]
        labels = labels[analysed]
        kinds = kinds[analysed]

    pures = spectra[kinds == "P"][:n]
    fit = np.array([flank_points(p) for p in pures])  # n x 5
    peaks = fit[:, 2]
    columns = pures[np.arange(n)[:, None], fit.reshape(1, -1)]  # n x 5n
    matrix = (columns / pures[np.arange(n), peaks][:, None]).T  # 5n x n
    observed = spectra[:, fit.reshape(-1)]  # records x 5n

    solution = np.linalg.lstsq(matrix, observed.T, rcond=None)[0].T  # records x n
    fitted = solution @ matrix.T
    ss = ((observed - fitted) ** 2).sum(axis=1)
    oc = observed - observed.mean(axis=1, keepdims=True)
    fc = fitted - fitted.mean(axis=1, keepdims=True)
    with np.errstate(divide="ignore", invalid="ignore"):
        r2 = ((oc * fc).sum(axis=1) / np.sqrt((oc ** 2).sum(axis=1) * (fc ** 2).sum(axis=1))) ** 2

    # Hi-Lo: adjacent colour slots whose peak readings differ by more than ten times.
    slots = []
    for k in range(n):
        w = wavelengths[peaks[k]]
        slots.append(next((s for s, nm in NOMINAL.items() if nm - 3 < w < nm + 3), None))
    at_peaks = spectra[:, peaks]
    flag = np.zeros(len(labels), dtype=bool)
    for k in range(n - 1):
        if slots[k] is not None and slots[k + 1] == slots[k] + 1:
            a, b = at_peaks[:, k], at_peaks[:, k + 1]
            with np.errstate(divide="ignore", invalid="ignore"):
                flag |= (a == 0) | (b == 0) | (b / a < 0.1) | (a / b < 0.1)
    flag &= np.array(["P" not in label for label in labels])

    point350 = int(np.round((350 - lower) / step)) if lower <= 350 else -1
    has350 = 0 <= point350 < points

    out = open(args.output, "w", newline="") if args.output else sys.stdout
    for i, label in enumerate(labels):
        cells = [label] + [f"{v:.3f}" for v in solution[i]] + [f"{ss[i]:.2f}"]
        cells.append("" if not np.isfinite(r2[i]) else f"{r2[i]:.3f}")
        if has350:
            cells.append(f"{spectra[i, point350]:.2f}")
        if flag[i]:
            cells.append("***")
        out.write("\t".join(cells) + "\r\n")
    if args.output:
        out.close()


if __name__ == "__main__":
    main()
