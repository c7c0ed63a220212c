#pragma once

#include <filesystem>
#include <functional>
#include <vector>

// Drives are the mounted volumes that hold a user's files, by their mount points.
using VolumeSource = std::function<std::vector<std::filesystem::path>()>;

// The mounted volumes, without the kernel's pseudo file systems, in name order; the volume of
// the root folder is always one.
std::vector<std::filesystem::path> MountedVolumes();

// The volume that holds the folder: the longest mount point it lies in; -1 for none.
int DriveOf(const std::filesystem::path& folder, const std::vector<std::filesystem::path>& drives);

// Whether the path is the folder or lies below it, component by component.
bool IsWithin(const std::filesystem::path& path, const std::filesystem::path& folder);
