#include "main/gif_animation.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "main/gif_canvas.h"
#include "main/picture_error.h"
#include "main/picture_file.h"

namespace main_window {
namespace {

struct InputBuffer {
    const QByteArray& bytes;
    qsizetype offset = 0;
    bool endedEarly = false;
};

int ReadInput(GifFileType* gif, GifByteType* target, int length) {
    auto& input = *static_cast<InputBuffer*>(gif->UserData);
    const auto count =
        static_cast<int>(std::min<qsizetype>(length, input.bytes.size() - input.offset));
    std::memcpy(target, input.bytes.constData() + input.offset, std::size_t(count));
    input.offset += count;
    if (count < length)
        input.endedEarly = true;
    return count;
}

[[noreturn]] void Fail(const QString& reason) {
    throw PictureError(QStringLiteral("Invalid GIF picture: %1").arg(reason));
}

struct CloseGif {
    void operator()(GifFileType* gif) const { DGifCloseFile(gif, nullptr); }
};
using GifHandle = std::unique_ptr<GifFileType, CloseGif>;

bool IsLoopExtension(const GifByteType* block) {
    return block[0] == 11 && (std::memcmp(block + 1, "NETSCAPE2.0", 11) == 0 ||
                              std::memcmp(block + 1, "ANIMEXTS1.0", 11) == 0);
}

// Reads a GIF stream record by record, drawing each frame as it arrives, so
// that a frame's size is checked before any memory is taken for it.
class GifDecoder {
  public:
    explicit GifDecoder(const QByteArray& bytes) : input_{bytes} {
        int error = D_GIF_SUCCEEDED;
        gif_.reset(DGifOpen(&input_, ReadInput, &error));
        if (!gif_)
            FailWith(error);
        CheckScreen();
    }

    GifAnimation Decode() {
        GifCanvas canvas(QSize(gif_->SWidth, gif_->SHeight));
        for (;;) {
            GifRecordType record = UNDEFINED_RECORD_TYPE;
            Check(DGifGetRecordType(gif_.get(), &record));
            if (record == IMAGE_DESC_RECORD_TYPE)
                ReadFrame(canvas);
            if (record == EXTENSION_RECORD_TYPE)
                ReadExtension();
            if (record == TERMINATE_RECORD_TYPE)
                break;
        }
        if (animation_.frames.empty())
            Fail(QStringLiteral("it holds no picture"));
        return std::move(animation_);
    }

  private:
    [[noreturn]] void FailWith(int error) const {
        if (input_.endedEarly)
            Fail(QStringLiteral("the data ends early"));
        const char* text = GifErrorString(error);
        Fail(text ? QString::fromLatin1(text) : QStringLiteral("error %1").arg(error));
    }

    void Check(int result) const {
        if (result == GIF_ERROR)
            FailWith(gif_->Error);
    }

    void CheckScreen() const {
        if (gif_->SWidth < 1 || gif_->SHeight < 1 || gif_->SWidth > kMaxGifSide ||
            gif_->SHeight > kMaxGifSide) {
            Fail(QStringLiteral("a screen of %1 x %2 pixels").arg(gif_->SWidth).arg(gif_->SHeight));
        }
    }

    void ReadFrame(GifCanvas& canvas) {
        Check(DGifGetImageDesc(gif_.get()));
        const GifImageDesc& desc = gif_->Image;
        const ColorMapObject* colours = desc.ColorMap ? desc.ColorMap : gif_->SColorMap;
        if (!colours)
            Fail(QStringLiteral("a frame has no colour table"));
        if (qint64{desc.Width} * desc.Height > kMaxGifFramePixels) {
            Fail(QStringLiteral("a frame of %1 x %2 pixels").arg(desc.Width).arg(desc.Height));
        }
        ReserveFrame();
        canvas.BeginFrame(QRect(desc.Left, desc.Top, desc.Width, desc.Height),
                          control_.DisposalMode);
        ReadRows(canvas, *colours);
        animation_.frames.push_back({canvas.Screen(), FrameDelayMs(control_.DelayTime)});
        canvas.EndFrame();
        control_ = NoControl();
    }

