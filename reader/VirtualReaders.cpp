#include "reader/VirtualReaders.h"

#include "base/ControlCharacters.h"
#include "card/CardFile.h"
#include "reader/ASEMEM.h"

#include <algorithm>
#include <fcntl.h>

namespace {

constexpr std::size_t CopyPiece = 64 * 1024; // at most this much of a card file in memory

bool OutsideCard(std::int32_t address, std::size_t length) {
    return address < 0 || static_cast<std::size_t>(address) + length > CardMemorySize;
}

class CardFileConnection : public CardConnection {
public:
    CardFileConnection(ReaderBackend& owner, std::filesystem::path file, files::File opened,
                       off_t size)
        : owner_(owner), file_(std::move(file)), opened_(std::move(opened)), size_(size) {}

    std::int32_t CardType() const override { return ExtendedI2CCardType; }

    std::int32_t Read(std::int32_t address, std::span<std::uint8_t> destination) override {
        if (OutsideCard(address, destination.size())) {
            return ReaderCode::AddressOutOfRange;
        }
        if (!opened_.IsOpen()) {
            return ReaderCode::InvalidHandle;
        }
        // Past the end of a short file the memory reads as erased; a file that has become
        // shorter since the connect is a card that was taken out.
        std::fill(destination.begin(), destination.end(), ErasedByte);
        std::size_t got = 0;
        const off_t expected = std::clamp<off_t>(size_ - address, 0, destination.size());
        return opened_.ReadAt(address, destination, got) || static_cast<off_t>(got) < expected
                   ? CardLeft()
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
        // Checked here rather than left to open(), which would let root write anyway. An
        // image opened by its holder has no name to be written under.
        if ((status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || file_.empty()) {
            return ReaderCode::UnsupportedFunction;
        }
        bool cut = false;
        const auto error = files::ReplaceFile(file_, [&](files::File& copy) {
            return CopyWith(copy, status.st_size, address, source, cut);
        });
        if (error) {
            return cut ? CardLeft() : ReaderCode::UnknownError;
        }
        // The handle still names the old file; later reads must see what was written.
        OpenCardFile(file_, opened_);
        size_ = std::max<off_t>(status.st_size, address + static_cast<off_t>(source.size()));
        return ReaderCode::Success;
    }

    std::int32_t Disconnect() override {
        opened_.Close();
        return ReaderCode::Success;
    }

private:
    ReaderBackend& owner_;
    std::filesystem::path file_;
    files::File opened_;
    off_t size_; // of the file when it was connected, or last written

    std::int32_t CardLeft() {
        owner_.NoteCause(FailureCause::CardLeft);
        return ReaderCode::CardRemoved;
    }

    // The file as it was, piece by piece, with the source's bytes in their place and erased
    // memory between the file's end and them.
    std::error_code CopyWith(files::File& copy, off_t size, std::int32_t address,
                             std::span<const std::uint8_t> source, bool& cut) {
        const auto sourceStart = static_cast<off_t>(address);
        const auto sourceEnd = sourceStart + static_cast<off_t>(source.size());
        const off_t end = std::max(size, sourceEnd);
        std::vector<std::uint8_t> piece(CopyPiece);
        for (off_t at = 0; at < end; at += CopyPiece) {
            const auto bytes = std::span(piece).first(
                static_cast<std::size_t>(std::min<off_t>(CopyPiece, end - at)));
            std::fill(bytes.begin(), bytes.end(), ErasedByte);
            std::size_t got = 0;
            if (const auto error = opened_.ReadAt(at, bytes, got)) {
                return error;
            }
            if (static_cast<off_t>(got) < std::min<off_t>(size - at, bytes.size())) {
                cut = true; // the file was cut short meanwhile
                return std::make_error_code(std::errc::io_error);
            }
            const off_t from = std::max(at, sourceStart);
            const off_t to = std::min(at + static_cast<off_t>(bytes.size()), sourceEnd);
            if (from < to) {
                std::copy(source.begin() + (from - sourceStart),
                          source.begin() + (to - sourceStart), bytes.begin() + (from - at));
            }
            if (const auto error =
                    copy.WriteAll({reinterpret_cast<const char*>(bytes.data()), bytes.size()})) {
                return error;
            }
        }
        return {};
    }
};

} // namespace

VirtualReaders VirtualReaders::OfImage(files::File image) {
    VirtualReaders readers({});
    readers.image_ = std::move(image);
    return readers;
}

std::filesystem::path VirtualReaders::CardFile(const std::string& reader) const {
    return folder_ / (reader + std::string(CardFileSuffix));
}

std::int32_t VirtualReaders::ListReaders(std::vector<std::string>& names) {
    names.clear();
    skipped_.clear();
    std::error_code error;
    for (std::filesystem::directory_iterator entry(folder_, error), end; !error && entry != end;
         entry.increment(error)) {
        const auto& file = entry->path();
        if (!IsCardFileName(file)) {
            continue;
        }
        // A name of its own line in every list: no line break or other control character.
        if (FirstControlCharacter(file.filename().native())) {
            skipped_.push_back({file, "its name holds a control character"});
        } else if (!files::IsRegularFile(file)) {
            skipped_.push_back({file, "it is not a regular file"});
        } else if (!file.stem().empty()) {
            names.push_back(file.stem().string());
        }
    }
    std::sort(names.begin(), names.end());
    listed_.insert(names.begin(), names.end());
    return ReaderCode::Success;
}

bool VirtualReaders::Owns(const std::string& reader) const {
    return image_.IsOpen() || listed_.contains(reader) ||
           (!reader.empty() && reader.find('/') == std::string::npos &&
            !FirstControlCharacter(reader) && files::IsRegularFile(CardFile(reader)));
}

std::error_code VirtualReaders::Open(const std::string& reader, files::File& opened) const {
    if (image_.IsOpen()) {
        return files::File::Duplicate(image_.Descriptor(), opened);
    }
    return OpenCardFile(CardFile(reader), opened);
}

std::int32_t VirtualReaders::WaitForCard(const std::string& reader, std::int32_t) {
    // A virtual card is there or not; waiting would not bring its file.
    if (image_.IsOpen() || files::IsRegularFile(CardFile(reader))) {
        return ReaderCode::Success;
    }
    NoteCause(FailureCause::NoCard);
    return ReaderCode::NoCardOrServiceDown;
}

std::int32_t VirtualReaders::Connect(const std::string& reader,
                                     std::unique_ptr<CardConnection>& connection) {
    files::File opened;
    struct stat status {};
    if (Open(reader, opened) || opened.Status(status)) {
        NoteCause(FailureCause::NoCard);
        return ReaderCode::NoCardOrServiceDown;
    }
    connection = std::make_unique<CardFileConnection>(
        *this, image_.IsOpen() ? std::filesystem::path() : CardFile(reader), std::move(opened),
        status.st_size);
    return ReaderCode::Success;
}
