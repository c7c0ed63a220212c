#pragma once

#include "card/ExportRows.h"

#include <cstdio>
#include <filesystem>
#include <string>

struct lxw_workbook;
struct lxw_worksheet;

// The export as a workbook that spreadsheets open as it is: the header and the rows in its
// first sheet. Identifiers (Tag Nr, Invoice Nr, Location Id) are always text, weights and gate
// numbers that are plain numbers are numbers, every other cell is text; no cell is a formula.
// Texts keep every character, control characters as the format's escapes. The workbook is
// written under a temporary name in the export's folder (the library's own temporary files
// go there too) and put in its place only when it is complete, so a workbook that cannot be
// completed leaves no file under the name. Like a CSV export, it replaces an existing file with
// its permission bits, and a symbolic link's target rather than the link. Failures throw
// RuntimeError, as the CSV export's do; the library's own messages are not shown.
class WorkbookFile : public ExportRows {
public:
    explicit WorkbookFile(std::filesystem::path path);
    // A workbook not closed is completed all the same, so that the rows read before a failure
    // are kept; what cannot be completed is removed.
    ~WorkbookFile() override;
    WorkbookFile(const WorkbookFile&) = delete;
    WorkbookFile& operator=(const WorkbookFile&) = delete;

    void WriteRow(const RowCells& cells) override;
    bool WriteFailed() const override { return writeFailed_; }
    void Close() override;

private:
    std::filesystem::path path_;   // as named, for messages
    std::filesystem::path target_; // where it goes: a symbolic link's target
    std::filesystem::path temporary_;
    std::string folder_; // where the library keeps its temporary files
    lxw_workbook* workbook_ = nullptr;
    lxw_worksheet* sheet_ = nullptr;
    std::uint32_t row_ = 0;
    bool writeFailed_ = false;
    std::FILE* quiet_; // where the library's messages go instead of standard error

    // Completes the workbook and puts it in place; the reason it could not be, empty when it
    // could.
    std::string Complete();
    void Discard();
};
