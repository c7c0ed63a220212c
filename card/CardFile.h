#pragma once

#include "base/Files.h"
#include "card/CardImage.h"
#include "report/LocalTime.h"

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <system_error>

// A card kept in a file, "NAME.card": the card's memory from address 0. A file shorter than the
// card reads as if the rest were erased memory; bytes past the card's end are ignored and kept.
// Card files are the virtual readers' cards, the archive's images, and what the companion and
// the history read.

constexpr std::string_view CardFileSuffix = ".card";
// What erased card memory holds.
constexpr std::uint8_t ErasedByte = 0xFF;

// Whether the file's name is a card file's: "NAME.card".
bool IsCardFileName(const std::filesystem::path& file);

// Opens a card file for reading; anything but a regular file is refused on the open file
// itself, without waiting for a writer: a folder with is_a_directory, a fifo or a device with
// not_supported.
std::error_code OpenCardFile(const std::filesystem::path& file, files::File& opened);

// The card's memory as the open file holds it, the rest erased; got is how many bytes the file
// gave.
std::error_code ReadCardFile(files::File& file, CardBuffer& card, std::size_t& got);

// The archive keeps every card read as a card file named after the time of the read and the
// reader ("2026-12-06_14-07-09 demo.card"; "-2", "-3", ... before ".card" when the name was
// taken), so that the names of an archive sort as its reads came.
std::string ArchiveImageName(const LocalTime& readAt, std::string_view reader, int attempt);
// Whether the name is one the archive gives.
bool IsArchiveImageName(std::string_view name);
