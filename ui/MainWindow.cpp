#include "ui/MainWindow.h"

#include "ui/TextBytes.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMessageBox>
#include <QShortcut>
#include <QSignalBlocker>
#include <functional>

namespace {

constexpr int MaxStatusLines = 32767; // the list's count is a 16-bit number

// Positions are in twips on the window's own grid: 15 twips make one pixel.
QRect Twips(int left, int top, int width, int height) {
    return {left / 15, top / 15, width / 15, height / 15};
}

template <typename Control> Control* Place(QWidget* window, const char* name, QRect where) {
    auto* control = new Control(window);
    control->setObjectName(name);
    control->setGeometry(where);
    return control;
}

void Caption(QWidget* window, const char* name, const char* text, QRect where) {
    Place<QLabel>(window, name, where)->setText(text);
}

QFont Font(const char* family, QFont::StyleHint hint) {
    QFont font(family);
    font.setStyleHint(hint);
    font.setPointSizeF(8.25);
    return font;
}

// The reader box: before it opens its list it lets the form list the readers afresh.
class ReaderBox : public QComboBox {
public:
    using QComboBox::QComboBox;
    std::function<void()> dropDown;

    void showPopup() override {
        dropDown();
        QComboBox::showPopup();
    }
};

QMessageBox::Icon BoxIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Critical:
        return QMessageBox::Critical;
    default:
        return QMessageBox::NoIcon;
    }
}

// The ordinary pointer over a message box, also while a command shows the busy cursor.
int ShowBox(QWidget* window, MessageIcon icon, std::string_view caption, std::string_view text,
            QMessageBox::StandardButtons buttons) {
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    QMessageBox box(BoxIcon(icon), FromCodePage(caption), FromCodePage(text), buttons, window);
    box.setDefaultButton(QMessageBox::Ok);
    const int answer = box.exec();
    QApplication::restoreOverrideCursor();
    return answer;
}

} // namespace

MainWindow::MainWindow(ReaderMaker readers, AppFolders folders, DriveSource drives)
    : form_(*this, std::move(readers), std::move(folders), std::move(drives)),
      workerView_(*this, {[this](std::string_view text, LineKind kind) { AddLine(text, kind); },
                          [this](ProgressOf what, std::int32_t done, std::int32_t total) {
                              ShowProgress(what, done, total);
                          },
                          [this](std::string_view text, std::string_view caption, MessageIcon icon,
                                 bool question) {
                              if (!question) {
                                  ShowMessage(text, caption, icon);
                                  return MessageAnswer::Ok;
                              }
                              return AskOkCancel(text, caption, icon);
                          },
                          [this] { OperationEnded(); }}) {
    setWindowTitle("Dumevrel Ostrivan");
    setFixedSize(4815 / 15, 6255 / 15);
    // The layout was made for a small sans-serif face of 8.25 points; controls inherit it.
    setFont(Font("Arial", QFont::SansSerif));
    BuildControls();
    ConnectHandlers();
}

void MainWindow::BuildControls() {
    cmdClearCard = Place<QPushButton>(this, "cmdClearCard", Twips(3720, 2880, 1035, 435));
    cmdClearCard->setText("&Format Card");
    auto* readerBox = Place<ReaderBox>(this, "cmbReaderNames", Twips(120, 5280, 4575, 315));
    readerBox->dropDown = [this] { form_.cmbReaderNames_DropDown(); };
    cmbReaderNames = readerBox;
    cmbReaderNames->setEditable(true);
    cmbReaderNames->setInsertPolicy(QComboBox::NoInsert);
    cmbReaderNames->setCompleter(nullptr); // a typed reader name is taken as typed
    TextFileName = Place<QLineEdit>(this, "TextFileName", Twips(1080, 1080, 2055, 315));
    TextFileName->setText("data");
    DriveListBox = Place<QComboBox>(this, "DriveListBox", Twips(120, 1560, 3015, 315));
    ListStatus = Place<QListWidget>(this, "ListStatus", Twips(120, 3360, 4635, 1530));
    ListStatus->setFont(Font("Courier New", QFont::TypeWriter));
    ListStatus->setSelectionMode(QAbstractItemView::SingleSelection);
    ListStatus->setUniformItemSizes(true); // one line each: keeps adding a line cheap
    DirListBox = Place<QListWidget>(this, "DirListBox", Twips(120, 2040, 3015, 1215));
    cmdReadCard = Place<QPushButton>(this, "cmdReadCard", Twips(3720, 1920, 1035, 435));
    cmdReadCard->setText("&Read Card");
    TextPICId = Place<QLineEdit>(this, "TextPICId", Twips(1080, 480, 2055, 315));
    TextFarmName = Place<QLineEdit>(this, "TextFarmName", Twips(1080, 120, 2055, 315));
    Caption(this, "Label3", "Readers", Twips(120, 5040, 960, 195));
    Caption(this, "Label6", "File to save", Twips(120, 1080, 960, 195));
    Caption(this, "Label2", "PIC ID:", Twips(120, 540, 765, 195));
    Caption(this, "Label1", "Farm Name", Twips(120, 180, 1005, 195));
    // The row the window grew by: how far a command has got, and its Cancel.
    ProgressBar = Place<QProgressBar>(this, "ProgressBar", Twips(120, 5760, 3480, 315));
    ProgressBar->setTextVisible(false);
    ProgressBar->setValue(0);
    cmdCancel = Place<QPushButton>(this, "cmdCancel", Twips(3720, 5700, 1035, 435));
    cmdCancel->setText("&Cancel");
    cmdCancel->setEnabled(false);

    QWidget* const tabOrder[] = {TextFarmName, TextPICId,    cmdReadCard,  DirListBox,
                                 ListStatus,   DriveListBox, TextFileName, cmbReaderNames,
                                 cmdClearCard, cmdCancel};
    for (std::size_t i = 0; i + 1 < std::size(tabOrder); ++i) {
        setTabOrder(tabOrder[i], tabOrder[i + 1]);
    }
    TextFarmName->setFocus();
}

