#include "base/Stop.h"

#include "base/RuntimeError.h"

#include <algorithm>
#include <atomic>
#include <csignal>
#include <pthread.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

namespace stop {
namespace {

std::atomic<int> signalled = 0;

// The operations a signal stops now. The signal thread outlives main's return, so what it reads
// is never destroyed: a signal that comes while the program ends finds an empty list, not a freed
// one.
struct Scopes {
    std::mutex mutex;
    std::vector<Source*> sources;
};
Scopes& scopes = *new Scopes;

std::string SignalName(int signal) {
    switch (signal) {
    case SIGINT:
        return "SIGINT";
    case SIGTERM:
        return "SIGTERM";
    case SIGHUP:
        return "SIGHUP";
    default:
        return "signal " + std::to_string(signal);
    }
}

void TakeSignals(sigset_t signals) {
    for (;;) {
        int signal = 0;
        if (::sigwait(&signals, &signal) != 0) {
            continue;
        }
        int none = 0;
        signalled.compare_exchange_strong(none, signal);
        const std::lock_guard lock(scopes.mutex);
        if (scopes.sources.empty()) {
            ::_exit(128 + signal);
        }
        for (Source* source : scopes.sources) {
            source->Request("Stopped by " + SignalName(signal));
        }
    }
}

} // namespace

std::string Token::Reason() const {
    if (!shared_) {
        return {};
    }
    const std::lock_guard lock(shared_->mutex);
    return shared_->reason;
}

void Token::ThrowIfRequested() const {
    if (Requested()) {
        throw RuntimeError(Reason());
    }
}

Source::Source() : shared_(std::make_shared<Token::Shared>()) {}

bool Source::Request(const std::string& reason) {
    {
        // The reason is there before the stop shows, so that whoever sees the stop can say why.
        const std::lock_guard lock(shared_->mutex);
        if (std::exchange(shared_->asked, true)) {
            return false;
        }
        shared_->reason = reason;
    }
    return source_.request_stop();
}

Token Source::GetToken() const {
    Token token;
    token.token_ = source_.get_token();
    token.shared_ = shared_;
    return token;
}

void HandleSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        sigaddset(&signals, signal);
    }
    ::pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    std::thread(TakeSignals, signals).detach();
}

int Signalled() {
    return signalled.load();
}

int ExitStatus() {
    return 128 + Signalled();
}

SignalScope::SignalScope(Source& source) : source_(source) {
    const std::lock_guard lock(scopes.mutex);
    scopes.sources.push_back(&source_);
}

SignalScope::~SignalScope() {
    const std::lock_guard lock(scopes.mutex);
    std::erase(scopes.sources, &source_);
}

} // namespace stop
