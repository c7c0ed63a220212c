#include "ui/frmOstrivan.h"

#include "tests/support/CardBuilder.h"
#include "tests/support/FakeLibrary.h"
#include "tests/support/TempDir.h"
#include "tests/support/Tmpfs.h"
#include "ui/DirectoryList.h"

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

struct BoxSeen {
    std::string title;
    std::string text;
    QMessageBox::Icon icon;
    bool withCancel;
};

// Answers the window's message boxes as an operator would, and notes what they said.
class Operator {
public:
    QMessageBox::StandardButton answer = QMessageBox::Ok;
    std::vector<BoxSeen> boxes;

    Operator() {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) {
                return;
            }
            const bool withCancel = box->button(QMessageBox::Cancel) != nullptr;
            boxes.push_back({box->windowTitle().toStdString(), box->text().toStdString(),
                             box->icon(), withCancel});
            box->button(withCancel ? answer : QMessageBox::Ok)->click();
        });
        timer_.start(5);
    }

private:
    QTimer timer_;
};

class Window : public testing::Test {
protected:
    TempDir dir;
    AppFolders folders{QString::fromStdString((dir / "config" / "Trelk" / "Ostrivan.reg").string()),
                       QString::fromStdString((dir / "data").string())};
    FakeLibrary library;
    Operator person;
    QStringList volumes = {"/", QString::fromStdString((dir / "gone").string())};
    std::unique_ptr<frmOstrivan> window;
    Registry registry{folders.settingsFile.toStdString()};
    registry_mdl settings{registry};

    Window() {
        library.readerList = {'R', '1', 0, 'R', '2', 0};
        library.readerList.push_back(0);
        BuildEmptyCardImage(*library.card);
    }

    void Load() {
        window = std::make_unique<frmOstrivan>(library, folders, [this] { return volumes; });
        window->Form_Load();
    }
    std::string Setting(std::string_view name) {
        return SettingText(settings.LoadRegistrySetting(HKEY_LOCAL_MACHINE, SettingsKey, name));
    }
    void Store(std::string_view name, const SettingValue& value, std::uint32_t type = REG_SZ) {
        settings.SaveRegistrySetting(HKEY_LOCAL_MACHINE, SettingsKey, name, value, type);
    }
    std::vector<std::string> StatusLines() const {
        std::vector<std::string> lines;
        for (int i = 0; i < window->ListStatus->count(); ++i) {
            lines.push_back(window->ListStatus->item(i)->text().toStdString());
        }
        return lines;
    }
    std::vector<std::string> LogTexts() const {
        std::vector<std::string> texts;
        const std::string log = ReadFileBytes(dir / "data" / "log.txt");
        for (std::size_t start = 0, end; (end = log.find("\r\n", start)) != std::string::npos;
             start = end + 2) {
            texts.push_back(log.substr(start + 28, end - start - 28));
        }
        return texts;
    }
    std::vector<std::string> Items() const {
        std::vector<std::string> items;
        for (int i = 0; i < window->cmbReaderNames->count(); ++i) {
            items.push_back(window->cmbReaderNames->itemText(i).toStdString());
        }
        return items;
    }
    std::filesystem::path DirPath() const { return window->DirListBox->Path().toStdString(); }
};

const std::string Header =
    "RecType,Time,Date,Tag Nr,Invoice Nr,Location Id,Location Name,Weight,Gate Nr,Device Id,"
    "Version,\r\n";

TEST_F(Window, FirstRunOnAnEmptyStore) {
    Load();
    EXPECT_EQ(Setting("Farm Name"), "myfarm");
    EXPECT_EQ(Setting("PIC ID"), "");
    EXPECT_EQ(Setting("File Path"), "");
    EXPECT_EQ(Setting("Log File"), (dir / "data" / "log.txt").string());
    EXPECT_EQ(settings.LoadRegistrySetting(HKEY_LOCAL_MACHINE, SettingsKey, "Mode"),
              SettingValue(0));
    EXPECT_EQ(window->TextFarmName->text(), "myfarm");
    EXPECT_EQ(window->TextPICId->text(), "");
    EXPECT_EQ(DirPath(), dir / "data");
    EXPECT_EQ(LogTexts().front(), "STARTING Ostrivan Ver  2. 2. 1");
    EXPECT_TRUE(StatusLines().empty());
    EXPECT_EQ(window->windowTitle(), "Dumevrel Ostrivan");
    EXPECT_EQ(window->size(), QSize(321, 379));
    EXPECT_EQ(window->cmdReadCard->geometry(), QRect(248, 128, 69, 29));
    EXPECT_EQ(window->ListStatus->font().pointSizeF(), 8.25);
}

