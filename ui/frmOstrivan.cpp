#include "ui/frmOstrivan.h"

#include "card/ExportFile.h"
#include "report/NumberText.h"
#include "report/RuntimeError.h"
#include "ui/DirectoryList.h"
#include "ui/TextBytes.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <algorithm>
#include <array>

namespace {

constexpr int VersionMajor = 2;
constexpr int VersionMinor = 2;
constexpr int VersionRevision = 1;

constexpr std::size_t ReaderNameBufferSize = 2001;
constexpr std::int32_t LargestReaderList = 2000;

constexpr std::array<const char*, ExportColumnCount> ColumnLabels = {
    "RecType",       "Time",   "Date",    "Tag Nr",    "Invoice Nr", "Location Id",
    "Location Name", "Weight", "Gate Nr", "Device Id", "Version"};

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

QLabel* Caption(QWidget* window, const char* name, const char* text, QRect where) {
    auto* label = Place<QLabel>(window, name, where);
    label->setText(text);
    return label;
}

// A cursor over the whole program for as long as it lives, gone on every way out: the busy
// cursor while a command runs, the ordinary pointer over a message box within it.
class OverrideCursor {
public:
    explicit OverrideCursor(Qt::CursorShape shape) { QApplication::setOverrideCursor(shape); }
    ~OverrideCursor() { QApplication::restoreOverrideCursor(); }
    OverrideCursor(const OverrideCursor&) = delete;
    OverrideCursor& operator=(const OverrideCursor&) = delete;
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

} // namespace

frmOstrivan::frmOstrivan(ASEMEM& library, AppFolders folders, DriveList::VolumeSource volumes,
                         QWidget* parent)
    : QWidget(parent), library_(library), folders_(std::move(folders)),
      registry_(folders_.settingsFile.toStdString()), settings_(registry_),
      report_(*this, *this, settings_), assembler_(report_),
      cardBuffer_(std::make_unique<CardBuffer>()) {
    setWindowTitle("Dumevrel Ostrivan");
    setFixedSize(4815 / 15, 5685 / 15);
    // The layout was made for a small sans-serif face of 8.25 points; controls inherit it.
    QFont windowFont("Arial");
    windowFont.setStyleHint(QFont::SansSerif);
    windowFont.setPointSizeF(8.25);
    setFont(windowFont);
    DriveListBox = new DriveList(std::move(volumes), this);
    BuildControls();
    ConnectHandlers();
}

frmOstrivan::~frmOstrivan() = default;

void frmOstrivan::BuildControls() {
    cmdClearCard = Place<QPushButton>(this, "cmdClearCard", Twips(3720, 2880, 1035, 435));
    cmdClearCard->setText("&Format Card");
    cmbReaderNames = Place<QComboBox>(this, "cmbReaderNames", Twips(120, 5280, 4575, 315));
    cmbReaderNames->setEditable(true);
    cmbReaderNames->setInsertPolicy(QComboBox::NoInsert);
    TextFileName = Place<QLineEdit>(this, "TextFileName", Twips(1080, 1080, 2055, 315));
    TextFileName->setText("data");
    DriveListBox->setObjectName("DriveListBox");
    DriveListBox->setGeometry(Twips(120, 1560, 3015, 315));
    ListStatus = Place<QListWidget>(this, "ListStatus", Twips(120, 3360, 4635, 1530));
    QFont fixedPitch("Courier New");
    fixedPitch.setPointSizeF(8.25);
    fixedPitch.setStyleHint(QFont::TypeWriter);
    ListStatus->setFont(fixedPitch);
    ListStatus->setSelectionMode(QAbstractItemView::SingleSelection);
    ListStatus->setUniformItemSizes(true); // one line each: keeps adding a line cheap
    DirListBox = Place<DirectoryList>(this, "DirListBox", Twips(120, 2040, 3015, 1215));
    cmdReadCard = Place<QPushButton>(this, "cmdReadCard", Twips(3720, 1920, 1035, 435));
    cmdReadCard->setText("&Read Card");
    TextPICId = Place<QLineEdit>(this, "TextPICId", Twips(1080, 480, 2055, 315));
    TextFarmName = Place<QLineEdit>(this, "TextFarmName", Twips(1080, 120, 2055, 315));
    Caption(this, "Label3", "Readers", Twips(120, 5040, 960, 195));
    Caption(this, "Label6", "File to save", Twips(120, 1080, 960, 195));
    Caption(this, "Label2", "PIC ID:", Twips(120, 540, 765, 195));
    Caption(this, "Label1", "Farm Name", Twips(120, 180, 1005, 195));

    const QWidget* tabOrder[] = {TextFarmName, TextPICId,      cmdReadCard,
                                 DirListBox,   ListStatus,     DriveListBox,
                                 TextFileName, cmbReaderNames, cmdClearCard};
    for (std::size_t i = 0; i + 1 < std::size(tabOrder); ++i) {
        setTabOrder(const_cast<QWidget*>(tabOrder[i]), const_cast<QWidget*>(tabOrder[i + 1]));
    }
    TextFarmName->setFocus();
}

void frmOstrivan::ConnectHandlers() {
    connect(cmdReadCard, &QPushButton::clicked, this, [this] { cmdReadCard_Click(); });
    connect(cmdClearCard, &QPushButton::clicked, this, [this] { cmdClearCard_Click(); });
    connect(DriveListBox, &QComboBox::currentIndexChanged, this, [this] { DriveListBox_Change(); });
    connect(TextFarmName, &QLineEdit::textChanged, this, [this] { TextFarmName_Change(); });
    connect(TextPICId, &QLineEdit::textChanged, this, [this] { TextPICId_Change(); });
    connect(DirListBox, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        // A folder can vanish between the listing and the click.
        Trap("DirListBox_DblClick()", [&] { DirListBox->SetPath(DirListBox->PathOf(item)); });
    });
}

