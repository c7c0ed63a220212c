#pragma once

#include "card/ExportRows.h"
#include "card/RecordAssembler.h"
#include "form/AppFolders.h"
#include "form/CardArchive.h"
#include "form/DirectoryList.h"
#include "form/Drives.h"
#include "form/FormControls.h"
#include "form/PaintPacer.h"
#include "reader/CardExchange.h"
#include "report/Reporter.h"
#include "settings/registry_mdl.h"

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <string_view>

constexpr int VersionMajor = 2;
constexpr int VersionMinor = 2;
constexpr int VersionRevision = 1;

// "Ostrivan 2.2.1": the program's title and version, as the companion shows them.
std::string VersionText();

// How a command ended: done, the question answered no, or its first failure.
enum class Outcome { Done, Declined, CardError, OutputError, ContentError };

// The readers as start-up lists them: every name the walk of the list finds, the empty last
// one too.
struct ReaderList {
    std::vector<std::string> names;
    bool failed = false; // the library failed (and was reported); its list was still walked

    bool Complete() const { return !failed; }
};

// The export file's name for the name typed: ".csv" is added to a name without a dot.
std::string ExportFileName(std::string typed);

// The window's logic and state, without its widgets: start-up, the two commands and the
// handlers of the controls' events, reaching the controls through FormControls. It owns what
// the commands share for the whole run: the card image and the row being assembled.
class frmOstrivan {
public:
    frmOstrivan(FormControls& controls, ASEMEM& library, AppFolders folders,
                DriveSource drives = MountedDrives, LocalClock clock = SystemLocalTime);

    void Form_Load();
    void cmdReadCard_Click();
    void cmdClearCard_Click();
    void DriveListBox_Change();
    void TextFarmName_Change();
    void TextPICId_Change();
    void DirListBox_DblClick(int entry);
    // The reader box opens its list: the readers are listed afresh.
    void cmbReaderNames_DropDown();

    void ShowStatus(std::string_view text, bool log = true);
    void AppendLogLine(std::string_view text);

    // The reader list, its failures reported as start-up reports them, or not at all.
    ReaderList ListReaders(bool report = true);
    // The commands without the window's start-up, for the command-line companion, reporting
    // as the window does: Read Card from its "Opening file " line on, into the file (standard
    // output for an empty path) named in the lines as given, and after "Finished!" a line that
    // sums up the rows read, unless summarize is false; and Format Card, question first.
    Outcome ReadCard(std::string_view name, const std::filesystem::path& file,
                     bool summarize = true);
    Outcome FormatCard();

    const DirectoryList& DirListBox() const { return dirListBox_; }

    // Where the log goes when the settings hold no "Log File" yet: to the file the window's
    // first run would choose (the companion, which writes no settings), or nowhere.
    void LogWhenUnset() { logWhenUnset_ = true; }
    // The "Log File" in use, code-page text; empty for none.
    std::string LogFileInUse() { return LogFile().text; }

private:
    FormControls& controls_;
    PaintPacer paintPacer_;
    ASEMEM& library_;
    AppFolders folders_;
    DriveSource driveSource_;
    std::vector<std::filesystem::path> drives_;
    DirectoryList dirListBox_;
    Registry registry_;
    registry_mdl settings_;
    Reporter reporter_;
    RecordAssembler assembler_;
    std::unique_ptr<CardBuffer> cardBuffer_;
    std::int32_t cardBytesRead_ = 0;
    LogFileSetting logFile_;
    LocalClock clock_;
    CardArchive archive_;
    std::vector<std::string> listedReaders_; // by the last listing that worked
    std::string readerInUse_;                // by the command under way
    std::set<TextBox> unstorableTold_;
    bool relistingHintShown_ = false;
    bool logWhenUnset_ = false;
    // Runs a handler body, or a step of one; a run-time error is reported with the handler's
    // label and ends it. The status list is painted when it ends, whichever way. Returns
    // whether the body ran to its end.
    bool Trap(std::string_view label, const std::function<void()>& body);

    SettingValue Load(std::string_view name);
    std::string FirstRunLogFile() const;
    void Save(std::string_view name, const SettingValue& value, std::uint32_t type);
    // The "Log File" setting as it stands, its file name made again only when it changed.
    const LogFileSetting& LogFile();
    void WriteFirstRunSettings();
    // Shows "File Path", or the data folder when it is empty or cannot be shown (or no folder
    // when neither can be); returns why "File Path" could not be shown.
    std::string ShowStartFolder();
    // Shows the drives in the drive list, the one at the index shown (-1: none).
    void ShowDrives(std::vector<std::filesystem::path> drives, int shown);
    void ShowReaders(const std::vector<std::string>& names);
    std::string ListingHint() const;
    // The reader the box names: its text, or the name listed now that is the text's UTF-8 form.
    std::string ReaderChosen();
    // Stores the text box's text as the setting, unless the settings file cannot hold it:
    // then the setting keeps its last value, which the status list says once.
    void SaveTextBox(TextBox box, std::string_view setting);
    // Shows the folder in the directory list and its drive in the drive list.
    void ShowFolderOnItsDrive(const std::filesystem::path& path);
    void ShowFolder(const std::filesystem::path& folder, const std::filesystem::path& drive);

    std::filesystem::path ExportPath(std::string_view fileName) const;
    // Shows the "Opening file " line, opens the export file and writes its header line.
    std::unique_ptr<ExportRows> OpenExport(std::string_view name,
                                           const std::filesystem::path& file);
    // Keeps the bytes that the last read got, if any, in the archive; a line when it cannot.
    void KeepCardRead();
    std::int32_t RunExchange(ExchangeMode mode);
};
