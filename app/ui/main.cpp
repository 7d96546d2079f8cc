// The program entry: one copy at a time, the main window, the message loop, and
// the shut-down order (settings written and temporary files deleted when the
// window closes, the library and the instance lock released afterwards).
//
// GLYPHWELL_EXIT_AFTER_LOAD=1 measures a start: once the command line's file is
// listed and the visible grid cells are painted, the time since the entry is
// printed and the program quits (docs/main-window.md).

#include <QApplication>
#include <QElapsedTimer>
#include <QWindow>
#include <cstdio>
#include <string>
#include <vector>

#include "about/qt_display_probe.h"
#include "about/qt_message_sink.h"
#include "app/startup.h"
#include "app/ui/t_form1.h"

namespace {

// Lets the window reach the screen and paints the grid's visible cells at once.
void PaintGridNow(glyphwell::app::ui::TForm1& form) {
  QElapsedTimer waited;
  waited.start();
  while ((!form.windowHandle() || !form.windowHandle()->isExposed()) && waited.elapsed() < 5000)
    QApplication::processEvents(QEventLoop::AllEvents, 10);
  QApplication::processEvents();  // the grid lays out its entries
  form.ListView2->viewport()->repaint();
  QApplication::processEvents();
}

}  // namespace

int main(int argc, char** argv) {
  QElapsedTimer sinceEntry;
  sinceEntry.start();
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
    if (qEnvironmentVariableIsSet("GLYPHWELL_EXIT_AFTER_LOAD")) {
      PaintGridNow(form);
      std::printf("glyphwell: %d entries listed, %d cells drawn, %lld ms since start\n",
                  form.ListView2->count(), form.drawnCells(),
                  static_cast<long long>(sinceEntry.elapsed()));
      std::fflush(stdout);
    } else {
      result = QApplication::exec();
    }
    form.FormClose();
  }
  env.ReleaseLibrary();
  env.ReleaseInstance();
  return result;
}
