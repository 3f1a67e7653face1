// The matrix picture of a run (View > Spillover Matrix..., the report) shows the matrix the way
// the results file prints it: a row per pure, a column per color (or wavelength) read, with
// titles that say so, every number to four significant digits.
#include "app/matrix_picture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "dispatch_fixtures.h"

namespace kolvane {
namespace {

using testing_window::kFixedFiles;
using testing_window::kScanFiles;

// The table of a results file that starts with a line beginning `title`: its lines, split at
// the TABs, up to the next empty line (a title line of its own left out).
std::vector<std::vector<std::string>> Table(const std::string& path, const std::string& title) {
  std::vector<std::vector<std::string>> rows;
  bool inside = false;
  for (const auto& line : testing_window::TabLines(testing_window::FileText(path))) {
    inside = inside || line[0].rfind(title, 0) == 0;
    if (!inside) continue;
    if (line.size() == 1 && line[0].empty()) break;
    rows.push_back(line);
    if (rows.size() == 1 && line.size() == 1) rows.clear();  // a title line of its own
  }
  return rows;
}

// Four significant digits: the digits after the leading zeros number four (of the mantissa, for
// a number too small for four decimals).
bool FourSignificant(const std::string& text) {
  int digits = 0;
  bool leading = true;
  for (char c : text.substr(0, text.find('e'))) {
    if (c == '-' || c == '.') continue;
    if (c < '0' || c > '9') return false;
    if (leading && c == '0') continue;
    leading = false;
    ++digits;
  }
  return digits == 4 || (leading && text.find('.') != std::string::npos);  // 0.000
}

struct Case {
  const char* name;
  bool scan;
  std::vector<std::string> files;
  const char* table;  // the results file's matrix table
  double decimals;    // its cells' rounding
  const char* column_axis;
};

TEST(MatrixPicture, HasTheResultsFilesOrientationWithAxisTitlesAndFourDigits) {
  const Case cases[] = {
      {"fixed", false, kFixedFiles, "Spillover Matrix", 0.5e-4, "Color read"},
      {"scan", true, kScanFiles, "Overdetermined Pure Matrix", 0.5e-2,
       "Wavelength read (fit points)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    testing_window::Window w;
    const std::string results = testing_window::TempPath(std::string("picture-") + c.name + ".scf");
    w.UseTissue();
    ASSERT_EQ(w.Open(c.scan, c.files, results), Flow::Continue);
    ASSERT_EQ(RunAnalysis_Click(w.p), Flow::Continue);
    const MatrixPicture pic = MakeMatrixPicture(w.p.figures);
    const auto table = Table(results, c.table);
    ASSERT_GE(table.size(), 3u);
    const std::size_t rows = table.size() - 1, cols = table[0].size() - 1;
    ASSERT_EQ(pic.cells.size(), rows);
    ASSERT_EQ(pic.column_names.size(), cols);
    EXPECT_EQ(pic.row_axis, "Pure");
    EXPECT_EQ(pic.column_axis, c.column_axis);
    for (std::size_t r = 0; r < rows; ++r) {
      // The fixed file names its pures by color; the scan file numbers them.
      if (!c.scan) {
        EXPECT_EQ(pic.row_names[r], table[r + 1][0]);
        EXPECT_EQ(pic.column_names[r], table[0][r + 1]);
      }
      ASSERT_EQ(pic.cells[r].size(), cols);
      for (std::size_t k = 0; k < cols; ++k) {
        const double in_file = std::strtod(table[r + 1][k + 1].c_str(), nullptr);
        EXPECT_NEAR(pic.cells[r][k].value, in_file, c.decimals) << r << "," << k;
        EXPECT_TRUE(FourSignificant(pic.cells[r][k].text)) << pic.cells[r][k].text;
      }
    }
    for (const PictureRow& row : pic.table) {
      EXPECT_TRUE(FourSignificant(row.gain)) << row.gain;
      if (row.limit != "-") {
        EXPECT_TRUE(FourSignificant(row.limit)) << row.limit;
      }
    }
    // The drawing names both axes.
    const std::string svg = MatrixPictureSvg(pic, true);
    EXPECT_NE(svg.find("class=\"row-axis\""), std::string::npos);
    EXPECT_NE(svg.find(std::string(c.column_axis) + "</text>"), std::string::npos);
    std::remove(results.c_str());
    std::remove((results + ".json").c_str());
  }
}

TEST(MatrixPicture, SavePictureProposesTheResultsFolder) {
  EXPECT_EQ(ProposedPicturePath("/data/run 1/x.fix.scf"), "/data/run 1/matrix.png");
  EXPECT_EQ(ProposedPicturePath("/x.scf"), "/matrix.png");
  EXPECT_EQ(ProposedPicturePath(""), "matrix.png");
}

}  // namespace
}  // namespace kolvane
