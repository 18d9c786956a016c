#include "main/picture_control.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QTest>
#include <stdexcept>

#include "main/gif_animation.h"
#include "main/picture_error.h"
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
    WriteFile("ico/picture.png", "\x89PNG");

    TImage image;
    image.LoadFromFile("ico/upper.JPG");
    EXPECT_EQ(image.Picture().size(), QSize(5, 3));

    // A file that cannot be shown is reported once, and the picture stays.
    EXPECT_EQ(LoadError(image, "ico/picture.png"),
              "Cannot open file \"ico/picture.png\". Unknown picture file extension (.png)");
    EXPECT_EQ(LoadError(image, "ico/picture.png"), "no error");
    EXPECT_EQ(LoadError(image, "ico/once.jpg"),
              "Cannot open file \"ico/once.jpg\". No such file or directory");
    EXPECT_EQ(LoadError(image, "ico/once.jpg"), "no error");
    EXPECT_EQ(image.Picture().size(), QSize(5, 3));
    // Once the file is sound, it loads as any other.
    WriteFile("ico/once.jpg", EncodeJpeg(QSize(2, 2), Qt::blue));
    image.LoadFromFile("ico/once.jpg");
    EXPECT_EQ(image.Picture().size(), QSize(2, 2));
}

// A failure in a handler is shown, and the program goes on: the control
// itself stops it, and it never unwinds through Qt's event code, even when
// the event is delivered without the application.
TEST(PictureControl, AFailureInAMouseHandlerIsShownAndTheProgramGoesOn) {
    TImage image;
    test_support::ModalBoxWatcher boxes;
    image.OnMouseDown = [](TImage*, int, int) { throw std::runtime_error("pressed badly"); };
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(4, 4), QPointF(4, 4), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    EXPECT_NO_THROW(static_cast<QObject&>(image).event(&press));
    ASSERT_TRUE(test_support::WaitUntil([&] { return !boxes.texts.isEmpty(); }));
    EXPECT_EQ(boxes.texts, QStringList{"pressed badly"});
    EXPECT_EQ(boxes.icons, QList<QMessageBox::Icon>{QMessageBox::Critical});
}

TEST(PictureControl, AnimatesFrameByFrameWithEachFramesDelay) {
    CurrentFolder folder;
    WriteFile("lights.gif", TrafficLights({3, 8, 2}, 1));  // two plays
    TImage image;
    image.resize(4, 4);
    image.show();
    image.LoadFromFile("lights.gif");  // the first frame, standing still
    EXPECT_EQ(image.grab().toImage().pixel(1, 1), qRgb(255, 0, 0));

    std::vector<int> shown;
    std::vector<qint64> shownAfterMs;
    QElapsedTimer clock;
    image.OnFrameChange = [&](TImage*) {
        shown.push_back(image.CurrentFrame());
        shownAfterMs.push_back(clock.restart());
    };
    clock.start();
    image.SetAnimated(true);
    ASSERT_TRUE(test_support::WaitUntil([&] { return !image.AnimationRunning(); }, 10000));
    EXPECT_EQ(shown, (std::vector<int>{1, 2, 0, 1, 2}));
    // Each frame stayed at least its own delay (a timer never fires early by
    // more than a millisecond or so; a busy machine only makes it later).
    const int delayBefore[] = {30, 80, 20, 30, 80};
    for (std::size_t i = 0; i < shownAfterMs.size(); ++i)
        EXPECT_GE(shownAfterMs[i], delayBefore[i] - 2) << i;
    EXPECT_EQ(image.grab().toImage().pixel(1, 1), qRgb(0, 0, 255));  // rests on the last frame

    // Switching on again plays it twice again; switching off stops where it
    // is; loading a picture stops the animation, and a still picture never
    // animates.
    shown.clear();
    image.SetAnimated(true);
    ASSERT_TRUE(test_support::WaitUntil([&] { return !image.AnimationRunning(); }, 10000));
    EXPECT_EQ(shown, (std::vector<int>{1, 2, 0, 1, 2}));
    image.SetAnimated(true);
    ASSERT_TRUE(test_support::WaitUntil([&] { return image.CurrentFrame() == 1; }));
    image.SetAnimated(false);
    test_support::ServeEvents(150);
    EXPECT_EQ(image.grab().toImage().pixel(1, 1), qRgb(0, 255, 0));
    image.SetAnimated(true);
    image.SetPicture(Solid(QSize(4, 4), Qt::white));
    EXPECT_FALSE(image.AnimationRunning());
    image.SetAnimated(true);
    EXPECT_FALSE(image.AnimationRunning());
}

TEST(PictureControl, DrawsAtNaturalSizeCentredOrStretched) {
    TImage image;
    image.resize(30, 30);
    image.SetPicture(Solid(QSize(10, 10), Qt::red));
    const auto isRed = [&](int x, int y) {
        return image.grab().toImage().pixel(x, y) == qRgb(255, 0, 0);
    };
    EXPECT_TRUE(isRed(9, 9) && !isRed(10, 10));
    image.SetCenter(true);
    EXPECT_TRUE(!isRed(9, 9) && isRed(10, 10) && isRed(19, 19) && !isRed(20, 20));
    image.SetStretch(true);
    EXPECT_TRUE(isRed(0, 0) && isRed(29, 29));
}

TEST(PictureControl, ReportsTheMouseAndClicksOnlyForALeftPressAndReleaseInside) {
    TImage image;
    image.resize(26, 26);
    image.show();
    std::vector<std::string> events;
    const auto record = [&](const char* name) {
        return [&events, name](TImage*, int x, int y) {
            events.push_back(name + (" " + std::to_string(x) + "," + std::to_string(y)));
        };
    };
    image.OnMouseDown = record("down");
    image.OnMouseMove = record("move");
    image.OnMouseUp = record("up");
    image.OnClick = [&](TImage* sender) { events.push_back(sender == &image ? "click" : "?"); };

    QTest::mouseMove(&image, QPoint(3, 4));
    QTest::mousePress(&image, Qt::LeftButton, {}, QPoint(5, 6));
    QTest::mouseRelease(&image, Qt::LeftButton, {}, QPoint(7, 8));
    QTest::mousePress(&image, Qt::LeftButton, {}, QPoint(5, 6));
    QTest::mouseRelease(&image, Qt::LeftButton, {}, QPoint(40, 8));  // outside
    QTest::mousePress(&image, Qt::RightButton, {}, QPoint(1, 1));
    QTest::mouseRelease(&image, Qt::RightButton, {}, QPoint(2, 2));
    EXPECT_EQ(events, (std::vector<std::string>{"move 3,4", "down 5,6", "click", "up 7,8",
                                                "down 5,6", "up 40,8", "down 1,1", "up 2,2"}));
}

}  // namespace
}  // namespace main_window
