#include "form/frmOstrivan.h"

#include "base/ControlCharacters.h"
#include "base/Files.h"
#include "base/RuntimeError.h"
#include "card/CodePage.h"
#include "form/Version.h"
#include "reader/Hints.h"
#include "report/NumberText.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <utility>

namespace {

// How often the reader list is asked for again when it grew between its length and its names.
constexpr int ListingAttempts = 3;
constexpr std::int32_t LongestCardTimeout = 600;

} // namespace

frmOstrivan::frmOstrivan(FormControls& controls, ReaderMaker readers, AppFolders folders,
                         DriveSource drives, LocalClock clock)
    : controls_(controls), readers_(std::move(readers)), library_(readers_()),
      folders_(std::move(folders)), driveSource_(std::move(drives)),
      registry_(folders_.settingsFile), settings_(registry_),
      reporter_(
          controls_, controls_, [this]() -> const LogFileSetting& { return LogFile(); }, clock),
      assembler_(reporter_), clock_(std::move(clock)), archive_(folders_.ArchiveFolder()) {
    // The export's column names, which start-up has always set whatever else it met: set with
    // the form, so that its every export, the companion's too, has its header.
    assembler_.SetColumnLabels();
}

void frmOstrivan::ShowStatus(std::string_view text, bool log) {
    reporter_.ShowStatus(text, log);
}

void frmOstrivan::AppendLogLine(std::string_view text) {
    reporter_.AppendLogLine(text);
}

SettingValue frmOstrivan::Load(std::string_view name) {
    return settings_.LoadRegistrySetting(HKEY_LOCAL_MACHINE, SettingsKey, name);
}

void frmOstrivan::Save(std::string_view name, const SettingValue& value, std::uint32_t type) {
    settings_.SaveRegistrySetting(HKEY_LOCAL_MACHINE, SettingsKey, name, value, type);
}

std::string frmOstrivan::FirstRunLogFile() const {
    return codepage::FromFileName(folders_.dataFolder.lexically_normal() / "log.txt");
}

const LogFileSetting& frmOstrivan::LogFile() {
    const SettingValue setting = Load("Log File");
    std::string text = std::holds_alternative<std::monostate>(setting) && logWhenUnset_
                           ? FirstRunLogFile()
                           : SettingText(setting);
    if (text != logFile_.text) {
        logFile_.file = codepage::ToFileName(text);
        logFile_.text = std::move(text);
    }
    return logFile_;
}

std::chrono::seconds frmOstrivan::CardTimeout() {
    const SettingValue setting = Load("Card Timeout");
    std::int32_t seconds = 0;
    if (const auto* number = std::get_if<std::int32_t>(&setting)) {
        seconds = *number;
    } else if (const auto* text = std::get_if<std::string>(&setting)) {
        const auto [end, error] =
            std::from_chars(text->data(), text->data() + text->size(), seconds);
        if (error != std::errc() || end != text->data() + text->size() || text->front() == '-') {
            seconds = 0;
        }
    }
    return seconds >= 1 && seconds <= LongestCardTimeout ? std::chrono::seconds(seconds)
                                                         : DefaultCardTimeout;
}

// --- start-up

void frmOstrivan::Form_Load() {
    Trap("Form_Load()", [this] {
        // Without its data folder the program still starts: only what needs the folder fails.
        std::error_code unmade;
        std::filesystem::create_directories(folders_.dataFolder, unmade);
        WriteFirstRunSettings();
        controls_.SetText(TextBox::FarmName, SettingText(Load("Farm Name")));
        controls_.SetText(TextBox::PICId, SettingText(Load("PIC ID")));
        const std::string startFolderUnusable = ShowStartFolder();
        AppendLogLine("STARTING " + std::string(ApplicationTitle) + " Ver " +
                      BlankLedNumber(VersionMajor) + "." + BlankLedNumber(VersionMinor) + "." +
                      BlankLedNumber(VersionRevision));
        if (unmade) {
            ShowStatus("Cannot create the data folder " +
                       codepage::FromFileName(folders_.dataFolder) + ": " + unmade.message());
        }
        if (!startFolderUnusable.empty()) {
            ShowStatus("Cannot start in the File Path folder (" + startFolderUnusable + ")" +
                       (dirListBox_.Path().empty()
                            ? std::string()
                            : "; starting in " + codepage::FromFileName(dirListBox_.Path())));
        }
        const ReaderList readers = ListReaders();
        if (!readers.names.empty()) {
            controls_.SetReaderText(readers.names.front());
        }
        ShowReaders(readers.names);
    });
}

void frmOstrivan::ShowReaders(const std::vector<std::string>& names) {
    for (const std::string& name : names) {
        controls_.AddReader(name);
    }
}

