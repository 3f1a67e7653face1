// In this file: the picture of a run's matrix as plain data: a heat map in the results file's
// orientation (a row per pure, a column per color or wavelength read, as the file's "Spillover
// Matrix" and "Overdetermined Pure Matrix" tables) on a perceptually uniform scale with each
// value printed to four significant digits, the condition number in words, and a table of noise
// gain, blank spread and detection limit per colour. The window's "Spillover Matrix..." dialog
// paints it; the SVG text serves the report and the dialog's Save Picture.
#pragma once

#include <string>
#include <vector>

#include "app/main_form.h"

namespace kolvane {

struct RunFigures;

// The colour of t in [0, 1] (clamped) on a perceptually uniform dark-blue-to-yellow scale.
Rgb ScaleColour(double t);
std::string HexColour(Rgb c);  // "#rrggbb"

struct PictureCell {
  double value = 0.0;
  std::string text;  // the value as printed
  Rgb fill;
  bool light_text = false;  // white text on a dark fill
};

struct PictureRow {
  std::string colour, gain, spread, limit;
};

struct MatrixPicture {
  std::string title;
  std::string condition;               // "Condition number: 12.3" or "Condition number: singular"
  std::string pair;                    // the closest pair in words, or empty
  std::string row_axis;                // what the rows are: the pures
  std::string column_axis;             // what the columns are: the colors (wavelengths) read
  std::vector<std::string> row_names;  // 0-based here: what is shown
  std::vector<std::string> column_names;
  std::vector<std::vector<PictureCell>> cells;  // [row][column]
  std::vector<PictureRow> table;
  std::string units;  // of the spreads and limits
};

MatrixPicture MakeMatrixPicture(const RunFigures& f);

// One SVG element (no XML prolog), sized to fit the map and, with_table, the table.
std::string MatrixPictureSvg(const MatrixPicture& picture, bool with_table = true);

// A number as the picture prints it: four significant digits ("0.4420", "1.000", "0.04909").
std::string FourDigits(double v);

// Where Save Picture proposes to write: matrix.png in the results file's folder (the current
// folder without a results file).
std::string ProposedPicturePath(const std::string& results);

// Text for HTML and SVG: & < > " escaped.
std::string EscapeMarkup(const std::string& text);

}  // namespace kolvane
