#include "herd/ImageWeighings.h"

#include "card/CardFile.h"
#include "card/CardTags.h"
#include "card/ImageRows.h"

#include <algorithm>
#include <memory>

namespace {

// Keeps the weighings of the rows, and counts them all.
class Weighings : public RowWriter {
public:
    explicit Weighings(ImageWeighings& found) : found_(found) {}
    void WriteRow(const RowCells& cells) override {
        ++found_.rows;
        if (auto weighing = WeighingOfRow(cells)) {
            found_.weighings.push_back(std::move(*weighing));
        }
    }

private:
    ImageWeighings& found_;
};

} // namespace

ImageWeighings ReadImageWeighings(std::span<const std::uint8_t> image) {
    ImageWeighings found;
    if (image.empty() || image.front() != TagCard) {
        found.cardImage = false;
        return found;
    }
    const auto length =
        static_cast<std::int32_t>(std::min<std::size_t>(image.size(), CardMemorySize));
    auto card = std::make_unique<CardBuffer>();
    card->fill(ErasedByte);
    std::copy_n(image.begin(), length, card->begin());
    Weighings weighings(found);
    const ImageEnd end = WriteRowsOfImage(*card, length, weighings);
    if (!end.fault.empty()) {
        found.fault = end.fault;
    } else if (!end.endFound && length < CardMemorySize) {
        const auto blocks = (length + CardBlockSize - 1) / CardBlockSize;
        found.fault =
            "cut short after " + std::to_string(blocks) + (blocks == 1 ? " block" : " blocks");
    } else if (!end.endFound) {
        found.fault = "no end marker";
    }
    return found;
}
