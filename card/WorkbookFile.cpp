#include "card/WorkbookFile.h"

#include "base/Files.h"
#include "card/CodePage.h"
#include "card/CsvText.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <utility>
#include <xlsxwriter.h>

namespace {

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

// Whether the text holds the format's escape of a character ("_x0041_") at the position.
bool EscapeAt(std::string_view text, std::size_t at) {
    return text.size() - at >= 7 && text[at] == '_' && text[at + 1] == 'x' &&
           std::all_of(text.begin() + static_cast<std::ptrdiff_t>(at) + 2,
                       text.begin() + static_cast<std::ptrdiff_t>(at) + 6, IsHexDigit) &&
           text[at + 6] == '_';
}

void AppendEscape(std::string& text, char32_t character) {
    constexpr char Digits[] = "0123456789ABCDEF";
    text.append("_x");
    for (int shift = 12; shift >= 0; shift -= 4) {
        text.push_back(Digits[(character >> shift) & 0xF]);
    }
    text.push_back('_');
}

// A cell's code-page text as the workbook holds it: UTF-8, with control characters (which XML
// cannot carry, or carries changed) as the format's escapes, and an underscore that would read
// as the start of an escape escaped itself.
std::string WorkbookText(std::string_view cell) {
    std::string escaped;
    for (std::size_t at = 0; at < cell.size(); ++at) {
        const char32_t character = codepage::ToUnicode(static_cast<std::uint8_t>(cell[at]));
        const bool control = (character < 0x20 && character != '\t' && character != '\n') ||
                             (character >= 0x7F && character <= 0x9F);
        if (control || EscapeAt(cell, at)) {
            AppendEscape(escaped, character);
        } else {
            escaped.push_back(cell[at]);
        }
    }
    return codepage::ToUtf8(escaped);
}

// The file a name leads to: itself, or the target of its symbolic links (made when missing,
// as opening a CSV through a link does).
std::filesystem::path LinkTarget(std::filesystem::path path) {
    constexpr int MostLinks = 40; // as the system follows them
    std::error_code error;
    for (int links = 0; links < MostLinks && std::filesystem::is_symlink(path, error); ++links) {
        const auto next = std::filesystem::read_symlink(path, error);
        if (error) {
            break;
        }
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
    return path;
}

// A stream that takes every byte and keeps none.
std::FILE* Discarding() {
    const cookie_io_functions_t discard = {
        nullptr, [](void*, const char*, std::size_t size) { return static_cast<ssize_t>(size); },
        nullptr, nullptr};
    return ::fopencookie(nullptr, "w", discard);
}

// While one lives, what the library prints on standard error goes nowhere: the program says
// what failed in its own line.
class LibraryQuiet {
public:
    explicit LibraryQuiet(std::FILE* sink) : saved_(stderr) {
        if (sink != nullptr) {
            stderr = sink;
        }
    }
    ~LibraryQuiet() { stderr = saved_; }
    LibraryQuiet(const LibraryQuiet&) = delete;
    LibraryQuiet& operator=(const LibraryQuiet&) = delete;

private:
    std::FILE* saved_;
};

std::string Reason(lxw_error error) {
    // The library keeps no errno of its own; the last one tells what the system said.
    const int cause = errno;
    return std::string(lxw_strerror(error)) +
           (cause == 0 ? "" : " (" + std::string(std::strerror(cause)) + ")");
}

} // namespace

WorkbookFile::WorkbookFile(std::filesystem::path path)
    : path_(std::move(path)), target_(LinkTarget(path_)),
      folder_(target_.parent_path().empty() ? std::string(".") : target_.parent_path().string()),
      quiet_(Discarding()) {
    files::File reserved;
    if (const auto error = files::CreateBeside(target_, reserved, temporary_)) {
        ThrowExportFailure("Cannot create file", path_, error.message());
    }
    reserved.Close();
    lxw_workbook_options options = {LXW_TRUE, folder_.data(), LXW_FALSE};
    const LibraryQuiet quiet(quiet_);
    workbook_ = workbook_new_opt(temporary_.c_str(), &options);
    sheet_ = workbook_ == nullptr ? nullptr : workbook_add_worksheet(workbook_, nullptr);
    if (sheet_ == nullptr) {
        Discard();
        ThrowExportFailure("Cannot create file", path_,
                           "the workbook could not be started in its folder");
    }
}

WorkbookFile::~WorkbookFile() {
    if (workbook_ != nullptr) {
        Complete();
    }
    if (quiet_ != nullptr) {
        std::fclose(quiet_);
    }
}

void WorkbookFile::WriteRow(const RowCells& cells) {
    for (std::size_t column = 0; column < cells.size(); ++column) {
        if (cells[column].empty()) {
            continue;
        }
        const auto number = ExportColumns[column].kind == CellKind::Number
                                ? PlainNumber(cells[column])
                                : std::nullopt;
        const auto at = static_cast<lxw_col_t>(column);
        const LibraryQuiet quiet(quiet_);
        errno = 0;
        const lxw_error error =
            number ? worksheet_write_number(sheet_, row_, at, static_cast<double>(*number), nullptr)
                   : worksheet_write_string(sheet_, row_, at, WorkbookText(cells[column]).c_str(),
                                            nullptr);
        if (error != LXW_NO_ERROR) {
            writeFailed_ = true;
            ThrowExportFailure("Cannot write file", path_, Reason(error));
        }
    }
    ++row_;
}

void WorkbookFile::Close() {
    if (workbook_ == nullptr) {
        return;
    }
    if (const std::string reason = Complete(); !reason.empty()) {
        ThrowExportFailure("Cannot close file", path_, reason);
    }
}

void WorkbookFile::Discard() {
    const LibraryQuiet quiet(quiet_);
    if (workbook_ != nullptr) {
        workbook_close(std::exchange(workbook_, nullptr));
    }
    files::Calls().unlink(temporary_.c_str());
}

std::string WorkbookFile::Complete() {
    errno = 0;
    std::string reason;
    {
        const LibraryQuiet quiet(quiet_);
        if (const lxw_error error = workbook_close(std::exchange(workbook_, nullptr))) {
            reason = Reason(error);
        }
    }
    files::File written;
    std::error_code error;
    if (reason.empty() && !(error = files::File::Open(temporary_, O_RDWR, written)) &&
        !(error = written.SetMode(files::ModeFor(target_))) && !(error = written.Sync())) {
        error = written.Close();
    }
    if (reason.empty() && !error &&
        files::Calls().rename(temporary_.c_str(), target_.c_str()) != 0) {
        error = {errno, std::generic_category()};
    }
    if (reason.empty() && error) {
        reason = error.message();
    }
    if (!reason.empty()) {
        files::Calls().unlink(temporary_.c_str());
    }
    return reason;
}
