// In this file: the requests to stop the program, as each system makes them. On POSIX systems
// SIGINT (Ctrl-C), SIGTERM and SIGHUP (the terminal closed); on Windows the console's Ctrl-C and
// Ctrl-Break, and its closing, logoff or shutdown.
#pragma once

namespace kolvane {

// The handler receives SIGINT for Ctrl-C (and Ctrl-Break), SIGTERM or SIGHUP otherwise. On POSIX
// systems it runs as a signal handler: only async-signal-safe calls. On Windows it runs on a
// thread of the system's; after a closing, logoff or shutdown the system ends the program when
// it returns, so the temporary files being written are removed first.
using StopHandler = void (*)(int);
void OnStopRequests(StopHandler handler);
// Ends the program as the stop request would have ended it without a handler: on Windows at
// once, on POSIX systems when the signal handler that calls it returns.
void EndByStopRequest(int signal);
// A write to a closed pipe fails with an error instead of ending the program (POSIX systems;
// Windows has no such signal).
void IgnoreBrokenPipes();

}  // namespace kolvane
