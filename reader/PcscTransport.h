#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// PC/SC result codes, compared as unsigned 32-bit values whatever width the platform's
// LONG has.
namespace PcscCode {
constexpr std::uint32_t Success = 0;
constexpr std::uint32_t InsufficientBuffer = 0x80100008;
constexpr std::uint32_t UnknownReader = 0x80100009;
constexpr std::uint32_t Timeout = 0x8010000A;
constexpr std::uint32_t SharingViolation = 0x8010000B;
constexpr std::uint32_t NoSmartCard = 0x8010000C;
constexpr std::uint32_t InvalidHandle = 0x80100003;
constexpr std::uint32_t InvalidParameter = 0x80100004;
constexpr std::uint32_t InvalidValue = 0x80100011;
constexpr std::uint32_t NoAccess = 0x80100027;
constexpr std::uint32_t CommError = 0x80100013;
constexpr std::uint32_t ReaderUnavailable = 0x80100017;
constexpr std::uint32_t CardUnsupported = 0x8010001C;
constexpr std::uint32_t NoService = 0x8010001D;
constexpr std::uint32_t ServiceStopped = 0x8010001E;
constexpr std::uint32_t UnsupportedFeature = 0x8010001F;
constexpr std::uint32_t NoReadersAvailable = 0x8010002E;
constexpr std::uint32_t UnsupportedCard = 0x80100065;
constexpr std::uint32_t UnresponsiveCard = 0x80100066;
constexpr std::uint32_t UnpoweredCard = 0x80100067;
constexpr std::uint32_t ResetCard = 0x80100068;
constexpr std::uint32_t RemovedCard = 0x80100069;
constexpr std::uint32_t SecurityViolation = 0x8010006A;
} // namespace PcscCode

constexpr std::uint32_t PcscStateChanged = 0x0002;
constexpr std::uint32_t PcscStateUnavailable = 0x0008;
constexpr std::uint32_t PcscStateEmpty = 0x0010;
constexpr std::uint32_t PcscStatePresent = 0x0020;
constexpr std::uint32_t PcscStateExclusive = 0x0080;
constexpr std::uint32_t PcscStateInUse = 0x0100;
constexpr std::uint32_t PcscStateMute = 0x0200;

// What the service knows of a reader without connecting to its card: its state flags, and the
// card's answer-to-reset when one is there.
struct ReaderState {
    std::uint32_t flags = 0;
    std::vector<std::uint8_t> atr;

    // A card is there that answers.
    bool CardIsThere() const {
        return (flags & PcscStatePresent) != 0 && (flags & PcscStateMute) == 0;
    }
    // Another connection holds the card: the program's own, exclusive one cannot be made.
    bool CardIsHeld() const { return (flags & (PcscStateExclusive | PcscStateInUse)) != 0; }
    // How many times a card went in or out of the reader: the service counts them in the
    // state's upper half.
    std::uint32_t CardEvents() const { return flags >> 16; }
};

using PcscCard = std::uint64_t;

// The PC/SC calls the reader library makes, one to one. Everything that talks to the PC/SC
// service goes through here, so that tests and fuzzers can answer in its place.
class PcscTransport {
public:
    virtual ~PcscTransport() = default;

    virtual std::uint32_t EstablishContext() = 0;
    virtual void ReleaseContext() = 0;
    virtual std::uint32_t ListReaders(std::vector<std::string>& readers) = 0;
    // Waits until the reader's state differs from knownState or the time is up; reports the
    // state it then has.
    virtual std::uint32_t GetStatusChange(const std::string& reader, std::uint32_t knownState,
                                          std::uint32_t timeoutMs, ReaderState& state) = 0;
    // Connects exclusively, with T=0 or T=1.
    virtual std::uint32_t Connect(const std::string& reader, PcscCard& card,
                                  std::uint32_t& protocol) = 0;
    virtual std::uint32_t Status(PcscCard card, std::vector<std::uint8_t>& atr) = 0;
    virtual std::uint32_t Transmit(PcscCard card, std::uint32_t protocol,
                                   std::span<const std::uint8_t> command,
                                   std::vector<std::uint8_t>& response) = 0;
    virtual std::uint32_t Disconnect(PcscCard card) = 0;
};
