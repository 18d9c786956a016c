#include "tests/main/pictures/test_pictures.h"

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <jpeglib.h>
#include <QDir>
#include <QFile>
#include <algorithm>
#include <bit>
#include <cstdio>
#include <numeric>

namespace pictures_test {
namespace {

int AppendOutput(GifFileType* gif, const GifByteType* bytes, int length) {
    static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(bytes), length);
    return length;
}

void Check(int result, const char* step) {
    EXPECT_NE(result, GIF_ERROR) << "GIF encoder failed at " << step;
}

struct ColourTable {
    explicit ColourTable(const std::vector<QColor>& colours) {
        std::vector<GifColorType> entries;
        for (const QColor& c : colours)
            entries.push_back(
                {GifByteType(c.red()), GifByteType(c.green()), GifByteType(c.blue())});
        entries.resize(std::max<std::size_t>(2, std::bit_ceil(entries.size())));
        map = colours.empty() ? nullptr : GifMakeMapObject(int(entries.size()), entries.data());
    }
    ~ColourTable() { GifFreeMapObject(map); }
    ColorMapObject* map;
};

// An interlaced frame sends the rows 0, 8, 16..., then 4, 12..., then 2, 6,
// 10..., then the odd rows.
int InterlacePass(int y) {
    return y % 8 == 0 ? 0 : y % 8 == 4 ? 1 : y % 4 == 2 ? 2 : 3;
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
    std::vector<int> rows(std::size_t(area.height()));
    std::iota(rows.begin(), rows.end(), 0);
    if (frame.interlaced)
        std::stable_sort(rows.begin(), rows.end(),
                         [](int a, int b) { return InterlacePass(a) < InterlacePass(b); });
    for (int y : rows) {
        const auto start = frame.indices.begin() + y * area.width();
        std::vector<GifPixelType> row(start, start + area.width());
        Check(EGifPutLine(gif, row.data(), area.width()), "row");
    }
}

}  // namespace

QByteArray EncodeGif(const GifSpec& spec) {
    QByteArray bytes;
    int error = 0;
    GifFileType* gif = EGifOpen(&bytes, AppendOutput, &error);
    EGifSetGifVersion(gif, true);
    const ColourTable global(spec.globalColours);
    Check(EGifPutScreenDesc(gif, spec.screen.width(), spec.screen.height(), 8, 0, global.map),
          "screen");
    if (spec.loopCount) {
        const GifByteType loop[] = {1, GifByteType(*spec.loopCount & 0xff),
                                    GifByteType(*spec.loopCount >> 8)};
        Check(EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE), "loop leader");
        Check(EGifPutExtensionBlock(gif, 11, "NETSCAPE2.0"), "loop name");
        Check(EGifPutExtensionBlock(gif, 3, loop), "loop count");
        Check(EGifPutExtensionTrailer(gif), "loop trailer");
    }
    for (const GifFrameSpec& frame : spec.frames)
        PutFrame(gif, frame);
    Check(EGifCloseFile(gif, &error), "close");
    return bytes;
}

GifFrameSpec SolidFrame(QRect area, int index) {
    GifFrameSpec frame;
    frame.area = area;
    frame.indices.assign(std::size_t(area.width() * area.height()), index);
    return frame;
}

QByteArray EncodeJpeg(QSize size, QColor colour, bool adobeCmyk) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long length = 0;
    jpeg_mem_dest(&info, &buffer, &length);
    info.image_width = JDIMENSION(size.width());
    info.image_height = JDIMENSION(size.height());
    // Adobe stores CMYK inverted: 255 means no ink.
    const QColor cmyk = colour.toCmyk();
    const std::vector<int> pixel = adobeCmyk
                                       ? std::vector{255 - cmyk.cyan(), 255 - cmyk.magenta(),
                                                     255 - cmyk.yellow(), 255 - cmyk.black()}
                                       : std::vector{colour.red(), colour.green(), colour.blue()};
    info.in_color_space = adobeCmyk ? JCS_CMYK : JCS_RGB;
    info.input_components = int(pixel.size());
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 100, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<JSAMPLE> row;
    for (int x = 0; x < size.width(); ++x)
        row.insert(row.end(), pixel.begin(), pixel.end());
    for (JSAMPROW rows = row.data(); info.next_scanline < info.image_height;)
        jpeg_write_scanlines(&info, &rows, 1);
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

}  // namespace pictures_test
