#include "form/CardArchive.h"

#include "base/Files.h"
#include "card/CardFile.h"

#include <algorithm>
#include <vector>

namespace {

constexpr std::size_t NewestKept = 2000;

} // namespace

CardArchive::Kept CardArchive::Keep(const LocalTime& time, std::string_view reader,
                                    std::span<const std::uint8_t> bytes) const {
    const std::string_view image(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    std::error_code error;
    std::filesystem::path file;
    for (int attempt = 1;; ++attempt) {
        file = folder_ / ArchiveImageName(time, reader, attempt);
        error = files::CreateNewFile(file, image);
        if (error != std::errc::file_exists) {
            break;
        }
    }
    if (error) {
        return {{}, error.message()};
    }
    RemoveOldest();
    return {file, {}};
}

void CardArchive::RemoveOldest() const {
    std::vector<std::pair<std::filesystem::file_time_type, std::filesystem::path>> images;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(folder_, error), end; !error && entry != end;
         entry.increment(error)) {
        std::error_code gone; // a file that went meanwhile is simply not counted
        if (IsArchiveImageName(entry->path().filename().native()) &&
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
