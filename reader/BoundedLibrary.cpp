#include "reader/BoundedLibrary.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <vector>

namespace {

std::atomic<int> callsLeftBehind = 0;
constexpr std::chrono::milliseconds EndAfterStop{500};
// Most calls are answered from what the reader's connection read ahead, in a microsecond, and
// follow each other closely: each side looks for the other a moment before it sleeps, which
// saves the two wake-ups a call would cost otherwise.
constexpr std::chrono::microseconds CallerLooks{50};
constexpr std::chrono::microseconds ThreadLooks{300};

template <typename Predicate> void LookFor(std::chrono::microseconds time, Predicate found) {
    const auto until = std::chrono::steady_clock::now() + time;
    while (!found() && std::chrono::steady_clock::now() < until) {
    }
}

} // namespace

struct BoundedLibrary::Calls {
    std::shared_ptr<ASEMEM> library;
    std::mutex mutex;
    std::condition_variable_any changed;
    std::optional<std::function<void()>> next; // the call to make
    std::atomic<bool> waiting = false;         // a call is there to be made, or a quit
    std::atomic<std::size_t> made = 0;         // calls made and returned
    bool quit = false;
    bool leftBehind = false;

    // The library's thread: one call after another, until told to quit; the library goes with
    // the last call, so that one given up is let go where it ends.
    static void Serve(std::shared_ptr<Calls> calls) {
        for (;;) {
            LookFor(ThreadLooks, [&] { return calls->waiting.load(); });
            std::unique_lock lock(calls->mutex);
            calls->changed.wait(lock, [&] { return calls->next || calls->quit; });
            if (!calls->next) {
                if (calls->leftBehind) {
                    lock.unlock();
                    calls->library.reset();
                    --callsLeftBehind;
                }
                return;
            }
            const auto call = std::move(*calls->next);
            calls->next.reset();
            calls->waiting = calls->quit;
            lock.unlock();
            call();
            lock.lock();
            ++calls->made;
            calls->changed.notify_all();
        }
    }
};

BoundedLibrary::BoundedLibrary(std::shared_ptr<ASEMEM> library, stop::Token stop,
                               std::chrono::seconds limit)
    : calls_(std::make_shared<Calls>()), stop_(std::move(stop)), limit_(limit) {
    calls_->library = std::move(library);
    thread_ = std::thread(Calls::Serve, calls_);
}

BoundedLibrary::~BoundedLibrary() {
    bool leftBehind = false;
    {
        const std::lock_guard lock(calls_->mutex);
        calls_->quit = true;
        calls_->waiting = true;
        leftBehind = calls_->leftBehind;
        calls_->changed.notify_all();
    }
    if (leftBehind) {
        thread_.detach();
    } else {
        thread_.join();
    }
}

int BoundedLibrary::CallsLeftBehind() {
    return callsLeftBehind.load();
}

std::int32_t BoundedLibrary::Make(std::chrono::milliseconds longer, Call call) {
    if (givenUp_ != 0) {
        return givenUp_;
    }
    if (stop_.Requested() && !callOnAfterStop_) {
        cause_ = FailureCause::Unknown;
        return ReaderCode::Stopped;
    }
    struct Answer {
        std::int32_t code = 0;
        FailureCause cause = FailureCause::Unknown;
    };
    const auto answer = std::make_shared<Answer>();
    std::unique_lock lock(calls_->mutex);
    const std::size_t number = calls_->made + 1;
    calls_->next = [answer, call = std::move(call), calls = calls_.get()] {
        answer->code = call(*calls->library);
        answer->cause = calls->library->LastFailureCause();
    };
    calls_->waiting = true;
    calls_->changed.notify_all();
    lock.unlock();
    const auto returned = [&] { return calls_->made == number; };
    LookFor(CallerLooks, returned);
    lock.lock();
    const auto deadline = std::chrono::steady_clock::now() + limit_ + longer;
    bool answered = stop_.WaitUntil(calls_->changed, lock, deadline, returned);
    if (!answered && stop_.Requested()) {
        const auto ending = std::min(deadline, std::chrono::steady_clock::now() + EndAfterStop);
        answered = calls_->changed.wait_until(lock, ending, returned);
    }
    if (answered) {
        cause_ = answer->cause;
        return answer->code;
    }
    if (calls_->next) {
        calls_->next.reset(); // never begun: nothing is left behind
    } else {
        calls_->leftBehind = true;
        ++callsLeftBehind;
    }
    givenUp_ = stop_.Requested() ? ReaderCode::Stopped : ReaderCode::NoAnswer;
    cause_ = givenUp_ == ReaderCode::NoAnswer ? FailureCause::NoAnswer : FailureCause::Unknown;
    return givenUp_;
}

