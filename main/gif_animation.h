#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <vector>

namespace main_window {

// One frame as it is shown: the whole logical screen with every earlier frame
// composed and disposed of, and how long it stays.
struct GifFrame {
    QImage image;  // ARGB32, premultiplied; uncovered pixels are transparent
    int delayMs = 0;
};

// The loop count of an animation that has no NETSCAPE2.0 (or ANIMEXTS1.0)
// application extension.
inline constexpr int kNoLoopExtension = -1;

struct GifAnimation {
    std::vector<GifFrame> frames;
    // As written in the loop extension: 0 = loop forever, n = repeat n times
    // after the first play; kNoLoopExtension = play once.
    int loopCount = kNoLoopExtension;

    // How many times the frames are played through; 0 means forever. Like the
    // browsers, a loop count of n plays the animation n + 1 times.
    int PlayCount() const;
};

// Browsers show frames whose delay is 0 or 10 ms for 100 ms: such delays are
// written by tools that meant "no particular delay", and honouring them would
// spin the animation as fast as the machine allows.
inline constexpr int kDefaultFrameDelayMs = 100;
int FrameDelayMs(int delayCentiseconds);

// Limits that keep a damaged or hostile file from exhausting memory or time.
inline constexpr int kMaxGifSide = 8192;
inline constexpr qint64 kMaxGifFramePixels = 4096LL * 4096LL;
inline constexpr qint64 kMaxGifAnimationBytes = 256LL * 1024 * 1024;
inline constexpr int kMaxGifFrames = 5000;

// Decodes every frame of a GIF picture with giflib, honouring frame
// rectangles, transparency, interlacing and the disposal methods 0 to 3.
// Raises PictureError for data that is not a complete GIF picture.
GifAnimation DecodeGif(const QByteArray& bytes);

// Reads and decodes a GIF file; a relative path is taken from the current
// folder. Raises PictureError with the system's or the decoder's reason.
GifAnimation ReadGifFile(const QString& path);

}  // namespace main_window
