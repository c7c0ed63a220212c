#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Takes a fuzzer's bytes apart, front to back; past the end everything reads as zero.
class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool Empty() const { return at_ >= size_; }
    std::uint8_t Byte() { return Empty() ? 0 : data_[at_++]; }
    std::vector<std::uint8_t> Bytes(std::size_t count) {
        std::vector<std::uint8_t> bytes;
        while (bytes.size() < count && !Empty()) {
            bytes.push_back(data_[at_++]);
        }
        return bytes;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};
