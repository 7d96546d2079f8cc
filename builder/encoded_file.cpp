#include "builder/encoded_file.h"

#include "platform/atomic_file.h"

namespace glyphwell::builder {

bool StoreEncodedFile(const std::string& path,
                      const std::optional<std::vector<std::uint8_t>>& bytes,
                      const std::string& encodeError, platform::MessageSink& messages) {
  if (!bytes) {
    messages.Show(encodeError, "Glyphwell", platform::MsgButtons::kOk, platform::MsgIcon::kError);
    return false;
  }
  std::string error;
  if (!platform::WriteFileAtomically(path, *bytes, &error)) {
    messages.Show(path + "\n" + error, "Glyphwell", platform::MsgButtons::kOk,
                  platform::MsgIcon::kError);
    return false;
  }
  return true;
}

}  // namespace glyphwell::builder
