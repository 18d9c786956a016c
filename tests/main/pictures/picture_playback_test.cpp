#include "main/picture_playback.h"

#include <gtest/gtest.h>

namespace main_window {
namespace {

GifAnimation ThreeFrames(int loopCount) {
    GifAnimation animation;
    for (int delay : {30, 60, 90}) {
        QImage image(2, 2, QImage::Format_ARGB32_Premultiplied);
        image.fill(qRgb(delay, 0, 0));
        animation.frames.push_back({image, delay});
    }
    animation.loopCount = loopCount;
    return animation;
}

std::vector<int> FramesUntilRest(PicturePlayback& playback, int limit = 100) {
    std::vector<int> shown{playback.CurrentFrame()};
    while (playback.HasNextFrame() && int(shown.size()) < limit) {
        playback.NextFrame();
        shown.push_back(playback.CurrentFrame());
    }
    return shown;
}

TEST(PicturePlayback, PlaysAsOftenAsTheLoopCountSaysThenRestsOnTheLastFrame) {
    PicturePlayback once(ThreeFrames(kNoLoopExtension));
    EXPECT_EQ(FramesUntilRest(once), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(once.CurrentDelayMs(), 90);
    once.NextFrame();  // past the end: stays
    EXPECT_EQ(once.CurrentFrame(), 2);

    PicturePlayback twice(ThreeFrames(1));
    EXPECT_EQ(FramesUntilRest(twice), (std::vector<int>{0, 1, 2, 0, 1, 2}));
    twice.Restart();
    EXPECT_EQ(twice.CurrentFrame(), 0);
    EXPECT_EQ(FramesUntilRest(twice).size(), 6u);

    PicturePlayback endless(ThreeFrames(0));
    EXPECT_EQ(FramesUntilRest(endless, 1000).size(), 1000u);
    EXPECT_EQ(endless.CurrentImage().pixel(0, 0),
              qRgb(endless.CurrentDelayMs(), 0, 0));  // image and delay of the same frame
}

TEST(PicturePlayback, StillAndEmptyPicturesNeverAdvance) {
    QImage still(3, 1, QImage::Format_RGB32);
    still.fill(Qt::red);
    PicturePlayback playback(still);
    EXPECT_EQ(playback.FrameCount(), 1);
    EXPECT_FALSE(playback.HasNextFrame());
    EXPECT_EQ(playback.CurrentImage(), still);

    PicturePlayback nothing;
    EXPECT_EQ(nothing.FrameCount(), 0);
    EXPECT_FALSE(nothing.HasNextFrame());
    EXPECT_TRUE(nothing.CurrentImage().isNull());
    EXPECT_EQ(PicturePlayback(QImage()).FrameCount(), 0);
}

}  // namespace
}  // namespace main_window
