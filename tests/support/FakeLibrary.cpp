#include "tests/support/FakeLibrary.h"

#include <algorithm>

namespace {

constexpr std::int32_t FakeHandle = 7;

std::string Text(std::int64_t number) {
    return std::to_string(number);
}

} // namespace

std::int32_t FakeLibrary::Call(const std::string& function,
                               const std::vector<std::string>& arguments) {
    std::string call = function;
    for (const std::string& argument : arguments) {
        call += " " + argument;
    }
    calls.push_back(call);
    if (onCall) {
        onCall(call);
    }
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
    const std::int32_t code = Call("list", {buffer.empty() ? "none" : "buffer", Text(length)});
    if (code == 0) {
        std::copy_n(readerList.begin(), std::min(readerList.size(), buffer.size()), buffer.begin());
        length = listLength.value_or(static_cast<std::int32_t>(readerList.size()));
    }
    return code;
}

std::int32_t FakeLibrary::ASEWaitForCardEvent(const std::string& readerName, std::int32_t event,
                                              std::int32_t timeoutMs) {
    return Call("wait", {"[" + readerName + "]", Text(event), Text(timeoutMs)});
}

std::int32_t FakeLibrary::ASEMemConnect(std::int32_t& cardHandle, const std::string& readerName,
                                        std::int32_t shareMode, std::int32_t& type) {
    const std::int32_t code = Call("connect", {"[" + readerName + "]", Text(shareMode)});
    if (code == 0) {
        cardHandle = FakeHandle;
        type = cardType;
    }
    return code;
}

std::int32_t FakeLibrary::ASEMemRead(std::int32_t cardHandle, std::int32_t address,
                                     std::span<std::uint8_t> destination, std::uint8_t flags,
                                     std::int32_t length) {
    const std::int32_t code =
        Call("read", {Text(cardHandle), Text(address), Text(flags), Text(length)});
    if (code == 0) {
        std::copy_n(card->begin() + address, length, destination.begin());
    }
    return code;
}

std::int32_t FakeLibrary::ASEMemWrite(std::int32_t cardHandle, std::int32_t address,
                                      std::span<const std::uint8_t> source, std::int32_t length,
                                      std::uint8_t flags) {
    const std::int32_t code =
        Call("write", {Text(cardHandle), Text(address), Text(length), Text(flags)});
    if (code == 0) {
        written.assign(source.begin(), source.begin() + length);
        std::copy_n(source.begin(), length, card->begin() + address);
    }
    return code;
}

std::int32_t FakeLibrary::ASEMemDisconnect(std::int32_t cardHandle, std::int32_t disposition) {
    return Call("disconnect", {Text(cardHandle), Text(disposition)});
}
