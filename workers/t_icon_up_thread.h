#pragma once
// TIconUpThread: fills in the small icons of the file list's rows after a refill.
//
// For each row i, while the stop flag is clear: the row's path is read on the
// window thread, the file's small icon (for a module or icon file, the first icon
// group's image closest to 16x16) is made on the worker, and handed back to the
// window thread through `setIcon`, together with the overlay (1 for a shortcut).
// Rows without such an icon get nullopt: the window shows the file type's icon.
// When it ends the worker sets the stop flag ("nothing running").
//
// The window owns the stop flag and the MainThreadCalls queue, and keeps one
// IconUpdate (below), which stops a running worker before every refill of the
// list and starts a new one after it.

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <thread>

#include "imaging/icon_image.h"
#include "workers/main_thread_calls.h"

namespace glyphwell::workers {

inline constexpr int kNoOverlay = -1;
inline constexpr int kShortcutOverlay = 1;

struct IconUpHost {
  // Called on the window thread only.
  std::function<int()> itemCount;
  std::function<std::string(int)> itemPath;
  std::function<void(int, const std::optional<imaging::IconImage>&, int overlay)> setIcon;
};

class TIconUpThread {
 public:
  // Starts at once. `stopFlag` is cleared here and set by the worker when it ends.
  TIconUpThread(IconUpHost host, MainThreadCalls& calls, std::atomic<bool>& stopFlag);
  ~TIconUpThread();  // joins
  TIconUpThread(const TIconUpThread&) = delete;
  TIconUpThread& operator=(const TIconUpThread&) = delete;

  // Window thread: set the stop flag and wait for the worker, running its
  // synchronous calls meanwhile. Nothing when it has already ended.
  void Stop();
  bool finished() const { return finished_; }

  // The small icon of a file as the file list shows it; nullopt when it has none.
  static std::optional<imaging::IconImage> SmallIcon(const std::string& path);

 private:
  void Execute();

  IconUpHost host_;
  MainThreadCalls& calls_;
  std::atomic<bool>& stop_;
  std::atomic<bool> finished_{false};
  std::thread thread_;
};

// The window's handle on the icon update: Stop before a refill, Start after.
class IconUpdate {
 public:
  IconUpdate(IconUpHost host, MainThreadCalls& calls) : host_(std::move(host)), calls_(calls) {}
  ~IconUpdate() { Stop(); }
  void Start();
  void Stop();
  bool running() const { return !stop_; }

 private:
  IconUpHost host_;
  MainThreadCalls& calls_;
  std::atomic<bool> stop_{true};
  std::unique_ptr<TIconUpThread> thread_;
};

}  // namespace glyphwell::workers
