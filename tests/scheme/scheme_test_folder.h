#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>

namespace scheme_test {

// The awkward names every listing must show and open exactly.
QStringList AwkwardFileNames();

// A temporary folder holding a file for each awkward name (its content names
// its index: "entry 3"), a hidden file, a FIFO, a dangling link and a
// sub-folder with a file in it.
class TTestFolder {
  public:
    TTestFolder();
    QString path() const { return dir_.path(); }
    // The local address of a path in it, as a link of the listing gives it.
    QUrl url(const QString& relativePath = QString()) const;
    QString hiddenName() const { return QStringLiteral(".hidden file"); }
    QString fifoName() const { return QStringLiteral("a fifo"); }
    QString danglingLinkName() const { return QStringLiteral("dangling link"); }
    QString folderName() const;
    QString fileInFolderName() const { return QStringLiteral("inner #1.txt"); }
    static QByteArray ContentOf(int index);

  private:
    QTemporaryDir dir_;
};

// The local address that names a path on disk.
QUrl LocalUrlOf(const QString& path);

}  // namespace scheme_test
