#pragma once

#include "report/Reporter.h"

#include <string>

// The program's version, as the build names it (the project's version in CMakeLists.txt).
constexpr int VersionMajor = OSTRIVAN_VERSION_MAJOR;
constexpr int VersionMinor = OSTRIVAN_VERSION_MINOR;
constexpr int VersionRevision = OSTRIVAN_VERSION_PATCH;

// The program's title and version, as the companion shows them: "Ostrivan 2.2.1".
inline std::string VersionText() {
    return std::string(ApplicationTitle) + " " + std::to_string(VersionMajor) + "." +
           std::to_string(VersionMinor) + "." + std::to_string(VersionRevision);
}
