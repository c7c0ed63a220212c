#include "card/ExportFile.h"
#include "form/frmOstrivan.h"
#include "reader/PcscLite.h"
#include "reader/ReaderLibrary.h"
#include "tests/support/ExchangeHarness.h"
#include "tests/support/FakeLibrary.h"
#include "tests/support/FarmCard.h"
#include "tests/support/Processes.h"
#include "tests/support/Require.h"
#include "tests/support/TempDir.h"

#include <chrono>
#include <thread>

namespace {

constexpr const char* VirtualReader = "Virtual PCD 00 00";

std::string CardProgram() {
    return std::string(OSTRIVAN_VCARD);
}

// The real PC/SC daemon with its virtual reader, a virtual card of this project in it, and the
// reader library over pcsc-lite.
class PcscEndToEnd : public testing::Test {
protected:
    TempDir dir;
    ExchangeHarness harness;
    Lines& list = harness.window.lines;
    PcscDaemon daemon{dir / "pcscd.log"};
    ChildProcess card;
    std::filesystem::path image = dir / "image.bin";
    std::unique_ptr<ReaderLibrary> library =
        std::make_unique<ReaderLibrary>(MakePcscLiteTransport(), dir / "no-cards");

    void SetUp() override {
        OSTRIVAN_REQUIRE(daemon.Start(), "root, for the PC/SC daemon with its virtual reader");
    }

    void InsertCard(const CardBuilder& content, std::vector<std::string> options = {}) {
        WriteFileBytes(image, std::string(content.Image().begin(), content.Image().end() - 1));
        std::vector<std::string> command = {CardProgram(), "--image", image.string()};
        command.insert(command.end(), options.begin(), options.end());
        card = ChildProcess(command, dir / "card.log");
    }

    // The status lines and rows the exchange gives for the image, from the scripted library.
    Lines Expected(const CardBuilder& content) {
        list.clear();
        FakeLibrary fake;
        *fake.card = content.Image();
        harness.Run(fake, ExchangeMode::ExchangeRead, VirtualReader);
        Lines lines = list;
        list.clear();
        return lines;
    }

    std::int32_t Run(ExchangeMode mode) { return harness.Run(*library, mode, VirtualReader); }
    std::int32_t Read() { return Run(ExchangeMode::ExchangeRead); }

