#pragma once

#include <filesystem>
#include <functional>
#include <vector>

// A drive is a mounted file system that holds a user's files, named by its mount point: the
// drive list shows them, and a drive's folder is its mount point.
using DriveSource = std::function<std::vector<std::filesystem::path>()>;

// The drives, without the kernel's pseudo file systems, in name order; the root folder's drive
// is always one.
std::vector<std::filesystem::path> MountedDrives();

// The drive that holds the folder: the longest mount point it lies in; -1 for none.
int DriveOf(const std::filesystem::path& folder, const std::vector<std::filesystem::path>& drives);

// Whether the path is the folder or lies below it, component by component.
bool IsWithin(const std::filesystem::path& path, const std::filesystem::path& folder);
