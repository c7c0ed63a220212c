#include "cli/HistoryCommand.h"

#include "card/CodePage.h"
#include "cli/ExitStatus.h"
#include "cli/OutputOption.h"
#include "form/AppFolders.h"
#include "history/ArchiveReading.h"
#include "history/HistoryTable.h"

#include <variant>

int HistoryCommand(const HistoryOptions& options) {
    const auto output = OutputFile(options.output, options.force);
    if (const int* status = std::get_if<int>(&output)) {
        return *status;
    }
    auto folders = options.archives;
    if (folders.empty()) {
        // A station that has read no card yet has no archive, and no weighings.
        const auto archive = AppFolders::Standard().ArchiveFolder();
        std::error_code none;
        if (std::filesystem::is_directory(archive, none)) {
            folders.push_back(archive);
        }
    }
    const ArchiveReading reading = ReadArchives(folders);
    for (const std::string& failure : reading.failures) {
        Complain(failure);
    }
    std::vector<std::string> asked;
    for (const std::string& tag : options.tags) {
        asked.push_back(codepage::FromUtf8(tag));
    }
    const auto tags = ByTag(reading.weighings);
    try {
        WriteHistory(asked.empty() ? TagTable(tags) : WeighingTable(tags, asked, reading.images),
                     std::get<std::filesystem::path>(output));
    } catch (const std::exception& failure) {
        Complain(codepage::ToUtf8(failure.what()));
        return ExitStatus(Outcome::OutputError);
    }
    return reading.failures.empty() ? 0 : ExitStatus(Outcome::ContentError);
}
