#pragma once

#include "history/Weighings.h"

#include <filesystem>
#include <string>
#include <vector>

// The weighings of every card image ("NAME.card") in the folders, each image decoded as an
// export would decode it, on every core, and each weighing kept once. An image that cannot be
// read or decoded gives no weighing at all, and is named with its reason among the failures
// (UTF-8); so is a folder that cannot be listed.
struct ArchiveReading {
    std::vector<std::string> images; // their names, code-page text, in time order
    std::vector<Weighing> weighings; // in key order
    std::vector<std::string> failures;
};

ArchiveReading ReadArchives(const std::vector<std::filesystem::path>& folders);
