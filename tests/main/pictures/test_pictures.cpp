#include "tests/main/pictures/test_pictures.h"

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <jpeglib.h>
#include <QFile>
#include <cstdio>
#include <stdexcept>

namespace pictures_test {
namespace {

int AppendOutput(GifFileType* gif, const GifByteType* bytes, int length) {
    static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(bytes), length);
    return length;
}

void Check(int result, const char* step) {
    if (result == GIF_ERROR)
        throw std::runtime_error(std::string("GIF encoder failed at ") + step);
}

struct ColourTable {
    explicit ColourTable(const std::vector<QColor>& colours) {
        if (colours.empty())
            return;
        std::vector<GifColorType> entries;
        for (const QColor& colour : colours) {
            entries.push_back({GifByteType(colour.red()), GifByteType(colour.green()),
                               GifByteType(colour.blue())});
        }
        int size = 2;
        while (size < int(entries.size()))
            size *= 2;
        entries.resize(std::size_t(size));
        map = GifMakeMapObject(size, entries.data());
    }
    ~ColourTable() { GifFreeMapObject(map); }
    ColorMapObject* map = nullptr;
};

void PutLoopExtension(GifFileType* gif, int loopCount) {
    const GifByteType loop[] = {1, GifByteType(loopCount & 0xff), GifByteType(loopCount >> 8)};
    Check(EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE), "loop leader");
    Check(EGifPutExtensionBlock(gif, 11, "NETSCAPE2.0"), "loop name");
    Check(EGifPutExtensionBlock(gif, 3, loop), "loop count");
    Check(EGifPutExtensionTrailer(gif), "loop trailer");
}

std::vector<int> RowOrder(const GifFrameSpec& frame) {
    std::vector<int> rows;
    const int height = frame.area.height();
    if (!frame.interlaced) {
        for (int y = 0; y < height; ++y)
            rows.push_back(y);
        return rows;
    }
    const int start[] = {0, 4, 2, 1}, step[] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass) {
        for (int y = start[pass]; y < height; y += step[pass])
            rows.push_back(y);
    }
    return rows;
}

void PutFrame(GifFileType* gif, const GifFrameSpec& frame) {
    if (frame.graphicControl) {
        GraphicsControlBlock control{frame.disposal, false, frame.delayCentiseconds,
                                     frame.transparentIndex};
        GifByteType bytes[4];
        EGifGCBToExtension(&control, bytes);
        Check(EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, bytes), "control");
    }
    const ColourTable local(frame.localColours);
    const QRect& area = frame.area;
    Check(EGifPutImageDesc(gif, area.x(), area.y(), area.width(), area.height(), frame.interlaced,
                           local.map),
          "frame");
    for (int y : RowOrder(frame)) {
        std::vector<GifPixelType> row;
        for (int x = 0; x < area.width(); ++x) {
            row.push_back(GifPixelType(frame.indices[std::size_t(y * area.width() + x)]));
        }
        Check(EGifPutLine(gif, row.data(), area.width()), "row");
    }
}

}  // namespace

QByteArray EncodeGif(const GifSpec& spec) {
    QByteArray bytes;
    int error = 0;
    GifFileType* gif = EGifOpen(&bytes, AppendOutput, &error);
    if (!gif)
        throw std::runtime_error("GIF encoder did not open");
    EGifSetGifVersion(gif, true);
    try {
        const ColourTable global(spec.globalColours);
        Check(EGifPutScreenDesc(gif, spec.screen.width(), spec.screen.height(), 8, 0, global.map),
              "screen");
        if (spec.loopCount)
            PutLoopExtension(gif, *spec.loopCount);
        for (const GifFrameSpec& frame : spec.frames)
            PutFrame(gif, frame);
    } catch (...) {
        EGifCloseFile(gif, &error);
        throw;
    }
    Check(EGifCloseFile(gif, &error), "close");
    return bytes;
}

