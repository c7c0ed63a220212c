#include "card/Workbook.h"

#include "base/Files.h"
#include "card/CodePage.h"
#include "card/CsvText.h"
#include "card/ExportRows.h"
#include "card/TimeStampCells.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
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

// A cell's code-page text as the workbook holds it: UTF-8, with the characters XML cannot hold
// (C0 controls but tab and line feed) or holds changed (CR, which XML reads as a line feed) as
// the format's escapes, and an underscore that would read as the start of an escape escaped
// itself. Everything else, DEL and the C1 controls too, is written as itself.
std::string WorkbookText(std::string_view cell) {
    std::string escaped;
    for (std::size_t at = 0; at < cell.size(); ++at) {
        const auto byte = static_cast<std::uint8_t>(cell[at]);
        const bool control = byte < 0x20 && byte != '\t' && byte != '\n';
        if (control || EscapeAt(cell, at)) {
            AppendEscape(escaped, byte);
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

thread_local int quietCalls = 0; // library calls under way on this thread that keep quiet

// Standard error as the C library's functions reach it: what is written goes on to the
// descriptor, but from a thread that keeps quiet. The workbook library prints its messages
// there, and one thread must not silence another's: the stream is put in place once, before
// the program has threads, rather than swapped around each call.
ssize_t PassOn(void*, const char* bytes, std::size_t size) {
    for (std::size_t done = 0; quietCalls == 0 && done < size;) {
        const ssize_t written = ::write(STDERR_FILENO, bytes + done, size - done);
        if (written < 0 && errno != EINTR) {
            return done > 0 ? static_cast<ssize_t>(done) : -1;
        }
        done += static_cast<std::size_t>(std::max<ssize_t>(written, 0));
    }
    return static_cast<ssize_t>(size);
}

[[maybe_unused]] const bool StandardErrorPassedOn = [] {
    std::FILE* passing = ::fopencookie(nullptr, "w", {nullptr, PassOn, nullptr, nullptr});
    if (passing != nullptr) {
        std::setvbuf(passing, nullptr, _IONBF, 0);
        stderr = passing;
    }
    return passing != nullptr;
}();

std::string Reason(lxw_error error) {
    // The library keeps no errno of its own; the last one tells what the system said.
    const int cause = errno;
    return std::string(lxw_strerror(error)) +
           (cause == 0 ? "" : " (" + std::string(std::strerror(cause)) + ")");
}

} // namespace

Workbook::Workbook(std::filesystem::path path)
    : path_(std::move(path)), target_(LinkTarget(path_)),
      folder_(target_.parent_path().empty() ? std::string(".") : target_.parent_path().string()) {
    files::File reserved;
    if (const auto error = files::CreateBeside(target_, reserved, temporary_)) {
        ThrowExportFailure("Cannot create file", path_, error.message());
    }
    reserved.Close();
    lxw_workbook_options options = {LXW_TRUE, folder_.data(), LXW_FALSE};
    {
        const Quiet quiet;
        workbook_ = workbook_new_opt(temporary_.c_str(), &options);
    }
    if (workbook_ == nullptr) {
        Discard();
        ThrowExportFailure("Cannot create file", path_,
                           "the workbook could not be started in its folder");
    }
    try {
        bold_ = Format(nullptr, true);
        date_ = Format("dd/mm/yy", false);
        time_ = Format("hh:mm:ss", false);
        decimals_ = Format("0.00", false);
    } catch (...) {
        Discard();
        throw;
    }
}

Workbook::Quiet::Quiet() {
    ++quietCalls;
}

Workbook::Quiet::~Quiet() {
    --quietCalls;
}

Workbook::~Workbook() {
    if (workbook_ != nullptr) {
        Complete();
    }
}

template <typename Call> void Workbook::Checked(Call call) {
    const Quiet quiet;
    errno = 0;
    Check(call());
}

void Workbook::Check(int result) {
    if (result != LXW_NO_ERROR) {
        writeFailed_ = true;
        ThrowExportFailure("Cannot write file", path_, Reason(static_cast<lxw_error>(result)));
    }
}

template <typename Result> Result* Workbook::Made(Result* made, const char* what) {
    if (made == nullptr) {
        writeFailed_ = true;
        ThrowExportFailure("Cannot write file", path_,
                           std::string("no ") + what + " could be made");
    }
    return made;
}

lxw_format* Workbook::Format(const char* numbers, bool bold) {
    const Quiet quiet;
    lxw_format* format = Made(workbook_add_format(workbook_), "format");
    if (numbers != nullptr) {
        format_set_num_format(format, numbers);
    }
    if (bold) {
        format_set_bold(format);
    }
    return format;
}

Workbook::Sheet Workbook::AddSheet(std::string_view name) {
    const Quiet quiet;
    sheets_.push_back(
        Made(workbook_add_worksheet(workbook_, codepage::ToUtf8(name).c_str()), "sheet"));
    return sheets_.size() - 1;
}

void Workbook::Text(Sheet sheet, std::uint32_t row, std::uint16_t column, std::string_view text,
                    CellStyle style) {
    const std::string escaped = WorkbookText(text);
    lxw_format* format = style == CellStyle::Bold ? bold_ : nullptr;
    Checked([&] {
        return worksheet_write_string(sheets_.at(sheet), row, column, escaped.c_str(), format);
    });
}

void Workbook::Number(Sheet sheet, std::uint32_t row, std::uint16_t column, double number) {
    Checked(
        [&] { return worksheet_write_number(sheets_.at(sheet), row, column, number, nullptr); });
}

void Workbook::DateTime(Sheet sheet, std::uint32_t row, std::uint16_t column,
                        const lxw_datetime& when, lxw_format* format) {
    lxw_datetime copy = when; // the library takes it by a pointer to a mutable one
    Checked(
        [&] { return worksheet_write_datetime(sheets_.at(sheet), row, column, &copy, format); });
}

void Workbook::Typed(Sheet sheet, std::uint32_t row, std::uint16_t column, CellKind kind,
                     std::string_view text) {
    switch (kind) {
    case CellKind::Number:
    case CellKind::Decimal:
        if (const auto number = PlainDecimal(text)) {
            lxw_format* format = kind == CellKind::Decimal ? decimals_ : nullptr;
            return Checked([&] {
                return worksheet_write_number(sheets_.at(sheet), row, column, *number, format);
            });
        }
        break;
    case CellKind::Date:
        if (const auto date = DateOfCell(text)) {
            const lxw_datetime when = {static_cast<int>(date->year()),
                                       static_cast<std::uint8_t>(unsigned(date->month())),
                                       static_cast<std::uint8_t>(unsigned(date->day())),
                                       0,
                                       0,
                                       0};
            return DateTime(sheet, row, column, when, date_);
        }
        break;
    case CellKind::Time:
        if (const auto time = TimeOfCell(text)) {
            const auto seconds = time->count();
            const lxw_datetime when = {0,
                                       0,
                                       0,
                                       static_cast<std::uint8_t>(seconds / 3600),
                                       static_cast<std::uint8_t>(seconds / 60 % 60),
                                       static_cast<double>(seconds % 60)};
            return DateTime(sheet, row, column, when, time_);
        }
        break;
    default:
        break;
    }
    Text(sheet, row, column, text);
}

void Workbook::SetWidth(Sheet sheet, std::uint16_t column, double width) {
    Checked(
        [&] { return worksheet_set_column(sheets_.at(sheet), column, column, width, nullptr); });
}

void Workbook::FreezeTopRow(Sheet sheet) {
    const Quiet quiet;
    worksheet_freeze_panes(sheets_.at(sheet), 1, 0);
}

void Workbook::Filter(Sheet sheet, std::uint32_t lastRow, std::uint16_t lastColumn) {
    Checked([&] { return worksheet_autofilter(sheets_.at(sheet), 0, 0, lastRow, lastColumn); });
}

void Workbook::InsertChart(Sheet sheet, std::uint32_t row, std::uint16_t column,
                           const Chart& chart) {
    const Quiet quiet;
    const bool columns = chart.kind == Chart::Kind::Columns;
    lxw_chart* made =
        Made(workbook_add_chart(workbook_, columns ? LXW_CHART_COLUMN
                                                   : LXW_CHART_SCATTER_STRAIGHT_WITH_MARKERS),
             "chart");
    // The library copies what it is given.
    chart_title_set_name(made, codepage::ToUtf8(chart.title).c_str());
    chart_axis_set_name(made->x_axis, codepage::ToUtf8(chart.xAxis).c_str());
    chart_axis_set_name(made->y_axis, codepage::ToUtf8(chart.yAxis).c_str());
    if (!columns) {
        chart_axis_set_num_format(made->x_axis, "dd/mm/yy");
    }
    if (chart.wholeNumbersUp) {
        chart_axis_set_num_format(made->y_axis, "0");
        chart_axis_set_major_unit(made->y_axis, 1);
    }
    if (!chart.legend) {
        chart_legend_set_position(made, LXW_CHART_LEGEND_NONE);
    }
    for (const Chart::Series& series : chart.series) {
        lxw_chart_series* line = Made(chart_add_series(made, nullptr, nullptr), "chart series");
        const auto range = [&](const ColumnCells& cells, auto set) {
            set(line, codepage::ToUtf8(cells.sheet).c_str(), cells.firstRow, cells.column,
                cells.lastRow, cells.column);
        };
        range(series.categories, chart_series_set_categories);
        range(series.values, chart_series_set_values);
        // Named by the cell that holds the name: a name of the card's could read as a formula.
        chart_series_set_name_range(line, codepage::ToUtf8(series.name.sheet).c_str(),
                                    series.name.firstRow, series.name.column);
    }
    Check(worksheet_insert_chart(sheets_.at(sheet), row, column, made));
}

void Workbook::Close() {
    if (workbook_ == nullptr) {
        return;
    }
    if (const std::string reason = Complete(); !reason.empty()) {
        ThrowExportFailure("Cannot close file", path_, reason);
    }
}

void Workbook::Discard() {
    const Quiet quiet;
    if (workbook_ != nullptr) {
        workbook_close(std::exchange(workbook_, nullptr));
    }
    files::Calls().unlink(temporary_.c_str());
}

std::string Workbook::Complete() {
    errno = 0;
    std::string reason;
    {
        const Quiet quiet;
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
