#pragma once
// The about box picture's animation, apart from the drawing: which frame comes
// next, how far the picture jumps and how its size breathes.
//
// Each step draws one of two frames, alternating. After frame 0 the picture moves
// to its home position plus a random offset in x and y (each 0 .. JumpXY - 1, less
// JumpXY when above JumpXY / 2). After frame 1 a random r in 0..9 grows the size
// change by one when r > 5 (up to StretchMax) and shrinks it by one when r <= 4
// (down to -StretchMax). The picture is 64 + size change pixels square.

#include <functional>

namespace glyphwell::about {

class VersionAnimation {
 public:
  static constexpr int kFrameSize = 64;
  // The size change that pointing at or pressing the picture gives.
  static constexpr int kPointerSizeChange = 10;

  // random(n) answers a number in 0 .. n - 1 (n > 0).
  using Random = std::function<int(int)>;

  VersionAnimation(int jumpXY, int stretchMax);

  struct Step {
    int frame = 0;       // the frame to draw (0 or 1)
    bool moved = false;  // true after frame 0: the picture goes to home + (dx, dy)
    int dx = 0, dy = 0;
    int size = kFrameSize;  // the picture's side after this step
  };
  Step Next(const Random& random);

  // The pointer came over the picture (no effect while it is pressed).
  void PointerEntered();
  // A mouse button went down on the picture.
  void Pressed();
  // The pointer moved over the panel: the pressed mark is cleared.
  void PanelPointerMoved() { pressed_ = false; }

  int sizeChange() const { return sizeChange_; }
  bool pressed() const { return pressed_; }
  int nextFrame() const { return frame_; }

 private:
  int Offset(const Random& random) const;

  int jump_;
  int stretchMax_;
  int frame_ = 0;
  int sizeChange_ = 0;
  bool pressed_ = false;
};

}  // namespace glyphwell::about
