#pragma once

#include <QByteArray>
#include <QObject>

namespace upgrader {

// A component that holds the HTTP credentials of its transfers. The program
// never stores them: there is no stored form of the pair.
class TauLoginComponent : public QObject {
  public:
    explicit TauLoginComponent(QObject* Owner = nullptr) : QObject(Owner) {}

    QByteArray HTTPUsername;
    QByteArray HTTPPassword;
};

}  // namespace upgrader
