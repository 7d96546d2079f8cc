#pragma once
// Synchronous calls from a worker onto the window thread, without any GUI types.
//
// A worker calls Call(fn): fn is queued and the worker waits until the window
// thread has run it (through RunPending) or the queue was closed. The window runs
// RunPending on its thread whenever `wake` tells it that something is queued (the
// Qt window posts a queued call to itself), and while it waits for a worker to end,
// so that a worker inside a synchronous call can always finish.

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

namespace glyphwell::workers {

class MainThreadCalls {
 public:
  // `wake` is called on the worker's thread after a call was queued; may be empty.
  explicit MainThreadCalls(std::function<void()> wake = {}) : wake_(std::move(wake)) {}

  // Worker side: runs `fn` on the window thread and waits for it. False when the
  // queue is closed (fn did not run).
  bool Call(std::function<void()> fn);
  // Window side: runs every queued call. Returns how many ran.
  int RunPending();
  // Refuses further calls and releases waiting workers (their calls do not run).
  void Close();

 private:
  struct Task {
    std::function<void()> fn;
    bool done = false;
  };
  std::mutex mutex_;
  std::condition_variable doneSignal_;
  std::deque<std::shared_ptr<Task>> queue_;
  bool closed_ = false;
  std::function<void()> wake_;
};

}  // namespace glyphwell::workers
