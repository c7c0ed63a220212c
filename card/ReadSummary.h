#pragma once

#include "card/ExportRows.h"

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

// What a read's rows hold, summed up for the operator as the rows go by on their way to the
// export: rows per record type, tag numbers, tag numbers seen twice in one record type,
// weights.
class ReadSummary : public RowWriter {
public:
    explicit ReadSummary(RowWriter& rows) : rows_(rows) {}

    // Counts the row, then hands it on.
    void WriteRow(const RowCells& cells) override;

    // "Read 312 rows: Draft 150, ... Tags 150. Seen twice: ... Weight 212 to 388, mean 301.";
    // empty when no row was read.
    std::string Line() const;

private:
    RowWriter& rows_;
    std::size_t count_ = 0;
    std::vector<std::pair<std::string, std::size_t>> recordTypes_; // in order of appearance
    std::set<std::string> tags_;
    std::map<std::pair<std::string, std::string>, std::size_t> tagRows_; // by type and tag
    std::vector<std::string> seenTwice_;                                 // in order of the second
    std::int64_t weightSum_ = 0;
    std::size_t weights_ = 0;
    std::int64_t lightest_ = 0;
    std::int64_t heaviest_ = 0;

    void CountWeight(std::string_view cell);
};
