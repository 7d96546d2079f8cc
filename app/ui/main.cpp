// The program entry: one copy at a time, the main window, the message loop, and
// the shut-down order (settings written and temporary files deleted when the
// window closes, the library and the instance lock released afterwards).

#include <QApplication>
#include <string>
#include <vector>

#include "about/qt_display_probe.h"
#include "about/qt_message_sink.h"
#include "app/startup.h"
#include "app/ui/t_form1.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(glyphwell::app::kApplicationTitle);
  QApplication::setApplicationDisplayName(glyphwell::app::kApplicationTitle);

  glyphwell::about::QtMessageSink messages;
  glyphwell::app::AppEnvironment env;
  if (!env.ClaimSingleInstance(messages)) return 0;
  env.Start(messages, glyphwell::about::QtDisplayProbe());

  int result = 0;
  {
    glyphwell::app::ui::TForm1 form(env, messages);
    form.show();
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
      args.emplace_back(argv[i]);
    form.HandleCommandLine(args);
    result = QApplication::exec();
    form.FormClose();
  }
  env.ReleaseLibrary();
  env.ReleaseInstance();
  return result;
}
