#pragma once

#include "card/CardImage.h"
#include "reader/ASEMEM.h"

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// A scripted card-reader library: it records every call with its arguments ("read 7 64 0 64"),
// answers with the codes a test queues per function (success once they run out), and serves
// reads from a card image.
class FakeLibrary : public ASEMEM {
public:
    std::vector<std::string> calls;
    std::map<std::string, std::deque<std::int32_t>> codes; // by function: "wait", "read", ...
    std::unique_ptr<CardBuffer> card = std::make_unique<CardBuffer>();
    std::int32_t cardType = 19;
    std::vector<std::uint8_t> written;
    std::vector<std::uint8_t> readerList;           // names with their zero bytes, as listed
    std::optional<std::int32_t> listLength;         // the length reported; none: the list's size
    std::function<void(const std::string&)> onCall; // told of every call before it is answered
    FailureCause cause = FailureCause::Unknown;     // of every failure

    FakeLibrary() { card->fill(0xFF); }

    std::int32_t ASEListReaders(std::span<std::uint8_t> buffer, std::int32_t& length) override;
    std::int32_t ASEWaitForCardEvent(const std::string& readerName, std::int32_t event,
                                     std::int32_t timeoutMs) override;
    std::int32_t ASEMemConnect(std::int32_t& cardHandle, const std::string& readerName,
                               std::int32_t shareMode, std::int32_t& type) override;
    std::int32_t ASEMemRead(std::int32_t cardHandle, std::int32_t address,
                            std::span<std::uint8_t> destination, std::uint8_t flags,
                            std::int32_t length) override;
    std::int32_t ASEMemWrite(std::int32_t cardHandle, std::int32_t address,
                             std::span<const std::uint8_t> source, std::int32_t length,
                             std::uint8_t flags) override;
    std::int32_t ASEMemDisconnect(std::int32_t cardHandle, std::int32_t disposition) override;

    FailureCause LastFailureCause() const override { return cause; }

    int Count(const std::string& prefix) const;

private:
    // Records the call and answers it.
    std::int32_t Call(const std::string& function, const std::vector<std::string>& arguments);
};
