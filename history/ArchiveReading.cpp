#include "history/ArchiveReading.h"

#include "base/Files.h"
#include "card/CardFile.h"
#include "card/CodePage.h"
#include "card/ImageRows.h"

#include <algorithm>
#include <atomic>
#include <fcntl.h>
#include <optional>
#include <thread>

namespace {

// A worker keeps its weighings once each whenever they have doubled since it last did: the
// same animals are weighed again and again.
constexpr std::size_t KeptAtLeast = 4096;

// Adds the image's weighings to those kept, or says why it has none.
std::string ReadImage(const std::filesystem::path& file, std::uint32_t number, CardBuffer& image,
                      std::vector<Weighing>& kept) {
    files::File opened;
    std::size_t got = 0;
    auto error = OpenCardFile(file, opened);
    if (!error) {
        error = ReadCardFile(opened, image, got);
    }
    if (error) {
        return error.message();
    }
    const std::size_t before = kept.size();
    WeighingsOfImage weighings(number, kept);
    try {
        WriteRowsOfImage(image, weighings);
    } catch (const std::exception& failure) {
        kept.resize(before); // not even the weighings before the fault
        return codepage::ToUtf8(failure.what());
    }
    return {};
}

} // namespace

ArchiveReading ReadArchives(const std::vector<std::filesystem::path>& folders) {
    ArchiveReading reading;
    std::vector<std::filesystem::path> images;
    for (const auto& folder : folders) {
        std::error_code error;
        for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
             entry.increment(error)) {
            if (IsCardFileName(entry->path()) && files::IsRegularFile(entry->path())) {
                images.push_back(entry->path());
            }
        }
        if (error) {
            reading.failures.push_back(folder.native() + ": " + error.message());
        }
    }
    // Archived images' names sort by the time of their reads: by name, the weighing of several
    // reads is seen first in the earliest, whichever station's archive holds it.
    std::sort(images.begin(), images.end(), [](const auto& a, const auto& b) {
        return std::pair(a.filename(), a) < std::pair(b.filename(), b);
    });
    std::vector<std::string> failures(images.size());
    std::atomic<std::size_t> next = 0;
    const auto work = [&](std::vector<Weighing>& kept) {
        auto image = std::make_unique<CardBuffer>();
        std::size_t once = KeptAtLeast;
        for (std::size_t at; (at = next++) < images.size();) {
            failures[at] = ReadImage(images[at], static_cast<std::uint32_t>(at), *image, kept);
            if (kept.size() > 2 * once) {
                KeepEachOnce(kept);
                once = std::max(kept.size(), KeptAtLeast);
            }
        }
    };
    const std::size_t workers =
        std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, images.size() + 1);
    std::vector<std::vector<Weighing>> kept(workers);
    {
        std::vector<std::jthread> threads;
        for (std::size_t i = 1; i < workers; ++i) {
            threads.emplace_back(work, std::ref(kept[i]));
        }
        work(kept[0]);
    } // joins them
    for (auto& some : kept) {
        std::move(some.begin(), some.end(), std::back_inserter(reading.weighings));
    }
    KeepEachOnce(reading.weighings);
    for (std::size_t at = 0; at < images.size(); ++at) {
        reading.images.push_back(codepage::FromFileName(images[at].filename()));
        if (!failures[at].empty()) {
            reading.failures.push_back(images[at].native() + ": " + failures[at]);
        }
    }
    return reading;
}
