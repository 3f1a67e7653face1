// BatchHost: messages and questions on stderr, and the progress bar on a terminal. The file
// dialogs it answers from the command line are run by the golden datasets and the command-line
// table.
#include "cli/batch_host.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/program.h"

namespace kolvane {
namespace {

// A batch host whose error stream is kept in memory; Take() returns what it wrote since the last
// call.
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
  ~Hosted() { std::fclose(file), std::free(buffer); }
  std::string Take() {
    std::fflush(file);
    std::string text(buffer + taken, size - taken);
    taken = size;
    return text;
  }
};

TEST(BatchHost, MessagesAreLinesOnStderrAndQuestionsAreAnsweredNo) {
  Hosted h;
  h.host.ShowMessage("* first\r* second\r\n* third\r\n");
  EXPECT_EQ(h.Take(), "* first\n* second\n* third\n");
  EXPECT_EQ(h.host.AskYesNo("Do you want to abort the current run?", "Abort Run"), Answer::No);
  EXPECT_EQ(h.Take(), "Abort Run: Do you want to abort the current run? - answered No\n");
  const double before = h.host.Clock();  // the pure search's one-second waits do not wait
  for (int i = 0; i < 30; ++i) h.host.WaitOneSecond();
  EXPECT_LT(h.host.Clock() - before, 1.0);
}

std::string Bar(int hashes, int percent) {
  char tail[8];
  std::snprintf(tail, sizeof tail, "%3d %%", percent);
  return "\r[" + std::string(hashes, '#') + std::string(40 - hashes, ' ') + "] " + tail;
}

TEST(BatchHost, ProgressBarOnATerminalOnlyAndOnlyWhenItChanges) {
  Hosted h({}, true), quiet;
  for (Hosted* x : {&h, &quiet}) {
    x->p.form.Perc_Panel.minimum = 20;  // 45 of 20..70 is half way
    x->p.form.Perc_Panel.maximum = 70;
  }
  h.host.ProcessPendingMessages();  // 0 %: nothing to show yet
  EXPECT_EQ(h.Take(), "");
  h.p.form.Perc_Panel.value = quiet.p.form.Perc_Panel.value = 45;
  h.host.ProcessPendingMessages();
  quiet.host.ProcessPendingMessages();
  EXPECT_EQ(h.Take(), Bar(20, 50));
  h.host.ProcessPendingMessages();
  EXPECT_EQ(h.Take(), "");
  h.p.form.Perc_Panel.value = 46;
  h.host.ProcessPendingMessages();
  EXPECT_EQ(h.Take(), Bar(20, 52));
  // A message blanks the bar first, so that the two do not share a line; the bar comes back.
  h.host.ShowMessage("Note");
  EXPECT_EQ(h.Take(), "\r" + std::string(48, ' ') + "\rNote\n");
  h.host.ProcessPendingMessages();
  EXPECT_EQ(h.Take(), Bar(20, 52));
  h.p.form.Perc_Panel.value = quiet.p.form.Perc_Panel.value = 70;  // after the last yield
  h.host.FinishProgress();
  quiet.host.FinishProgress();
  EXPECT_EQ(h.Take(), Bar(40, 100) + "\n");
  h.host.FinishProgress();
  EXPECT_EQ(h.Take() + quiet.Take(), "");
}

}  // namespace
}  // namespace kolvane
