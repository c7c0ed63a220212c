#pragma once

#include "base/Stop.h"
#include "card/CardImage.h"
#include "card/RecordAssembler.h"
#include "reader/BoundedLibrary.h"
#include "report/Reporter.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

enum class ExchangeMode : std::int16_t { ExchangeRead = 1, ExchangeFormat = 2 };

// Result of an exchange when no end marker lay within the card's memory.
constexpr std::int32_t NoEndMarker = -2;

// The settings an operation reads, as they stood when it began: it runs apart from the window,
// where they may change meanwhile.
struct OperationSettings {
    LogFileSetting logFile;
    std::chrono::seconds cardTimeout = DefaultCardTimeout;
};

// What became of a format's write.
enum class WriteFate { NotSent, Written, Refused, Unanswered };

// What one operation on a card works with, all of it its own, so that it can run apart from
// the window and be stopped there: the reader library made afresh for it, its calls bounded by
// the card timeout and cut short by the stop; the reader's name (the reader box's text, bytes
// unchanged); its lines, logged to the log file of its settings; the card image and the bytes
// read into it; and, for a read, the window's record assembler, lent to it.
class ExchangeContext {
public:
    ExchangeContext(std::shared_ptr<ASEMEM> library, std::string readerName,
                    OperationSettings settings, LineList& lines, MessageBoxes& boxes,
                    stop::Token stop, LocalClock clock = SystemLocalTime);

    const OperationSettings settings;
    const std::string readerName;
    const stop::Token stop;
    const LocalClock clock;
    Reporter reporter;
    BoundedLibrary library;
    std::unique_ptr<CardBuffer> cardBuffer = std::make_unique<CardBuffer>();
    std::int32_t cardBytesRead = 0;
    RecordAssembler* assembler = nullptr;
    WriteFate written = WriteFate::NotSent;
};

// One complete exchange with the card in the chosen reader: wait, connect, then read the card
// block by block into rows, or write the empty-card image; then disconnect. Every library
// failure is shown before it returns; its code is the result. A run-time error of the item
// decoder leaves it at once, and so does a stop, before any step but the disconnect that
// follows a write.
std::int32_t CardExchange(ExchangeMode mode, ExchangeContext& context);
