#include "reader/PcscReaders.h"

#include "reader/ASEMEM.h"
#include "reader/ReadAhead.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <functional>

namespace {

const ReaderDialect Dialects[] = {
    // 32 to 1024 kbit I2C cards are selected as card type 2.
    {"ACS ", {0xFF, 0xA4, 0x00, 0x00, 0x01, 0x02}, 0xD0},
};

constexpr std::uint8_t ReadBinary = 0xB0;
constexpr std::uint8_t UpdateBinary = 0xD6;
constexpr std::size_t MaxApduData = 255;
constexpr std::uint8_t ExtendedI2CStandard = 0x0E;
constexpr std::int32_t OtherCardType = 1;
constexpr std::int32_t StorageCardTypeBase = 0x100;
constexpr std::uint32_t CardLeftPatienceMs = 1000;

bool ServiceLost(std::uint32_t result) {
    return result == PcscCode::NoService || result == PcscCode::ServiceStopped ||
           result == PcscCode::CommError;
}

class PcscConnection : public CardConnection {
public:
    PcscConnection(PcscReaders& readers, PcscTransport& transport, std::string reader,
                   PcscCard card, std::uint32_t protocol, std::int32_t cardType,
                   const ReaderDialect* dialect)
        : readers_(readers), transport_(transport), reader_(std::move(reader)), card_(card),
          protocol_(protocol), cardType_(cardType), dialect_(dialect),
          eventsAtConnect_(readers.CardEvents(reader_)) {}

    ~PcscConnection() override {
        if (open_) {
            transport_.Disconnect(card_);
        }
    }

    std::int32_t CardType() const override { return cardType_; }

    std::int32_t Read(std::int32_t address, std::span<std::uint8_t> destination) override {
        return Noted(readAhead_.Read(address, destination));
    }

    std::int32_t Write(std::int32_t address, std::span<const std::uint8_t> source) override {
        readAhead_.Drop();
        const std::uint8_t instruction = dialect_ ? dialect_->writeInstruction : UpdateBinary;
        for (std::size_t done = 0; done < source.size();) {
            const std::size_t chunk = std::min(source.size() - done, MaxApduData);
            const std::uint32_t at = static_cast<std::uint32_t>(address) + done;
            std::vector<std::uint8_t> command = {
                0xFF, instruction, static_cast<std::uint8_t>(at >> 8),
                static_cast<std::uint8_t>(at), static_cast<std::uint8_t>(chunk)};
            command.insert(command.end(), source.begin() + static_cast<std::ptrdiff_t>(done),
                           source.begin() + static_cast<std::ptrdiff_t>(done + chunk));
            std::vector<std::uint8_t> response;
            if (const std::int32_t code = Exchange(command, response, 0)) {
                return Noted(code);
            }
            done += chunk;
        }
        return ReaderCode::Success;
    }

    std::int32_t Disconnect() override {
        open_ = false;
        return readers_.Checked(transport_.Disconnect(card_));
    }

private:
    PcscReaders& readers_;
    PcscTransport& transport_;
    std::string reader_;
    PcscCard card_;
    std::uint32_t protocol_;
    std::int32_t cardType_;
    const ReaderDialect* dialect_;
    std::uint32_t eventsAtConnect_;
    bool open_ = true;
    ReadAhead readAhead_{[this](std::int32_t address, std::span<std::uint8_t> destination) {
        return ReadExactly(address, destination);
    }};

    std::int32_t ReadExactly(std::int32_t address, std::span<std::uint8_t> destination) {
        for (std::size_t done = 0; done < destination.size();) {
            const std::size_t chunk = std::min(destination.size() - done, std::size_t{256});
            const std::uint32_t at = static_cast<std::uint32_t>(address) + done;
            const std::array<std::uint8_t, 5> command = {
                0xFF, ReadBinary, static_cast<std::uint8_t>(at >> 8), static_cast<std::uint8_t>(at),
                static_cast<std::uint8_t>(chunk)};
            std::vector<std::uint8_t> response;
            if (const std::int32_t code = Exchange(command, response, chunk)) {
                return code;
            }
            std::copy_n(response.begin(), chunk,
                        destination.begin() + static_cast<std::ptrdiff_t>(done));
            done += chunk;
        }
        return ReaderCode::Success;
    }

    std::int32_t Noted(std::int32_t code) {
        if (code != ReaderCode::Success) {
            readers_.NoteCardCommandFailure(reader_, eventsAtConnect_);
        }
        return code;
    }

