// BatchHost: the dialogs answered from the command line, messages on stderr, the progress bar
// on a terminal, and the tissue dialogs as --tissue says.
#include "cli/batch_host.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/program.h"
#include "app/tissue_dialogs.h"

namespace kolvane {
namespace {

// A batch host whose error stream is kept in memory to be read back.
struct Hosted {
  BatchOptions options;  // the host keeps a reference to it
  char* buffer = nullptr;
  std::size_t size = 0, taken = 0;
  std::FILE* file = open_memstream(&buffer, &size);
  BatchHost host;
  Program p{host};
  explicit Hosted(const BatchOptions& o = {}, bool terminal = false)
      : options(o), host(options, file, terminal) {
    host.Attach(p);
  }
  ~Hosted() {
    std::fclose(file);
    std::free(buffer);
  }
  // Everything written since the last call.
  std::string Take() {
    std::fflush(file);
    std::string text(buffer + taken, size - taken);
    taken = size;
    return text;
  }
};

FileDialogRequest Dialog(const std::string& title, const std::string& pattern,
                         const std::string& proposed = "") {
  FileDialogRequest r;
  r.title = title;
  r.save = !proposed.empty();
  r.filters.push_back({"Files (" + pattern + ")", pattern});
  if (!r.save) r.filters.push_back({"All Files (*.*)", "*.*"});
  r.default_name = proposed;
  return r;
}

TEST(BatchHostDialogs, AnswerEachDialogByItsTitle) {
  BatchOptions all;
  all.data = "/d/run1.fix";
  all.blanks = "/d/run1.blk";
  all.controls = "/d/run1.ctl";
  all.matrix = "/d/old.spl";
  all.results = "/out/run1.scf";
  BatchOptions data_only;
  data_only.data = "/d/run1.syn";
  struct Case {
    FileDialogRequest request;
    std::string with_all, with_data_only;
  };
  const Case cases[] = {
      {Dialog("Open Fix File", "*.fix"), "/d/run1.fix", "/d/run1.syn"},
      {Dialog("Open Synchronous Scan File", "*.syn"), "/d/run1.fix", "/d/run1.syn"},
      {Dialog("Open Blanks File", "*.blk"), "/d/run1.blk", ""},
      {Dialog("Open Blanks File", "*.slk"), "/d/run1.blk", ""},
      {Dialog("Open Control File", "*.ctl"), "/d/run1.ctl", ""},
      {Dialog("Save Results File", "*.scf", "/d/run1.x.scf"), "/out/run1.scf", "/d/run1.x.scf"},
      {Dialog("", "*.spl"), "/d/old.spl", ""},
      // A dialog the command line has no answer for is cancelled.
      {Dialog("Open Something Else", "*.txt"), "", ""},
      {Dialog("", "*.txt"), "", ""}};
  Hosted a(all), d(data_only);
  for (const Case& c : cases) {
    SCOPED_TRACE("dialog \"" + c.request.title + "\" " + c.request.filters[0].pattern);
    EXPECT_EQ(a.host.AskFile(c.request), c.with_all);
    EXPECT_EQ(d.host.AskFile(c.request), c.with_data_only);
  }
  EXPECT_EQ(a.Take() + d.Take(), "");
}

TEST(BatchHostMessages, LinesOnStderrQuestionsAnsweredNoNumbersWithAFullStop) {
  Hosted h;
  h.host.ShowMessage("Can't open file: /d/x.fix");
  EXPECT_EQ(h.Take(), "Can't open file: /d/x.fix\n");
  h.host.ShowMessage("* first\r* second\r\n* third");
  EXPECT_EQ(h.Take(), "* first\n* second\n* third\n");
  EXPECT_EQ(h.host.AskYesNo("Do you want to abort the current run", "Abort Run"), Answer::No);
  EXPECT_EQ(h.Take(), "Abort Run: Do you want to abort the current run - answered No\n");

  EXPECT_EQ(h.host.ParseUserNumber("2.5"), 2.5);
  EXPECT_EQ(h.host.ParseUserNumber(" 250 "), 250.0);
  EXPECT_FALSE(h.host.ParseUserNumber("2,5"));
  EXPECT_FALSE(h.host.ParseUserNumber(""));

  // The pure search's one-second wait does not wait: there is no window to watch.
  const double before = h.host.Clock();
  for (int i = 0; i < 30; ++i) h.host.WaitOneSecond();
  EXPECT_LT(h.host.Clock() - before, 1.0);
  EXPECT_GE(h.host.Clock(), before);
}

std::string Bar(int hashes, int percent) {
  char tail[8];
  std::snprintf(tail, sizeof tail, "%3d %%", percent);
  return "\r[" + std::string(hashes, '#') + std::string(40 - hashes, ' ') + "] " + tail;
}

TEST(BatchHostProgress, DrawnOnATerminalOnlyWhenTheValueChanges) {
  Hosted h({}, true);
  h.host.ProcessPendingMessages();  // 0 %: nothing to show yet
  EXPECT_EQ(h.Take(), "");
  h.p.form.Perc_Panel.value = 50;
  h.host.ProcessPendingMessages();
  EXPECT_EQ(h.Take(), Bar(20, 50));
  h.host.ProcessPendingMessages();
  h.host.ProcessPendingMessages();
  EXPECT_EQ(h.Take(), "");
  h.p.form.Perc_Panel.value = 51;
  h.host.ProcessPendingMessages();
  EXPECT_EQ(h.Take(), Bar(20, 51));

  // A message blanks the bar first, so that the two do not share a line.
  h.host.ShowMessage("Note");
  EXPECT_EQ(h.Take(), "\r" + std::string(48, ' ') + "\rNote\n");
  h.host.ProcessPendingMessages();
  EXPECT_EQ(h.Take(), Bar(20, 51));

  h.p.form.Perc_Panel.value = 100;  // set after the run's last yield
  h.host.FinishProgress();
  EXPECT_EQ(h.Take(), Bar(40, 100) + "\n");
  h.host.FinishProgress();
  EXPECT_EQ(h.Take(), "");
}

TEST(BatchHostProgress, NothingWhenStderrIsNotATerminal) {
  Hosted h;
  for (int v : {10, 50, 100}) {
    h.p.form.Perc_Panel.value = v;
    h.host.ProcessPendingMessages();
  }
  h.host.FinishProgress();
  EXPECT_EQ(h.Take(), "");
}

TEST(BatchHostTissue, DialogsAnsweredAsTheOptionSays) {
  struct Case {
    TissueChoice choice;
    bool excluded, in_file;
    bool stored;  // the options dialog wrote the stored tissue sample
  };
  for (const Case& c : {Case{TissueChoice::Exclude, true, false, false},
                        {TissueChoice::Use, false, true, false},
                        {TissueChoice::Stored, false, true, true}}) {
    SCOPED_TRACE(static_cast<int>(c.choice));
    BatchOptions o;
    o.tissue = c.choice;
    Hosted h(o);
    Program& p = h.p;
    p.TissueRunCancelled = p.TissueAbortRun = true;  // what an earlier Cancel would have left
    ShowTissueDialog(p);
    EXPECT_EQ(p.TissueExcluded, c.excluded);
    EXPECT_EQ(p.TissueInFile, c.in_file);
    EXPECT_FALSE(p.TissueRunCancelled);

    // Matrix colours Tissue, Blue, Green with a provided tissue row of 0.5.
    p.NumColors = p.MatrixSize = 3;
    p.FirstNormalizedColor = 1;
    p.MatrixColorNames[1] = "Tissue";
    p.MatrixColorNames[2] = "Blue";
    p.MatrixColorNames[3] = "Green";
    for (int j = 1; j <= 3; ++j) p.SpillMatrix[1][j] = p.SpillMatrix[j][1] = 0.5;
    ShowTissueOptionsDialog(p);
    EXPECT_FALSE(p.TissueAbortRun);
    EXPECT_EQ(p.SpillMatrix[1][2], c.stored ? 0.6165 : 0.5);
    EXPECT_EQ(p.SpillMatrix[2][1], c.stored ? 0.1034 : 0.5);
    EXPECT_EQ(p.FirstNormalizedColor, c.stored ? 2 : 1);
    EXPECT_EQ(h.Take(), "");
  }
}

}  // namespace
}  // namespace kolvane
