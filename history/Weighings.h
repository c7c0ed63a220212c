#pragma once

#include "card/ExportColumns.h"
#include "card/ExportRows.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

// One weighing of an animal: an export row with a tag number, a plain decimal weight and a
// valid date and time, and the archived image it was read from (by its number among the images
// read, which are in time order). The tag is code-page bytes.
struct Weighing {
    std::string tag;
    std::chrono::sys_days day;
    std::chrono::seconds timeOfDay;
    std::int64_t weight;
    std::optional<std::int64_t> gate;
    std::uint32_t image;

    // What makes two weighings one: the same one seen in several reads.
    auto Key() const { return std::tie(tag, day, timeOfDay, weight, gate); }
    // The date and time cells, as the export shows them.
    std::string Date() const;
    std::string Time() const;
};

// The weighing a row is, if it is one.
std::optional<Weighing> WeighingOfRow(const RowCells& cells, std::uint32_t image);

// Takes the rows of one image and keeps its weighings.
class WeighingsOfImage : public RowWriter {
public:
    WeighingsOfImage(std::uint32_t image, std::vector<Weighing>& found)
        : image_(image), found_(found) {}
    void WriteRow(const RowCells& cells) override;

private:
    std::uint32_t image_;
    std::vector<Weighing>& found_;
};

// Keeps each weighing once, as seen in the first image that holds it; in key order.
void KeepEachOnce(std::vector<Weighing>& weighings);

// The weighings of one tag, each once, in time order.
struct TagHistory {
    std::string tag;
    std::vector<Weighing> weighings;
};

// The weighings by tag, in the tags' byte order, each once.
std::vector<TagHistory> ByTag(std::vector<Weighing> weighings);

// Whether the tag is the one typed, whatever the case of its letters and its blanks.
bool SameTag(std::string_view tag, std::string_view typed);

// The gain in weight per day from one weighing to a later one, with two decimals; empty when
// both are of the same day.
std::string GainPerDay(const Weighing& from, const Weighing& to);
