#pragma once

#include "reader/ASEMEM.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

// An open connection to a card, whatever kind of reader holds it. Results are library codes.
class CardConnection {
public:
    virtual ~CardConnection() = default;

    virtual std::int32_t CardType() const = 0;
    virtual std::int32_t Read(std::int32_t address, std::span<std::uint8_t> destination) = 0;
    virtual std::int32_t Write(std::int32_t address, std::span<const std::uint8_t> source) = 0;
    virtual std::int32_t Disconnect() = 0;
};

// One kind of reader: PC/SC readers, or virtual readers backed by card files.
class ReaderBackend {
public:
    virtual ~ReaderBackend() = default;

    virtual std::int32_t ListReaders(std::vector<std::string>& names) = 0;
    virtual std::int32_t WaitForCard(const std::string& reader, std::int32_t timeoutMs) = 0;
    virtual std::int32_t Connect(const std::string& reader,
                                 std::unique_ptr<CardConnection>& connection) = 0;

    // Why the last failure since the cause was last cleared came about, as far as it is known;
    // its connections note causes here too.
    FailureCause Cause() const { return cause_; }
    void NoteCause(FailureCause cause) { cause_ = cause; }

private:
    FailureCause cause_ = FailureCause::Unknown;
};
