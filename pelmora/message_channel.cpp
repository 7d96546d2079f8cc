#include "pelmora/message_channel.h"

#include <cstdio>
#include <mutex>

namespace pelmora {

namespace {

constexpr std::size_t kMaxMessageBytes = 1024;
constexpr int kOkButton = 1;

std::mutex receiverLock;
PelmoraMessageCallback receiver = nullptr;
void* receiverContext = nullptr;

// Cuts UTF-8 text to at most `limit` bytes without splitting a character.
void CutText(std::string& text, std::size_t limit) {
  if (text.size() <= limit) return;
  std::size_t end = limit;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
    --end;
  text.resize(end);
}

}  // namespace

void SetMessageReceiver(PelmoraMessageCallback callback, void* context) {
  std::lock_guard<std::mutex> lock(receiverLock);
  receiver = callback;
  receiverContext = context;
}

int ShowMessage(const char* path, const char* message) {
  std::string text = path ? path : "";
  text += "\n";
  text += message;
  CutText(text, kMaxMessageBytes);
  PelmoraMessageCallback callback;
  void* context;
  {
    std::lock_guard<std::mutex> lock(receiverLock);
    callback = receiver;
    context = receiverContext;
  }
  if (callback) return callback(text.c_str(), context);
  std::fprintf(stderr, "%s\n", text.c_str());
  return kOkButton;
}

}  // namespace pelmora
