#pragma once

#include "reader/PcscTransport.h"
#include "reader/ReaderBackend.h"

#include <functional>
#include <memory>
#include <string_view>

// Readers whose memory-card commands differ from the standard storage-card ones: the card
// type is selected after the connect, and writes use another instruction.
struct ReaderDialect {
    std::string_view namePrefix;
    std::vector<std::uint8_t> selectCard; // sent after the connect; 90 00 means Extended I2C
    std::uint8_t writeInstruction;
};

// The dialect for a reader name; nothing for standard readers.
const ReaderDialect* DialectFor(std::string_view readerName);

// The card type told by the answer-to-reset that readers make up for storage cards.
std::int32_t CardTypeFromAtr(std::span<const std::uint8_t> atr);

// The library code for a PC/SC result.
std::int32_t CodeFromPcsc(std::uint32_t result);
// The library code for a card's status word; 0 for 90 00.
std::int32_t CodeFromStatusWord(std::uint8_t sw1, std::uint8_t sw2);

// PC/SC readers. The service context is made at the first call, and again after it was lost.
// Without a transport there is no service.
class PcscReaders : public ReaderBackend {
public:
    explicit PcscReaders(std::unique_ptr<PcscTransport> transport);
    ~PcscReaders() override;

    std::int32_t ListReaders(std::vector<std::string>& names) override;
    std::int32_t WaitForCard(const std::string& reader, std::int32_t timeoutMs) override;
    std::int32_t Connect(const std::string& reader,
                         std::unique_ptr<CardConnection>& connection) override;

    // The reader's state as the service sees it, without a wait or a connection.
    std::int32_t State(const std::string& reader, ReaderState& state);

    // The code for a result, forgetting the context when the service was lost.
    std::int32_t Checked(std::uint32_t result);
    // How many times a card went in or out of the reader, as the service counts.
    std::uint32_t CardEvents(const std::string& reader);
    // After a card command failed, notes that the card left when the reader no longer holds
    // it, or has had it out since the connect.
    void NoteCardCommandFailure(const std::string& reader, std::uint32_t eventsAtConnect);

private:
    std::unique_ptr<PcscTransport> transport_;
    bool hasContext_ = false;

    std::uint32_t EnsureContext();
    std::uint32_t InContext(const std::function<std::uint32_t()>& call);
};
