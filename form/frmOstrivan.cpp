#include "form/frmOstrivan.h"

#include "base/Files.h"
#include "base/RuntimeError.h"
#include "card/CodePage.h"
#include "card/ExportFile.h"
#include "report/NumberText.h"

#include <algorithm>
#include <array>
#include <utility>

namespace {

constexpr std::size_t ReaderNameBufferSize = 2001;
constexpr std::int32_t LargestReaderList = 2000;

constexpr std::array<std::string_view, ExportColumnCount> ColumnLabels = {
    "RecType",       "Time",   "Date",    "Tag Nr",    "Invoice Nr", "Location Id",
    "Location Name", "Weight", "Gate Nr", "Device Id", "Version"};

// The busy cursor for as long as a command runs, gone on every way out.
class BusyCursor {
public:
    explicit BusyCursor(FormControls& controls) : controls_(controls) { controls_.SetBusy(true); }
    ~BusyCursor() { controls_.SetBusy(false); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    FormControls& controls_;
};

// The export file's rows, with a row that fails noted before the assembler reports it.
class NotedRows : public RowWriter {
public:
    NotedRows(RowWriter& rows, std::function<void()> onFailure)
        : rows_(rows), onFailure_(std::move(onFailure)) {}
    void WriteLine(std::string_view line) override {
        try {
            rows_.WriteLine(line);
        } catch (...) {
            onFailure_();
            throw;
        }
    }

private:
    RowWriter& rows_;
    std::function<void()> onFailure_;
};

// Rows go to the export file while it is open, and nowhere once it is closed.
class RowsGoTo {
public:
    RowsGoTo(RecordAssembler& assembler, RowWriter& rows) : assembler_(assembler) {
        assembler_.SetRowWriter(&rows);
    }
    ~RowsGoTo() { assembler_.SetRowWriter(nullptr); }
    RowsGoTo(const RowsGoTo&) = delete;
    RowsGoTo& operator=(const RowsGoTo&) = delete;

private:
    RecordAssembler& assembler_;
};

} // namespace

std::string ExportFileName(std::string typed) {
    if (typed.find('.') == std::string::npos) {
        typed += ".csv";
    }
    return typed;
}

frmOstrivan::frmOstrivan(FormControls& controls, ASEMEM& library, AppFolders folders,
                         VolumeSource volumes, LocalClock clock)
    : controls_(controls), statusPane_(controls), library_(library), folders_(std::move(folders)),
      volumes_(std::move(volumes)), registry_(folders_.settingsFile), settings_(registry_),
      report_(
          statusPane_, statusPane_, [this]() -> const LogFileSetting& { return LogFile(); }, clock),
      assembler_(report_), cardBuffer_(std::make_unique<CardBuffer>()), clock_(std::move(clock)),
      archive_(folders_.ArchiveFolder()) {}

void frmOstrivan::Trap(std::string_view label, const std::function<void()>& body) {
    try {
        body();
    } catch (const std::exception& error) {
        report_.ReportRuntimeError(label, error.what());
    }
    statusPane_.Paint();
}

void frmOstrivan::ShowStatus(std::string_view text, bool log) {
    report_.ShowStatus(text, log);
}

void frmOstrivan::AppendLogLine(std::string_view text) {
    report_.AppendLogLine(text);
}

SettingValue frmOstrivan::Load(std::string_view name) {
    return settings_.LoadRegistrySetting(HKEY_LOCAL_MACHINE, SettingsKey, name);
}

void frmOstrivan::Save(std::string_view name, const SettingValue& value, std::uint32_t type) {
    settings_.SaveRegistrySetting(HKEY_LOCAL_MACHINE, SettingsKey, name, value, type);
}

const LogFileSetting& frmOstrivan::LogFile() {
    std::string text = SettingText(Load("Log File"));
    if (text != logFile_.text) {
        logFile_.file = codepage::ToFileName(text);
        logFile_.text = std::move(text);
    }
    return logFile_;
}

// --- start-up

void frmOstrivan::Form_Load() {
    Trap("Form_Load()", [this] {
        std::filesystem::create_directories(folders_.dataFolder);
        WriteFirstRunSettings();
        controls_.SetText(TextBox::FarmName, SettingText(Load("Farm Name")));
        controls_.SetText(TextBox::PICId, SettingText(Load("PIC ID")));
        const std::string startFolderUnusable = ShowStartFolder();
        AppendLogLine("STARTING " + std::string(ApplicationTitle) + " Ver " +
                      BlankLedNumber(VersionMajor) + "." + BlankLedNumber(VersionMinor) + "." +
                      BlankLedNumber(VersionRevision));
        if (!startFolderUnusable.empty()) {
            ShowStatus("Cannot start in the File Path folder (" + startFolderUnusable +
                       "); starting in " + codepage::FromFileName(folders_.dataFolder));
        }
        const ReaderList readers = ListReaders();
        if (readers.tooLong) {
            return;
        }
        if (!readers.names.empty()) {
            controls_.SetReaderText(readers.names.front());
        }
        for (const std::string& name : readers.names) {
            controls_.AddReader(name);
        }
        SetColumnLabels();
    });
}

void frmOstrivan::WriteFirstRunSettings() {
    if (!SettingText(Load("Farm Name")).empty()) {
        return;
    }
    // A farm name cleared by the operator must not cost the other settings: only those that
    // are not there at all get their first value.
    const std::string logFile =
        codepage::FromFileName(folders_.dataFolder.lexically_normal() / "log.txt");
    Save("Farm Name", "myfarm", REG_SZ);
    const std::pair<const char*, SettingValue> defaults[] = {
        {"PIC ID", ""}, {"File Path", ""}, {"Log File", logFile}, {"Mode", 0}};
    for (const auto& [name, value] : defaults) {
        if (!settings_.IsRegistrySettingPresent(HKEY_LOCAL_MACHINE, SettingsKey, name)) {
            Save(name, value, std::holds_alternative<std::int32_t>(value) ? REG_DWORD : REG_SZ);
        }
    }
}

std::string frmOstrivan::ShowStartFolder() {
    drives_ = volumes_();
    std::string unusable;
    if (const std::string filePath = SettingText(Load("File Path")); !filePath.empty()) {
        try {
            ShowFolderOnItsDrive(codepage::ToFileName(filePath));
            return {};
        } catch (const RuntimeError& error) {
            unusable = error.what();
        }
    }
    ShowFolderOnItsDrive(folders_.dataFolder);
    return unusable;
}

void frmOstrivan::ShowFolderOnItsDrive(const std::filesystem::path& path) {
    const auto folder = DirectoryList::Resolve(path);
    const int drive = DriveOf(folder, drives_);
    ShowFolder(folder, drive < 0 ? folder.root_path() : drives_[static_cast<std::size_t>(drive)]);
    std::vector<std::string> labels;
    for (const auto& mountPoint : drives_) {
        labels.push_back(codepage::FromFileName(mountPoint));
    }
    controls_.ShowDrives(labels, drive);
}

void frmOstrivan::ShowFolder(const std::filesystem::path& folder,
                             const std::filesystem::path& drive) {
    dirListBox_.SetPath(folder, drive);
    controls_.ShowDirectory(dirListBox_.Labels(), dirListBox_.Current());
}

ReaderList frmOstrivan::ListReaders() {
    ReaderList list;
    std::int32_t length = 0;
    const std::int32_t lengthCode = library_.ASEListReaders({}, length);
    if (lengthCode != 0) {
        report_.ReportCardError(lengthCode, "ASEListReadersLenBufOnly()");
        list.failed = true;
    } else if (length > LargestReaderList) {
        ShowStatus("ERROR - frmOstrivan - buffer too small!");
        list.tooLong = true;
        return list;
    }
    std::array<std::uint8_t, ReaderNameBufferSize> names{};
    const std::int32_t namesCode = library_.ASEListReaders(names, length);
    report_.ReportCardError(namesCode, "ASEListReaders()");
    list.failed = list.failed || namesCode != 0;

    // The walk never leaves the buffer, whatever length the library reported.
    std::string name;
    for (std::int32_t i = 0; i <= std::min(length, LargestReaderList); ++i) {
        const std::uint8_t byte = names[static_cast<std::size_t>(i)];
        if (byte != 0) {
            name.push_back(static_cast<char>(byte));
        } else {
            list.names.push_back(std::exchange(name, {}));
        }
    }
    return list;
}

void frmOstrivan::SetColumnLabels() {
    for (std::size_t slot = 0; slot < ColumnLabels.size(); ++slot) {
        assembler_.RowFields[slot].Label = ColumnLabels[slot];
    }
}

// --- commands and handlers

std::int32_t frmOstrivan::RunExchange(ExchangeMode mode) {
    statusPane_.Paint(); // the wait for a card may take seconds
    return CardExchange(mode, {library_, controls_.ReaderText(), report_, assembler_, *cardBuffer_,
                               cardBytesRead_});
}

std::filesystem::path frmOstrivan::ExportPath(std::string_view fileName) const {
    // Joined as text: a name with a folder in it, or a leading "/", stays below the folder.
    return dirListBox_.Path().native() + "/" + codepage::ToFileName(fileName).native();
}

void frmOstrivan::Note(Outcome failure) {
    if (outcome_ == Outcome::Done) {
        outcome_ = failure;
    }
}

// Runs the body; a run-time error leaving it is noted as that failure.
template <typename Body> auto frmOstrivan::Noting(Outcome failure, Body body) {
    try {
        return body();
    } catch (...) {
        Note(failure);
        throw;
    }
}

void frmOstrivan::cmdReadCard_Click() {
    const BusyCursor busy(controls_);
    const std::string name = ExportFileName(controls_.Text(TextBox::FileName));
    const auto path = ExportPath(name);
    if (files::IsRegularFile(path) &&
        statusPane_.AskOkCancel("Export file exists! Okay to overwrite?", ApplicationTitle,
                                MessageIcon::None) != MessageAnswer::Ok) {
        return;
    }
    ReadCard(name, path);
}

Outcome frmOstrivan::ReadCard(std::string_view name, const std::filesystem::path& file) {
    outcome_ = Outcome::Done;
    cardBytesRead_ = 0; // a read that gets no block keeps nothing
    Trap("cmdReadCard_Click()", [&] {
        ShowStatus("Opening file " + std::string(name));
        const auto exportFile = Noting(Outcome::OutputError, [&] {
            return file.empty() ? ExportFile::StandardOutput() : std::make_unique<ExportFile>(file);
        });
        NotedRows rows(*exportFile, [this] { Note(Outcome::OutputError); });
        const RowsGoTo rowsGoTo(assembler_, rows);
        rows.WriteLine(ExportLine(assembler_.RowFields, &RowField::Label));
        if (Noting(Outcome::ContentError,
                   [&] { return RunExchange(ExchangeMode::ExchangeRead); })) {
            Note(Outcome::CardError);
        }
        Noting(Outcome::OutputError, [&] { exportFile->Close(); });
        ShowStatus("Closing file " + std::string(name), false);
        ShowStatus("Finished!", false);
    });
    KeepCardRead();
    return outcome_;
}

void frmOstrivan::KeepCardRead() {
    if (cardBytesRead_ <= 0 || folders_.dataFolder.empty()) {
        return;
    }
    const auto bytes = std::span(*cardBuffer_).first(static_cast<std::size_t>(cardBytesRead_));
    const std::string failure = archive_.Keep(clock_(), controls_.ReaderText(), bytes);
    if (!failure.empty()) {
        ShowStatus("The card read could not be kept in " +
                       codepage::FromFileName(archive_.Folder()) + ": " + failure,
                   false);
        statusPane_.Paint();
    }
}

void frmOstrivan::cmdClearCard_Click() {
    const BusyCursor busy(controls_);
    FormatCard();
}

Outcome frmOstrivan::FormatCard() {
    Outcome outcome = Outcome::Declined;
    Trap("cmdClearCard_Click()", [&] {
        if (statusPane_.AskOkCancel("Format Card. Are you sure? Will delete ALL records!!",
                                    ApplicationTitle, MessageIcon::Warning) != MessageAnswer::Ok) {
            return;
        }
        outcome = Outcome::CardError; // until the card is written
        ShowStatus("Formatting Card");
        if (RunExchange(ExchangeMode::ExchangeFormat) == 0) {
            outcome = Outcome::Done;
        }
        ShowStatus("Finished!", false);
    });
    return outcome;
}

void frmOstrivan::DriveListBox_Change() {
    Trap("DriveListBox_Change()", [this] {
        const int shown = controls_.ShownDrive();
        if (shown >= 0 && static_cast<std::size_t>(shown) < drives_.size()) {
            const auto& drive = drives_[static_cast<std::size_t>(shown)];
            ShowFolder(drive, drive);
        }
    });
}

void frmOstrivan::DirListBox_DblClick(int entry) {
    // A folder can vanish between the listing and the click.
    Trap("DirListBox_DblClick()", [this, entry] {
        const auto& entries = dirListBox_.Entries();
        if (entry >= 0 && static_cast<std::size_t>(entry) < entries.size()) {
            ShowFolder(entries[static_cast<std::size_t>(entry)].folder, dirListBox_.Drive());
        }
    });
}

void frmOstrivan::TextFarmName_Change() {
    Trap("TextFarmName_Change()",
         [this] { Save("Farm Name", controls_.Text(TextBox::FarmName), REG_SZ); });
}

void frmOstrivan::TextPICId_Change() {
    Trap("TextPICId_Change()", [this] { Save("PIC ID", controls_.Text(TextBox::PICId), REG_SZ); });
}
