#pragma once

// Pictures made inside the tests with the encoders of libjpeg and giflib, so
// that each test knows exactly what the decoders must return.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QRandomGenerator>
#include <QRect>
#include <QString>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/file_contents.h"

namespace pictures_test {

using test_support::CurrentFolder;
using test_support::WriteFile;

// A GIF frame: colour indices, row by row, for the rectangle `area`.
struct GifFrameSpec {
    QRect area;
    std::vector<int> indices;
    int disposal = 0;
    int delayCentiseconds = 0;
    int transparentIndex = -1;
    bool interlaced = false;
    std::vector<QColor> localColours;  // empty: the global table
    bool graphicControl = true;
};

struct GifSpec {
    QSize screen{4, 4};
    std::vector<QColor> globalColours{Qt::black, Qt::red, Qt::green, Qt::blue};
    std::optional<int> loopCount;  // NETSCAPE2.0 extension when set
    std::vector<GifFrameSpec> frames;
};

QByteArray EncodeGif(const GifSpec& spec);
// A frame of one colour index over `area`.
GifFrameSpec SolidFrame(QRect area, int index);

// A JPEG picture of one colour, written at the highest quality.
QByteArray EncodeJpeg(QSize size, QColor colour, bool adobeCmyk = false);

// A file of the committed "ico" folder, and its copy beside the built program.
QString SourcePicture(const QString& name);
QString BuiltPicture(const QString& name);

// Decodes a copy of bytes with one to four bytes overwritten at random
// places, many times: each either decodes to some picture or is refused with
// Error; nothing crashes (the sanitizer build checks the memory side).
template <typename Error, typename Decode>
void DecodeDamaged(const QByteArray& bytes, quint32 seed, Decode decode) {
    QRandomGenerator random(seed);
    for (int round = 0; round < 400; ++round) {
        QByteArray damaged = bytes;
        for (int flips = 1 + random.bounded(4); flips > 0; --flips)
            damaged[random.bounded(int(damaged.size()))] = char(random.bounded(256));
        try {
            decode(damaged);
        } catch (const Error&) {
        }
    }
}

// The text of the error of type Error that call() raises, or "no error".
template <typename Error, typename Call>
std::string ErrorText(Call call) {
    try {
        call();
    } catch (const Error& error) {
        return error.what();
    }
    return "no error";
}

}  // namespace pictures_test
