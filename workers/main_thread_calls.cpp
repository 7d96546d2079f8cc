#include "workers/main_thread_calls.h"

namespace glyphwell::workers {

bool MainThreadCalls::Call(std::function<void()> fn) {
  auto task = std::make_shared<Task>();
  task->fn = std::move(fn);
  {
    std::lock_guard lock(mutex_);
    if (closed_) return false;
    queue_.push_back(task);
  }
  if (wake_) wake_();
  std::unique_lock lock(mutex_);
  doneSignal_.wait(lock, [&] { return task->done || closed_; });
  return task->done;
}

int MainThreadCalls::RunPending() {
  int ran = 0;
  for (;;) {
    std::shared_ptr<Task> task;
    {
      std::lock_guard lock(mutex_);
      if (queue_.empty()) break;
      task = queue_.front();
      queue_.pop_front();
    }
    task->fn();
    ++ran;
    {
      std::lock_guard lock(mutex_);
      task->done = true;
    }
    doneSignal_.notify_all();
  }
  return ran;
}

void MainThreadCalls::Close() {
  {
    std::lock_guard lock(mutex_);
    closed_ = true;
    queue_.clear();
  }
  doneSignal_.notify_all();
}

}  // namespace glyphwell::workers
