#pragma once
// Storing an encoded icon file or library: the bytes go to a file beside the target
// that replaces it only when complete, and any failure is shown to the person.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/messages.h"

namespace glyphwell::builder {

// Writes `bytes` to `path`. When encoding failed (`bytes` empty, `encodeError` says why)
// or the file cannot be written, shows the reason and returns false.
bool StoreEncodedFile(const std::string& path,
                      const std::optional<std::vector<std::uint8_t>>& bytes,
                      const std::string& encodeError, platform::MessageSink& messages);

}  // namespace glyphwell::builder
