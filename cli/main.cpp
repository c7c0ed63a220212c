// ostrivan-card: the commands of the window for scripts and stations without one. Reads a
// card into an export file or standard output, formats a card, lists the readers, exports a
// saved card image or a card written as text, and shows or sets the window's settings, with
// the window's settings, log, archive and status lines.

#include "base/Stop.h"
#include "cli/CardCommands.h"
#include "cli/ExitStatus.h"
#include "cli/HistoryCommand.h"
#include "cli/SettingCommand.h"
#include "cli/StationCommands.h"
#include "form/frmOstrivan.h"
#include "reader/BoundedLibrary.h"

#include <CLI/CLI.hpp>
#include <csignal>
#include <iostream>
#include <unistd.h>

namespace {

// A failure of the command line: one line and the usage of the command, on standard error.
int BadUsage(const CLI::App& app, const std::string& message) {
    const auto commands = app.get_subcommands();
    std::cerr << "ostrivan-card: " << message << "\n\n"
              << (commands.empty() ? app.help() : commands.front()->help(app.get_name()));
    return BadUsageStatus;
}

struct SettingOptions {
    std::string name;
    std::optional<std::string> value;
    bool number = false;
};

int RunCommand(int argc, char** argv);

} // namespace

int main(int argc, char** argv) {
    std::signal(SIGPIPE, SIG_IGN); // a reader of the export that goes away is a failed write
    // SIGINT, SIGTERM and SIGHUP end a read, export or format the way a failure would; the
    // status then tells the shell which signal it was.
    stop::HandleSignals();
    int status = RunCommand(argc, argv);
    if (stop::Signalled() != 0) {
        status = stop::ExitStatus();
    }
    // A card call given up is not waited for: the program ends at once, its files complete.
    if (BoundedLibrary::CallsLeftBehind() > 0) {
        std::cout.flush();
        std::cerr.flush();
        ::_exit(status);
    }
    return status;
}

namespace {

int RunCommand(int argc, char** argv) {
    CardOptions options;
    SettingOptions setting;
    CLI::App app("Reads farm record cards into CSV rows, formats cards and lists card readers, "
                 "with the settings, log and archive of the Ostrivan window.",
                 "ostrivan-card");
    app.set_version_flag("--version", VersionText());
    app.require_subcommand(1);
    app.footer("Exit status: 0 done, 1 the answer was no, 2 bad usage, 3 a reader or card error, "
               "4 the output failed, 5 a run-time error in the card's content.\n");
    auto* readers = app.add_subcommand("readers", "List the card readers, one per line.");
    auto* read = app.add_subcommand("read", "Read a card into CSV rows.");
    read->add_option("--reader", options.reader, "the reader (default: the first listed)");
    auto* format = app.add_subcommand("format", "Format the card in a reader.");
    format->add_option("--reader", options.reader, "the reader")->required();
    format->add_flag("--yes", options.choices.yes, "format without asking");
    auto* exportCard = app.add_subcommand(
        "export", "Export a saved card image, or a card written as text, without a reader.");
    auto* image = exportCard->add_option("IMAGE", options.image, "a card file or archived image");
    exportCard->add_option("--text", options.text, "a card written as text (-: standard input)")
        ->excludes(image);
    for (auto* command : {read, exportCard}) {
        command->add_option("--output", options.output,
                            "the export file (default: standard output)");
        command->add_flag("--force", options.force, "replace an existing export file");
        command->add_flag("--verbose", options.choices.verbose, "show the dump of every block");
    }
    auto* status = app.add_subcommand(
        "status", "Whether a card is in the reader, at once: exit 0 when one is, 3 otherwise.");
    status->add_option("--reader", options.reader, "the reader (default: the first listed)");
    auto* doctor = app.add_subcommand(
        "doctor", "What this station has: service, readers, card files, folders, log.");
    HistoryOptions history;
    auto* weights = app.add_subcommand(
        "history", "Every animal's weighings across the archived card reads, with the gain per "
                   "day: one row per tag, or one per weighing of the tags given.");
    weights->add_option("TAG", history.tags, "tag numbers, whatever the case and blanks");
    weights
        ->add_option("--archive", history.archives,
                     "an archive folder to read, instead of the station's (again for more)")
        ->allow_extra_args(false);
    weights->add_option("--output", history.output,
                        "the file (default: standard output; a name ending in .xlsx: a workbook)");
    weights->add_flag("--force", history.force, "replace an existing file");
    auto* settings = app.add_subcommand("setting", "Show a setting of the window, or set it.");
    settings->add_option("NAME", setting.name, "the value's name, such as \"Log File\"")
        ->required();
    settings->add_option("VALUE", setting.value, "the new value");
    settings->add_flag("--number", setting.number,
                       "a new value is a number (an existing one keeps its type)");
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& help) {
        return app.exit(help);
    } catch (const CLI::CallForVersion& version) {
        return app.exit(version);
    } catch (const CLI::ParseError& error) {
        return BadUsage(app, error.what());
    }
    if (format->parsed() && !options.choices.yes && ::isatty(STDIN_FILENO) != 1) {
        return BadUsage(app, "format asks before it writes, and there is no terminal to ask "
                             "on: give --yes to format without asking");
    }
    if (exportCard->parsed() && options.image.empty() && options.text.empty()) {
        return BadUsage(app, "export needs a card: an IMAGE, or --text FILE");
    }
    if (readers->parsed()) {
        return ListReaders(options);
    }
    if (read->parsed()) {
        return ReadCard(options);
    }
    if (status->parsed()) {
        return CardStatus(options);
    }
    if (doctor->parsed()) {
        return Doctor();
    }
    if (weights->parsed()) {
        return HistoryCommand(history);
    }
    if (settings->parsed()) {
        return SettingCommand(AppFolders::Standard(), setting.name, setting.value, setting.number);
    }
    return format->parsed() ? FormatCard(options) : ExportCard(options);
}

} // namespace
