#include "form/frmOstrivan.h"

#include "card/CodePage.h"
#include "form/Version.h"
#include "reader/ReaderLibrary.h"
#include "tests/support/FakeControls.h"
#include "tests/support/FakeLibrary.h"
#include "tests/support/FakeTransport.h"
#include "tests/support/SystemCallSeam.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>
#include <unistd.h>

namespace {

const std::string Header = "RecType,Time,Date,Tag Nr,Invoice Nr,Location Id,Location Name,"
                           "Weight,Gate Nr,Device Id,Version,\r\n";
// The banner names the version of the build, each number blank-led.
const std::string Banner = "STARTING Ostrivan Ver  " + std::to_string(VersionMajor) + ". " +
                           std::to_string(VersionMinor) + ". " + std::to_string(VersionRevision);
const std::string FormattedCardExport =
    Header + "Card,,,,,,,,, 32,,\r\nApplication,,,,,,,,,,OSTRIVAN 007,\r\n";

// The form with fake controls and the scripted library, over a real settings file, data
// folder and log in a fresh folder.
class Form : public testing::Test {
protected:
    TempDir dir;
    AppFolders folders{dir / "config" / "Trelk" / "Ostrivan.reg", dir / "data"};
    FakeLibrary library;
    FakeControls controls;
    std::vector<std::filesystem::path> volumes = {"/"};
    std::unique_ptr<frmOstrivan> form;
    Registry registry{folders.settingsFile};
    registry_mdl settings{registry};

    Form() {
        library.readerList = {'R', '1', 0, 'R', '2', 0, 0};
        BuildEmptyCardImage(*library.card);
    }

    LocalTime now{2004, 3, 15, 14, 7, 9};

