#pragma once

#include "form/frmOstrivan.h"

#include <cstddef>
#include <iostream>
#include <string_view>

// How ostrivan-card ends: 0 done, 1 the answer was no, 2 bad usage, 3 a reader or card error,
// 4 the output failed, 5 a run-time error in the card's content.
constexpr int BadUsageStatus = 2;

inline int ExitStatus(Outcome outcome) {
    constexpr int Statuses[] = {0, 1, 3, 4, 5}; // in the order of Outcome
    return Statuses[static_cast<std::size_t>(outcome)];
}

// A message of the companion's own, on standard error.
inline void Complain(std::string_view message) {
    std::cerr << "ostrivan-card: " << message << '\n';
}
