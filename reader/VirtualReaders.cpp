#include "reader/VirtualReaders.h"

#include "base/Files.h"
#include "card/CardImage.h"
#include "reader/ASEMEM.h"

#include <algorithm>
#include <fcntl.h>

namespace {

constexpr std::uint8_t ErasedByte = 0xFF;

bool OutsideCard(std::int32_t address, std::size_t length) {
    return address < 0 || static_cast<std::size_t>(address) + length > CardMemorySize;
}

class CardFileConnection : public CardConnection {
public:
    CardFileConnection(std::filesystem::path file, files::File opened)
        : file_(std::move(file)), opened_(std::move(opened)) {}

    std::int32_t CardType() const override { return ExtendedI2CCardType; }

    std::int32_t Read(std::int32_t address, std::span<std::uint8_t> destination) override {
        if (OutsideCard(address, destination.size())) {
            return ReaderCode::AddressOutOfRange;
        }
        if (!opened_.IsOpen()) {
            return ReaderCode::InvalidHandle;
        }
        // Past the end of a short file the memory reads as erased.
        std::fill(destination.begin(), destination.end(), ErasedByte);
        std::size_t got = 0;
        return opened_.ReadAt(address, destination, got) ? ReaderCode::CardRemoved
                                                         : ReaderCode::Success;
    }

    std::int32_t Write(std::int32_t address, std::span<const std::uint8_t> source) override {
        if (OutsideCard(address, source.size())) {
            return ReaderCode::AddressOutOfRange;
        }
        struct stat status {};
        if (!opened_.IsOpen() || opened_.Status(status)) {
            return ReaderCode::InvalidHandle;
        }
        // Checked here rather than left to open(), which would let root write anyway.
        if ((status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
            return ReaderCode::UnsupportedFunction;
        }
        std::vector<std::uint8_t> image(
            static_cast<std::size_t>(std::max<off_t>(status.st_size, 0)));
        std::size_t got = 0;
        if (opened_.ReadAt(0, image, got) || got != image.size()) {
            return ReaderCode::CardRemoved;
        }
        const std::size_t end = static_cast<std::size_t>(address) + source.size();
        if (image.size() < end) {
            image.resize(end, ErasedByte);
        }
        std::copy(source.begin(), source.end(), image.begin() + address);
        if (files::ReplaceFile(file_,
                               {reinterpret_cast<const char*>(image.data()), image.size()})) {
            return ReaderCode::UnknownError;
        }
        // The handle still names the old file; later reads must see what was written.
        files::File::Open(file_, O_RDONLY, opened_);
        return ReaderCode::Success;
    }

    std::int32_t Disconnect() override {
        opened_.Close();
        return ReaderCode::Success;
    }

private:
    std::filesystem::path file_;
    files::File opened_;
};

} // namespace

std::filesystem::path VirtualReaders::CardFile(const std::string& reader) const {
    return folder_ / (reader + std::string(Extension));
}

std::int32_t VirtualReaders::ListReaders(std::vector<std::string>& names) {
    names.clear();
    std::error_code error;
    for (std::filesystem::directory_iterator entry(folder_, error), end; !error && entry != end;
         entry.increment(error)) {
        const auto& file = entry->path();
        if (file.extension() == Extension && files::IsRegularFile(file) && !file.stem().empty()) {
            names.push_back(file.stem().string());
        }
    }
    std::sort(names.begin(), names.end());
    listed_.insert(names.begin(), names.end());
    return ReaderCode::Success;
}

bool VirtualReaders::Owns(const std::string& reader) const {
    return listed_.contains(reader) || (!reader.empty() && reader.find('/') == std::string::npos &&
                                        files::IsRegularFile(CardFile(reader)));
}

std::int32_t VirtualReaders::WaitForCard(const std::string& reader, std::int32_t) {
    // A virtual card is there or not; waiting would not bring its file.
    return files::IsRegularFile(CardFile(reader)) ? ReaderCode::Success : ReaderCode::ServiceDown;
}

std::int32_t VirtualReaders::Connect(const std::string& reader,
                                     std::unique_ptr<CardConnection>& connection) {
    const auto file = CardFile(reader);
    files::File opened;
    if (!files::IsRegularFile(file) || files::File::Open(file, O_RDONLY, opened)) {
        return ReaderCode::ServiceDown;
    }
    connection = std::make_unique<CardFileConnection>(file, std::move(opened));
    return ReaderCode::Success;
}
