#pragma once

#include "card/CardImage.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

std::string ReadFileBytes(const std::filesystem::path& file);
void WriteFileBytes(const std::filesystem::path& file, const std::string& bytes);
// The texts of a log file's lines, without their time stamps and line ends.
std::vector<std::string> LogTexts(const std::filesystem::path& logFile);
// A card of the tests' corpus: the image of tests/data/cards/NAME.txt.
std::unique_ptr<CardBuffer> TestCard(const std::string& name);
