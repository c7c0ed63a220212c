#include "reader/ReaderLibrary.h"

#include <algorithm>

namespace {

bool FitsIn(std::int32_t length, std::size_t size) {
    return length >= 0 && static_cast<std::size_t>(length) <= size;
}

} // namespace

ReaderLibrary::ReaderLibrary(std::unique_ptr<PcscTransport> pcsc, std::filesystem::path cardFolder)
    : ReaderLibrary(std::move(pcsc), VirtualReaders(std::move(cardFolder))) {}

ReaderLibrary::ReaderLibrary(std::unique_ptr<PcscTransport> pcsc, VirtualReaders cards)
    : pcsc_(std::move(pcsc)), virtual_(std::move(cards)) {}

ReaderBackend& ReaderLibrary::BackendFor(const std::string& reader) {
    if (virtual_.Owns(reader)) {
        return virtual_;
    }
    return pcsc_;
}

std::int32_t ReaderLibrary::ASEListReaders(std::span<std::uint8_t> buffer, std::int32_t& length) {
    std::vector<std::string> names;
    const std::int32_t pcscCode = pcsc_.ListReaders(names);
    std::vector<std::string> cards;
    virtual_.ListReaders(cards);
    names.insert(names.end(), cards.begin(), cards.end());
    if (names.empty()) {
        return pcscCode == ReaderCode::Success ? ReaderCode::NoReaders : pcscCode;
    }
    std::vector<std::uint8_t> list;
    for (const std::string& name : names) {
        list.insert(list.end(), name.begin(), name.end());
        list.push_back(0);
    }
    const auto size = static_cast<std::int32_t>(list.size());
    list.push_back(0);
    if (!buffer.empty()) {
        if (buffer.size() < list.size()) {
            return ReaderCode::InsufficientBuffer;
        }
        std::copy(list.begin(), list.end(), buffer.begin());
    }
    length = size;
    return ReaderCode::Success;
}

std::int32_t ReaderLibrary::ASEWaitForCardEvent(const std::string& readerName, std::int32_t,
                                                std::int32_t timeoutMs) {
    return BackendFor(readerName).WaitForCard(readerName, timeoutMs);
}

std::int32_t ReaderLibrary::ASEMemConnect(std::int32_t& cardHandle, const std::string& readerName,
                                          std::int32_t, std::int32_t& cardType) {
    // An exchange that failed while connected left its connection open: release it now.
    std::erase_if(cards_, [&](const auto& entry) { return entry.second.reader == readerName; });
    std::unique_ptr<CardConnection> connection;
    if (const std::int32_t code = BackendFor(readerName).Connect(readerName, connection)) {
        return code;
    }
    cardType = connection->CardType();
    cardHandle = nextHandle_++;
    cards_.emplace(cardHandle, OpenCard{readerName, std::move(connection)});
    return ReaderCode::Success;
}

CardConnection* ReaderLibrary::Find(std::int32_t cardHandle) {
    const auto found = cards_.find(cardHandle);
    return found == cards_.end() ? nullptr : found->second.connection.get();
}

std::int32_t ReaderLibrary::Settle(std::int32_t cardHandle, std::int32_t code) {
    if (ReaderCode::ConnectionGone(code)) {
        cards_.erase(cardHandle);
    }
    return code;
}

std::int32_t ReaderLibrary::ASEMemRead(std::int32_t cardHandle, std::int32_t address,
                                       std::span<std::uint8_t> destination, std::uint8_t,
                                       std::int32_t length) {
    CardConnection* card = Find(cardHandle);
    if (card == nullptr) {
        return ReaderCode::InvalidHandle;
    }
    if (!FitsIn(length, destination.size())) {
        return ReaderCode::InvalidParameter;
    }
    return Settle(cardHandle,
                  card->Read(address, destination.first(static_cast<std::size_t>(length))));
}

std::int32_t ReaderLibrary::ASEMemWrite(std::int32_t cardHandle, std::int32_t address,
                                        std::span<const std::uint8_t> source, std::int32_t length,
                                        std::uint8_t) {
    CardConnection* card = Find(cardHandle);
    if (card == nullptr) {
        return ReaderCode::InvalidHandle;
    }
    if (!FitsIn(length, source.size())) {
        return ReaderCode::InvalidParameter;
    }
    return Settle(cardHandle, card->Write(address, source.first(static_cast<std::size_t>(length))));
}

std::int32_t ReaderLibrary::ASEMemDisconnect(std::int32_t cardHandle, std::int32_t) {
    const auto found = cards_.find(cardHandle);
    if (found == cards_.end()) {
        return ReaderCode::InvalidHandle;
    }
    const std::int32_t code = found->second.connection->Disconnect();
    cards_.erase(found);
    return code;
}
