#pragma once

#include "herd/HerdBook.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The animals of the herd book: all the weighings of one tag key are one animal, in time
// order, shown with the tag as its latest weighing spells it.

// An animal at a glance: how often it was weighed, and its first and last weighing.
struct AnimalSummary {
    std::string tag;
    std::size_t weighings = 0;
    Weighing first;
    Weighing last;
};

// Every weighing of one animal, with the image each was first seen in.
struct AnimalHistory {
    std::string tag;
    std::vector<Weighing> weighings;
    std::vector<std::string> images;
};

// Every animal of the book, by key.
std::vector<AnimalSummary> EveryAnimal(HerdBook& book);
// The animal of the tag typed (code-page text), matched by its key; none when it has none.
std::optional<AnimalHistory> AnimalOfTag(HerdBook& book, std::string_view typed);

// The weight gained per day from one weighing to a later one, in hundredths of the weight's
// unit, rounded half away from zero; none when both are of the same day.
std::optional<std::int64_t> GainPerDay(const Weighing& from, const Weighing& to);
// A gain as a cell shows it: "1.80", "-0.13", "0.00" (never "-0.00"); empty for none.
std::string GainText(std::optional<std::int64_t> hundredths);
