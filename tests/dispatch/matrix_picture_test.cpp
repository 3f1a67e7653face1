// The matrix picture of a run (View > Spillover Matrix..., the report) shows the matrix the way
// the results file prints it: a row per pure, a column per color (or wavelength) read, with
// titles that say so, every number to four significant digits.
#include "app/matrix_picture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "../app/window_fixtures.h"
#include "dispatch/commands.h"

namespace kolvane {
namespace {

const std::string kExamples = KOLVANE_SOURCE_DIR "/examples/";

std::vector<std::string> Cells(const std::string& line) {
  std::vector<std::string> cells;
  std::stringstream in(line);
  for (std::string cell; std::getline(in, cell, '\t');) cells.push_back(cell);
  return cells;
}

// The table of the results file that starts with a line beginning `title`: its lines, split
// at the TABs, up to the next empty line.
std::vector<std::vector<std::string>> Table(const std::string& text, const std::string& title) {
  std::vector<std::vector<std::string>> rows;
  std::stringstream in(text);
  bool inside = false;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!inside && line.rfind(title, 0) == 0) inside = true;
    if (!inside) continue;
    if (line.empty()) break;
    rows.push_back(Cells(line));
    if (rows.size() == 1 && rows[0].size() == 1) rows.clear();  // a title line of its own
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
      {"fixed",
       false,
       {kExamples + "fixed/tissue_blanks_controls.fix",
        kExamples + "fixed/tissue_blanks_controls.blk",
        kExamples + "fixed/tissue_blanks_controls.ctl"},
       "Spillover Matrix",
       0.5e-4,
       "Color read"},
      {"scan",
       true,
       {kExamples + "scan/small.syn", kExamples + "scan/small.slk"},
       "Overdetermined Pure Matrix",
       0.5e-2,
       "Wavelength read (fit points)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    testing_window::Started w;
    const std::string results = testing_window::TempPath(std::string("picture-") + c.name + ".scf");
    for (const std::string& f : c.files) w.host.QueueFile(f);
    w.host.QueueFile(results);
    w.host.on_tissue = [](TissueForm& f) {
      TissueOpt_Click(f, 0);
      TissueOk_Click(f);
    };
    w.host.on_tissue_options = [](TissueOptionsForm& f) { TissueOptionsUseProvided_Click(f); };
    ASSERT_EQ(c.scan ? OpenDataSS_Click(w.p) : OpenData_Click(w.p), Flow::Continue);
    ASSERT_EQ(RunAnalysis_Click(w.p), Flow::Continue);
    const MatrixPicture pic = MakeMatrixPicture(w.p.figures);
    const auto table = Table(testing_window::FileText(results), c.table);
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