void frmOstrivan::cmbReaderNames_DropDown() {
    // The operator may have plugged a reader in since the list was made.
    Trap("cmbReaderNames_DropDown()", [this] {
        const ReaderList readers = ListReaders(false);
        if (!readers.Complete()) {
            if (!relistingHintShown_) {
                if (const std::string hint = ListingHint(); !hint.empty()) {
                    ShowStatus(hint, false);
                }
                relistingHintShown_ = true;
            }
            return;
        }
        relistingHintShown_ = false;
        const std::string typed = controls_.ReaderText();
        controls_.ClearReaders();
        ShowReaders(readers.names);
        controls_.SetReaderText(typed);
    });
}

void frmOstrivan::WriteFirstRunSettings() {
    if (!SettingText(Load("Farm Name")).empty()) {
        return;
    }
    // A farm name cleared by the operator must not cost the other settings: only those that
    // are not there at all get their first value.
    const std::string logFile = FirstRunLogFile();
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
    std::string unusable;
    if (const std::string filePath = SettingText(Load("File Path")); !filePath.empty()) {
        try {
            ShowFolderOnItsDrive(codepage::ToFileName(filePath));
            return {};
        } catch (const RuntimeError& error) {
            unusable = error.what();
        }
    }
    try {
        ShowFolderOnItsDrive(folders_.dataFolder);
    } catch (const RuntimeError&) {
        // No folder is shown; the data folder's failure is told on its own.
        ShowDrives(driveSource_(), -1);
    }
    return unusable;
}

void frmOstrivan::ShowDrives(std::vector<std::filesystem::path> drives, int shown) {
    drives_ = std::move(drives);
    std::vector<std::string> labels;
    for (const auto& drive : drives_) {
        labels.push_back(codepage::FromFileName(drive));
    }
    controls_.ShowDrives(labels, shown);
}

void frmOstrivan::ShowFolderOnItsDrive(const std::filesystem::path& path) {
    const auto folder = DirectoryList::Resolve(path);
    auto drives = driveSource_(); // made afresh: a drive may have come since
    const int drive = DriveOf(folder, drives);
    ShowFolder(folder, drive < 0 ? folder.root_path() : drives[static_cast<std::size_t>(drive)]);
    ShowDrives(std::move(drives), drive);
}

void frmOstrivan::ShowFolder(const std::filesystem::path& folder,
                             const std::filesystem::path& drive) {
    dirListBox_.SetPath(folder, drive);
    controls_.ShowDirectory(dirListBox_.Labels(), dirListBox_.Current());
}

std::string frmOstrivan::ListingHint() const {
    return HintLine(library_->LastFailureCause(), {{}, 0, folders_.CardsFolder()});
}

ReaderList frmOstrivan::ListReaders(bool report) {
    ReaderList list;
    std::int32_t length = 0;
    std::int32_t lengthCode = 0;
    std::int32_t namesCode = 0;
    std::vector<std::uint8_t> names;
    // The buffer takes the list whatever its length; a list that grew in between is asked for
    // again.
    for (int attempt = 0; attempt < ListingAttempts; ++attempt) {
        lengthCode = library_->ASEListReaders({}, length);
        names.assign(static_cast<std::size_t>(std::max(length, 0)) + 1, 0);
        namesCode = library_->ASEListReaders(names, length);
        if (namesCode != ReaderCode::InsufficientBuffer) {
            break;
        }
    }
    if (report) {
        // The hint of a failure shows once, with its first report.
        reporter_.ReportCardError(lengthCode, "ASEListReadersLenBufOnly()", ListingHint());
        reporter_.ReportCardError(namesCode, "ASEListReaders()",
                                  lengthCode != 0 ? "" : ListingHint());
    }
    list.failed = lengthCode != 0 || namesCode != 0;

    // The walk never leaves the buffer, whatever length the library reported.
    const std::int64_t walked = std::min<std::int64_t>(length, std::ssize(names) - 1);
    std::string name;
    for (std::size_t i = 0; static_cast<std::int64_t>(i) <= walked; ++i) {
        if (names[i] != 0) {
            name.push_back(static_cast<char>(names[i]));
        } else {
            list.names.push_back(std::exchange(name, {}));
        }
    }
    if (list.Complete()) {
        listedReaders_ = list.names;
    }
    return list;
}

// --- commands and handlers

std::string frmOstrivan::ReaderChosen() {
    // The window turns typed text into the code page, where a card file's name is UTF-8.
    const std::string text = controls_.ReaderText();
    const auto listedIn = [](const std::vector<std::string>& names, const std::string& name) {
        return std::find(names.begin(), names.end(), name) != names.end();
    };
    if (listedIn(listedReaders_, text)) {
        return text;
    }
    // A card file may have come since the readers were last listed.
    ListReaders(false);
    const std::string utf8 = codepage::ToUtf8(text);
    return !listedIn(listedReaders_, text) && listedIn(listedReaders_, utf8) ? utf8 : text;
}

