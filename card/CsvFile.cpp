#include "card/CsvFile.h"

#include "base/RuntimeError.h"
#include "card/CodePage.h"
#include "card/CsvText.h"
#include "card/ExportRows.h"

#include <fcntl.h>
#include <unistd.h>

CsvFile::CsvFile(std::filesystem::path path, CsvCommas commas)
    : path_(std::move(path)), commas_(commas) {
    if (const auto error = files::File::Open(path_, O_WRONLY | O_CREAT | O_TRUNC, file_)) {
        Fail("Cannot create file", error);
    }
}

std::unique_ptr<CsvFile> CsvFile::StandardOutput(CsvCommas commas) {
    std::unique_ptr<CsvFile> output(new CsvFile());
    output->path_ = "-";
    output->commas_ = commas;
    output->named_ = false;
    if (const auto error = files::File::Duplicate(STDOUT_FILENO, output->file_)) {
        output->Fail("Cannot create file", error);
    }
    return output;
}

void CsvFile::Fail(const char* what, std::error_code error) const {
    ThrowExportFailure(what, path_, error.message());
}

void CsvFile::WriteRow(TableRow cells) {
    WriteLine(CsvLine(cells, commas_));
}

void CsvFile::WriteLine(std::string_view line) {
    if (writeFailed_) {
        return; // the output is closed or full: its first failed write said so
    }
    if (!file_.IsOpen()) {
        writeFailed_ = true;
        throw RuntimeError("Bad file name or number");
    }
    if (const auto error = file_.WriteAll(line)) {
        writeFailed_ = true;
        file_.TruncateTo(size_);
        Fail("Cannot write file", error);
    }
    size_ += static_cast<off_t>(line.size());
}

void CsvFile::Close() {
    if (!file_.IsOpen()) {
        return;
    }
    struct stat written {};
    struct stat named {};
    const bool sameFile =
        !named_ || (!file_.Status(written) && files::Calls().stat(path_.c_str(), &named) == 0 &&
                    written.st_dev == named.st_dev && written.st_ino == named.st_ino);
    // What the disk could not take may show only when it is flushed: that too is a failed write.
    const auto flushed = file_.Sync();
    const auto closed = file_.Close();
    if (flushed || closed) {
        Fail("Cannot close file", flushed ? flushed : closed);
    }
    if (!sameFile) {
        throw RuntimeError("File was removed or replaced while it was written: " +
                           codepage::FromFileName(path_));
    }
}
