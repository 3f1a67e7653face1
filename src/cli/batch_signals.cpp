#include "cli/batch_signals.h"

#include "base/output_file.h"
#include "base/stop_signals.h"

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
  OnStopRequests(StopOnSignal);
  IgnoreBrokenPipes();
}

}  // namespace kolvane
