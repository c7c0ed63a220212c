// ostrivan-card: the commands of the window for scripts and stations without one. Reads a
// card into an export file or standard output, formats a card, lists the readers, exports a
// saved card image or a card written as text, and shows or sets the window's settings, with
// the window's settings, log, archive and status lines.

#include "base/Stop.h"
#include "card/TableFile.h"
#include "cli/CardCommands.h"
#include "cli/ExitStatus.h"
#include "cli/HistoryCommand.h"
#include "cli/SettingCommand.h"
#include "cli/StationCommands.h"
#include "form/AppFolders.h"
#include "form/Version.h"
#include "reader/BoundedLibrary.h"

#include <CLI/CLI.hpp>
#include <csignal>
#include <functional>
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

// A command of the companion: its name and what it does, as --help lists them, the options it
// takes, and what it runs; its exit status.
struct Command {
    const char* name;
    const char* what;
    std::function<void(CLI::App& command)> options;
    std::function<int()> run;
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
    CardOptions card;
    HistoryOptions history;
    SettingOptions setting;
    CLI::App app("Reads farm record cards into CSV files or workbooks, formats cards, lists card "
                 "readers and follows every animal's weights across the cards read, with the "
                 "settings, log, archive and herd book of the Ostrivan window.",
                 "ostrivan-card");
    app.set_version_flag("--version", VersionText());
    app.require_subcommand(1);
    app.footer("Exit status: 0 done; 1 the answer to format's question was no, or history found "
               "none of the tags given; 2 bad usage; 3 a reader or card error (a folder given to "
               "history that is not there too); 4 the output failed (or the herd book cannot be "
               "used); 5 a run-time error in the card's content, or an image history cannot read "
               "or that is no card image; 128+N stopped by signal N (130 for Ctrl-C), the way a "
               "failure would.\n");
    const auto exportOptions = [&](CLI::App& command) {
        command.add_option("--output", card.output,
                           "the export file (default: standard output): \".csv\" is added to a "
                           "name without a dot, a name ending in " +
                               std::string(WorkbookSuffix) + " gives a workbook");
        command.add_flag("--force", card.force, "replace an existing export file");
        command.add_flag("--verbose", card.choices.verbose, "show the dump of every block");
    };
    const Command commands[] = {
        {"readers", "List the card readers, one per line.", [](CLI::App&) {},
         [&] { return ListReaders(card); }},
        {"read",
         "Read the card in a reader into CSV rows or a workbook; its image is archived and its "
         "weighings go to the herd book.",
         [&](CLI::App& command) {
             command.add_option("--reader", card.reader, "the reader (default: the first listed)");
             exportOptions(command);
         },
         [&] { return ReadCard(card); }},
        {"format", "Format the card in a reader.",
         [&](CLI::App& command) {
             command.add_option("--reader", card.reader, "the reader")->required();
             command.add_flag("--yes", card.choices.yes, "format without asking");
         },
         [&] {
             if (!card.choices.yes && ::isatty(STDIN_FILENO) != 1) {
                 return BadUsage(app, "format asks before it writes, and there is no terminal to "
                                      "ask on: give --yes to format without asking");
             }
             return FormatCard(card);
         }},
        {"export",
         "Export a saved card image, or a card written as text, into CSV rows or a workbook, "
         "without a reader, log, archive or herd book.",
         [&](CLI::App& command) {
             auto* image = command.add_option("IMAGE", card.image, "a card file or archived image");
             command.add_option("--text", card.text, "a card written as text (-: standard input)")
                 ->excludes(image);
             exportOptions(command);
         },
         [&] {
             if (card.image.empty() && card.text.empty()) {
                 return BadUsage(app, "export needs a card: an IMAGE, or --text FILE");
             }
             return ExportCard(card);
         }},
        {"status",
         "Whether a card that can be read is in the reader, at once: exit 0 when one is, 3 "
         "otherwise.",
         [&](CLI::App& command) {
             command.add_option("--reader", card.reader, "the reader (default: the first listed)");
         },
         [&] { return CardStatus(card); }},
        {"doctor", "What this station has: service, readers, card files, folders, log.",
         [](CLI::App&) {}, [] { return Doctor(); }},
        {"history",
         "Every animal's weighings in the herd book, which first takes in the card images of the "
         "archive and of the folders given that it has not seen, with the gain per day: one row "
         "per animal, or one per weighing of the tags given (exit 1 when none of them has one).",
         [&](CLI::App& command) {
             command.add_option("TAG", history.tags, "tag numbers, whatever the case and blanks");
             command
                 .add_option("--archive", history.archives,
                             "another folder of card images to take in, such as another "
                             "station's archive (again for more)")
                 ->allow_extra_args(false);
             command.add_option("--output", history.output,
                                "the file (default: standard output; a name ending in " +
                                    std::string(WorkbookSuffix) + ": a workbook)");
             command.add_flag("--force", history.force, "replace an existing file");
         },
         [&] { return HistoryCommand(history); }},
        {"setting", "Show a setting of the window, or set it.",
         [&](CLI::App& command) {
             command.add_option("NAME", setting.name, "the value's name, such as \"Log File\"")
                 ->required();
             command.add_option("VALUE", setting.value, "the new value");
             command.add_flag("--number", setting.number,
                              "a new value is a number (an existing one keeps its type)");
         },
         [&] {
             return SettingCommand(AppFolders::Standard(), setting.name, setting.value,
                                   setting.number);
         }},
    };
    std::vector<std::pair<CLI::App*, const Command*>> added;
    for (const Command& command : commands) {
        CLI::App* subcommand = app.add_subcommand(command.name, command.what);
        command.options(*subcommand);
        added.emplace_back(subcommand, &command);
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& help) {
        return app.exit(help);
    } catch (const CLI::CallForVersion& version) {
        return app.exit(version);
    } catch (const CLI::ParseError& error) {
        return BadUsage(app, error.what());
    }
    for (const auto& [subcommand, command] : added) {
        if (subcommand->parsed()) {
            return command->run();
        }
    }
    return BadUsage(app, "A subcommand is required");
}

} // namespace
