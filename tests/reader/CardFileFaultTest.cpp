#include "base/RuntimeError.h"
#include "reader/ReaderLibrary.h"
#include "tests/support/ExchangeHarness.h"
#include "tests/support/FakeTransport.h"
#include "tests/support/FarmCard.h"
#include "tests/support/TempDir.h"

#include <functional>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

// The card-file reader, with something done to the file before a chosen block is read.
class FileChangedDuringRead : public ReaderLibrary {
public:
    using ReaderLibrary::ReaderLibrary;
    int changeBeforeRead = 0;
    std::function<void()> change;

    std::int32_t ASEMemRead(std::int32_t card, std::int32_t address, std::span<std::uint8_t> to,
                            std::uint8_t flags, std::int32_t length) override {
        if (++reads_ == changeBeforeRead) {
            change();
        }
        return ReaderLibrary::ASEMemRead(card, address, to, flags, length);
    }

private:
    int reads_ = 0;
};

class CardFileFaults : public testing::Test {
protected:
    TempDir dir;
    ExchangeHarness harness;
    FakeTransport::Script noService;
    CardBuilder content = FarmCard(4000);
    std::filesystem::path file = dir / "cards" / "cow.card";
    FileChangedDuringRead library{std::make_unique<FakeTransport>(noService), dir / "cards"};

    CardFileFaults() {
        noService.establish.assign(20, PcscCode::NoService);
        std::filesystem::create_directories(dir / "cards");
        WriteFileBytes(file, Bytes(content, CardMemorySize));
    }

    static std::string Bytes(const CardBuilder& card, std::int32_t count) {
        return {card.Image().begin(), card.Image().begin() + count};
    }
    std::int32_t Read() { return harness.Run(library, ExchangeMode::ExchangeRead, "cow"); }
    Lines ReadLines() {
        harness.window.lines.clear();
        Read();
        return harness.window.lines;
    }
};

TEST_F(CardFileFaults, ReplacedFileIsReadAsItWasAtTheConnect) {
    const Lines whole = ReadLines();
    library.changeBeforeRead = 30;
    library.change = [&] {
        WriteFileBytes(dir / "cards" / "new.card", std::string(CardMemorySize, '\x10'));
        std::filesystem::rename(dir / "cards" / "new.card", file);
    };
    EXPECT_EQ(ReadLines(), whole);
}

TEST_F(CardFileFaults, OversizedFileReadsTheSame) {
    const Lines whole = ReadLines();
    library.changeBeforeRead = 30;
    library.change = [&] {
        WriteFileBytes(file, Bytes(content, CardMemorySize) + std::string(5000, 'x'));
    };
    EXPECT_EQ(ReadLines(), whole);
}

TEST_F(CardFileFaults, TruncatedFileReadsAsErasedMemoryFromThere) {
    library.changeBeforeRead = 30;
    library.change = [&] { ::truncate(file.c_str(), 40 * 64); };
    // The walk meets erased memory: an end marker of 255 bytes, which no card can hold.
    EXPECT_THROW(ReadLines(), RuntimeError);
    EXPECT_EQ(library.ASEWaitForCardEvent("cow", 1, 0), 0) << "the library goes on working";
    std::filesystem::remove(file);
    EXPECT_EQ(Read(), 46);
}

} // namespace
