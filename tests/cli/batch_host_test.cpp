// BatchHost: messages and questions on stderr. The file
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
      : options(o), host(options, file, terminal) {}
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

}  // namespace
}  // namespace kolvane
