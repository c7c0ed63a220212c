#include "history/Animals.h"

#include <cstdlib>

std::vector<AnimalSummary> EveryAnimal(HerdBook& book) {
    std::vector<AnimalSummary> animals;
    std::string key;
    book.Weighings([&](const HerdBook::Kept& kept) {
        if (animals.empty() || kept.key != key) {
            key = kept.key;
            animals.push_back({{}, 0, kept.weighing, {}});
        }
        AnimalSummary& animal = animals.back();
        ++animal.weighings;
        animal.last = kept.weighing;
    });
    for (AnimalSummary& animal : animals) {
        animal.tag = animal.last.tag;
    }
    return animals;
}

std::optional<AnimalHistory> AnimalOfTag(HerdBook& book, std::string_view typed) {
    const std::string key = TagKey(typed);
    AnimalHistory animal;
    book.Weighings(
        [&](const HerdBook::Kept& kept) {
            animal.weighings.push_back(kept.weighing);
            animal.images.emplace_back(kept.image);
        },
        true, &key);
    if (animal.weighings.empty()) {
        return std::nullopt;
    }
    animal.tag = animal.weighings.back().tag;
    return animal;
}

std::optional<std::int64_t> GainPerDay(const Weighing& from, const Weighing& to) {
    const std::int64_t days = (to.day - from.day).count();
    if (days == 0) {
        return std::nullopt;
    }
    const std::int64_t hundredths = 100 * (to.weight - from.weight);
    const std::int64_t rounded =
        (2 * std::llabs(hundredths) + std::llabs(days)) / (2 * std::llabs(days));
    return (hundredths < 0) != (days < 0) ? -rounded : rounded;
}

std::string GainText(std::optional<std::int64_t> hundredths) {
    if (!hundredths) {
        return {};
    }
    const std::int64_t whole = std::llabs(*hundredths);
    const std::string cents = std::to_string(whole % 100);
    return (*hundredths < 0 ? "-" : "") + std::to_string(whole / 100) + "." +
           (cents.size() == 1 ? "0" : "") + cents;
}
