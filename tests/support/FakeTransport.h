#pragma once

#include "reader/PcscTransport.h"

#include <deque>
#include <string>
#include <vector>

// A PC/SC service that answers from a script: every call is recorded, results come from
// per-call queues (success once they run out), and responses to transmitted commands come
// from a queue of their own.
class FakeTransport : public PcscTransport {
public:
    struct Script {
        std::vector<std::string> calls;
        std::deque<std::uint32_t> establish, list, statusChange, connect, transmit, disconnect;
        std::vector<std::string> readers;
        std::deque<std::uint32_t> states{PcscStatePresent};
        std::vector<std::uint8_t> atr;
        std::deque<std::vector<std::uint8_t>> responses;
    };

    explicit FakeTransport(Script& script) : s_(script) {}

    std::uint32_t EstablishContext() override { return Next("establish", s_.establish); }
    void ReleaseContext() override { s_.calls.push_back("release"); }
    std::uint32_t ListReaders(std::vector<std::string>& readers) override {
        readers = s_.readers;
        return Next("list", s_.list);
    }
    std::uint32_t GetStatusChange(const std::string& reader, std::uint32_t known,
                                  std::uint32_t timeoutMs, ReaderState& reader_state) override {
        std::uint32_t& state = reader_state.flags;
        state = s_.states.empty() ? 0 : s_.states.front();
        reader_state.atr = (state & PcscStatePresent) != 0 ? s_.atr : std::vector<std::uint8_t>{};
        if (s_.states.size() > 1) {
            s_.states.pop_front();
        }
        const std::uint32_t result =
            Next("status " + reader + " " + std::to_string(known) + " " + std::to_string(timeoutMs),
                 s_.statusChange);
        // Nothing changed since the last answer: the service would have waited the whole time.
        const bool changed = state != lastState_;
        lastState_ = state;
        return result == 0 && known != 0 && !changed ? PcscCode::Timeout : result;
    }
    std::uint32_t Connect(const std::string& reader, PcscCard& card,
                          std::uint32_t& protocol) override {
        card = ++cards_;
        protocol = 2;
        return Next("connect " + reader, s_.connect);
    }
    std::uint32_t Status(PcscCard, std::vector<std::uint8_t>& atr) override {
        atr = s_.atr;
        return 0;
    }
    std::uint32_t Transmit(PcscCard card, std::uint32_t, std::span<const std::uint8_t> command,
                           std::vector<std::uint8_t>& response) override {
        std::string text = "transmit " + std::to_string(card);
        for (const std::uint8_t byte : command) {
            text += " " + std::to_string(byte);
        }
        response.clear();
        if (!s_.responses.empty()) {
            response = s_.responses.front();
            s_.responses.pop_front();
        }
        return Next(text, s_.transmit);
    }
    std::uint32_t Disconnect(PcscCard card) override {
        return Next("disconnect " + std::to_string(card), s_.disconnect);
    }

private:
    Script& s_;
    PcscCard cards_ = 0;
    std::uint32_t lastState_ = 0xFFFFFFFF;

    std::uint32_t Next(const std::string& call, std::deque<std::uint32_t>& results) {
        s_.calls.push_back(call);
        if (results.empty()) {
            return 0;
        }
        const std::uint32_t result = results.front();
        results.pop_front();
        return result;
    }
};
