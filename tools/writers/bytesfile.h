// Writing a whole file that a writer built in memory: the one place where the
// writers touch the disk.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Writes bytes to path, replacing the file. False (reported) on failure.
bool WriteBytesFile(const std::string& path, const std::vector<std::uint8_t>& bytes);
