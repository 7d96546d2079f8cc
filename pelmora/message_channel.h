#pragma once
// Where the library's three messages go: the host's callback, else stderr.

#include <string>

#include "pelmora/pelmora.h"

namespace pelmora {

void SetMessageReceiver(PelmoraMessageCallback callback, void* context);

// Shows path + "\n" + message (cut to 1024 bytes at a character boundary) and
// returns the receiver's answer; 1 (the OK button) when printed to stderr.
int ShowMessage(const char* path, const char* message);

}  // namespace pelmora
