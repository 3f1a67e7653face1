// Loads and runs through the window's commands. The hand-worked dataset (scan_fixture.h) gives
// every figure by hand: half and three-quarter levels 50/75 and 100/150 put the fit points at
// 95..99 (488..496 nm) and 104..108 (506..514 nm), so the pure matrix has the rows
// (0.6 0.8 1 0.8 0.6 | 0.1 x5) and (0.05 x5 | 0.6 0.8 1 0.8 0.6), and a record a*P1 + b*P2
// has the intensities 100a and 200b, SS 0 and R^2 1.
#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "base/channels.h"
#include "scan_fixture.h"
#include "synch/scan_plot.h"

namespace kolvane {
namespace {

using namespace scantest;
using std::make_tuple;

const Strings kMatrix = {
    "",
    "",
    "Overdetermined Pure Matrix",
    "Pure/Wavelength\t488.00\t490.00\t492.00\t494.00\t496.00\t506.00\t508.00\t510.00\t512.00\t"
    "514.00",
    "1\t0.60\t0.80\t1.00\t0.80\t0.60\t0.10\t0.10\t0.10\t0.10\t0.10",
    "2\t0.05\t0.05\t0.05\t0.05\t0.05\t0.60\t0.80\t1.00\t0.80\t0.60",
    "",
    "",
    "\tYellow-Green\tYellow",
    "Sample/Wl\t492\t510\tSS\tR^2\tMax. Tissue\tHi-Lo Flag"};

Strings Concat(std::initializer_list<Strings> parts) {
  Strings all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

TEST_F(ScanTest, HandWorkedIntensityLevels) {
  std::string data = Write("two_pures.syn", HandWorked()), results = PathOf("two_pures.scf");
  ASSERT_EQ(Load(data, "", results), Flow::Continue);
  // The load names the pures after the slots their peaks name (492 and 510 nm).
  for (int slot = 1; slot <= kMaxColors; ++slot) {
    EXPECT_EQ(p.ColorSelected[slot], slot == 5 || slot == 6) << "slot " << slot;
  }
  const MainForm& f = p.form;
  EXPECT_EQ(make_tuple(f.MicrosForColor[1].caption, f.MicrosForColor[2].caption, f.PureStat.caption,
                       f.Samples.caption),
            make_tuple("Yellow-Green", "Yellow", "2", "3"));
  EXPECT_EQ(make_tuple(p.ScanDataLoaded, p.FixedDataLoaded, f.BackSub.visible, f.OpenDataSS.enabled,
                       f.CloseIt.enabled, f.RunAnalysis.enabled),
            make_tuple(true, false, false, false, true, true));
  ASSERT_EQ(host.dialogs.size(), 3u);
  EXPECT_EQ(make_tuple(host.dialogs[0].title, host.dialogs[1].title, host.dialogs[2].title,
                       host.dialogs[2].default_name),
            make_tuple("Open Synchronous Scan File", "Open Blanks File", "Save Results File",
                       data + ".scf"));
  EXPECT_EQ(host.one_second_waits, 2);  // the search waits a second per pure, display off

  EXPECT_EQ(Run(), Flow::Continue);
  EXPECT_TRUE(p.RunCompleted);
  EXPECT_EQ(Lines(results), Concat({kHeaderEcho,
                                    kMatrix,
                                    {"P1\t100.000\t0.000\t0.00\t1.000\t0.00",
                                     "P2\t0.000\t200.000\t0.00\t1.000\t0.00",
                                     // Peaks 320 and 430: no flag; 12.5 at 350 nm.
                                     "S1\t300.000\t400.000\t0.00\t1.000\t12.50",
                                     // Peaks 200 and 2010, 200 < 201: flagged.
                                     "S2\t100.000\t2000.000\t0.00\t1.000\t0.00\t***",
                                     // All values equal: R^2 stays empty; a zero peak flags.
                                     "S3\t0.000\t0.000\t0.00\t\t0.00\t***"}}));
}

TEST_F(ScanTest, HandWorkedMicrospheresUseTheEntriesAndTheSolvent) {
  std::string results = PathOf("two_pures.scf");
  ASSERT_EQ(Load(Write("two_pures.syn", HandWorked()), "", results), Flow::Continue);
  p.form.OFResults_Radio[1].selected = true;
  OFResults_Radio_Click(p, 1);
  SetMicrosPerMlText(p, 2, "500");
  EXPECT_EQ(Run(), Flow::Continue);
  // Factors 1000/100 and 500/200, times 2.5 ml of solvent: 25 and 6.25.
  Strings section(kMatrix.begin() + 1, kMatrix.end());
  EXPECT_EQ(Lines(results),
            Concat({kHeaderEcho,
                    {"", "Pure Color\tMicrospheres/ml", "1\t1000", "2\t500"},
                    section,
                    {"P1\t2500\t0\t0.00\t1.000\t0.00", "P2\t0\t1250\t0.00\t1.000\t0.00",
                     "S1\t7500\t2500\t0.00\t1.000\t12.50",
                     "S2\t2500\t12500\t0.00\t1.000\t0.00\t***", "S3\t0\t0\t0.00\t\t0.00\t***"}}));
  // The run's factors are its own: the entries keep their values.
  EXPECT_EQ(p.MicrosPerMlValues[1], 1000.0);
  EXPECT_EQ(p.MicrosPerMlValues[2], 500.0);
}

// From 360 nm there is no "Max. Tissue" column: the same spectra 30 points further down.
TEST_F(ScanTest, ScanAbove350HasNoTissueColumn) {
  const char* geometry = "Scan lower\t360\r\nScan upper\t600\r\nScan data interval\t2\r\n";
  std::string results = PathOf("from360.scf");
  ASSERT_EQ(Load(Write("from360.syn", HandWorked(Header(geometry), 67, 76, 0)), "", results),
            Flow::Continue);
  ASSERT_EQ(Run(), Flow::Continue);
  Strings lines = Lines(results);
  ASSERT_EQ(lines.size(), 26u);
  EXPECT_EQ(lines[20], "Sample/Wl\t492\t510\tSS\tR^2\tHi-Lo Flag");
  EXPECT_EQ(lines[23], "S1\t300.000\t400.000\t0.00\t1.000");
  EXPECT_EQ(lines[24], "S2\t100.000\t2000.000\t0.00\t1.000\t***");
}

// Pures found in descending slot order, the third naming no slot at all.
TEST_F(ScanTest, EachPureKeepsItsOwnSlot) {
  // From 300 nm by 2: peaks at 510 nm (point 106, "Yellow"), 492 nm (point 97,
  // "Yellow-Green") and 520 nm (point 111, no slot).
  Values a(121, 0.0), b(121, 0.0), c(121, 0.0);
  AddTent(a, 106, 100);
  AddTent(b, 97, 100);
  AddTent(c, 111, 100);
  std::string header = "Pures\t3\r\n" + std::string(kFrom300) + "Date/Time\tx\r\n";
  std::string results = PathOf("order.scf");
  ASSERT_EQ(Load(Write("order.syn", header + Record("P1", a) + Record("P2", b) + Record("P3", c) +
                                        Record("S1", Mix(a, 1, b, 50))),
                 "", results),
            Flow::Continue);
  EXPECT_EQ(make_tuple(p.form.MicrosForColor[1].caption, p.form.MicrosForColor[2].caption,
                       p.form.MicrosForColor[3].caption),
            make_tuple("Yellow", "Yellow-Green", "520 nm"));
  EXPECT_TRUE(p.ColorSelected[5] && p.ColorSelected[6]);
  ASSERT_EQ(Run(), Flow::Continue);
  Strings lines = Lines(results);
  ASSERT_EQ(lines.size(), 21u);
  EXPECT_EQ(lines[15], "\tYellow\tYellow-Green\t520 nm");
  EXPECT_EQ(lines[16], "Sample/Wl\t510\t492\t520\tSS\tR^2\tMax. Tissue\tHi-Lo Flag");
  // Pures 1 and 2 are neighbouring colours (slots 6 and 5): 100 against 5000 flags.
  EXPECT_EQ(lines[20].substr(0, 3), "S1\t");
  EXPECT_EQ(lines[20].substr(lines[20].size() - 4), "\t***");
}

// A run draws each record: its dots and one white circle of radius 1.5 per fit point.
TEST_F(ScanTest, RunDrawsTheLastRecordWithItsFitPoints) {
  std::string header =
      "Pures\t1\r\nScan lower\t400\r\nScan upper\t420\r\nScan data interval\t1\r\nDate/Time\tx\r\n";
  Values pure(21, 0.0);
  AddTent(pure, 10, 100);
  std::string data = header + Record("P1", pure) + Record("S1", Mix(pure, 2, pure, 0));
  ASSERT_EQ(Load(Write("draw.syn", data), "", PathOf("draw.scf")), Flow::Continue);
  ASSERT_EQ(RunScanAnalysis(p), Flow::Continue);
  const SpectrumDisplay& d = p.form.Spectra;
  ASSERT_EQ(d.items.size(), 25u);
  // Dots at every point (400 nm + i), circles at fit points 8..12 (407..411 nm), where the
  // sample is twice the pure.
  const double circle_y[5] = {120, 160, 200, 160, 120};
  for (int i = 0; i < 25; ++i) {
    const SpectrumItem& c = d.items[i];
    if (i < 20) {
      EXPECT_EQ(
          make_tuple(c.kind, c.x, c.y, c.color, c.draw_width),
          make_tuple(SpectrumItem::Point, 400.0 + i, 2 * std::round(pure[i + 1]), kYellow, 2));
    } else {
      EXPECT_EQ(make_tuple(c.kind, c.x, c.y, c.radius, c.color, c.draw_width),
                make_tuple(SpectrumItem::Circle, 387.0 + i, circle_y[i - 20], 1.5, kWhite, 2));
    }
  }
  EXPECT_EQ(make_tuple(p.form.YMax.caption, p.form.XMin.caption, p.form.XMax.caption,
                       p.form.SamplePtr.caption),
            make_tuple("210", "390", "440", "Sample S1"));
}

TEST_F(ScanTest, CountsAndTheBlanksFile) {
  const char* header =
      "Pures\t1\r\nScan lower\t400\r\nScan upper\t403\r\nScan data interval\t1\r\nDate/Time\tx\r\n";
  std::string many = header + std::string("P1 1 5 1\r\nP2 1 5 1\r\nP3 1 5 1\r\nB1 0 0 0\r\n");
  for (int i = 1; i <= 10; ++i) many += "S" + std::to_string(i) + " 1 2 3\r\n";
  // clang-format off
  struct Case { std::string data, blanks, pures, samples, blanks_num; bool background; } cases[] = {
      // "B" records of the data file are neither samples nor blanks; the blanks file's two
      // initial blanks give the median 2 and tick background subtraction.
      {many, "one\r\ntwo\r\nthree\r\nB1 1 1 1\r\nB1 3 3 3\r\n", "3", "10", "2", true},
      {header + std::string("P1 1 5 1\r\n"), "one\r\ntwo\r\nthree\r\n", "1", "0", "0", false},
  };  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pures);
    ASSERT_EQ(Load(Write("d.syn", c.data), Write("b.slk", c.blanks), PathOf("d.scf")),
              Flow::Continue);
    const MainForm& f = p.form;
    EXPECT_EQ(make_tuple(f.PureStat.caption, f.Samples.caption, f.BlanksNum.caption,
                         f.ControlsNum.caption),
              make_tuple(c.pures, c.samples, c.blanks_num, "0"));
    const bool b = c.background;
    EXPECT_EQ(make_tuple(p.BlanksPresent, p.BackgroundOn, f.BackSub.visible, f.BackSub.ticked || !b,
                         p.scan.BlankSpectrum[2],
                         f.Directions.caption.find("Background Subtraction") != std::string::npos),
              make_tuple(b, b, b, true, b ? 2.0f : 0.0f, b));
    p.channels.CloseAll();
    CloseIt_Click(p);
  }
}

// Files named after their quirk: a byte order mark before the first item, CR-only line ends.
TEST_F(ScanTest, QuirkFilesReadAsAnyOther) {
  const std::pair<const char*, const char*> cases[] = {
      {"bom_at_start.syn", "P1\t6.000\t0.00\t1.000"},         // the pure itself, peak 6
      {"cr_only_line_ends.syn", "S1\t12.000\t0.00\t1.000"}};  // twice the pure
  for (const auto& c : cases) {
    SCOPED_TRACE(c.first);
    std::string results = PathOf(std::string(c.first) + ".scf");
    ASSERT_EQ(Load(std::string(KOLVANE_TEST_DATA) + "/scan/" + c.first, "", results),
              Flow::Continue);
    ASSERT_EQ(Run(), Flow::Continue);
    Strings lines = Lines(results);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[1], "Pures\t1");
    EXPECT_EQ(lines.back(), c.second);
  }
}

