#pragma once
// The artwork of the about box animation: two 64 x 64 frames side by side in one
// 128 x 64 image, and the drawing of one frame onto the picture's canvas.

#include <QColor>
#include <QImage>

namespace glyphwell::about {

// Pure blue marks the pixels of a frame that let the background show.
inline constexpr QRgb kFrameTransparent = 0xFF0000FF;

// The two frames: an icon sheet with a spark that moves between the frames.
QImage MakeAnimationFrames();

// A 64 x 64 canvas filled with `background`, with frame `frame` (0 or 1) of
// `frames` drawn over it, its pure blue pixels left out.
QImage DrawAnimationFrame(const QImage& frames, int frame, const QColor& background);

}  // namespace glyphwell::about
