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
    CountWeight(cells);
    rows_.WriteRow(cells);
}

void WeightFigures::Add(std::int64_t weight) {
    lightest = count == 0 ? weight : std::min(lightest, weight);
    heaviest = count == 0 ? weight : std::max(heaviest, weight);
    sum += weight;
    ++count;
}

std::int64_t WeightFigures::Mean() const {
    const auto n = static_cast<std::int64_t>(count);
    return n == 0 ? 0 : (2 * sum + n) / (2 * n); // rounded half up
}

void ReadSummary::CountWeight(const RowCells& cells) {
    const auto weight = PlainNumber(Cell(cells, Column::Weight));
    if (!weight) {
        return;
    }
    weights_.Add(*weight);
    weightsByGate_[PlainNumber(Cell(cells, Column::GateNr))].Add(*weight);
    allWeights_.push_back(*weight);
}

std::vector<WeightBin> ReadSummary::WeightBins() const {
    constexpr std::int64_t Bins = 10;
    if (weights_.count == 0) {
        return {};
    }
    const std::int64_t width = (weights_.heaviest - weights_.lightest + Bins) / Bins;
    std::vector<WeightBin> bins;
    for (std::int64_t from = weights_.lightest; from <= weights_.heaviest; from += width) {
        bins.push_back({from, from + width - 1, 0});
    }
    for (const std::int64_t weight : allWeights_) {
        ++bins[static_cast<std::size_t>((weight - weights_.lightest) / width)].rows;
    }
    return bins;
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
    if (weights_.count > 0) {
        line += " Weight " + std::to_string(weights_.lightest) + " to " +
                std::to_string(weights_.heaviest) + ", mean " + std::to_string(weights_.Mean()) +
                ".";
    }
    return line;
}
