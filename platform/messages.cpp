#include "platform/messages.h"

#include <cstdio>

namespace glyphwell::platform {

MsgResult StderrMessages::Show(const std::string& text, const std::string&, MsgButtons, MsgIcon,
                               MsgResult defaultAnswer) {
  std::fprintf(stderr, "%s\n", text.c_str());
  return defaultAnswer;
}

MsgResult RecordingMessages::Show(const std::string& text, const std::string& caption,
                                  MsgButtons buttons, MsgIcon icon, MsgResult defaultAnswer) {
  entries.push_back({text, caption, buttons, icon});
  if (answers.empty()) return defaultAnswer;
  MsgResult r = answers.front();
  answers.erase(answers.begin());
  return r;
}

}  // namespace glyphwell::platform
