#include "ui/MainWindow.h"

#include "ui/TextBytes.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QSignalBlocker>
#include <functional>

namespace {

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

MainWindow::MainWindow(ASEMEM& library, AppFolders folders, DriveSource drives)
    : form_(*this, library, std::move(folders), std::move(drives)) {
    setWindowTitle("Dumevrel Ostrivan");
    setFixedSize(4815 / 15, 5685 / 15);
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

    QWidget* const tabOrder[] = {TextFarmName, TextPICId,      cmdReadCard,
                                 DirListBox,   ListStatus,     DriveListBox,
                                 TextFileName, cmbReaderNames, cmdClearCard};
    for (std::size_t i = 0; i + 1 < std::size(tabOrder); ++i) {
        setTabOrder(tabOrder[i], tabOrder[i + 1]);
    }
    TextFarmName->setFocus();
}

void MainWindow::ConnectHandlers() {
    connect(cmdReadCard, &QPushButton::clicked, this, [this] { form_.cmdReadCard_Click(); });
    connect(cmdClearCard, &QPushButton::clicked, this, [this] { form_.cmdClearCard_Click(); });
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
    } else {
        QApplication::restoreOverrideCursor();
    }
}

void MainWindow::PaintList() {
    ListStatus->setCurrentRow(-1);
    ListStatus->scrollToBottom();
    ListStatus->repaint();
}

void MainWindow::AddLine(std::string_view text, LineKind) {
    ListStatus->addItem(FromCodePage(text));
}

int MainWindow::LineCount() const {
    return ListStatus->count();
}

void MainWindow::RemoveFirstLine() {
    delete ListStatus->takeItem(0);
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
