#include "card/TableFile.h"

#include "card/CsvFile.h"
#include "card/TableSheet.h"
#include "card/Workbook.h"

#include <algorithm>

namespace {

// A table as the only sheet of its workbook, laid out and completed whichever way it ends.
class WorkbookTable : public TableFile {
public:
    WorkbookTable(const std::filesystem::path& file, const Table& table)
        : book_(file), sheet_(book_, table) {}
    ~WorkbookTable() override {
        try {
            sheet_.Finish();
        } catch (const std::exception&) {
            // What cannot be completed is removed as the workbook goes.
        }
    }

    void WriteRow(TableRow cells) override {
        if (!book_.WriteFailed()) {
            sheet_.WriteRow(cells);
        }
    }
    bool WriteFailed() const override { return book_.WriteFailed(); }
    void Close() override {
        sheet_.Finish();
        book_.Close();
    }
    TableSheet* Sheet() override { return &sheet_; }

private:
    Workbook book_;
    TableSheet sheet_;
};

} // namespace

bool IsWorkbookName(const std::filesystem::path& file) {
    const std::string& name = file.native();
    return name.size() >= WorkbookSuffix.size() &&
           std::equal(
               WorkbookSuffix.rbegin(), WorkbookSuffix.rend(), name.rbegin(),
               [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); });
}

std::unique_ptr<TableFile> CreateTableFile(const std::filesystem::path& file, const Table& table) {
    if (file.empty()) {
        return CsvFile::StandardOutput(table.commas);
    }
    if (IsWorkbookName(file)) {
        return std::make_unique<WorkbookTable>(file, table);
    }
    return std::make_unique<CsvFile>(file, table.commas);
}