TEST_F(Window, LaterRunWritesNoFirstRunValues) {
    std::filesystem::create_directories(dir / "exports");
    Store("Farm Name", "Hill Farm");
    Store("PIC ID", "P-77");
    Store("File Path", (dir / "exports").string());
    Store("Log File", (dir / "other.log").string());
    Store("Mode", 5, REG_DWORD);
    Load();
    EXPECT_EQ(Setting("Log File"), (dir / "other.log").string());
    EXPECT_EQ(Setting("Mode"), "5");
    EXPECT_EQ(window->TextFarmName->text(), "Hill Farm");
    EXPECT_EQ(window->TextPICId->text(), "P-77");
    EXPECT_EQ(DirPath(), dir / "exports");
    EXPECT_EQ(window->DriveListBox->Drive(), "/");
}

TEST_F(Window, ClearedFarmNameKeepsTheOtherSettings) {
    Store("Farm Name", "");
    Store("PIC ID", "P-77");
    Store("Log File", "");
    Load();
    EXPECT_EQ(Setting("Farm Name"), "myfarm");
    EXPECT_EQ(Setting("PIC ID"), "P-77");
    EXPECT_EQ(Setting("Log File"), "");
    EXPECT_EQ(Setting("File Path"), "") << "a missing value still gets its first value";
}

TEST_F(Window, FilePathThatCannotBeUsedFallsBackToTheDataFolder) {
    Store("Farm Name", "f");
    Store("File Path", (dir / "missing").string());
    Load();
    EXPECT_EQ(DirPath(), dir / "data");
    ASSERT_EQ(StatusLines().size(), 1u);
    EXPECT_NE(StatusLines()[0].find("missing"), std::string::npos);
}

struct ReaderListCase {
    const char* name;
    std::vector<std::uint8_t> list;
    std::int32_t length;
    std::vector<std::string> items;
    std::string text;
    bool labels;
};

TEST_F(Window, ReaderListCases) {
    std::vector<std::uint8_t> longList(2001, 'x');
    longList[1999] = 0;
    const ReaderListCase cases[] = {
        {"two readers", {'R', '1', 0, 'R', '2', 0, 0}, 6, {"R1", "R2", ""}, "R1", true},
        {"length 0", {}, 0, {""}, "", true},
        {"2000 accepted",
         std::vector<std::uint8_t>(longList.begin(), longList.begin() + 2000),
         2000,
         {std::string(1999, 'x'), ""},
         std::string(1999, 'x'),
         true},
        {"2001 refused", longList, 2001, {}, "", false},
        {"name without zero byte", {'R', '1'}, 1, {}, "", true},
    };
    for (const auto& c : cases) {
        library.readerList = c.list;
        library.listLength = c.length;
        Load();
        EXPECT_EQ(Items(), c.items) << c.name;
        EXPECT_EQ(window->cmbReaderNames->currentText().toStdString(), c.text) << c.name;
        const auto lines = StatusLines();
        EXPECT_EQ(lines.empty(), c.labels) << c.name;
        if (!c.labels) {
            EXPECT_EQ(lines, std::vector<std::string>{"ERROR - frmOstrivan - buffer too small!"});
            window->cmdReadCard_Click();
            EXPECT_EQ(ReadFileBytes(dir / "data" / "data.csv").substr(0, 13), ",,,,,,,,,,,\r\n");
        }
    }
}

