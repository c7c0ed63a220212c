#pragma once

#include <stdexcept>
#include <string>

// A run-time error of the system: raised where an operation cannot go on, caught only by the
// procedures that trap errors, which report its description with their own label.
class RuntimeError : public std::runtime_error {
public:
    explicit RuntimeError(const std::string& description) : std::runtime_error(description) {}
};
