#pragma once

#include <QObject>
#include <QVariantList>
#include <functional>

class QWebEnginePage;

namespace browser {

// The page-callable channel that carries process messages to the program. A
// page sends one with
//   window.quorvane.sendProcessMessage("mouseover", ["text"]);
// which is available from the moment the page's document exists.
class TProcessMessageChannel : public QObject {
    Q_OBJECT
  public:
    explicit TProcessMessageChannel(QObject* parent = nullptr) : QObject(parent) {}

    std::function<void(const QString& name, const QVariantList& arguments)> received;

    // Sets up the channel and the page-side script on `page`.
    void attachTo(QWebEnginePage& page);

  public slots:
    void sendProcessMessage(const QString& name, const QVariantList& arguments);
};

}  // namespace browser
