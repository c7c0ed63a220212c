#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// Whole-file reads and writes for small files that must never be seen half-written.

// The file's bytes; an empty text for a missing file; nothing when it exists but cannot be read.
std::optional<std::string> ReadWholeFile(const std::filesystem::path& file);

// Replaces the file with the bytes through a temporary file in the same folder, flushed to
// disk and renamed over it; the folder is created when missing. On failure the old file is
// left as it was and the reason is returned.
std::optional<std::string> ReplaceFileAtomically(const std::filesystem::path& file,
                                                 std::string_view bytes);
