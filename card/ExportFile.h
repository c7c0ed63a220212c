#pragma once

#include "card/RecordAssembler.h"

#include <filesystem>
#include <string_view>
#include <sys/types.h>

// The export file of one read. Every line goes straight to the file and is checked there, so a
// full disk shows at the row that did not fit. Failures throw RuntimeError.
class ExportFile : public RowWriter {
public:
    // Creates the file, or empties it when it exists.
    explicit ExportFile(std::filesystem::path path);
    ~ExportFile() override;
    ExportFile(const ExportFile&) = delete;
    ExportFile& operator=(const ExportFile&) = delete;

    void WriteLine(std::string_view line) override;
    // Closes the file; fails when the close fails, or when the path no longer leads to the
    // file that was written (its folder was removed or the file replaced meanwhile).
    void Close();

private:
    std::filesystem::path path_;
    int fd_ = -1;
    off_t size_ = 0; // bytes of the whole lines written
};