    // Sends the command; success needs 90 00 after exactly the expected number of data bytes.
    std::int32_t Exchange(std::span<const std::uint8_t> command,
                          std::vector<std::uint8_t>& response, std::size_t expectedData) {
        if (const std::int32_t code =
                readers_.Checked(transport_.Transmit(card_, protocol_, command, response))) {
            return code;
        }
        if (response.size() < 2) {
            return ReaderCode::UnknownError;
        }
        const std::uint8_t sw1 = response[response.size() - 2];
        const std::uint8_t sw2 = response[response.size() - 1];
        if (const std::int32_t code = CodeFromStatusWord(sw1, sw2)) {
            return code;
        }
        return response.size() == expectedData + 2 ? ReaderCode::Success : ReaderCode::UnknownError;
    }
};

} // namespace

const ReaderDialect* DialectFor(std::string_view readerName) {
    for (const ReaderDialect& dialect : Dialects) {
        if (readerName.starts_with(dialect.namePrefix)) {
            return &dialect;
        }
    }
    return nullptr;
}

std::int32_t CardTypeFromAtr(std::span<const std::uint8_t> atr) {
    static constexpr std::array<std::uint8_t, 12> StorageCardPrefix = {
        0x3B, 0x8F, 0x80, 0x01, 0x80, 0x4F, 0x0C, 0xA0, 0x00, 0x00, 0x03, 0x06};
    if (atr.size() <= StorageCardPrefix.size() ||
        !std::equal(StorageCardPrefix.begin(), StorageCardPrefix.end(), atr.begin())) {
        return OtherCardType;
    }
    const std::uint8_t standard = atr[StorageCardPrefix.size()];
    return standard == ExtendedI2CStandard ? ExtendedI2CCardType : StorageCardTypeBase + standard;
}

std::int32_t CodeFromPcsc(std::uint32_t result) {
    switch (result) {
    case PcscCode::Success:
        return ReaderCode::Success;
    case PcscCode::NoService:
    case PcscCode::ServiceStopped:
    case PcscCode::CommError:
        return ReaderCode::NoCardOrServiceDown;
    case PcscCode::Timeout:
        return ReaderCode::Timeout;
    case PcscCode::NoReadersAvailable:
    case PcscCode::ReaderUnavailable:
        return ReaderCode::NoReaders;
    case PcscCode::UnknownReader:
        return ReaderCode::UnknownReader;
    case PcscCode::SharingViolation:
        return ReaderCode::SharingViolation;
    case PcscCode::InsufficientBuffer:
        return ReaderCode::InsufficientBuffer;
    case PcscCode::NoSmartCard:
        return ReaderCode::NoSmartCard;
    case PcscCode::RemovedCard:
        return ReaderCode::CardRemoved;
    case PcscCode::UnpoweredCard:
        return ReaderCode::CardUnpowered;
    case PcscCode::UnsupportedCard:
    case PcscCode::CardUnsupported:
    case PcscCode::UnresponsiveCard:
        return ReaderCode::CardUnsupported;
    case PcscCode::ResetCard:
        return ReaderCode::CardReset;
    case PcscCode::InvalidHandle:
        return ReaderCode::InvalidHandle;
    case PcscCode::InvalidParameter:
    case PcscCode::InvalidValue:
        return ReaderCode::InvalidParameter;
    case PcscCode::UnsupportedFeature:
        return ReaderCode::UnsupportedFunction;
    default:
        return ReaderCode::UnknownError;
    }
}

std::int32_t CodeFromStatusWord(std::uint8_t sw1, std::uint8_t sw2) {
    const std::uint16_t word = static_cast<std::uint16_t>(sw1 << 8 | sw2);
    switch (word) {
    case 0x9000:
        return ReaderCode::Success;
    case 0x6B00:
    case 0x6A82:
        return ReaderCode::AddressOutOfRange;
    case 0x6A81:
    case 0x6D00:
    case 0x6E00:
        return ReaderCode::UnsupportedFunction;
    case 0x6700:
        return ReaderCode::InvalidParameter;
    default:
        return ReaderCode::UnknownError;
    }
}

PcscReaders::PcscReaders(std::unique_ptr<PcscTransport> transport)
    : transport_(std::move(transport)) {}

PcscReaders::~PcscReaders() = default;

std::int32_t PcscReaders::Checked(std::uint32_t result) {
    // A connection dropped before any context was made is the service turning this program
    // away; later it is the service going.
    if (result == PcscCode::SecurityViolation || result == PcscCode::NoAccess ||
        (result == PcscCode::CommError && !hasContext_)) {
        NoteCause(FailureCause::ServiceRefused);
    } else if (ServiceLost(result)) {
        NoteCause(FailureCause::ServiceNotRunning);
    }
    if (ServiceLost(result) && hasContext_) {
        transport_->ReleaseContext();
        hasContext_ = false;
    }
    return CodeFromPcsc(result);
}

std::uint32_t PcscReaders::EnsureContext() {
    if (hasContext_) {
        return PcscCode::Success;
    }
    if (!transport_) {
        return PcscCode::NoService;
    }
    const std::uint32_t result = transport_->EstablishContext();
    hasContext_ = result == PcscCode::Success;
    return result;
}

