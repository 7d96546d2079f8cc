#include "output/pelmora_loader.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>

namespace glyphwell::output {

namespace {

// Hands a message of the library to the host's message sink: empty caption, OK.
int ForwardMessage(const char* text, void* context) {
  auto* sink = static_cast<platform::MessageSink*>(context);
  platform::MsgResult r = sink->Show(text, "", platform::MsgButtons::kOk);
  return r == platform::MsgResult::kOk ? 1 : 2;
}

// The folder of the running program, for programs built without $ORIGIN in their
// search path (test binaries, tools that do not link the library).
std::string ProgramFolder() {
  char buf[PATH_MAX];
  ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return {};
  std::string path(buf, static_cast<std::size_t>(n));
  return path.substr(0, path.find_last_of('/'));
}

}  // namespace

PelmoraLoader::~PelmoraLoader() {
  Unload();
}

bool PelmoraLoader::Load(platform::MessageSink& messages, const std::string& libraryName) {
  Unload();
  handle_ = ::dlopen(libraryName.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle_ && libraryName.find('/') == std::string::npos) {
    std::string besideProgram = ProgramFolder() + "/" + libraryName;
    handle_ = ::dlopen(besideProgram.c_str(), RTLD_NOW | RTLD_LOCAL);
  }
  if (handle_) {
    entry_ = reinterpret_cast<Entry>(::dlsym(handle_, kEntryName));
    if (!entry_) Unload();
  }
  if (!entry_) {
    messages.Show(kMissingMessage);
    return false;
  }
  // The callback is optional: an older library without it prints to stderr.
  setCallback_ =
      reinterpret_cast<decltype(setCallback_)>(::dlsym(handle_, "PelmoraSetMessageCallback"));
  if (setCallback_) setCallback_(&ForwardMessage, &messages);
  return true;
}

int PelmoraLoader::WriteIcon(const std::string& bmpPath, const std::string& icoPath,
                             const std::uint8_t* packedMask) const {
  if (!entry_) return -1;
  return entry_(bmpPath.c_str(), icoPath.c_str(), packedMask);
}

void PelmoraLoader::Unload() {
  if (setCallback_) setCallback_(nullptr, nullptr);
  setCallback_ = nullptr;
  entry_ = nullptr;
  if (handle_) ::dlclose(handle_);
  handle_ = nullptr;
}

}  // namespace glyphwell::output
