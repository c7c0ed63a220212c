#pragma once

#include "card/CardImage.h"
#include "reader/ASEMEM.h"

#include <algorithm>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// A scripted card-reader library: it records every call with its arguments ("read 7 64 0 64",
// reader names in brackets), answers with the codes a test queues per function (success once
// they run out), and serves reads from a card image.
class FakeLibrary : public ASEMEM {
public:
    std::vector<std::string> calls;
    std::map<std::string, std::deque<std::int32_t>> codes; // by function: "wait", "read", ...
    std::unique_ptr<CardBuffer> card = std::make_unique<CardBuffer>();
    std::int32_t cardType = 19;
    std::vector<std::uint8_t> readerList;           // names with their zero bytes, as listed
    std::optional<std::int32_t> listLength;         // the length reported; none: the list's size
    std::function<void(const std::string&)> onCall; // told of every call before it is answered
    FailureCause cause = FailureCause::Unknown;     // of every failure

    static constexpr std::int32_t Handle = 7;

    FakeLibrary() { card->fill(0xFF); }

    // The calls that begin so.
    int Count(const std::string& prefix) const {
        return static_cast<int>(std::count_if(calls.begin(), calls.end(), [&](const auto& call) {
            return call.starts_with(prefix);
        }));
    }

    std::int32_t ASEListReaders(std::span<std::uint8_t> buffer, std::int32_t& length) override {
        return Call({"list", buffer.empty() ? "none" : "buffer", Text(length)}, [&] {
            std::copy_n(readerList.begin(), std::min(readerList.size(), buffer.size()),
                        buffer.begin());
            length = listLength.value_or(static_cast<std::int32_t>(readerList.size()));
        });
    }
    std::int32_t ASEWaitForCardEvent(const std::string& reader, std::int32_t event,
                                     std::int32_t timeoutMs) override {
        return Call({"wait", "[" + reader + "]", Text(event), Text(timeoutMs)});
    }
    std::int32_t ASEMemConnect(std::int32_t& cardHandle, const std::string& reader,
                               std::int32_t shareMode, std::int32_t& type) override {
        return Call({"connect", "[" + reader + "]", Text(shareMode)}, [&] {
            cardHandle = Handle;
            type = cardType;
        });
    }
    std::int32_t ASEMemRead(std::int32_t cardHandle, std::int32_t address,
                            std::span<std::uint8_t> destination, std::uint8_t flags,
                            std::int32_t length) override {
        return Call({"read", Text(cardHandle), Text(address), Text(flags), Text(length)},
                    [&] { std::copy_n(card->begin() + address, length, destination.begin()); });
    }
    std::int32_t ASEMemWrite(std::int32_t cardHandle, std::int32_t address,
                             std::span<const std::uint8_t> source, std::int32_t length,
                             std::uint8_t flags) override {
        return Call({"write", Text(cardHandle), Text(address), Text(length), Text(flags)},
                    [&] { std::copy_n(source.begin(), length, card->begin() + address); });
    }
    std::int32_t ASEMemDisconnect(std::int32_t cardHandle, std::int32_t disposition) override {
        return Call({"disconnect", Text(cardHandle), Text(disposition)});
    }
    FailureCause LastFailureCause() const override { return cause; }

private:
    static std::string Text(std::int64_t number) { return std::to_string(number); }

    // Records the call and answers it with the next code queued for its function; what a call
    // that succeeds does, it does then.
    std::int32_t Call(
        const std::vector<std::string>& words, const std::function<void()>& success = [] {}) {
        std::string call = words.front();
        for (std::size_t i = 1; i < words.size(); ++i) {
            call += " " + words[i];
        }
        calls.push_back(call);
        if (onCall) {
            onCall(call);
        }
        std::int32_t code = 0;
        if (auto& queue = codes[words.front()]; !queue.empty()) {
            code = queue.front();
            queue.pop_front();
        }
        if (code == 0) {
            success();
        }
        return code;
    }
};

// The library as a form's readers: every library the form makes for itself is this one.
inline auto Borrowed(ASEMEM& library) {
    return [&library] { return std::shared_ptr<ASEMEM>(&library, [](ASEMEM*) {}); };
}
