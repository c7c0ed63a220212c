#include "base/StopRequest.h"

#include "base/RuntimeError.h"

#include <atomic>
#include <csignal>
#include <unistd.h>

namespace stop {
namespace {

volatile std::sig_atomic_t requested = 0;
std::atomic<int> scopes = 0;

constexpr int Signals[] = {SIGINT, SIGTERM, SIGHUP};

void OnSignal(int signal) {
    if (requested == 0) {
        requested = signal;
    }
    if (scopes.load() == 0) {
        ::_exit(128 + signal);
    }
}

} // namespace

void HandleSignals() {
    struct sigaction action {};
    action.sa_handler = OnSignal;
    // Calls under way go on: the work looks at the request between its steps.
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (const int signal : Signals) {
        sigaddset(&action.sa_mask, signal);
    }
    for (const int signal : Signals) {
        ::sigaction(signal, &action, nullptr);
    }
}

int Requested() {
    return requested;
}

std::string SignalName() {
    switch (requested) {
    case SIGINT:
        return "SIGINT";
    case SIGTERM:
        return "SIGTERM";
    case SIGHUP:
        return "SIGHUP";
    default:
        return "signal " + std::to_string(requested);
    }
}

int ExitStatus() {
    return 128 + requested;
}

void ThrowIfRequested() {
    if (requested != 0) {
        throw RuntimeError("Stopped by " + SignalName());
    }
}

StopScope::StopScope() {
    ++scopes;
}

StopScope::~StopScope() {
    --scopes;
}

} // namespace stop
