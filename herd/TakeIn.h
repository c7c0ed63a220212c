#pragma once

#include "base/Stop.h"
#include "herd/HerdBook.h"

#include <filesystem>
#include <span>
#include <string>
#include <vector>

// What taking card files into the herd book came to. Texts are UTF-8, paths as given.
struct TakenIn {
    // Images taken in whose rows end short of their card's: each said once, when taken in
    // ("PATH: cut short after 3 blocks: its 2 whole rows count").
    std::vector<std::string> shortImages;
    // Images that cannot be opened, or are no card images (they begin with no Card item), and
    // folders that cannot be listed; they give nothing ("PATH: REASON").
    std::vector<std::string> failures;
};

// Takes into the book every card file of the folders that it has not taken in yet: the oldest
// read first, as archive names sort, each known by its bytes, decoded on every core and taken
// in some at a time. A stop is obeyed between those (a RuntimeError with its reason); what was
// taken in stays.
TakenIn TakeInFolders(HerdBook& book, std::span<const std::filesystem::path> folders,
                      const stop::Token& stop);

// Takes in the image of one read, as it was archived under the name; nothing when it is no card
// image.
void TakeInRead(HerdBook& book, std::string_view name, std::span<const std::uint8_t> image);
