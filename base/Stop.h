#pragma once

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <stop_token>
#include <string>

// Asking an operation to stop, and why: the operator's Cancel, the window closing, or SIGINT,
// SIGTERM or SIGHUP. Each operation has a source of its own; its work looks at the token
// between the steps that may be cut, and ends there the way a failure would, with a run-time
// error whose description is the reason ("Stopped by SIGINT", "Cancelled").
namespace stop {

class Token {
public:
    // A token that is never asked to stop.
    Token() = default;

    bool Requested() const { return token_.stop_requested(); }
    // Why the stop was asked; empty while none was.
    std::string Reason() const;
    // Between two steps that may be cut: a RuntimeError with the reason when a stop was asked.
    void ThrowIfRequested() const;

    // Waits on the condition until ready() holds, the stop is asked or the deadline passes;
    // whether ready() holds.
    template <typename Predicate>
    bool WaitUntil(std::condition_variable_any& condition, std::unique_lock<std::mutex>& lock,
                   std::chrono::steady_clock::time_point deadline, Predicate ready) const {
        return condition.wait_until(lock, token_, deadline, std::move(ready));
    }

private:
    friend class Source;
    struct Shared {
        mutable std::mutex mutex;
        bool asked = false;
        std::string reason;
    };
    std::stop_token token_;
    std::shared_ptr<const Shared> shared_;
};

class Source {
public:
    Source();

    // Asks the stop; a stop asked already keeps its first reason. Whether this call asked it.
    bool Request(const std::string& reason);
    Token GetToken() const;

private:
    std::stop_source source_;
    std::shared_ptr<Token::Shared> shared_;
};

// From here on SIGINT, SIGTERM and SIGHUP are taken by a thread of their own: inside a
// SignalScope a signal asks the scope's operation to stop ("Stopped by SIGINT"); outside every
// scope it ends the program at once with 128 + the signal's number, as the shell expects:
// nothing is half-written then. Called first thing in main, before any other thread starts,
// so that every thread leaves the signals to that one.
void HandleSignals();

// The first signal that asked to stop; 0 when none did.
int Signalled();
// The exit status of a program a signal asked to stop: 128 + its number.
int ExitStatus();

// While one lives, a signal stops its source's operation instead of the program.
class SignalScope {
public:
    explicit SignalScope(Source& source);
    ~SignalScope();
    SignalScope(const SignalScope&) = delete;
    SignalScope& operator=(const SignalScope&) = delete;

private:
    Source& source_;
};

} // namespace stop
