#pragma once

#include <QWebEnginePage>
#include <functional>

namespace browser {

// The view's page: the engine's overridable decisions reach the view through
// these hooks. With no hook set the engine's own behaviour applies.
class TChromiumPage : public QWebEnginePage {
    Q_OBJECT
  public:
    using QWebEnginePage::QWebEnginePage;

    std::function<bool(const QUrl& url, bool isMainFrame)> beforeBrowse;  // true cancels
    std::function<bool(const QString& message, const QString& source, int line)> consoleMessage;
    std::function<bool(int type, const QUrl& origin, const QString& message,
                       const QString& defaultText, bool& accept, QString& input)>
        jsDialog;  // true: answered
    std::function<bool(bool multiple, const QStringList& acceptTypes, QStringList& files)>
        fileDialog;  // true: answered

  protected:
    // Pop-ups are decided by the view when the page asks for a new window.
    QWebEnginePage* createWindow(WebWindowType) override { return nullptr; }
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message,
                                  int line, const QString& source) override;
    void javaScriptAlert(const QUrl& origin, const QString& message) override;
    bool javaScriptConfirm(const QUrl& origin, const QString& message) override;
    bool javaScriptPrompt(const QUrl& origin, const QString& message, const QString& defaultValue,
                          QString* result) override;
    QStringList chooseFiles(FileSelectionMode mode, const QStringList& oldFiles,
                            const QStringList& acceptedMimeTypes) override;
};

}  // namespace browser
