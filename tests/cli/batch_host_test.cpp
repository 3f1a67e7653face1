// BatchHost: the dialogs answered from the command line, messages on stderr, the progress bar
// on a terminal, and the tissue dialogs as --tissue says.
#include "cli/batch_host.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "app/program.h"
#include "app/tissue_dialogs.h"

namespace kolvane {
namespace {

// What the host wrote to its error stream.
class Written {
 public:
  Written() : file_(std::tmpfile()) {}
  ~Written() { std::fclose(file_); }
  std::FILE* file() { return file_; }
  // Everything written since the last call.
  std::string Take() {
    std::fflush(file_);
    std::fseek(file_, 0, SEEK_END);
    const long end = std::ftell(file_);
    std::string text(static_cast<std::size_t>(end - taken_), '\0');
    std::fseek(file_, taken_, SEEK_SET);
    const std::size_t got = std::fread(text.data(), 1, text.size(), file_);
    text.resize(got);
    taken_ = end;
    std::fseek(file_, 0, SEEK_END);
    return text;
  }

 private:
  std::FILE* file_;
  long taken_ = 0;
};

FileDialogRequest Dialog(const std::string& title, bool save, const std::string& pattern,
                         const std::string& default_name = "") {
  FileDialogRequest r;
  r.title = title;
  r.save = save;
  r.filters.push_back({"Files (" + pattern + ")", pattern});
  if (!save) r.filters.push_back({"All Files (*.*)", "*.*"});
  r.default_name = default_name;
  return r;
}

BatchOptions AllFiles() {
  BatchOptions o;
  o.data = "/d/run1.fix";
  o.blanks = "/d/run1.blk";
  o.controls = "/d/run1.ctl";
  o.matrix = "/d/old.spl";
  o.results = "/out/run1.scf";
  return o;
}

TEST(BatchHostDialogs, AnswerEachDialogByItsTitle) {
  const BatchOptions o = AllFiles();
  Written err;
  BatchHost host(o, err.file(), false);
  struct Case {
    FileDialogRequest request;
    std::string answer;
  };
  const Case cases[] = {
      {Dialog("Open Fix File", false, "*.fix"), "/d/run1.fix"},
      {Dialog("Open Synchronous Scan File", false, "*.syn"), "/d/run1.fix"},
      {Dialog("Open Blanks File", false, "*.blk"), "/d/run1.blk"},
      {Dialog("Open Blanks File", false, "*.slk"), "/d/run1.blk"},
      {Dialog("Open Control File", false, "*.ctl"), "/d/run1.ctl"},
      {Dialog("Save Results File", true, "*.scf", "/d/run1.fix.scf"), "/out/run1.scf"},
      {Dialog("", false, "*.spl"), "/d/old.spl"},
      // A dialog the command line has no answer for is cancelled.
      {Dialog("Open Something Else", false, "*.txt"), ""},
      {Dialog("", false, "*.txt"), ""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(host.AskFile(c.request), c.answer) << "dialog \"" << c.request.title << "\"";
  EXPECT_EQ(err.Take(), "");
}

TEST(BatchHostDialogs, OptionalFilesNotGivenCancelTheirDialogs) {
  BatchOptions o;
  o.data = "/d/run1.syn";
  Written err;
  BatchHost host(o, err.file(), false);
  EXPECT_EQ(host.AskFile(Dialog("Open Blanks File", false, "*.slk")), "");
  EXPECT_EQ(host.AskFile(Dialog("Open Control File", false, "*.ctl")), "");
  EXPECT_EQ(host.AskFile(Dialog("", false, "*.spl")), "");
}

TEST(BatchHostDialogs, ResultsDefaultToTheProposedName) {
  BatchOptions o;
  o.data = "/d/run1.syn";
  Written err;
  BatchHost host(o, err.file(), false);
  EXPECT_EQ(host.AskFile(Dialog("Save Results File", true, "*.scf", "/d/run1.syn.scf")),
            "/d/run1.syn.scf");
}

TEST(BatchHostMessages, EachLineOfAMessageIsALineOnStderr) {
  BatchOptions o;
  Written err;
  BatchHost host(o, err.file(), false);
  host.ShowMessage("Can't open file: /d/x.fix");
  EXPECT_EQ(err.Take(), "Can't open file: /d/x.fix\n");
  host.ShowMessage("* first\r* second\r\n* third");
  EXPECT_EQ(err.Take(), "* first\n* second\n* third\n");
}

TEST(BatchHostMessages, QuestionsAreAnsweredNoAndShown) {
  BatchOptions o;
  Written err;
  BatchHost host(o, err.file(), false);
  EXPECT_EQ(host.AskYesNo("Do you want to abort the current run", "Abort Run"), Answer::No);
  EXPECT_EQ(err.Take(), "Abort Run: Do you want to abort the current run - answered No\n");
}

TEST(BatchHostMessages, NumbersUseTheFullStopWhateverTheLocale) {
  BatchOptions o;
  Written err;
  BatchHost host(o, err.file(), false);
  EXPECT_EQ(host.ParseUserNumber("2.5"), 2.5);
  EXPECT_EQ(host.ParseUserNumber(" 250 "), 250.0);
  EXPECT_FALSE(host.ParseUserNumber("2,5"));
  EXPECT_FALSE(host.ParseUserNumber(""));
}

TEST(BatchHostMessages, TheOneSecondWaitDoesNotWait) {
  BatchOptions o;
  Written err;
  BatchHost host(o, err.file(), false);
  const double before = host.Clock();
  for (int i = 0; i < 30; ++i) host.WaitOneSecond();
  EXPECT_LT(host.Clock() - before, 1.0);
  EXPECT_GE(host.Clock(), before);
}

TEST(BatchHostMessages, EndProgramIsRecorded) {
  BatchOptions o;
  Written err;
  BatchHost host(o, err.file(), false);
  EXPECT_FALSE(host.ended());
  host.EndProgram();
  EXPECT_TRUE(host.ended());
}

std::string Bar(int hashes, int percent) {
  std::string s = "\r[" + std::string(hashes, '#') + std::string(40 - hashes, ' ') + "] ";
  char tail[8];
  std::snprintf(tail, sizeof tail, "%3d %%", percent);
  return s + tail;
}

TEST(BatchHostProgress, DrawnOnATerminalOnlyWhenTheValueChanges) {
  BatchOptions o;
  Written err;
  BatchHost host(o, err.file(), true);
  Program p(host);
  host.Attach(p);

  host.ProcessPendingMessages();  // 0 %: nothing to show yet
  EXPECT_EQ(err.Take(), "");
  p.form.Perc_Panel.value = 50;
  host.ProcessPendingMessages();
  EXPECT_EQ(err.Take(), Bar(20, 50));
  host.ProcessPendingMessages();
  host.ProcessPendingMessages();
  EXPECT_EQ(err.Take(), "");
  p.form.Perc_Panel.value = 51;
  host.ProcessPendingMessages();
  EXPECT_EQ(err.Take(), Bar(20, 51));

  // A message blanks the bar first, so that the two do not share a line.
  host.ShowMessage("Note");
  EXPECT_EQ(err.Take(), "\r" + std::string(48, ' ') + "\rNote\n");
  host.ProcessPendingMessages();
  EXPECT_EQ(err.Take(), Bar(20, 51));

  p.form.Perc_Panel.value = 100;
  host.ProcessPendingMessages();
  EXPECT_EQ(err.Take(), Bar(40, 100));
  host.FinishProgress();
  EXPECT_EQ(err.Take(), "\n");
  host.FinishProgress();
  EXPECT_EQ(err.Take(), "");
}

TEST(BatchHostProgress, TheLastValueIsShownWhenTheRunEnds) {
  BatchOptions o;
  Written err;
  BatchHost host(o, err.file(), true);
  Program p(host);
  host.Attach(p);
  p.form.Perc_Panel.value = 30;
  host.ProcessPendingMessages();
  EXPECT_EQ(err.Take(), Bar(12, 30));
  p.form.Perc_Panel.value = 100;  // set after the run's last yield
  host.FinishProgress();
  EXPECT_EQ(err.Take(), Bar(40, 100) + "\n");
}

TEST(BatchHostProgress, NothingWhenStderrIsNotATerminal) {
  BatchOptions o;
  Written err;
  BatchHost host(o, err.file(), false);
  Program p(host);
  host.Attach(p);
  for (int v : {10, 50, 100}) {
    p.form.Perc_Panel.value = v;
    host.ProcessPendingMessages();
  }
  host.FinishProgress();
  EXPECT_EQ(err.Take(), "");
}

struct TissueCase {
  TissueChoice choice;
  bool excluded;
  bool in_file;
  bool stored;  // the options dialog wrote the stored tissue sample
};

class BatchHostTissue : public testing::TestWithParam<TissueCase> {};

TEST_P(BatchHostTissue, DialogsAnsweredAsTheOptionSays) {
  BatchOptions o;
  o.tissue = GetParam().choice;
  Written err;
  BatchHost host(o, err.file(), false);
  Program p(host);
  host.Attach(p);
  p.TissueRunCancelled = true;  // what an earlier Cancel would have left
  p.TissueAbortRun = true;

  ShowTissueDialog(p);
  EXPECT_EQ(p.TissueExcluded, GetParam().excluded);
  EXPECT_EQ(p.TissueInFile, GetParam().in_file);
  EXPECT_FALSE(p.TissueRunCancelled);

  // Matrix colours Tissue, Blue, Green with a provided tissue row of 0.5.
  p.NumColors = 3;
  p.MatrixSize = 3;
  p.MatrixColorNames[1] = "Tissue";
  p.MatrixColorNames[2] = "Blue";
  p.MatrixColorNames[3] = "Green";
  for (int j = 1; j <= 3; ++j) p.SpillMatrix[1][j] = p.SpillMatrix[j][1] = 0.5;
  ShowTissueOptionsDialog(p);
  EXPECT_FALSE(p.TissueAbortRun);
  if (GetParam().stored) {
    EXPECT_EQ(p.SpillMatrix[1][1], 1.0);
    EXPECT_EQ(p.SpillMatrix[1][2], 0.6165);
    EXPECT_EQ(p.SpillMatrix[2][1], 0.1034);
    EXPECT_EQ(p.SpillMatrix[1][3], 0.0);
    EXPECT_EQ(p.FirstNormalizedColor, 2);
  } else {
    EXPECT_EQ(p.SpillMatrix[1][2], 0.5);
    EXPECT_EQ(p.SpillMatrix[2][1], 0.5);
  }
  EXPECT_EQ(err.Take(), "");
}

INSTANTIATE_TEST_SUITE_P(Choices, BatchHostTissue,
                         testing::Values(TissueCase{TissueChoice::Exclude, true, false, false},
                                         TissueCase{TissueChoice::Use, false, true, false},
                                         TissueCase{TissueChoice::Stored, false, true, true}));

}  // namespace
}  // namespace kolvane