void MainWindow::ConnectHandlers() {
    connect(cmdReadCard, &QPushButton::clicked, this, [this] { form_.cmdReadCard_Click(); });
    connect(cmdClearCard, &QPushButton::clicked, this, [this] { form_.cmdClearCard_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { form_.cmdCancel_Click(); });
    connect(new QShortcut(Qt::Key_Escape, this), &QShortcut::activated, cmdCancel,
            &QPushButton::click);
    connect(DriveListBox, &QComboBox::currentIndexChanged, this,
            [this] { form_.DriveListBox_Change(); });
    connect(TextFarmName, &QLineEdit::textChanged, this, [this] { form_.TextFarmName_Change(); });
    connect(TextPICId, &QLineEdit::textChanged, this, [this] { form_.TextPICId_Change(); });
    connect(DirListBox, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { form_.DirListBox_DblClick(DirListBox->row(item)); });
}

QLineEdit* MainWindow::Box(TextBox box) const {
    switch (box) {
    case TextBox::FarmName:
        return TextFarmName;
    case TextBox::PICId:
        return TextPICId;
    default:
        return TextFileName;
    }
}

std::string MainWindow::Text(TextBox box) const {
    return ToCodePage(Box(box)->text());
}

std::optional<char32_t> MainWindow::Unstorable(TextBox box) const {
    return codepage::FirstUnstorable(std::u32string_view(Characters(Box(box)->text())));
}

void MainWindow::SetText(TextBox box, std::string_view text) {
    Box(box)->setText(FromCodePage(text));
}

std::string MainWindow::ReaderText() const {
    return ToCodePage(cmbReaderNames->currentText());
}

void MainWindow::SetReaderText(std::string_view text) {
    cmbReaderNames->setEditText(FromCodePage(text));
}

void MainWindow::AddReader(std::string_view name) {
    cmbReaderNames->addItem(FromCodePage(name));
}

void MainWindow::ClearReaders() {
    cmbReaderNames->clear();
}

void MainWindow::ShowDrives(const std::vector<std::string>& drives, int shown) {
    const QSignalBlocker quiet(DriveListBox);
    DriveListBox->clear();
    for (const std::string& drive : drives) {
        DriveListBox->addItem(FromCodePage(drive));
    }
    DriveListBox->setCurrentIndex(shown);
}

int MainWindow::ShownDrive() const {
    return DriveListBox->currentIndex();
}

void MainWindow::ShowDirectory(const std::vector<std::string>& entries, int current) {
    DirListBox->clear();
    for (const std::string& entry : entries) {
        DirListBox->addItem(FromCodePage(entry));
    }
    DirListBox->setCurrentRow(current);
}

void MainWindow::SetBusy(bool busy) {
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        ProgressBar->setValue(0);
    } else {
        QApplication::restoreOverrideCursor();
    }
    for (QWidget* locked : std::initializer_list<QWidget*>{
             cmdReadCard, cmdClearCard, cmbReaderNames, TextFileName, DriveListBox, DirListBox}) {
        locked->setEnabled(!busy);
    }
    cmdCancel->setEnabled(busy);
}

void MainWindow::RunOperation(std::function<void(OperationView)> work,
                              std::function<void()> ended) {
    ended_ = std::move(ended);
    std::promise<void> done;
    workDone_ = done.get_future();
    worker_ = std::thread([this, work = std::move(work), done = std::move(done)]() mutable {
        work({workerView_, workerView_});
        workerView_.Ended();
        done.set_value();
    });
}

void MainWindow::OperationEnded() {
    worker_.join();
    std::exchange(ended_, {})();
}

bool MainWindow::OperationEnded(std::chrono::milliseconds patience) {
    if (!worker_.joinable() || workDone_.wait_for(patience) == std::future_status::ready) {
        return true;
    }
    return false;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (form_.Busy()) {
        // Nothing is asked: the operation stops, and no box of it holds it any more.
        form_.Form_Unload();
        workerView_.Close();
    }
    event->accept();
}

MainWindow::~MainWindow() {
    form_.Form_Unload();
    workerView_.Close();
    if (worker_.joinable()) {
        worker_.join();
    }
}

void MainWindow::AddLine(std::string_view text, LineKind) {
    // The oldest line makes room, so the newest is always there.
    while (ListStatus->count() >= MaxStatusLines) {
        delete ListStatus->takeItem(0);
    }
    ListStatus->addItem(FromCodePage(text));
    // Once for the lines that come in one turn of the event loop, before they are painted.
    if (!scrollQueued_) {
        scrollQueued_ = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                scrollQueued_ = false;
                ListStatus->setCurrentRow(-1);
                ListStatus->scrollToBottom();
            },
            Qt::QueuedConnection);
    }
}

void MainWindow::ShowProgress(ProgressOf, std::int32_t done, std::int32_t total) {
    ProgressBar->setMaximum(total);
    ProgressBar->setValue(done);
}

void MainWindow::ShowMessage(std::string_view text, std::string_view caption, MessageIcon icon) {
    ShowBox(this, icon, caption, text, QMessageBox::Ok);
}

MessageAnswer MainWindow::AskOkCancel(std::string_view text, std::string_view caption,
                                      MessageIcon icon) {
    return ShowBox(this, icon, caption, text, QMessageBox::Ok | QMessageBox::Cancel) ==
                   QMessageBox::Ok
               ? MessageAnswer::Ok
               : MessageAnswer::Cancel;
}
