#include "main/jpeg_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "main/picture_error.h"
#include "tests/main/pictures/test_pictures.h"

namespace main_window {
namespace {

using namespace pictures_test;

const QStringList kToolBarPictures = {
    "star_full_ico.jpg",    "star_full_hover_ico.jpg", "star_full_active_ico.jpg",
    "info_blue_ico.jpg",    "info_hover_ico.jpg",      "info_active_ico.jpg",
    "left_blue_ico.jpg",    "left_gray_ico.jpg",       "left_hover_ico.jpg",
    "left_active_ico.jpg",  "right_blue_ico.jpg",      "right_gray_ico.jpg",
    "right_hover_ico.jpg",  "right_active_ico.jpg",    "refresh_blue_ico.jpg",
    "refresh_hover_ico.jpg"};

std::string ErrorOf(const QByteArray& bytes) {
    return ErrorText<PictureError>([&] { DecodeJpeg(bytes); });
}

// Blue and gray are told apart by how much more blue than red a pixel has.
bool IsBlue(QRgb pixel) {
    return qBlue(pixel) > qRed(pixel) + 60;
}
bool IsGray(QRgb pixel) {
    return std::abs(qBlue(pixel) - qRed(pixel)) < 12 && qRed(pixel) < 200;
}

TEST(JpegFile, DecodesEveryToolBarPictureAndItsCopyBesideTheProgram) {
    for (const QString& name : kToolBarPictures) {
        SCOPED_TRACE(name.toStdString());
        const QImage picture = ReadJpegFile(SourcePicture(name));
        ASSERT_EQ(picture.size(), QSize(26, 26));
        EXPECT_EQ(picture.format(), QImage::Format_RGB32);
        // The glyph crosses the middle of every picture; its ink is blue,
        // or gray for the unavailable state.
        const bool gray = name.contains(QLatin1String("gray"));
        int inked = 0;
        for (int x = 0; x < 26; ++x) {
            const QRgb pixel = picture.pixel(x, 13);
            inked += gray ? IsGray(pixel) : IsBlue(pixel);
        }
        EXPECT_GE(inked, 4);
        EXPECT_EQ(FileBytes(BuiltPicture(name)), FileBytes(SourcePicture(name)));
    }
    EXPECT_EQ(FileBytes(BuiltPicture("load.gif")), FileBytes(SourcePicture("load.gif")));
}

TEST(JpegFile, DecodesColourGreyCmykAndProgressivePictures) {
    const QColor orange(230, 120, 30);
    const struct {
        JpegKind kind;
        QColor colour;
    } cases[] = {{JpegKind::Rgb, orange},
                 {JpegKind::Progressive, orange},
                 {JpegKind::Grey, QColor(90, 90, 90)},
                 {JpegKind::AdobeCmyk, QColor(200, 40, 160)}};
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.kind));
        const QImage picture = DecodeJpeg(EncodeJpeg(QSize(19, 7), c.colour, c.kind));
        ASSERT_EQ(picture.size(), QSize(19, 7));
        EXPECT_TRUE(NearlyEqual(picture.pixel(0, 0), c.colour)) << std::hex << picture.pixel(0, 0);
        EXPECT_TRUE(NearlyEqual(picture.pixel(18, 6), c.colour))
            << std::hex << picture.pixel(18, 6);
    }
}

TEST(JpegFile, RefusesDamagedDataWithAReason) {
    EXPECT_EQ(ErrorOf(QByteArray()), "Invalid JPEG picture: Empty input file");
    EXPECT_EQ(ErrorOf("GIF89a\x01\x00"),
              "Invalid JPEG picture: Not a JPEG file: starts with 0x47 0x49");

    // Every cut of a valid picture is refused: a half-written file must not
    // show as a picture with a grey bottom.
    const QByteArray whole = FileBytes(SourcePicture("star_full_ico.jpg"));
    ASSERT_GT(whole.size(), 100);
    for (qsizetype length = 0; length < whole.size(); ++length) {
        const std::string error = ErrorOf(whole.left(length));
        ASSERT_EQ(error.rfind("Invalid JPEG picture: ", 0), 0u) << length << ": " << error;
    }
    EXPECT_EQ(ErrorOf(whole.left(whole.size() - 300)),
              "Invalid JPEG picture: Premature end of JPEG file");

    // Damaged bytes anywhere either decode to some picture or are refused;
    // nothing crashes (the sanitizer build checks the memory side).
    QRandomGenerator random(20240601);
    for (int round = 0; round < 400; ++round) {
        try {
            EXPECT_FALSE(DecodeJpeg(Damaged(whole, random)).isNull());
        } catch (const PictureError&) {
        }
    }
}

TEST(JpegFile, RefusesAHugeDeclaredSizeBeforeTakingMemory) {
    QByteArray bytes = EncodeJpeg(QSize(8, 8), Qt::red);
    const qsizetype frame = bytes.indexOf("\xFF\xC0");
    ASSERT_GT(frame, 0);
    // Start of frame: length (2), precision (1), height (2), width (2).
    for (int i : {5, 6, 7, 8})
        bytes[frame + i] = char(0xEA);
    EXPECT_EQ(ErrorOf(bytes), "Invalid JPEG picture: 60138 x 60138 pixels is too large");
}

TEST(JpegFile, ReportsTheSystemsReasonForFilesThatCannotBeRead) {
    CurrentFolder folder;
    const auto errorOf = [](const QString& path) {
        return ErrorText<PictureError>([&] { ReadJpegFile(path); });
    };
    EXPECT_EQ(errorOf("missing.jpg"), "No such file or directory");
    ASSERT_TRUE(QDir().mkdir("folder.jpg"));
    EXPECT_EQ(errorOf("folder.jpg"), "Is a directory");
    ASSERT_EQ(::mkfifo("pipe.jpg", 0600), 0);
    EXPECT_EQ(errorOf("pipe.jpg"), "Not a regular file");  // and no wait for a writer
    WriteFile("empty.jpg", QByteArray());
    EXPECT_EQ(errorOf("empty.jpg"), "Invalid JPEG picture: Empty input file");
    WriteFile("good.jpg", EncodeJpeg(QSize(3, 2), Qt::blue));
    EXPECT_EQ(errorOf("good.jpg"), "no error");
}

}  // namespace
}  // namespace main_window
