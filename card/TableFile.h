#pragma once

#include "card/Table.h"

#include <filesystem>
#include <memory>
#include <string_view>

class TableSheet;

// A table written to a file. Failures throw RuntimeError naming the file ("Cannot write file
// NAME: REASON"); after the first, no row is written and nothing more is said.
class TableFile {
public:
    virtual ~TableFile() = default;

    // The first row written is the header.
    virtual void WriteRow(TableRow cells) = 0;
    // Whether a row could not be written.
    virtual bool WriteFailed() const = 0;
    // Completes the file; throws RuntimeError when it cannot be completed.
    virtual void Close() = 0;
    // The table's sheet when the file is a workbook, for what else the workbook shows of it;
    // none for CSV.
    virtual TableSheet* Sheet() { return nullptr; }
};

constexpr std::string_view WorkbookSuffix = ".xlsx";

// Whether the name asks for a workbook: it ends in the workbook's suffix, whatever the case.
bool IsWorkbookName(const std::filesystem::path& file);

// The one place that chooses the kind of file from its name: a workbook for a workbook's name,
// CSV lines otherwise, and CSV lines on standard output ("-" in messages) for an empty path. An
// existing file is replaced.
std::unique_ptr<TableFile> CreateTableFile(const std::filesystem::path& file, const Table& table);
