#pragma once
// Whole-file reads and replacing writes. The write goes to a temporary file beside
// the target, renamed over it only when every byte is on disk, so a failure leaves
// the old file (or no file) instead of a partial one.

#include <cstdint>
#include <string>
#include <vector>

namespace pelmora {

bool ReadWholeFile(const char* path, std::vector<std::uint8_t>& out);
bool WriteFileReplacing(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace pelmora
