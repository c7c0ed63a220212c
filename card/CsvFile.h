#pragma once

#include "base/Files.h"
#include "card/TableFile.h"

#include <filesystem>
#include <memory>
#include <string_view>
#include <sys/types.h>

// A table as CSV lines (CR LF), such as the export of one read. Every line goes straight to the
// file and is checked there, so a full disk shows at the row that did not fit, and a row that
// does not fit is taken out again: the file holds whole rows only. Failures throw RuntimeError;
// after the first, nothing more is written, and nothing more is said.
class CsvFile : public TableFile {
public:
    // Creates the file, or empties it when it exists.
    CsvFile(std::filesystem::path path, CsvCommas commas);
    // The table on standard output ("-" in messages): written alike, but not looked up by name
    // when it is closed.
    static std::unique_ptr<CsvFile> StandardOutput(CsvCommas commas);

    void WriteRow(TableRow cells) override;
    void WriteLine(std::string_view line);
    bool WriteFailed() const override { return writeFailed_; }
    // Flushes and closes the file; fails when that fails, or when the path no longer leads to
    // the file that was written (its folder was removed or the file replaced meanwhile).
    void Close() override;

private:
    std::filesystem::path path_;
    CsvCommas commas_ = CsvCommas::AfterEachCell;
    files::File file_;
    off_t size_ = 0; // bytes of the whole lines written
    bool named_ = true;
    bool writeFailed_ = false;

    CsvFile() = default;
    [[noreturn]] void Fail(const char* what, std::error_code error) const;
};
