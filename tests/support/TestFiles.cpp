#include "tests/support/TestFiles.h"

#include "card/CardDescription.h"

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <stdlib.h>

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "ostrivan-test-XXXXXX");
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string ReadFileBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFileBytes(const std::filesystem::path& file, const std::string& bytes) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) {
        throw std::runtime_error("cannot write " + file.string());
    }
}

std::vector<std::string> LogTexts(const std::filesystem::path& logFile) {
    constexpr std::size_t TextColumn = 28;
    std::vector<std::string> texts;
    const std::string log = ReadFileBytes(logFile);
    for (std::size_t start = 0, end; (end = log.find("\r\n", start)) != std::string::npos;
         start = end + 2) {
        texts.push_back(log.substr(start + TextColumn, end - start - TextColumn));
    }
    return texts;
}

std::unique_ptr<CardBuffer> TestCard(const std::string& name) {
    const auto file =
        std::filesystem::path(OSTRIVAN_SOURCE_DIR) / "tests/data/cards" / (name + ".txt");
    CardDescription card = CardFromTextFile(file.string());
    if (!card.image) {
        throw std::runtime_error(file.string() + ": " + card.error);
    }
    return std::move(card.image);
}
