#pragma once

#include <array>
#include <cstdint>
#include <span>

// What an image is known by: the SHA-256 digest of its bytes, whatever its name.
using ImageHash = std::array<std::uint8_t, 32>;

ImageHash HashOfImage(std::span<const std::uint8_t> image);