std::int32_t BoundedLibrary::ASEListReaders(std::span<std::uint8_t> buffer, std::int32_t& length) {
    const auto names = std::make_shared<std::vector<std::uint8_t>>(buffer.size());
    const auto listed = std::make_shared<std::int32_t>(length);
    const std::int32_t code =
        Make({}, [=](ASEMEM& library) { return library.ASEListReaders(*names, *listed); });
    if (code != ReaderCode::NoAnswer && code != ReaderCode::Stopped) {
        std::copy(names->begin(), names->end(), buffer.begin());
        length = *listed;
    }
    return code;
}

std::int32_t BoundedLibrary::ASEWaitForCardEvent(const std::string& readerName, std::int32_t event,
                                                 std::int32_t timeoutMs) {
    return Make(std::chrono::milliseconds(std::max(timeoutMs, 0)), [=](ASEMEM& library) {
        return library.ASEWaitForCardEvent(readerName, event, timeoutMs);
    });
}

std::int32_t BoundedLibrary::ASEMemConnect(std::int32_t& cardHandle, const std::string& readerName,
                                           std::int32_t shareMode, std::int32_t& cardType) {
    // A connect that fails leaves both as they were: they go in as they are, and come back.
    const auto handleAndType =
        std::make_shared<std::pair<std::int32_t, std::int32_t>>(cardHandle, cardType);
    const std::int32_t code = Make({}, [=](ASEMEM& library) {
        return library.ASEMemConnect(handleAndType->first, readerName, shareMode,
                                     handleAndType->second);
    });
    if (code != ReaderCode::NoAnswer && code != ReaderCode::Stopped) {
        std::tie(cardHandle, cardType) = *handleAndType;
    }
    return code;
}

std::int32_t BoundedLibrary::ASEMemRead(std::int32_t cardHandle, std::int32_t address,
                                        std::span<std::uint8_t> destination, std::uint8_t flags,
                                        std::int32_t length) {
    const auto bytes = std::make_shared<std::vector<std::uint8_t>>(destination.size());
    const std::int32_t code = Make({}, [=](ASEMEM& library) {
        return library.ASEMemRead(cardHandle, address, *bytes, flags, length);
    });
    if (code == ReaderCode::Success) {
        std::copy(bytes->begin(), bytes->end(), destination.begin());
    }
    return code;
}

std::int32_t BoundedLibrary::ASEMemWrite(std::int32_t cardHandle, std::int32_t address,
                                         std::span<const std::uint8_t> source, std::int32_t length,
                                         std::uint8_t flags) {
    const auto bytes = std::make_shared<std::vector<std::uint8_t>>(source.begin(), source.end());
    return Make({}, [=](ASEMEM& library) {
        return library.ASEMemWrite(cardHandle, address, *bytes, length, flags);
    });
}

std::int32_t BoundedLibrary::ASEMemDisconnect(std::int32_t cardHandle, std::int32_t disposition) {
    return Make({},
                [=](ASEMEM& library) { return library.ASEMemDisconnect(cardHandle, disposition); });
}
