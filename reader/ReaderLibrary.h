#pragma once

#include "reader/ASEMEM.h"
#include "reader/PcscReaders.h"
#include "reader/VirtualReaders.h"

#include <functional>
#include <map>
#include <memory>

// The card-reader library: PC/SC readers first, then the virtual readers of a card folder.
// A reader holds at most one connection: connecting again releases the old one, so that an
// exchange that failed while connected never locks the reader for the next.
class ReaderLibrary : public ASEMEM {
public:
    ReaderLibrary(std::unique_ptr<PcscTransport> pcsc, std::filesystem::path cardFolder);
    // With no PC/SC transport (nullptr) there is no service.
    ReaderLibrary(std::unique_ptr<PcscTransport> pcsc, VirtualReaders cards);

    std::int32_t ASEListReaders(std::span<std::uint8_t> buffer, std::int32_t& length) override;
    std::int32_t ASEWaitForCardEvent(const std::string& readerName, std::int32_t event,
                                     std::int32_t timeoutMs) override;
    std::int32_t ASEMemConnect(std::int32_t& cardHandle, const std::string& readerName,
                               std::int32_t shareMode, std::int32_t& cardType) override;
    std::int32_t ASEMemRead(std::int32_t cardHandle, std::int32_t address,
                            std::span<std::uint8_t> destination, std::uint8_t flags,
                            std::int32_t length) override;
    std::int32_t ASEMemWrite(std::int32_t cardHandle, std::int32_t address,
                             std::span<const std::uint8_t> source, std::int32_t length,
                             std::uint8_t flags) override;
    std::int32_t ASEMemDisconnect(std::int32_t cardHandle, std::int32_t disposition) override;
    FailureCause LastFailureCause() const override { return cause_; }

    // The two kinds of readers, for a look at them that connects to no card.
    PcscReaders& PcscSide() { return pcsc_; }
    VirtualReaders& CardFiles() { return virtual_; }

private:
    struct OpenCard {
        std::string reader;
        std::unique_ptr<CardConnection> connection;
    };

    PcscReaders pcsc_;
    VirtualReaders virtual_;
    std::map<std::int32_t, OpenCard> cards_;
    std::int32_t nextHandle_ = 1;
    FailureCause cause_ = FailureCause::Unknown;

    ReaderBackend& BackendFor(const std::string& reader);
    // Makes the call of the backend and notes why it failed, if it did.
    std::int32_t Answer(ReaderBackend& backend, const std::function<std::int32_t()>& call);
    // The call on the handle's connection; a handle whose connection is gone is forgotten.
    std::int32_t OnCard(std::int32_t cardHandle,
                        const std::function<std::int32_t(CardConnection&)>& call);
};
