#include "main/picture_control.h"

#include <QFileInfo>
#include <QMouseEvent>
#include <QPainter>

#include "common/application.h"
#include "main/gif_animation.h"
#include "main/jpeg_file.h"
#include "main/picture_error.h"
#include "main/reported_picture_files.h"

namespace main_window {
namespace {

// The file's extension says how it is decoded, as it does for the picture
// controls the tool bar was designed with.
PicturePlayback ReadPicture(const QString& fileName) {
    const QString extension = QFileInfo(fileName).suffix().toLower();
    if (extension == QLatin1String("gif"))
        return PicturePlayback(ReadGifFile(fileName));
    if (extension == QLatin1String("jpg") || extension == QLatin1String("jpeg") ||
        extension == QLatin1String("jpe") || extension == QLatin1String("jfif")) {
        return PicturePlayback(ReadJpegFile(fileName));
    }
    throw PictureError(QStringLiteral("Unknown picture file extension (.%1)").arg(extension));
}

}  // namespace

TImage::TImage(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    frameTimer_.setSingleShot(true);
    frameTimer_.setTimerType(Qt::PreciseTimer);
    connect(&frameTimer_, &QTimer::timeout, this, &TImage::ShowNextFrame);
}

void TImage::SetPicture(const QImage& picture) {
    ShowPlayback(PicturePlayback(picture));
}

void TImage::LoadFromFile(const QString& fileName) {
    try {
        ShowPlayback(ReadPicture(fileName));
    } catch (const PictureError& error) {
        if (IsFirstFailureOf(fileName)) {
            throw PictureFileError(fileName, QString::fromStdString(error.what()));
        }
    }
}

void TImage::SetAnimated(bool animated) {
    animated_ = animated && playback_.FrameCount() > 1;
    if (animated_ && !playback_.HasNextFrame()) {
        playback_.Restart();
        update();
    }
    ScheduleNextFrame();
}

void TImage::SetStretch(bool stretch) {
    stretch_ = stretch;
    update();
}

void TImage::SetCenter(bool center) {
    center_ = center;
    update();
}

QSize TImage::sizeHint() const {
    return Picture().isNull() ? QWidget::sizeHint() : Picture().size();
}

void TImage::ShowPlayback(PicturePlayback playback) {
    playback_ = std::move(playback);
    animated_ = false;
    frameTimer_.stop();
    updateGeometry();
    update();
}

// One single-shot timer per frame: nothing ticks while no animation runs.
void TImage::ScheduleNextFrame() {
    if (animated_ && playback_.HasNextFrame()) {
        frameTimer_.start(playback_.CurrentDelayMs());
    } else {
        frameTimer_.stop();
    }
}

void TImage::ShowNextFrame() {
    playback_.NextFrame();
    update();
    ScheduleNextFrame();
    if (OnFrameChange)
        common::RunHandler([this] { OnFrameChange(this); });
}

QRect TImage::PictureArea() const {
    if (stretch_)
        return rect();
    const QSize size = Picture().size();
    if (!center_)
        return QRect(QPoint(0, 0), size);
    return QRect(QPoint((width() - size.width()) / 2, (height() - size.height()) / 2), size);
}

void TImage::paintEvent(QPaintEvent*) {
    if (Picture().isNull())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, stretch_);
    painter.drawImage(PictureArea(), Picture());
}

void TImage::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (event->button() == Qt::LeftButton)
        leftPressedInside_ = rect().contains(at);
    if (OnMouseDown)
        common::RunHandler([&] { OnMouseDown(this, at.x(), at.y()); });
}

void TImage::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (OnMouseMove)
        common::RunHandler([&] { OnMouseMove(this, at.x(), at.y()); });
}

void TImage::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    const bool left = event->button() == Qt::LeftButton;
    const bool clicked = left && leftPressedInside_ && rect().contains(at);
    if (left)
        leftPressedInside_ = false;
    if (clicked && OnClick)
        common::RunHandler([this] { OnClick(this); });
    if (OnMouseUp)
        common::RunHandler([&] { OnMouseUp(this, at.x(), at.y()); });
}

}  // namespace main_window
