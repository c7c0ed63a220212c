#include "herd/TakeIn.h"

#include "base/Files.h"
#include "card/CardFile.h"
#include "card/CodePage.h"
#include "herd/ImageWeighings.h"

#include <algorithm>
#include <atomic>
#include <map>
#include <set>
#include <thread>

namespace {

// How many images are decoded, and then taken in in one transaction, at a time: enough to keep
// every core busy, few enough to keep their weighings small in memory.
constexpr std::size_t ImagesAtATime = 128;
constexpr const char* NotACardImage = ": not a card image: it does not begin with a Card item";

struct CardFileFound {
    std::filesystem::path path;
    std::string identity; // as listed, then as read
    std::vector<std::uint8_t> bytes;
    ImageHash hash{};
    std::string failure; // why it cannot be read
};

std::string Rows(std::size_t count) {
    return std::to_string(count) + (count == 1 ? " whole row counts" : " whole rows count");
}

// A file's identity on disk: it changes with the file's bytes, whoever writes them.
std::string IdentityOf(const struct stat& status) {
    const auto nanoseconds = [](const timespec& time) {
        return std::to_string(time.tv_sec) + "." + std::to_string(time.tv_nsec);
    };
    return std::to_string(status.st_dev) + " " + std::to_string(status.st_ino) + " " +
           std::to_string(status.st_size) + " " + nanoseconds(status.st_mtim) + " " +
           nanoseconds(status.st_ctim);
}

// Runs work(i) for every i below count, on every core.
template <typename Work> void OnEveryCore(std::size_t count, Work work) {
    std::atomic<std::size_t> next = 0;
    const auto worker = [&] {
        for (std::size_t at; (at = next++) < count;) {
            work(at);
        }
    };
    const std::size_t workers = std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1,
                                                        std::max<std::size_t>(count, 1));
    std::vector<std::jthread> threads;
    for (std::size_t i = 1; i < workers; ++i) {
        threads.emplace_back(worker);
    }
    worker();
}

void ReadCardFileFound(CardFileFound& found) {
    files::File file;
    CardBuffer card;
    std::size_t got = 0;
    struct stat status {};
    std::error_code error = OpenCardFile(found.path, file);
    if (!error && !(error = file.Status(status))) {
        error = ReadCardFile(file, card, got);
    }
    if (error) {
        found.failure = error.message();
        return;
    }
    found.identity = IdentityOf(status);
    found.bytes.assign(card.begin(), card.begin() + static_cast<std::ptrdiff_t>(got));
    found.hash = HashOfImage(found.bytes);
}

std::vector<CardFileFound> CardFilesOf(std::span<const std::filesystem::path> folders,
                                       TakenIn& taken) {
    std::vector<CardFileFound> found;
    for (const auto& folder : folders) {
        std::error_code error;
        for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
             entry.increment(error)) {
            struct stat status {};
            if (IsCardFileName(entry->path()) &&
                files::Calls().stat(entry->path().c_str(), &status) == 0 &&
                S_ISREG(status.st_mode)) {
                found.push_back({entry->path(), IdentityOf(status), {}, {}, {}});
            }
        }
        if (error) {
            taken.failures.push_back(folder.native() + ": " + error.message());
        }
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        return std::pair(a.path.filename(), a.path) < std::pair(b.path.filename(), b.path);
    });
    return found;
}

} // namespace

TakenIn TakeInFolders(HerdBook& book, std::span<const std::filesystem::path> folders,
                      const stop::Token& stop) {
    TakenIn taken;
    std::vector<CardFileFound> found = CardFilesOf(folders, taken);
    // A file the book read, unchanged since, is not read again.
    std::map<std::string, HerdBook::FileRead> filesRead;
    for (HerdBook::FileRead& file : book.FilesRead()) {
        filesRead.emplace(file.path, std::move(file));
    }
    std::vector<CardFileFound*> changed;
    for (CardFileFound& file : found) {
        const auto read = filesRead.find(file.path.native());
        if (read == filesRead.end() || read->second.identity != file.identity) {
            changed.push_back(&file);
        }
    }
    OnEveryCore(changed.size(), [&](std::size_t at) { ReadCardFileFound(*changed[at]); });
    // What the book knows, and a second copy of an image found here, is not taken in again:
    // only the file is noted.
    std::vector<CardFileFound*> unknown;
    std::vector<HerdBook::FileRead> noted;
    std::set<ImageHash> seen;
    for (CardFileFound* file : changed) {
        if (!file->failure.empty()) {
            taken.failures.push_back(file->path.native() + ": " + file->failure);
        } else if (seen.insert(file->hash).second && !book.Knows(file->hash)) {
            unknown.push_back(file);
        } else {
            noted.push_back({file->path.native(), file->identity, file->hash});
        }
    }
    for (std::size_t first = 0; first < unknown.size(); first += ImagesAtATime) {
        stop.ThrowIfRequested();
        const std::size_t count = std::min(ImagesAtATime, unknown.size() - first);
        std::vector<ImageWeighings> decoded(count);
        OnEveryCore(count, [&](std::size_t at) {
            decoded[at] = ReadImageWeighings(unknown[first + at]->bytes);
        });
        std::vector<HerdBook::Image> images;
        std::vector<HerdBook::FileRead> files;
        for (std::size_t at = 0; at < count; ++at) {
            const CardFileFound& file = *unknown[first + at];
            ImageWeighings& image = decoded[at];
            if (!image.cardImage) {
                taken.failures.push_back(file.path.native() + NotACardImage);
                continue;
            }
            if (!image.fault.empty()) {
                taken.shortImages.push_back(file.path.native() + ": " +
                                            codepage::ToUtf8(image.fault) + ": its " +
                                            Rows(image.rows));
            }
            images.push_back({file.hash, codepage::FromFileName(file.path.filename()),
                              std::move(image.weighings)});
            files.push_back({file.path.native(), file.identity, file.hash});
        }
        book.TakeIn(images, files);
    }
    // A second copy is noted once its image is in; when the first was no card image, so is it.
    std::erase_if(noted, [&](const HerdBook::FileRead& file) {
        if (book.Knows(file.hash)) {
            return false;
        }
        taken.failures.push_back(file.path + NotACardImage);
        return true;
    });
    if (!noted.empty()) {
        book.TakeIn({}, noted);
    }
    return taken;
}

void TakeInRead(HerdBook& book, std::string_view name, std::span<const std::uint8_t> image) {
    ImageWeighings read = ReadImageWeighings(image);
    if (read.cardImage) {
        const HerdBook::Image taken[] = {
            {HashOfImage(image), std::string(name), std::move(read.weighings)}};
        book.TakeIn(taken);
    }
}
