#include "history/Weighings.h"

#include "card/CsvText.h"
#include "card/TimeStampCells.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

std::optional<Weighing> WeighingOfRow(const RowCells& cells, std::uint32_t image) {
    const std::string_view tag = Cell(cells, Column::TagNr);
    const auto weight = PlainNumber(Cell(cells, Column::Weight));
    const auto date = DateOfCell(Cell(cells, Column::Date));
    const auto time = TimeOfCell(Cell(cells, Column::Time));
    if (tag.empty() || !weight || !date || !time) {
        return std::nullopt;
    }
    return Weighing{std::string(tag),
                    std::chrono::sys_days(*date),
                    *time,
                    *weight,
                    PlainNumber(Cell(cells, Column::GateNr)),
                    image};
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

void WeighingsOfImage::WriteRow(const RowCells& cells) {
    if (auto weighing = WeighingOfRow(cells, image_)) {
        found_.push_back(std::move(*weighing));
    }
}

void KeepEachOnce(std::vector<Weighing>& weighings) {
    std::sort(weighings.begin(), weighings.end(), [](const Weighing& a, const Weighing& b) {
        return std::tuple_cat(a.Key(), std::tie(a.image)) <
               std::tuple_cat(b.Key(), std::tie(b.image));
    });
    weighings.erase(
        std::unique(weighings.begin(), weighings.end(),
                    [](const Weighing& a, const Weighing& b) { return a.Key() == b.Key(); }),
        weighings.end());
}

std::vector<TagHistory> ByTag(std::vector<Weighing> weighings) {
    KeepEachOnce(weighings);
    // Sorted by tag, then day and time: each tag's weighings stand together, in time order.
    std::vector<TagHistory> tags;
    for (Weighing& weighing : weighings) {
        if (tags.empty() || tags.back().tag != weighing.tag) {
            tags.push_back({weighing.tag, {}});
        }
        tags.back().weighings.push_back(std::move(weighing));
    }
    return tags;
}

bool SameTag(std::string_view tag, std::string_view typed) {
    const auto letters = [](std::string_view text) {
        std::string kept;
        for (const char c : text) {
            if (c != ' ') {
                kept.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
            }
        }
        return kept;
    };
    return letters(tag) == letters(typed);
}

std::string GainPerDay(const Weighing& from, const Weighing& to) {
    const auto days = (to.day - from.day).count();
    if (days == 0) {
        return {};
    }
    char gain[32];
    std::snprintf(gain, sizeof gain, "%.2f",
                  static_cast<double>(to.weight - from.weight) / static_cast<double>(days));
    return gain;
}