// Every refusal of a load or a run: its message ("@" stands for the scratch folder), nothing
// left open, no input file changed, and the program usable for the next row.
TEST_F(ScanTest, RefusalsAndTheirMessages) {
  const std::string small =
      "Pures\t1\r\nScan lower\t400\r\nScan upper\t402\r\nScan data interval\t1\r\nDate/Time\tx\r\n";
  const std::string good = small + "P1 1 5\r\nS1 1 2\r\n", two = "Pures\t2" + small.substr(7);
  auto header = [](std::string pures, const char* lower, const char* upper, const char* step) {
    return pures + "\nScan lower\t" + lower + "\nScan upper\t" + upper +
           (*step ? std::string("\nScan data interval\t") + step : "") + "\nDate/Time\tx\n";
  };
  std::string many_records = small + "P1 1 5\n", many_blanks = "a\nb\nc\n";
  for (int i = 0; i < 32767; ++i) many_records += "S1 1 2\n";
  for (int i = 0; i < 101; ++i) many_blanks += "B1 1 1\n";
  const std::string eof_pures =
      "EOF detected while searching for a Pure color/wavelength.  Please check data file "
      "structure.";
  const std::string can_t_read = ": the file cannot be read.";
  // Dialog answers are in the scratch folder, "" = cancel; {} stands for r.syn, no blanks, r.scf.
  // clang-format off
  struct Case { std::string data, blanks; Strings dialogs; std::string message; bool at_run; }
  cases[] = {
      {"Pures\t2\nScan lower\t400\nScan upper\t700\nScan data interval\t2\n", "", {},
       "The header of @/r.syn has no \"Date/Time\" item: the file cannot be read as a synchronous "
       "scan file.", false},
      {header("Pures\t2", "400", "700", ""), "", {}, "The scan data interval of @/r.syn is 0" +
       can_t_read, false},
      {header("Pures\t2", "300", "1301", "1"), "", {},
       "The scan of @/r.syn has 1001 points per record; 1 to 1000 can be read.", false},
      {header("Pures\t2", "300", "300", "1"), "", {},
       "The scan of @/r.syn has 0 points per record; 1 to 1000 can be read.", false},
      {header("Pures\t2", "0", "700", "0.001"), "", {},
       "The scan of @/r.syn has 700000 points per record; 1 to 1000 can be read.", false},
      {header("Pures\t31", "400", "700", "2"), "", {},
       "The header of @/r.syn declares 31 pures; 1 to 30 can be read.", false},
      {header("Delivery\tManual", "400", "700", "2"), "", {},
       "The header of @/r.syn declares 0 pures; 1 to 30 can be read.", false},
      {header("Pures 3", "400", "700", "2"), "", {},
       "The header of @/r.syn declares 0 pures; 1 to 30 can be read.", false},
      {header("Pures\t1e6", "400", "700", "2"), "", {},
       "The header of @/r.syn declares 1000000 pures; 1 to 30 can be read.", false},
      {many_records, "", {}, "More than 32767 records in @/r.syn" + can_t_read, false},
      {good, many_blanks, {"r.syn", "b.slk", "r.scf"},
       "More than 100 initial blank records in @/b.slk" + can_t_read, false},
      {small + "P1 1 5\nS1 1e39 2\n", "", {}, "Value out of range in record S1 of @/r.syn" +
       can_t_read, false},
      {two + "P1 1 5\r\nS1 1 2\r\n", "", {}, eof_pures, false},
      {good, "", {"r.syn", "", "r.syn"},
       "The results file may not be one of the files being read: @/r.syn", false},
      {good, "a\nb\nc\nB1 1 1\n", {"r.syn", "b.slk", "b.slk"},
       "The results file may not be one of the files being read: @/b.slk", false},
      {good, "", {"no_such.syn"}, "Can't open file: @/no_such.syn", false},
      {good, "", {"r.syn", "no_such.slk"}, "Can't open file: @/no_such.slk", false},
      {good, "", {"r.syn", "", "no_such_dir/r.scf"}, "Can't open file: @/no_such_dir/r.scf", false},
      {good, "", {""}, "", false},
      {good, "", {"r.syn", "", ""}, "", false},
      {two + "P1 0 5\r\nP2 0 0\r\nS1 1 1\r\n", "", {},
       "Pure 2 (P2) has no value above 0 at its peak: the spillover cannot be corrected.", true},
  };  // clang-format on
  auto in_dir = [&](std::string text) {
    for (std::size_t at; (at = text.find('@')) != std::string::npos;) text.replace(at, 1, dir);
    return text;
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message.empty() ? "cancelled after " + std::to_string(c.dialogs.size())
                                   : c.message);
    Write("r.syn", c.data);
    Write("b.slk", c.blanks);
    std::filesystem::remove(PathOf("r.scf"));
    const Strings dialogs = c.dialogs.empty() ? Strings{"r.syn", "", "r.scf"} : c.dialogs;
    for (const std::string& name : dialogs) host.QueueFile(name.empty() ? "" : PathOf(name));
    if (!c.message.empty()) host.ExpectMessage(in_dir(c.message));
    if (c.at_run) {
      ASSERT_EQ(OpenScanDataset(p), Flow::Continue);
      EXPECT_EQ(Run(), Flow::Stop);
      EXPECT_FALSE(p.RunCompleted);
      // Nothing but the header's echo was written.
      EXPECT_EQ(Lines(PathOf("r.scf")),
                (Strings{"This file has been spillover corrected.", "Pures\t2", "Scan lower\t400",
                         "Scan upper\t402", "Scan data interval\t1", "Date/Time\tx"}));
    } else {
      EXPECT_EQ(OpenScanDataset(p), Flow::Stop);
      EXPECT_FALSE(p.ScanDataLoaded);
      EXPECT_TRUE(p.form.OpenDataSS.enabled);
      if (c.message == eof_pures) {
        EXPECT_EQ(p.form.Directions.caption, eof_pures);
      }
    }
    EXPECT_EQ(host.messages.size(), c.message.empty() ? 0u : 1u);
    host.messages.clear();
    EXPECT_FALSE(p.channels.In(Channels::kData).IsOpen());
    EXPECT_FALSE(p.channels.In(Channels::kBlanks).IsOpen());
    EXPECT_FALSE(p.channels.Out(Channels::kResults).IsOpen());
    EXPECT_EQ(ReadFile(PathOf("r.syn")), c.data);
    EXPECT_EQ(ReadFile(PathOf("b.slk")), c.blanks);
  }
  // And then a load goes through.
  EXPECT_EQ(Load(Write("r.syn", HandWorked()), "", PathOf("r.scf")), Flow::Continue);
}

}  // namespace
}  // namespace kolvane
