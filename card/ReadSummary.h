#pragma once

#include "card/ExportRows.h"

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

// Weights seen: how many, the lightest, the heaviest and their mean, rounded to a whole number.
struct WeightFigures {
    std::size_t count = 0;
    std::int64_t lightest = 0;
    std::int64_t heaviest = 0;
    std::int64_t sum = 0;

    void Add(std::int64_t weight);
    std::int64_t Mean() const;
};

// Rows whose weight lies from one weight to another, both included.
struct WeightBin {
    std::int64_t from;
    std::int64_t to;
    std::size_t rows;
};

// What a read's rows hold, summed up for the operator as the rows go by on their way to the
// export: rows per record type, tag numbers, tag numbers seen twice in one record type,
// weights, overall and by gate. The status line and a workbook's summary sheet show these
// figures.
class ReadSummary : public RowWriter {
public:
    explicit ReadSummary(RowWriter& rows) : rows_(rows) {}

    // Counts the row, then hands it on.
    void WriteRow(const RowCells& cells) override;

    // "Read 312 rows: Draft 150, ... Tags 150. Seen twice: ... Weight 212 to 388, mean 301.";
    // empty when no row was read.
    std::string Line() const;

    std::size_t Rows() const { return count_; }
    // In the order of their first row.
    const std::vector<std::pair<std::string, std::size_t>>& RecordTypes() const {
        return recordTypes_;
    }
    std::size_t Tags() const { return tags_.size(); }
    // In the order of their second row.
    const std::vector<std::string>& SeenTwice() const { return seenTwice_; }
    const WeightFigures& Weights() const { return weights_; }
    // By the gate number of the weight's row; none for a row without one.
    const std::map<std::optional<std::int64_t>, WeightFigures>& WeightsByGate() const {
        return weightsByGate_;
    }
    // The weights in about ten bins of one width, from the lightest to the heaviest.
    std::vector<WeightBin> WeightBins() const;

private:
    RowWriter& rows_;
    std::size_t count_ = 0;
    std::vector<std::pair<std::string, std::size_t>> recordTypes_;
    std::set<std::string> tags_;
    std::map<std::pair<std::string, std::string>, std::size_t> tagRows_; // by type and tag
    std::vector<std::string> seenTwice_;
    WeightFigures weights_;
    std::map<std::optional<std::int64_t>, WeightFigures> weightsByGate_;
    std::vector<std::int64_t> allWeights_;

    void CountWeight(const RowCells& cells);
};
