#include "form/frmOstrivan.h"
#include "reader/ReaderLibrary.h"
#include "tests/support/FakeControls.h"
#include "tests/support/FarmCard.h"
#include "tests/support/Processes.h"
#include "tests/support/TempDir.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace {

std::string SourceFile(const std::string& path) {
    return ReadFileBytes(std::filesystem::path(OSTRIVAN_SOURCE_DIR) / path);
}

const std::string DemoExport = SourceFile("tests/data/demo-card.csv");
const std::string ReadLines =
    "Opening file -\nCard Connect\nReading card\nDisconnect card\nClosing file -\nFinished!\n";

// The built ostrivan-card under folders of a test's own, with the demo card as the card file
// "demo" and a log file set, as the window would have left them.
class Companion : public testing::Test {
protected:
    TempDir dir;
    AppFolders folders{dir / "config" / "Trelk" / "Ostrivan.reg",
                       dir / "data" / "Trelk" / "Ostrivan"};
    std::filesystem::path cards = folders.CardsFolder();

    Companion() {
        ::setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
        ::setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);
        std::filesystem::create_directories(cards);
        std::filesystem::copy_file(OSTRIVAN_DEMO_CARD, cards / "demo.card");
        Registry registry(folders.settingsFile);
        registry_mdl(registry).SaveRegistrySetting(HKEY_LOCAL_MACHINE, SettingsKey, "Log File",
                                                   (folders.dataFolder / "log.txt").string(),
                                                   REG_SZ);
    }
    ~Companion() override {
        ::unsetenv("XDG_CONFIG_HOME");
        ::unsetenv("XDG_DATA_HOME");
    }

    static std::vector<std::string> Command(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), OSTRIVAN_CARD);
        return arguments;
    }
    Finished Run(const std::vector<std::string>& arguments, const std::string& input = {}) {
        return RunToEnd(Command(arguments), input);
    }
    std::vector<std::string> Logged() const { return LogTexts(folders.dataFolder / "log.txt"); }
    std::string Card(const std::string& name) const { return ReadFileBytes(cards / name); }
};

TEST_F(Companion, ReadsTheDemoCardAsTheWindowDoes) {
    const Finished read = Run({"read", "--reader", "demo"});
    EXPECT_EQ(read.status, 0);
    EXPECT_EQ(read.out, DemoExport);
    EXPECT_EQ(read.err, ReadLines);
    std::string log;
    for (const std::string& text : Logged()) {
        log += text + "\r\n";
    }
    const std::string windowLog = SourceFile("tests/data/demo-card-log.txt");
    const std::string banner = "STARTING Ostrivan Ver  2. 2. 1\r\n";
    EXPECT_EQ(banner + std::string(log).replace(0, 14, "Opening file data.csv"), windowLog)
        << "the window's lines but for the banner and the file's name";
    const std::filesystem::directory_iterator archived(folders.ArchiveFolder());
    EXPECT_EQ(archived->file_size(), 5u * 64) << "the read is archived";

    const Finished exported = Run({"export", (cards / "demo.card").string()});
    EXPECT_EQ(exported.out, read.out);
    EXPECT_EQ(exported.err, read.err);
    EXPECT_EQ(Logged().size(), 7u) << "an export writes no log";
    const std::string verbose = Run({"read", "--reader", "demo", "--verbose"}).err;
    EXPECT_NE(verbose.find("\nCard[00 256]=100000FF00FFFFFF"), std::string::npos);
}

TEST_F(Companion, ReadOfAFarmCardGivesTheWindowsExportAndLog) {
    const CardBuilder farm = FarmCard(9000);
    WriteFileBytes(cards / "farm.card",
                   std::string(farm.Image().begin(), farm.Image().begin() + CardMemorySize));
    FakeControls window;
    ReaderLibrary library(nullptr, cards); // no PC/SC service
    frmOstrivan form(window, library, folders);
    form.SetColumnLabels();
    window.readerText = "farm";
    ASSERT_EQ(form.ReadCard("farm.csv", dir / "window.csv"), Outcome::Done);
    const auto windowLog = Logged();
    std::filesystem::remove(folders.dataFolder / "log.txt");

    EXPECT_EQ(Run({"read", "--reader", "farm", "--output", (dir / "farm").string()}).status, 0);
    EXPECT_EQ(ReadFileBytes(dir / "farm.csv"), ReadFileBytes(dir / "window.csv"));
    EXPECT_EQ(Logged(), windowLog);
    EXPECT_GT(windowLog.size(), 140u);
}

