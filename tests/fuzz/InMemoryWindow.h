#pragma once

#include "card/RecordAssembler.h"
#include "reader/CardExchange.h"
#include "report/RuntimeError.h"
#include "report/StatusReport.h"
#include "tests/support/FakeWindow.h"

#include <filesystem>

// What a read needs around it, kept in memory for fuzzing: a status list, message boxes, and
// settings without a log file.
struct InMemoryWindow {
    explicit InMemoryWindow(const std::filesystem::path& folder)
        : registry(folder / "Ostrivan.reg"), settings(registry) {}

    Registry registry;
    registry_mdl settings;
    FakeStatusList list;
    FakeMessageBoxes boxes;
    StatusReport report{list, boxes, settings};
    RecordAssembler assembler{report};
    std::unique_ptr<CardBuffer> cardBuffer = std::make_unique<CardBuffer>();
    std::int32_t cardBytesRead = 0;

    // The exchange as the Read Card command runs it: a decoder failure ends it there.
    std::int32_t Exchange(ASEMEM& library, const ReaderChoice& reader, ExchangeMode mode) {
        try {
            return CardExchange(mode,
                                {library, reader, report, assembler, *cardBuffer, cardBytesRead});
        } catch (const RuntimeError& error) {
            report.ReportRuntimeError("cmdReadCard_Click()", error.what());
            return -1;
        }
    }
};

class NamedReader : public ReaderChoice {
public:
    explicit NamedReader(std::string name) : name_(std::move(name)) {}
    std::string ReaderNameText() const override { return name_; }

private:
    std::string name_;
};
