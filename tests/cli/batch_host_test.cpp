// BatchHost: messages and questions on stderr. The file
// dialogs it answers from the command line are run by the golden datasets and the command-line
// table.
#include "cli/batch_host.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/program.h"
#include "support/portable.h"

namespace kolvane {
namespace {

// A batch host whose error stream is kept in memory; Take() returns what it wrote since the last
// call.
struct Hosted {
  BatchOptions options;  // the host keeps a reference to it
  MemoryStream stream;
  std::FILE* file = stream.file;
  BatchHost host;
  Program p{host};
  explicit Hosted(const BatchOptions& o = {}, bool terminal = false)
      : options(o), host(options, file, terminal) {}
  std::string Take() { return stream.Take(); }
};

TEST(BatchHost, MessagesAreLinesOnStderrAndQuestionsAreAnsweredNo) {
  Hosted h;
  h.host.ShowMessage("* first\r* second\r\n* third\r\n");
  EXPECT_EQ(h.Take(), "* first\n* second\n* third\n");
  EXPECT_EQ(h.host.AskYesNo("Do you want to abort the current run?", "Abort Run"), Answer::No);
  EXPECT_EQ(h.Take(), "Abort Run: Do you want to abort the current run? - answered No\n");
}

}  // namespace
}  // namespace kolvane