frmOstrivan::Operation frmOstrivan::Prepare() {
    return {
        std::make_shared<stop::Source>(), readers_(), ReaderChosen(), {LogFile(), CardTimeout()}};
}

Outcome frmOstrivan::Run(const Operation& operation, OperationView view, const Work& work) {
    const stop::SignalScope signals(*operation.stop);
    ExchangeContext context(operation.library, operation.reader, operation.settings, view.lines,
                            view.boxes, operation.stop->GetToken(), clock_);
    context.assembler = &assembler_;
    return work(context);
}

void frmOstrivan::Start(Work work) {
    Operation operation = Prepare();
    running_ = operation.stop;
    // The window's thread keeps to its own state meanwhile: the worker has the operation's
    // context and the assembler, which nothing else touches while it runs.
    controls_.RunOperation([this, operation = std::move(operation), work = std::move(work)](
                               OperationView view) { Run(operation, view, work); },
                           [this] {
                               running_.reset();
                               controls_.SetBusy(false);
                           });
}

std::filesystem::path frmOstrivan::ExportPath(std::string_view fileName) const {
    // Joined as text: a name with a folder in it, or a leading "/", stays below the folder.
    return dirListBox_.Path().native() + "/" + codepage::ToFileName(fileName).native();
}

ReadRequest frmOstrivan::ReadOf(std::string_view name, const std::filesystem::path& file,
                                bool summarize) {
    if (folders_.dataFolder.empty()) {
        return {std::string(name), file, summarize, nullptr, {}};
    }
    return {std::string(name), file, summarize, &archive_, folders_.HerdBookFile()};
}

void frmOstrivan::cmdReadCard_Click() {
    if (Busy()) {
        return; // a press while a command runs is not kept for later
    }
    controls_.SetBusy(true);
    const auto refuse = [this](std::string_view line) {
        if (!line.empty()) {
            ShowStatus(line, false);
        }
        controls_.SetBusy(false);
    };
    if (dirListBox_.Path().empty()) {
        return refuse("Read Card needs a folder for the export file: choose a drive and a folder");
    }
    const std::string name = ExportFileName(controls_.Text(TextBox::FileName));
    if (const auto control = FirstControlCharacter(name)) {
        return refuse("File to save cannot hold the control character " +
                      codepage::CharacterCode(static_cast<unsigned char>(name[*control])) +
                      ": type a name without it");
    }
    const auto path = ExportPath(name);
    if (files::IsRegularFile(path) &&
        controls_.AskOkCancel("Export file exists! Okay to overwrite?", ApplicationTitle,
                              MessageIcon::None) != MessageAnswer::Ok) {
        return refuse("");
    }
    Start([request = ReadOf(name, path, true)](ExchangeContext& context) {
        return ReadCardInto(context, request);
    });
}

Outcome frmOstrivan::ReadCard(std::string_view name, const std::filesystem::path& file,
                              bool summarize) {
    return Run(Prepare(), {controls_, controls_}, [&](ExchangeContext& context) {
        return ReadCardInto(context, ReadOf(name, file, summarize));
    });
}

bool frmOstrivan::FormatAsked() {
    return controls_.AskOkCancel("Format Card. Are you sure? Will delete ALL records!!",
                                 ApplicationTitle, MessageIcon::Warning) == MessageAnswer::Ok;
}

void frmOstrivan::cmdClearCard_Click() {
    if (Busy()) {
        return;
    }
    controls_.SetBusy(true);
    if (!FormatAsked()) {
        controls_.SetBusy(false);
        return;
    }
    Start(FormatCardIn);
}

Outcome frmOstrivan::FormatCard() {
    if (!FormatAsked()) {
        return Outcome::Declined;
    }
    return Run(Prepare(), {controls_, controls_}, FormatCardIn);
}

void frmOstrivan::cmdCancel_Click() {
    if (running_) {
        running_->Request("Cancelled");
    }
}

void frmOstrivan::Form_Unload() {
    if (running_) {
        running_->Request("The window was closed");
    }
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
            ShowFolderOnItsDrive(entries[static_cast<std::size_t>(entry)].folder);
        }
    });
}

void frmOstrivan::TextFarmName_Change() {
    Trap("TextFarmName_Change()", [this] { SaveTextBox(TextBox::FarmName, "Farm Name"); });
}

void frmOstrivan::TextPICId_Change() {
    Trap("TextPICId_Change()", [this] { SaveTextBox(TextBox::PICId, "PIC ID"); });
}

void frmOstrivan::SaveTextBox(TextBox box, std::string_view setting) {
    const auto character = controls_.Unstorable(box);
    if (!character) {
        unstorableTold_.erase(box);
        Save(setting, controls_.Text(box), REG_SZ);
        return;
    }
    if (unstorableTold_.insert(box).second) {
        ShowStatus("The settings file cannot hold " + codepage::CharacterCode(*character) + ": " +
                       std::string(setting) + " keeps its last value",
                   false);
    }
}
