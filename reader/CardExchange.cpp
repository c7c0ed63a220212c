#include "reader/CardExchange.h"

#include "reader/DumpLines.h"
#include "reader/Hints.h"

namespace {

constexpr std::int32_t WaitEvent = 1;
constexpr std::int32_t WaitTimeoutMs = 5000;
constexpr std::int32_t ConnectMode = 2;
constexpr std::int32_t DisconnectMode = 6;
// A format's steps, as its progress counts them: wait, connect, write, disconnect.
constexpr std::int32_t FormatSteps = 4;

std::string NoAnswerLine(std::chrono::seconds limit) {
    const auto seconds = limit.count();
    return "The card reader did not answer for " + std::to_string(seconds) +
           (seconds == 1 ? " second" : " seconds");
}

class Exchange {
public:
    explicit Exchange(ExchangeContext& context) : c_(context) {}

    std::int32_t Run(ExchangeMode mode) {
        mode_ = mode;
        c_.stop.ThrowIfRequested();
        label_ = "ASEWaitForCardEvent()";
        if (const std::int32_t code =
                c_.library.ASEWaitForCardEvent(c_.readerName, WaitEvent, WaitTimeoutMs)) {
            return Fail(code);
        }
        Step(1);
        c_.stop.ThrowIfRequested();
        c_.reporter.ShowStatus("Card Connect", false);
        label_ = "ASEMemConnect()";
        const std::int32_t connected =
            c_.library.ASEMemConnect(cardHandle_, c_.readerName, ConnectMode, cardType_);
        if (cardType_ != ExtendedI2CCardType) {
            c_.reporter.ShowStatus("The inserted card is not an Extended I2C card", false);
        }
        if (connected != 0) {
            return Fail(connected);
        }
        Step(2);
        const std::int32_t branch = mode == ExchangeMode::ExchangeFormat ? Format() : Read();
        if (branch != 0) {
            return Fail(branch);
        }
        c_.reporter.ShowStatus("Disconnect card", false);
        label_ = "ASEMemDisconnect()";
        if (const std::int32_t code = c_.library.ASEMemDisconnect(cardHandle_, DisconnectMode)) {
            return Fail(code);
        }
        Step(FormatSteps);
        return 0;
    }

private:
    ExchangeContext& c_;
    ExchangeMode mode_ = ExchangeMode::ExchangeRead;
    std::int32_t cardHandle_ = 0;
    std::int32_t cardType_ = 0;
    std::string label_;

    void Step(std::int32_t done) {
        if (mode_ == ExchangeMode::ExchangeFormat) {
            c_.reporter.ShowProgress(ProgressOf::Steps, done, FormatSteps);
        }
    }

    std::int32_t Fail(std::int32_t code) {
        // A call cut short by the stop ends the exchange as the stop does between steps.
        if (code == ReaderCode::Stopped) {
            c_.stop.ThrowIfRequested();
        }
        const std::string hint = FailureHint();
        if (code == ReaderCode::NoCardOrServiceDown) {
            c_.reporter.ShowStatus("Card not inserted!", false);
            if (!hint.empty()) {
                c_.reporter.ShowStatus(hint, false);
            }
        } else if (code == ReaderCode::NoAnswer) {
            const std::string line = NoAnswerLine(c_.library.Limit());
            c_.reporter.ReportFailure(line, line, hint);
        } else {
            c_.reporter.ReportCardError(code, label_, hint);
        }
        return code;
    }

    // What the library could tell of the failure; a card that left matters to a read only.
    std::string FailureHint() const {
        const FailureCause cause = c_.library.LastFailureCause();
        if (cause == FailureCause::CardLeft && mode_ != ExchangeMode::ExchangeRead) {
            return {};
        }
        return HintLine(cause, {c_.readerName, c_.cardBytesRead / CardBlockSize, {}});
    }

    std::int32_t Format() {
        // Once the write is sent, the format runs to its end.
        c_.stop.ThrowIfRequested();
        const std::int32_t length = BuildEmptyCardImage(*c_.cardBuffer);
        label_ = "ASEMemWrite()";
        c_.library.CallOnAfterStop();
        const std::int32_t code = c_.library.ASEMemWrite(cardHandle_, 0, *c_.cardBuffer, length, 0);
        c_.written = code == 0 ? WriteFate::Written
                     : code == ReaderCode::NoAnswer || code == ReaderCode::Stopped
                         ? WriteFate::Unanswered
                         : WriteFate::Refused;
        if (code == 0) {
            Step(3);
        }
        return code;
    }

    std::int32_t Read() {
        RecordAssembler& assembler = *c_.assembler;
        assembler.ClearValues();
        c_.reporter.ShowStatus("Reading card");
        label_ = "ASEMemReadDataOnly";
        std::int32_t& bytesRead = c_.cardBytesRead;
        bytesRead = 0;
        ItemWalk walk;
        for (std::int32_t block = 0, address = 0; !walk.EndFound; ++block, address = bytesRead) {
            if (block >= CardBlocks) {
                c_.reporter.ShowStatus("Error! No end of file found on card!");
                return NoEndMarker;
            }
            c_.stop.ThrowIfRequested();
            const auto destination =
                std::span(*c_.cardBuffer).subspan(static_cast<std::size_t>(address), CardBlockSize);
            if (const std::int32_t code =
                    c_.library.ASEMemRead(cardHandle_, address, destination, 0, CardBlockSize)) {
                return code;
            }
            bytesRead = address + CardBlockSize;
            WalkItems(*c_.cardBuffer, bytesRead, walk,
                      [&](const TLVItem& item) { assembler.TLVToCSV(item); });
            c_.reporter.ShowBlockLine(BlockLine(address, destination));
            c_.reporter.AppendLogLine(BlockLogLine(address, destination));
            c_.reporter.ShowProgress(ProgressOf::Blocks, walk.EndFound ? CardBlocks : block + 1,
                                     CardBlocks);
        }
        return 0;
    }
};

} // namespace

ExchangeContext::ExchangeContext(std::shared_ptr<ASEMEM> library, std::string readerName,
                                 OperationSettings settings, LineList& lines, MessageBoxes& boxes,
                                 stop::Token stop, LocalClock clock)
    : settings(std::move(settings)), readerName(std::move(readerName)), stop(std::move(stop)),
      clock(std::move(clock)),
      reporter(
          lines, boxes, [this]() -> const LogFileSetting& { return this->settings.logFile; },
          this->clock),
      library(std::move(library), this->stop, this->settings.cardTimeout) {}

std::int32_t CardExchange(ExchangeMode mode, ExchangeContext& context) {
    return Exchange(context).Run(mode);
}
