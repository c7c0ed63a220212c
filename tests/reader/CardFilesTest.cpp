#include "base/RuntimeError.h"
#include "reader/ReaderLibrary.h"
#include "tests/support/ExchangeHarness.h"
#include "tests/support/FakeTransport.h"
#include "tests/support/FarmCard.h"
#include "tests/support/SystemCallSeam.h"
#include "tests/support/TempDir.h"

#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

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

// Card files as readers, where no PC/SC service runs.
class CardFiles : public testing::Test {
protected:
    TempDir dir;
    FakeTransport::Script noService;
    FileChangedDuringRead library{std::make_unique<FakeTransport>(noService), dir.Path()};
    ExchangeHarness harness;
    std::int32_t handle = 0;
    std::int32_t type = 0;
    std::vector<std::uint8_t> block = std::vector<std::uint8_t>(64);

    CardFiles() { noService.establish.assign(20, PcscCode::NoService); }

    std::int32_t Connect(const std::string& name, const std::string& content) {
        WriteFileBytes(dir / (name + ".card"), content);
        return library.ASEMemConnect(handle, name, 2, type);
    }
    std::int32_t Read(std::int32_t address) {
        return library.ASEMemRead(handle, address, block, 0, 64);
    }
    std::int32_t Write(std::int32_t address, const std::vector<std::uint8_t>& bytes) {
        return library.ASEMemWrite(handle, address, bytes, static_cast<std::int32_t>(bytes.size()),
                                   0);
    }
    Lines ReadCard(const std::string& reader) {
        harness.window.lines.clear();
        harness.Run(library, ExchangeMode::ExchangeRead, reader);
        return harness.window.lines;
    }
};

TEST_F(CardFiles, ReadAsErasedMemoryPastTheirEnd) {
    ASSERT_EQ(Connect("short", std::string(70, '\x11')), 0);
    EXPECT_EQ(type, 19);
    EXPECT_EQ(Read(64), 0);
    EXPECT_EQ(block[5], 0x11);
    EXPECT_EQ(block[6], 0xFF);
    EXPECT_EQ(Read(32704), 0);
    EXPECT_EQ(Read(32705), 48);
}

struct FormatCase {
    std::string before;
    std::int32_t address;
    std::vector<std::uint8_t> bytes;
    std::string after;
};

TEST_F(CardFiles, WriteKeepsEveryOtherByte) {
    const FormatCase cases[] = {
        {std::string(40000, 'B'), 0, std::vector<std::uint8_t>(19, '7'),
         std::string(19, '7') + std::string(40000 - 19, 'B')},
        {"ab",
         4,
         {'1'},
         "ab\xFF\xFF"
         "1"},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(Connect("cow", c.before), 0);
        EXPECT_EQ(Write(c.address, c.bytes), 0);
        EXPECT_EQ(ReadFileBytes(dir / "cow.card"), c.after);
        EXPECT_EQ(Read(0), 0);
        EXPECT_EQ(std::string(block.begin(), block.begin() + 5), c.after.substr(0, 5))
            << "reads after the write see it";
    }
}

TEST_F(CardFiles, WithoutWriteBitsAreProtected) {
    WriteFileBytes(dir / "locked.card", std::string(64, 'x'));
    ::chmod((dir / "locked.card").c_str(), 0444);
    ASSERT_EQ(library.ASEMemConnect(handle, "locked", 2, type), 0);
    EXPECT_EQ(Write(0, {1, 2, 3}), 32);
    EXPECT_EQ(ReadFileBytes(dir / "locked.card"), std::string(64, 'x'));
}

TEST_F(CardFiles, ThatVanishedAreNoCard) {
    WriteFileBytes(dir / "gone.card", "");
    std::int32_t length = 0;
    library.ASEListReaders({}, length);
    std::filesystem::remove(dir / "gone.card");
    noService.calls.clear();
    EXPECT_EQ(library.ASEWaitForCardEvent("gone", 1, 5000), 46);
    EXPECT_EQ(library.ASEMemConnect(handle, "gone", 2, type), 46);
    EXPECT_TRUE(noService.calls.empty()) << "a listed card file never turns into a PC/SC reader";
}

