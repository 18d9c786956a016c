#pragma once

#include <QWebEngineUrlRequestInterceptor>
#include <functional>

namespace browser {

// Sees every resource request of one page before it is sent.
class TRequestInterceptor : public QWebEngineUrlRequestInterceptor {
    Q_OBJECT
  public:
    std::function<void(QWebEngineUrlRequestInfo& info)> beforeResourceLoad;

    void interceptRequest(QWebEngineUrlRequestInfo& info) override {
        if (beforeResourceLoad)
            beforeResourceLoad(info);
    }
};

}  // namespace browser
