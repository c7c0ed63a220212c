#pragma once

#include <filesystem>
#include <string>
#include <variant>

// The export file that --output names (".csv" added to a last component without a dot, as the
// window does; a workbook for ".xlsx"), empty for standard output ("-" or none); the exit
// status when it cannot be one.
std::variant<std::filesystem::path, int> OutputFile(const std::string& output, bool force);
