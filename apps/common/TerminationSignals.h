#pragma once

// Termination requests (SIGTERM, SIGINT, SIGHUP) taken as data instead of by
// handlers. The database client installs handlers of its own for SIGINT and
// SIGTERM at the first attachment (create or open); they start an engine
// shutdown and swallow the signal, so a program relying on handlers would
// either miss the request or lose its database under it. Blocked in every
// thread, the signals never reach any handler, whoever installed it; they
// wait on a descriptor until the program takes them at a point where
// stopping is safe.

namespace zemvalkorta {

// Call first in main, before anything starts a thread: threads inherit the
// block. Returns false when the descriptor cannot be made (the signals then
// act as before).
bool BlockTerminationSignals();

// Readable while a request is pending; -1 before BlockTerminationSignals.
int TerminationSignalDescriptor();

// The next pending request's signal number, or 0; never waits.
int TakeTerminationSignal();

}  // namespace zemvalkorta
