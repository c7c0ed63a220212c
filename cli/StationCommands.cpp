#include "cli/StationCommands.h"

#include "base/ControlCharacters.h"
#include "card/CodePage.h"
#include "cli/Companion.h"
#include "cli/ExitStatus.h"
#include "form/Version.h"
#include "reader/Hints.h"
#include "reader/PcscLite.h"
#include "reader/ReaderLibrary.h"

#include <iomanip>
#include <iostream>
#include <sstream>
#include <unistd.h>

namespace {

// The reason a call failed, in one line: what the library could tell, or the code's message.
std::string Reason(ReaderLibrary& library, std::int32_t code, const std::string& reader) {
    const std::string hint =
        HintLine(library.LastFailureCause(), {reader, 0, library.CardFiles().Folder()});
    return codepage::ToUtf8(hint.empty() ? codepage::FromSystemName(reader) + ": " +
                                               std::string(CardErrorMessage(code))
                                         : hint);
}

std::string ReaderStateText(const ReaderState& state) {
    if ((state.flags & PcscStatePresent) == 0) {
        return (state.flags & PcscStateUnavailable) != 0 ? "unavailable" : "no card";
    }
    std::ostringstream text;
    text << ((state.flags & PcscStateMute) != 0 ? "a card that does not answer" : "card present")
         << (state.CardIsHeld() ? ", held by another program" : "") << ", answer to reset";
    for (const std::uint8_t byte : state.atr) {
        text << ' ' << std::uppercase << std::hex << std::setw(2) << std::setfill('0')
             << static_cast<int>(byte);
    }
    return text.str();
}

std::string FolderState(const std::filesystem::path& folder) {
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error)) {
        return "missing";
    }
    return ::access(folder.c_str(), W_OK) == 0 ? "can be written" : "cannot be written";
}

// The PC/SC readers and what they hold; whether one holds a card.
bool ShowPcscReaders(ReaderLibrary& library) {
    std::vector<std::string> names;
    library.PcscSide().NoteCause(FailureCause::Unknown);
    if (library.PcscSide().ListReaders(names) != ReaderCode::Success) {
        const std::string hint = HintSentence(library.PcscSide().Cause(), {});
        std::cout << (hint.empty() ? "The PC/SC service does not answer" : hint) << '\n';
        return false;
    }
    std::cout << "The PC/SC service answers" << (names.empty() ? ", with no reader attached" : "")
              << '\n';
    bool card = false;
    for (const std::string& name : names) {
        ReaderState state;
        const std::int32_t code = library.PcscSide().State(name, state);
        card = card || (code == ReaderCode::Success && state.CardIsThere() && !state.CardIsHeld());
        std::cout << "Reader " << name << ": "
                  << (code == ReaderCode::Success ? ReaderStateText(state)
                                                  : std::string(CardErrorMessage(code)))
                  << '\n';
    }
    return card;
}

// The library that status and doctor look at the readers through; they connect to no card.
ReaderLibrary Readers() {
    return {MakePcscLiteTransport(), AppFolders::Standard().CardsFolder()};
}

// Whether another connection holds the card in the PC/SC reader: then it cannot be read.
bool CardHeld(ReaderLibrary& library, const std::string& reader) {
    ReaderState state;
    return !library.CardFiles().Owns(reader) &&
           library.PcscSide().State(reader, state) == ReaderCode::Success && state.CardIsHeld();
}

} // namespace

int CardStatus(const CardOptions& options) {
    const auto companion = WithReaders(options);
    ReaderLibrary library = Readers();
    std::string reader = options.reader;
    if (reader.empty()) {
        const ReaderList list = companion->form.ListReaders(false);
        if (!list.Complete() || list.names.empty()) {
            std::cerr << Reason(library, ReaderCode::NoReaders, "") << '\n';
            return ExitStatus(Outcome::CardError);
        }
        reader = list.names.front();
    }
    if (const std::int32_t code = library.ASEWaitForCardEvent(reader, 1, 0)) {
        std::cerr << Reason(library, code, reader) << '\n';
        return ExitStatus(Outcome::CardError);
    }
    if (CardHeld(library, reader)) {
        std::cerr << codepage::ToUtf8(HintLine(FailureCause::CardHeld, {})) << '\n';
        return ExitStatus(Outcome::CardError);
    }
    return 0;
}

int Doctor() {
    const auto companion = WithReaders({});
    ReaderLibrary library = Readers();
    std::cout << VersionText() << '\n';
    bool card = ShowPcscReaders(library);
    std::vector<std::string> cards;
    library.CardFiles().ListReaders(cards);
    for (const std::string& name : cards) {
        std::cout << "Card file " << name << ": card present ("
                  << library.CardFiles().CardFile(name).native() << ")\n";
    }
    for (const auto& [file, why] : library.CardFiles().SkippedFiles()) {
        std::cout << "Card file skipped: " << ControlCharactersShown(file.native()) << ": " << why
                  << '\n';
    }
    card = card || !cards.empty();
    const AppFolders folders = AppFolders::Standard();
    const std::pair<const char*, std::filesystem::path> places[] = {
        {"Data folder", folders.dataFolder},
        {"Cards folder", folders.CardsFolder()},
        {"Archive folder", folders.ArchiveFolder()},
        {"Settings folder", folders.settingsFile.parent_path()}};
    for (const auto& [what, folder] : places) {
        std::cout << what << ' ' << folder.native() << ": " << FolderState(folder) << '\n';
    }
    const std::string log = companion->form.LogFileInUse();
    std::cout << "Log file: " << (log.empty() ? "none" : codepage::ToUtf8(log)) << '\n';
    return ExitStatus(card ? Outcome::Done : Outcome::CardError);
}
