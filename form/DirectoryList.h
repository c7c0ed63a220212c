#pragma once

#include <filesystem>
#include <string>
#include <vector>

// The directory list: the folders from the drive down to the current one, each a step further
// in, then the current folder's subfolders.
class DirectoryList {
public:
    struct Entry {
        std::string label; // code-page text, indented by its depth
        std::filesystem::path folder;
    };

    // The folder as the list would show it: absolute, without links. Throws RuntimeError
    // ("Path not found: ...") for a path that is not a folder that can be read.
    static std::filesystem::path Resolve(const std::filesystem::path& folder);

    // Shows the folder, counting its steps from the drive; on a failure the list stays as it
    // was and RuntimeError is thrown.
    void SetPath(const std::filesystem::path& folder, const std::filesystem::path& drive);

    const std::filesystem::path& Path() const { return path_; }
    const std::filesystem::path& Drive() const { return drive_; }
    const std::vector<Entry>& Entries() const { return entries_; }
    std::vector<std::string> Labels() const;
    // The entry of the current folder.
    int Current() const { return current_; }

private:
    std::filesystem::path path_;
    std::filesystem::path drive_;
    std::vector<Entry> entries_;
    int current_ = -1;
};
