#include "card/ImageRows.h"

#include "card/DecodeTLV.h"
#include "card/RecordAssembler.h"
#include "report/Reporter.h"

namespace {

// Takes the lines of a decoding that nobody watches, and keeps the first: a run-time error that
// the record assembler reported rather than let out.
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

ImageEnd WriteRowsOfImage(const CardBuffer& image, std::int32_t length, RowWriter& rows) {
    static const LogFileSetting noLog;
    Unwatched lines;
    Reporter reporter(lines, lines, []() -> const LogFileSetting& { return noLog; });
    RecordAssembler assembler(reporter);
    assembler.SetRowWriter(&rows);
    ItemWalk walk;
    ImageEnd end;
    try {
        // The bytes read are there at once: as a read block by block, but without the blocks.
        WalkItems(image, length, walk, [&](const TLVItem& item) { assembler.TLVToCSV(item); });
    } catch (const std::exception& error) {
        end.fault = error.what();
    }
    end.endFound = walk.EndFound;
    // "** Error in TLVToCSV() VB error = Overflow": the error is what follows the marker.
    constexpr std::string_view Marker = " VB error = ";
    if (const auto at = lines.firstLine.find(Marker);
        end.fault.empty() && at != std::string::npos) {
        end.fault = lines.firstLine.substr(at + Marker.size());
    }
    return end;
}
