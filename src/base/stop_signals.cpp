#include "base/stop_signals.h"

#include <csignal>
#include <initializer_list>

#ifdef _WIN32
#include <windows.h>

#include <atomic>

#include "base/output_file.h"
#endif

namespace kolvane {

#ifdef _WIN32

namespace {

std::atomic<StopHandler> g_handler{nullptr};

BOOL WINAPI ConsoleStop(DWORD event) {
  const StopHandler handler = g_handler.load();
  if (handler == nullptr) return FALSE;
  const bool interrupt = event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT;
  handler(interrupt ? SIGINT : SIGTERM);
  if (!interrupt) RemovePartialFile();
  return TRUE;
}

}  // namespace

void OnStopRequests(StopHandler handler) {
  if (g_handler.exchange(handler) == nullptr) SetConsoleCtrlHandler(ConsoleStop, TRUE);
}

void EndByStopRequest(int) {
  // The status a console program ended by Ctrl-C has.
  TerminateProcess(GetCurrentProcess(), static_cast<UINT>(STATUS_CONTROL_C_EXIT));
  ExitProcess(static_cast<UINT>(STATUS_CONTROL_C_EXIT));
}

void IgnoreBrokenPipes() {}

#else

void OnStopRequests(StopHandler handler) {
  for (int s : {SIGINT, SIGTERM, SIGHUP}) std::signal(s, handler);
}

void EndByStopRequest(int signal) {
  std::signal(signal, SIG_DFL);
  std::raise(signal);  // delivered when the handler returns
}

void IgnoreBrokenPipes() {
  std::signal(SIGPIPE, SIG_IGN);
}

#endif

}  // namespace kolvane
