#pragma once
// The builder tool bar's progress bar as the models see it. The window forwards to
// its drawn progress bar; the command line and tests use the silent default.

namespace glyphwell::builder {

class ProgressBar {
 public:
  virtual ~ProgressBar() = default;
  virtual void SetMax(long long) {}
  virtual void SetPosition(long long) {}
  virtual void Step() {}
  virtual long long Max() const { return 0; }
};

// A progress bar that remembers its state (the model's own, shown by the window).
class CountingProgressBar : public ProgressBar {
 public:
  void SetMax(long long max) override { max_ = max; }
  void SetPosition(long long position) override { position_ = position; }
  void Step() override { ++position_; }
  long long Max() const override { return max_; }
  long long Position() const { return position_; }

 private:
  long long max_ = 0;
  long long position_ = 0;
};

}  // namespace glyphwell::builder
