#include "ui/MainWindow.h"

#include "tests/support/FakeLibrary.h"
#include "tests/support/TestFiles.h"

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <future>
#include <gtest/gtest.h>
#include <set>
#include <thread>

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

// Holds the card's read of one block, on the library's own thread, until the test lets it go
// (or ten seconds have passed, so that a window that cannot answer meanwhile fails the test
// rather than hangs it).
class HeldRead {
public:
    HeldRead(FakeLibrary& library, int block) {
        library.onCall = [state = state_, block](const std::string& call) {
            if (call.starts_with("read") && ++state->reads == block + 1) {
                state->reached.set_value();
                state->released.wait_for(std::chrono::seconds(10));
            }
        };
    }
    // A read given up ends on its own thread, with the fake library the test owns: it is let go,
    // and waited for.
    ~HeldRead() {
        Release();
        for (int i = 0; i < 1000 && BoundedLibrary::CallsLeftBehind() > 0; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    // Whether the read is held now, waiting for it a while; the window's events go on.
    bool Reached() {
        for (int i = 0; i < 500; ++i) {
            if (reached_.wait_for(std::chrono::seconds(0)) == std::future_status::ready) {
                return true;
            }
            QTest::qWait(10);
        }
        return false;
    }
    void Release() {
        if (!std::exchange(releasedOnce_, true)) {
            state_->release.set_value();
        }
    }

private:
    struct State {
        std::atomic<int> reads = 0;
        std::promise<void> reached;
        std::promise<void> release;
        std::shared_future<void> released = release.get_future().share();
    };
    std::shared_ptr<State> state_ = std::make_shared<State>();
    std::future<void> reached_ = state_->reached.get_future();
    bool releasedOnce_ = false;
};

class Window : public testing::Test {
protected:
    TempDir dir;
    AppFolders folders{dir / "config" / "Ostrivan.reg", dir / "data"};
    FakeLibrary library;
    Operator person;
    std::unique_ptr<MainWindow> window;

    // Until the command under way has ended, its last line shown.
    void WaitUntilIdle() {
        for (int i = 0; i < 1000 && window->Form().Busy(); ++i) {
            QTest::qWait(10);
        }
        ASSERT_FALSE(window->Form().Busy());
    }
    std::vector<std::string> Lines() const {
        std::vector<std::string> lines;
        for (int row = 0; row < window->ListStatus->count(); ++row) {
            lines.push_back(window->ListStatus->item(row)->text().toStdString());
        }
        return lines;
    }

    Window() {
        library.readerList = {'R', '1', 0, 'L', 'e', 0xE9, 0x81, 0, 0};
        BuildEmptyCardImage(*library.card);
    }
    void Load() {
        window = std::make_unique<MainWindow>(Borrowed(library), folders, [this] {
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
    const QWidget* topToBottom[] = {
        window->TextFarmName, window->TextPICId,  window->TextFileName,   window->DriveListBox,
        window->DirListBox,   window->ListStatus, window->cmbReaderNames, window->cmdCancel};
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
    QTest::keyClick(window->windowHandle(), Qt::Key_R, Qt::AltModifier);
    for (int i = 0; i < 100 && !std::filesystem::exists(dir / "data" / "data.csv"); ++i) {
        QTest::qWait(20);
    }
    WaitUntilIdle();
    EXPECT_TRUE(std::filesystem::exists(dir / "data" / "data.csv"));
    QTest::keyClick(window->windowHandle(), Qt::Key_F, Qt::AltModifier);
    for (int i = 0; i < 100 && person.boxes.empty(); ++i) {
        QTest::qWait(20);
    }
    WaitUntilIdle();
    ASSERT_EQ(person.boxes.size(), 1u);
    EXPECT_EQ(person.boxes[0].text, "Format Card. Are you sure? Will delete ALL records!!");
    EXPECT_EQ(person.boxes[0].title, "Ostrivan");
    EXPECT_EQ(person.boxes[0].icon, QMessageBox::Warning);
    EXPECT_EQ(person.boxes[0].cursor, Qt::ArrowCursor) << "the pointer over a box";
    EXPECT_EQ(Operator::Cursor(), Qt::BlankCursor) << "no cursor left over after the command";
}

// While a read waits for its card, the window answers: its timers fire, its list shows the
// blocks read so far and its progress; the controls the read uses are locked, and a key for a
// command is not kept for later.
TEST_F(Window, WindowAnswersWhileTheReadWaitsForTheCard) {
    library.card = TestCard("farm");
    HeldRead held(library, 2);
    Load();
    Show();
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (++ticks == 10) {
            held.Release(); // the read goes on once the window has shown it answers
        }
    });
    QTest::keyClick(window->windowHandle(), Qt::Key_R, Qt::AltModifier);
    ASSERT_TRUE(held.Reached());
    timer.start(20);
    EXPECT_EQ(Operator::Cursor(), Qt::WaitCursor);
    for (const QWidget* locked : std::initializer_list<const QWidget*>{
             window->cmdReadCard, window->cmdClearCard, window->cmbReaderNames,
             window->TextFileName, window->DriveListBox, window->DirListBox}) {
        EXPECT_FALSE(locked->isEnabled()) << locked->objectName().toStdString();
    }
    EXPECT_TRUE(window->cmdCancel->isEnabled());
    EXPECT_TRUE(window->TextFarmName->isEnabled());
    QTest::keyClick(window->windowHandle(), Qt::Key_R, Qt::AltModifier);
    QTest::keyClick(window->windowHandle(), Qt::Key_F, Qt::AltModifier);
    QTest::qWait(50);
    EXPECT_TRUE(Lines().back().starts_with("Card[00 064]=")) << Lines().back();
    EXPECT_EQ(window->ProgressBar->value(), 2);
    WaitUntilIdle();
    EXPECT_GE(ticks, 10) << "the timer fired while the read was held";
    EXPECT_EQ(library.Count("wait"), 1) << "the keys pressed meanwhile started nothing";
    EXPECT_TRUE(person.boxes.empty());
    EXPECT_EQ(window->ProgressBar->value(), window->ProgressBar->maximum());
    EXPECT_TRUE(window->cmdReadCard->isEnabled());
    EXPECT_FALSE(window->cmdCancel->isEnabled());
}

// Escape presses Cancel: a read held by a card that does not answer ends at once, as a
// failure does, with its rows and the blocks read before kept.
TEST_F(Window, EscapeCancelsAReadKeepingItsRowsAndBlocks) {
    library.card = TestCard("farm");
    HeldRead held(library, 40);
    Load();
    Show();
    window->cmdReadCard->click();
    ASSERT_TRUE(held.Reached());
    QTest::keyClick(window->TextFarmName, Qt::Key_Escape);
    WaitUntilIdle();
    const auto lines = Lines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2], "** Error in cmdReadCard_Click() VB error = Cancelled");
    const std::string exported = ReadFileBytes(dir / "data" / "data.csv");
    const auto rows = std::count(exported.begin(), exported.end(), '\n') - 1;
    EXPECT_GT(rows, 50);
    EXPECT_EQ(lines.back(), "Read Card cancelled: " + std::to_string(rows) + " rows kept");
    EXPECT_TRUE(exported.ends_with("\r\n"));
    const auto archive = std::filesystem::directory_iterator(dir / "data" / "archive");
    ASSERT_NE(archive, std::filesystem::directory_iterator());
    EXPECT_EQ(archive->file_size(), 40u * 64);
    EXPECT_EQ(LogTexts(dir / "data" / "log.txt").back(), lines.back());
}

// Closing the window stops the read and asks nothing: no box holds the program.
TEST_F(Window, ClosingTheWindowStopsTheReadAndAsksNothing) {
    library.card = TestCard("farm");
    HeldRead held(library, 3);
    Load();
    Show();
    window->cmdReadCard->click();
    ASSERT_TRUE(held.Reached());
    window->close();
    EXPECT_TRUE(window->OperationEnded(std::chrono::milliseconds(900)));
    EXPECT_TRUE(person.boxes.empty());
    const auto logged = LogTexts(dir / "data" / "log.txt");
    EXPECT_NE(std::find(logged.begin(), logged.end(),
                        "** Error in cmdReadCard_Click() VB error = The window was closed"),
              logged.end());
}

TEST_F(Window, BoxAnswersReachTheForm) {
    Load();
    WriteFileBytes(dir / "data" / "data.csv", "old");
    person.answer = QMessageBox::Cancel;
    window->cmdReadCard->click();
    EXPECT_EQ(ReadFileBytes(dir / "data" / "data.csv"), "old");
    person.answer = QMessageBox::Ok;
    window->cmdReadCard->click();
    WaitUntilIdle();
    EXPECT_TRUE(ReadFileBytes(dir / "data" / "data.csv").starts_with("RecType,"));
    library.codes["wait"] = {44};
    window->cmdClearCard->click();
    WaitUntilIdle();
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
    WaitUntilIdle();
    Show();
    window->cmbReaderNames->setFocus();
    window->cmbReaderNames->lineEdit()->clear();
    QTest::keyClicks(window->cmbReaderNames, "R");
    window->cmdClearCard->click();
    WaitUntilIdle();
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
    window->cmdReadCard->click();
    WaitUntilIdle();
    const int last = window->ListStatus->count() - 1;
    EXPECT_EQ(last + 1, 3 + 512 + 4);
    EXPECT_EQ(window->ListStatus->item(last - 1)->text(), "Finished!");
    EXPECT_TRUE(window->ListStatus->item(last)->text().startsWith("Read 1586 rows: "));
    EXPECT_EQ(window->ListStatus->currentRow(), -1);
    EXPECT_TRUE(window->ListStatus->selectedItems().isEmpty());
    QTest::qWait(50); // laid out
    const QRect shown = window->ListStatus->visualItemRect(window->ListStatus->item(last));
    const QRect view = window->ListStatus->viewport()->rect();
    EXPECT_TRUE(shown.top() >= view.top() && shown.bottom() <= view.bottom()) << "in view";
    // The list is bounded: its 16-bit count holds the newest 32767 lines.
    for (int i = 0; i < 32767; ++i) {
        window->AddLine(std::to_string(i), LineKind::Status);
    }
    EXPECT_EQ(window->ListStatus->count(), 32767);
    EXPECT_EQ(window->ListStatus->item(0)->text(), "0");
}

} // namespace
