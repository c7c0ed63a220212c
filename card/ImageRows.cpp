#include "card/ImageRows.h"

#include "base/RuntimeError.h"
#include "card/DecodeTLV.h"
#include "card/RecordAssembler.h"
#include "report/Reporter.h"

namespace {

// Takes the lines of a decoding that nobody watches, and keeps the first: a run-time error
// that the record assembler reported rather than let out.
class Unwatched : public LineList, public MessageBoxes {
public:
    std::string firstLine;

    void AddLine(std::string_view text, LineKind) override {
        if (firstLine.empty()) {
            firstLine = text;
        }
    }
    void ShowMessage(std::string_view, std::string_view, MessageIcon) override {}
    MessageAnswer AskOkCancel(std::string_view, std::string_view, MessageIcon) override {
        return MessageAnswer::Cancel;
    }
};

} // namespace

void WriteRowsOfImage(const CardBuffer& image, RowWriter& rows) {
    static const LogFileSetting noLog;
    Unwatched lines;
    Reporter reporter(lines, lines, []() -> const LogFileSetting& { return noLog; });
    RecordAssembler assembler(reporter);
    assembler.SetRowWriter(&rows);
    ItemWalk walk;
    // The whole card is there at once: as a read block by block, but without the blocks.
    WalkItems(image, CardMemorySize, walk, [&](const TLVItem& item) {
        assembler.TLVToCSV(item);
        if (!lines.firstLine.empty()) {
            throw RuntimeError(lines.firstLine);
        }
    });
    if (!walk.EndFound) {
        throw RuntimeError("No end of file found on card");
    }
}