    void Load(ASEMEM& reader) {
        form = std::make_unique<frmOstrivan>(
            controls, Borrowed(reader), folders, [this] { return volumes; },
            [this] { return now; });
        controls.changed = [this](TextBox box) {
            box == TextBox::FarmName ? form->TextFarmName_Change() : form->TextPICId_Change();
        };
        form->Form_Load();
    }
    void Load() { Load(library); }
    std::string Setting(std::string_view name) {
        return SettingText(settings.LoadRegistrySetting(HKEY_LOCAL_MACHINE, SettingsKey, name));
    }
    void Store(std::string_view name, const SettingValue& value, std::uint32_t type = REG_SZ) {
        settings.SaveRegistrySetting(HKEY_LOCAL_MACHINE, SettingsKey, name, value, type);
    }
    std::vector<std::string> Lines() const {
        return {controls.lines.begin(), controls.lines.end()};
    }
    std::vector<std::string> Logged() const { return LogTexts(dir / "data" / "log.txt"); }
    std::filesystem::path DirPath() const { return form->DirListBox().Path(); }
    std::string Export(const std::string& name = "data.csv") const {
        return ReadFileBytes(DirPath() / name);
    }
};

// Start-up from a store as it stands: what it writes, and what the boxes and the folder show.
struct StartUpCase {
    const char* name;
    std::vector<std::pair<const char*, SettingValue>> stored;
    std::vector<std::pair<const char*, std::string>> settings; // after start-up
    std::string farmName, picId;
    std::string folder; // below the test's folder
};

TEST_F(Form, StartUpCases) {
    const std::string log = (dir / "data" / "log.txt").string();
    const std::string other = (dir / "other.log").string();
    std::filesystem::create_directories(dir / "exports" / "pens");
    const StartUpCase cases[] = {
        {"first run on an empty store",
         {},
         {{"Farm Name", "myfarm"},
          {"PIC ID", ""},
          {"File Path", ""},
          {"Log File", log},
          {"Mode", "0"}},
         "myfarm",
         "",
         "data"},
        {"a later run writes no first-run value",
         {{"Farm Name", "Hill Farm"},
          {"PIC ID", "P-77"},
          {"File Path", (dir / "exports").string()},
          {"Log File", other},
          {"Mode", 5}},
         {{"Log File", other}, {"Mode", "5"}},
         "Hill Farm",
         "P-77",
         "exports"},
        {"a cleared farm name costs no other setting",
         {{"Farm Name", ""}, {"PIC ID", "P-77"}, {"Log File", ""}},
         {{"Farm Name", "myfarm"}, {"PIC ID", "P-77"}, {"Log File", ""}, {"File Path", ""}},
         "myfarm",
         "P-77",
         "data"},
    };
    for (const auto& c : cases) {
        std::filesystem::remove(folders.settingsFile);
        for (const auto& [name, value] : c.stored) {
            Store(name, value, std::holds_alternative<std::int32_t>(value) ? REG_DWORD : REG_SZ);
        }
        controls = FakeControls();
        Load();
        for (const auto& [name, value] : c.settings) {
            EXPECT_EQ(Setting(name), value) << c.name << ": " << name;
        }
        EXPECT_EQ(controls.texts[TextBox::FarmName], c.farmName) << c.name;
        EXPECT_EQ(controls.texts[TextBox::PICId], c.picId) << c.name;
        EXPECT_EQ(DirPath(), dir / c.folder) << c.name;
        EXPECT_TRUE(controls.directory[static_cast<std::size_t>(controls.currentEntry)].ends_with(
            " " + c.folder))
            << c.name;
        EXPECT_EQ(controls.drives, std::vector<std::string>{"/"}) << c.name;
        EXPECT_TRUE(controls.lines.empty()) << c.name;
    }
    EXPECT_EQ(Logged(), std::vector<std::string>{Banner}) << "the banner, first in a new log";
    EXPECT_EQ(settings.LoadRegistrySetting(HKEY_LOCAL_MACHINE, SettingsKey, "Mode"),
              SettingValue(0))
        << "a number";
}

TEST_F(Form, UnusableFilePathFallsBackToTheDataFolderAfterTheBanner) {
    Store("Farm Name", "f");
    Store("Log File", (dir / "data" / "log.txt").string());
    Store("File Path", (dir / "missing").string());
    Load();
    EXPECT_EQ(DirPath(), dir / "data");
    const std::string line =
        "Cannot start in the File Path folder (Path not found: " + (dir / "missing").string() +
        "); starting in " + (dir / "data").string();
    EXPECT_EQ(Lines(), std::vector<std::string>{line});
    EXPECT_EQ(Logged(), (std::vector<std::string>{Banner, line}));
}

TEST_F(Form, DriveShownIsTheMountOfTheFolderShown) {
    std::filesystem::create_directories(dir / "mnt" / "exports");
    std::filesystem::create_directory_symlink(dir / "mnt" / "exports", dir / "link");
    volumes = {"/", dir / "mnt"};
    Store("Farm Name", "f");
    const std::string startDir = std::filesystem::current_path();
    for (const std::string& filePath : {(dir / "link").string(), std::string("mnt/exports")}) {
        ASSERT_EQ(::chdir(dir.Path().c_str()), 0);
        Store("File Path", filePath);
        Load();
        EXPECT_EQ(DirPath(), std::filesystem::canonical(dir / "mnt" / "exports")) << filePath;
        EXPECT_EQ(controls.shownDrive, 1) << filePath;
        EXPECT_EQ(controls.directory.front(), codepage::FromFileName(dir / "mnt")) << filePath;
    }
    ASSERT_EQ(::chdir(startDir.c_str()), 0);
    Store("File Path", dir.Path().string());
    Load();
    EXPECT_EQ(controls.shownDrive, 0);
    const auto& entries = form->DirListBox().Entries();
    const auto mount = std::find_if(entries.begin(), entries.end(),
                                    [&](const auto& entry) { return entry.folder == dir / "mnt"; });
    ASSERT_NE(mount, entries.end());
    form->DirListBox_DblClick(static_cast<int>(mount - entries.begin()));
    EXPECT_EQ(controls.shownDrive, 1) << "a double-click onto another mount";
}

std::string watchedFile; // opens of it are counted
int watchedOpens = 0;

TEST_F(Form, LogFileSettingIsFollowedLineByLineWithoutReadingAnUnchangedStore) {
    Load();
    SystemCallSeam seam;
    watchedFile = folders.settingsFile.string();
    watchedOpens = 0;
    seam.calls.open = [](const char* path, int flags, mode_t mode) {
        watchedOpens += path == watchedFile;
        return files::RealCalls().open(path, flags, mode);
    };
    form->ShowStatus("one");
    form->ShowStatus("two");
    EXPECT_EQ(watchedOpens, 0) << "an unchanged store is not read for every line";
    Store("Log File", (dir / "data" / "new.txt").string()); // the same length, another program
    form->ShowStatus("three");
    std::string store = ReadFileBytes(folders.settingsFile);
    store.replace(store.find("new.txt"), 7, "old.txt");
    const auto modified = std::filesystem::last_write_time(folders.settingsFile);
    WriteFileBytes(folders.settingsFile, store); // in place, as some editors do
    std::filesystem::last_write_time(folders.settingsFile, modified + std::chrono::seconds(5));
    form->ShowStatus("four");
    EXPECT_EQ(Logged().back(), "two");
    EXPECT_EQ(LogTexts(dir / "data" / "new.txt"), std::vector<std::string>{"three"});
    EXPECT_EQ(LogTexts(dir / "data" / "old.txt"), std::vector<std::string>{"four"});
}

TEST_F(Form, PathsAreCodePageTextInSettingsAndLines) {
    folders.dataFolder = dir / "caf\xC3\xA9"; // the name of a folder is UTF-8 on disk
    Load();
    EXPECT_EQ(Setting("Log File"), (dir / "caf\xE9" / "log.txt").string());
    EXPECT_EQ(LogTexts(folders.dataFolder / "log.txt").size(), 1u) << "the log is where it says";
    controls.texts[TextBox::FileName] = "gone/x.csv";
    form->cmdReadCard_Click();
    EXPECT_TRUE(Lines().back().starts_with("** Error in cmdReadCard_Click() VB error = Cannot "
                                           "create file " +
                                           (dir / "caf\xE9" / "gone" / "x.csv").string()));
    folders = {dir / "other.reg", dir / "\xD0\x96"}; // a name the code page cannot hold
    controls = FakeControls();
    Load();
    form->ShowStatus("more");
    const std::string notice = "Log file " + (dir / "?" / "log.txt").string() +
                               " cannot be written: No such file or directory";
    EXPECT_EQ(Lines(), (std::vector<std::string>{notice, "more"}));
}

struct ReaderListCase {
    const char* name;
    std::vector<std::uint8_t> list;
    std::int32_t length;
    std::vector<std::string> items;
    std::string text;
};

TEST_F(Form, ReaderListCases) {
    // Two names of 1500 bytes: a list that no fixed buffer of the old 2001 bytes would take.
    std::vector<std::uint8_t> longList(1500, 'R');
    longList.push_back(0);
    longList.insert(longList.end(), 1500, 'S');
    longList.insert(longList.end(), {0, 0});
    const ReaderListCase cases[] = {
        {"two readers", {'R', '1', 0, 'R', '2', 0, 0}, 6, {"R1", "R2", ""}, "R1"},
        {"length 0", {}, 0, {""}, ""},
        {"negative length", {'R', '1', 0}, -1, {}, ""},
        {"any length",
         longList,
         3002,
         {std::string(1500, 'R'), std::string(1500, 'S'), ""},
         std::string(1500, 'R')},
        {"name without zero byte", {'R', '1'}, 1, {}, ""},
    };
    for (const auto& c : cases) {
        library.readerList = c.list;
        library.listLength = c.length;
        controls = FakeControls();
        Load();
        EXPECT_EQ(controls.readers, c.items) << c.name;
        EXPECT_EQ(controls.readerText, c.text) << c.name;
        EXPECT_TRUE(controls.lines.empty()) << c.name;
    }
    library.codes["list"] = {44, 44}; // the header's labels come whatever the listing gave
    controls = FakeControls();
    Load();
    form->cmdReadCard_Click();
    EXPECT_TRUE(Export().starts_with("RecType,Time,")) << Export();
}

TEST_F(Form, ReadCardWritesTheExportFileUnderTheTypedName) {
    const std::pair<std::string, std::string> names[] = {
        {"data", "data.csv"}, {"report.", "report."}, {"my.data", "my.data"}, {"", ".csv"}};
    Load();
    for (const auto& [typed, file] : names) {
        controls.texts[TextBox::FileName] = typed;
        form->cmdReadCard_Click();
        EXPECT_EQ(Export(file), FormattedCardExport) << file;
        EXPECT_EQ(Lines()[Lines().size() - 3], "Closing file " + file);
        EXPECT_EQ(Lines()[Lines().size() - 2], "Finished!");
        EXPECT_EQ(Lines().back(), "Read 2 rows: Card 1, Application 1. Tags 0.");
    }
    EXPECT_EQ(library.Count("wait [R1] 1 5000"), 4);
    controls.texts[TextBox::FileName] = "/lead"; // stays below the folder, never at the root
    form->cmdReadCard_Click();
    EXPECT_EQ(ReadFileBytes(DirPath().string() + "/lead.csv"), FormattedCardExport);
    const auto log = Logged();
    EXPECT_EQ(std::count(log.begin(), log.end(), "Opening file data.csv"), 1);
    EXPECT_EQ(std::count(log.begin(), log.end(), "Finished!"), 0);
    // A line break would split the name's line in the log.
    controls.texts[TextBox::FileName] = "new\nline";
    form->cmdReadCard_Click();
    EXPECT_EQ(Lines().back(),
              "File to save cannot hold the control character U+000A: type a name without it");
    EXPECT_EQ(library.Count("wait [R1] 1 5000"), 5);
    EXPECT_EQ(Logged(), log);
}

TEST_F(Form, OverwriteQuestionForAnExportOrAWorkbook) {
    Load();
    for (const std::string name : {"data.csv", "data.xlsx"}) {
        controls.texts[TextBox::FileName] = name;
        WriteFileBytes(dir / "data" / name, "old");
        controls.lines.clear();
        controls.boxes.clear();
        controls.busy.clear();
        controls.answer = MessageAnswer::Cancel;
        form->cmdReadCard_Click();
        EXPECT_EQ(Export(name), "old");
        EXPECT_TRUE(controls.lines.empty());
        ASSERT_EQ(controls.boxes.size(), 1u);
        EXPECT_EQ(controls.boxes[0].text, "Export file exists! Okay to overwrite?");
        EXPECT_EQ(controls.boxes[0].caption, "Ostrivan");
        EXPECT_TRUE(controls.boxes[0].question);
        EXPECT_EQ(controls.boxes[0].icon, MessageIcon::None);
        EXPECT_EQ(controls.busy, (std::vector<bool>{true, false}));

        controls.answer = MessageAnswer::Ok;
        form->cmdReadCard_Click();
        EXPECT_EQ(Export(name).substr(0, 2), name == "data.csv" ? "Re" : "PK") << "replaced";
    }
}

TEST_F(Form, ExportFileRemovedOrReplacedDuringTheReadIsReported) {
    const auto exports = dir / "exports";
    std::filesystem::create_directories(exports);
    Store("Farm Name", "f");
    Store("File Path", exports.string());
    Load();
    const std::function<void()> changes[] = {[&] { std::filesystem::remove_all(exports); },
                                             [&] {
                                                 WriteFileBytes(dir / "other.csv", "");
                                                 std::filesystem::rename(dir / "other.csv",
                                                                         exports / "data.csv");
                                             }};
    for (const auto& change : changes) {
        std::filesystem::create_directories(exports);
        library.onCall = [&](const std::string&) { change(); };
        form->cmdReadCard_Click();
        EXPECT_EQ(Lines().back(), "** Error in cmdReadCard_Click() VB error = File was removed or "
                                  "replaced while it was written: " +
                                      (exports / "data.csv").string());
    }
}

std::size_t bytesLeft = 0; // before the disk is full

TEST_F(Form, ReadCardTellsItsFirstFailure) {
    Store("Farm Name", "f");
    Store("Log File", ""); // the disk that fills up takes the header, then no row
    Load();
    const auto farm = TestCard("farm");
    for (const bool fullDisk : {false, true}) {
        for (const Outcome later : {Outcome::CardError, Outcome::ContentError}) {
            *library.card = *farm;
            if (later == Outcome::CardError) {
                library.codes["read"] = {0, 0, 44};
            } else {
                std::fill(library.card->begin() + 300, library.card->end(), 0xFF);
            }
            SystemCallSeam seam;
            bytesLeft = fullDisk ? Header.size() : SIZE_MAX;
            seam.calls.write = [](int fd, const void* data, std::size_t size) -> ssize_t {
                if (size > bytesLeft) {
                    return errno = ENOSPC, -1;
                }
                bytesLeft -= size;
                return files::RealCalls().write(fd, data, size);
            };
            EXPECT_EQ(form->ReadCard("x.csv", dir / "x.csv"),
                      fullDisk ? Outcome::OutputError : later);
            const std::string laterLine = later == Outcome::CardError
                                              ? "ASEMemReadDataOnly  44 "
                                              : "** Error in cmdReadCard_Click() VB error = Sub";
            EXPECT_TRUE(
                std::any_of(controls.lines.begin(), controls.lines.end(),
                            [&](const std::string& line) { return line.starts_with(laterLine); }))
                << "the read went on to its later failure";
        }
    }
}

TEST_F(Form, FormatCardAsksFirstUnderTheBusyCursor) {
    Load();
    controls.answer = MessageAnswer::Cancel;
    form->cmdClearCard_Click();
    EXPECT_TRUE(controls.lines.empty());
    EXPECT_EQ(library.Count("wait"), 0);
    ASSERT_EQ(controls.boxes.size(), 1u);
    EXPECT_EQ(controls.boxes[0].text, "Format Card. Are you sure? Will delete ALL records!!");
    EXPECT_EQ(controls.boxes[0].icon, MessageIcon::Warning);
    EXPECT_EQ(controls.busy, (std::vector<bool>{true, false}));
}

TEST_F(Form, DriveThatFailsLeavesTheDirectoryListAsItWas) {
    volumes = {"/", dir / "gone"};
    Load();
    const auto entries = controls.directory;
    controls.shownDrive = 1;
    form->DriveListBox_Change();
    EXPECT_EQ(DirPath(), dir / "data");
    EXPECT_EQ(form->DirListBox().Drive(), "/");
    EXPECT_EQ(controls.directory, entries);
    EXPECT_EQ(Lines().back(), "** Error in DriveListBox_Change() VB error = Path not found: " +
                                  (dir / "gone").string());
    form->DirListBox_DblClick(0);
    EXPECT_EQ(DirPath(), "/") << "the list still climbs to its drive";
    controls.shownDrive = 0;
    form->DriveListBox_Change();
    EXPECT_EQ(DirPath(), "/");
}

TEST_F(Form, DoubleClickEntersAFolder) {
    std::filesystem::create_directories(dir / "data" / "pens" / "north");
    std::filesystem::create_directories(dir / "data" / ".hidden");
    std::filesystem::create_directories(dir / "data" / "sheds");
    Load();
    auto entry = [&](const std::string& name) {
        for (std::size_t i = 0; i < controls.directory.size(); ++i) {
            if (controls.directory[i].ends_with(" " + name)) {
                return static_cast<int>(i);
            }
        }
        return -1;
    };
    EXPECT_EQ(entry(".hidden"), -1);
    EXPECT_EQ(entry("sheds"), entry("pens") + 1);
    form->DirListBox_DblClick(entry("pens"));
    EXPECT_EQ(DirPath(), dir / "data" / "pens");
    EXPECT_EQ(controls.currentEntry, entry("pens"));
    std::filesystem::remove_all(dir / "data" / "pens" / "north");
    form->DirListBox_DblClick(entry("north"));
    EXPECT_EQ(DirPath(), dir / "data" / "pens");
    EXPECT_TRUE(Lines().back().starts_with("** Error in DirListBox_DblClick() VB error = "));
    form->DirListBox_DblClick(entry("data"));
    EXPECT_EQ(DirPath(), dir / "data");
}

TEST_F(Form, SettingsFileReplacedOrUnusable) {
    Load();
    WriteFileBytes(
        folders.settingsFile,
        "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Trelk\\Ostrivan]\r\n"
        "\"PIC ID\"=\"from elsewhere\"\r\n\r\n[HKEY_USERS\\Other]\r\n\"Kept\"=\"y\"\r\n");
    controls.SetText(TextBox::FarmName, "Glen");
    EXPECT_EQ(Setting("Farm Name"), "Glen");
    EXPECT_EQ(Setting("PIC ID"), "from elsewhere");
    EXPECT_NE(ReadFileBytes(folders.settingsFile).find("\"Kept\"=\"y\""), std::string::npos);

    WriteFileBytes(dir / "blocker", "");
    folders = {dir / "blocker" / "Ostrivan.reg", dir / "data2"};
    controls = FakeControls();
    Load();
    EXPECT_EQ(controls.texts[TextBox::FarmName], "");
    form->cmdReadCard_Click();
    EXPECT_EQ(Lines().back(), "Read 2 rows: Card 1, Application 1. Tags 0.");
    EXPECT_FALSE(std::filesystem::exists(dir / "data2" / "log.txt")) << "no setting, no log";
}

// The PC/SC side answers as the service would: a hint follows a failure's own line and comes
// before its box, once for the failure.
TEST_F(Form, HintsOfTheServiceFollowTheirLinesBeforeTheirBoxes) {
    struct Case {
        const char* name;
        std::function<void(FakeTransport::Script&)> service;
        std::vector<std::string> lines;
    };
    const std::string cards = (dir / "data" / "cards").string();
    const std::string refused =
        "Hint: the PC/SC service refused this program, as it does outside the desktop session "
        "(ssh, cron, a service): run it in the desktop session, or allow it with a polkit rule "
        "for org.debian.pcsc-lite.access_pcsc and access_card";
    const Case cases[] = {
        {"a context refused",
         [](auto& pcsc) {
             pcsc.establish = {PcscCode::CommError, PcscCode::CommError};
         },
         {"ASEListReadersLenBufOnly()  46 Error - The smart card resource manager has shut down",
          refused, "ASEListReaders()  46 Error - The smart card resource manager has shut down"}},
        {"no reader at all",
         [](auto& pcsc) {
             pcsc.list = {PcscCode::NoReadersAvailable, PcscCode::NoReadersAvailable};
         },
         {"ASEListReadersLenBufOnly()  44 Error - No smart card reader is available",
          "Hint: there is no card reader: plug one in, or put card files in " + cards,
          "ASEListReaders()  44 Error - No smart card reader is available"}},
        {"a card refused",
         [](auto& pcsc) {
             pcsc.readers = {"R1"};
             pcsc.connect = {PcscCode::SecurityViolation};
         },
         {"Opening file x.csv", "Card Connect", "The inserted card is not an Extended I2C card",
          "ASEMemConnect()  49 Error - An unknown error has occurred", refused,
          "Closing file x.csv", "Finished!"}},
    };
    for (const Case& c : cases) {
        FakeTransport::Script pcsc;
        c.service(pcsc);
        ReaderLibrary service(std::make_unique<FakeTransport>(pcsc), folders.CardsFolder());
        controls = FakeControls();
        Load(service);
        if (!pcsc.readers.empty()) {
            controls.lines.clear();
            controls.boxes.clear();
            form->ReadCard("x.csv", dir / "x.csv");
        }
        EXPECT_EQ(Lines(), c.lines) << c.name;
        ASSERT_FALSE(controls.boxes.empty()) << c.name;
        EXPECT_EQ(controls.boxes[0].after, pcsc.readers.empty() ? 2u : 5u) << c.name;
        const auto logged = Logged();
        EXPECT_EQ(std::count_if(logged.begin(), logged.end(),
                                [](const std::string& line) { return line.starts_with("Hint"); }),
                  0)
            << c.name;
    }
}

TEST_F(Form, ReaderListIsReadAfreshWhenTheBoxOpens) {
    Load();
    controls.readerText = "typed";
    library.readerList = {'R', '1', 0, 'N', 'e', 'w', 0, 0};
    library.listLength = 7;
    form->cmbReaderNames_DropDown();
    EXPECT_EQ(controls.readers, (std::vector<std::string>{"R1", "New", ""}));
    EXPECT_EQ(controls.readerText, "typed");
    library.cause = FailureCause::ServiceNotRunning;
    const auto logged = Logged();
    for (int opened = 0; opened < 3; ++opened) {
        library.codes["list"] = {46, 46};
        form->cmbReaderNames_DropDown();
    }
    EXPECT_EQ(controls.readers, (std::vector<std::string>{"R1", "New", ""})) << "kept";
    EXPECT_EQ(Lines(), std::vector<std::string>{"Hint: the PC/SC service is not running; start "
                                                "it with: sudo systemctl start pcscd"})
        << "once";
    EXPECT_TRUE(controls.boxes.empty());
    EXPECT_EQ(Logged(), logged);
    form->cmbReaderNames_DropDown();
    library.codes["list"] = {46, 46};
    form->cmbReaderNames_DropDown();
    EXPECT_EQ(controls.lines.size(), 2u) << "again after a listing that worked";
}

TEST_F(Form, StartUpGoesOnWithoutItsDataFolderAndReadCardThenNeedsAFolder) {
    WriteFileBytes(dir / "caf\xC3\xA9", "a file where the folder should be");
    folders.dataFolder = dir / "caf\xC3\xA9" / "data";
    Load();
    EXPECT_EQ(Setting("Farm Name"), "myfarm");
    EXPECT_EQ(controls.texts[TextBox::FarmName], "myfarm");
    EXPECT_EQ(controls.readers, (std::vector<std::string>{"R1", "R2", "", ""}));
    const auto data = dir / "caf\xE9" / "data"; // the folder's name in the code page
    EXPECT_EQ(Lines(),
              (std::vector<std::string>{
                  "Log file " + (data / "log.txt").string() + " cannot be written: Not a directory",
                  "Cannot create the data folder " + data.string() + ": Not a directory"}));
    EXPECT_TRUE(DirPath().empty());
    form->cmdReadCard_Click();
    EXPECT_EQ(Lines().back(),
              "Read Card needs a folder for the export file: choose a drive and a folder");
    EXPECT_EQ(library.Count("wait"), 0);
    controls.shownDrive = 0;
    form->DriveListBox_Change();
    EXPECT_EQ(DirPath(), "/") << "a drive chosen shows its folder";
}

TEST_F(Form, TypedReaderNameMeetsACardFileNamedInUtf8) {
    ReaderLibrary cards(nullptr, folders.CardsFolder());
    Load(cards);
    const auto formatted = TestCard("formatted"); // a card file that came after start-up
    WriteFileBytes(folders.CardsFolder() / "K\xC3\xBChe.card",
                   std::string(formatted->begin(), formatted->begin() + CardMemorySize));
    controls.readerText = "K\xFChe"; // typed: code-page text
    EXPECT_EQ(form->ReadCard("x.csv", dir / "x.csv"), Outcome::Done);
    controls.readerText = "K\xC3"; // no other name is near enough
    EXPECT_EQ(form->ReadCard("x.csv", dir / "x.csv"), Outcome::CardError);
    std::filesystem::remove(folders.CardsFolder() / "K\xC3\xBChe.card");
    controls.readerText = "K\xC3\xBChe"; // as the companion names it
    EXPECT_EQ(form->ReadCard("x.csv", dir / "x.csv"), Outcome::CardError);
    EXPECT_EQ(Lines()[Lines().size() - 3],
              "Hint: there is no card in the reader K\xFChe; put one in and try again");
}

std::vector<std::string> Archived(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    std::error_code none;
    for (const auto& entry : std::filesystem::directory_iterator(folder, none)) {
        names.push_back(entry.path().filename());
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(CardArchive, NamesTellTimeAndReaderAndAreNeverUsedTwice) {
    TempDir dir;
    const CardArchive archive(dir / "archive");
    const std::string stamp = "2004-03-15_14-07-09 ";
    const std::uint8_t bytes[] = {1, 2, 3};
    for (const std::string& reader :
         {std::string("R1"), std::string("R1"), std::string("a/b\x01"), std::string(300, 'r')}) {
        EXPECT_EQ(archive.Keep({2004, 3, 15, 14, 7, 9}, reader, bytes).failure, "") << reader;
    }
    EXPECT_EQ(Archived(dir / "archive"),
              (std::vector<std::string>{stamp + "R1-2.card", stamp + "R1.card", stamp + "a_b_.card",
                                        stamp + std::string(230, 'r') + ".card"}));
    EXPECT_EQ(ReadFileBytes(dir / "archive" / (stamp + "R1.card")), "\x01\x02\x03");
}

} // namespace