std::uint32_t PcscReaders::InContext(const std::function<std::uint32_t()>& call) {
    const bool hadContext = hasContext_;
    if (const std::uint32_t result = EnsureContext()) {
        return result;
    }
    std::uint32_t result = call();
    // A context from before a restart of the service is stale: make a new one, and ask again.
    if (hadContext && (ServiceLost(result) || result == PcscCode::InvalidHandle)) {
        transport_->ReleaseContext();
        hasContext_ = false;
        if (const std::uint32_t again = EnsureContext()) {
            return again;
        }
        result = call();
    }
    return result;
}

std::int32_t PcscReaders::ListReaders(std::vector<std::string>& names) {
    names.clear();
    const std::uint32_t result = InContext([&] { return transport_->ListReaders(names); });
    if (result == PcscCode::NoReadersAvailable) {
        names.clear();
        return ReaderCode::Success;
    }
    if (result != PcscCode::Success) {
        names.clear();
    }
    return Checked(result);
}

std::int32_t PcscReaders::WaitForCard(const std::string& reader, std::int32_t timeoutMs) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
    std::uint32_t known = 0; // unaware: the first call reports the state at once
    ReaderState state;
    std::uint32_t result =
        InContext([&] { return transport_->GetStatusChange(reader, known, 0, state); });
    for (;;) {
        if (result == PcscCode::Timeout || (result == PcscCode::Success && known != 0 &&
                                            Clock::now() >= deadline && !state.CardIsThere())) {
            NoteCause(FailureCause::NoCard);
            return ReaderCode::NoCardOrServiceDown; // no card within the time
        }
        if (result != PcscCode::Success) {
            return Checked(result);
        }
        if (state.CardIsThere()) {
            return ReaderCode::Success;
        }
        known = state.flags & ~PcscStateChanged;
        if (known == 0) {
            known = PcscStateEmpty;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        const auto wait = static_cast<std::uint32_t>(std::max<std::int64_t>(left.count(), 0));
        result = transport_->GetStatusChange(reader, known, wait, state);
    }
}

std::int32_t PcscReaders::State(const std::string& reader, ReaderState& state) {
    return Checked(InContext([&] { return transport_->GetStatusChange(reader, 0, 0, state); }));
}

std::uint32_t PcscReaders::CardEvents(const std::string& reader) {
    ReaderState state;
    return transport_->GetStatusChange(reader, 0, 0, state) == PcscCode::Success
               ? state.CardEvents()
               : 0;
}

void PcscReaders::NoteCardCommandFailure(const std::string& reader, std::uint32_t eventsAtConnect) {
    if (Cause() != FailureCause::Unknown) {
        return; // the service's own answer says why
    }
    // The card left if the reader holds none, or had it out and in again since the connect;
    // the reader may not have seen it go yet, so it is given a moment to.
    const auto left = [&](const ReaderState& state) {
        return (state.flags & PcscStatePresent) == 0 || state.CardEvents() != eventsAtConnect;
    };
    ReaderState state;
    if (transport_->GetStatusChange(reader, 0, 0, state) != PcscCode::Success) {
        return;
    }
    if (left(state) ||
        (transport_->GetStatusChange(reader, state.flags & ~PcscStateChanged, CardLeftPatienceMs,
                                     state) == PcscCode::Success &&
         left(state))) {
        NoteCause(FailureCause::CardLeft);
    }
}

std::int32_t PcscReaders::Connect(const std::string& reader,
                                  std::unique_ptr<CardConnection>& connection) {
    PcscCard card = 0;
    std::uint32_t protocol = 0;
    if (const std::uint32_t result =
            InContext([&] { return transport_->Connect(reader, card, protocol); })) {
        if (result == PcscCode::NoSmartCard || result == PcscCode::RemovedCard) {
            NoteCause(FailureCause::NoCard);
        } else if (result == PcscCode::SharingViolation) {
            NoteCause(FailureCause::CardHeld);
        }
        return Checked(result);
    }
    std::vector<std::uint8_t> atr;
    std::int32_t cardType = OtherCardType;
    if (transport_->Status(card, atr) == PcscCode::Success) {
        cardType = CardTypeFromAtr(atr);
    }
    const ReaderDialect* dialect = DialectFor(reader);
    if (dialect != nullptr) {
        std::vector<std::uint8_t> response;
        const bool selected = transport_->Transmit(card, protocol, dialect->selectCard, response) ==
                                  PcscCode::Success &&
                              response.size() == 2 &&
                              CodeFromStatusWord(response[0], response[1]) == ReaderCode::Success;
        if (selected) {
            cardType = ExtendedI2CCardType;
        }
    }
    connection = std::make_unique<PcscConnection>(*this, *transport_, reader, card, protocol,
                                                  cardType, dialect);
    return ReaderCode::Success;
}
