#pragma once

#include "card/RecordAssembler.h"
#include "reader/CardExchange.h"
#include "tests/support/ReportFixture.h"

#include <memory>

using Lines = std::deque<std::string>;

// A card exchange over a status report fixture, with rows shown in the status list as
// "row: ..." lines, so that tests see rows and status lines in the order they happened.
class ExchangeFixture : public ReportFixture {
protected:
    class Choice : public ReaderChoice {
    public:
        std::string text = "Reader 1";
        std::string ReaderNameText() const override { return text; }
    };
    class RowsInList : public RowWriter {
    public:
        explicit RowsInList(FakeStatusList& list) : list_(list) {}
        void WriteLine(std::string_view line) override {
            list_.lines.push_back("row: " + std::string(line.substr(0, line.size() - 2)));
        }

    private:
        FakeStatusList& list_;
    };

    Choice choice;
    RowsInList rows{list};
    RecordAssembler assembler{report};
    std::unique_ptr<CardBuffer> cardBuffer = std::make_unique<CardBuffer>();
    std::int32_t cardBytesRead = 0;

    ExchangeFixture() { assembler.SetRowWriter(&rows); }

    std::int32_t Run(ASEMEM& library, ExchangeMode mode) {
        return CardExchange(mode, {library, choice, report, assembler, *cardBuffer, cardBytesRead});
    }
};
