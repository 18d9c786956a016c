#pragma once

#include <QPointer>
#include <QString>
#include <memory>

#include <QWebEnginePage>

namespace browser {

// A frame of the browser. Qt WebEngine 6.4 gives the program the main frame
// only; a sub-frame is known by the address its load reported (see
// frame_loads.h), and loading into it loads the main frame.
class TCefFrame {
  public:
    explicit TCefFrame(QWebEnginePage* page) : page_(page) {}
    TCefFrame(QWebEnginePage* page, const QString& subFrameUrl)
        : page_(page), subFrameUrl_(subFrameUrl), isMain_(false) {}
    bool IsValid() const { return !page_.isNull(); }
    bool IsMain() const { return isMain_; }
    QString GetName() const { return {}; }
    // The frame's current address.
    QString GetUrl() const;
    // Loads the text as the engine's own address handling would: blanks
    // around it dropped, "http://" put in front when it has no scheme; a text
    // that is no address even so changes nothing.
    void LoadUrl(const QString& url);

  private:
    QPointer<QWebEnginePage> page_;
    QString subFrameUrl_;
    bool isMain_ = true;
};

class TCefBrowser;

// The browser's host side: closing the browser.
class TCefBrowserHost {
  public:
    explicit TCefBrowserHost(TCefBrowser& browser) : browser_(browser) {}
    // Without `force`, asks the page first: its "beforeunload" handler runs
    // (and may have the user asked whether to leave), and only if the page
    // lets go does the view raise OnClose; the browser itself stays usable.
    // With `force`, closes the browser: it stops loading and delivers no more
    // events; the page itself goes with its view (Qt runs no unload handlers
    // on a page that is destroyed).
    void CloseBrowser(bool force);

  private:
    TCefBrowser& browser_;
};

// The engine browser of a view: one page with its history.
class TCefBrowser {
  public:
    explicit TCefBrowser(QWebEnginePage* page);
    bool CanGoBack() const;
    bool CanGoForward() const;
    void GoBack();
    void GoForward();
    void Reload();
    void StopLoad();
    TCefFrame* GetMainFrame() { return &mainFrame_; }
    TCefBrowserHost* GetHost() { return &host_; }
    QWebEnginePage* page() const { return page_; }

  private:
    friend class TCefBrowserHost;
    QPointer<QWebEnginePage> page_;
    TCefFrame mainFrame_;
    TCefBrowserHost host_;
    bool closed_ = false;
    friend class TChromium;
};

}  // namespace browser
