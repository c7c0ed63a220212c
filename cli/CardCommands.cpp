#include "cli/CardCommands.h"

#include "base/Files.h"
#include "card/CardDescription.h"
#include "card/CodePage.h"
#include "cli/Companion.h"
#include "cli/ExitStatus.h"
#include "reader/PcscLite.h"

#include <iostream>
#include <sys/mman.h>

namespace {

// Read Card into the file named by --output (".csv" added to a last component without a dot,
// as the window does; a workbook for ".xlsx"), or to standard output; summed up when asked.
int ReadInto(Companion& companion, const CardOptions& options, bool summarize) {
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
    const Outcome outcome = companion.form.ReadCard(name, file, summarize);
    companion.controls.EndProgress();
    return ExitStatus(outcome);
}

// The card written down as text, as a card image file held in memory; nothing when the text
// cannot be read or is not a card, which is said.
std::optional<files::File> ImageOfText(const std::string& source) {
    std::string text;
    const auto failure = files::ReadWholeFile(source == "-" ? "/dev/stdin" : source, text);
    const CardDescription card = failure ? CardDescription{} : CardFromDescription(text);
    files::File image;
    const int memory = card.image ? ::memfd_create("card", MFD_CLOEXEC) : -1;
    if (memory >= 0 && !files::File::Duplicate(memory, image)) {
        image.WriteAll({reinterpret_cast<const char*>(card.image->data()), CardMemorySize});
    }
    if (memory >= 0) {
        ::close(memory);
    }
    if (!image.IsOpen()) {
        std::cerr << "ostrivan-card: " << source << ": "
                  << (failure ? failure.message() : card.error) << '\n';
        return std::nullopt;
    }
    return image;
}

} // namespace

std::unique_ptr<Companion> WithReaders(const CardOptions& options) {
    const AppFolders folders = AppFolders::Standard();
    auto companion = std::make_unique<Companion>(
        options, folders,
        std::make_unique<ReaderLibrary>(MakePcscLiteTransport(), folders.CardsFolder()));
    companion->form.LogWhenUnset();
    return companion;
}

int ListReaders(const CardOptions& options) {
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

int ReadCard(const CardOptions& options) {
    const auto companion = WithReaders(options);
    std::string reader = options.reader;
    if (reader.empty()) {
        const ReaderList list = companion->form.ListReaders();
        if (!list.Complete() || list.names.empty()) {
            return ExitStatus(Outcome::CardError);
        }
        reader = list.names.front();
        std::cerr << "Reader: " << reader << '\n';
    }
    companion->controls.SetReaderText(reader);
    return ReadInto(*companion, options, true);
}

int ExportCard(const CardOptions& options) {
    std::optional<files::File> memory;
    std::filesystem::path image = options.image;
    if (!options.text.empty()) {
        if (!(memory = ImageOfText(options.text))) {
            return BadUsageStatus;
        }
        image = "/proc/self/fd/" + std::to_string(memory->Descriptor());
    }
    // No settings and no data folder: nothing is logged or kept.
    Companion companion(options, AppFolders{},
                        std::make_unique<ReaderLibrary>(nullptr, VirtualReaders::OfImage(image)));
    return ReadInto(companion, options, false);
}

int FormatCard(const CardOptions& options) {
    const auto companion = WithReaders(options);
    companion->controls.SetReaderText(options.reader);
    return ExitStatus(companion->form.FormatCard());
}
