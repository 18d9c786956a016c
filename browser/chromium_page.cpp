#include "browser/chromium_page.h"

#include "browser/chromium_events.h"

namespace browser {

bool TChromiumPage::acceptNavigationRequest(const QUrl& url, NavigationType type,
                                            bool isMainFrame) {
    if (beforeBrowse && beforeBrowse(url, isMainFrame))
        return false;
    return QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
}

void TChromiumPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level,
                                             const QString& message, int line,
                                             const QString& source) {
    if (consoleMessage && consoleMessage(message, source, line))
        return;
    QWebEnginePage::javaScriptConsoleMessage(level, message, line, source);
}

void TChromiumPage::javaScriptAlert(const QUrl& origin, const QString& message) {
    bool accept = true;
    QString input;
    if (jsDialog && jsDialog(JSDIALOGTYPE_ALERT, origin, message, {}, accept, input))
        return;
    QWebEnginePage::javaScriptAlert(origin, message);
}

bool TChromiumPage::javaScriptConfirm(const QUrl& origin, const QString& message) {
    bool accept = false;
    QString input;
    if (jsDialog && jsDialog(JSDIALOGTYPE_CONFIRM, origin, message, {}, accept, input))
        return accept;
    return QWebEnginePage::javaScriptConfirm(origin, message);
}

bool TChromiumPage::javaScriptPrompt(const QUrl& origin, const QString& message,
                                     const QString& defaultValue, QString* result) {
    bool accept = false;
    QString input = defaultValue;
    if (jsDialog && jsDialog(JSDIALOGTYPE_PROMPT, origin, message, defaultValue, accept, input)) {
        if (accept && result)
            *result = input;
        return accept;
    }
    return QWebEnginePage::javaScriptPrompt(origin, message, defaultValue, result);
}

QStringList TChromiumPage::chooseFiles(FileSelectionMode mode, const QStringList& oldFiles,
                                       const QStringList& acceptedMimeTypes) {
    QStringList files;
    if (fileDialog && fileDialog(mode == FileSelectOpenMultiple, acceptedMimeTypes, files))
        return files;
    return QWebEnginePage::chooseFiles(mode, oldFiles, acceptedMimeTypes);
}

}  // namespace browser
