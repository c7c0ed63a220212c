#include "cli/HistoryCommand.h"

#include "base/Stop.h"
#include "card/CodePage.h"
#include "cli/CodePageText.h"
#include "cli/ExitStatus.h"
#include "cli/OutputOption.h"
#include "form/AppFolders.h"
#include "herd/TakeIn.h"
#include "history/HistoryTable.h"

#include <variant>

namespace {

// A missing --archive folder is a reader's error: the cards it should hold are not there.
constexpr int MissingArchiveStatus = 3;

// The folders whose card files the book takes in: the station's own archive, when it has one,
// and those given.
std::vector<std::filesystem::path> ArchiveFolders(const HistoryOptions& options) {
    std::vector<std::filesystem::path> folders;
    std::error_code none;
    if (const auto archive = AppFolders::Standard().ArchiveFolder();
        std::filesystem::is_directory(archive, none)) {
        folders.push_back(archive);
    }
    folders.insert(folders.end(), options.archives.begin(), options.archives.end());
    return folders;
}

// The table of the tags asked for, each named on standard error when it has no weighing.
HistoryTable TagsAsked(HerdBook& book, const std::vector<std::string>& tags, bool& found) {
    std::vector<AnimalHistory> animals;
    for (const std::string& typed : tags) {
        if (auto animal = AnimalOfTag(book, typed)) {
            animals.push_back(std::move(*animal));
        } else {
            Complain("No weighings of tag " + codepage::ToUtf8(typed));
        }
    }
    found = !animals.empty();
    return WeighingTable(animals);
}

} // namespace

int HistoryCommand(const HistoryOptions& options) {
    std::vector<std::string> tags;
    for (const std::string& tag : options.tags) {
        if (const std::string unfit = NotInCodePage("tag", tag, "a card"); !unfit.empty()) {
            Complain(unfit);
            return BadUsageStatus;
        }
        tags.push_back(codepage::FromUtf8(tag));
    }
    const auto output = OutputFile(options.output, options.force);
    if (const int* status = std::get_if<int>(&output)) {
        return *status;
    }
    for (const auto& folder : options.archives) {
        std::error_code none;
        if (!std::filesystem::is_directory(folder, none)) {
            Complain(folder.native() + ": no such folder");
            return MissingArchiveStatus;
        }
    }
    stop::Source stop;
    const stop::SignalScope signals(stop);
    try {
        HerdBook book(AppFolders::Standard().HerdBookFile());
        const TakenIn taken = TakeInFolders(book, ArchiveFolders(options), stop.GetToken());
        for (const auto& lines : {taken.shortImages, taken.failures}) {
            for (const std::string& line : lines) {
                Complain(line);
            }
        }
        bool found = true;
        WriteHistory(tags.empty() ? TagTable(EveryAnimal(book)) : TagsAsked(book, tags, found),
                     std::get<std::filesystem::path>(output));
        if (!taken.failures.empty()) {
            return ExitStatus(Outcome::ContentError);
        }
        return found ? 0 : ExitStatus(Outcome::Declined);
    } catch (const HerdBookError& failure) {
        Complain(codepage::ToUtf8(failure.what()));
        Complain("To start over, move the herd book aside: the next history takes in the "
                 "archive again.");
        return ExitStatus(Outcome::OutputError);
    } catch (const std::exception& failure) {
        Complain(codepage::ToUtf8(failure.what()));
        return ExitStatus(Outcome::OutputError);
    }
}
