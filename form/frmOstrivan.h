#pragma once

#include "base/Stop.h"
#include "card/RecordAssembler.h"
#include "form/AppFolders.h"
#include "form/CardArchive.h"
#include "form/CardOperations.h"
#include "form/DirectoryList.h"
#include "form/Drives.h"
#include "form/ExportFileName.h"
#include "form/FormControls.h"
#include "form/Outcome.h"
#include "reader/ASEMEM.h"
#include "report/Reporter.h"
#include "settings/registry_mdl.h"

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <string_view>

// Makes a card-reader library: one for the window's listings, and one afresh for every
// operation, so that a call left behind by one never holds the next.
using ReaderMaker = std::function<std::shared_ptr<ASEMEM>()>;

// The readers as start-up lists them: every name the walk of the list finds, the empty last
// one too.
struct ReaderList {
    std::vector<std::string> names;
    bool failed = false; // the library failed (and was reported); its list was still walked

    bool Complete() const { return !failed; }
};

// The window's logic and state, without its widgets: start-up, the two commands and the
// handlers of the controls' events, reaching the controls through FormControls. It owns what
// the commands share for the whole run: the row being assembled. A command's card operation
// runs apart from the window (FormControls::RunOperation), with a context of its own: the
// window stays live, and Cancel stops it.
class frmOstrivan {
public:
    frmOstrivan(FormControls& controls, ReaderMaker readers, AppFolders folders,
                DriveSource drives = MountedDrives, LocalClock clock = SystemLocalTime);

    void Form_Load();
    void cmdReadCard_Click();
    void cmdClearCard_Click();
    void cmdCancel_Click();
    // The window closes: an operation under way is asked to stop, and nothing is asked.
    void Form_Unload();
    // Whether a command's operation is under way.
    bool Busy() const { return running_ != nullptr; }
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
    // The commands without the window's start-up, for the command-line companion, run on the
    // calling thread and reporting as the window does: Read Card from its "Opening file " line
    // on, into the file (standard output for an empty path) named in the lines as given, and
    // after "Finished!" a line that sums up the rows read, unless summarize is false; and
    // Format Card, question first.
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
    // What an operation takes along when it starts: made on the window's thread.
    struct Operation {
        std::shared_ptr<stop::Source> stop;
        std::shared_ptr<ASEMEM> library;
        std::string reader;
        OperationSettings settings;
    };
    using Work = std::function<Outcome(ExchangeContext&)>;

    FormControls& controls_;
    ReaderMaker readers_;
    std::shared_ptr<ASEMEM> library_; // for the listings
    AppFolders folders_;
    DriveSource driveSource_;
    std::vector<std::filesystem::path> drives_;
    DirectoryList dirListBox_;
    Registry registry_;
    registry_mdl settings_;
    Reporter reporter_;
    RecordAssembler assembler_;
    LogFileSetting logFile_;
    LocalClock clock_;
    CardArchive archive_;
    std::vector<std::string> listedReaders_; // by the last listing that worked
    std::set<TextBox> unstorableTold_;
    bool relistingHintShown_ = false;
    bool logWhenUnset_ = false;
    std::shared_ptr<stop::Source> running_; // the operation under way; none when idle

    bool Trap(std::string_view label, const std::function<void()>& body) {
        return reporter_.Trap(label, body);
    }

    SettingValue Load(std::string_view name);
    std::string FirstRunLogFile() const;
    void Save(std::string_view name, const SettingValue& value, std::uint32_t type);
    // The "Log File" setting as it stands, its file name made again only when it changed.
    const LogFileSetting& LogFile();
    // The "Card Timeout" setting: whole seconds from 1 to 600, a number or a text of digits;
    // the default otherwise.
    std::chrono::seconds CardTimeout();
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
    ReadRequest ReadOf(std::string_view name, const std::filesystem::path& file, bool summarize);
    // What the operation takes along: the reader chosen, a library of its own, the settings.
    Operation Prepare();
    // Runs the work with the operation's context and its lines in the view, on this thread;
    // a signal stops it meanwhile.
    Outcome Run(const Operation& operation, OperationView view, const Work& work);
    // The window's way: the work in the controls' worker; the command ends when it has.
    void Start(Work work);
    // Asks the question of Format Card; whether it was answered OK.
    bool FormatAsked();
};
