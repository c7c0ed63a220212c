#pragma once

#include <string>

// The export file's name for the name typed: ".csv" is added to a name without a dot.
inline std::string ExportFileName(std::string typed) {
    if (typed.find('.') == std::string::npos) {
        typed += ".csv";
    }
    return typed;
}
