#pragma once

#include "base/Files.h"
#include "reader/ReaderBackend.h"

#include <filesystem>
#include <set>

// Virtual readers: each card-image file "NAME.card" of the folder is a reader called NAME with
// an Extended I2C card in it. A file shorter than the card reads as erased memory (0xFF);
// bytes past the card's end are ignored and kept. A file that gets shorter while it is read
// is a card taken out of the reader.
class VirtualReaders : public ReaderBackend {
public:
    explicit VirtualReaders(std::filesystem::path folder) : folder_(std::move(folder)) {}
    // One card image, opened already, as the card in every reader; it is read where it lies.
    static VirtualReaders OfImage(files::File image);

    std::int32_t ListReaders(std::vector<std::string>& names) override;
    std::int32_t WaitForCard(const std::string& reader, std::int32_t timeoutMs) override;
    std::int32_t Connect(const std::string& reader,
                         std::unique_ptr<CardConnection>& connection) override;

    // Whether the name belongs to this kind of reader: listed before, or its file is there.
    bool Owns(const std::string& reader) const;

    const std::filesystem::path& Folder() const { return folder_; }
    std::filesystem::path CardFile(const std::string& reader) const;

    // The files named like card files that the last listing left out, and why.
    struct Skipped {
        std::filesystem::path file;
        std::string why;
    };
    const std::vector<Skipped>& SkippedFiles() const { return skipped_; }

private:
    std::filesystem::path folder_;
    files::File image_; // the only card, when there is one
    std::set<std::string> listed_;
    std::vector<Skipped> skipped_;

    std::error_code Open(const std::string& reader, files::File& opened) const;
};
