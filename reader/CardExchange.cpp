#include "reader/CardExchange.h"

#include "base/StopRequest.h"
#include "reader/DumpLines.h"
#include "reader/Hints.h"

namespace {

constexpr std::int32_t BlockSize = 64;
constexpr std::int32_t MaxBlocks = CardMemorySize / BlockSize;
constexpr std::int32_t WaitEvent = 1;
constexpr std::int32_t WaitTimeoutMs = 5000;
constexpr std::int32_t ConnectMode = 2;
constexpr std::int32_t DisconnectMode = 6;

class Exchange {
public:
    explicit Exchange(const ExchangeParts& parts) : parts_(parts) {}

    std::int32_t Run(ExchangeMode mode) {
        mode_ = mode;
        stop::ThrowIfRequested();
        label_ = "ASEWaitForCardEvent()";
        if (const std::int32_t code =
                parts_.library.ASEWaitForCardEvent(parts_.readerName, WaitEvent, WaitTimeoutMs)) {
            return Fail(code);
        }
        stop::ThrowIfRequested();
        parts_.reporter.ShowStatus("Card Connect", false);
        label_ = "ASEMemConnect()";
        const std::int32_t connected =
            parts_.library.ASEMemConnect(cardHandle_, parts_.readerName, ConnectMode, cardType_);
        if (cardType_ != ExtendedI2CCardType) {
            parts_.reporter.ShowStatus("The inserted card is not an Extended I2C card", false);
        }
        if (connected != 0) {
            return Fail(connected);
        }
        const std::int32_t branch = mode == ExchangeMode::ExchangeFormat ? Format() : Read();
        if (branch != 0) {
            return Fail(branch);
        }
        parts_.reporter.ShowStatus("Disconnect card", false);
        label_ = "ASEMemDisconnect()";
        if (const std::int32_t code =
                parts_.library.ASEMemDisconnect(cardHandle_, DisconnectMode)) {
            return Fail(code);
        }
        return 0;
    }

private:
    const ExchangeParts& parts_;
    ExchangeMode mode_ = ExchangeMode::ExchangeRead;
    std::int32_t cardHandle_ = 0;
    std::int32_t cardType_ = 0;
    std::string label_;

    std::int32_t Fail(std::int32_t code) {
        const std::string hint = FailureHint();
        if (code == ReaderCode::NoCardOrServiceDown) {
            parts_.reporter.ShowStatus("Card not inserted!", false);
            if (!hint.empty()) {
                parts_.reporter.ShowStatus(hint, false);
            }
        } else {
            parts_.reporter.ReportCardError(code, label_, hint);
        }
        return code;
    }

    // What the library could tell of the failure; a card that left matters to a read only.
    std::string FailureHint() const {
        const FailureCause cause = parts_.library.LastFailureCause();
        if (cause == FailureCause::CardLeft && mode_ != ExchangeMode::ExchangeRead) {
            return {};
        }
        return HintLine(cause, {parts_.readerName, parts_.cardBytesRead / BlockSize, {}});
    }

    std::int32_t Format() {
        // Once the write is made, the format runs to its end.
        stop::ThrowIfRequested();
        const std::int32_t length = BuildEmptyCardImage(parts_.cardBuffer);
        label_ = "ASEMemWrite()";
        return parts_.library.ASEMemWrite(cardHandle_, 0, parts_.cardBuffer, length, 0);
    }

    std::int32_t Read() {
        parts_.assembler.ClearValues();
        parts_.reporter.ShowStatus("Reading card");
        label_ = "ASEMemReadDataOnly";
        std::int32_t& bytesRead = parts_.cardBytesRead;
        bytesRead = 0;
        ItemWalk walk;
        for (std::int32_t block = 0, address = 0; !walk.EndFound; ++block, address = bytesRead) {
            if (block >= MaxBlocks) {
                parts_.reporter.ShowStatus("Error! No end of file found on card!");
                return NoEndMarker;
            }
            stop::ThrowIfRequested();
            const auto destination =
                std::span(parts_.cardBuffer).subspan(static_cast<std::size_t>(address), BlockSize);
            if (const std::int32_t code =
                    parts_.library.ASEMemRead(cardHandle_, address, destination, 0, BlockSize)) {
                return code;
            }
            bytesRead = address + BlockSize;
            WalkItems(parts_.cardBuffer, bytesRead, walk,
                      [this](const TLVItem& item) { parts_.assembler.TLVToCSV(item); });
            parts_.reporter.ShowBlockLine(BlockLine(address, destination));
            parts_.reporter.AppendLogLine(BlockLogLine(address, destination));
        }
        return 0;
    }
};

} // namespace

std::int32_t CardExchange(ExchangeMode mode, const ExchangeParts& parts) {
    return Exchange(parts).Run(mode);
}
