#include "history/HistoryTable.h"

#include "card/TableFile.h"
#include "card/TableSheet.h"

#include <algorithm>

namespace {

constexpr TableColumn TagColumns[] = {
    {"Tag Nr", CellKind::Identifier, IdentifierWidth},
    {"Weighings", CellKind::Number},
    {"First Date", CellKind::Date},
    {"First Weight", CellKind::Number},
    {"Last Date", CellKind::Date},
    {"Last Weight", CellKind::Number},
    {"Days", CellKind::Number},
    {"Gain per Day", CellKind::Number},
};

// The weighings of the tags asked for; their chart takes the date and the weight.
constexpr std::uint16_t DateColumn = 1;
constexpr std::uint16_t WeightColumn = 3;
constexpr TableColumn WeighingColumns[] = {
    {"Tag Nr", CellKind::Identifier, IdentifierWidth},
    {"Date", CellKind::Date},
    {"Time", CellKind::Time},
    {"Weight", CellKind::Number},
    {"Gate Nr", CellKind::Number},
    {"Gain per Day", CellKind::Number},
    {"Image", CellKind::Text},
};
constexpr std::string_view SheetName = "History";

std::string Number(std::int64_t number) {
    return std::to_string(number);
}

std::string Gate(const Weighing& weighing) {
    return weighing.gate ? Number(*weighing.gate) : std::string();
}

// A line of weights over time for each tag asked for, beside the table.
void AddChart(TableSheet& sheet, const HistoryTable& table) {
    Chart chart{.kind = Chart::Kind::DatedLines,
                .title = "Weights over time",
                .xAxis = "Date",
                .yAxis = "Weight",
                .series = {}};
    for (const auto& line : table.lines) {
        const auto first = static_cast<std::uint32_t>(line.first + 1);
        const auto last = static_cast<std::uint32_t>(line.last + 1);
        chart.series.push_back({{SheetName, first, first, 0},
                                {SheetName, first, last, DateColumn},
                                {SheetName, first, last, WeightColumn}});
    }
    sheet.Book().InsertChart(sheet.Sheet(), 1, static_cast<std::uint16_t>(table.columns.size() + 1),
                             chart);
}

} // namespace

HistoryTable TagTable(const std::vector<TagHistory>& tags) {
    HistoryTable table{TagColumns, {}, {}};
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
    HistoryTable table{WeighingColumns, {}, {}};
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
    const auto output = CreateTableFile(file, {SheetName, table.columns, CsvCommas::AfterEachCell});
    std::vector<std::string_view> cells;
    for (const TableColumn& column : table.columns) {
        cells.push_back(column.label);
    }
    output->WriteRow(cells);
    for (const auto& row : table.rows) {
        cells.assign(row.begin(), row.end());
        output->WriteRow(cells);
    }
    if (TableSheet* sheet = output->Sheet(); sheet != nullptr && !table.lines.empty()) {
        AddChart(*sheet, table);
    }
    output->Close();
}
