#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

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

}  // namespace test_support