void frmOstrivan::Trap(const char* label, const std::function<void()>& body) {
    try {
        body();
    } catch (const std::exception& error) {
        report_.ReportRuntimeError(label, error.what());
    }
}

SettingValue frmOstrivan::Load(std::string_view name) {
    return settings_.LoadRegistrySetting(HKEY_LOCAL_MACHINE, SettingsKey, name);
}

void frmOstrivan::Save(std::string_view name, const SettingValue& value, std::uint32_t type) {
    settings_.SaveRegistrySetting(HKEY_LOCAL_MACHINE, SettingsKey, name, value, type);
}

// --- start-up

void frmOstrivan::Form_Load() {
    Trap("Form_Load()", [this] {
        QDir().mkpath(folders_.dataFolder); // the first log file and start folder live there
        WriteFirstRunSettings();
        TextFarmName->setText(FromCodePage(SettingText(Load("Farm Name"))));
        TextPICId->setText(FromCodePage(SettingText(Load("PIC ID"))));
        const QString folder = StartFolder();
        DriveListBox->Refresh();
        DriveListBox->ShowDriveOf(folder);
        DirListBox->SetDrive(DriveListBox->Drive());
        DirListBox->SetPath(folder);
        report_.AppendLogLine("STARTING " + std::string(ApplicationTitle) + " Ver " +
                              BlankLedNumber(VersionMajor) + "." + BlankLedNumber(VersionMinor) +
                              "." + BlankLedNumber(VersionRevision));
        if (!ListReaders()) {
            return;
        }
        ListStatus->repaint();
        for (std::size_t slot = 0; slot < ColumnLabels.size(); ++slot) {
            assembler_.RowFields[slot].Label = ColumnLabels[slot];
        }
    });
}

void frmOstrivan::WriteFirstRunSettings() {
    if (!SettingText(Load("Farm Name")).empty()) {
        return;
    }
    // A farm name cleared by the operator must not cost the other settings: only those that
    // are not there at all get their first value.
    const std::string dataFolder = QDir::cleanPath(folders_.dataFolder).toStdString();
    Save("Farm Name", "myfarm", REG_SZ);
    const std::pair<const char*, SettingValue> defaults[] = {
        {"PIC ID", ""}, {"File Path", ""}, {"Log File", dataFolder + "/log.txt"}, {"Mode", 0}};
    for (const auto& [name, value] : defaults) {
        if (!settings_.IsRegistrySettingPresent(HKEY_LOCAL_MACHINE, SettingsKey, name)) {
            Save(name, value, std::holds_alternative<std::int32_t>(value) ? REG_DWORD : REG_SZ);
        }
    }
}

QString frmOstrivan::StartFolder() {
    const QString filePath = FromCodePage(SettingText(Load("File Path")));
    if (filePath.isEmpty()) {
        return folders_.dataFolder;
    }
    if (const std::string why = DirectoryList::Unusable(filePath); !why.empty()) {
        report_.ShowStatus("Cannot start in the File Path folder (" + why + "); starting in " +
                           ToCodePage(folders_.dataFolder));
        return folders_.dataFolder;
    }
    return filePath;
}

bool frmOstrivan::ListReaders() {
    std::int32_t length = 0;
    const std::int32_t lengthCode = library_.ASEListReaders({}, length);
    if (lengthCode != 0) {
        report_.ReportCardError(lengthCode, "ASEListReadersLenBufOnly()");
    } else if (length > LargestReaderList) {
        report_.ShowStatus("ERROR - frmOstrivan - buffer too small!");
        return false;
    }
    std::array<std::uint8_t, ReaderNameBufferSize> names{};
    report_.ReportCardError(library_.ASEListReaders(names, length), "ASEListReaders()");

    // The walk never leaves the buffer, whatever length the library reported.
    const std::int32_t last = std::clamp(length, 0, LargestReaderList);
    std::string name;
    bool first = true;
    for (std::int32_t i = 0; i <= last; ++i) {
        if (names[static_cast<std::size_t>(i)] != 0) {
            name.push_back(static_cast<char>(names[static_cast<std::size_t>(i)]));
            continue;
        }
        if (first) {
            cmbReaderNames->setEditText(FromCodePage(name));
            first = false;
        }
        cmbReaderNames->addItem(FromCodePage(name));
        name.clear();
    }
    return true;
}

