#include "tests/scheme/scheme_test_folder.h"

#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <stdexcept>

#include "scheme/script_escape.h"

namespace scheme_test {

namespace {

void WriteFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        throw std::runtime_error("cannot write " + path.toStdString());
}

}  // namespace

QStringList AwkwardFileNames() {
    return {
        QStringLiteral("quote\"d.txt"),        QStringLiteral("back\\slash.txt"),
        QStringLiteral("hash#1.txt"),          QStringLiteral("percent%41 and 100%.txt"),
        QStringLiteral("plus+sign.txt"),       QStringLiteral("with  two spaces.txt"),
        QStringLiteral("question?.txt"),       QString::fromUtf8("中文文件.txt"),
        QString::fromUtf8("café ÀÉÎÕÜ ÿ.txt"), QStringLiteral("apostrophe's & <tag>.txt"),
        QStringLiteral("dollar$&`.txt"),       QString::fromUtf8("emoji 😀.txt"),
    };
}

TTestFolder::TTestFolder() {
    if (!dir_.isValid())
        throw std::runtime_error("no temporary folder");
    const QStringList names = AwkwardFileNames();
    for (int i = 0; i < names.size(); ++i)
        WriteFile(dir_.filePath(names[i]), ContentOf(i));
    WriteFile(dir_.filePath(hiddenName()), "hidden");
    if (mkfifo(QFile::encodeName(dir_.filePath(fifoName())).constData(), 0600) != 0)
        throw std::runtime_error("mkfifo failed");
    if (symlink("/nonexistent/target",
                QFile::encodeName(dir_.filePath(danglingLinkName())).constData()) != 0)
        throw std::runtime_error("symlink failed");
    if (!QDir(dir_.path()).mkdir(folderName()))
        throw std::runtime_error("mkdir failed");
    WriteFile(dir_.filePath(folderName() + QLatin1Char('/') + fileInFolderName()), "inner");
}

QString TTestFolder::folderName() const {
    return QString::fromUtf8("sub folder #%+ 目录");
}

QByteArray TTestFolder::ContentOf(int index) {
    return "entry " + QByteArray::number(index);
}

QUrl TTestFolder::url(const QString& relativePath) const {
    return LocalUrlOf(dir_.path() + QLatin1Char('/') + relativePath);
}

QUrl LocalUrlOf(const QString& path) {
    QByteArray encoded("local://c");
    for (const QString& part : path.split(QLatin1Char('/'))) {
        if (part.isEmpty())
            continue;
        encoded += '/' + scheme::LinkTarget(part.toUtf8());
    }
    if (path.endsWith(QLatin1Char('/')) || encoded == "local://c")
        encoded += '/';
    return QUrl::fromEncoded(encoded, QUrl::StrictMode);
}

}  // namespace scheme_test
