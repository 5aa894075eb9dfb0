// Whole-file reads and writes for the engine's exchange files; sizes are bounded before anything is allocated.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace Engines {

// Largest input or table file the engine accepts; a real straight road is a few kilobytes.
inline constexpr std::size_t kMaxTextFileBytes = 64u << 20;

// False with a message when the file is missing, unreadable or larger than maxBytes.
bool ReadWholeFile(const std::string& path, std::size_t maxBytes, std::string& contents, std::string* error);
bool WriteWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace Engines
