#include "cli/TerminalControls.h"

#include "card/CardImage.h"
#include "card/CodePage.h"

#include <cstdio>
#include <iostream>
#include <string>
#include <unistd.h>

TerminalControls::TerminalControls(Choices choices)
    : choices_(choices), terminal_(::isatty(STDERR_FILENO) == 1) {}

void TerminalControls::Print(std::string_view text) {
    EndProgress();
    std::cerr << codepage::ToUtf8(text) << '\n';
}

void TerminalControls::EndProgress() {
    if (progressShown_) {
        std::cerr << "\r\033[K" << std::flush;
        progressShown_ = false;
    }
}

void TerminalControls::AddLine(std::string_view text, LineKind kind) {
    const bool dump = kind == LineKind::BlockDump;
    if (!dump || choices_.verbose) {
        Print(text);
    }
    if (dump && terminal_) {
        std::cerr << "\rReading card: " << ++blocks_ << " blocks of at most " << CardBlocks
                  << std::flush;
        progressShown_ = true;
    }
}

MessageAnswer TerminalControls::AskOkCancel(std::string_view text, std::string_view, MessageIcon) {
    if (choices_.yes) {
        return MessageAnswer::Ok;
    }
    EndProgress();
    std::cerr << codepage::ToUtf8(text) << " [ok/cancel] " << std::flush;
    std::string answer;
    std::getline(std::cin, answer);
    for (char& c : answer) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return answer == "ok" || answer == "y" || answer == "yes" ? MessageAnswer::Ok
                                                              : MessageAnswer::Cancel;
}
