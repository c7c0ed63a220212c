#include "reader/ReaderLibrary.h"

#include "base/ControlCharacters.h"

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

std::int32_t ReaderLibrary::Answer(ReaderBackend& backend,
                                   const std::function<std::int32_t()>& call) {
    backend.NoteCause(FailureCause::Unknown);
    const std::int32_t code = call();
    cause_ = code == ReaderCode::Success ? FailureCause::Unknown : backend.Cause();
    return code;
}

std::int32_t ReaderLibrary::ASEListReaders(std::span<std::uint8_t> buffer, std::int32_t& length) {
    std::vector<std::string> names;
    const std::int32_t pcscCode = Answer(pcsc_, [&] { return pcsc_.ListReaders(names); });
    // A name is one entry of every list it is shown in: no line break or other control.
    std::erase_if(names, [](const std::string& name) { return FirstControlCharacter(name); });
    std::vector<std::string> cards;
    virtual_.ListReaders(cards);
    names.insert(names.end(), cards.begin(), cards.end());
    if (names.empty()) {
        if (pcscCode != ReaderCode::Success) {
            return pcscCode;
        }
        cause_ = FailureCause::NoReaders;
        return ReaderCode::NoReaders;
    }
    cause_ = FailureCause::Unknown;
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
    ReaderBackend& backend = BackendFor(readerName);
    return Answer(backend, [&] { return backend.WaitForCard(readerName, timeoutMs); });
}

std::int32_t ReaderLibrary::ASEMemConnect(std::int32_t& cardHandle, const std::string& readerName,
                                          std::int32_t, std::int32_t& cardType) {
    // An exchange that failed while connected left its connection open: release it now.
    std::erase_if(cards_, [&](const auto& entry) { return entry.second.reader == readerName; });
    ReaderBackend& backend = BackendFor(readerName);
    std::unique_ptr<CardConnection> connection;
    if (const std::int32_t code =
            Answer(backend, [&] { return backend.Connect(readerName, connection); })) {
        return code;
    }
    cardType = connection->CardType();
    cardHandle = nextHandle_++;
    cards_.emplace(cardHandle, OpenCard{readerName, std::move(connection)});
    return ReaderCode::Success;
}

std::int32_t ReaderLibrary::OnCard(std::int32_t cardHandle,
                                   const std::function<std::int32_t(CardConnection&)>& call) {
    const auto found = cards_.find(cardHandle);
    if (found == cards_.end()) {
        cause_ = FailureCause::Unknown;
        return ReaderCode::InvalidHandle;
    }
    CardConnection& card = *found->second.connection;
    const std::int32_t code = Answer(BackendFor(found->second.reader), [&] { return call(card); });
    // A handle whose connection is gone is forgotten.
    if (ReaderCode::ConnectionGone(code)) {
        cards_.erase(found);
    }
    return code;
}

std::int32_t ReaderLibrary::ASEMemRead(std::int32_t cardHandle, std::int32_t address,
                                       std::span<std::uint8_t> destination, std::uint8_t,
                                       std::int32_t length) {
    return OnCard(cardHandle, [&](CardConnection& card) {
        return FitsIn(length, destination.size())
                   ? card.Read(address, destination.first(static_cast<std::size_t>(length)))
                   : ReaderCode::InvalidParameter;
    });
}

std::int32_t ReaderLibrary::ASEMemWrite(std::int32_t cardHandle, std::int32_t address,
                                        std::span<const std::uint8_t> source, std::int32_t length,
                                        std::uint8_t) {
    return OnCard(cardHandle, [&](CardConnection& card) {
        return FitsIn(length, source.size())
                   ? card.Write(address, source.first(static_cast<std::size_t>(length)))
                   : ReaderCode::InvalidParameter;
    });
}

std::int32_t ReaderLibrary::ASEMemDisconnect(std::int32_t cardHandle, std::int32_t) {
    const std::int32_t code =
        OnCard(cardHandle, [](CardConnection& card) { return card.Disconnect(); });
    cards_.erase(cardHandle);
    return code;
}
