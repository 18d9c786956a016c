#pragma once

#include <QObject>
#include <QPointer>
#include <QVariantList>
#include <functional>

#include <QWebEnginePage>

namespace browser {

// The page-callable channel that carries process messages to the program. A
// page of the program's own ("local" scheme) sends one with
//   window.quorvane.sendProcessMessage("mouseover", ["text"]);
// which is available from the moment the page's document exists. Remote
// pages have neither the call nor the channel behind it.
class TProcessMessageChannel : public QObject {
    Q_OBJECT
  public:
    explicit TProcessMessageChannel(QObject* parent = nullptr) : QObject(parent) {}

    std::function<void(const QString& name, const QVariantList& arguments)> received;

    // Sets up the channel and the page-side script on `page`.
    void attachTo(QWebEnginePage& page);

  public slots:
    void sendProcessMessage(const QString& name, const QVariantList& arguments);

  private:
    QPointer<QWebEnginePage> page_;
};

}  // namespace browser
