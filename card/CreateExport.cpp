#include "card/CreateExport.h"

#include "card/ReadSummary.h"
#include "card/SummarySheet.h"
#include "card/TableFile.h"
#include "card/TableSheet.h"

namespace {

// The export as a table file; a workbook adds the sheet that sums its rows up, whichever way it
// is completed.
class Export : public ExportRows {
public:
    explicit Export(const std::filesystem::path& file)
        : file_(CreateTableFile(file, ExportTable)) {}
    ~Export() override {
        try {
            AddSummary();
        } catch (const std::exception&) {
            // What cannot be completed is removed as the workbook goes.
        }
    }

    void WriteRow(const RowCells& cells) override {
        if (written_++ > 0) {
            summary_.WriteRow(cells);
        }
        file_->WriteRow(cells);
    }
    bool WriteFailed() const override { return file_->WriteFailed(); }
    void Close() override {
        AddSummary();
        file_->Close();
    }

private:
    // The rows that the summary sheet sums up go nowhere further.
    class NoRows : public RowWriter {
    public:
        void WriteRow(const RowCells&) override {}
    };

    std::unique_ptr<TableFile> file_;
    std::size_t written_ = 0;
    NoRows counted_;
    ReadSummary summary_{counted_};
    bool summed_ = false;

    void AddSummary() {
        TableSheet* sheet = file_->Sheet();
        if (sheet != nullptr && !std::exchange(summed_, true)) {
            sheet->Finish();
            WriteSummarySheet(sheet->Book(), summary_);
        }
    }
};

} // namespace

std::unique_ptr<ExportRows> CreateExport(const std::filesystem::path& file) {
    return std::make_unique<Export>(file);
}
