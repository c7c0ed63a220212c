#include "form/DirectoryList.h"

#include "base/RuntimeError.h"
#include "card/CodePage.h"
#include "form/Drives.h"

#include <algorithm>

namespace {

constexpr std::size_t IndentPerLevel = 2;

[[noreturn]] void NotFound(const std::filesystem::path& folder) {
    throw RuntimeError("Path not found: " + codepage::FromFileName(folder));
}

std::vector<std::filesystem::path> Subfolders(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> subfolders;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(folder, error), end; entry != end;
         entry.increment(error)) {
        const auto& path = entry->path();
        std::error_code ignored; // an entry that went meanwhile is simply not listed
        if (!path.filename().native().starts_with('.') && entry->is_directory(ignored)) {
            subfolders.push_back(path);
        }
    }
    if (error) {
        NotFound(folder);
    }
    std::sort(subfolders.begin(), subfolders.end());
    return subfolders;
}

} // namespace

std::filesystem::path DirectoryList::Resolve(const std::filesystem::path& folder) {
    std::error_code error;
    auto resolved = std::filesystem::canonical(folder, error);
    if (error || !std::filesystem::is_directory(resolved, error)) {
        NotFound(folder);
    }
    return resolved;
}

void DirectoryList::SetPath(const std::filesystem::path& folder,
                            const std::filesystem::path& drive) {
    const auto path = Resolve(folder);
    const auto subfolders = Subfolders(path);
    std::vector<std::filesystem::path> steps;
    for (auto step = path;; step = step.parent_path()) {
        steps.insert(steps.begin(), step);
        if (step == drive || step == step.root_path() || !IsWithin(step, drive)) {
            break;
        }
    }
    std::vector<Entry> entries;
    for (const auto& step : steps) {
        const std::size_t level = entries.size();
        const auto name = level == 0 ? step : step.filename();
        entries.push_back(
            {std::string(level * IndentPerLevel, ' ') + codepage::FromFileName(name), step});
    }
    const std::string indent(steps.size() * IndentPerLevel, ' ');
    for (const auto& subfolder : subfolders) {
        entries.push_back({indent + codepage::FromFileName(subfolder.filename()), subfolder});
    }
    path_ = path;
    drive_ = drive;
    entries_ = std::move(entries);
    current_ = static_cast<int>(steps.size()) - 1;
}

std::vector<std::string> DirectoryList::Labels() const {
    std::vector<std::string> labels;
    for (const Entry& entry : entries_) {
        labels.push_back(entry.label);
    }
    return labels;
}
