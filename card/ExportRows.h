#pragma once

#include "card/ExportColumns.h"

#include <filesystem>
#include <string>
#include <string_view>

// Where finished rows go. A row that cannot be written throws RuntimeError when it is
// written, not later; an export takes no row after that.
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

// The failure of an export file, as RuntimeError: "Cannot write file NAME: REASON".
[[noreturn]] void ThrowExportFailure(std::string_view what, const std::filesystem::path& file,
                                     const std::string& reason);
