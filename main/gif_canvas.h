#pragma once

#include <gif_lib.h>

#include <QImage>
#include <QRect>

namespace main_window {

// The logical screen of a GIF animation, on which the frames are drawn one
// after the other. Each frame is disposed of, as its graphic control block
// says, before the next one is drawn.
class GifCanvas {
  public:
    explicit GifCanvas(QSize size);

    // Starts a frame covering frameRect (parts outside the screen are cut off).
    void BeginFrame(const QRect& frameRect, int disposal);
    // Draws row y of the current frame. Pixels of the transparent index, or
    // beyond the colour table, leave what is below them.
    void DrawRow(int y, const GifPixelType* row, const ColorMapObject& colours,
                 int transparentIndex);
    // Applies the current frame's disposal method.
    void EndFrame();

    const QImage& Screen() const { return screen_; }

  private:
    QImage screen_;
    QRect frame_;
    QRect visible_;
    int disposal_ = DISPOSAL_UNSPECIFIED;
    QImage underFrame_;
};

}  // namespace main_window
