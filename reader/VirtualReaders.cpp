#include "reader/VirtualReaders.h"

#include "card/CardImage.h"
#include "reader/ASEMEM.h"
#include "settings/AtomicFile.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::uint8_t ErasedByte = 0xFF;

bool IsCardFile(const std::filesystem::path& file) {
    struct stat status {};
    return ::stat(file.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

bool OutsideCard(std::int32_t address, std::size_t length) {
    return address < 0 || static_cast<std::size_t>(address) + length > CardMemorySize;
}

class CardFileConnection : public CardConnection {
public:
    CardFileConnection(std::filesystem::path file, int fd) : file_(std::move(file)), fd_(fd) {}
    ~CardFileConnection() override { Close(); }

    std::int32_t CardType() const override { return ExtendedI2CCardType; }

    std::int32_t Read(std::int32_t address, std::span<std::uint8_t> destination) override {
        if (OutsideCard(address, destination.size())) {
            return ReaderCode::AddressOutOfRange;
        }
        if (fd_ < 0) {
            return ReaderCode::InvalidHandle;
        }
        // Past the end of a short file the memory reads as erased.
        std::fill(destination.begin(), destination.end(), ErasedByte);
        return ReadAt(address, destination) ? ReaderCode::Success : ReaderCode::CardRemoved;
    }

    std::int32_t Write(std::int32_t address, std::span<const std::uint8_t> source) override {
        if (OutsideCard(address, source.size())) {
            return ReaderCode::AddressOutOfRange;
        }
        struct stat status {};
        if (fd_ < 0 || ::fstat(fd_, &status) != 0) {
            return ReaderCode::InvalidHandle;
        }
        // Checked here rather than left to open(), which would let root write anyway.
        if ((status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
            return ReaderCode::UnsupportedFunction;
        }
        std::vector<std::uint8_t> image(
            static_cast<std::size_t>(std::max<off_t>(status.st_size, 0)));
        if (ReadAt(0, image) != image.size()) {
            return ReaderCode::CardRemoved;
        }
        const std::size_t end = static_cast<std::size_t>(address) + source.size();
        if (image.size() < end) {
            image.resize(end, ErasedByte);
        }
        std::copy(source.begin(), source.end(), image.begin() + address);
        if (ReplaceFileAtomically(file_,
                                  {reinterpret_cast<const char*>(image.data()), image.size()})) {
            return ReaderCode::UnknownError;
        }
        // The handle still names the old file; later reads must see what was written.
        Close();
        fd_ = ::open(file_.c_str(), O_RDONLY | O_CLOEXEC);
        return ReaderCode::Success;
    }

    std::int32_t Disconnect() override {
        Close();
        return ReaderCode::Success;
    }

private:
    std::filesystem::path file_;
    int fd_;

    void Close() {
        if (fd_ >= 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }

    // The number of bytes read before the end of the file; nothing when reading failed.
    std::optional<std::size_t> ReadAt(off_t offset, std::span<std::uint8_t> bytes) const {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t got = ::pread(fd_, bytes.data() + done, bytes.size() - done,
                                        offset + static_cast<off_t>(done));
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got < 0) {
                return std::nullopt;
            }
            if (got == 0) {
                break;
            }
            done += static_cast<std::size_t>(got);
        }
        return done;
    }
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
        if (file.extension() == Extension && IsCardFile(file) && !file.stem().empty()) {
            names.push_back(file.stem().string());
        }
    }
    std::sort(names.begin(), names.end());
    listed_.insert(names.begin(), names.end());
    return ReaderCode::Success;
}

bool VirtualReaders::Owns(const std::string& reader) const {
    return listed_.contains(reader) || (!reader.empty() && reader.find('/') == std::string::npos &&
                                        IsCardFile(CardFile(reader)));
}

std::int32_t VirtualReaders::WaitForCard(const std::string& reader, std::int32_t) {
    // A virtual card is there or not; waiting would not bring its file.
    return IsCardFile(CardFile(reader)) ? ReaderCode::Success : ReaderCode::ServiceDown;
}

std::int32_t VirtualReaders::Connect(const std::string& reader,
                                     std::unique_ptr<CardConnection>& connection) {
    const auto file = CardFile(reader);
    const int fd = IsCardFile(file) ? ::open(file.c_str(), O_RDONLY | O_CLOEXEC) : -1;
    if (fd < 0) {
        return ReaderCode::ServiceDown;
    }
    connection = std::make_unique<CardFileConnection>(file, fd);
    return ReaderCode::Success;
}
