#include "form/CardOperations.h"

#include "card/CodePage.h"
#include "card/CreateExport.h"
#include "card/ReadSummary.h"
#include "herd/TakeIn.h"

#include <optional>

namespace {

constexpr std::string_view ReadCardLabel = "cmdReadCard_Click()";

std::string Rows(std::size_t count) {
    return std::to_string(count) + (count == 1 ? " row" : " rows");
}

// Keeps the bytes that the read got, if any, in the archive, and their weighings in the herd
// book, quietly: a line when either cannot be done, and the read goes on as it was.
void KeepCardRead(ExchangeContext& context, const ReadRequest& request) {
    if (context.cardBytesRead <= 0) {
        return;
    }
    const auto bytes =
        std::span(*context.cardBuffer).first(static_cast<std::size_t>(context.cardBytesRead));
    const auto [file, failure] = request.archive->Keep(context.clock(), context.readerName, bytes);
    if (!failure.empty()) {
        context.reporter.ShowStatus("The card read could not be kept in " +
                                        codepage::FromFileName(request.archive->Folder()) + ": " +
                                        failure,
                                    false);
        return;
    }
    try {
        HerdBook book(request.herdBook);
        TakeInRead(book, codepage::FromFileName(file.filename()), bytes);
    } catch (const std::exception& error) {
        context.reporter.ShowStatus(error.what(), false);
    }
}

} // namespace

Outcome ReadCardInto(ExchangeContext& context, const ReadRequest& request) {
    Reporter& report = context.reporter;
    RecordAssembler& assembler = *context.assembler;
    std::unique_ptr<ExportRows> rows;
    std::int32_t code = 0;
    const bool opened = report.Trap(ReadCardLabel, [&] {
        report.ShowStatus("Opening file " + request.name);
        rows = CreateExport(request.file);
        rows->WriteRow(Cells(assembler.RowFields, &RowField::Label));
    });
    std::optional<ReadSummary> summary;
    if (opened) {
        summary.emplace(*rows);
    }
    bool decoded = false;
    {
        const AssemblerLent lent(assembler, summary ? &*summary : nullptr, report);
        decoded = opened && report.Trap(ReadCardLabel, [&] {
            code = CardExchange(ExchangeMode::ExchangeRead, context);
        });
    }
    const bool closed = decoded && report.Trap(ReadCardLabel, [&] {
        rows->Close();
        report.ShowStatus("Closing file " + request.name, false);
        report.ShowStatus("Finished!", false);
    });
    if (const std::string line = summary ? summary->Line() : "";
        closed && request.summarize && !line.empty()) {
        report.ShowStatus(line, false);
    }
    if (opened && !decoded && context.stop.Requested()) {
        // The rows before the stop stay: a workbook is completed with them as it goes.
        report.ShowStatus("Read Card cancelled: " + Rows(summary->Rows()) + " kept");
    }
    if (request.archive != nullptr) {
        KeepCardRead(context, request);
    }
    // The first failure decides; a row that could not be written came before whatever ended
    // the exchange.
    if (!opened || rows->WriteFailed()) {
        return Outcome::OutputError;
    }
    if (!decoded) {
        return Outcome::ContentError;
    }
    if (code != 0) {
        return Outcome::CardError;
    }
    return closed ? Outcome::Done : Outcome::OutputError;
}

Outcome FormatCardIn(ExchangeContext& context) {
    Reporter& report = context.reporter;
    Outcome outcome = Outcome::CardError; // until the card is written
    report.Trap("cmdClearCard_Click()", [&] {
        report.ShowStatus("Formatting Card");
        if (CardExchange(ExchangeMode::ExchangeFormat, context) == 0) {
            outcome = Outcome::Done;
        }
        report.ShowStatus("Finished!", false);
    });
    const bool stopped = context.stop.Requested();
    if (stopped || context.written == WriteFate::Unanswered) {
        const std::string fate =
            context.written == WriteFate::Written      ? "the card was left formatted"
            : context.written == WriteFate::Unanswered ? "the card may or may not be formatted: "
                                                         "read it to see"
                                                       : "the card was not formatted";
        report.ShowStatus(
            (stopped ? context.stop.Reason() : "No answer to the write") + ": " + fate, false);
    }
    return outcome;
}