GifFrameSpec SolidFrame(QRect area, int index) {
    GifFrameSpec frame;
    frame.area = area;
    frame.indices.assign(std::size_t(area.width() * area.height()), index);
    return frame;
}

namespace {

std::vector<JSAMPLE> SolidSamples(QSize size, QColor colour, JpegKind kind) {
    std::vector<JSAMPLE> pixel;
    if (kind == JpegKind::Grey)
        pixel = {JSAMPLE(colour.red())};
    if (kind == JpegKind::Rgb || kind == JpegKind::Progressive) {
        pixel = {JSAMPLE(colour.red()), JSAMPLE(colour.green()), JSAMPLE(colour.blue())};
    }
    if (kind == JpegKind::AdobeCmyk) {
        // Adobe stores CMYK inverted: 255 means no ink.
        const QColor cmyk = colour.toCmyk();
        pixel = {JSAMPLE(255 - cmyk.cyan()), JSAMPLE(255 - cmyk.magenta()),
                 JSAMPLE(255 - cmyk.yellow()), JSAMPLE(255 - cmyk.black())};
    }
    std::vector<JSAMPLE> samples;
    for (int i = 0; i < size.width() * size.height(); ++i) {
        samples.insert(samples.end(), pixel.begin(), pixel.end());
    }
    return samples;
}

J_COLOR_SPACE ColourSpace(JpegKind kind) {
    if (kind == JpegKind::Grey)
        return JCS_GRAYSCALE;
    return kind == JpegKind::AdobeCmyk ? JCS_CMYK : JCS_RGB;
}

}  // namespace

QByteArray EncodeJpeg(QSize size, QColor colour, JpegKind kind) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long length = 0;
    jpeg_mem_dest(&info, &buffer, &length);
    info.image_width = JDIMENSION(size.width());
    info.image_height = JDIMENSION(size.height());
    info.in_color_space = ColourSpace(kind);
    info.input_components = kind == JpegKind::Grey ? 1 : kind == JpegKind::AdobeCmyk ? 4 : 3;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 100, TRUE);
    if (kind == JpegKind::Progressive)
        jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    std::vector<JSAMPLE> samples = SolidSamples(size, colour, kind);
    const std::size_t rowLength = samples.size() / std::size_t(size.height());
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = samples.data() + info.next_scanline * rowLength;
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    QByteArray bytes(reinterpret_cast<const char*>(buffer), qsizetype(length));
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return bytes;
}

QString SourcePicture(const QString& name) {
    return qEnvironmentVariable("QUORVANE_SOURCE_DIR") + QStringLiteral("/ico/") + name;
}

QString BuiltPicture(const QString& name) {
    return qEnvironmentVariable("QUORVANE_BUILD_BIN") + QStringLiteral("/ico/") + name;
}

QByteArray FileBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        ADD_FAILURE() << "cannot read " << path.toStdString();
    return file.readAll();
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        ADD_FAILURE() << "cannot write " << path.toStdString();
    }
}

QByteArray Damaged(const QByteArray& bytes, QRandomGenerator& random) {
    QByteArray damaged = bytes;
    for (int flips = 1 + random.bounded(4); flips > 0; --flips) {
        damaged[random.bounded(int(damaged.size()))] = char(random.bounded(256));
    }
    return damaged;
}

bool NearlyEqual(QRgb actual, QColor expected, int tolerance) {
    return std::abs(qRed(actual) - expected.red()) <= tolerance &&
           std::abs(qGreen(actual) - expected.green()) <= tolerance &&
           std::abs(qBlue(actual) - expected.blue()) <= tolerance;
}

CurrentFolder::CurrentFolder() : previous_(QDir::currentPath()) {
    if (!folder_.isValid() || !QDir::setCurrent(folder_.path())) {
        ADD_FAILURE() << "cannot enter a temporary folder";
    }
}

CurrentFolder::~CurrentFolder() {
    QDir::setCurrent(previous_);
}

}  // namespace pictures_test