    // Takes the card out and waits until the service has seen it go.
    void RemoveCard() {
        card.Stop();
        for (int i = 0; i < 100 && library->ASEWaitForCardEvent(VirtualReader, 1, 0) == 0; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
};

// Names the first line that differs, where a whole-list comparison would be cut short.
void ExpectSameLines(const Lines& actual, const Lines& expected) {
    const auto mismatch =
        std::mismatch(actual.begin(), actual.end(), expected.begin(), expected.end());
    EXPECT_TRUE(mismatch.first == actual.end() && mismatch.second == expected.end())
        << "line " << (mismatch.first - actual.begin()) << " of " << actual.size() << ": ["
        << (mismatch.first == actual.end() ? "" : *mismatch.first) << "] where ["
        << (mismatch.second == expected.end() ? "" : *mismatch.second) << "] of " << expected.size()
        << " was expected";
}

TEST_F(PcscEndToEnd, ListsTheVirtualReaders) {
    std::int32_t length = 0;
    ASSERT_EQ(library->ASEListReaders({}, length), 0);
    std::vector<std::uint8_t> buffer(2001);
    ASSERT_EQ(library->ASEListReaders(buffer, length), 0);
    const std::string names(buffer.begin(), buffer.begin() + length + 1);
    EXPECT_EQ(names, std::string("Virtual PCD 00 00\0Virtual PCD 00 01\0\0", 37));
    EXPECT_EQ(length, 36);
}

TEST_F(PcscEndToEnd, ReadsCardsAsTheScriptedLibraryDoes) {
    for (const std::int32_t end : {17, 3000}) {
        const CardBuilder content = end == 17 ? [] {
            CardBuilder formatted;
            BuildEmptyCardImage(formatted.Image());
            return formatted;
        }()
                                              : FarmCard(end);
        const Lines expected = Expected(content);
        InsertCard(content);
        EXPECT_EQ(Read(), 0);
        ExpectSameLines(list, expected);
        EXPECT_GT(list.size(), end == 17 ? 5u : 100u);
        list.clear();
        RemoveCard();
    }
}

TEST_F(PcscEndToEnd, FormatsACardAndReadsItBack) {
    InsertCard(FarmCard(1000));
    EXPECT_EQ(Run(ExchangeMode::ExchangeFormat), 0);
    CardBuilder formatted = FarmCard(1000);
    BuildEmptyCardImage(formatted.Image());
    EXPECT_EQ(ReadFileBytes(image),
              std::string(formatted.Image().begin(), formatted.Image().end() - 1));
    list.clear();
    EXPECT_EQ(Read(), 0);
    EXPECT_EQ(list[2], "row: Card,,,,,,,,, 32,,");
    EXPECT_EQ(list[3], "row: Application,,,,,,,,,,OSTRIVAN 007,");
}

// Rows into the export file, and into the status list too, to be compared there.
class RowsToFileAndList : public RowWriter {
public:
    RowsToFileAndList(ExportFile& file, RowWriter& list) : file_(file), list_(list) {}
    void WriteLine(std::string_view line) override {
        file_.WriteLine(line);
        list_.WriteLine(line);
    }

private:
    ExportFile& file_;
    RowWriter& list_;
};

TEST_F(PcscEndToEnd, CardPulledDuringAReadIsReportedAndTheNextReadWorks) {
    const CardBuilder content = FarmCard(2000);
    InsertCard(content, {"--drop-after", "10", "--rejoin-ms", "300"});
    ExportFile file(dir / "data.csv");
    RowsToFileAndList both(file, harness.Rows());
    harness.assembler.SetRowWriter(&both);
    file.WriteLine("RecType,\r\n");
    const std::int32_t code = Read();
    file.Close();
    EXPECT_NE(code, 0);
    EXPECT_NE(code, -2);
    std::string written = "RecType,\r\n";
    for (const std::string& line : list) {
        if (line.starts_with("row: ")) {
            written += line.substr(5) + "\r\n";
        }
    }
    EXPECT_EQ(ReadFileBytes(dir / "data.csv"), written) << "the rows before the fault, closed";
    EXPECT_GT(written.size(), 100u);

    harness.assembler.SetRowWriter(&harness.Rows());
    const Lines expected = Expected(content);
    list.clear();
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    EXPECT_EQ(Read(), 0);
    ExpectSameLines(list, expected);
}

TEST_F(PcscEndToEnd, ServiceStoppingDuringAReadIsCardNotInsertedUntilItIsBack) {
    const CardBuilder content = FarmCard(3000);
    InsertCard(content, {"--drop-after", "12", "--rejoin-ms", "300", "--kill-pid",
                         std::to_string(daemon.Pid())});
    EXPECT_EQ(Read(), 46);
    EXPECT_EQ(list.back(), "Card not inserted!");
    EXPECT_EQ(std::count_if(list.begin(), list.end(),
                            [](const std::string& line) { return line.starts_with("Card["); }),
              12)
        << "the blocks before the service went";
    daemon.Stop();
    ASSERT_TRUE(daemon.Start());
    const Lines expected = Expected(content);
    EXPECT_EQ(Read(), 0);
    ExpectSameLines(list, expected);
}

TEST_F(PcscEndToEnd, CompanionReadsAsTheWindowDoes) {
    const AppFolders folders{dir / "config" / "Trelk" / "Ostrivan.reg",
                             dir / "data" / "Trelk" / "Ostrivan"};
    ::setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);
    const auto logFile = folders.dataFolder / "log.txt";
    std::filesystem::create_directories(folders.dataFolder);
    Registry registry(folders.settingsFile);
    registry_mdl(registry).SaveRegistrySetting(HKEY_LOCAL_MACHINE, SettingsKey, "Log File",
                                               logFile.string(), REG_SZ);
    InsertCard(FarmCard(3000));
    FakeControls window;
    frmOstrivan form(window, *library, folders);
    form.SetColumnLabels();
    window.readerText = VirtualReader;
    ASSERT_EQ(form.ReadCard("data.csv", dir / "window.csv"), Outcome::Done);
    const auto windowLog = LogTexts(logFile);
    std::filesystem::remove(logFile);

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
