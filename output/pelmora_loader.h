#pragma once
// The handle on libPelmora.so, held from start-up to the end of the main window.
// Loaded by name through the dynamic loader: beside the executable (its RPATH is
// $ORIGIN) or on the library path.

#include <cstdint>
#include <string>

#include "platform/messages.h"

namespace glyphwell::output {

class PelmoraLoader {
 public:
  static constexpr const char* kLibraryName = "libPelmora.so";
  static constexpr const char* kEntryName = "_Pelmora";
  // Shown when the library or its entry is missing; the "Icon" type is then removed.
  static constexpr const char* kMissingMessage =
      "アイコンを作成する為のファイルが見つからないので、この機能は使用できません！";

  PelmoraLoader() = default;
  ~PelmoraLoader();
  PelmoraLoader(const PelmoraLoader&) = delete;
  PelmoraLoader& operator=(const PelmoraLoader&) = delete;

  // Loads the library and looks up its entry. Without either the library is
  // released again and kMissingMessage goes to `messages`. The library's own
  // messages (unreadable input, not a bitmap, unwritable output) go to `messages`
  // too for as long as this loader lives. True when icons can be written.
  bool Load(platform::MessageSink& messages, const std::string& libraryName = kLibraryName);

  bool available() const { return entry_ != nullptr; }

  // Calls the entry: bitmap file path, icon file path, packed mask or null. The
  // result carries no meaning (0 when the call completed, else the message's answer).
  // -1 when the library is not loaded.
  int WriteIcon(const std::string& bmpPath, const std::string& icoPath,
                const std::uint8_t* packedMask) const;

  // Releases the library (done by the destructor too).
  void Unload();

 private:
  using Entry = int (*)(const char*, const char*, const unsigned char*);
  void* handle_ = nullptr;
  Entry entry_ = nullptr;
  void (*setCallback_)(int (*)(const char*, void*), void*) = nullptr;
};

}  // namespace glyphwell::output
