#pragma once

#include "herd/Weighing.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// The weighings of a card image, as the export of its read held them. An image that ends in a
// fault (cut short by a read that stopped, no end marker, or any other fault after its Card
// item) gives the whole rows its export held, and says why it ends short.
struct ImageWeighings {
    std::vector<Weighing> weighings;
    std::size_t rows = 0;  // the export's rows, weighings or not
    bool cardImage = true; // false: it does not begin with a Card item, and gives nothing
    std::string fault;     // "cut short after 3 blocks", "no end marker", a run-time error
};

// The image's bytes as a file holds them: the card's memory from address 0, read only up to
// the file's end, as its read had it.
ImageWeighings ReadImageWeighings(std::span<const std::uint8_t> image);
