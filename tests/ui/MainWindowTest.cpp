#include "ui/MainWindow.h"

#include "tests/support/FakeLibrary.h"
#include "tests/support/TestFiles.h"

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <set>

namespace {

struct BoxSeen {
    std::string title;
    std::string text;
    QMessageBox::Icon icon;
    bool withCancel;
    Qt::CursorShape cursor;
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
                             box->icon(), withCancel, Cursor()});
            box->button(withCancel ? answer : QMessageBox::Ok)->click();
        });
        timer_.start(5);
    }
    static Qt::CursorShape Cursor() {
        const QCursor* cursor = QApplication::overrideCursor();
        return cursor == nullptr ? Qt::BlankCursor : cursor->shape();
    }

private:
    QTimer timer_;
};

class Window : public testing::Test {
protected:
    TempDir dir;
    AppFolders folders{dir / "config" / "Ostrivan.reg", dir / "data"};
    FakeLibrary library;
    Operator person;
    std::unique_ptr<MainWindow> window;

    Window() {
        library.readerList = {'R', '1', 0, 'L', 'e', 0xE9, 0x81, 0, 0};
        BuildEmptyCardImage(*library.card);
    }
    void Load() {
        window = std::make_unique<MainWindow>(library, folders, [this] {
            return std::vector<std::filesystem::path>{"/", dir.Path()};
        });
        window->Form().Form_Load();
    }
    std::string Settings() const { return ReadFileBytes(folders.settingsFile); }
    void Show() {
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
};

TEST_F(Window, ControlsStandInTheirPlacesWithoutOverlapping) {
    Load();
    const QWidget* topToBottom[] = {window->TextFarmName,  window->TextPICId,  window->TextFileName,
                                    window->DriveListBox,  window->DirListBox, window->ListStatus,
                                    window->cmbReaderNames};
    for (std::size_t i = 0; i + 1 < std::size(topToBottom); ++i) {
        EXPECT_LT(topToBottom[i]->geometry().bottom(), topToBottom[i + 1]->geometry().top()) << i;
    }
    // Captions may reach under their boxes; controls that take input never overlap.
    const auto children = window->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    for (const QWidget* a : children) {
        EXPECT_TRUE(window->rect().contains(a->geometry())) << a->objectName().toStdString();
        for (const QWidget* b : children) {
            if (a->inherits("QLabel") || b->inherits("QLabel")) {
                continue;
            }
            EXPECT_TRUE(a == b || !a->geometry().intersects(b->geometry()))
                << a->objectName().toStdString() << " " << b->objectName().toStdString();
        }
    }
    EXPECT_GT(window->cmdReadCard->x(), window->DirListBox->geometry().right());
    // The dump lines' columns line up.
    EXPECT_TRUE(window->ListStatus->font().fixedPitch() ||
                QFontInfo(window->ListStatus->font()).fixedPitch());
}

TEST_F(Window, TabWalksEveryControlThatTakesInputOnceFromTheFarmName) {
    Load();
    Show();
    std::set<QWidget*> visited;
    for (int step = 0; step < 9; ++step) {
        visited.insert(QApplication::focusWidget());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    EXPECT_EQ(visited.size(), 9u);
    EXPECT_EQ(QApplication::focusWidget(), window->TextFarmName) << "and round again";
}

TEST_F(Window, AcceleratorsPressTheButtonsUnderTheBusyCursor) {
    Load();
    Show();
    std::vector<Qt::CursorShape> duringRead;
    library.onCall = [&](const std::string& call) {
        if (call.starts_with("read")) {
            duringRead.push_back(Operator::Cursor());
        }
    };
    QTest::keyClick(window->windowHandle(), Qt::Key_R, Qt::AltModifier);
    for (int i = 0; i < 100 && !std::filesystem::exists(dir / "data" / "data.csv"); ++i) {
        QTest::qWait(20);
    }
    EXPECT_EQ(duringRead, std::vector<Qt::CursorShape>{Qt::WaitCursor});
    QTest::keyClick(window->windowHandle(), Qt::Key_F, Qt::AltModifier);
    for (int i = 0; i < 100 && person.boxes.empty(); ++i) {
        QTest::qWait(20);
    }
    ASSERT_EQ(person.boxes.size(), 1u);
    EXPECT_EQ(person.boxes[0].text, "Format Card. Are you sure? Will delete ALL records!!");
    EXPECT_EQ(person.boxes[0].title, "Ostrivan");
    EXPECT_EQ(person.boxes[0].icon, QMessageBox::Warning);
    EXPECT_EQ(person.boxes[0].cursor, Qt::ArrowCursor) << "the pointer over a box";
    EXPECT_EQ(Operator::Cursor(), Qt::BlankCursor) << "no cursor left over after the command";
}

TEST_F(Window, BoxAnswersReachTheForm) {
    Load();
    WriteFileBytes(dir / "data" / "data.csv", "old");
    person.answer = QMessageBox::Cancel;
    window->cmdReadCard->click();
    EXPECT_EQ(ReadFileBytes(dir / "data" / "data.csv"), "old");
    person.answer = QMessageBox::Ok;
    window->cmdReadCard->click();
    EXPECT_TRUE(ReadFileBytes(dir / "data" / "data.csv").starts_with("RecType,"));
    library.codes["wait"] = {44};
    window->cmdClearCard->click();
    ASSERT_EQ(person.boxes.size(), 4u);
    EXPECT_EQ(person.boxes[1].icon, QMessageBox::NoIcon);
    EXPECT_TRUE(person.boxes[1].withCancel);
    EXPECT_EQ(person.boxes[3].icon, QMessageBox::Critical);
    EXPECT_FALSE(person.boxes[3].withCancel);
}

TEST_F(Window, TextChangesReachTheirHandlersInCodePage) {
    WriteFileBytes(folders.settingsFile, "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Trelk\\"
                                         "Ostrivan]\r\n\"Farm Name\"=hex(1):48,69,6c,6c,00\r\n");
    Load();
    EXPECT_NE(Settings().find("\"Farm Name\"=\"Hill\""), std::string::npos)
        << "start-up's setText ran the change handler";
    Show();
    window->TextFarmName->clear();
    QTest::keyClicks(window->TextFarmName, "ab");
    EXPECT_NE(Settings().find("\"Farm Name\"=\"ab\""), std::string::npos);
    window->TextPICId->setText(QString::fromUtf8("Gr\u00fcn"));
    for (const char* unstorable : {"Gr\u00fcn \u0416", "Gr\u00fcn \u0416\u0416"}) {
        window->TextPICId->setText(QString::fromUtf8(unstorable));
    }
    EXPECT_NE(Settings().find("\"PIC ID\"=\"Gr\xFCn\""), std::string::npos);
    ASSERT_EQ(window->ListStatus->count(), 1) << "said once";
    EXPECT_EQ(window->ListStatus->item(0)->text(),
              "The settings file cannot hold U+0416: PIC ID keeps its last value");
}

TEST_F(Window, ListEventsReachTheirHandlers) {
    std::filesystem::create_directories(dir / "data" / "pens");
    Load();
    window->DriveListBox->setCurrentIndex(0);
    EXPECT_EQ(window->Form().DirListBox().Path(), "/");
    window->DriveListBox->setCurrentIndex(1);
    EXPECT_EQ(window->Form().DirListBox().Path(), dir.Path());
    const auto items = window->DirListBox->findItems("data", Qt::MatchEndsWith);
    ASSERT_EQ(items.size(), 1);
    emit window->DirListBox->itemDoubleClicked(items.front());
    EXPECT_EQ(window->Form().DirListBox().Path(), dir / "data");
    EXPECT_EQ(window->DirListBox->item(window->DirListBox->count() - 1)->text().trimmed(), "pens");
}

TEST_F(Window, ReaderBoxBytesReachTheLibraryAsTheyAreAndTypedNamesAsTyped) {
    Load();
    EXPECT_EQ(window->cmbReaderNames->currentText(), "R1");
    window->cmbReaderNames->setCurrentIndex(1);
    window->cmdClearCard->click();
    Show();
    window->cmbReaderNames->setFocus();
    window->cmbReaderNames->lineEdit()->clear();
    QTest::keyClicks(window->cmbReaderNames, "R");
    window->cmdClearCard->click();
    const auto called = [&](const std::string& call) {
        return std::count(library.calls.begin(), library.calls.end(), call);
    };
    EXPECT_EQ(called("wait [Le\xE9\x81] 1 5000"), 1);
    EXPECT_EQ(called("wait [R] 1 5000"), 1);
    library.readerList = {'N', 'e', 'w', 0, 0}; // plugged in since start-up
    window->cmbReaderNames->showPopup();
    window->cmbReaderNames->hidePopup();
    EXPECT_EQ(window->cmbReaderNames->itemText(0), "New");
    EXPECT_EQ(window->cmbReaderNames->currentText(), "R") << "what was typed stays";
}

TEST_F(Window, LongReadKeepsEveryLineAndEndsScrolledToTheNewestWithNoneSelected) {
    library.card = TestCard("farm");
    Load();
    Show();
    std::pair<int, std::string> duringRead;
    library.onCall = [&](const std::string&) {
        if (library.Count("read") == 200) { // lines added, painted or not
            duringRead = {window->ListStatus->count(),
                          window->ListStatus->item(window->ListStatus->count() - 1)
                              ->text()
                              .left(13)
                              .toStdString()};
        }
    };
    window->cmdReadCard->click();
    EXPECT_EQ(duringRead, (std::pair<int, std::string>{3 + 199, "Card[12 672]="}));
    const int last = window->ListStatus->count() - 1;
    EXPECT_EQ(window->ListStatus->item(last - 1)->text(), "Finished!");
    EXPECT_TRUE(window->ListStatus->item(last)->text().startsWith("Read 1586 rows: "));
    EXPECT_EQ(window->ListStatus->currentRow(), -1);
    EXPECT_TRUE(window->ListStatus->selectedItems().isEmpty());
    const QRect shown = window->ListStatus->visualItemRect(window->ListStatus->item(last));
    const QRect view = window->ListStatus->viewport()->rect();
    EXPECT_TRUE(shown.top() >= view.top() && shown.bottom() <= view.bottom()) << "in view";
}

} // namespace