    void ReserveFrame() {
        const qint64 frameBytes = qint64{gif_->SWidth} * gif_->SHeight * 4;
        usedBytes_ += frameBytes;
        if (usedBytes_ > kMaxGifAnimationBytes || animation_.frames.size() >= kMaxGifFrames) {
            Fail(QStringLiteral("too many frames to show"));
        }
    }

    void ReadRows(GifCanvas& canvas, const ColorMapObject& colours) {
        const GifImageDesc& desc = gif_->Image;
        if (desc.Width == 0 || desc.Height == 0)
            return SkipImageData();
        std::vector<GifPixelType> row(std::size_t(desc.Width));
        // An interlaced frame sends every 8th row from 0, every 8th from 4,
        // every 4th from 2, then every 2nd from 1.
        static constexpr int kInterlacedStart[] = {0, 4, 2, 1};
        static constexpr int kInterlacedStep[] = {8, 8, 4, 2};
        const int passes = desc.Interlace ? 4 : 1;
        for (int pass = 0; pass < passes; ++pass) {
            const int step = desc.Interlace ? kInterlacedStep[pass] : 1;
            for (int y = desc.Interlace ? kInterlacedStart[pass] : 0; y < desc.Height; y += step) {
                Check(DGifGetLine(gif_.get(), row.data(), desc.Width));
                canvas.DrawRow(y, row.data(), colours, control_.TransparentColor);
            }
        }
    }

    void SkipImageData() {
        int codeSize = 0;
        GifByteType* block = nullptr;
        Check(DGifGetCode(gif_.get(), &codeSize, &block));
        while (block)
            Check(DGifGetCodeNext(gif_.get(), &block));
    }

    void ReadExtension() {
        int code = 0;
        GifByteType* block = nullptr;
        Check(DGifGetExtension(gif_.get(), &code, &block));
        if (block && code == GRAPHICS_EXT_FUNC_CODE)
            ReadControl(block);
        if (block && code == APPLICATION_EXT_FUNC_CODE && IsLoopExtension(block)) {
            Check(DGifGetExtensionNext(gif_.get(), &block));
            if (block && block[0] >= 3 && block[1] == 1) {
                animation_.loopCount = block[2] | (block[3] << 8);
            }
        }
        while (block)
            Check(DGifGetExtensionNext(gif_.get(), &block));
    }

    // A damaged graphic control block is ignored, as browsers do.
    void ReadControl(const GifByteType* block) {
        GraphicsControlBlock control{};
        if (DGifExtensionToGCB(block[0], block + 1, &control) == GIF_OK)
            control_ = control;
    }

    static GraphicsControlBlock NoControl() {
        GraphicsControlBlock control{};
        control.DisposalMode = DISPOSAL_UNSPECIFIED;
        control.TransparentColor = NO_TRANSPARENT_COLOR;
        return control;
    }

    InputBuffer input_;
    GifHandle gif_;
    GifAnimation animation_;
    GraphicsControlBlock control_ = NoControl();
    qint64 usedBytes_ = 0;
};

}  // namespace

int GifAnimation::PlayCount() const {
    if (loopCount == kNoLoopExtension)
        return 1;
    return loopCount == 0 ? 0 : loopCount + 1;
}

int FrameDelayMs(int delayCentiseconds) {
    return delayCentiseconds <= 1 ? kDefaultFrameDelayMs : delayCentiseconds * 10;
}

GifAnimation DecodeGif(const QByteArray& bytes) {
    return GifDecoder(bytes).Decode();
}

GifAnimation ReadGifFile(const QString& path) {
    return DecodeGif(ReadPictureFile(path));
}

}  // namespace main_window
