#include "app/matrix_picture.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "app/run_figures.h"

namespace kolvane {

namespace {

// Nine stops of the scale, evenly spaced; between them the colour is interpolated linearly.
constexpr Rgb kStops[] = {{0x44, 0x01, 0x54}, {0x47, 0x2d, 0x7b}, {0x3b, 0x52, 0x8b},
                          {0x2c, 0x72, 0x8e}, {0x21, 0x91, 0x8c}, {0x28, 0xae, 0x80},
                          {0x5e, 0xc9, 0x62}, {0xad, 0xdc, 0x30}, {0xfd, 0xe7, 0x25}};

std::string Format(const char* pattern, double v) {
  char text[48];
  std::snprintf(text, sizeof text, pattern, v);
  return text;
}

std::string Entry(const std::vector<double>& v, int i, const char* pattern) {
  if (i >= static_cast<int>(v.size())) return "-";
  return Format(pattern, v[i]);
}

}  // namespace

Rgb ScaleColour(double t) {
  if (!(t > 0)) t = 0;
  if (t > 1) t = 1;
  const double at = t * 8;
  const int k = std::min(7, static_cast<int>(at));
  const double u = at - k;
  const Rgb& a = kStops[k];
  const Rgb& b = kStops[k + 1];
  auto mix = [u](int x, int y) { return static_cast<std::uint8_t>(std::lround(x + (y - x) * u)); };
  return {mix(a.r, b.r), mix(a.g, b.g), mix(a.b, b.b)};
}

std::string HexColour(Rgb c) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02x%02x%02x", c.r, c.g, c.b);
  return text;
}

