#pragma once

#include "form/Outcome.h"

#include <iostream>
#include <string_view>

// How ostrivan-card ends: 0 done, 1 the answer was no, 2 bad usage, 3 a reader or card error,
// 4 the output failed, 5 a run-time error in the card's content.
constexpr int BadUsageStatus = 2;

constexpr int ExitStatus(Outcome outcome) {
    switch (outcome) {
    case Outcome::Done:
        return 0;
    case Outcome::Declined:
        return 1;
    case Outcome::CardError:
        return 3;
    case Outcome::OutputError:
        return 4;
    case Outcome::ContentError:
        return 5;
    }
    return 5; // not reached: every outcome has its case, which the compiler checks
}

// A message of the companion's own, on standard error.
inline void Complain(std::string_view message) {
    std::cerr << "ostrivan-card: " << message << '\n';
}
