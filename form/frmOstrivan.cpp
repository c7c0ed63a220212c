#include "form/frmOstrivan.h"

#include "base/Files.h"
#include "base/RuntimeError.h"
#include "card/CodePage.h"
#include "card/ExportFile.h"
#include "report/NumberText.h"

#include <algorithm>
#include <array>

namespace {

constexpr int VersionMajor = 2;
constexpr int VersionMinor = 2;
constexpr int VersionRevision = 1;

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

std::string ExportFileName(std::string typed) {
    if (typed.find('.') == std::string::npos) {
        typed += ".csv";
    }
    return typed;
}

} // namespace

frmOstrivan::frmOstrivan(FormControls& controls, ASEMEM& library, AppFolders folders,
                         VolumeSource volumes, LocalClock clock)
    : controls_(controls), statusPane_(controls), library_(library), folders_(std::move(folders)),
      volumes_(std::move(volumes)), registry_(folders_.settingsFile), settings_(registry_),
      report_(
          statusPane_, statusPane_, [this] { return LogFile(); }, clock),
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
        if (ListReaders()) {
            SetColumnLabels();
        }
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

bool frmOstrivan::ListReaders() {
    std::int32_t length = 0;
    const std::int32_t lengthCode = library_.ASEListReaders({}, length);
    if (lengthCode != 0) {
        report_.ReportCardError(lengthCode, "ASEListReadersLenBufOnly()");
    } else if (length > LargestReaderList) {
        ShowStatus("ERROR - frmOstrivan - buffer too small!");
        return false;
    }
    std::array<std::uint8_t, ReaderNameBufferSize> names{};
    report_.ReportCardError(library_.ASEListReaders(names, length), "ASEListReaders()");

    // The walk never leaves the buffer, whatever length the library reported.
    const std::int32_t last = std::min(length, LargestReaderList);
    std::string name;
    bool first = true;
    for (std::int32_t i = 0; i <= last; ++i) {
        const std::uint8_t byte = names[static_cast<std::size_t>(i)];
        if (byte != 0) {
            name.push_back(static_cast<char>(byte));
            continue;
        }
        if (first) {
            controls_.SetReaderText(name);
            first = false;
        }
        controls_.AddReader(name);
        name.clear();
    }
    return true;
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

void frmOstrivan::ReadCardInto(RowWriter& rows) {
    const RowsGoTo rowsGoTo(assembler_, rows);
    rows.WriteLine(ExportLine(assembler_.RowFields, &RowField::Label));
    RunExchange(ExchangeMode::ExchangeRead);
}

void frmOstrivan::cmdReadCard_Click() {
    const BusyCursor busy(controls_);
    cardBytesRead_ = 0; // a read that gets no block keeps nothing
    Trap("cmdReadCard_Click()", [this] {
        const std::string name = ExportFileName(controls_.Text(TextBox::FileName));
        if (files::IsRegularFile(ExportPath(name)) &&
            statusPane_.AskOkCancel("Export file exists! Okay to overwrite?", ApplicationTitle,
                                    MessageIcon::None) != MessageAnswer::Ok) {
            return;
        }
        ShowStatus("Opening file " + name);
        ExportFile file(ExportPath(name));
        ReadCardInto(file);
        file.Close();
        ShowStatus("Closing file " + name, false);
        ShowStatus("Finished!", false);
    });
    KeepCardRead();
}

void frmOstrivan::KeepCardRead() {
    if (cardBytesRead_ <= 0) {
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
    Trap("cmdClearCard_Click()", [this] {
        if (statusPane_.AskOkCancel("Format Card. Are you sure? Will delete ALL records!!",
                                    ApplicationTitle, MessageIcon::Warning) != MessageAnswer::Ok) {
            return;
        }
        ShowStatus("Formatting Card");
        RunExchange(ExchangeMode::ExchangeFormat);
        ShowStatus("Finished!", false);
    });
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
