#pragma once

#include "reader/ASEMEM.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

// What the operator is told after a failure's own lines: its likely cause and what to do about
// it, in one line of plain words (code-page text). Hints go to the status list, never to the
// log.
struct HintContext {
    std::string_view reader;           // the reader in use
    std::int32_t blocksRead = 0;       // of the read under way
    std::filesystem::path cardsFolder; // where card files go
};

// The hint as the line shown after a failure's own: "Hint: " and what to say; empty when there
// is nothing to say.
std::string HintLine(FailureCause cause, const HintContext& context);
// The hint as a sentence of its own, capital first; empty when there is nothing to say.
std::string HintSentence(FailureCause cause, const HintContext& context);
