#pragma once

#include "base/Stop.h"
#include "reader/ASEMEM.h"

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

// How long a reader may take to answer a call, unless the "Card Timeout" setting says otherwise.
constexpr std::chrono::seconds DefaultCardTimeout{5};

// The card-reader library of one operation, whose calls never hold it longer than the card
// timeout, nor much past a stop. Each call is made on a thread of the library's own and waited
// for until it returns (its result is the call's) or its time is up (NoAnswer); once the
// operation is asked to stop, a call under way has half a second more to return (Stopped), and
// no new call is made. A PC/SC transmit cannot be cancelled: a call given up is left to end on
// its thread, with buffers of its own, and the library with it; every later call fails at once
// the same way. The next operation takes a library of its own, so the reader can be used again
// as soon as it answers again.
class BoundedLibrary : public ASEMEM {
public:
    BoundedLibrary(std::shared_ptr<ASEMEM> library, stop::Token stop, std::chrono::seconds limit);
    ~BoundedLibrary() override;
    BoundedLibrary(const BoundedLibrary&) = delete;
    BoundedLibrary& operator=(const BoundedLibrary&) = delete;

    // From here on calls are made after a stop too: a format is never cut between its write
    // and its check.
    void CallOnAfterStop() { callOnAfterStop_ = true; }
    std::chrono::seconds Limit() const { return limit_; }

    // How many calls given up are still under way in this program: a program that ends while
    // some are ends at once, without waiting for them.
    static int CallsLeftBehind();

    std::int32_t ASEListReaders(std::span<std::uint8_t> buffer, std::int32_t& length) override;
    // Besides the card timeout, the call may take the time of the wait.
    std::int32_t ASEWaitForCardEvent(const std::string& readerName, std::int32_t event,
                                     std::int32_t timeoutMs) override;
    std::int32_t ASEMemConnect(std::int32_t& cardHandle, const std::string& readerName,
                               std::int32_t shareMode, std::int32_t& cardType) override;
    std::int32_t ASEMemRead(std::int32_t cardHandle, std::int32_t address,
                            std::span<std::uint8_t> destination, std::uint8_t flags,
                            std::int32_t length) override;
    std::int32_t ASEMemWrite(std::int32_t cardHandle, std::int32_t address,
                             std::span<const std::uint8_t> source, std::int32_t length,
                             std::uint8_t flags) override;
    std::int32_t ASEMemDisconnect(std::int32_t cardHandle, std::int32_t disposition) override;
    FailureCause LastFailureCause() const override { return cause_; }

private:
    struct Calls; // what the library's thread shares with it
    using Call = std::function<std::int32_t(ASEMEM& library)>;

    std::shared_ptr<Calls> calls_;
    std::thread thread_;
    stop::Token stop_;
    std::chrono::seconds limit_;
    bool callOnAfterStop_ = false;
    std::int32_t givenUp_ = 0; // what every call returns once one was given up
    FailureCause cause_ = FailureCause::Unknown;

    // Makes the call on the library's thread and waits for it; the call keeps in memory of
    // its own whatever it writes, and is handed back only when it returned in time.
    std::int32_t Make(std::chrono::milliseconds longer, Call call);
};
