#include "main/gif_animation.h"

#include <gtest/gtest.h>

#include "main/picture_error.h"
#include "tests/main/pictures/test_pictures.h"

namespace main_window {
namespace {

using namespace pictures_test;

const QRgb kNone = 0;
const QRgb kRed = qRgb(255, 0, 0);
const QRgb kGreen = qRgb(0, 255, 0);
const QRgb kBlue = qRgb(0, 0, 255);

std::string ErrorOf(const QByteArray& bytes) {
    return ErrorText<PictureError>([&] { DecodeGif(bytes); });
}

// The screen as a string of letters, one per pixel, rows separated by "|":
// r, g, b, k (black) or . (transparent).
std::string Letters(const QImage& image) {
    std::string text;
    for (int y = 0; y < image.height(); ++y) {
        if (y > 0)
            text += '|';
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            text += qAlpha(pixel) == 0       ? '.'
                    : pixel == kRed          ? 'r'
                    : pixel == kGreen        ? 'g'
                    : pixel == kBlue         ? 'b'
                    : pixel == qRgb(0, 0, 0) ? 'k'
                                             : '?';
        }
    }
    return text;
}

TEST(GifAnimation, ReadsEveryFrameWithItsDelayAndTheLoopCount) {
    GifSpec spec;
    spec.frames = {SolidFrame({0, 0, 4, 4}, 1), SolidFrame({0, 0, 4, 4}, 2),
                   SolidFrame({0, 0, 4, 4}, 3)};
    spec.frames[0].delayCentiseconds = 2;
    spec.frames[1].delayCentiseconds = 0;  // "as fast as possible": shown 100 ms
    spec.frames[2].delayCentiseconds = 50;
    spec.loopCount = 0;
    GifAnimation animation = DecodeGif(EncodeGif(spec));
    ASSERT_EQ(animation.frames.size(), 3u);
    EXPECT_EQ(animation.frames[0].delayMs, 20);
    EXPECT_EQ(animation.frames[1].delayMs, kDefaultFrameDelayMs);
    EXPECT_EQ(animation.frames[2].delayMs, 500);
    EXPECT_EQ(Letters(animation.frames[0].image), "rrrr|rrrr|rrrr|rrrr");
    EXPECT_EQ(Letters(animation.frames[2].image), "bbbb|bbbb|bbbb|bbbb");
    EXPECT_EQ(animation.loopCount, 0);
    EXPECT_EQ(animation.PlayCount(), 0);

    spec.loopCount = 3;
    animation = DecodeGif(EncodeGif(spec));
    EXPECT_EQ(animation.loopCount, 3);
    EXPECT_EQ(animation.PlayCount(), 4);

    spec.loopCount.reset();
    spec.frames[0].graphicControl = false;  // no control block: no delay given
    animation = DecodeGif(EncodeGif(spec));
    EXPECT_EQ(animation.loopCount, kNoLoopExtension);
    EXPECT_EQ(animation.PlayCount(), 1);
    EXPECT_EQ(animation.frames[0].delayMs, kDefaultFrameDelayMs);

    EXPECT_EQ(FrameDelayMs(1), 100);
    EXPECT_EQ(FrameDelayMs(2), 20);
}

TEST(GifAnimation, ComposesRectanglesTransparencyAndEveryDisposalMethod) {
    // A red screen, then a 2 x 2 blue frame at (1, 1) whose top-left pixel is
    // transparent and which is disposed of by the method under test, then a
    // green pixel at (3, 3).
    const std::pair<int, std::string> expectedAfterDisposal[] = {
        {0, "rrrr|rrbr|rbbr|rrrg"},  // unspecified: left in place
        {1, "rrrr|rrbr|rbbr|rrrg"},  // do not dispose
        {2, "rrrr|r..r|r..r|rrrg"},  // cleared to transparent, as browsers do
        {3, "rrrr|rrrr|rrrr|rrrg"},  // restored to what was below
    };
    for (const auto& [disposal, expected] : expectedAfterDisposal) {
        SCOPED_TRACE(disposal);
        GifSpec spec;
        GifFrameSpec blue = SolidFrame({1, 1, 2, 2}, 3);
        blue.indices[0] = 0;
        blue.transparentIndex = 0;
        blue.disposal = disposal;
        spec.frames = {SolidFrame({0, 0, 4, 4}, 1), blue, SolidFrame({3, 3, 1, 1}, 2)};
        const GifAnimation animation = DecodeGif(EncodeGif(spec));
        ASSERT_EQ(animation.frames.size(), 3u);
        EXPECT_EQ(Letters(animation.frames[0].image), "rrrr|rrrr|rrrr|rrrr");
        EXPECT_EQ(Letters(animation.frames[1].image), "rrrr|rrbr|rbbr|rrrr");
        EXPECT_EQ(Letters(animation.frames[2].image), expected);
    }

    // A first frame disposed to the background leaves transparency around
    // the next one; restoring the first frame restores the empty screen.
    for (int disposal : {2, 3}) {
        GifSpec spec;
        spec.frames = {SolidFrame({0, 0, 4, 4}, 1), SolidFrame({0, 0, 1, 1}, 2)};
        spec.frames[0].disposal = disposal;
        EXPECT_EQ(Letters(DecodeGif(EncodeGif(spec)).frames[1].image), "g...|....|....|....");
    }
}

TEST(GifAnimation, CutsFramesAtTheScreenAndReadsInterlacedAndLocalColours) {
    GifSpec spec;
    spec.screen = QSize(3, 10);
    GifFrameSpec beyond = SolidFrame({2, 8, 4, 4}, 1);  // mostly outside the screen
    GifFrameSpec rows;
    rows.area = QRect(0, 0, 1, 10);
    rows.interlaced = true;
    rows.localColours = {Qt::green, Qt::blue};
    for (int y = 0; y < 10; ++y)
        rows.indices.push_back(y % 2);
    spec.frames = {beyond, rows};
    const GifAnimation animation = DecodeGif(EncodeGif(spec));
    ASSERT_EQ(animation.frames.size(), 2u);
    EXPECT_EQ(Letters(animation.frames[0].image), "...|...|...|...|...|...|...|...|..r|..r");
    EXPECT_EQ(Letters(animation.frames[1].image), "g..|b..|g..|b..|g..|b..|g..|b..|g.r|b.r");
}

TEST(GifAnimation, DecodesTheLoadingPicture) {
    const GifAnimation animation = ReadGifFile(SourcePicture("load.gif"));
    ASSERT_EQ(animation.frames.size(), 8u);
    for (const GifFrame& frame : animation.frames) {
        EXPECT_EQ(frame.image.size(), QSize(26, 26));
        EXPECT_EQ(frame.delayMs, 100);
    }
    EXPECT_NE(animation.frames[0].image, animation.frames[1].image);
    EXPECT_EQ(animation.PlayCount(), 0);
}

TEST(GifAnimation, RefusesDamagedDataWithAReason) {
    EXPECT_EQ(ErrorOf(QByteArray()), "Invalid GIF picture: the data ends early");
    EXPECT_EQ(ErrorOf("\xFF\xD8\xFF\xE0 not a GIF at all"),
              "Invalid GIF picture: Data is not in GIF format");

    GifSpec spec;
    spec.loopCount = 0;
    spec.frames = {SolidFrame({0, 0, 4, 4}, 1), SolidFrame({1, 1, 2, 2}, 2)};
    const QByteArray whole = EncodeGif(spec);
    ASSERT_EQ(ErrorOf(whole), "no error");
    for (qsizetype length = 0; length < whole.size(); ++length) {
        ASSERT_EQ(ErrorOf(whole.left(length)), "Invalid GIF picture: the data ends early")
            << length;
    }

    // The same picture with its global colour table (4 colours) taken out.
    QByteArray noColours = whole;
    noColours[10] = char(noColours[10] & 0x7F);
    noColours.remove(13, 12);
    EXPECT_EQ(ErrorOf(noColours), "Invalid GIF picture: a frame has no colour table");

    GifSpec noFrames;
    EXPECT_EQ(ErrorOf(EncodeGif(noFrames)), "Invalid GIF picture: it holds no picture");

    QByteArray hugeScreen = whole;
    hugeScreen[6] = hugeScreen[7] = hugeScreen[8] = hugeScreen[9] = char(0xFF);
    EXPECT_EQ(ErrorOf(hugeScreen), "Invalid GIF picture: a screen of 65535 x 65535 pixels");

    GifSpec hugeFrame;
    hugeFrame.frames = {SolidFrame({0, 0, 1, 1}, 1)};
    QByteArray bytes = EncodeGif(hugeFrame);
    const qsizetype descriptor = bytes.indexOf(',');  // image separator
    ASSERT_GT(descriptor, 0);
    for (int i : {5, 6, 7, 8})
        bytes[descriptor + i] = char(0xFF);
    EXPECT_EQ(ErrorOf(bytes), "Invalid GIF picture: a frame of 65535 x 65535 pixels");

    QRandomGenerator random(20240602);
    for (int round = 0; round < 400; ++round) {
        try {
            for (const GifFrame& frame : DecodeGif(Damaged(whole, random)).frames) {
                EXPECT_FALSE(frame.image.isNull());
            }
        } catch (const PictureError&) {
        }
    }
}

}  // namespace
}  // namespace main_window
