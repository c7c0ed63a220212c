#include "history/HistoryTable.h"

#include "card/CodePage.h"
#include "card/CreateExport.h"
#include "card/CsvText.h"
#include "card/ExportFile.h"
#include "card/Workbook.h"

#include <xlsxwriter.h>

namespace {

std::string Number(std::int64_t number) {
    return std::to_string(number);
}

std::string Gate(const Weighing& weighing) {
    return weighing.gate ? Number(*weighing.gate) : std::string();
}

void WriteCsv(const HistoryTable& table, const std::filesystem::path& file) {
    const auto output =
        file.empty() ? ExportFile::StandardOutput() : std::make_unique<ExportFile>(file);
    output->WriteLine(CsvLine(table.labels));
    for (const auto& row : table.rows) {
        const std::vector<std::string_view> cells(row.begin(), row.end());
        output->WriteLine(CsvLine(cells));
    }
    output->Close();
}

void AddChart(Workbook& book, lxw_worksheet* sheet, const HistoryTable& table) {
    const auto column = [&](std::string_view label) {
        return static_cast<lxw_col_t>(std::find(table.labels.begin(), table.labels.end(), label) -
                                      table.labels.begin());
    };
    book.Checked([&] {
        lxw_chart* chart =
            workbook_add_chart(book.Library(), LXW_CHART_SCATTER_STRAIGHT_WITH_MARKERS);
        for (const auto& line : table.lines) {
            lxw_chart_series* series = chart_add_series(chart, nullptr, nullptr);
            chart_series_set_categories(series, "History", line.first + 1, column("Date"),
                                        line.last + 1, column("Date"));
            chart_series_set_values(series, "History", line.first + 1, column("Weight"),
                                    line.last + 1, column("Weight"));
            chart_series_set_name(series, codepage::ToUtf8(line.tag).c_str());
        }
        chart_title_set_name(chart, "Weights over time");
        chart_axis_set_name(chart->x_axis, "Date");
        chart_axis_set_num_format(chart->x_axis, "dd/mm/yy");
        chart_axis_set_name(chart->y_axis, "Weight");
        return worksheet_insert_chart(sheet, 1, static_cast<lxw_col_t>(table.labels.size() + 1),
                                      chart);
    });
}

void WriteWorkbook(const HistoryTable& table, const std::filesystem::path& file) {
    Workbook book(file);
    lxw_worksheet* sheet = book.AddSheet("History");
    lxw_format* bold = workbook_add_format(book.Library());
    format_set_bold(bold);
    for (std::size_t column = 0; column < table.labels.size(); ++column) {
        const auto at = static_cast<lxw_col_t>(column);
        book.Text(sheet, 0, at, table.labels[column], bold);
        const double width = table.kinds[column] == CellKind::Identifier ? 18 : 12;
        book.Checked([&] { return worksheet_set_column(sheet, at, at, width, nullptr); });
    }
    for (std::size_t row = 0; row < table.rows.size(); ++row) {
        for (std::size_t column = 0; column < table.labels.size(); ++column) {
            if (const std::string& cell = table.rows[row][column]; !cell.empty()) {
                book.Typed(sheet, static_cast<std::uint32_t>(row + 1),
                           static_cast<std::uint16_t>(column), table.kinds[column], cell);
            }
        }
    }
    book.Checked([&] { return worksheet_freeze_panes(sheet, 1, 0), LXW_NO_ERROR; });
    if (!table.lines.empty()) {
        AddChart(book, sheet, table);
    }
    book.Close();
}

} // namespace

HistoryTable TagTable(const std::vector<TagHistory>& tags) {
    HistoryTable table{{"Tag Nr", "Weighings", "First Date", "First Weight", "Last Date",
                        "Last Weight", "Days", "Gain per Day"},
                       {CellKind::Identifier, CellKind::Number, CellKind::Date, CellKind::Number,
                        CellKind::Date, CellKind::Number, CellKind::Number, CellKind::Number},
                       {},
                       {}};
    for (const auto& [tag, weighings] : tags) {
        const Weighing& first = weighings.front();
        const Weighing& last = weighings.back();
        table.rows.push_back({tag, Number(static_cast<std::int64_t>(weighings.size())),
                              first.Date(), Number(first.weight), last.Date(), Number(last.weight),
                              Number((last.day - first.day).count()), GainPerDay(first, last)});
    }
    return table;
}

HistoryTable WeighingTable(const std::vector<TagHistory>& tags,
                           const std::vector<std::string>& asked,
                           const std::vector<std::string>& images) {
    HistoryTable table{{"Tag Nr", "Date", "Time", "Weight", "Gate Nr", "Gain per Day", "Image"},
                       {CellKind::Identifier, CellKind::Date, CellKind::Time, CellKind::Number,
                        CellKind::Number, CellKind::Number, CellKind::Text},
                       {},
                       {}};
    for (const TagHistory& history : tags) {
        const auto& weighings = history.weighings;
        if (std::none_of(asked.begin(), asked.end(),
                         [&](const std::string& typed) { return SameTag(history.tag, typed); })) {
            continue;
        }
        table.lines.push_back(
            {history.tag, table.rows.size(), table.rows.size() + weighings.size() - 1});
        for (std::size_t i = 0; i < weighings.size(); ++i) {
            const Weighing& weighing = weighings[i];
            table.rows.push_back({history.tag, weighing.Date(), weighing.Time(),
                                  Number(weighing.weight), Gate(weighing),
                                  i == 0 ? std::string() : GainPerDay(weighings[i - 1], weighing),
                                  images[weighing.image]});
        }
    }
    return table;
}

void WriteHistory(const HistoryTable& table, const std::filesystem::path& file) {
    if (!file.empty() && IsWorkbookName(file)) {
        WriteWorkbook(table, file);
    } else {
        WriteCsv(table, file);
    }
}
