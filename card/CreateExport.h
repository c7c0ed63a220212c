#pragma once

#include "card/ExportRows.h"

#include <filesystem>
#include <memory>

// The export for the file: a workbook for a name ending in ".xlsx" (any case), CSV rows
// otherwise, and CSV rows on standard output for an empty path.
std::unique_ptr<ExportRows> CreateExport(const std::filesystem::path& file);

// Whether the name asks for a workbook.
bool IsWorkbookName(const std::filesystem::path& file);
