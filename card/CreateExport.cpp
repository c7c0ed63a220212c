#include "card/CreateExport.h"

#include "card/ExportFile.h"
#include "card/WorkbookFile.h"

#include <algorithm>

bool IsWorkbookName(const std::filesystem::path& file) {
    constexpr std::string_view Extension = ".xlsx";
    const std::string& name = file.native();
    return name.size() >= Extension.size() &&
           std::equal(Extension.rbegin(), Extension.rend(), name.rbegin(), [](char a, char b) {
               return a == std::tolower(static_cast<unsigned char>(b));
           });
}

std::unique_ptr<ExportRows> CreateExport(const std::filesystem::path& file) {
    if (file.empty()) {
        return ExportFile::StandardOutput();
    }
    if (IsWorkbookName(file)) {
        return std::make_unique<WorkbookFile>(file);
    }
    return std::make_unique<ExportFile>(file);
}
