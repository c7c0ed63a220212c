#pragma once

#include "card/CsvText.h"
#include "card/RecordAssembler.h"
#include "reader/CardExchange.h"
#include "report/Reporter.h"
#include "tests/support/FakeControls.h"

#include <filesystem>
#include <memory>

using Lines = std::deque<std::string>;

// One card exchange with what the window gives it: a status list and boxes in memory, a log
// file (none for an empty path) and the rows, kept in the status list as "row: ..." lines so
// that rows and status lines are seen in the order they came. Shared by the tests, the fuzz
// targets and the benchmark.
class ExchangeHarness {
public:
    explicit ExchangeHarness(const std::filesystem::path& logFile = {})
        : logFile_{logFile.string(), logFile} {
        assembler.SetRowWriter(&rows_);
    }

    FakeControls window;
    Reporter report{window, window, [this]() -> const LogFileSetting& { return logFile_; }};
    RecordAssembler assembler{report};
    std::int32_t cardBytesRead = 0; // by the last exchange

    // A run-time error of the decoder leaves it, as it leaves the exchange.
    std::int32_t Run(ASEMEM& library, ExchangeMode mode, std::string reader = "Reader 1") {
        ExchangeContext context(std::shared_ptr<ASEMEM>(&library, [](ASEMEM*) {}),
                                std::move(reader), {logFile_}, window, window, {});
        context.assembler = &assembler;
        struct BytesRead {
            ExchangeContext& context;
            std::int32_t& kept;
            ~BytesRead() { kept = context.cardBytesRead; }
        } bytesRead{context, cardBytesRead};
        return CardExchange(mode, context);
    }
    RowWriter& Rows() { return rows_; }

private:
    class RowsInList : public RowWriter {
    public:
        explicit RowsInList(Lines& lines) : lines_(lines) {}
        void WriteRow(const RowCells& cells) override {
            const std::string line = CsvLine(cells);
            lines_.push_back("row: " + line.substr(0, line.size() - 2));
        }

    private:
        Lines& lines_;
    };

    LogFileSetting logFile_;
    RowsInList rows_{window.lines};
};
