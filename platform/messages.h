#pragma once
// Message boxes as one small interface: the window shows a dialog, the command line
// prints to stderr and takes the default answer, tests record the calls.

#include <string>
#include <vector>

namespace glyphwell::platform {

enum class MsgButtons { kOk, kOkCancel, kYesNo, kYesNoCancel };
enum class MsgIcon { kNone, kInformation, kWarning, kError, kQuestion };
enum class MsgResult { kOk, kCancel, kYes, kNo };

class MessageSink {
 public:
  virtual ~MessageSink() = default;
  // Shows text (UTF-8) with caption; returns the button pressed. `defaultAnswer` is
  // what a front end without a person (the command line) answers.
  virtual MsgResult Show(const std::string& text, const std::string& caption = "Glyphwell",
                         MsgButtons buttons = MsgButtons::kOk, MsgIcon icon = MsgIcon::kNone,
                         MsgResult defaultAnswer = MsgResult::kOk) = 0;
};

// Prints "text" to stderr and answers the default.
class StderrMessages final : public MessageSink {
 public:
  MsgResult Show(const std::string& text, const std::string& caption, MsgButtons buttons,
                 MsgIcon icon, MsgResult defaultAnswer) override;
};

// Records every message; answers from a queue of scripted answers, else the default.
class RecordingMessages final : public MessageSink {
 public:
  struct Entry {
    std::string text, caption;
    MsgButtons buttons;
    MsgIcon icon;
  };
  MsgResult Show(const std::string& text, const std::string& caption, MsgButtons buttons,
                 MsgIcon icon, MsgResult defaultAnswer) override;
  std::vector<Entry> entries;
  std::vector<MsgResult> answers;  // consumed front first
};

// Swallows every message and answers the default.
class SilentMessages final : public MessageSink {
 public:
  MsgResult Show(const std::string&, const std::string&, MsgButtons, MsgIcon,
                 MsgResult defaultAnswer) override {
    return defaultAnswer;
  }
};

}  // namespace glyphwell::platform
