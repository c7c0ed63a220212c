#include "history/HistoryTable.h"

#include "card/ExportColumns.h"
#include "card/TableFile.h"
#include "card/TableSheet.h"

#include <algorithm>
#include <cmath>

namespace {

// The columns that the export has too are the export's.
constexpr TableColumn ExportColumnOf(Column column) {
    return ExportColumns[Index(column)];
}

constexpr TableColumn AnimalColumns[] = {
    ExportColumnOf(Column::TagNr),  {"Weighings", CellKind::Number},
    {"First Date", CellKind::Date}, {"First Weight", CellKind::Number},
    {"Last Date", CellKind::Date},  {"Last Weight", CellKind::Number},
    {"Days", CellKind::Number},     {"Gain per Day", CellKind::Decimal},
    {"Trend", CellKind::Text},
};

// The weighings of the tags asked for; their chart takes the date and the weight.
constexpr std::uint16_t DateColumn = 1;
constexpr std::uint16_t WeightColumn = 3;
constexpr TableColumn WeighingColumns[] = {
    ExportColumnOf(Column::TagNr),  ExportColumnOf(Column::Date),
    ExportColumnOf(Column::Time),   ExportColumnOf(Column::Weight),
    ExportColumnOf(Column::GateNr), {"Gain per Day", CellKind::Decimal},
    {"Image", CellKind::Text},
};
constexpr std::string_view SheetName = "History";
constexpr std::string_view BandsSheetName = "Gains";
constexpr std::size_t MostLines = 50;
constexpr std::int64_t MostBands = 10;

std::string Number(std::int64_t number) {
    return std::to_string(number);
}

std::string Gate(const Weighing& weighing) {
    return weighing.gate ? Number(*weighing.gate) : std::string();
}

// Which band of the step's width holds the gain: band 0 starts at zero, those below count down.
std::int64_t BandOf(std::int64_t gain, std::int64_t step) {
    return gain >= 0 ? gain / step : -((-gain + step - 1) / step);
}

// A round step for bands over the span, in hundredths: 1, 2 or 5 times a power of ten, the
// smallest that needs no more than ten bands.
std::int64_t BandStep(std::int64_t lowest, std::int64_t highest) {
    for (std::int64_t power = 1;; power *= 10) {
        for (const std::int64_t times : {1, 2, 5}) {
            const std::int64_t step = times * power;
            if (BandOf(highest, step) - BandOf(lowest, step) < MostBands) {
                return step;
            }
        }
    }
}

// "-0.5", "1", "0.25": a band's lower limit, with as many decimals as its step needs.
std::string BandLabel(std::int64_t hundredths, std::int64_t step) {
    std::string text = GainText(hundredths);
    const std::size_t decimals = step % 100 == 0 ? 0 : step % 10 == 0 ? 1 : 2;
    text.resize(text.size() - (decimals == 0 ? 3 : 2 - decimals));
    return text;
}

// How the gains per day spread over the herd: a sheet of bands and the animals in each, and
// their chart.
void AddBandsChart(Workbook& book, const std::vector<std::int64_t>& gains) {
    if (gains.empty()) {
        return;
    }
    const auto [lowest, highest] = std::minmax_element(gains.begin(), gains.end());
    const std::int64_t step = BandStep(*lowest, *highest);
    const std::int64_t first = BandOf(*lowest, step);
    std::vector<std::int64_t> animals(static_cast<std::size_t>(BandOf(*highest, step) - first + 1));
    for (const std::int64_t gain : gains) {
        ++animals[static_cast<std::size_t>(BandOf(gain, step) - first)];
    }
    const Workbook::Sheet sheet = book.AddSheet(BandsSheetName);
    book.Text(sheet, 0, 0, "Gain per Day from", CellStyle::Bold);
    book.Text(sheet, 0, 1, "Animals", CellStyle::Bold);
    for (std::size_t band = 0; band < animals.size(); ++band) {
        const auto row = static_cast<std::uint32_t>(band + 1);
        book.Text(sheet, row, 0, BandLabel((first + static_cast<std::int64_t>(band)) * step, step));
        book.Number(sheet, row, 1, static_cast<double>(animals[band]));
    }
    book.SetWidth(sheet, 0, 18);
    const auto last = static_cast<std::uint32_t>(animals.size());
    Chart chart{.kind = Chart::Kind::Columns,
                .title = "Gains per day over the herd",
                .xAxis = "Gain per Day",
                .yAxis = "Animals",
                .wholeNumbersUp = true,
                .legend = false,
                .series = {{{BandsSheetName, 0, 0, 1},
                            {BandsSheetName, 1, last, 0},
                            {BandsSheetName, 1, last, 1}}}};
    book.InsertChart(sheet, 1, 3, chart);
}

// A line of weights over time for each animal, the first 50 (its title says so when there are
// more), beside the table.
void AddLinesChart(TableSheet& sheet, const HistoryTable& table) {
    Chart chart{.kind = Chart::Kind::DatedLines,
                .title = "Weights over time",
                .xAxis = "Date",
                .yAxis = "Weight",
                .series = {}};
    if (table.lines.size() > MostLines) {
        chart.title += ": the first " + std::to_string(MostLines) + " of the " +
                       std::to_string(table.lines.size()) + " tags";
    }
    for (const auto& line : table.lines) {
        if (chart.series.size() == MostLines) {
            break;
        }
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

HistoryTable TagTable(const std::vector<AnimalSummary>& animals) {
    HistoryTable table{AnimalColumns, {}, {}, {}};
    for (const AnimalSummary& animal : animals) {
        const auto gain = GainPerDay(animal.first, animal.last);
        if (gain) {
            table.gains.push_back(*gain);
        }
        table.rows.push_back({animal.tag, Number(static_cast<std::int64_t>(animal.weighings)),
                              animal.first.Date(), Number(animal.first.weight), animal.last.Date(),
                              Number(animal.last.weight),
                              Number((animal.last.day - animal.first.day).count()), GainText(gain),
                              gain && *gain < 0 ? "losing" : ""});
    }
    return table;
}

HistoryTable WeighingTable(const std::vector<AnimalHistory>& animals) {
    HistoryTable table{WeighingColumns, {}, {}, {}};
    for (const AnimalHistory& animal : animals) {
        const auto& weighings = animal.weighings;
        table.lines.push_back({table.rows.size(), table.rows.size() + weighings.size() - 1});
        for (std::size_t i = 0; i < weighings.size(); ++i) {
            const Weighing& weighing = weighings[i];
            table.rows.push_back({animal.tag, weighing.Date(), weighing.Time(),
                                  Number(weighing.weight), Gate(weighing),
                                  i == 0 ? "" : GainText(GainPerDay(weighings[i - 1], weighing)),
                                  animal.images[i]});
        }
    }
    return table;
}

void WriteHistory(const HistoryTable& table, const std::filesystem::path& file) {
    const auto output = CreateTableFile(file, {SheetName, table.columns, CsvCommas::BetweenCells});
    std::vector<std::string_view> cells;
    for (const TableColumn& column : table.columns) {
        cells.push_back(column.label);
    }
    output->WriteRow(cells);
    for (const auto& row : table.rows) {
        cells.assign(row.begin(), row.end());
        output->WriteRow(cells);
    }
    if (TableSheet* sheet = output->Sheet()) {
        sheet->Finish();
        if (table.lines.empty()) {
            AddBandsChart(sheet->Book(), table.gains);
        } else {
            AddLinesChart(*sheet, table);
        }
    }
    output->Close();
}
