#include "workers/t_icon_up_thread.h"

#include <chrono>
#include <fstream>
#include <iterator>
#include <vector>

#include "extract/shell_icons.h"
#include "extract/source_reader.h"

namespace glyphwell::workers {

TIconUpThread::TIconUpThread(IconUpHost host, MainThreadCalls& calls, std::atomic<bool>& stopFlag)
    : host_(std::move(host)), calls_(calls), stop_(stopFlag) {
  stop_ = false;
  thread_ = std::thread([this] { Execute(); });
}

TIconUpThread::~TIconUpThread() {
  Stop();
  if (thread_.joinable()) thread_.join();
}

void TIconUpThread::Stop() {
  if (finished_) return;
  stop_ = true;
  // The worker may be waiting inside a synchronous call: keep running them.
  while (!finished_) {
    if (calls_.RunPending() == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

std::optional<imaging::IconImage> TIconUpThread::SmallIcon(const std::string& path) {
  extract::SourceReader reader;
  auto bytes = reader.ReadWholeFile(path, false);
  if (!bytes) return std::nullopt;
  return extract::ShellExtractIcon(*bytes, extract::SourceReader::LowerExtension(path), 0,
                                   extract::kSmallIconSize);
}

void TIconUpThread::Execute() {
  for (int i = 0; !stop_; ++i) {
    int count = 0;
    std::string path;
    if (!calls_.Call([&] {
          count = host_.itemCount ? host_.itemCount() : 0;
          if (i < count && host_.itemPath) path = host_.itemPath(i);
        }))
      break;
    if (i >= count || stop_) break;
    std::optional<imaging::IconImage> icon = SmallIcon(path);
    const int overlay =
        extract::SourceReader::LowerExtension(path) == ".lnk" ? kShortcutOverlay : kNoOverlay;
    if (stop_) break;
    if (!calls_.Call([&] {
          // The list may have changed meanwhile: only a row still showing that path.
          if (host_.setIcon && host_.itemCount && i < host_.itemCount() &&
              (!host_.itemPath || host_.itemPath(i) == path))
            host_.setIcon(i, icon, overlay);
        }))
      break;
  }
  stop_ = true;
  finished_ = true;
}

void IconUpdate::Start() {
  Stop();
  thread_ = std::make_unique<TIconUpThread>(host_, calls_, stop_);
}

void IconUpdate::Stop() {
  if (!thread_) return;
  thread_->Stop();
  thread_.reset();
}

}  // namespace glyphwell::workers
