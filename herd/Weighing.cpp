#include "herd/Weighing.h"

#include "card/CodePage.h"
#include "card/CsvText.h"
#include "card/TimeStampCells.h"

#include <algorithm>
#include <cstdio>

std::optional<Weighing> WeighingOfRow(const RowCells& cells) {
    const std::string_view tag = Cell(cells, Column::TagNr);
    const auto weight = PlainNumber(Cell(cells, Column::Weight));
    const auto date = DateOfCell(Cell(cells, Column::Date));
    const auto time = TimeOfCell(Cell(cells, Column::Time));
    if (TagKey(tag).empty() || !weight || *weight <= 0 || !date || !time) {
        return std::nullopt;
    }
    return Weighing{std::string(tag), std::chrono::sys_days(*date), *time, *weight,
                    PlainNumber(Cell(cells, Column::GateNr))};
}

std::string TagKey(std::string_view tag) {
    std::string key;
    key.reserve(tag.size());
    for (const char c : tag) {
        const auto byte = static_cast<std::uint8_t>(c);
        if (!codepage::IsBlank(byte)) {
            key.push_back(static_cast<char>(codepage::FoldCase(byte)));
        }
    }
    return key;
}

std::string Weighing::Date() const {
    const std::chrono::year_month_day date(day);
    char cell[16];
    std::snprintf(cell, sizeof cell, "%02u/%02u/%02d", unsigned(date.day()), unsigned(date.month()),
                  int(date.year()) % 100);
    return cell;
}

std::string Weighing::Time() const {
    const auto seconds = static_cast<unsigned>(timeOfDay.count()) % (24 * 3600);
    char cell[16];
    std::snprintf(cell, sizeof cell, "%02u:%02u:%02u", seconds / 3600, seconds / 60 % 60,
                  seconds % 60);
    return cell;
}
