#include "tests/support/FakeLibrary.h"
#include "tests/support/FarmCard.h"
#include "tests/support/TempDir.h"
#include "tests/support/Tmpfs.h"
#include "ui/DirectoryList.h"
#include "ui/frmOstrivan.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace {

// Faults that strike while the window works, made with the real settings file, log file,
// export file and disks; the card comes from a scripted library.
class Faults : public testing::Test {
protected:
    TempDir dir;
    AppFolders folders{QString::fromStdString((dir / "config" / "Ostrivan.reg").string()),
                       QString::fromStdString((dir / "data").string())};
    FakeLibrary library;
    std::unique_ptr<frmOstrivan> window;
    Registry registry{folders.settingsFile.toStdString()};
    registry_mdl settings{registry};
    QTimer boxCloser;

    Faults() {
        library.readerList = {'R', 0, 0};
        *library.card = FarmCard(1500).Image();
        QObject::connect(&boxCloser, &QTimer::timeout, [] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                box->button(QMessageBox::Ok)->click();
            }
        });
        boxCloser.start(5);
    }

    void Store(std::string_view name, const std::string& value) {
        settings.SaveRegistrySetting(HKEY_LOCAL_MACHINE, SettingsKey, name, value, REG_SZ);
    }
    std::string Setting(std::string_view name) {
        return SettingText(settings.LoadRegistrySetting(HKEY_LOCAL_MACHINE, SettingsKey, name));
    }
    void Load() {
        window = std::make_unique<frmOstrivan>(library, folders, [] { return QStringList{"/"}; });
        window->Form_Load();
    }
    std::vector<std::string> Lines(std::string_view start) const {
        std::vector<std::string> lines;
        for (int i = 0; i < window->ListStatus->count(); ++i) {
            const std::string line = window->ListStatus->item(i)->text().toStdString();
            if (line.starts_with(start)) {
                lines.push_back(line);
            }
        }
        return lines;
    }
    // Reads the card with the log in dir/logs, and the fault struck before the third block:
    // the export is as whole as without the fault. Returns the notices about the log.
    std::vector<std::string> ReadWithLogFault(const std::function<void()>& fault) {
        Store("Farm Name", "f");
        Store("Log File", (dir / "logs" / "log.txt").string());
        Load();
        const std::string whole = WholeExport();
        window->DirListBox->SetPath(QString::fromStdString((dir / "data").string()));
        library.calls.clear();
        library.beforeRead = [&](int read) {
            if (read == 3) {
                fault();
            }
        };
        window->cmdReadCard_Click();
        EXPECT_EQ(ReadFileBytes(dir / "data" / "data.csv"), whole);
        EXPECT_EQ(Lines("Finished!").size(), 2u);
        return Lines("Log file ");
    }
    // The export of the same card when nothing goes wrong.
    std::string WholeExport() {
        const auto folder = dir / "whole";
        std::filesystem::create_directories(folder);
        window->DirListBox->SetPath(QString::fromStdString(folder.string()));
        window->cmdReadCard_Click();
        return ReadFileBytes(folder / "data.csv");
    }
};

TEST_F(Faults, LogFolderGoneDuringARead) {
    std::filesystem::create_directories(dir / "logs");
    const auto notices = ReadWithLogFault([&] { std::filesystem::remove_all(dir / "logs"); });
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_TRUE(notices[0].ends_with("No such file or directory"));
}

TEST_F(Faults, LogDiskFullDuringARead) {
    OSTRIVAN_MOUNT_TMPFS(disk, dir / "logs", 64 * 1024);
    const auto notices = ReadWithLogFault([&] { disk.Fill(); });
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_TRUE(notices[0].ends_with("No space left on device"));
}

TEST_F(Faults, ExportDiskFullDuringARead) {
    OSTRIVAN_MOUNT_TMPFS(disk, dir / "exports", 16 * 1024);
    *library.card = FarmCard(12000).Image(); // more rows than the file's last page holds
    Load();
    window->DirListBox->SetPath(QString::fromStdString((dir / "exports").string()));
    library.calls.clear();
    library.beforeRead = [&](int read) {
        if (read == 2) {
            disk.Fill();
        }
    };
    const auto openFiles = std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {});
    window->cmdReadCard_Click();
    const auto failures = Lines("** Error in TLVToCSV() VB error = Cannot write file");
    EXPECT_GT(failures.size(), 10u);
    EXPECT_EQ(Lines("Finished!").size(), 1u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {}), openFiles)
        << "the export file is closed";
    const std::string partial = ReadFileBytes(dir / "exports" / "data.csv");
    EXPECT_TRUE(partial.starts_with("RecType,"));
    EXPECT_TRUE(partial.ends_with("\r\n")) << "only whole rows reached the file";

    library.beforeRead = nullptr;
    const std::string whole = WholeExport();
    EXPECT_TRUE(whole.starts_with(partial)) << "the rows before the fault are those of a good read";
}

TEST_F(Faults, SettingsFileReplacedWhileRunning) {
    Load();
    WriteFileBytes(
        dir / "config" / "Ostrivan.reg",
        "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Trelk\\Ostrivan]\r\n"
        "\"PIC ID\"=\"from elsewhere\"\r\n\r\n[HKEY_USERS\\Other]\r\n\"Kept\"=\"yes\"\r\n");
    window->TextFarmName->setText("Glen");
    EXPECT_EQ(Setting("Farm Name"), "Glen");
    EXPECT_EQ(Setting("PIC ID"), "from elsewhere");
    EXPECT_NE(ReadFileBytes(dir / "config" / "Ostrivan.reg").find("\"Kept\"=\"yes\""),
              std::string::npos);
}

TEST_F(Faults, CorruptSettingsFileAtStart) {
    std::filesystem::create_directories(dir / "config");
    constexpr char Garbage[] = "\x00\x01[\xFF\r\n\"Farm Name\"=\"unterminated\r\n";
    const std::string garbage(Garbage, sizeof Garbage - 1);
    WriteFileBytes(dir / "config" / "Ostrivan.reg", garbage);
    Load();
    EXPECT_EQ(window->TextFarmName->text(), "myfarm");
    EXPECT_NE(ReadFileBytes(dir / "config" / "Ostrivan.reg").find(garbage), std::string::npos);
    window->cmdReadCard_Click();
    EXPECT_EQ(Lines("Finished!").size(), 1u);
}

TEST_F(Faults, SettingsThatCannotBeWritten) {
    WriteFileBytes(dir / "blocker", "");
    folders.settingsFile = QString::fromStdString((dir / "blocker" / "Ostrivan.reg").string());
    Load();
    EXPECT_EQ(window->TextFarmName->text(), "");
    window->TextFarmName->setText("lost");
    window->cmdReadCard_Click();
    EXPECT_EQ(Lines("Finished!").size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(dir / "data" / "log.txt")) << "no setting, no log";
}

} // namespace
