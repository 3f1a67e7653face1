// BatchHost: messages and questions on stderr. The file
// dialogs it answers from the command line are run by the golden datasets and the command-line
// table.
#include "cli/batch_host.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "support/portable.h"

namespace kolvane {
namespace {

// The host's error stream kept in memory.
TEST(BatchHost, MessagesAreLinesOnStderrAndQuestionsAreAnsweredNo) {
  const BatchOptions options;
  MemoryStream stream;
  BatchHost host(options, stream.file, false);
  host.ShowMessage("* first\r* second\r\n* third\r\n");
  EXPECT_EQ(stream.Take(), "* first\n* second\n* third\n");
  EXPECT_EQ(host.AskYesNo("Do you want to abort the current run?", "Abort Run"), Answer::No);
  EXPECT_EQ(stream.Take(), "Abort Run: Do you want to abort the current run? - answered No\n");
}

}  // namespace
}  // namespace kolvane
