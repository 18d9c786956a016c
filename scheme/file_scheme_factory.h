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
};

}  // namespace scheme
