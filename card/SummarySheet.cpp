#include "card/SummarySheet.h"

#include <initializer_list>
#include <string>

void WriteSummarySheet(Workbook& book, const ReadSummary& summary) {
    constexpr std::string_view Name = "Summary";
    const Workbook::Sheet sheet = book.AddSheet(Name);
    std::uint32_t row = 0;
    const auto line = [&](std::initializer_list<std::string_view> texts,
                          std::initializer_list<double> numbers,
                          CellStyle style = CellStyle::Plain) {
        std::uint16_t column = 0;
        for (const std::string_view text : texts) {
            book.Text(sheet, row, column++, text, style);
        }
        for (const double number : numbers) {
            book.Number(sheet, row, column++, number);
        }
        ++row;
    };
    line({"Rows read"}, {static_cast<double>(summary.Rows())});
    line({"Tags"}, {static_cast<double>(summary.Tags())});
    line({"Tags seen twice in one record type"}, {static_cast<double>(summary.SeenTwice().size())});
    ++row;
    line({"Record type", "Rows"}, {}, CellStyle::Bold);
    for (const auto& [type, rows] : summary.RecordTypes()) {
        line({type}, {static_cast<double>(rows)});
    }
    ++row;
    line({"Gate Nr", "Weights", "Lightest", "Mean", "Heaviest"}, {}, CellStyle::Bold);
    const auto weights = [&](std::string_view gate, const WeightFigures& figures) {
        line({gate}, {static_cast<double>(figures.count), static_cast<double>(figures.lightest),
                      static_cast<double>(figures.Mean()), static_cast<double>(figures.heaviest)});
    };
    weights("All", summary.Weights());
    for (const auto& [gate, figures] : summary.WeightsByGate()) {
        weights(gate ? std::to_string(*gate) : "none", figures);
    }
    ++row;
    const std::uint32_t binsHeader = row;
    line({"Weight", "Rows"}, {}, CellStyle::Bold);
    const auto bins = summary.WeightBins();
    for (const WeightBin& bin : bins) {
        line({std::to_string(bin.from) + " to " + std::to_string(bin.to)},
             {static_cast<double>(bin.rows)});
    }
    book.SetWidth(sheet, 0, 34);
    if (bins.empty()) {
        return;
    }
    Chart chart{.kind = Chart::Kind::Columns,
                .title = "Weights",
                .xAxis = "Weight",
                .yAxis = "Rows",
                .legend = false,
                .series = {}};
    chart.series.push_back({{Name, binsHeader, binsHeader, 1},
                            {Name, binsHeader + 1, row - 1, 0},
                            {Name, binsHeader + 1, row - 1, 1}});
    book.InsertChart(sheet, 1, 6, chart);
}
