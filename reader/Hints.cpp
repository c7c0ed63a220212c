#include "reader/Hints.h"

#include "card/CodePage.h"

namespace {

// What to say of the cause, to follow "Hint: ".
std::string Hint(FailureCause cause, const HintContext& context) {
    switch (cause) {
    case FailureCause::ServiceNotRunning:
        return "the PC/SC service is not running; start it with: sudo systemctl start pcscd";
    case FailureCause::ServiceRefused:
        return "the PC/SC service refused this program, as it does outside the desktop "
               "session (ssh, cron, a service): run it in the desktop session, or allow it with "
               "a polkit rule for org.debian.pcsc-lite.access_pcsc and access_card";
    case FailureCause::NoReaders:
        return "there is no card reader: plug one in, or put card files in " +
               codepage::FromFileName(context.cardsFolder);
    case FailureCause::NoCard:
        return "there is no card in the reader " + codepage::FromSystemName(context.reader) +
               "; put one in and try again";
    case FailureCause::CardHeld:
        return "another program is using the card, or one that used it was stopped: close it, "
               "or restart the PC/SC service";
    case FailureCause::NoAnswer:
        return "unplug the reader and plug it in again; if it stays busy, restart the PC/SC "
               "service";
    case FailureCause::CardLeft:
        return "the card left the reader after " + std::to_string(context.blocksRead) +
               " blocks; the rows read before are in the export file and the archive";
    default:
        return {};
    }
}

} // namespace

std::string HintLine(FailureCause cause, const HintContext& context) {
    const std::string hint = Hint(cause, context);
    return hint.empty() ? hint : "Hint: " + hint;
}

std::string HintSentence(FailureCause cause, const HintContext& context) {
    std::string hint = Hint(cause, context);
    if (!hint.empty()) {
        hint.front() = static_cast<char>(std::toupper(static_cast<unsigned char>(hint.front())));
    }
    return hint;
}
