#include "cli/batch_signals.h"

#include <csignal>

#include "base/output_file.h"

namespace kolvane {

namespace {

std::atomic<bool> g_stop{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

extern "C" void StopOnSignal(int signal) {
  if (!g_stop.exchange(true)) return;
  EndBySignal(signal);
}

}  // namespace

std::atomic<bool>& StopRequested() {
  return g_stop;
}

void HandleStopSignals() {
  g_stop = false;
  for (int s : {SIGINT, SIGTERM, SIGHUP}) std::signal(s, StopOnSignal);
  std::signal(SIGPIPE, SIG_IGN);
}

}  // namespace kolvane
