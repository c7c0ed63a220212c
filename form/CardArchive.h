#pragma once

#include "report/LocalTime.h"

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

// A kept copy of every card read: the bytes read, as a card file named as ArchiveImageName says
// (after the time and the reader, so that names sort by the time of their reads), never in
// place of another image. Only the newest 2,000 images are kept (about 64 MB of full cards): the
// oldest files of that form are removed, and no other file of the folder is ever touched.
// Copied into the cards folder, an image is a reader again.
class CardArchive {
public:
    explicit CardArchive(std::filesystem::path folder) : folder_(std::move(folder)) {}

    // Writes the image: the file it is kept in, or the reason it could not be kept.
    struct Kept {
        std::filesystem::path file;
        std::string failure;
    };
    Kept Keep(const LocalTime& time, std::string_view reader,
              std::span<const std::uint8_t> bytes) const;

    const std::filesystem::path& Folder() const { return folder_; }

private:
    std::filesystem::path folder_;

    void RemoveOldest() const;
};
