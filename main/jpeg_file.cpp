#include "main/jpeg_file.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
// jpeglib.h needs FILE and size_t declared first.
#include <jerror.h>
#include <jpeglib.h>

#include "main/picture_error.h"
#include "main/picture_file.h"

namespace main_window {
namespace {

// libjpeg reports a fatal error by calling error_exit, which must not return.
// It jumps back to the step that called libjpeg; the steps below hold no C++
// object with a destructor, so the jump skips nothing that needs cleaning up.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf step;
    char message[JMSG_LENGTH_MAX];
};

struct Decompression {
    jpeg_decompress_struct info;
    ErrorManager errors;
};

[[noreturn]] void JumpOut(j_common_ptr info) {
    auto* errors = reinterpret_cast<ErrorManager*>(info->err);
    (*info->err->format_message)(info, errors->message);
    std::longjmp(errors->step, 1);
}

// Warnings are harmless (stray bytes between markers) except the end of data
// before the picture is complete: libjpeg would fill the rest with grey, and a
// half-written file must not show as a half-grey picture.
void OnMessage(j_common_ptr info, int level) {
    if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF)
        JumpOut(info);
}

bool IsCmyk(const jpeg_decompress_struct& info) {
    return info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
}

bool ReadHeader(Decompression& job, const QByteArray& bytes) {
    job.info.err = jpeg_std_error(&job.errors.base);
    job.errors.base.error_exit = JumpOut;
    job.errors.base.emit_message = OnMessage;
    if (setjmp(job.errors.step))
        return false;
    jpeg_create_decompress(&job.info);
    jpeg_mem_src(&job.info, reinterpret_cast<const unsigned char*>(bytes.constData()),
                 static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&job.info, TRUE);
    job.info.out_color_space = IsCmyk(job.info) ? JCS_CMYK : JCS_RGB;
    jpeg_calc_output_dimensions(&job.info);
    return true;
}

// Adobe writes CMYK inverted (0 = full ink); other writers do not.
void CmykRowToRgb(const JSAMPLE* cmyk, uchar* rgb, JDIMENSION width, bool inverted) {
    for (JDIMENSION x = 0; x < width; ++x, cmyk += 4, rgb += 3) {
        const int k = inverted ? cmyk[3] : 255 - cmyk[3];
        for (int channel = 0; channel < 3; ++channel) {
            const int ink = inverted ? cmyk[channel] : 255 - cmyk[channel];
            rgb[channel] = static_cast<uchar>(ink * k / 255);
        }
    }
}

void StoreRow(const jpeg_decompress_struct& info, const JSAMPLE* row, uchar* target) {
    if (info.out_color_space == JCS_CMYK) {
        CmykRowToRgb(row, target, info.output_width, info.saw_Adobe_marker);
    } else {
        std::copy_n(row, std::size_t{info.output_width} * 3, target);
    }
}

bool ReadPixels(Decompression& job, uchar* bits, qsizetype bytesPerLine) {
    if (setjmp(job.errors.step))
        return false;
    jpeg_start_decompress(&job.info);
    const JDIMENSION rowBytes = job.info.output_width * job.info.output_components;
    JSAMPARRAY row = (*job.info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&job.info),
                                                   JPOOL_IMAGE, rowBytes, 1);
    while (job.info.output_scanline < job.info.output_height) {
        uchar* target = bits + bytesPerLine * job.info.output_scanline;
        jpeg_read_scanlines(&job.info, row, 1);
        StoreRow(job.info, row[0], target);
    }
    jpeg_finish_decompress(&job.info);
    return true;
}

// Owns the libjpeg state whatever happens to the decoding.
class JpegDecoder {
  public:
    JpegDecoder() : job_{} {}
    ~JpegDecoder() { jpeg_destroy_decompress(&job_.info); }
    JpegDecoder(const JpegDecoder&) = delete;
    JpegDecoder& operator=(const JpegDecoder&) = delete;

    QImage Decode(const QByteArray& bytes) {
        if (!ReadHeader(job_, bytes))
            Fail();
        QImage image = AllocateImage();
        if (!ReadPixels(job_, image.bits(), image.bytesPerLine()))
            Fail();
        return image.convertToFormat(QImage::Format_RGB32);
    }

  private:
    QImage AllocateImage() const {
        const qint64 width = job_.info.output_width;
        const qint64 height = job_.info.output_height;
        if (width * height > kMaxJpegPixels) {
            throw PictureError(QStringLiteral("Invalid JPEG picture: %1 x %2 pixels is too large")
                                   .arg(width)
                                   .arg(height));
        }
        QImage image(int(width), int(height), QImage::Format_RGB888);
        if (image.isNull())
            throw PictureError(QStringLiteral("Not enough memory"));
        return image;
    }

    [[noreturn]] void Fail() const {
        throw PictureError(QStringLiteral("Invalid JPEG picture: %1")
                               .arg(QString::fromLatin1(job_.errors.message)));
    }

    Decompression job_;
};

}  // namespace

QImage DecodeJpeg(const QByteArray& bytes) {
    return JpegDecoder().Decode(bytes);
}

QImage ReadJpegFile(const QString& path) {
    return DecodeJpeg(ReadPictureFile(path));
}

}  // namespace main_window
