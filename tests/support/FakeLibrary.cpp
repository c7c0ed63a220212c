#include "tests/support/FakeLibrary.h"

#include <algorithm>

namespace {

constexpr std::int32_t FakeHandle = 7;

std::string Join(std::initializer_list<std::string> parts) {
    std::string text;
    for (const auto& part : parts) {
        text += (text.empty() ? "" : " ") + part;
    }
    return text;
}

} // namespace

std::int32_t FakeLibrary::Next(const std::string& function) {
    auto& queue = codes[function];
    if (queue.empty()) {
        return 0;
    }
    const std::int32_t code = queue.front();
    queue.pop_front();
    return code;
}

int FakeLibrary::Count(const std::string& prefix) const {
    return static_cast<int>(std::count_if(calls.begin(), calls.end(), [&](const std::string& call) {
        return call.starts_with(prefix);
    }));
}

std::int32_t FakeLibrary::ASEListReaders(std::span<std::uint8_t> buffer, std::int32_t& length) {
    calls.push_back(Join({"list", buffer.empty() ? "none" : "buffer", std::to_string(length)}));
    const std::int32_t code = Next("list");
    if (code == 0) {
        if (!buffer.empty()) {
            std::copy_n(readerList.begin(), std::min(readerList.size(), buffer.size()),
                        buffer.begin());
        }
        length = listLength.value_or(static_cast<std::int32_t>(readerList.size()));
    }
    return code;
}

std::int32_t FakeLibrary::ASEWaitForCardEvent(const std::string& readerName, std::int32_t event,
                                              std::int32_t timeoutMs) {
    calls.push_back(
        Join({"wait", "[" + readerName + "]", std::to_string(event), std::to_string(timeoutMs)}));
    return Next("wait");
}

std::int32_t FakeLibrary::ASEMemConnect(std::int32_t& cardHandle, const std::string& readerName,
                                        std::int32_t shareMode, std::int32_t& type) {
    calls.push_back(Join({"connect", "[" + readerName + "]", std::to_string(shareMode)}));
    const std::int32_t code = Next("connect");
    if (code == 0) {
        cardHandle = FakeHandle;
        type = cardType;
    }
    return code;
}

std::int32_t FakeLibrary::ASEMemRead(std::int32_t cardHandle, std::int32_t address,
                                     std::span<std::uint8_t> destination, std::uint8_t flags,
                                     std::int32_t length) {
    calls.push_back(Join({"read", std::to_string(cardHandle), std::to_string(address),
                          std::to_string(flags), std::to_string(length)}));
    if (beforeRead) {
        beforeRead(Count("read "));
    }
    const std::int32_t code = Next("read");
    if (code == 0) {
        std::copy_n(card->begin() + address, length, destination.begin());
    }
    return code;
}

std::int32_t FakeLibrary::ASEMemWrite(std::int32_t cardHandle, std::int32_t address,
                                      std::span<const std::uint8_t> source, std::int32_t length,
                                      std::uint8_t flags) {
    calls.push_back(Join({"write", std::to_string(cardHandle), std::to_string(address),
                          std::to_string(length), std::to_string(flags)}));
    const std::int32_t code = Next("write");
    if (code == 0) {
        written.assign(source.begin(), source.begin() + length);
        std::copy_n(source.begin(), length, card->begin() + address);
    }
    return code;
}

std::int32_t FakeLibrary::ASEMemDisconnect(std::int32_t cardHandle, std::int32_t disposition) {
    calls.push_back(Join({"disconnect", std::to_string(cardHandle), std::to_string(disposition)}));
    return Next("disconnect");
}
