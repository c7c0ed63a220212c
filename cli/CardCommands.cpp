#include "cli/CardCommands.h"

#include "base/ControlCharacters.h"
#include "base/Files.h"
#include "card/CardDescription.h"
#include "card/CardFile.h"
#include "card/CodePage.h"
#include "cli/Companion.h"
#include "cli/ExitStatus.h"
#include "cli/OutputOption.h"
#include "reader/ReaderLibrary.h"

#include <iostream>
#include <sys/mman.h>
#include <variant>

namespace {

// Read Card into the export file, or to standard output; summed up when asked.
int ReadInto(Companion& companion, const std::filesystem::path& file, bool summarize) {
    const std::string name = file.empty() ? "-" : codepage::FromFileName(file.filename());
    const Outcome outcome = companion.form.ReadCard(name, file, summarize);
    companion.controls.EndProgress();
    return ExitStatus(outcome);
}

// The card written down as text, as a card image held in a memory file: the card file reader
// reads it there as it reads an image on disk, so an export of a text is the export of its
// image. Nothing when the text cannot be read or is not a card, which is said.
std::optional<files::File> ImageOfText(const std::string& source) {
    const CardDescription card = CardFromTextFile(source);
    files::File image;
    const int memory = card.image ? ::memfd_create("card", MFD_CLOEXEC) : -1;
    if (memory >= 0 && !files::File::Duplicate(memory, image)) {
        image.WriteAll({reinterpret_cast<const char*>(card.image->data()), CardMemorySize});
    }
    if (memory >= 0) {
        ::close(memory);
    }
    if (!image.IsOpen()) {
        Complain(source + ": " + (card.image ? "no memory for the card image" : card.error));
        return std::nullopt;
    }
    return image;
}

} // namespace

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
    const auto output = OutputFile(options.output, options.force);
    if (const int* status = std::get_if<int>(&output)) {
        return *status;
    }
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
    return ReadInto(*companion, std::get<std::filesystem::path>(output), true);
}

int ExportCard(const CardOptions& options) {
    const auto output = OutputFile(options.output, options.force);
    if (const int* status = std::get_if<int>(&output)) {
        return *status;
    }
    files::File image;
    if (!options.text.empty()) {
        auto memory = ImageOfText(options.text);
        if (!memory) {
            return BadUsageStatus;
        }
        image = std::move(*memory);
    } else if (const auto error = OpenCardFile(options.image, image)) {
        Complain("Cannot open card image " + options.image.native() + ": " +
                 (error == std::errc::not_supported ? "not a regular file" : error.message()));
        return ExitStatus(Outcome::CardError);
    } else if (CardFromTextFile(options.image).image) {
        // No card image reads as a card written as text: its first line would be an item's.
        Complain(options.image.native() +
                 " looks like a card written as text: export it with --text " +
                 options.image.native());
        return BadUsageStatus;
    }
    // No settings and no data folder: nothing is logged or kept. Each library the form makes
    // reads the one image.
    auto shared = std::make_shared<files::File>(std::move(image));
    Companion companion(options, AppFolders{}, [shared] {
        files::File own;
        files::File::Duplicate(shared->Descriptor(), own);
        return std::make_shared<ReaderLibrary>(nullptr, VirtualReaders::OfImage(std::move(own)));
    });
    return ReadInto(companion, std::get<std::filesystem::path>(output), false);
}

int FormatCard(const CardOptions& options) {
    const auto companion = WithReaders(options);
    companion->controls.SetReaderText(options.reader);
    return ExitStatus(companion->form.FormatCard());
}
