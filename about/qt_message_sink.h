#pragma once
// Message boxes for the windows: the MessageSink interface shown as a Qt message
// box over a parent window.

#include <QPointer>
#include <QWidget>

#include "platform/messages.h"

namespace glyphwell::about {

class QtMessageSink final : public platform::MessageSink {
 public:
  explicit QtMessageSink(QWidget* parent = nullptr) : parent_(parent) {}
  platform::MsgResult Show(const std::string& text, const std::string& caption,
                           platform::MsgButtons buttons, platform::MsgIcon icon,
                           platform::MsgResult defaultAnswer) override;

 private:
  QPointer<QWidget> parent_;
};

}  // namespace glyphwell::about
