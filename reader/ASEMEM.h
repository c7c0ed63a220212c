#pragma once

#include <cstdint>
#include <span>
#include <string>

// Return codes of the card-reader library; 0 is success. The texts of 32 to 49 are the
// system's error messages.
namespace ReaderCode {
constexpr std::int32_t Success = 0;
constexpr std::int32_t UnsupportedFunction = 32;
constexpr std::int32_t CardRemoved = 33;
constexpr std::int32_t CardUnpowered = 34;
constexpr std::int32_t CardUnsupported = 35;
constexpr std::int32_t InvalidHandle = 38;
constexpr std::int32_t InvalidParameter = 39;
constexpr std::int32_t NoSmartCard = 40;
constexpr std::int32_t CardReset = 41;
constexpr std::int32_t SharingViolation = 42;
constexpr std::int32_t UnknownReader = 43;
constexpr std::int32_t NoReaders = 44;
constexpr std::int32_t InsufficientBuffer = 45;
constexpr std::int32_t NoCardOrServiceDown = 46; // the service is gone, or no card came or is there
constexpr std::int32_t Timeout = 47;
constexpr std::int32_t AddressOutOfRange = 48;
constexpr std::int32_t UnknownError = 49;
// Not codes of the library itself: a call given up because the reader did not answer in time,
// or because the operation was asked to stop while it waited.
constexpr std::int32_t NoAnswer = -3;
constexpr std::int32_t Stopped = -4;

// Whether the code says that the connection to the card is gone: nothing more can be asked of
// it.
constexpr bool ConnectionGone(std::int32_t code) {
    return code == CardRemoved || code == InvalidHandle || code == CardReset ||
           code == NoCardOrServiceDown || code == CardUnpowered;
}
} // namespace ReaderCode

constexpr std::int32_t ExtendedI2CCardType = 19;

// Why a call of the library failed, as far as the library can tell; its code stays what the
// operator reads.
enum class FailureCause {
    Unknown,
    ServiceNotRunning, // the PC/SC service is not there, or went away
    ServiceRefused,    // the PC/SC service does not let this program in
    NoReaders,         // neither a reader nor a card file
    NoCard,            // the reader holds no card
    CardLeft,          // the card was taken out while it was being used
    CardHeld,          // another connection holds the card
    NoAnswer,          // the reader did not answer a call in time
};

// The card-reader library: reader list, wait for a card, connect, read and write card memory,
// disconnect. Handles are the library's own 32-bit numbers. Every call blocks until done.
class ASEMEM {
public:
    virtual ~ASEMEM() = default;

    // Without a buffer (empty span): length becomes the size of the reader list. With one:
    // the names, each ended by a zero byte, then one more zero byte; length is the number of
    // bytes up to and including the last name's zero byte. A failed call leaves length alone.
    virtual std::int32_t ASEListReaders(std::span<std::uint8_t> buffer, std::int32_t& length) = 0;
    // Returns once a card is in the reader, or 46 when none came within the time.
    virtual std::int32_t ASEWaitForCardEvent(const std::string& readerName, std::int32_t event,
                                             std::int32_t timeoutMs) = 0;
    // Sets the handle and the card type when it connects; a connect that fails leaves both as
    // they were, which the exchange relies on when it tells the card type after a failure.
    virtual std::int32_t ASEMemConnect(std::int32_t& cardHandle, const std::string& readerName,
                                       std::int32_t shareMode, std::int32_t& cardType) = 0;
    virtual std::int32_t ASEMemRead(std::int32_t cardHandle, std::int32_t address,
                                    std::span<std::uint8_t> destination, std::uint8_t flags,
                                    std::int32_t length) = 0;
    virtual std::int32_t ASEMemWrite(std::int32_t cardHandle, std::int32_t address,
                                     std::span<const std::uint8_t> source, std::int32_t length,
                                     std::uint8_t flags) = 0;
    virtual std::int32_t ASEMemDisconnect(std::int32_t cardHandle, std::int32_t disposition) = 0;

    // Why the last call failed; Unknown after one that succeeded.
    virtual FailureCause LastFailureCause() const { return FailureCause::Unknown; }
};
