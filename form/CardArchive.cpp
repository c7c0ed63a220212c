#include "form/CardArchive.h"

#include "base/Files.h"

#include <algorithm>
#include <vector>

namespace {

constexpr std::size_t NewestKept = 2000;
constexpr std::string_view Extension = ".card";
constexpr std::size_t LongestName = 255;

// The reader's name as part of a file name: no folder separators, no control bytes.
std::string FileNamePart(std::string_view reader) {
    std::string part(reader);
    std::replace_if(
        part.begin(), part.end(),
        [](char c) { return c == '/' || static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }, '_');
    return part;
}

std::string ImageName(const std::string& start, int attempt) {
    const std::string suffix =
        (attempt > 1 ? "-" + std::to_string(attempt) : "") + std::string(Extension);
    return start.substr(0, LongestName - suffix.size()) + suffix;
}

bool IsDigitAt(std::string_view name, std::size_t at) {
    return name[at] >= '0' && name[at] <= '9';
}

// Whether the name is one the archive gives: a time stamp, a blank, a name, ".card".
bool IsImageName(std::string_view name) {
    constexpr std::string_view Shape = "0000-00-00_00-00-00 ";
    if (name.size() < Shape.size() + Extension.size() || !name.ends_with(Extension)) {
        return false;
    }
    for (std::size_t at = 0; at < Shape.size(); ++at) {
        if (Shape[at] == '0' ? !IsDigitAt(name, at) : name[at] != Shape[at]) {
            return false;
        }
    }
    return true;
}

} // namespace

std::string CardArchive::Keep(const LocalTime& time, std::string_view reader,
                              std::span<const std::uint8_t> bytes) const {
    const std::string start = TimeText(time, "--_--") + " " + FileNamePart(reader);
    const std::string_view image(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    std::error_code error;
    for (int attempt = 1;; ++attempt) {
        error = files::CreateNewFile(folder_ / ImageName(start, attempt), image);
        if (error != std::errc::file_exists) {
            break;
        }
    }
    if (error) {
        return error.message();
    }
    RemoveOldest();
    return {};
}

void CardArchive::RemoveOldest() const {
    std::vector<std::pair<std::filesystem::file_time_type, std::filesystem::path>> images;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(folder_, error), end; !error && entry != end;
         entry.increment(error)) {
        std::error_code gone; // a file that went meanwhile is simply not counted
        if (IsImageName(entry->path().filename().native()) &&
            entry->symlink_status(gone).type() == std::filesystem::file_type::regular) {
            images.emplace_back(entry->last_write_time(gone), entry->path());
        }
    }
    if (images.size() <= NewestKept) {
        return;
    }
    const auto oldest = images.begin() + static_cast<std::ptrdiff_t>(images.size() - NewestKept);
    std::nth_element(images.begin(), oldest, images.end());
    for (auto image = images.begin(); image != oldest; ++image) {
        std::filesystem::remove(image->second, error); // already gone is no error
    }
}
