#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <QVariant>

class QWebEnginePage;

namespace test_support {

// Pages of the program's own "local" scheme, served by the program's real
// handler (installed once per process) from a temporary folder.
class LocalPages {
  public:
    LocalPages();
    // Writes the page and gives its "local://c/..." address.
    QString Write(const QString& name, const QByteArray& content) const;

  private:
    QTemporaryDir folder_;
};

// Runs the script in the page's main frame and waits for its result.
QVariant RunScript(QWebEnginePage& page, const QString& script);

}  // namespace test_support