// --- commands and handlers

std::int32_t frmOstrivan::RunExchange(ExchangeMode mode) {
    return CardExchange(mode, {library_, *this, report_, assembler_, *cardBuffer_, cardBytesRead_});
}

void frmOstrivan::cmdReadCard_Click() {
    const OverrideCursor busy(Qt::WaitCursor);
    Trap("cmdReadCard_Click()", [this] {
        QString name = TextFileName->text();
        if (!name.contains('.')) {
            name += ".csv";
        }
        const std::string nameBytes = ToCodePage(name);
        if (QFileInfo(DirListBox->Path() + "/" + name).isFile() &&
            AskOkCancel("Export file exists! Okay to overwrite?", ApplicationTitle,
                        MessageIcon::None) != MessageAnswer::Ok) {
            return;
        }
        report_.ShowStatus("Opening file " + nameBytes);
        const QString path = DirListBox->Path() + "/" + name;
        ExportFile file(QFile::encodeName(path).toStdString());
        // The rows go to this file while it is open, and nowhere once it is closed.
        struct RowsToFile {
            RecordAssembler& assembler;
            ~RowsToFile() { assembler.SetRowWriter(nullptr); }
        } rowsToFile{assembler_};
        assembler_.SetRowWriter(&file);
        file.WriteLine(ExportLine(assembler_.RowFields, &RowField::Label));
        RunExchange(ExchangeMode::ExchangeRead);
        file.Close();
        report_.ShowStatus("Closing file " + nameBytes, false);
        report_.ShowStatus("Finished!", false);
    });
}

void frmOstrivan::cmdClearCard_Click() {
    const OverrideCursor busy(Qt::WaitCursor);
    Trap("cmdClearCard_Click()", [this] {
        if (AskOkCancel("Format Card. Are you sure? Will delete ALL records!!", ApplicationTitle,
                        MessageIcon::Warning) != MessageAnswer::Ok) {
            return;
        }
        report_.ShowStatus("Formatting Card");
        RunExchange(ExchangeMode::ExchangeFormat);
        report_.ShowStatus("Finished!", false);
    });
}

void frmOstrivan::DriveListBox_Change() {
    Trap("DriveListBox_Change()", [this] {
        DirListBox->SetDrive(DriveListBox->Drive());
        DirListBox->SetPath(DriveListBox->Drive());
    });
}

void frmOstrivan::TextFarmName_Change() {
    Trap("TextFarmName_Change()",
         [this] { Save("Farm Name", ToCodePage(TextFarmName->text()), REG_SZ); });
}

void frmOstrivan::TextPICId_Change() {
    Trap("TextPICId_Change()", [this] { Save("PIC ID", ToCodePage(TextPICId->text()), REG_SZ); });
}

// --- what the system shows through the window

void frmOstrivan::AddLine(std::string_view text) {
    ListStatus->addItem(FromCodePage(text));
    ListStatus->setCurrentRow(ListStatus->count() - 1);
    ListStatus->scrollToBottom();
    ListStatus->setCurrentRow(-1);
    ListStatus->clearSelection();
    // Commands hold the window's thread: paint now, so that a long read is seen to progress.
    ListStatus->repaint();
}

int frmOstrivan::LineCount() const {
    return ListStatus->count();
}

void frmOstrivan::RemoveFirstLine() {
    delete ListStatus->takeItem(0);
}

void frmOstrivan::ShowMessage(std::string_view text, std::string_view caption, MessageIcon icon) {
    const OverrideCursor pointer(Qt::ArrowCursor);
    QMessageBox box(BoxIcon(icon), FromCodePage(caption), FromCodePage(text), QMessageBox::Ok,
                    this);
    box.exec();
}

MessageAnswer frmOstrivan::AskOkCancel(std::string_view text, std::string_view caption,
                                       MessageIcon icon) {
    const OverrideCursor pointer(Qt::ArrowCursor);
    QMessageBox box(BoxIcon(icon), FromCodePage(caption), FromCodePage(text),
                    QMessageBox::Ok | QMessageBox::Cancel, this);
    box.setDefaultButton(QMessageBox::Ok);
    return box.exec() == QMessageBox::Ok ? MessageAnswer::Ok : MessageAnswer::Cancel;
}

std::string frmOstrivan::ReaderNameText() const {
    return ToCodePage(cmbReaderNames->currentText());
}
