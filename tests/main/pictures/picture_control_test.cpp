#include "main/picture_control.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QTest>
#include <stdexcept>

#include "main/gif_animation.h"
#include "main/picture_error.h"
#include "main/picture_playback.h"
#include "tests/main/pictures/test_pictures.h"
#include "tests/support/modal_box_watcher.h"
#include "tests/support/wait.h"

namespace main_window {
namespace {

using namespace pictures_test;

std::string LoadError(TImage& image, const QString& fileName) {
    return ErrorText<PictureFileError>([&] { image.LoadFromFile(fileName); });
}

QImage Solid(QSize size, QColor colour) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// A GIF of full-screen frames: red, green, blue, red...
QByteArray TrafficLights(std::vector<int> delaysCentiseconds, std::optional<int> loopCount) {
    GifSpec spec;
    spec.loopCount = loopCount;
    for (std::size_t i = 0; i < delaysCentiseconds.size(); ++i) {
        spec.frames.push_back(SolidFrame({0, 0, 4, 4}, 1 + int(i) % 3));
        spec.frames.back().delayCentiseconds = delaysCentiseconds[i];
    }
    return EncodeGif(spec);
}

TEST(PictureControl, LoadsFilesByTheirExtensionAndReportsABadFileOnce) {
    CurrentFolder folder;
    ASSERT_TRUE(QDir().mkdir("ico"));
    WriteFile("ico/upper.JPG", EncodeJpeg(QSize(5, 3), Qt::red));
    WriteFile("ico/lights.gif", TrafficLights({5, 5, 5}, 0));
    WriteFile("ico/picture.png", "\x89PNG");

    TImage image;
    image.LoadFromFile("ico/upper.JPG");
    EXPECT_EQ(image.Picture().size(), QSize(5, 3));
    EXPECT_EQ(image.FrameCount(), 1);
    // A GIF shows its first frame, standing still until it is animated.
    image.LoadFromFile("ico/lights.gif");
    EXPECT_EQ(image.FrameCount(), 3);
    EXPECT_EQ(image.CurrentFrame(), 0);
    EXPECT_EQ(image.Picture().pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_FALSE(image.Animated());
    EXPECT_FALSE(image.AnimationRunning());

    // A file that cannot be shown is reported once, and the picture stays.
    EXPECT_EQ(LoadError(image, "ico/picture.png"),
              "Cannot open file \"ico/picture.png\". Unknown picture file extension (.png)");
    EXPECT_EQ(LoadError(image, "ico/picture.png"), "no error");
    EXPECT_EQ(LoadError(image, "ico/once.jpg"),
              "Cannot open file \"ico/once.jpg\". No such file or directory");
    EXPECT_EQ(LoadError(image, "ico/once.jpg"), "no error");
    EXPECT_EQ(image.FrameCount(), 3);
    // Once the file is sound, it loads as any other.
    WriteFile("ico/once.jpg", EncodeJpeg(QSize(2, 2), Qt::blue));
    image.LoadFromFile("ico/once.jpg");
    EXPECT_EQ(image.Picture().size(), QSize(2, 2));

    // Another current folder: the same relative name is looked up there.
    CurrentFolder elsewhere;
    EXPECT_EQ(LoadError(image, "ico/upper.JPG"),
              "Cannot open file \"ico/upper.JPG\". No such file or directory");
}

TEST(PictureControl, AFailureInAMouseHandlerIsShownOnceAndTheProgramGoesOn) {
    TImage image;
    image.resize(26, 26);
    image.show();
    int moves = 0;
    image.OnMouseMove = [&](TImage* sender, int, int) {
        ++moves;
        sender->LoadFromFile("ico/box_missing.jpg");
    };
    test_support::ModalBoxWatcher boxes;
    for (int x = 3; x < 8; ++x)
        QTest::mouseMove(&image, QPoint(x, 5));
    ASSERT_TRUE(test_support::WaitUntil([&] { return moves == 5; }));
    test_support::ServeEvents(50);
    EXPECT_EQ(boxes.texts,
              QStringList{"Cannot open file \"ico/box_missing.jpg\". No such file or directory"});

    // The control itself stops the failure: it never unwinds through Qt's
    // event code, even when the event is delivered without the application.
    image.OnMouseDown = [](TImage*, int, int) { throw std::runtime_error("pressed badly"); };
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(4, 4), QPointF(4, 4), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    EXPECT_NO_THROW(static_cast<QObject&>(image).event(&press));
    ASSERT_TRUE(test_support::WaitUntil([&] { return boxes.texts.size() == 2; }));
    EXPECT_EQ(boxes.texts.last(), "pressed badly");
    EXPECT_EQ(boxes.icons, QList<QMessageBox::Icon>(2, QMessageBox::Critical));
}

TEST(PictureControl, AnimatesFrameByFrameWithEachFramesDelay) {
    CurrentFolder folder;
    WriteFile("lights.gif", TrafficLights({3, 8, 2}, 1));  // two plays
    TImage image;
    image.resize(4, 4);
    image.show();
    image.LoadFromFile("lights.gif");

    std::vector<int> shown;
    std::vector<qint64> shownAfterMs;
    QElapsedTimer clock;
    image.OnFrameChange = [&](TImage* sender) {
        EXPECT_EQ(sender, &image);
        shown.push_back(image.CurrentFrame());
        shownAfterMs.push_back(clock.restart());
    };
    clock.start();
    image.SetAnimated(true);
    EXPECT_TRUE(image.AnimationRunning());
    ASSERT_TRUE(test_support::WaitUntil([&] { return !image.AnimationRunning(); }, 10000));
    EXPECT_EQ(shown, (std::vector<int>{1, 2, 0, 1, 2}));
    // Each frame stayed at least its own delay (a timer never fires early by
    // more than a millisecond or so; a busy machine only makes it later).
    const int delayBefore[] = {30, 80, 20, 30, 80};
    for (std::size_t i = 0; i < shownAfterMs.size(); ++i)
        EXPECT_GE(shownAfterMs[i], delayBefore[i] - 2) << i;
    EXPECT_EQ(image.CurrentFrame(), 2);  // rests on the last frame
    EXPECT_EQ(image.grab().toImage().pixel(1, 1), qRgb(0, 0, 255));
    EXPECT_TRUE(image.Animated());

    // Switching on again starts over; switching off stops where it is.
    image.SetAnimated(true);
    EXPECT_EQ(image.CurrentFrame(), 0);
    EXPECT_EQ(image.grab().toImage().pixel(1, 1), qRgb(255, 0, 0));
    ASSERT_TRUE(test_support::WaitUntil([&] { return image.CurrentFrame() == 1; }));
    image.SetAnimated(false);
    EXPECT_FALSE(image.AnimationRunning());
    test_support::ServeEvents(150);
    EXPECT_EQ(image.CurrentFrame(), 1);
    EXPECT_EQ(image.grab().toImage().pixel(1, 1), qRgb(0, 255, 0));

    // Loading a picture stops the animation; a still picture never animates.
    image.SetAnimated(true);
    image.SetPicture(Solid(QSize(4, 4), Qt::white));
    EXPECT_FALSE(image.Animated());
    EXPECT_FALSE(image.AnimationRunning());
    image.SetAnimated(true);
    EXPECT_FALSE(image.Animated());
    EXPECT_FALSE(image.AnimationRunning());
}

// Without a loop extension an animation plays once and rests on its last
// frame; a loop count of 1 plays it twice, also after a restart; with 0 it
// never ends. A still or empty picture never advances.
TEST(PicturePlayback, PlaysAsOftenAsTheLoopCountSays) {
    const auto stepsToRest = [](PicturePlayback& playback) {
        int steps = 0;
        for (; playback.HasNextFrame() && steps < 100; ++steps)
            playback.NextFrame();
        return steps;
    };
    GifAnimation animation = DecodeGif(TrafficLights({2, 2, 2}, std::nullopt));
    PicturePlayback once(animation);
    EXPECT_EQ(stepsToRest(once), 2);
    once.NextFrame();
    EXPECT_EQ(once.CurrentFrame(), 2);
    animation.loopCount = 1;
    PicturePlayback twice(animation);
    EXPECT_EQ(stepsToRest(twice), 5);
    twice.Restart();
    EXPECT_EQ(stepsToRest(twice), 5);
    animation.loopCount = 0;
    PicturePlayback endless(animation);
    EXPECT_EQ(stepsToRest(endless), 100);
    EXPECT_FALSE(PicturePlayback(Solid(QSize(3, 1), Qt::red)).HasNextFrame());
    EXPECT_FALSE(PicturePlayback().HasNextFrame());
    EXPECT_TRUE(PicturePlayback().CurrentImage().isNull());
    EXPECT_EQ(PicturePlayback(QImage()).FrameCount(), 0);
}

TEST(PictureControl, DrawsAtNaturalSizeCentredOrStretched) {
    TImage image;
    image.resize(30, 30);
    image.SetPicture(Solid(QSize(10, 10), Qt::red));
    EXPECT_EQ(image.sizeHint(), QSize(10, 10));
    const auto isRed = [&](int x, int y) {
        return image.grab().toImage().pixel(x, y) == qRgb(255, 0, 0);
    };
    EXPECT_TRUE(isRed(9, 9));
    EXPECT_FALSE(isRed(15, 15));
    image.SetCenter(true);
    EXPECT_FALSE(isRed(9, 9));
    EXPECT_TRUE(isRed(10, 10));
    EXPECT_TRUE(isRed(19, 19));
    EXPECT_FALSE(isRed(20, 20));
    image.SetStretch(true);
    EXPECT_TRUE(isRed(0, 0));
    EXPECT_TRUE(isRed(29, 29));
}

TEST(PictureControl, ReportsTheMouseAndClicksOnlyForALeftPressAndReleaseInside) {
    TImage image;
    image.resize(26, 26);
    image.show();
    std::vector<std::string> events;
    const auto record = [&](const char* name) {
        return [&events, &image, name](TImage* sender, int x, int y) {
            EXPECT_EQ(sender, &image);
            events.push_back(name + (" " + std::to_string(x) + "," + std::to_string(y)));
        };
    };
    image.OnMouseDown = record("down");
    image.OnMouseMove = record("move");
    image.OnMouseUp = record("up");
    image.OnClick = [&](TImage* sender) {
        EXPECT_EQ(sender, &image);
        events.push_back("click");
    };

    QTest::mouseMove(&image, QPoint(3, 4));
    QTest::mousePress(&image, Qt::LeftButton, {}, QPoint(5, 6));
    QTest::mouseRelease(&image, Qt::LeftButton, {}, QPoint(7, 8));
    EXPECT_EQ(events, (std::vector<std::string>{"move 3,4", "down 5,6", "click", "up 7,8"}));

    events.clear();
    QTest::mousePress(&image, Qt::LeftButton, {}, QPoint(5, 6));
    QTest::mouseRelease(&image, Qt::LeftButton, {}, QPoint(40, 8));  // outside
    QTest::mousePress(&image, Qt::RightButton, {}, QPoint(1, 1));
    QTest::mouseRelease(&image, Qt::RightButton, {}, QPoint(2, 2));
    EXPECT_EQ(events, (std::vector<std::string>{"down 5,6", "up 40,8", "down 1,1", "up 2,2"}));
}

}  // namespace
}  // namespace main_window