TEST_F(CardFiles, ThatAreNoRegularFilesAreNeverReadNorWaitedFor) {
    WriteFileBytes(dir / "x.card", "");
    std::int32_t length = 0;
    library.ASEListReaders({}, length); // listed as a card file, then a fifo takes its place
    std::filesystem::remove(dir / "x.card");
    ASSERT_EQ(::mkfifo((dir / "x.card").c_str(), 0600), 0);
    EXPECT_EQ(library.ASEMemConnect(handle, "x", 2, type), 46);
    EXPECT_EQ(harness.Run(library, ExchangeMode::ExchangeRead, "x"), 46);
    EXPECT_EQ(harness.window.lines.back(), "Card not inserted!");
}

std::size_t largestPiece = 0; // of a card file's bytes read or written at once

TEST_F(CardFiles, FormatOfAHugeFileKeepsItsTailAndHoldsLittleOfIt) {
    constexpr off_t Size = off_t{256} << 20;
    const std::pair<off_t, char> marks[] = {
        {0, 'a'}, {40000, 'b'}, {Size / 2, 'c'}, {Size - 1, 'd'}};
    {
        std::ofstream file(dir / "big.card", std::ios::binary);
        for (const auto& [at, mark] : marks) {
            file.seekp(at).put(mark);
        }
    }
    ASSERT_EQ(library.ASEMemConnect(handle, "big", 2, type), 0);
    SystemCallSeam seam;
    largestPiece = 0;
    seam.calls.pread = [](int fd, void* data, std::size_t size, off_t at) {
        largestPiece = std::max(largestPiece, size);
        return files::RealCalls().pread(fd, data, size, at);
    };
    seam.calls.write = [](int fd, const void* data, std::size_t size) {
        largestPiece = std::max(largestPiece, size);
        return files::RealCalls().write(fd, data, size);
    };
    EXPECT_EQ(Write(0, {'F', 'O', 'R', 'M'}), 0);
    EXPECT_LE(largestPiece, 64u * 1024);
    seam.calls = files::RealCalls();
    EXPECT_EQ(std::filesystem::file_size(dir / "big.card"), static_cast<std::uintmax_t>(Size));
    std::ifstream file(dir / "big.card", std::ios::binary);
    std::string start(5, ' ');
    file.read(start.data(), 5);
    EXPECT_EQ(start, std::string("FORM\0", 5));
    for (const auto& [at, mark] : std::span(marks).subspan(1)) {
        EXPECT_EQ(file.seekg(at).get(), mark) << at;
    }
}

TEST_F(CardFiles, ChangedDuringAReadAreReadAsTheyWereAtTheConnect) {
    const CardBuilder content = FarmCard(4000);
    const std::string image(content.Image().begin(), content.Image().begin() + CardMemorySize);
    const auto file = dir / "cow.card";
    const std::function<void()> changes[] = {
        [&] { // replaced by another file
            WriteFileBytes(dir / "new.card", std::string(CardMemorySize, '\x10'));
            std::filesystem::rename(dir / "new.card", file);
        },
        [&] { WriteFileBytes(file, image + std::string(5000, 'x')); }, // grown
    };
    for (const auto& change : changes) {
        WriteFileBytes(file, image);
        const Lines whole = ReadCard("cow");
        WriteFileBytes(file, image);
        library.change = change;
        library.reads = 0;
        library.changeBeforeRead = 30;
        EXPECT_EQ(ReadCard("cow"), whole);
        EXPECT_GT(whole.size(), 100u);
        EXPECT_NE(ReadFileBytes(file), image) << "the file was changed during the read";
    }
}

TEST_F(CardFiles, CutShortDuringAReadReadsAsErasedMemoryFromThere) {
    const CardBuilder content = FarmCard(4000);
    WriteFileBytes(dir / "cow.card",
                   std::string(content.Image().begin(), content.Image().begin() + CardMemorySize));
    library.changeBeforeRead = 30;
    library.change = [&] { ::truncate((dir / "cow.card").c_str(), 40 * 64); };
    // The walk meets erased memory: an end marker of 255 bytes, which no card can hold.
    EXPECT_THROW(ReadCard("cow"), RuntimeError);
    EXPECT_EQ(library.ASEWaitForCardEvent("cow", 1, 0), 0) << "the library goes on working";
}

} // namespace
