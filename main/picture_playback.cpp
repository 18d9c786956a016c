#include "main/picture_playback.h"

namespace main_window {

PicturePlayback::PicturePlayback(const QImage& still) {
    if (!still.isNull())
        animation_.frames.push_back({still, 0});
}

PicturePlayback::PicturePlayback(GifAnimation animation) : animation_(std::move(animation)) {}

const QImage& PicturePlayback::CurrentImage() const {
    static const QImage kNoPicture;
    return animation_.frames.empty() ? kNoPicture : animation_.frames[current_].image;
}

int PicturePlayback::CurrentDelayMs() const {
    return animation_.frames.empty() ? 0 : animation_.frames[current_].delayMs;
}

bool PicturePlayback::HasNextFrame() const {
    if (FrameCount() < 2)
        return false;
    const int plays = animation_.PlayCount();
    return plays == 0 || !IsLastFrame() || playsDone_ + 1 < plays;
}

void PicturePlayback::NextFrame() {
    if (!HasNextFrame())
        return;
    if (!IsLastFrame()) {
        ++current_;
        return;
    }
    current_ = 0;
    if (animation_.PlayCount() != 0)
        ++playsDone_;
}

void PicturePlayback::Restart() {
    current_ = 0;
    playsDone_ = 0;
}

}  // namespace main_window
