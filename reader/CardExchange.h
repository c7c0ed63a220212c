#pragma once

#include "card/CardImage.h"
#include "card/RecordAssembler.h"
#include "reader/ASEMEM.h"
#include "report/Reporter.h"

#include <cstdint>
#include <string>

enum class ExchangeMode : std::int16_t { ExchangeRead = 1, ExchangeFormat = 2 };

// Result of an exchange when no end marker lay within the card's memory.
constexpr std::int32_t NoEndMarker = -2;

// What an exchange works with; the card image and the assembler belong to the window. The
// reader name is the text of the window's reader box, bytes unchanged.
struct ExchangeParts {
    ASEMEM& library;
    std::string readerName;
    Reporter& reporter;
    RecordAssembler& assembler;
    CardBuffer& cardBuffer;
    std::int32_t& cardBytesRead;
};

// One complete exchange with the card in the chosen reader: wait, connect, then read the card
// block by block into rows, or write the empty-card image; then disconnect. Every library
// failure is shown before it returns; its code is the result. A run-time error of the item
// decoder leaves it at once, and so does a stop asked by a signal, before any step but the
// disconnect that follows a write.
std::int32_t CardExchange(ExchangeMode mode, const ExchangeParts& parts);
