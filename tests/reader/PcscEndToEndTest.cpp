#include "form/frmOstrivan.h"
#include "reader/PcscLite.h"
#include "reader/ReaderLibrary.h"
#include "tests/support/FakeControls.h"
#include "tests/support/FakeLibrary.h"
#include "tests/support/FarmCard.h"
#include "tests/support/Processes.h"
#include "tests/support/Require.h"
#include "tests/support/TempDir.h"

#include <chrono>
#include <thread>

namespace {

using Lines = std::deque<std::string>;
constexpr const char* VirtualReader = "Virtual PCD 00 00";

// The real PC/SC daemon with its virtual reader and a virtual card of this project in it; the
// form reads it through the reader library over pcsc-lite, with a log and an export file.
class PcscEndToEnd : public testing::Test {
protected:
    TempDir dir;
    AppFolders folders{dir / "config" / "Trelk" / "Ostrivan.reg",
                       dir / "data" / "Trelk" / "Ostrivan"};
    std::filesystem::path logFile = folders.dataFolder / "log.txt";
    PcscDaemon daemon{dir / "pcscd.log"};
    ChildProcess card;
    std::filesystem::path image = dir / "image.bin";
    ReaderLibrary library{MakePcscLiteTransport(), folders.CardsFolder()};
    FakeControls window;
    std::unique_ptr<frmOstrivan> form;

    void SetUp() override {
        OSTRIVAN_REQUIRE(daemon.Start(), "root, for the PC/SC daemon with its virtual reader");
        std::filesystem::create_directories(folders.dataFolder);
        Registry registry(folders.settingsFile);
        registry_mdl(registry).SaveRegistrySetting(HKEY_LOCAL_MACHINE, SettingsKey, "Log File",
                                                   logFile.string(), REG_SZ);
        form = std::make_unique<frmOstrivan>(window, library, folders);
        form->SetColumnLabels();
        window.readerText = VirtualReader;
    }

    void InsertCard(const CardBuilder& content, std::vector<std::string> options = {}) {
        WriteFileBytes(image, std::string(content.Image().begin(), content.Image().end() - 1));
        options.insert(options.begin(), {OSTRIVAN_VCARD, "--image", image.string()});
        card = ChildProcess(options, dir / "card.log");
    }
    // Read Card into data.csv; the status lines it showed.
    Lines Read(Outcome outcome) {
        window.lines.clear();
        EXPECT_EQ(form->ReadCard("data.csv", dir / "data.csv"), outcome);
        return window.lines;
    }
    // The status lines and the export of the same read from the scripted library.
    std::pair<Lines, std::string> Expected(const CardBuilder& content) {
        FakeControls scripted;
        FakeLibrary fake;
        *fake.card = content.Image();
        frmOstrivan other(scripted, fake, {});
        other.SetColumnLabels();
        other.ReadCard("data.csv", dir / "expected.csv");
        return {scripted.lines, ReadFileBytes(dir / "expected.csv")};
    }
    void ExpectAsScripted(const CardBuilder& content) {
        const auto [lines, exported] = Expected(content);
        ExpectSameLines(Read(Outcome::Done), lines);
        EXPECT_EQ(ReadFileBytes(dir / "data.csv"), exported);
    }

    // Names the first line that differs, where a whole-list comparison would be cut short.
    static void ExpectSameLines(const Lines& actual, const Lines& expected) {
        const auto mismatch =
            std::mismatch(actual.begin(), actual.end(), expected.begin(), expected.end());
        EXPECT_TRUE(mismatch.first == actual.end() && mismatch.second == expected.end())
            << "line " << (mismatch.first - actual.begin()) << ": ["
            << (mismatch.first == actual.end() ? "" : *mismatch.first) << "] where ["
            << (mismatch.second == expected.end() ? "" : *mismatch.second) << "] was expected";
    }
};

TEST_F(PcscEndToEnd, ListsTheVirtualReaders) {
    std::int32_t length = 0;
    ASSERT_EQ(library.ASEListReaders({}, length), 0);
    std::vector<std::uint8_t> buffer(2001);
    ASSERT_EQ(library.ASEListReaders(buffer, length), 0);
    EXPECT_EQ(std::string(buffer.begin(), buffer.begin() + length + 1),
              std::string("Virtual PCD 00 00\0Virtual PCD 00 01\0\0", 37));
    EXPECT_EQ(length, 36);
}

TEST_F(PcscEndToEnd, ReadsAsTheScriptedLibraryFormatsAndReadsBack) {
    CardBuilder content = FarmCard(3000);
    InsertCard(content);
    ExpectAsScripted(content);
    EXPECT_EQ(form->FormatCard(), Outcome::Done);
    BuildEmptyCardImage(content.Image());
    EXPECT_EQ(ReadFileBytes(image),
              std::string(content.Image().begin(), content.Image().end() - 1));
    ExpectAsScripted(content);
}

TEST_F(PcscEndToEnd, CardPulledDuringAReadKeepsTheRowsBeforeAndTheNextReadWorks) {
    InsertCard(FarmCard(2000), {"--drop-after", "10", "--rejoin-ms", "300"});
    const Lines lines = Read(Outcome::CardError);
    EXPECT_EQ(lines[lines.size() - 3],
              "ASEMemReadDataOnly  49 Error - An unknown error has occurred");
    const std::string partial = ReadFileBytes(dir / "data.csv");
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    ExpectAsScripted(FarmCard(2000));
    EXPECT_TRUE(ReadFileBytes(dir / "data.csv").starts_with(partial));
    EXPECT_TRUE(partial.ends_with("\r\n"));
    EXPECT_GT(partial.size(), 400u);
}

TEST_F(PcscEndToEnd, ServiceStoppingDuringAReadIsCardNotInsertedUntilItIsBack) {
    InsertCard(FarmCard(3000), {"--drop-after", "12", "--rejoin-ms", "300", "--kill-pid",
                                std::to_string(daemon.Pid())});
    const Lines lines = Read(Outcome::CardError);
    EXPECT_EQ(lines[lines.size() - 3], "Card not inserted!");
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& line) { return line.starts_with("Card["); }),
              12)
        << "the blocks before the service went";
    daemon.Stop();
    ASSERT_TRUE(daemon.Start());
    ExpectAsScripted(FarmCard(3000));
}

TEST_F(PcscEndToEnd, CompanionReadsAsTheWindowDoes) {
    InsertCard(FarmCard(3000));
    Read(Outcome::Done);
    const auto windowLog = LogTexts(logFile);
    std::filesystem::rename(dir / "data.csv", dir / "window.csv");
    std::filesystem::remove(logFile);
    ::setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);
    const Finished read = RunToEnd({OSTRIVAN_CARD, "read", "--reader", VirtualReader, "--output",
                                    (dir / "data.csv").string()});
    ::unsetenv("XDG_CONFIG_HOME");
    ::unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(read.status, 0) << read.err;
    EXPECT_EQ(ReadFileBytes(dir / "data.csv"), ReadFileBytes(dir / "window.csv"));
    EXPECT_EQ(LogTexts(logFile), windowLog);
    EXPECT_GT(windowLog.size(), 40u);
}

} // namespace