TEST_F(Window, FailedReaderListIsReportedAndTheNamesAreStillAsked) {
    library.codes["list"] = {44, 46};
    Load();
    EXPECT_EQ(StatusLines(),
              (std::vector<std::string>{
                  "ASEListReadersLenBufOnly()  44 Error - No smart card reader is available",
                  "ASEListReaders()  46 Error - The smart card resource manager has shut down"}));
    ASSERT_EQ(person.boxes.size(), 2u);
    EXPECT_EQ(person.boxes[0].title, "Ostrivan");
    EXPECT_EQ(person.boxes[0].icon, QMessageBox::Critical);
}

TEST_F(Window, ReadCardWritesTheExportFile) {
    const std::pair<QString, std::string> names[] = {
        {"data", "data.csv"}, {"report.", "report."}, {"my.data", "my.data"}, {"", ".csv"}};
    Load();
    for (const auto& [typed, file] : names) {
        window->TextFileName->setText(typed);
        window->cmdReadCard_Click();
        EXPECT_EQ(ReadFileBytes(dir / "data" / file),
                  Header + "Card,,,,,,,,, 32,,\r\nApplication,,,,,,,,,,OSTRIVAN 007,\r\n")
            << file;
        const auto lines = StatusLines();
        EXPECT_EQ(lines[lines.size() - 2], "Closing file " + file);
        EXPECT_EQ(lines.back(), "Finished!");
    }
    const auto log = LogTexts();
    EXPECT_NE(std::find(log.begin(), log.end(), "Opening file data.csv"), log.end());
    EXPECT_EQ(std::find(log.begin(), log.end(), "Finished!"), log.end());
}

TEST_F(Window, OverwriteQuestion) {
    Load();
    WriteFileBytes(dir / "data" / "data.csv", "old");
    person.answer = QMessageBox::Cancel;
    window->cmdReadCard_Click();
    EXPECT_EQ(ReadFileBytes(dir / "data" / "data.csv"), "old");
    EXPECT_TRUE(StatusLines().empty());
    ASSERT_EQ(person.boxes.size(), 1u);
    EXPECT_EQ(person.boxes[0].text, "Export file exists! Okay to overwrite?");
    EXPECT_TRUE(person.boxes[0].withCancel);
    EXPECT_EQ(person.boxes[0].icon, QMessageBox::NoIcon);

    person.answer = QMessageBox::Ok;
    window->cmdReadCard_Click();
    EXPECT_EQ(ReadFileBytes(dir / "data" / "data.csv").substr(0, Header.size()), Header);
}

TEST_F(Window, ExportFileThatCannotBeCreated) {
    Load();
    window->TextFileName->setText("sub/data.csv");
    window->cmdReadCard_Click();
    const auto lines = StatusLines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "Opening file sub/data.csv");
    EXPECT_TRUE(
        lines[1].starts_with("** Error in cmdReadCard_Click() VB error = Cannot create file"));
    EXPECT_EQ(library.Count("wait"), 0);
}

TEST_F(Window, FailingExchangeLeavesTheHeader) {
    library.codes["wait"] = {46};
    Load();
    window->cmdReadCard_Click();
    EXPECT_EQ(ReadFileBytes(dir / "data" / "data.csv"), Header);
    EXPECT_EQ(Header.size(), 97u);
    EXPECT_EQ(StatusLines(),
              (std::vector<std::string>{"Opening file data.csv", "Card not inserted!",
                                        "Closing file data.csv", "Finished!"}));
}

TEST_F(Window, ExportFolderRemovedDuringTheReadIsReported) {
    std::filesystem::create_directories(dir / "exports");
    Store("Farm Name", "f");
    Store("File Path", (dir / "exports").string());
    library.codes["wait"] = {0};
    Load();
    // The card's failure box comes while the file is open: the folder goes meanwhile.
    library.codes["read"] = {44};
    person.answer = QMessageBox::Ok;
    QTimer::singleShot(0, [&] { std::filesystem::remove_all(dir / "exports"); });
    window->cmdReadCard_Click();
    const auto lines = StatusLines();
    EXPECT_TRUE(
        lines.back().starts_with("** Error in cmdReadCard_Click() VB error = File was removed"));
}

