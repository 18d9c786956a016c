#include "main/gif_canvas.h"

#include <QPainter>

namespace main_window {
namespace {

void Replace(QImage& screen, const QRect& area, const QImage& content) {
    QPainter painter(&screen);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    if (content.isNull()) {
        painter.fillRect(area, Qt::transparent);
    } else {
        painter.drawImage(area.topLeft(), content);
    }
}

}  // namespace

GifCanvas::GifCanvas(QSize size) : screen_(size, QImage::Format_ARGB32_Premultiplied) {
    screen_.fill(Qt::transparent);
}

void GifCanvas::BeginFrame(const QRect& frameRect, int disposal) {
    frame_ = frameRect;
    visible_ = frameRect.intersected(screen_.rect());
    disposal_ = disposal;
    underFrame_ = disposal == DISPOSE_PREVIOUS ? screen_.copy(visible_) : QImage();
}

void GifCanvas::DrawRow(int y, const GifPixelType* row, const ColorMapObject& colours,
                        int transparentIndex) {
    const int screenY = frame_.top() + y;
    if (screenY < visible_.top() || screenY > visible_.bottom())
        return;
    auto* pixels = reinterpret_cast<QRgb*>(screen_.scanLine(screenY));
    for (int x = visible_.left(); x <= visible_.right(); ++x) {
        const int index = row[x - frame_.left()];
        if (index == transparentIndex || index >= colours.ColorCount)
            continue;
        const GifColorType& colour = colours.Colors[index];
        pixels[x] = qRgb(colour.Red, colour.Green, colour.Blue);
    }
}

void GifCanvas::EndFrame() {
    // Browsers clear to transparent rather than to the background colour.
    if (disposal_ == DISPOSE_BACKGROUND)
        Replace(screen_, visible_, QImage());
    if (disposal_ == DISPOSE_PREVIOUS)
        Replace(screen_, visible_, underFrame_);
}

}  // namespace main_window
