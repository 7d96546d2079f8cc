#include "workers/t_icon_up_thread.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "tests/support/search_tree.h"

namespace glyphwell::workers {
namespace {

using testsupport::SearchTree;

// The window: a list of paths and the icons it was given, touched only on the
// test's (window) thread.
struct FakeWindow {
  std::vector<std::string> rows;
  std::vector<int> iconWidth;  // -1 = none given yet, 0 = the file type's icon
  std::thread::id windowThread = std::this_thread::get_id();
  bool touchedElsewhere = false;

  IconUpHost Host() {
    return IconUpHost{[this] {
                        Check();
                        return static_cast<int>(rows.size());
                      },
                      [this](int i) {
                        Check();
                        return rows[static_cast<std::size_t>(i)];
                      },
                      [this](int i, const std::optional<imaging::IconImage>& icon, int) {
                        Check();
                        iconWidth[static_cast<std::size_t>(i)] = icon ? icon->width() : 0;
                      }};
  }
  void Check() {
    if (std::this_thread::get_id() != windowThread) touchedElsewhere = true;
  }
  void Fill(std::vector<std::string> paths) {
    rows = std::move(paths);
    iconWidth.assign(rows.size(), -1);
  }
};

TEST(TIconUpThreadTest, FillsSmallIconsOnTheWindowThread) {
  SearchTree tree;
  const std::string module = tree.Module("a.dll", 2);
  const std::string text = tree.Write("b.dll", {'x'});
  FakeWindow window;
  window.Fill({module, text});
  MainThreadCalls calls;
  IconUpdate update(window.Host(), calls);
  update.Start();
  auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (update.running() && std::chrono::steady_clock::now() < until)
    calls.RunPending();
  EXPECT_FALSE(update.running());
  EXPECT_EQ(window.iconWidth, (std::vector<int>{32, 0}));  // 32: the only image of group 0
  EXPECT_FALSE(window.touchedElsewhere);
}

TEST(TIconUpThreadTest, StopBeforeARefillEndsTheOldUpdate) {
  SearchTree tree;
  const std::string module = tree.Module("a.dll", 1);
  FakeWindow window;
  window.Fill(std::vector<std::string>(2000, module));
  MainThreadCalls calls;
  IconUpdate update(window.Host(), calls);
  update.Start();
  for (int i = 0; i < 20; ++i)
    calls.RunPending();
  update.Stop();  // runs the worker's pending call while it waits
  EXPECT_FALSE(update.running());
  // Nothing touches the list now: refill it and start again.
  const std::vector<int> before = window.iconWidth;
  for (int i = 0; i < 50; ++i)
    calls.RunPending();
  EXPECT_EQ(window.iconWidth, before);
  window.Fill({module});
  update.Start();
  while (update.running())
    calls.RunPending();
  EXPECT_EQ(window.iconWidth, (std::vector<int>{32}));
  update.Stop();  // already ended: nothing
}

TEST(MainThreadCallsTest, ClosedQueueReleasesTheWorker) {
  MainThreadCalls calls;
  bool ran = false;
  std::thread worker([&] { EXPECT_FALSE(calls.Call([&] { ran = true; })); });
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  calls.Close();
  worker.join();
  EXPECT_FALSE(ran);
}

}  // namespace
}  // namespace glyphwell::workers
