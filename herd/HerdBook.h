#pragma once

#include "base/RuntimeError.h"
#include "herd/ImageHash.h"
#include "herd/Weighing.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;

// "The herd book FILE cannot be used: REASON".
class HerdBookError : public RuntimeError {
public:
    using RuntimeError::RuntimeError;
};

// The herd book: every weighing a station has read, kept for good in an SQLite database, each
// weighing once, with the card image where it was first seen. An image is known by its bytes,
// and is marked as taken in within the same transaction as its weighings, so that a program
// stopped at any point leaves a book whole. Several programs may use the book at once (its
// journal is a write-ahead log); one waits a moment for another's writing. A book that cannot
// be used, corrupt or of a newer version, is never written to or "repaired": opening it, or
// any use of it, throws HerdBookError.
class HerdBook {
public:
    // A card image, taken in with its weighings.
    struct Image {
        ImageHash hash;
        std::string name; // where it is first seen, code-page text
        std::vector<Weighing> weighings;
    };
    // A card file the book read: where it is, its identity on disk (device, inode, size, times
    // of change), and the hash of its bytes. A file whose identity is the same next time is not
    // read again.
    struct FileRead {
        std::string path;
        std::string identity;
        ImageHash hash;
    };
    // A weighing as the book gives it back.
    struct Kept {
        std::string_view key; // TagKey of the tag
        Weighing weighing;
        std::string_view image; // only when asked for
    };

    // Opens the book, making it when there is none.
    explicit HerdBook(std::filesystem::path file);
    ~HerdBook();
    HerdBook(const HerdBook&) = delete;
    HerdBook& operator=(const HerdBook&) = delete;

    const std::filesystem::path& File() const { return file_; }

    // Whether an image of these bytes was taken in.
    bool Knows(const ImageHash& image);
    // Takes the images in, in one transaction, with the files they were read from; an image the
    // book knows already is left as it is, and a weighing seen twice is kept with the first
    // image that holds it.
    void TakeIn(std::span<const Image> images, std::span<const FileRead> files = {});
    // The files the book read, by path.
    std::vector<FileRead> FilesRead();
    // Every weighing of the book, by key and then in time order; those of the one key when one
    // is given. With images, each with the name of its image.
    void Weighings(const std::function<void(const Kept&)>& each, bool images = false,
                   const std::string* key = nullptr);

private:
    std::filesystem::path file_;
    sqlite3* db_ = nullptr;

    [[noreturn]] void Fail(const std::string& reason) const;
    // The library's result, checked: anything but what it should be makes the book fail.
    void Check(int result, int expected = 0) const;
    void Execute(const char* sql);
    void MakeOrCheckSchema();
    std::int64_t Number(const char* sql);
};
