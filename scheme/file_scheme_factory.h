#pragma once

#include <QWebEngineUrlSchemeHandler>

namespace scheme {

// Answers every request of the "local" scheme with a fresh TFileScheme. The
// engine calls it on the GUI thread; it owns nothing between requests.
class TFileSchemeFactory : public QWebEngineUrlSchemeHandler {
    Q_OBJECT
  public:
    using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;
    void requestStarted(QWebEngineUrlRequestJob* job) override;

  protected:
    // Called once the answer's headers and length are settled and before the
    // engine reads its first byte.
    virtual void AnswerPrepared(const QUrl& url);
};

}  // namespace scheme
