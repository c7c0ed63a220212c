#include "card/CardFile.h"

#include "base/ControlCharacters.h"

#include <algorithm>
#include <fcntl.h>

namespace {

constexpr std::size_t LongestName = 255;

// The reader's name as part of a file name: no folder separators, no control bytes.
std::string FileNamePart(std::string_view reader) {
    std::string part(reader);
    std::replace_if(
        part.begin(), part.end(), [](char c) { return c == '/' || IsControlByte(c); }, '_');
    return part;
}

} // namespace

bool IsCardFileName(const std::filesystem::path& file) {
    return file.extension() == CardFileSuffix;
}

std::error_code OpenCardFile(const std::filesystem::path& file, files::File& opened) {
    struct stat status {};
    auto error = files::File::Open(file, O_RDONLY | O_NONBLOCK, opened);
    if (!error && !(error = opened.Status(status)) && !S_ISREG(status.st_mode)) {
        error = std::make_error_code(S_ISDIR(status.st_mode) ? std::errc::is_a_directory
                                                             : std::errc::not_supported);
    }
    if (error) {
        opened.Close();
    }
    return error;
}

std::error_code ReadCardFile(files::File& file, CardBuffer& card, std::size_t& got) {
    card.fill(ErasedByte);
    return file.ReadAt(0, std::span(card).first(CardMemorySize), got);
}

std::string ArchiveImageName(const LocalTime& readAt, std::string_view reader, int attempt) {
    const std::string start = TimeText(readAt, "--_--") + " " + FileNamePart(reader);
    const std::string suffix =
        (attempt > 1 ? "-" + std::to_string(attempt) : "") + std::string(CardFileSuffix);
    return start.substr(0, LongestName - suffix.size()) + suffix;
}

bool IsArchiveImageName(std::string_view name) {
    constexpr std::string_view Shape = "0000-00-00_00-00-00 ";
    if (name.size() < Shape.size() + CardFileSuffix.size() || !name.ends_with(CardFileSuffix)) {
        return false;
    }
    for (std::size_t at = 0; at < Shape.size(); ++at) {
        const bool digit = name[at] >= '0' && name[at] <= '9';
        if (Shape[at] == '0' ? !digit : name[at] != Shape[at]) {
            return false;
        }
    }
    return true;
}
