#include "reader/ReadAhead.h"

#include "card/CardImage.h"
#include "reader/ASEMEM.h"

#include <algorithm>

bool ReadAhead::Holds(std::int32_t address, std::int32_t length) const {
    return address >= start_ && address + length <= start_ + held_;
}

std::int32_t ReadAhead::Serve(std::int32_t address, std::span<std::uint8_t> destination) {
    std::copy_n(bytes_.begin() + (address - start_), destination.size(), destination.begin());
    next_ = address + static_cast<std::int32_t>(destination.size());
    return 0;
}

std::int32_t ReadAhead::Read(std::int32_t address, std::span<std::uint8_t> destination) {
    const auto length = static_cast<std::int32_t>(destination.size());
    if (Holds(address, length)) {
        return Serve(address, destination);
    }
    held_ = 0;
    const std::int32_t start = address / Span * Span;
    const bool continues = !next_ || *next_ == address;
    if (longReads_ && continues && address >= 0 && address + length <= start + Span &&
        start + Span <= CardMemorySize) {
        const std::int32_t code = read_(start, bytes_);
        if (code == 0) {
            start_ = start;
            held_ = Span;
            return Serve(address, destination);
        }
        if (ReaderCode::ConnectionGone(code)) {
            return code; // a shorter read would not get through either
        }
        longReads_ = false;
    }
    const std::int32_t code = read_(address, destination);
    next_ = address + length;
    return code;
}
