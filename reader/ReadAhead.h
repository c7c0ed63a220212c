#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>

// Reads ahead on a connection to a card, so that a real reader, which costs a round trip per
// command, reads a whole card in a quarter of the commands. A read that continues the last one
// (or is the first) is served from one read of 256 bytes at a multiple of 256: four of the
// exchange's blocks. When the card or reader does not answer such a read as asked (though the
// connection is still there), the read is made again as it was asked for, and so is every read
// of that connection from then on. A write drops what was read ahead.
class ReadAhead {
public:
    // Reads exactly the destination's bytes from the card address; a library code.
    using ExactRead = std::function<std::int32_t(std::int32_t address, std::span<std::uint8_t>)>;

    explicit ReadAhead(ExactRead read) : read_(std::move(read)) {}

    std::int32_t Read(std::int32_t address, std::span<std::uint8_t> destination);
    void Drop() { held_ = 0; }

private:
    static constexpr std::int32_t Span = 256;

    ExactRead read_;
    std::array<std::uint8_t, Span> bytes_{};
    std::int32_t start_ = 0; // card address of the first byte held
    std::int32_t held_ = 0;
    std::optional<std::int32_t> next_; // where a read that continues the last one starts
    bool longReads_ = true;            // the card and reader take reads of 256 bytes

    bool Holds(std::int32_t address, std::int32_t length) const;
    std::int32_t Serve(std::int32_t address, std::span<std::uint8_t> destination);
};
