#pragma once

#include <QImage>

#include "main/gif_animation.h"

namespace main_window {

// Which frame of a picture is shown and which one comes next. A still picture
// is a single frame that never advances.
class PicturePlayback {
  public:
    PicturePlayback() = default;
    explicit PicturePlayback(const QImage& still);
    explicit PicturePlayback(GifAnimation animation);

    const QImage& CurrentImage() const;
    int CurrentFrame() const { return current_; }
    int FrameCount() const { return int(animation_.frames.size()); }
    int CurrentDelayMs() const;

    // False for a still picture, and once the last play has reached its last
    // frame (the animation then rests there, as in browsers).
    bool HasNextFrame() const;
    void NextFrame();
    // Back to the first frame with every play still to go.
    void Restart();

  private:
    bool IsLastFrame() const { return current_ + 1 == FrameCount(); }

    GifAnimation animation_;
    int current_ = 0;
    int playsDone_ = 0;
};

}  // namespace main_window
