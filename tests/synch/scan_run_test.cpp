// Loads and runs through the window's commands: what the window shows after a load, each
// pure's own slot, the blanks file and the refusals that need the
// dialogs. The results of whole datasets are golden cases under tests/data/scan.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <tuple>

#include "base/channels.h"
#include "scan_fixture.h"
#include "support/portable.h"

namespace kolvane {
namespace {

using namespace scantest;
using std::make_tuple;

// Pures found in ascending and in descending slot order (the third naming no slot).
TEST_F(ScanTest, LoadNamesThePuresAfterTheirSlots) {
  const char* cases[][6] = {
      {"two_pures_intensity", "two_pures.syn", "Yellow-Green", "Yellow", "", "2"},
      {"pures_in_descending_slots", "order.syn", "Yellow", "Yellow-Green", "520 nm", "3"}};
  for (const auto& c : cases) {
    const std::string data = Golden(c[0], c[1]);
    ASSERT_EQ(Load(data, "", Path("r.scf")), Flow::Continue);
    for (int slot = 1; slot <= kMaxColors; ++slot)
      EXPECT_EQ(p.ColorSelected[slot], slot == 5 || slot == 6) << "slot " << slot;
    const MainForm& f = p.form;
    EXPECT_EQ(make_tuple(f.MicrosForColor[1].caption, f.MicrosForColor[2].caption,
                         *c[4] ? f.MicrosForColor[3].caption : "", f.PureStat.caption,
                         f.BackSub.visible, f.RunAnalysis.enabled),
              make_tuple(c[2], c[3], c[4], c[5], false, true));
    ASSERT_EQ(host.dialogs.size(), 3u);
    EXPECT_EQ(host.dialogs[2].default_name, data + ".scf");
    host.dialogs.clear();
    CloseIt_Click(p);
  }
}

// "B" records of the data file are neither samples nor blanks; a blanks file without any
// record drops the background subtraction.
TEST_F(ScanTest, CountsAndTheBlanksFile) {
  std::string many =
      "Pures\t1\r\nScan lower\t400\r\nScan upper\t403\r\nScan data interval\t1\r\n"
      "Date/Time\tx\r\nP1 1 5 1\r\nP2 1 5 1\r\nP3 1 5 1\r\nB1 0 0 0\r\n";
  for (int i = 1; i <= 10; ++i) many += "S" + std::to_string(i) + " 1 2 3\r\n";
  for (bool on : {true, false}) {
    ASSERT_EQ(Load(Write("d.syn", many),
                   Write("b.slk", on ? "1\r\n2\r\n3\r\nB1 1 1 1\r\nB1 3 3 3\r\n" : "1\n2\n3\n"),
                   Path("d.scf")),
              Flow::Continue);
    const MainForm& f = p.form;
    EXPECT_EQ(make_tuple(f.PureStat.caption, f.Samples.caption, f.BlanksNum.caption,
                         f.ControlsNum.caption, p.BlanksPresent, p.BackgroundOn),
              make_tuple("3", "10", on ? "2" : "0", "0", on, on));
    p.channels.CloseAll();
    CloseIt_Click(p);
  }
}

// Refusals around the dialogs and the record counts ("@" stands for the scratch folder): the
// message, nothing left open, no input file changed, and the next load goes through. The
// dialogs are answered with files of the scratch folder, "" = cancel.
TEST_F(ScanTest, RefusalsAndTheirMessages) {
  // Answered as the batch answers: a refused results file ends the load. (The window asks
  // again: tests/dispatch/open_checks_test.cpp.)
  host.has_user = false;
  const std::string good =
      "Pures\t1\r\nScan lower\t400\r\nScan upper\t402\r\nScan data "
      "interval\t1\r\nDate/Time\tx\r\nP1 1 5\r\nS1 1 2\r\n";
  std::string many_records = good, many_blanks = "a\nb\nc\n";
  for (int i = 0; i < 32767; ++i) many_records += "S1 1 2\n";
  for (int i = 0; i < 101; ++i) many_blanks += "B1 1 1\n";
  const struct {
    std::string data, blanks;
    Strings dialogs;
    std::string message;
  } cases[] = {
      // clang-format off
      {many_records, "", {"r.syn", "", "r.scf"}, "More than 32767 records in @/r.syn: the file cannot be read."},
      {good, many_blanks, {"r.syn", "b.slk", "r.scf"}, "More than 100 initial blank records in @/b.slk: the file cannot be read."},
      {good, "", {"r.syn", "", "r.syn"}, "The results file may not be one of the files being read: @/r.syn"},
      {good, "a\nb\nc\nB1 1 1\n", {"r.syn", "b.slk", "b.slk"}, "The results file may not be one of the files being read: @/b.slk"},
      {good, "", {"no_such.syn"}, "Can't open file: @/no_such.syn (No such file or directory)"},
      {good, "", {"r.syn", "no_such.slk"}, "Can't open file: @/no_such.slk (No such file or directory)"},
      {good, "", {"r.syn", "", "no_such_dir/r.scf"}, "Can't open file: @/no_such_dir/r.scf (No such file or directory)"},
      {good, "", {""}, ""}, {good, "", {"r.syn", "", ""}, ""},
      // clang-format on
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message + " after " + std::to_string(c.dialogs.size()) + " dialogs");
    Write("r.syn", c.data);
    std::filesystem::remove(Path("b.slk"));
    Write("b.slk", c.blanks);
    for (const std::string& name : c.dialogs) host.QueueFile(name.empty() ? "" : Path(name));
    std::string message = c.message;
    if (!message.empty()) message.replace(message.find('@'), 1, dir);
    // A results file the writer cannot make is named as written: with the system's separators.
    if (kOnWindows && c.dialogs.size() > 2 && c.dialogs[2].find('/') != std::string::npos)
      std::replace(message.begin(), message.end(), '/', '\\');
    if (!message.empty()) host.ExpectMessage(message);
    EXPECT_EQ(OpenScanDataset(p), Flow::Stop);
    EXPECT_EQ(
        make_tuple(p.ScanDataLoaded, p.form.OpenDataSS.enabled, host.messages.size(),
                   p.channels.In(Channels::kData).IsOpen(),
                   p.channels.In(Channels::kBlanks).IsOpen(),
                   p.channels.Out(Channels::kResults).IsOpen(), ReadFile(Path("r.syn")),
                   ReadFile(Path("b.slk"))),
        make_tuple(false, true, message.empty() ? 0u : 1u, false, false, false, c.data, c.blanks));
    host.messages.clear();
  }
  EXPECT_EQ(Load(Path("r.syn"), "", Path("r.scf")), Flow::Continue);
}

}  // namespace
}  // namespace kolvane
