#pragma once
// Writing files so that a failure never leaves a half-written file where a good one
// was: the bytes go to a temporary file beside the target, which is renamed over the
// target only when complete.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace glyphwell::platform {

// True when `path` now holds exactly `bytes`. On failure the old file (if any) is
// untouched, no temporary file is left, and `error` (when given) receives the
// system's error text.
bool WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes,
                         std::string* error = nullptr);

// Reads a whole file. False when it cannot be opened or read.
bool ReadWholeFileBytes(const std::string& path, std::vector<std::uint8_t>& out);

}  // namespace glyphwell::platform
