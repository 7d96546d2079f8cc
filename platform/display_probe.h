#pragma once
// The colour depth of the screen, asked once at start-up. The window layer answers
// with the primary screen's depth; the command line and tests give a fixed value.

namespace glyphwell::platform {

class DisplayProbe {
 public:
  virtual ~DisplayProbe() = default;
  // Bits per pixel of the screen (for example 8, 16, 24 or 32).
  virtual int BitsPerPixel() const = 0;
};

class FixedDisplayProbe final : public DisplayProbe {
 public:
  explicit FixedDisplayProbe(int bitsPerPixel = 32) : bits_(bitsPerPixel) {}
  int BitsPerPixel() const override { return bits_; }

 private:
  int bits_;
};

}  // namespace glyphwell::platform
