#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class TformAbout;
}

namespace main_window {

// The About window: the client's fixed version line, its producer and the
// supervising body. Modeless, not resizable, centred on its owner; closing
// it hides it, and it goes with its owner.
class TformAbout : public QDialog {
    Q_OBJECT
  public:
    explicit TformAbout(QWidget* owner);
    ~TformAbout() override;

  private:
    std::unique_ptr<Ui::TformAbout> ui;
};

// Opens one more About window over `owner`, which keeps it until the program
// ends.
TformAbout* OpenAboutBox(QWidget& owner);

}  // namespace main_window
