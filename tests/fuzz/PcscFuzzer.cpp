// The PC/SC side with a card that answers anything: any answer-to-reset, any results of the
// service calls, and any responses to the card commands, short, long or empty, through the
// listing, the wait, a read and a format.

#include "base/RuntimeError.h"
#include "reader/ReaderLibrary.h"
#include "tests/fuzz/FuzzFolder.h"
#include "tests/fuzz/FuzzInput.h"
#include "tests/support/ExchangeHarness.h"
#include "tests/support/FakeTransport.h"

#include <cstdlib>

namespace {

const std::uint32_t Results[] = {PcscCode::Success,          PcscCode::Success,
                                 PcscCode::NoService,        PcscCode::CommError,
                                 PcscCode::Timeout,          PcscCode::RemovedCard,
                                 PcscCode::InvalidHandle,    PcscCode::InsufficientBuffer,
                                 PcscCode::SharingViolation, 0xFFFFFFFF};

std::uint32_t Result(FuzzInput& input) {
    const std::uint8_t pick = input.Byte();
    return pick < 0xC0 ? PcscCode::Success : Results[pick % std::size(Results)];
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    FakeTransport::Script script;
    script.readers = {"ACS ACR38U 00 00", "Reader 1"};
    const std::string reader = script.readers[input.Byte() % 2];
    script.atr = input.Bytes(input.Byte() % 40);
    script.states = {static_cast<std::uint32_t>(input.Byte()) << 4};
    for (auto* results : {&script.establish, &script.list, &script.statusChange, &script.connect,
                          &script.disconnect}) {
        results->push_back(Result(input));
    }
    while (!input.Empty()) {
        const std::uint8_t length = input.Byte();
        script.transmit.push_back(Result(input));
        script.responses.push_back(input.Bytes(length == 0xFF ? 300 : length));
    }
    ReaderLibrary library(std::make_unique<FakeTransport>(script), FuzzFolder() / "cards");
    std::int32_t length = 0;
    std::vector<std::uint8_t> names(2001);
    library.ASEListReaders({}, length);
    library.ASEListReaders(names, length);
    library.ASEWaitForCardEvent(reader, 1, 0);
    ExchangeHarness harness;
    for (const auto mode : {ExchangeMode::ExchangeRead, ExchangeMode::ExchangeFormat}) {
        try {
            harness.Run(library, mode, reader);
        } catch (const RuntimeError&) {
            // what the card holds may be no card content at all
        }
    }
    if (harness.cardBytesRead < 0 || harness.cardBytesRead > CardMemorySize) {
        std::abort();
    }
    return 0;
}
