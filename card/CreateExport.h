#pragma once

#include "card/ExportRows.h"

#include <filesystem>
#include <memory>

// The export of a read into the file, of the kind its name asks for (CSV rows, or a workbook
// whose sheet "Summary" sums them up), or CSV rows on standard output for an empty path.
std::unique_ptr<ExportRows> CreateExport(const std::filesystem::path& file);
