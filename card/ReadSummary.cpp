#include "card/ReadSummary.h"

#include "card/CsvText.h"

#include <algorithm>

namespace {

constexpr std::size_t SeenTwiceShown = 5;

} // namespace

void ReadSummary::WriteRow(const RowCells& cells) {
    ++count_;
    const std::string_view type = Cell(cells, Column::RecType);
    const auto known = std::find_if(recordTypes_.begin(), recordTypes_.end(),
                                    [&](const auto& entry) { return entry.first == type; });
    if (known == recordTypes_.end()) {
        recordTypes_.emplace_back(type, 1);
    } else {
        ++known->second;
    }
    if (const std::string tag(Cell(cells, Column::TagNr)); !tag.empty()) {
        tags_.insert(tag);
        if (++tagRows_[{std::string(type), tag}] == 2 &&
            std::find(seenTwice_.begin(), seenTwice_.end(), tag) == seenTwice_.end()) {
            seenTwice_.push_back(tag);
        }
    }
    CountWeight(Cell(cells, Column::Weight));
    rows_.WriteRow(cells);
}

void ReadSummary::CountWeight(std::string_view cell) {
    const auto weight = PlainNumber(cell);
    if (!weight) {
        return;
    }
    lightest_ = weights_ == 0 ? *weight : std::min(lightest_, *weight);
    heaviest_ = weights_ == 0 ? *weight : std::max(heaviest_, *weight);
    weightSum_ += *weight;
    ++weights_;
}

std::string ReadSummary::Line() const {
    if (count_ == 0) {
        return {};
    }
    std::string line = "Read " + std::to_string(count_) + (count_ == 1 ? " row:" : " rows:");
    for (const auto& [type, rows] : recordTypes_) {
        line +=
            (&type == &recordTypes_.front().first ? " " : ", ") + type + " " + std::to_string(rows);
    }
    line += ". Tags " + std::to_string(tags_.size()) + ".";
    if (!seenTwice_.empty()) {
        line += " Seen twice:";
        for (std::size_t i = 0; i < std::min(seenTwice_.size(), SeenTwiceShown); ++i) {
            line += (i == 0 ? " " : ", ") + seenTwice_[i];
        }
        if (seenTwice_.size() > SeenTwiceShown) {
            line += " and " + std::to_string(seenTwice_.size() - SeenTwiceShown) + " more";
        }
        line += ".";
    }
    if (weights_ > 0) {
        const auto mean = (2 * weightSum_ + static_cast<std::int64_t>(weights_)) /
                          (2 * static_cast<std::int64_t>(weights_));
        line += " Weight " + std::to_string(lightest_) + " to " + std::to_string(heaviest_) +
                ", mean " + std::to_string(mean) + ".";
    }
    return line;
}
