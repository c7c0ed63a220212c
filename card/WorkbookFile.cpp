#include "card/WorkbookFile.h"

#include "card/CsvText.h"

#include <algorithm>
#include <xlsxwriter.h>

namespace {

constexpr double NarrowestColumn = 8;
constexpr double WidestColumn = 50;
constexpr double NarrowestIdentifier = 16; // a 15-digit tag, whole

lxw_format* BoldFormat(lxw_workbook* book) {
    lxw_format* format = workbook_add_format(book);
    format_set_bold(format);
    return format;
}

} // namespace

WorkbookFile::WorkbookFile(std::filesystem::path path)
    : book_(std::move(path)), rows_(book_.AddSheet("Rows")), header_(BoldFormat(book_.Library())) {}

WorkbookFile::~WorkbookFile() {
    try {
        Finish();
    } catch (const std::exception&) {
        // What cannot be completed is removed as the workbook goes.
    }
}

void WorkbookFile::WriteRow(const RowCells& cells) {
    if (book_.WriteFailed()) {
        return; // its first failed write said so
    }
    if (row_ > 0) {
        summary_.WriteRow(cells);
    }
    for (std::size_t column = 0; column < cells.size(); ++column) {
        widths_[column] = std::max(widths_[column], cells[column].size());
        if (!cells[column].empty()) {
            // The header is text, whatever its labels look like.
            book_.Typed(rows_, row_, static_cast<lxw_col_t>(column),
                        row_ == 0 ? CellKind::Text : ExportColumns[column].kind, cells[column],
                        row_ == 0 ? header_ : nullptr);
        }
    }
    ++row_;
}

void WorkbookFile::Close() {
    Finish();
    book_.Close();
}

void WorkbookFile::Finish() {
    if (std::exchange(finished_, true)) {
        return;
    }
    for (std::size_t column = 0; column < ExportColumnCount; ++column) {
        const bool identifier = ExportColumns[column].kind == CellKind::Identifier;
        const double width =
            std::clamp(static_cast<double>(widths_[column]) + 1,
                       identifier ? NarrowestIdentifier : NarrowestColumn, WidestColumn);
        const auto at = static_cast<lxw_col_t>(column);
        book_.Checked([&] { return worksheet_set_column(rows_, at, at, width, nullptr); });
    }
    book_.Checked([&] { return worksheet_freeze_panes(rows_, 1, 0), LXW_NO_ERROR; });
    const auto lastRow = std::max<std::uint32_t>(row_, 1) - 1;
    book_.Checked(
        [&] { return worksheet_autofilter(rows_, 0, 0, lastRow, ExportColumnCount - 1); });
    WriteSummary();
}

void WorkbookFile::WriteSummary() {
    lxw_worksheet* sheet = book_.AddSheet("Summary");
    std::uint32_t row = 0;
    const auto line = [&](std::initializer_list<std::string_view> texts,
                          std::initializer_list<double> numbers, lxw_format* format = nullptr) {
        lxw_col_t column = 0;
        for (const std::string_view text : texts) {
            book_.Text(sheet, row, column++, text, format);
        }
        for (const double number : numbers) {
            book_.Number(sheet, row, column++, number, format);
        }
        ++row;
    };
    line({"Rows read"}, {static_cast<double>(summary_.Rows())});
    line({"Tags"}, {static_cast<double>(summary_.Tags())});
    line({"Tags seen twice in one record type"},
         {static_cast<double>(summary_.SeenTwice().size())});
    ++row;
    line({"Record type", "Rows"}, {}, header_);
    for (const auto& [type, rows] : summary_.RecordTypes()) {
        line({type}, {static_cast<double>(rows)});
    }
    ++row;
    line({"Gate Nr", "Weights", "Lightest", "Mean", "Heaviest"}, {}, header_);
    const auto weights = [&](std::string_view gate, const WeightFigures& figures) {
        line({gate}, {static_cast<double>(figures.count), static_cast<double>(figures.lightest),
                      static_cast<double>(figures.Mean()), static_cast<double>(figures.heaviest)});
    };
    weights("All", summary_.Weights());
    for (const auto& [gate, figures] : summary_.WeightsByGate()) {
        weights(gate ? std::to_string(*gate) : "none", figures);
    }
    ++row;
    const std::uint32_t binsStart = row;
    line({"Weight", "Rows"}, {}, header_);
    const auto bins = summary_.WeightBins();
    for (const WeightBin& bin : bins) {
        line({std::to_string(bin.from) + " to " + std::to_string(bin.to)},
             {static_cast<double>(bin.rows)});
    }
    book_.Checked([&] { return worksheet_set_column(sheet, 0, 0, 34, nullptr); });
    if (bins.empty()) {
        return;
    }
    book_.Checked([&] {
        lxw_chart* chart = workbook_add_chart(book_.Library(), LXW_CHART_COLUMN);
        lxw_chart_series* series = chart_add_series(chart, nullptr, nullptr);
        chart_series_set_categories(series, "Summary", binsStart + 1, 0, row - 1, 0);
        chart_series_set_values(series, "Summary", binsStart + 1, 1, row - 1, 1);
        chart_series_set_name(series, "Rows");
        chart_title_set_name(chart, "Weights");
        chart_axis_set_name(chart->x_axis, "Weight");
        chart_axis_set_name(chart->y_axis, "Rows");
        chart_legend_set_position(chart, LXW_CHART_LEGEND_NONE);
        return worksheet_insert_chart(sheet, 1, 6, chart);
    });
}
