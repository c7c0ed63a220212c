#pragma once

#include "reader/ReaderBackend.h"

#include <filesystem>
#include <set>

// Virtual readers: each card-image file "NAME.card" of the folder is a reader called NAME with
// an Extended I2C card in it. A file shorter than the card reads as erased memory (0xFF);
// bytes past the card's end are ignored and kept.
class VirtualReaders : public ReaderBackend {
public:
    explicit VirtualReaders(std::filesystem::path folder) : folder_(std::move(folder)) {}
    // One card image file, whatever its name, as the card in every reader.
    static VirtualReaders OfImage(std::filesystem::path image);

    std::int32_t ListReaders(std::vector<std::string>& names) override;
    std::int32_t WaitForCard(const std::string& reader, std::int32_t timeoutMs) override;
    std::int32_t Connect(const std::string& reader,
                         std::unique_ptr<CardConnection>& connection) override;

    // Whether the name belongs to this kind of reader: listed before, or its file is there.
    bool Owns(const std::string& reader) const;

    static constexpr std::string_view Extension = ".card";

    const std::filesystem::path& Folder() const { return folder_; }
    std::filesystem::path CardFile(const std::string& reader) const;

private:
    std::filesystem::path folder_;
    std::filesystem::path image_; // the only card file, when there is one
    std::set<std::string> listed_;
};
