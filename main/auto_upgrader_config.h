#pragma once

#include <QByteArray>
#include <QString>

namespace upgrader {
class TauAutoUpgrader;
}

class QObject;

namespace main_window {

// The update server's host ("host" or "host:port"): the environment variable
// QUORVANE_UPDATE_HOST when it holds one, else the host the program was
// built with (the CMake cache variable of the same name).
QString UpdateServerHost();

// "http://<host>" + Path on the update server.
QByteArray UpdateServerUrl(const char* Path);

// Gives the main window's upgrader the settings the program ships with. It
// is made when its first check is due, so the automatic check comes at once,
// then is retried every 500 ms after an unreachable host; version "2.0.0.5"
// by number; the info file "/update/quorvane.inf" on the update server.
void ConfigureAutoUpgrader(upgrader::TauAutoUpgrader& Upgrader);

// The main window's upgrader, configured and loaded, owned by Owner.
upgrader::TauAutoUpgrader* CreateAutoUpgrader(QObject* Owner);

}  // namespace main_window