struct ExitCase {
    std::vector<std::string> arguments;
    int status;
    std::string err; // what standard error holds
};

TEST_F(Companion, ExitStatusesTellHowItEnded) {
    WriteFileBytes(cards / "blank.card", std::string(CardMemorySize, '\xFF'));
    std::string endless;
    while (endless.size() < CardMemorySize) {
        endless += std::string("\x10\x00", 2); // empty tag numbers, never an end marker
    }
    WriteFileBytes(cards / "endless.card", endless);
    WriteFileBytes(dir / "old.csv", "old");
    const ExitCase cases[] = {
        {{"--version"}, 0, ""},
        {{"readers"}, 0, ""},
        {{"read", "--reader", "nothing"}, 3, "Card not inserted!"},
        {{"read", "--reader", "endless"}, 3, "Error! No end of file found on card!"},
        {{"read", "--reader", "blank"}, 5, "** Error in cmdReadCard_Click() VB error = Subscript"},
        {{"read", "--reader", "demo", "--output", (dir / "old.csv").string()}, 4, "--force"},
        {{"read", "--reader", "demo", "--output", (dir / "no" / "x").string()}, 4, "Cannot create"},
        {{"export", (dir / "none.card").string()}, 3, "Card not inserted!"},
        {{"bogus"}, 2, "Usage: ostrivan-card"},
        {{"read", "--bogus"}, 2, "Usage: ostrivan-card read"},
        {{"read", "--reader"}, 2, "Usage: ostrivan-card read"},
        {{"format"}, 2, "--reader"},
        {{"format", "--reader", "demo"}, 2, "no terminal"},
    };
    for (const auto& c : cases) {
        const Finished finished = Run(c.arguments);
        EXPECT_EQ(finished.status, c.status) << c.arguments[0] << " " << c.arguments.back();
        EXPECT_NE(finished.err.find(c.err), std::string::npos) << finished.err;
    }
    EXPECT_EQ(Run({"--version"}).out, "Ostrivan 2.2.1\n");
    EXPECT_EQ(Run({"readers"}).out, "blank\ndemo\nendless\n");
    EXPECT_EQ(ReadFileBytes(dir / "old.csv"), "old");
    EXPECT_EQ(
        Run({"read", "--reader", "demo", "--force", "--output", (dir / "old.csv").string()}).status,
        0);
    EXPECT_EQ(ReadFileBytes(dir / "old.csv"), DemoExport);
    const Finished full = RunToEnd(Command({"read", "--reader", "demo"}), {}, "/dev/full");
    EXPECT_EQ(full.status, 4);
    EXPECT_NE(full.err.find("Cannot write file -: No space left on device"), std::string::npos);
    ::setenv("XDG_DATA_HOME", (dir / "no readers").c_str(), 1);
    for (const std::string command : {"readers", "read"}) {
        const Finished none = Run({command});
        EXPECT_EQ(none.status, 3) << command;
        EXPECT_TRUE(none.err.starts_with("ASEListReadersLenBufOnly()  46 Error - The smart card "
                                         "resource manager has shut down\n"))
            << none.err;
    }
}

TEST_F(Companion, FormatAsksOnTheTerminalUnlessTold) {
    const std::string demo = Card("demo.card");
    const Finished declined = RunOnTerminal(Command({"format", "--reader", "demo"}), "no\n");
    EXPECT_EQ(declined.status, 1);
    EXPECT_NE(declined.out.find("Format Card. Are you sure? Will delete ALL records!! [ok/cancel]"),
              std::string::npos);
    EXPECT_EQ(Card("demo.card"), demo);
    EXPECT_EQ(Run({"format", "--reader", "demo", "--yes"}).status, 0);
    CardBuffer formatted{};
    BuildEmptyCardImage(formatted);
    EXPECT_EQ(Card("demo.card"),
              std::string(formatted.begin(), formatted.begin() + 19) + demo.substr(19));
    const Finished onTerminal = RunOnTerminal(Command({"read", "--reader", "demo"}), "");
    EXPECT_NE(onTerminal.out.find("\rReading card: 1 blocks of at most 512"), std::string::npos)
        << "the progress on a terminal";
}

} // namespace
