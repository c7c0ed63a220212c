// ostrivan-card: the commands of the window for scripts and stations without one. Reads a
// card into an export file or standard output, formats a card, lists the readers, or exports
// a saved card image, with the window's settings, log, archive and status lines.

#include "base/Files.h"
#include "card/CodePage.h"
#include "cli/TerminalControls.h"
#include "form/frmOstrivan.h"
#include "reader/PcscLite.h"
#include "reader/ReaderLibrary.h"

#include <CLI/CLI.hpp>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <unistd.h>

namespace {

constexpr int BadUsageStatus = 2;

// 0 done, 1 the answer was no, 3 a reader or card error, 4 the output failed, 5 a run-time
// error in the card's content.
int ExitStatus(Outcome outcome) {
    constexpr int Statuses[] = {0, 1, 3, 4, 5}; // in the order of Outcome
    return Statuses[static_cast<std::size_t>(outcome)];
}

struct Options {
    std::string reader;
    std::string output;
    std::filesystem::path image;
    bool force = false;
    TerminalControls::Choices choices;
};

// The window's form, with its settings, folders and controls on the terminal.
struct Companion {
    Companion(const Options& options, AppFolders folders, std::unique_ptr<ReaderLibrary> cards)
        : controls(options.choices), library(std::move(cards)),
          form(controls, *library, std::move(folders)) {}

    TerminalControls controls;
    std::unique_ptr<ReaderLibrary> library;
    frmOstrivan form;
};

std::unique_ptr<Companion> WithReaders(const Options& options) {
    const AppFolders folders = AppFolders::Standard();
    return std::make_unique<Companion>(
        options, folders,
        std::make_unique<ReaderLibrary>(MakePcscLiteTransport(), folders.CardsFolder()));
}

int ListReaders(const Options& options) {
    const auto companion = WithReaders(options);
    ReaderList list = companion->form.ListReaders();
    if (!list.names.empty() && list.names.back().empty()) {
        list.names.pop_back(); // the list's end
    }
    for (const std::string& name : list.names) {
        std::cout << name << '\n';
    }
    return ExitStatus(list.Complete() ? Outcome::Done : Outcome::CardError);
}

// Read Card into the file named by --output (".csv" added to a last component without a dot,
// as the window does), or to standard output.
int ReadInto(Companion& companion, const Options& options) {
    std::filesystem::path file = options.output;
    if (!file.empty()) {
        file.replace_filename(ExportFileName(file.filename()));
    }
    if (!options.force && files::IsRegularFile(file)) {
        std::cerr << "ostrivan-card: " << file.native() << " exists; --force replaces it\n";
        return ExitStatus(Outcome::OutputError);
    }
    companion.form.SetColumnLabels();
    const std::string name = file.empty() ? "-" : codepage::FromFileName(file.filename());
    const Outcome outcome = companion.form.ReadCard(name, file);
    companion.controls.EndProgress();
    return ExitStatus(outcome);
}

int Read(const Options& options) {
    const auto companion = WithReaders(options);
    std::string reader = options.reader;
    if (reader.empty()) {
        const ReaderList list = companion->form.ListReaders();
        if (!list.Complete() || list.names.empty()) {
            return ExitStatus(Outcome::CardError);
        }
        reader = list.names.front();
    }
    companion->controls.SetReaderText(reader);
    return ReadInto(*companion, options);
}

int Export(const Options& options) {
    // No settings and no data folder: nothing is logged or kept.
    Companion companion(
        options, AppFolders{},
        std::make_unique<ReaderLibrary>(nullptr, VirtualReaders::OfImage(options.image)));
    return ReadInto(companion, options);
}

int Format(const Options& options) {
    const auto companion = WithReaders(options);
    companion->controls.SetReaderText(options.reader);
    return ExitStatus(companion->form.FormatCard());
}

// A failure of the command line: one line and the usage of the command, on standard error.
int BadUsage(const CLI::App& app, const std::string& message) {
    const auto commands = app.get_subcommands();
    std::cerr << "ostrivan-card: " << message << "\n\n"
              << (commands.empty() ? app.help() : commands.front()->help(app.get_name()));
    return BadUsageStatus;
}

} // namespace

int main(int argc, char** argv) {
    std::signal(SIGPIPE, SIG_IGN); // a reader of the export that goes away is a failed write
    Options options;
    CLI::App app("Reads farm record cards into CSV rows, formats cards and lists card readers, "
                 "with the settings, log and archive of the Ostrivan window.",
                 "ostrivan-card");
    app.set_version_flag("--version",
                         std::string(ApplicationTitle) + " " + std::to_string(VersionMajor) + "." +
                             std::to_string(VersionMinor) + "." + std::to_string(VersionRevision));
    app.require_subcommand(1);
    app.footer("Exit status: 0 done, 1 the answer was no, 2 bad usage, 3 a reader or card error, "
               "4 the output failed, 5 a run-time error in the card's content.\n");
    auto* readers = app.add_subcommand("readers", "List the card readers, one per line.");
    auto* read = app.add_subcommand("read", "Read a card into CSV rows.");
    read->add_option("--reader", options.reader, "the reader (default: the first listed)");
    auto* format = app.add_subcommand("format", "Format the card in a reader.");
    format->add_option("--reader", options.reader, "the reader")->required();
    format->add_flag("--yes", options.choices.yes, "format without asking");
    auto* exportImage = app.add_subcommand("export", "Export a saved card image, no reader.");
    exportImage->add_option("IMAGE", options.image, "a card file or an archived image")->required();
    for (auto* command : {read, exportImage}) {
        command->add_option("--output", options.output,
                            "the export file (default: standard output)");
        command->add_flag("--force", options.force, "replace an existing export file");
        command->add_flag("--verbose", options.choices.verbose, "show the dump of every block");
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
    if (format->parsed() && !options.choices.yes && ::isatty(STDIN_FILENO) != 1) {
        return BadUsage(app, "format asks before it writes, and there is no terminal to ask "
                             "on: give --yes to format without asking");
    }
    if (readers->parsed()) {
        return ListReaders(options);
    }
    if (read->parsed()) {
        return Read(options);
    }
    return format->parsed() ? Format(options) : Export(options);
}