std::string EscapeMarkup(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string FourDigits(double v) {
  return Format("%#.4g", v);
}

std::string ProposedPicturePath(const std::string& results) {
  const std::size_t cut = results.find_last_of('/');
  if (cut == std::string::npos) return "matrix.png";
  return results.substr(0, cut + 1) + "matrix.png";
}

MatrixPicture MakeMatrixPicture(const RunFigures& f) {
  MatrixPicture pic;
  pic.title = f.scan ? "Fit-point matrix (each pure scaled to its peak)"
                     : "Spillover matrix (normalized, colors in use)";
  pic.row_axis = "Pure";
  pic.column_axis = f.scan ? "Wavelength read (fit points)" : "Color read";
  pic.condition = "Condition number: " +
                  (f.singular || !f.decomposed ? std::string("singular") : FourDigits(f.condition));
  if (f.pair_a > 0)
    pic.pair = "Closest pair: " + f.colour_names[f.pair_a] + " and " + f.colour_names[f.pair_b] +
               " (similarity " + FourDigits(f.pair_cosine) + ")";
  double top = 0.0;
  for (int r = 1; r <= f.m; ++r)
    for (int c = 1; c <= f.n; ++c) top = std::max(top, f.matrix[r][c]);
  // The run solves with a row per reading position and a column per pure; the results file
  // prints a row per pure, and so does the picture.
  for (int c = 1; c <= f.m; ++c) pic.column_names.push_back(f.row_names[c]);
  for (int r = 1; r <= f.n; ++r) {
    pic.row_names.push_back(f.colour_names[r]);
    std::vector<PictureCell> row;
    for (int c = 1; c <= f.m; ++c) {
      PictureCell cell;
      cell.value = f.matrix[c][r];
      cell.text = FourDigits(cell.value);
      const double t = top > 0 ? cell.value / top : 0.0;
      cell.fill = ScaleColour(t);
      cell.light_text = t < 0.6;
      row.push_back(cell);
    }
    pic.cells.push_back(row);
  }
  pic.units = f.units.empty() ? "intensity" : f.units;
  for (int c = 1; c <= f.n; ++c) {
    PictureRow row{f.colour_names[c], Entry(f.gain, c, "%#.4g"), "no blanks", "-"};
    if (!f.result_spread.empty()) {
      row.spread = Entry(f.result_spread, c, "%#.4g");
      row.limit = Entry(f.detection_limit, c, "%#.4g");
    } else if (f.blank_records > 0) {
      row.spread = "fewer than 3 blanks";
    }
    pic.table.push_back(row);
  }
  return pic;
}

std::string MatrixPictureSvg(const MatrixPicture& pic, bool with_table) {
  // Columns wide enough for the longest colour name (about 7 pixels a letter).
  int cell_w = 64;
  for (const std::string& name : pic.column_names)
    cell_w = std::max(cell_w, 7 * static_cast<int>(name.size()) + 10);
  const int cell_h = 22, left = 120, top = 90;
  const int rows = static_cast<int>(pic.cells.size());
  const int cols = static_cast<int>(pic.column_names.size());
  const int table_rows = static_cast<int>(pic.table.size());
  const int table_top = top + rows * cell_h + 40;
  const int width = std::max(left + cols * cell_w + 20, 700);  // room for the table's headings
  const int height = with_table ? table_top + (table_rows + 1) * 20 + 20 : table_top - 20;
  std::string s = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + std::to_string(width) +
                  "\" height=\"" + std::to_string(height) +
                  "\" font-family=\"sans-serif\" font-size=\"12\">\n";
  s += "<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n";
  auto text = [&s](int x, int y, const std::string& t, const char* extra = "") {
    s += "<text x=\"" + std::to_string(x) + "\" y=\"" + std::to_string(y) + "\"" + extra + ">" +
         EscapeMarkup(t) + "</text>\n";
  };
  text(10, 20, pic.title, " font-weight=\"bold\"");
  text(10, 38, pic.condition + (pic.pair.empty() ? "" : "   " + pic.pair));
  // The axis titles: the columns' above their names, the rows' turned up along their names.
  text(left + cols * cell_w / 2, top - 28, pic.column_axis,
       " text-anchor=\"middle\" font-weight=\"bold\" class=\"column-axis\"");
  const int middle = top + rows * cell_h / 2;
  text(18, middle, pic.row_axis,
       (" text-anchor=\"middle\" font-weight=\"bold\" class=\"row-axis\" transform=\"rotate(-90 "
        "18 " +
        std::to_string(middle) + ")\"")
           .c_str());
  for (int c = 0; c < cols; ++c)
    text(left + c * cell_w + cell_w / 2, top - 8, pic.column_names[c], " text-anchor=\"middle\"");
  for (int r = 0; r < rows; ++r) {
    const int y = top + r * cell_h;
    text(left - 6, y + 15, pic.row_names[r], " text-anchor=\"end\"");
    for (int c = 0; c < cols; ++c) {
      const PictureCell& cell = pic.cells[r][c];
      const int x = left + c * cell_w;
      s += "<rect class=\"cell\" x=\"" + std::to_string(x) + "\" y=\"" + std::to_string(y) +
           "\" width=\"" + std::to_string(cell_w) + "\" height=\"" + std::to_string(cell_h) +
           "\" fill=\"" + HexColour(cell.fill) + "\"/>\n";
      text(
          x + cell_w / 2, y + 15, cell.text,
          cell.light_text ? " text-anchor=\"middle\" fill=\"#ffffff\"" : " text-anchor=\"middle\"");
    }
  }
  if (!with_table) return s + "</svg>\n";
  const int columns[] = {10, 130, 230, 460};
  const std::string heads[] = {"Color", "Noise gain", "Spread from blanks (" + pic.units + ")",
                               "Detection limit (3 x spread)"};
  for (int k = 0; k < 4; ++k) text(columns[k], table_top, heads[k], " font-weight=\"bold\"");
  for (int c = 0; c < table_rows; ++c) {
    const PictureRow& row = pic.table[c];
    const int y = table_top + (c + 1) * 20;
    text(columns[0], y, row.colour);
    text(columns[1], y, row.gain);
    text(columns[2], y, row.spread);
    text(columns[3], y, row.limit);
  }
  return s + "</svg>\n";
}

}  // namespace kolvane
