#include "base/RuntimeError.h"
#include "reader/ReaderLibrary.h"
#include "tests/support/ExchangeHarness.h"
#include "tests/support/FakeTransport.h"
#include "tests/support/SystemCallSeam.h"
#include "tests/support/TestFiles.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

// The card-file reader, with something done to the file before a chosen block is read.
class FileChangedDuringRead : public ReaderLibrary {
public:
    using ReaderLibrary::ReaderLibrary;
    int reads = 0;
    int changeBeforeRead = 0;
    std::function<void()> change;

    std::int32_t ASEMemRead(std::int32_t card, std::int32_t address, std::span<std::uint8_t> to,
                            std::uint8_t flags, std::int32_t length) override {
        if (++reads == changeBeforeRead) {
            change();
        }
        return ReaderLibrary::ASEMemRead(card, address, to, flags, length);
    }
};

// Card files as readers, where no PC/SC service runs, changed while they are read.
class CardFiles : public testing::Test {
protected:
    TempDir dir;
    FakeTransport::Script noService;
    FileChangedDuringRead library{std::make_unique<FakeTransport>(noService), dir.Path()};
    ExchangeHarness harness;
    const std::filesystem::path file = dir / "cow.card";
    const std::string image = [] {
        const auto card = TestCard("farm");
        return std::string(card->begin(), card->begin() + CardMemorySize);
    }();

    CardFiles() { noService.establish.assign(20, PcscCode::NoService); }

    Lines ReadCard(int changeBeforeRead, std::function<void()> change) {
        library.reads = 0;
        library.changeBeforeRead = changeBeforeRead;
        library.change = std::move(change);
        harness.window.lines.clear();
        harness.Run(library, ExchangeMode::ExchangeRead, "cow");
        return harness.window.lines;
    }
};

TEST_F(CardFiles, ChangedDuringAReadAreReadAsTheyWereAtTheConnect) {
    const std::function<void()> changes[] = {
        [&] { // replaced by another file
            WriteFileBytes(dir / "new.card", std::string(CardMemorySize, '\x10'));
            std::filesystem::rename(dir / "new.card", file);
        },
        [&] { WriteFileBytes(file, image + std::string(5000, 'x')); }, // grown
    };
    for (const auto& change : changes) {
        WriteFileBytes(file, image);
        const Lines whole = ReadCard(0, {});
        WriteFileBytes(file, image);
        EXPECT_EQ(ReadCard(30, change), whole);
        EXPECT_GT(whole.size(), 1000u);
        EXPECT_NE(ReadFileBytes(file), image) << "the file was changed during the read";
    }
}

TEST_F(CardFiles, CutShortDuringAReadIsACardThatLeft) {
    WriteFileBytes(file, image);
    // Read as erased memory, the rest would be an end marker of 255 bytes, which no card holds.
    const Lines lines = ReadCard(30, [&] { std::filesystem::resize_file(file, 40 * 64); });
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2],
              "ASEMemReadDataOnly  33 Error - The smart card has been removed.  Further "
              "communication is not possible");
    EXPECT_EQ(lines.back(), "Hint: the card left the reader after 40 blocks; the rows read "
                            "before are in the export file and the archive");
    EXPECT_EQ(library.ASEWaitForCardEvent("cow", 1, 0), 0) << "the library goes on working";
}

TEST_F(CardFiles, CutShortDuringAFormatIsACardThatLeftAndKeepsTheFile) {
    WriteFileBytes(file, image);
    std::int32_t handle = 0;
    std::int32_t type = 0;
    ASSERT_EQ(library.ASEMemConnect(handle, "cow", 2, type), 0);
    SystemCallSeam seam; // the copy finds the file's end early: it was cut meanwhile
    seam.calls.pread = [](int, void*, std::size_t, off_t) -> ssize_t { return 0; };
    EXPECT_EQ(library.ASEMemWrite(handle, 0, std::vector<std::uint8_t>(19), 19, 0), 33);
    EXPECT_EQ(library.LastFailureCause(), FailureCause::CardLeft);
    EXPECT_EQ(ReadFileBytes(file), image);
}

TEST_F(CardFiles, ThatVanishedAreNoCardAndNeverAPcscReader) {
    WriteFileBytes(dir / "gone.card", "");
    std::int32_t length = 0;
    library.ASEListReaders({}, length);
    std::filesystem::remove(dir / "gone.card");
    noService.calls.clear();
    std::int32_t handle = 0;
    std::int32_t type = 0;
    EXPECT_EQ(library.ASEWaitForCardEvent("gone", 1, 5000), 46);
    EXPECT_EQ(library.ASEMemConnect(handle, "gone", 2, type), 46);
    EXPECT_TRUE(noService.calls.empty());
}

} // namespace
