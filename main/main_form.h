#pragma once

#include <QWidget>

class QShortcut;
#include <memory>

#include "browser/chromium.h"

namespace Ui {
class TMainForm;
}

namespace main_window {

class TImage;
struct ButtonPictures;
class TBrowserPolicies;
class TFavoritesMenu;
class TDevToolsToggle;
class TFindBar;
class TPageCrashNotice;
class TWindowClosing;

// The program's only main window: the tool bar with its picture buttons and
// address box, the page view `crm`, the status bar and the hidden developer
// tools panel.
class TMainForm : public QWidget {
    Q_OBJECT
  public:
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    // True from the view's load start to its load end.
    bool FLoading = false;

    browser::TChromium* crm() const;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void FormCreate();
    bool FormCloseQuery();
    void ConnectPictureButtons();
    void ConnectBrowserEvents();
    // The browser policies, the favorites menu, the About box, the
    // developer tools, the find bar and keys, the crash notice and the
    // closing, each in a part of its own that the window owns.
    void ConnectShellCommands();
    void AddKeys();
    void OpenFindBar();
    void ImageAboutClick();
    void ShowEmbeddedPictures();

    // Tool bar.
    void Panel1MouseMove();
    void FormMouseMove();
    void FormClick();
    bool edAddressKeyPress(int key);
    // What the address box stands for: the page's address as the program
    // uses it while the box shows it unchanged, else the text typed.
    QString AddressBoxUrl() const;
    void ImageBackClick();
    void ImageForwordClick();
    void ImageProcessClick();
    void ImageProcessMouseMove();
    void HoverSquareButtonMove(TImage* image, const ButtonPictures& pictures, int x, int y);
    void HistoryButtonEvent(TImage* image, bool available, const char* picture);
    void ShowHistoryState();
    void ShowLoadingPicture();

    // Page state mirrored in the shell.
    void crmAddressChange(const QString& url);
    void crmTitleChange(const QString& title);
    void crmStatusMessage(const QString& value);
    void crmLoadStart();
    void crmLoadEnd();

    bool CanGoBack() const;
    bool CanGoForward() const;

    std::unique_ptr<Ui::TMainForm> ui;
    TBrowserPolicies* policies_ = nullptr;
    TFavoritesMenu* favorites_ = nullptr;
    TDevToolsToggle* devTools_ = nullptr;
    TFindBar* findBar_ = nullptr;
    // Escape, which stops a page only while it loads (the page keeps it
    // otherwise).
    QShortcut* stopKey_ = nullptr;
    TPageCrashNotice* crashNotice_ = nullptr;
    TWindowClosing* closing_ = nullptr;
    // The page's address as the engine gives it and as the box shows it.
    QString encodedAddress_;
    QString shownAddress_;
};

}  // namespace main_window
