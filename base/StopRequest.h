#pragma once

#include <string>

// A request to stop the program, made by SIGINT, SIGTERM or SIGHUP. Outside a StopScope the
// signal ends the program at once, with status 128 + the signal's number, as the shell expects:
// nothing is half-written then. Inside one, the signal is only noted: the work in the scope
// looks at it between the steps that may be cut, and ends the way a failure would, leaving
// whole files; the program then ends with that status.
namespace stop {

// Installs the handling of the three signals.
void HandleSignals();

// The signal that asked to stop; 0 when none did.
int Requested();

// "SIGINT", for the signal that asked to stop.
std::string SignalName();

// The exit status for a program that was asked to stop: 128 + the signal's number.
int ExitStatus();

// Between two steps that may be cut: a RuntimeError "Stopped by SIGINT" when a stop was asked.
void ThrowIfRequested();

// While one lives, a signal is noted, not obeyed at once.
class StopScope {
public:
    StopScope();
    ~StopScope();
    StopScope(const StopScope&) = delete;
    StopScope& operator=(const StopScope&) = delete;
};

} // namespace stop
