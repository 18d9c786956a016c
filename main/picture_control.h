#pragma once

#include <QImage>
#include <QTimer>
#include <QWidget>
#include <functional>

#include "main/picture_playback.h"

namespace main_window {

// A picture on the tool bar: a still JPEG picture or a GIF animation, drawn at
// its natural size from the top-left corner, centred, or stretched to the
// control. It reports the mouse to its owner; positions are relative to the
// control's top-left corner.
class TImage : public QWidget {
    Q_OBJECT

  public:
    explicit TImage(QWidget* parent = nullptr);

    // Shows a picture that is already decoded; any animation stops.
    void SetPicture(const QImage& picture);

    // Loads a ".jpg"/".jpeg" or ".gif" file, looked up from the process's
    // current folder when relative (not from the executable's folder). A GIF
    // shows its first frame with the animation off. When the file cannot be
    // read or decoded, the picture stays as it was and PictureFileError is
    // raised, with the text: Cannot open file "<fileName>". <reason>
    // That happens once per file name in a process run; later failures for
    // the same name keep the picture silently.
    void LoadFromFile(const QString& fileName);

    // Plays a GIF's frames, each for its own delay, as often as its loop
    // count says. Switching on again after the last play starts over; a still
    // picture ignores it.
    void SetAnimated(bool animated);
    bool Animated() const { return animated_; }
    bool AnimationRunning() const { return frameTimer_.isActive(); }

    int FrameCount() const { return playback_.FrameCount(); }
    int CurrentFrame() const { return playback_.CurrentFrame(); }
    // How long the current frame stays while the animation runs, in ms.
    int CurrentFrameDelay() const { return playback_.CurrentDelayMs(); }
    const QImage& Picture() const { return playback_.CurrentImage(); }

    // Stretch draws the picture over the whole control; otherwise Center puts
    // it in the middle at natural size, and neither puts it at the top-left.
    void SetStretch(bool stretch);
    bool Stretch() const { return stretch_; }
    void SetCenter(bool center);
    bool Center() const { return center_; }

    QSize sizeHint() const override;

    // Any mouse button.
    std::function<void(TImage* Sender, int X, int Y)> OnMouseDown;
    std::function<void(TImage* Sender, int X, int Y)> OnMouseMove;
    std::function<void(TImage* Sender, int X, int Y)> OnMouseUp;
    // A left-button press and release both inside this control. Raised before
    // OnMouseUp.
    std::function<void(TImage* Sender)> OnClick;
    // The animation moved on to another frame.
    std::function<void(TImage* Sender)> OnFrameChange;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    void ShowPlayback(PicturePlayback playback);
    void ScheduleNextFrame();
    void ShowNextFrame();
    QRect PictureArea() const;

    PicturePlayback playback_;
    QTimer frameTimer_;
    bool animated_ = false;
    bool stretch_ = false;
    bool center_ = false;
    bool leftPressedInside_ = false;
};

}  // namespace main_window