TEST_F(Window, FormatCard) {
    Load();
    person.answer = QMessageBox::Cancel;
    window->cmdClearCard_Click();
    EXPECT_TRUE(StatusLines().empty());
    EXPECT_EQ(library.Count("wait"), 0);
    ASSERT_EQ(person.boxes.size(), 1u);
    EXPECT_EQ(person.boxes[0].text, "Format Card. Are you sure? Will delete ALL records!!");
    EXPECT_EQ(person.boxes[0].icon, QMessageBox::Warning);

    person.answer = QMessageBox::Ok;
    window->cmdClearCard_Click();
    EXPECT_EQ(StatusLines(), (std::vector<std::string>{"Formatting Card", "Card Connect",
                                                       "Disconnect card", "Finished!"}));
    EXPECT_EQ(library.Count("write 7 0 19 0"), 1);
    EXPECT_EQ(LogTexts().back(), "Formatting Card");
}

TEST_F(Window, TypingSavesEveryChange) {
    Load();
    window->TextFarmName->clear();
    EXPECT_EQ(Setting("Farm Name"), "");
    window->show();
    window->TextFarmName->setFocus();
    for (const std::string expected : {"a", "ab", "abc"}) {
        QTest::keyClick(window->TextFarmName, expected.back());
        EXPECT_EQ(Setting("Farm Name"), expected);
    }
    window->TextPICId->setText(QString::fromUtf8("Gr\u00fcn \u0416"));
    EXPECT_EQ(Setting("PIC ID"), "Gr\xFCn ?");
}

TEST_F(Window, AcceleratorsPressTheButtons) {
    Load();
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(window->windowHandle(), Qt::Key_R, Qt::AltModifier);
    // A mnemonic presses its button the way a click does, after showing it pressed.
    for (int i = 0; i < 100 && !std::filesystem::exists(dir / "data" / "data.csv"); ++i) {
        QTest::qWait(20);
    }
    EXPECT_TRUE(std::filesystem::exists(dir / "data" / "data.csv"));
    QTest::keyClick(window->windowHandle(), Qt::Key_F, Qt::AltModifier);
    for (int i = 0; i < 100 && person.boxes.empty(); ++i) {
        QTest::qWait(20);
    }
    ASSERT_EQ(person.boxes.size(), 1u);
    EXPECT_EQ(person.boxes[0].text, "Format Card. Are you sure? Will delete ALL records!!");
}

TEST_F(Window, DriveThatFailsLeavesTheDirectoryList) {
    Load();
    const auto before = DirPath();
    window->DriveListBox->setCurrentIndex(1); // a listed volume whose folder is gone
    EXPECT_EQ(DirPath(), before);
    ASSERT_FALSE(StatusLines().empty());
    EXPECT_TRUE(StatusLines().back().starts_with("** Error in DriveListBox_Change() VB error = "));
    window->DriveListBox->setCurrentIndex(0);
    EXPECT_EQ(DirPath(), "/");
}

TEST_F(Window, DoubleClickEntersAFolder) {
    std::filesystem::create_directories(dir / "data" / "pens" / "north");
    std::filesystem::create_directories(dir / "data" / "sheds");
    Load();
    auto entry = [&](const char* name) {
        const auto found = window->DirListBox->findItems(name, Qt::MatchEndsWith);
        return found.isEmpty() ? nullptr : found.front();
    };
    emit window->DirListBox->itemDoubleClicked(entry("pens"));
    EXPECT_EQ(DirPath(), dir / "data" / "pens");
    ASSERT_NE(entry("north"), nullptr);
    std::filesystem::remove_all(dir / "data" / "pens" / "north");
    emit window->DirListBox->itemDoubleClicked(entry("north"));
    EXPECT_EQ(DirPath(), dir / "data" / "pens");
    EXPECT_TRUE(StatusLines().back().starts_with("** Error in DirListBox_DblClick() VB error = "));
    emit window->DirListBox->itemDoubleClicked(entry("data"));
    EXPECT_EQ(DirPath(), dir / "data");
}

TEST_F(Window, StatusListKeepsTheNewestLineInViewAndNoneSelected) {
    Load();
    for (int i = 0; i < 50; ++i) {
        window->AddLine("line " + std::to_string(i));
    }
    EXPECT_EQ(window->ListStatus->currentRow(), -1);
    EXPECT_TRUE(window->ListStatus->selectedItems().isEmpty());
}

} // namespace
