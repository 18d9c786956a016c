// The picture side of the main window: the decoders of GIF and JPEG
// pictures, the pictures in the "ico" folder and those built into the
// program, and the picture control that shows them.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <QDir>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QTest>
#include <array>
#include <stdexcept>

#include "main/embedded_pictures.h"
#include "main/gif_animation.h"
#include "main/jpeg_file.h"
#include "main/picture_control.h"
#include "main/picture_error.h"
#include "tests/main/pictures/test_pictures.h"
#include "tests/support/file_contents.h"
#include "tests/support/modal_box_watcher.h"
#include "tests/support/wait.h"

namespace main_window {
namespace {

using namespace pictures_test;
using test_support::ReadFile;

std::string GifError(const QByteArray& bytes) {
    return ErrorText<PictureError>([&] { DecodeGif(bytes); });
}

std::string JpegError(const QByteArray& bytes) {
    return ErrorText<PictureError>([&] { DecodeJpeg(bytes); });
}

// The screen as a string of letters, one per pixel, rows separated by "|":
// r, g, b, k (black) or . (transparent).
std::string Letters(const QImage& image) {
    const QList<QRgb> colours = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(0, 0, 0)};
    std::string text;
    for (int y = 0; y < image.height(); ++y) {
        text += y > 0 ? "|" : "";
        for (int x = 0; x < image.width(); ++x) {
            const qsizetype colour = colours.indexOf(image.pixel(x, y));
            text += qAlpha(image.pixel(x, y)) == 0 ? '.' : colour < 0 ? '?' : "rgbk"[colour];
        }
    }
    return text;
}

// Delays of 10 ms ("as fast as possible") or none at all show for 100 ms.
// Without a loop extension the animation plays once; a count of n plays it
// n + 1 times; 0 never ends.
TEST(GifAnimation, ReadsEveryFrameWithItsDelayAndTheLoopCount) {
    GifSpec spec;
    spec.frames = {SolidFrame({0, 0, 4, 4}, 1), SolidFrame({0, 0, 4, 4}, 2),
                   SolidFrame({0, 0, 4, 4}, 3), SolidFrame({0, 0, 4, 4}, 3)};
    spec.frames[0].delayCentiseconds = 2;
    spec.frames[1].delayCentiseconds = 1;
    spec.frames[2].delayCentiseconds = 50;
    spec.frames[3].graphicControl = false;
    for (const auto& [loopCount, plays] :
         {std::pair<std::optional<int>, int>{std::nullopt, 1}, {0, 0}, {3, 4}}) {
        spec.loopCount = loopCount;
        const GifAnimation animation = DecodeGif(EncodeGif(spec));
        EXPECT_EQ(animation.PlayCount(), plays);
        ASSERT_EQ(animation.frames.size(), 4u);
        for (std::size_t i = 0; i < 4; ++i)
            EXPECT_EQ(animation.frames[i].delayMs, (std::array{20, 100, 500, 100})[i]);
    }
}

TEST(GifAnimation, ComposesFramesOnTheScreenWithTheirColoursAndDisposals) {
    // A red screen, then a 2 x 2 blue frame at (1, 1) whose top-left pixel is
    // transparent and which is disposed of by the method under test, then a
    // green pixel at (3, 3).
    const std::pair<int, std::string> expectedAfterDisposal[] = {
        {1, "rrrr|rrbr|rbbr|rrrg"},  // do not dispose (as unspecified): left in place
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
        EXPECT_EQ(Letters(animation.frames[1].image), "rrrr|rrbr|rbbr|rrrr");
        EXPECT_EQ(Letters(animation.frames[2].image), expected);
    }

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

TEST(GifAnimation, RefusesDamagedDataWithAReason) {
    GifSpec spec;
    spec.frames = {SolidFrame({0, 0, 4, 4}, 1), SolidFrame({1, 1, 2, 2}, 2)};
    const QByteArray whole = EncodeGif(spec);
    ASSERT_EQ(GifError(whole), "no error");
    for (qsizetype length = 0; length < whole.size(); ++length)
        ASSERT_EQ(GifError(whole.left(length)), "Invalid GIF picture: the data ends early")
            << length;

    // The same picture with its global colour table (4 colours) taken out.
    QByteArray noColours = whole;
    noColours[10] = char(noColours[10] & 0x7F);
    noColours.remove(13, 12);
    QByteArray hugeScreen = whole;
    hugeScreen.replace(6, 4, "\xFF\xFF\xFF\xFF");
    QByteArray hugeFrame = whole;
    hugeFrame.replace(whole.indexOf(',') + 5, 4, "\xFF\xFF\xFF\xFF");  // after the separator
    const std::pair<QByteArray, std::string> cases[] = {
        {"\xFF\xD8\xFF\xE0 not a GIF at all", "Data is not in GIF format"},
        {noColours, "a frame has no colour table"},
        {EncodeGif(GifSpec{}), "it holds no picture"},
        {hugeScreen, "a screen of 65535 x 65535 pixels"},
        {hugeFrame, "a frame of 65535 x 65535 pixels"}};
    for (const auto& [bytes, reason] : cases)
        EXPECT_EQ(GifError(bytes), "Invalid GIF picture: " + reason);

    DecodeDamaged<PictureError>(whole, 20240602, [](const QByteArray& damaged) {
        for (const GifFrame& frame : DecodeGif(damaged).frames)
            EXPECT_FALSE(frame.image.isNull());
    });
}

// Every tool bar picture decodes from the "ico" folder, from its copy beside
// the program and from the program itself; the loading picture animates.
// Pictures in Adobe's CMYK decode too.
TEST(JpegFile, DecodesEveryToolBarPictureWhereverItIsKept) {
    const QStringList names = QDir(SourcePicture("")).entryList({"*_ico.jpg"});
    ASSERT_EQ(names.size(), 16);
    for (const QString& file : names) {
        SCOPED_TRACE(file.toStdString());
        const QImage picture = ReadJpegFile(SourcePicture(file));
        ASSERT_EQ(picture.size(), QSize(26, 26));
        EXPECT_EQ(ReadFile(BuiltPicture(file)), ReadFile(SourcePicture(file)));
        EXPECT_EQ(EmbeddedPicture(file), picture);
    }
    EXPECT_EQ(ReadFile(BuiltPicture("load.gif")), ReadFile(SourcePicture("load.gif")));
    const GifAnimation loading = ReadGifFile(SourcePicture("load.gif"));
    ASSERT_EQ(loading.frames.size(), 8u);
    EXPECT_EQ(std::pair(loading.frames[7].image.size(), loading.frames[7].delayMs),
              std::pair(QSize(26, 26), 100));
    EXPECT_EQ(loading.PlayCount(), 0);
    EXPECT_THROW(EmbeddedPicture("no_such_ico.jpg"), PictureError);

    const QImage icon = ProgramIcon().pixmap(QSize(64, 64)).toImage();
    EXPECT_EQ(icon.size(), QSize(64, 64));
    EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0);                          // transparent corner
    EXPECT_GT(qBlue(icon.pixel(10, 32)), qRed(icon.pixel(10, 32)));  // blue face

    // Adobe's CMYK pictures store their ink inverted.
    const QColor colour(200, 40, 160);
    const QRgb p = DecodeJpeg(EncodeJpeg(QSize(19, 7), colour, true)).pixel(18, 6);
    EXPECT_NEAR(qRed(p), colour.red(), 6) << std::hex << p;
    EXPECT_NEAR(qGreen(p), colour.green(), 6) << std::hex << p;
    EXPECT_NEAR(qBlue(p), colour.blue(), 6) << std::hex << p;
}

TEST(JpegFile, RefusesDamagedDataWithAReason) {
    EXPECT_EQ(JpegError("GIF89a\x01\x00"),
              "Invalid JPEG picture: Not a JPEG file: starts with 0x47 0x49");
    // Every cut of a valid picture is refused: a half-written file must not
    // show as a picture with a grey bottom.
    const QByteArray whole = ReadFile(SourcePicture("star_full_ico.jpg"));
    ASSERT_GT(whole.size(), 100);
    for (qsizetype length = 0; length < whole.size(); ++length) {
        const std::string error = JpegError(whole.left(length));
        ASSERT_EQ(error.rfind("Invalid JPEG picture: ", 0), 0u) << length << ": " << error;
    }
    EXPECT_EQ(JpegError(whole.left(whole.size() - 300)),
              "Invalid JPEG picture: Premature end of JPEG file");
    DecodeDamaged<PictureError>(whole, 20240601, [](const QByteArray& damaged) {
        EXPECT_FALSE(DecodeJpeg(damaged).isNull());
    });

    // A huge declared size is refused before memory is taken for it: the start
    // of frame holds its length (2), precision (1), height (2), width (2).
    QByteArray huge = EncodeJpeg(QSize(8, 8), Qt::red);
    huge.replace(huge.indexOf("\xFF\xC0") + 5, 4, "\xEA\xEA\xEA\xEA");
    EXPECT_EQ(JpegError(huge), "Invalid JPEG picture: 60138 x 60138 pixels is too large");
}

std::string LoadError(TImage& image, const QString& fileName) {
    return ErrorText<PictureFileError>([&] { image.LoadFromFile(fileName); });
}

// A file that cannot be read gives the system's reason; the control loads
// pictures by their extension and reports a file it cannot show once.
TEST(PictureControl, LoadsFilesByTheirExtensionAndReportsABadFileOnce) {
    CurrentFolder folder;
    ASSERT_TRUE(QDir().mkdir("folder.jpg"));
    ASSERT_EQ(::mkfifo("pipe.jpg", 0600), 0);
    WriteFile("empty.jpg", QByteArray());
    const std::pair<QString, std::string> cases[] = {
        {"folder.jpg", "Is a directory"},
        {"pipe.jpg", "Not a regular file"},  // and no wait for a writer
        {"empty.jpg", "Invalid JPEG picture: Empty input file"}};
    for (const auto& [path, error] : cases)
        EXPECT_EQ(ErrorText<PictureError>([&] { ReadJpegFile(path); }), error);

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

TEST(PictureControl, AnimatesFrameByFrameWithEachFramesDelay) {
    CurrentFolder folder;
    GifSpec lights;  // red, green and blue over the whole screen, played twice
    lights.loopCount = 1;
    lights.frames = {SolidFrame({0, 0, 4, 4}, 1), SolidFrame({0, 0, 4, 4}, 2),
                     SolidFrame({0, 0, 4, 4}, 3)};
    for (std::size_t i = 0; i < 3; ++i)
        lights.frames[i].delayCentiseconds = (std::array{3, 8, 2})[i];
    WriteFile("lights.gif", EncodeGif(lights));
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
    image.SetPicture(DecodeJpeg(EncodeJpeg(QSize(4, 4), Qt::white)));
    EXPECT_FALSE(image.AnimationRunning());
    image.SetAnimated(true);
    EXPECT_FALSE(image.AnimationRunning());
}

// The mouse is reported to the handlers, and a click only for a press and a
// release inside.
TEST(PictureControl, ReportsTheMouseAndAFailureInAHandler) {
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
    EXPECT_EQ(events, (std::vector<std::string>{"move 3,4", "down 5,6", "click", "up 7,8",
                                                "down 5,6", "up 40,8"}));

    // A failure in a handler is shown, and the program goes on: the control
    // itself stops it, and it never unwinds through Qt's event code, even
    // when the event is delivered without the application.
    test_support::ModalBoxWatcher boxes;
    image.OnMouseDown = [](TImage*, int, int) { throw std::runtime_error("pressed badly"); };
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(4, 4), QPointF(4, 4), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    EXPECT_NO_THROW(static_cast<QObject&>(image).event(&press));
    ASSERT_TRUE(test_support::WaitUntil([&] { return !boxes.texts.isEmpty(); }));
    EXPECT_EQ(boxes.texts, QStringList{"pressed badly"});
    EXPECT_EQ(boxes.icons, QList<QMessageBox::Icon>{QMessageBox::Critical});
}

}  // namespace
}  // namespace main_window
