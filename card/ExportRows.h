#pragma once

#include <array>
#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

// The export's columns, from "RecType" to "Version".
constexpr std::size_t ExportColumnCount = 11;

// One row of the export, header or record: its eleven cells, code-page text.
using RowCells = std::array<std::string_view, ExportColumnCount>;

// Where finished rows go. A row that cannot be written throws RuntimeError when it is
// written, not later.
class RowWriter {
public:
    virtual ~RowWriter() = default;
    virtual void WriteRow(const RowCells& cells) = 0;
};

// The export file of one read: the header and the rows, in card order.
class ExportRows : public RowWriter {
public:
    // Whether a row could not be written.
    virtual bool WriteFailed() const = 0;
    // Completes the file; throws RuntimeError when it cannot be completed.
    virtual void Close() = 0;
};

// The export for the file: a workbook for a name ending in ".xlsx" (any case), CSV rows
// otherwise, and CSV rows on standard output for an empty path.
std::unique_ptr<ExportRows> CreateExport(const std::filesystem::path& file);

// Whether the name asks for a workbook.
bool IsWorkbookName(const std::filesystem::path& file);

// The failure of an export file, as RuntimeError: "Cannot write file NAME: REASON".
[[noreturn]] void ThrowExportFailure(std::string_view what, const std::filesystem::path& file,
                                     const std::string& reason);
